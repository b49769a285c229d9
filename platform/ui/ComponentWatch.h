#pragma once
// Whether a component still lives after code that may have freed it: a
// handler called from inside a control's own method can free the control
// or its form.  The watch asks for the component's free notification and
// forgets the component when it goes, so the caller can stop instead of
// touching freed memory (and a notification meant for a freed owner is
// dropped).
//
//     TComponentWatch self(this);
//     if (OnClick) OnClick(this);
//     if (!self.Alive()) return;

#include "platform/base/Component.h"

#include <deque>
#include <vector>

template <class T = TComponent> class TComponentWatch : private TComponent {
public:
    explicit TComponentWatch(T* watched) : watched_(watched) {
        if (watched_ != nullptr)
            watched_->FreeNotification(this);
    }
    ~TComponentWatch() override {
        if (watched_ != nullptr)
            watched_->RemoveFreeNotification(this);
    }
    bool Alive() const { return watched_ != nullptr; }
    // The component, or nullptr once it was freed.
    T* Get() const { return watched_; }

private:
    void Notification(TComponent* component, TOperation operation) override {
        if (operation == opRemove && component == watched_)
            watched_ = nullptr;
    }
    T* watched_;
};

// Runs step on each component of the list in turn, skipping those freed by
// the steps before it (a handler run for one may free others); stops when
// a step answers false (what the caller stands on went).
template <class T, class Step> void ForEachAlive(const std::vector<T*>& components, Step&& step) {
    std::deque<TComponentWatch<T>> watches;
    for (T* component : components)
        watches.emplace_back(component);
    for (TComponentWatch<T>& watch : watches)
        if (watch.Alive() && !step(watch.Get()))
            return;
}
