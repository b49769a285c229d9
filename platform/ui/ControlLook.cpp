// The 3-D look and the reading order of the window base: two settings
// that follow the parent's while the control's Parent... flag holds, as
// the font and the colour do.  Each change is a notice to the control
// (CM_CTL3DCHANGED, CM_BIDIMODECHANGED), which a window control passes on
// to the children that follow it.
#include "platform/ui/Control.h"

void TControl::SetBiDiMode(TBiDiMode mode) {
    parentBiDiMode_ = false;
    if (mode == biDiMode_)
        return;
    biDiMode_ = mode;
    Perform(CM_BIDIMODECHANGED);
}

void TControl::SetParentBiDiMode(bool value) {
    if (value == parentBiDiMode_)
        return;
    parentBiDiMode_ = value;
    if (value && parent_ != nullptr)
        Perform(CM_PARENTBIDIMODECHANGED);
}

void TWinControl::SetCtl3D(bool value) {
    parentCtl3D_ = false;
    if (value == ctl3D_)
        return;
    ctl3D_ = value;
    Perform(CM_CTL3DCHANGED);
}

void TWinControl::SetParentCtl3D(bool value) {
    if (value == parentCtl3D_)
        return;
    parentCtl3D_ = value;
    if (value && Parent() != nullptr)
        Perform(CM_PARENTCTL3DCHANGED);
}
