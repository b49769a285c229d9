#pragma once
// TTBFloatingWindowParent: the small top-level window that holds one
// floating dockable window.  It draws and hit-tests its own frame: a thin
// raised border, a small caption with the window's caption and an
// optional close button.  A press on the caption drags the window, a
// press on the border sizes it, the close button closes it, a double
// click on the caption docks it again; closing the frame closes the form
// it floats over.  Themed frames replace PaintFrameParts.

#include "platform/ui/Control.h"

class TTBCustomDockableWindow;

// Parts of the frame, for RedrawParts and PaintFrameParts.
enum : unsigned { fpBorder = 1, fpCaption = 2, fpCloseButton = 4, fpAll = 7 };

enum : unsigned {
    // Makes the form the window floats over active again, once the window
    // system is done with the press that asked for it (ActivateHost).
    TBM_ACTIVATEHOST = WM_USER + 0x0E2,
};

class TTBFloatingWindowParent : public TCustomControl {
public:
    explicit TTBFloatingWindowParent(TComponent* owner = nullptr);
    ~TTBFloatingWindowParent() override;
    std::string ClassName() const override { return "TTBFloatingWindowParent"; }

    // The window it holds (set by the window when it makes the frame).
    TTBCustomDockableWindow* DockableWindow = nullptr;
    // The form the window belongs to.
    TWinControl* ParentForm = nullptr;
    // What the window last decided about the frame's visibility.
    bool ShouldShow = false;
    bool CloseButtonPressed() const { return closeButtonPressed_; }

    // --- geometry (window coordinates) -------------------------------------------
    int BorderSize() const;
    // The caption band's height (0 without a caption).
    int CaptionHeight() const;
    // What the frame adds to the window's size: across and down.
    TPoint FrameSize() const;
    // The caption band; without the close button's square when asked.
    TRect CaptionRect(bool withoutCloseButton) const;
    TRect CloseButtonRect() const;
    bool ShowsCloseButton() const;
    // The hit code of a point (window coordinates): the caption, the close
    // button, a sizing border or nothing.
    int HitTest(TPoint point) const;

    // A press on the frame or on the window it holds (not on a control
    // inside it, which takes the keyboard) leaves the form the window
    // floats over active, as a press on one of the form's own toolbars
    // does (with ActivateParent, floating over its form).  A window
    // manager gives a window the activation on a press, and the window
    // system gives the frame's last focused control the keyboard with it:
    // the form is made active at once and again once the press is
    // handled.  Each time the frame itself comes to the top of the others,
    // after the form: without a window manager to keep it above the form,
    // raising the form alone would hide it.
    void ActivateHost();
    // Brings the frame to the top without activating it.
    virtual void BringFrameToTop();

    // The frame takes the window's size plus the frame.
    void FitToWindow();
    // The border or caption changed size (resizing allowed, caption shown).
    void FrameGeometryChanged();
    // The window it should stay above changed (the floating mode).
    void OwnerChanged();
    // A frame made before the form it floats over had a window is made
    // again, above that window.
    void KeepAboveOwner();
    void RedrawParts(unsigned parts);
    // Paints parts of the frame on a canvas over the whole frame.
    virtual void PaintFrameParts(TCanvas& canvas, unsigned parts);

    void CreateParams(TCreateParams& params) override;
    int ClientWidth() const override;
    int ClientHeight() const override;
    TPoint ClientToScreen(TPoint point) const override;
    TPoint ScreenToWindow(TPoint screen) const;

protected:
    void Dispatch(TMessage& message) override;
    void Paint() override {}
    void CreateWnd() override;
    // The frame's new size is the window's.
    void AlignControls(TRect& rect) override;

private:
    TWinControl* ownerWindow() const;
    // Whether a control inside the frame has the keyboard.
    bool keyboardInside() const;
    // Whether another form's modal dialog is open: it stays above the
    // frame and its form, which are not raised meanwhile.
    bool underModalForm() const;
    // TBM_ACTIVATEHOST's WParam when a control inside keeps the activation.
    static constexpr WPARAM kUnlessKeyboardInside = 1;
    bool madeAboveOwner_ = false;
    bool trackCloseButton();
    void activateHostNow();
    void setCloseButtonPressed(bool pressed);

    bool closeButtonPressed_ = false;
};
