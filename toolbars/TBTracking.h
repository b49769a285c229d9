#pragma once
// The modal loops that follow the mouse while its left button is held (a
// window dragged or sized, a frame's button pressed): every move goes to
// Moved; releasing the left button accepts and ends the loop; pressing it
// again, a double click, Escape (down or up), a lost capture or a quit end
// it without accepting; other keys go to Key; every event is the loop's.

#include "toolbars/TBModal.h"

class TTBTrackingLoop : public TTBModalMachine {
public:
    TTBVerdict HandleEvent(const TTBInputEvent& event) final;
    bool Finished() const override { return finished_; }
    bool Accepted() const { return accepted_; }

protected:
    virtual void Moved(TPoint screen) {}
    virtual void Released(TPoint screen) {}
    virtual void Key(const TTBInputEvent& event) {}

private:
    bool finished_ = false;
    bool accepted_ = false;
};
