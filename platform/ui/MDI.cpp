#include "platform/ui/MDI.h"

#include "platform/base/Exceptions.h"
#include "platform/ui/Application.h"
#include "platform/ui/Keys.h"
#include "platform/ui/UserInteraction.h"

#include <algorithm>

struct TMDIListenerSlot {
    TMDIListener Listener;
    bool Active = true;
};

TMDISubscription::~TMDISubscription() {
    if (slot_)
        slot_->Active = false;
}

TMDISubscription::TMDISubscription(TMDISubscription&& other) noexcept : slot_(std::move(other.slot_)) {}

TMDISubscription& TMDISubscription::operator=(TMDISubscription&& other) noexcept {
    if (this != &other) {
        if (slot_)
            slot_->Active = false;
        slot_ = std::move(other.slot_);
    }
    return *this;
}

TMDIClient::TMDIClient(TCustomForm& frame) : frame_(frame) {
    SetParentColor(false);
    SetColor(clAppWorkSpace);
}

TMDIClient::~TMDIClient() { Destroying(); }

void TMDIClient::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.Kind = std::string(wk::MDIClient);
}

TCustomForm* TMDIClient::Children(int index) const {
    if (index < 0 || index >= ChildCount())
        throw EListError();
    return children_[static_cast<size_t>(index)];
}

TMDISubscription TMDIClient::Subscribe(TMDIListener listener) {
    auto slot = std::make_shared<TMDIListenerSlot>();
    slot->Listener = std::move(listener);
    listeners_.push_back(slot);
    TMDISubscription subscription;
    subscription.slot_ = std::move(slot);
    return subscription;
}

void TMDIClient::notify(TMDINotice notice, TCustomForm* child) {
    listeners_.erase(std::remove_if(listeners_.begin(), listeners_.end(),
                                    [](const auto& slot) { return !slot->Active; }),
                     listeners_.end());
    // A listener may subscribe or unsubscribe others while being told.
    std::vector<std::shared_ptr<TMDIListenerSlot>> now = listeners_;
    for (const auto& slot : now)
        if (slot->Active)
            RunGuarded([&] { slot->Listener(notice, child); });
}

namespace {

// How far each default-placed child stands below and to the right of the
// one before it: about a caption's height, so that each caption shows.
constexpr int kCascadeStep = 24;

} // namespace

void TMDIClient::placeDefault(TCustomForm* child) const {
    const int width = ClientWidth(), height = ClientHeight();
    if (width <= 0 || height <= 0)
        return;
    // Three quarters of the area, the children stepping down from its
    // top-left corner and starting there again once one would leave it.
    const int w = std::max(1, width * 3 / 4), h = std::max(1, height * 3 / 4);
    const int steps = std::max(1, std::min((width - w) / kCascadeStep, (height - h) / kCascadeStep) + 1);
    const int at = (static_cast<int>(children_.size()) - 1) % steps * kCascadeStep;
    child->SetBounds(at, at, w, h);
}

void TMDIClient::addChild(TCustomForm* child) {
    children_.push_back(child);
    // A child the window system places cascades inside the area, so that a
    // restored one never hides the one made before it.
    if (child->Position() == poDefault)
        placeDefault(child);
    notify(mdiChildAdded, child);
    // A new child opens maximised while the children are; it shows at once
    // and becomes the active one.
    if (maximized_)
        child->windowState_ = wsMaximized;
    child->SetVisible(true);
    Activate(child);
}

void TMDIClient::removeChild(TCustomForm* child) {
    auto found = std::find(children_.begin(), children_.end(), child);
    if (found == children_.end())
        return;
    bool wasActive = ActiveChild() == child;
    bool wasMaximized = child->windowState_ == wsMaximized;
    children_.erase(found);
    order_.erase(std::remove(order_.begin(), order_.end(), child), order_.end());
    child->active_ = false;
    notify(mdiChildRemoved, child);
    // The child is being freed: its window leaves the client area before
    // the next child takes over the activation and the maximised state, so
    // that the area, rearranging its windows, never shows or sizes the
    // window of a form that is half gone.
    if (child->Peer() != nullptr)
        child->Peer()->Withdraw();
    if (children_.empty())
        maximized_ = false;
    if (!wasActive)
        return;
    // The child activated before it takes over, maximised if it was.
    TCustomForm* next = ActiveChild();
    if (next != nullptr) {
        if (maximized_ && wasMaximized && next->windowState_ != wsMaximized) {
            next->windowState_ = wsMaximized;
            if (next->Peer() != nullptr)
                next->Peer()->WindowStateChanged();
            notify(mdiStateChanged, next);
        }
        Activate(next);
    } else {
        notify(mdiActivated, nullptr);
    }
}

void TMDIClient::Activate(TCustomForm* child) {
    if (child == nullptr || std::find(children_.begin(), children_.end(), child) == children_.end())
        return;
    TCustomForm* previous = ActiveChild();
    if (previous == child && child->active_)
        return;
    order_.erase(std::remove(order_.begin(), order_.end(), child), order_.end());
    order_.insert(order_.begin(), child);
    if (previous != nullptr && previous != child) {
        // The maximised state goes with the activation.
        if (maximized_ && previous->windowState_ == wsMaximized) {
            previous->windowState_ = wsNormal;
            if (previous->Peer() != nullptr)
                previous->Peer()->WindowStateChanged();
            child->windowState_ = wsMaximized;
            if (child->Peer() != nullptr)
                child->Peer()->WindowStateChanged();
        }
        previous->active_ = false;
        previous->Deactivated();
    }
    child->active_ = true;
    child->BringToFront();
    if (child->Peer() != nullptr)
        child->Peer()->Activate();
    child->Activated();
    notify(mdiActivated, child);
    if (frame_.Active())
        child->focusActiveControl();
}

bool IsMDISysKey(TShortCut key) {
    uint16_t code = 0;
    TShiftState shift = 0;
    ShortCutToKey(key, code, shift);
    return (shift & ~ssShift) == ssCtrl && (code == VK_F4 || code == VK_F6 || code == VK_TAB) &&
           (code != VK_F4 || shift == ssCtrl);
}

bool TranslateMDISysKey(TWinControl* form, TShortCut key) {
    if (!IsMDISysKey(key))
        return false;
    uint16_t code = 0;
    TShiftState shift = 0;
    ShortCutToKey(key, code, shift);
    // The frame of the window the key was typed in, itself or the frame of
    // the child.
    auto* typedIn = dynamic_cast<TCustomForm*>(form);
    TCustomForm* frame = typedIn == nullptr                      ? nullptr
                         : typedIn->FormStyle() == fsMDIChild ? Application().MainForm()
                                                               : typedIn;
    TMDIClient* client = frame != nullptr ? frame->MDIClient() : nullptr;
    TCustomForm* active = client != nullptr ? client->ActiveChild() : nullptr;
    if (active == nullptr)
        return false;
    if (code == VK_F4)
        active->Perform(WM_SYSCOMMAND, SC_CLOSE);
    else
        active->Perform(WM_SYSCOMMAND, (shift & ssShift) ? SC_PREVWINDOW : SC_NEXTWINDOW);
    return true;
}

void TMDIClient::Next() {
    // The active child goes to the back; the one behind it comes forward.
    if (order_.size() < 2)
        return;
    TCustomForm* active = order_.front();
    Activate(order_[1]);
    // Activating put the old child second; it goes to the back.
    order_.erase(std::find(order_.begin(), order_.end(), active));
    order_.push_back(active);
}

void TMDIClient::Previous() {
    // The child at the back comes forward.
    if (order_.size() < 2)
        return;
    Activate(order_.back());
}

void TMDIClient::childStateChanged(TCustomForm* child, TWindowState state) {
    if (state == wsMaximized) {
        maximized_ = true;
        // Only one child shows maximised: the others are restored.
        for (TCustomForm* other : children_)
            if (other != child && other->windowState_ == wsMaximized) {
                other->windowState_ = wsNormal;
                if (other->Peer() != nullptr)
                    other->Peer()->WindowStateChanged();
            }
        Activate(child);
    } else {
        bool anyMaximized = std::any_of(children_.begin(), children_.end(),
                                        [](TCustomForm* c) { return c->windowState_ == wsMaximized; });
        maximized_ = anyMaximized;
    }
    notify(mdiStateChanged, child);
}

void TMDIClient::childMinimized(TCustomForm* child) {
    // The next child not minimised becomes the active one, so that keys and
    // commands never go to a window out of sight.
    if (ActiveChild() != child)
        return;
    auto next = std::find_if(order_.begin(), order_.end(), [child](TCustomForm* other) {
        return other != child && other->windowState_ != wsMinimized;
    });
    if (next != order_.end())
        Activate(*next);
}

void TMDIClient::Dispatch(TMessage& message) {
    TWinControl::Dispatch(message);
    // The client follows the frame's size; the children keep theirs, but a
    // maximised one fills the client again.
    if (message.Msg == WM_SIZE && maximized_)
        if (TCustomForm* active = ActiveChild(); active != nullptr && active->Peer() != nullptr)
            active->Peer()->WindowStateChanged();
}
