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
    while (!freeNotifies_.empty()) {
        TComponent* subscriber = freeNotifies_.back();
        freeNotifies_.pop_back();
        // The link is mutual; drop the reverse entry before telling.
        auto& theirs = subscriber->freeNotifies_;
        theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
        subscriber->Notification(this, opRemove);
    }
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
    if (subscriber == nullptr || subscriber == this)
        return;
    if (std::find(freeNotifies_.begin(), freeNotifies_.end(), subscriber) == freeNotifies_.end())
        freeNotifies_.push_back(subscriber);
    auto& theirs = subscriber->freeNotifies_;
    if (std::find(theirs.begin(), theirs.end(), this) == theirs.end())
        theirs.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* subscriber) {
    if (subscriber == nullptr)
        return;
    freeNotifies_.erase(std::remove(freeNotifies_.begin(), freeNotifies_.end(), subscriber),
                        freeNotifies_.end());
    auto& theirs = subscriber->freeNotifies_;
    theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
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
