// Docking a control: a control dragged in dock mode (DragKind dkDock) goes
// into the window control under the pointer whose DockSite holds, or,
// dropped elsewhere, into a small floating tool window of its own.  The
// tool window lives as long as the control floats in it; docking the
// control again, or freeing it, frees the window.
#include "platform/ui/ComponentWatch.h"
#include "platform/ui/Control.h"
#include "platform/ui/Forms.h"

// The floating tool window: its client area is the control, which its
// frame sizes within the control's own limits.
class TFloatingDockHost : public TForm {
public:
    TFloatingDockHost(TControl& control, TCustomForm* ownerForm)
        : TForm(nullptr), control_(&control), ownerForm_(ownerForm) {
        SetBorderStyle(bsSizeToolWin);
        SetCaption(control.Caption().empty() ? control.Name() : control.Caption());
        // The control's limits, with the frame around them.
        const TSize frame = FrameSize();
        const TSizeConstraints& limits = control.Constraints();
        auto framed = [](int limit, int extra) { return limit > 0 ? limit + extra : 0; };
        Constraints().SetMinWidth(framed(limits.MinWidth(), frame.cx));
        Constraints().SetMinHeight(framed(limits.MinHeight(), frame.cy));
        Constraints().SetMaxWidth(framed(limits.MaxWidth(), frame.cx));
        Constraints().SetMaxHeight(framed(limits.MaxHeight(), frame.cy));
    }
    // What the frame takes of the window's width and height.
    TSize FrameSize() const { return {Width() - ClientWidth(), Height() - ClientHeight()}; }
    ~TFloatingDockHost() override {
        // Freed by someone else while the control floats: the control is
        // let go, not freed with its window.
        if (control_ == nullptr)
            return;
        if (control_->floatHost_ == this)
            control_->floatHost_ = nullptr;
        if (control_->Parent() == this)
            control_->SetParent(nullptr);
    }
    std::string ClassName() const override { return "TFloatingDockHost"; }
    // The control left for good (docked elsewhere, or freed).
    void Forget() { control_ = nullptr; }

protected:
    void CreateParams(TCreateParams& params) override {
        TForm::CreateParams(params);
        // Above the form the control came from.
        if (ownerForm_.Alive())
            params.WndParent = ownerForm_.Get();
    }
    void AlignControls(TRect& rect) override {
        TForm::AlignControls(rect);
        if (control_ != nullptr && control_->Parent() == this && control_->Align() == alNone)
            control_->SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height());
    }

private:
    TControl* control_;
    TComponentWatch<TCustomForm> ownerForm_;
};

void TControl::ManualDock(TWinControl& site, TPoint at) {
    if (site.IsWithin(*this))
        return; // not into itself
    TWinControl* host = floatHost_;
    const int width = width_;
    const int height = height_;
    SetParent(&site);
    SetBounds(at.X, at.Y, width, height);
    if (host != nullptr && parent_ != host) {
        floatHost_ = nullptr;
        static_cast<TFloatingDockHost*>(host)->Forget();
        delete host;
    }
}

void TControl::ManualFloat(TPoint screen) {
    if (parent_ == nullptr)
        return; // a window of its own already
    const int width = width_;
    const int height = height_;
    if (floatHost_ == nullptr) {
        TCustomForm* form = GetParentForm(*this);
        floatHost_ = new TFloatingDockHost(*this, form);
    }
    auto* host = static_cast<TFloatingDockHost*>(floatHost_);
    // The window's client area is the control's size: the frame goes
    // around it.
    const TSize frame = host->FrameSize();
    host->SetBounds(screen.X, screen.Y, width + frame.cx, height + frame.cy);
    if (parent_ != host)
        SetParent(host);
    host->Realign();
    host->Show();
}
