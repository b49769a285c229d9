#pragma once
// A window that shows a hatch of alternating black and white pixels (an
// 8 x 8 checkerboard, black where x + y is even) and lets every mouse event
// through to what lies under it: the outline of a window being dragged,
// the bar of a splitter being moved.  With a parent it sits over its
// siblings in the parent's client area; without one it is a top-level
// window at screen coordinates.  A window region (SetWindowRegion) cuts it
// to a frame.

#include "platform/ui/Control.h"

class THatchedOverlay : public TCustomControl {
public:
    explicit THatchedOverlay(TComponent* owner = nullptr);
    std::string ClassName() const override { return "THatchedOverlay"; }
    void CreateParams(TCreateParams& params) override;

protected:
    void Dispatch(TMessage& message) override;
    void Paint() override;
};
