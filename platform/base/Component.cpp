#include "platform/base/Component.h"

#include "platform/base/Exceptions.h"
#include "platform/base/TextCodec.h"

#include <algorithm>

void TPersistent::Assign(const TPersistent* source) {
    if (source != nullptr) {
        source->AssignTo(this);
        return;
    }
    AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* destination) const {
    std::string from = this == destination ? std::string("nil") : ClassName();
    throw EConvertError("Cannot assign a " + from + " to a " + destination->ClassName());
}

TComponent::TComponent(TComponent* owner) {
    if (owner != nullptr)
        owner->InsertComponent(this);
}

TComponent::~TComponent() {
    Destroying();
    // Free what we own, last first.  Each child removes itself from our list.
    while (!components_.empty()) {
        TComponent* child = components_.back();
        components_.pop_back();
        child->owner_ = nullptr;
        delete child;
    }
    if (owner_ != nullptr)
        owner_->RemoveComponent(this);
}

// Out of line, so that the compiler pairs each delete with this allocation
// rather than with the global one it would see inlined here.
void* TComponent::operator new(std::size_t size) { return ::operator new(size); }

void TComponent::operator delete(void* block) { ::operator delete(block); }

void TComponent::operator delete(TComponent* component, std::destroying_delete_t) {
    // A component already being freed is freed once: a second delete, from
    // one of its own handlers or from an owner or parent it freed as it
    // went, leaves the first to finish.
    if (component->BeingFreed())
        return;
    component->freeing_ = true;
    // The block starts at the most derived object, which need not be where
    // the component part of it lies.
    void* block = dynamic_cast<void*>(component);
    component->BeforeDestruction();
    component->~TComponent();
    ::operator delete(block);
}

void TComponent::Destroying() {
    if (!IsDestroying())
        state_ |= csDestroying;
    notifyFreeSubscribers();
}

void TComponent::notifyFreeSubscribers() {
    if (subscribersTold_)
        return;
    subscribersTold_ = true;
    // Every linked component is told, whichever side asked; a handler may
    // unlink others meanwhile, so the list is read afresh each time.
    while (!freeLinks_.empty()) {
        TComponent* other = freeLinks_.back().Other;
        freeLinks_.pop_back();
        other->dropFreeLink(this);
        other->Notification(this, opRemove);
    }
}

TComponent::TFreeLink* TComponent::findFreeLink(const TComponent* other) {
    auto it = std::find_if(freeLinks_.begin(), freeLinks_.end(), [&](const TFreeLink& link) { return link.Other == other; });
    return it != freeLinks_.end() ? &*it : nullptr;
}

TComponent::TFreeLink& TComponent::freeLinkTo(TComponent* other) {
    if (TFreeLink* link = findFreeLink(other))
        return *link;
    return freeLinks_.emplace_back(TFreeLink{other, 0});
}

void TComponent::dropFreeLink(const TComponent* other) {
    std::erase_if(freeLinks_, [&](const TFreeLink& link) { return link.Other == other; });
}

TComponent* TComponent::Components(int index) const {
    if (index < 0 || index >= ComponentCount())
        throw EListError();
    return components_[static_cast<size_t>(index)];
}

TComponent* TComponent::FindComponent(std::string_view name) const {
    if (name.empty())
        return nullptr;
    for (TComponent* component : components_)
        if (SameText(component->Name(), name))
            return component;
    return nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
    if (component == nullptr || component->owner_ == this)
        return;
    if (component->owner_ != nullptr)
        component->owner_->RemoveComponent(component);
    components_.push_back(component);
    component->owner_ = this;
    Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
    auto it = std::find(components_.begin(), components_.end(), component);
    if (it != components_.end())
        components_.erase(it);
    component->owner_ = nullptr;
    if (!IsDestroying()) {
        Notification(component, opRemove);
        // Every sibling hears of it too, so that references between owned
        // components are dropped.
        for (TComponent* sibling : std::vector<TComponent*>(components_))
            sibling->Notification(component, opRemove);
    }
}

void TComponent::FreeNotification(TComponent* subscriber) {
    if (subscriber == nullptr || subscriber == this || subscribersTold_ || subscriber->subscribersTold_)
        return;
    ++subscriber->freeLinkTo(this).Requests;
    freeLinkTo(subscriber);
}

void TComponent::RemoveFreeNotification(TComponent* subscriber) {
    if (subscriber == nullptr)
        return;
    TFreeLink* theirs = subscriber->findFreeLink(this);
    if (theirs == nullptr || theirs->Requests == 0)
        return;
    if (--theirs->Requests > 0)
        return;
    // Linked on as long as this side still asks to hear of the subscriber.
    if (const TFreeLink* mine = findFreeLink(subscriber); mine != nullptr && mine->Requests > 0)
        return;
    subscriber->dropFreeLink(this);
    dropFreeLink(subscriber);
}

bool TComponent::HasFreeNotification(const TComponent* other) const {
    return std::any_of(freeLinks_.begin(), freeLinks_.end(), [&](const TFreeLink& link) { return link.Other == other; });
}

void TComponent::SetDesigning(bool designing) {
    if (designing)
        state_ |= csDesigning;
    else
        state_ &= ~csDesigning;
}

void TComponent::Notification(TComponent* component, TOperation operation) {}

std::string TComponent::EventHandlerName(std::string_view event) const {
    for (const auto& [name, handler] : eventHandlers_)
        if (SameText(name, event))
            return handler;
    return {};
}

void TComponent::SetEventHandlerName(std::string_view event, std::string_view handler) {
    auto it = std::find_if(eventHandlers_.begin(), eventHandlers_.end(),
                           [&](const auto& binding) { return SameText(binding.first, event); });
    if (handler.empty()) {
        if (it != eventHandlers_.end())
            eventHandlers_.erase(it);
    } else if (it != eventHandlers_.end()) {
        it->second = std::string(handler);
    } else {
        eventHandlers_.emplace_back(std::string(event), std::string(handler));
    }
}
