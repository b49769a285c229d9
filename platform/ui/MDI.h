#pragma once
// The client area of an MDI frame form, which keeps the frame's MDI children:
// their order of creation, their activation order (most recently active
// first), the active child, and whether the children are maximised (one
// maximised child maximises the one activated after it, as a new child
// opens maximised too).
//
// The menu framework's MDI buttons and the application's tab strip follow
// the children through notifications (Subscribe): a child added or removed,
// activated, its window state or caption changed.

#include "platform/ui/Forms.h"

#include <functional>
#include <memory>
#include <vector>

enum TMDINotice {
    mdiChildAdded,
    mdiChildRemoved, // the child is being freed (or left the frame)
    mdiActivated,    // the active child changed (the form may be nullptr)
    mdiStateChanged, // a child was maximised, minimised or restored
    mdiCaptionChanged,
};
using TMDIListener = std::function<void(TMDINotice notice, TCustomForm* child)>;

// A subscription; it ends when the object is destroyed.
class TMDISubscription {
public:
    TMDISubscription() = default;
    ~TMDISubscription();
    TMDISubscription(TMDISubscription&& other) noexcept;
    TMDISubscription& operator=(TMDISubscription&& other) noexcept;
    TMDISubscription(const TMDISubscription&) = delete;
    TMDISubscription& operator=(const TMDISubscription&) = delete;

private:
    friend class TMDIClient;
    std::shared_ptr<struct TMDIListenerSlot> slot_;
};

// The keys of an MDI frame's children, which come before any menu's
// shortcut, wherever in the frame or its children the focus is: Ctrl+F4
// closes the active child; Ctrl+F6 and Ctrl+Tab bring the next one forward
// (each child in turn), with Shift the one before.  form is the top-level
// window the key was typed in.  False when the key is none of them or no
// child is active.
bool TranslateMDISysKey(TWinControl* form, TShortCut key);
// Whether key is one of those keys, which an MDI frame takes while it has
// an active child.
bool IsMDISysKey(TShortCut key);

class TMDIClient : public TWinControl {
public:
    explicit TMDIClient(TCustomForm& frame);
    ~TMDIClient() override;
    std::string ClassName() const override { return "TMDIClient"; }

    TCustomForm& Frame() const { return frame_; }
    int ChildCount() const { return static_cast<int>(children_.size()); }
    // In the order they were made; EListError outside 0..ChildCount-1.
    TCustomForm* Children(int index) const;
    // Most recently active first.
    const std::vector<TCustomForm*>& ActivationOrder() const { return order_; }
    TCustomForm* ActiveChild() const { return order_.empty() ? nullptr : order_.front(); }
    // The children are shown maximised.
    bool Maximized() const { return maximized_; }

    // Makes child the active one (bringing it to the front).
    void Activate(TCustomForm* child);
    // The next (or previous) child in the activation order becomes active.
    void Next();
    void Previous();

    TMDISubscription Subscribe(TMDIListener listener);

protected:
    void CreateParams(TCreateParams& params) override;
    void Dispatch(TMessage& message) override;

private:
    friend class TCustomForm;
    void addChild(TCustomForm* child);
    // Bounds for a new child placed by default (Position poDefault).
    void placeDefault(TCustomForm* child) const;
    void removeChild(TCustomForm* child);
    void childStateChanged(TCustomForm* child, TWindowState state);
    void childMinimized(TCustomForm* child);
    void notify(TMDINotice notice, TCustomForm* child);

    TCustomForm& frame_;
    std::vector<TCustomForm*> children_;
    std::vector<TCustomForm*> order_;
    bool maximized_ = false;
    std::vector<std::shared_ptr<struct TMDIListenerSlot>> listeners_;
};
