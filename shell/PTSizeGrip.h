#pragma once
// The grip in the bottom-right corner of a sizeable form: three diagonal
// ridges; dragging it with the left button sizes the form, whose top-left
// corner stays where it is.  While the form is maximised or minimised it
// sizes nothing.

#include "platform/ui/Control.h"

class TCustomForm;

class TPTSizeGrip : public TGraphicControl {
public:
    static constexpr int Size = 13;
    explicit TPTSizeGrip(TComponent* owner = nullptr);
    std::string ClassName() const override { return "TPTSizeGrip"; }

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    TCustomForm* form();

    bool dragging_ = false;
    TPoint downAt_;
    TSize downSize_;
};
