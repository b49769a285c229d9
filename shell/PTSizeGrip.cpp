#include "shell/PTSizeGrip.h"

#include "platform/ui/Forms.h"

TPTSizeGrip::TPTSizeGrip(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, Size, Size);
    SetCursor(crSizeNWSE);
}

TCustomForm* TPTSizeGrip::form() { return Parent() != nullptr ? GetParentForm(*this) : nullptr; }

void TPTSizeGrip::Paint() {
    TRect corner = ClientRect();
    // The ridges end on the last pixel of the corner.
    corner.Right -= 1;
    corner.Bottom -= 1;
    Canvas().DrawSizeGrip(corner);
}

void TPTSizeGrip::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseDown(button, shift, x, y);
    TCustomForm* owner = form();
    if (button != mbLeft || owner == nullptr || owner->WindowState() != wsNormal)
        return;
    dragging_ = true;
    downAt_ = ClientToScreen({x, y});
    downSize_ = {owner->Width(), owner->Height()};
}

void TPTSizeGrip::MouseMove(TShiftState shift, int x, int y) {
    TGraphicControl::MouseMove(shift, x, y);
    // A drag ends with the left button, wherever it was released.
    if (dragging_ && !(shift & ssLeft))
        dragging_ = false;
    TCustomForm* owner = form();
    if (!dragging_ || owner == nullptr)
        return;
    // Measured from the press on the screen: the grip moves with the form.
    TPoint at = ClientToScreen({x, y});
    owner->SetBounds(owner->Left(), owner->Top(), downSize_.cx + at.X - downAt_.X, downSize_.cy + at.Y - downAt_.Y);
}

void TPTSizeGrip::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseUp(button, shift, x, y);
    if (button == mbLeft)
        dragging_ = false;
}
