// The window of a form: a top-level custom-drawn window whose frame,
// caption buttons and stacking follow the form's border style (the window
// styles of its CreateParams), owned by the window its WndParent names.  It
// follows the form's window state and activation; the user's moves of
// either come back as WM_SYSCOMMAND and WM_ACTIVATE.
#include "platform/ui/Forms.h"
#include "platform/ui/QtBridge.h"
#include "platform/widgets/WidgetDisposal.h"
#include "platform/widgets/WidgetPeer.h"
#include "platform/widgets/WindowKinds.h"

#include <algorithm>

namespace {

Qt::WindowFlags flagsOf(const TCreateParams& params) {
    Qt::WindowFlags flags = Qt::Window;
    if (params.ExStyle & WS_EX_TOOLWINDOW)
        flags = Qt::Tool;
    else if (params.ExStyle & WS_EX_DLGMODALFRAME)
        flags = Qt::Dialog;
    if ((params.Style & WS_CAPTION) != WS_CAPTION) {
        flags |= Qt::FramelessWindowHint;
    } else {
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        if (params.Style & WS_SYSMENU)
            flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if (params.Style & WS_MINIMIZEBOX)
            flags |= Qt::WindowMinimizeButtonHint;
        if (params.Style & WS_MAXIMIZEBOX)
            flags |= Qt::WindowMaximizeButtonHint;
    }
    if (params.ExStyle & WS_EX_TOPMOST)
        flags |= Qt::WindowStaysOnTopHint;
    return flags;
}

class TFormPeer : public TWidgetPeer {
public:
    TFormPeer(TWinControl& control, const TPeerWindowStyle& style) : TWidgetPeer(control, style) {
        keepSize();
        WindowStateChanged();
    }

    void BoundsChanged() override {
        TWidgetPeer::BoundsChanged();
        keepSize();
    }

    void WindowStateChanged() override {
        auto* form = dynamic_cast<TCustomForm*>(&Widget()->Control());
        if (form == nullptr || Widget() == nullptr)
            return;
        // A window minimised from maximised keeps that flag, so that the
        // window system restores it maximised, as it was.
        Qt::WindowStates state = form->WindowState() == wsMaximized ? Qt::WindowMaximized
                                 : form->WindowState() == wsMinimized
                                     ? Qt::WindowMinimized | (Widget()->windowState() & Qt::WindowMaximized)
                                     : Qt::WindowNoState;
        Widget()->ApplyingState = true;
        Widget()->setWindowState(state);
        Widget()->ApplyingState = false;
    }

    TRect NormalBounds() const override {
        return Widget() != nullptr ? FromQRect(Widget()->normalGeometry()) : TRect{};
    }

    void Activate() override {
        if (Widget() != nullptr && Widget()->isVisible()) {
            TWidgetInUse inUse(Widget());
            Widget()->raise();
            Widget()->activateWindow();
        }
    }

private:
    // A form that may not be sized keeps the size its bounds give; a
    // sizeable one is sized by the user within what its WM_GETMINMAXINFO
    // says.
    void keepSize() {
        if (Widget() == nullptr)
            return;
        if (Widget()->Control().WindowParams().Style & WS_THICKFRAME) {
            TMinMaxInfo info;
            Widget()->Control().Perform(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
            Widget()->setMinimumSize(std::max(0, info.MinTrackSize.cx), std::max(0, info.MinTrackSize.cy));
            Widget()->setMaximumSize(info.MaxTrackSize.cx > 0 ? info.MaxTrackSize.cx : QWIDGETSIZE_MAX,
                                     info.MaxTrackSize.cy > 0 ? info.MaxTrackSize.cy : QWIDGETSIZE_MAX);
        } else {
            Widget()->setFixedSize(Widget()->Control().Width(), Widget()->Control().Height());
        }
    }
};

const TWindowKindRegistration registration(wk::Form, [](TWinControl& control) {
    TPeerWindowStyle style;
    style.TopLevel = true;
    style.Flags = flagsOf(control.WindowParams());
    return std::make_unique<TFormPeer>(control, style);
});

} // namespace
