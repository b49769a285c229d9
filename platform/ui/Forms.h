#pragma once
// Forms: top-level windows that hold controls, shown modelessly (Show) or
// modally (ShowModal), with the close protocol, and the MDI frame and child
// forms.
//
// The close protocol: Close asks CloseQuery (an MDI frame first asks each
// of its children, then OnCloseQuery), then OnClose with a close action
// (caHide for a plain form, caMinimize for an MDI child, caFree to free the
// form once the current message is handled, caNone to keep it); closing
// the application's main form terminates the application.  Release frees
// the form from the event loop, after the handler that asked for it.
//
// ShowModal shows the form and runs a modal loop until ModalResult is set
// (a button with a modal result sets it, Close sets mrCancel); setting it
// runs the close protocol, and a refusal keeps the loop going.  Input for
// other forms is swallowed while the loop runs.  ShowModal on a form that
// is already showing raises EInvalidOperation instead of nesting; a quit
// request ends the loop with mrCancel; a form freed while modal ends its
// loop, and ShowModal returns mrCancel.

#include "platform/ui/Control.h"
#include "platform/ui/UserInteraction.h" // the modal results mrOk, mrCancel ...

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TMDIClient;
class TModalFormLoop;

enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TPosition {
    poDesigned,        // where its bounds say
    poDefault,         // where the window system puts it
    poScreenCenter,    // centred on the work area of the primary monitor
    poDesktopCenter,   // the same
    poMainFormCenter,  // centred over the application's main form
    poOwnerFormCenter, // centred over the form that owns it
};
enum TCloseAction { caNone, caHide, caFree, caMinimize };

using TCloseEvent = std::function<void(TPersistent* sender, TCloseAction& action)>;
using TCloseQueryEvent = std::function<void(TPersistent* sender, bool& canClose)>;

// Window styles of forms (CreateParams), read by the form's window.
enum : unsigned {
    WS_POPUP = 0x80000000,
    WS_CAPTION = 0x00C00000,
    WS_SYSMENU = 0x00080000,
    WS_THICKFRAME = 0x00040000,
    WS_MINIMIZEBOX = 0x00020000,
    WS_MAXIMIZEBOX = 0x00010000,
    WS_EX_DLGMODALFRAME = 0x00000001,
    WS_EX_TOPMOST = 0x00000008,
    WS_EX_TOOLWINDOW = 0x00000080,
};

// One entry of a window's system menu ("-" is a separator).
struct TSystemMenuEntry {
    std::string Caption;
    unsigned Command = 0; // SC_*
    bool Enabled = true;
    bool Default = false; // shown bold: what a double click on the icon does
};

class TCustomForm : public TCustomControl {
public:
    explicit TCustomForm(TComponent* owner = nullptr);
    ~TCustomForm() override;
    std::string ClassName() const override { return "TCustomForm"; }

    // --- kind and look ------------------------------------------------------
    TFormStyle FormStyle() const { return formStyle_; }
    // fsMDIChild makes the form a child of the application's MDI frame (its
    // main form); EInvalidOperation when there is none.
    void SetFormStyle(TFormStyle style);
    // bsNone, bsSingle (fixed size), bsSizeable (the default), bsDialog,
    // bsToolWindow, bsSizeToolWin.
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style);
    TWindowState WindowState() const { return windowState_; }
    void SetWindowState(TWindowState state);
    TPosition Position() const { return position_; }
    void SetPosition(TPosition position) { position_ = position; }

    // --- showing ------------------------------------------------------------
    // Shows the form and makes it the active one.
    void Show();
    void Hide() { SetVisible(false); }
    // Shows the form modally; returns the modal result (see above).
    int ShowModal();
    bool Modal() const { return modalLoop_ != nullptr; }
    int ModalResult() const { return modalResult_; }
    // While modal, a non-zero result closes the form (close protocol).
    void SetModalResult(int result);

    // --- closing ------------------------------------------------------------
    // Runs the close protocol (see above).
    void Close();
    // May the form close?  An MDI frame asks its children first.
    virtual bool CloseQuery();
    // Frees the form once the current message has been handled.
    void Release();

    // --- focus --------------------------------------------------------------
    // The control that gets the focus when the form is activated (and has it
    // while the form is active).
    TWinControl* ActiveControl() const { return activeControl_; }
    void SetActiveControl(TWinControl* control);
    bool Active() const { return active_; }
    // Activates the form; its active control takes the focus.  Raises
    // EInvalidOperation for a hidden or disabled form.
    void SetFocus() override;

    // --- MDI ------------------------------------------------------------------
    // A frame's client, where its children live (nullptr unless fsMDIForm).
    TMDIClient* MDIClient() const { return mdiClient_.get(); }
    // A frame's children, in the order they were made.
    int MDIChildCount() const;
    TCustomForm* MDIChildren(int index) const;
    // The active child of a frame, or nullptr.
    TCustomForm* ActiveMDIChild() const;
    // Activates the next (or previous) child in the frame's activation order.
    void Next();
    void Previous();
    // The entries of the window's system menu, as its window state allows.
    std::vector<TSystemMenuEntry> SystemMenu() const;
    // Shows the system menu at the window's top-left corner; the entry
    // chosen comes back as its WM_SYSCOMMAND.  A frame gets it for Space
    // (SC_KEYMENU ' '), its active document window for "-".
    void ShowSystemMenu();

    // Fires OnDestroy (once) while the whole form still stands, then sends
    // the free notices.  `delete` calls it before any destructor runs; a
    // form that is not freed by delete fires OnDestroy from its destructor,
    // when the derived parts are already gone.
    void BeforeDestruction() override;

    // --- events -------------------------------------------------------------
    TNotifyEvent OnCreate;  // after the form was built (Loaded)
    TNotifyEvent OnDestroy; // before the form is freed (BeforeDestruction)
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

    void Loaded() override;

protected:
    void CreateParams(TCreateParams& params) override;
    void Dispatch(TMessage& message) override;
    void Notification(TComponent* component, TOperation operation) override;
    virtual void DoClose(TCloseAction& action);
    virtual void Activated();
    virtual void Deactivated();

private:
    friend class TMDIClient;
    friend class TModalFormLoop;
    friend class TScreen;
    void setActive(bool active);
    void focusActiveControl();
    void placeOnShow();
    bool closeModal(int result);
    TMDIClient* frameClient() const;
    // The border gives minimise and maximise buttons (bsSingle, bsSizeable).
    bool hasSizeButtons() const { return borderStyle_ == bsSingle || borderStyle_ == bsSizeable; }

    TFormStyle formStyle_ = fsNormal;
    TBorderStyle borderStyle_ = bsSizeable;
    TWindowState windowState_ = wsNormal;
    bool restoreMaximized_ = false; // minimised while maximised
    TPosition position_ = poDesigned;
    int modalResult_ = 0;
    TModalFormLoop* modalLoop_ = nullptr;
    TWinControl* activeControl_ = nullptr;
    // An MDI frame: one of its own controls, not a child's, had the focus last.
    bool ownFocus_ = false;
    bool active_ = false;
    bool created_ = false;
    bool destroyedTold_ = false;
    bool releasing_ = false;
    bool closing_ = false;
    // The form stays on top while modal, over the stay-on-top forms.
    bool modalOnTop_ = false;
    // The form is appearing: the edit box it focuses has its text selected.
    bool selectFocusedText_ = false;
    std::unique_ptr<TMDIClient> mdiClient_;
};

class TForm : public TCustomForm {
public:
    using TCustomForm::TCustomForm;
    std::string ClassName() const override { return "TForm"; }
};

// A form that stays on top (fsStayOnTop) and is showing, other than except;
// nullptr when there is none.  Whatever must be answered is shown over it.
TCustomForm* ShowingStayOnTopForm(const TCustomForm* except = nullptr);

// The form a control sits on (walking up the parents), or nullptr.
TCustomForm* GetParentForm(TControl& control);
