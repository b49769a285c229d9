#include "platform/ui/Forms.h"

#include "platform/base/Exceptions.h"
#include "platform/ui/Application.h"
#include "platform/ui/ButtonControls.h"
#include "platform/ui/ComponentWatch.h"
#include "platform/ui/MDI.h"
#include "platform/ui/ModalLoop.h"
#include "platform/ui/PopupMenu.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextControls.h"
#include "platform/ui/UserInteraction.h"
#include "platform/ui/WindowNotices.h"

#include <algorithm>

// The loop of a modal form.  It ends when the form's modal result closes
// it (or the form is freed); meanwhile input meant for other forms and
// windows of the program is swallowed, so that only the modal form (and
// the popups and overlays it opens) can be used.
class TModalFormLoop : public TModalLoop {
public:
    explicit TModalFormLoop(TCustomForm& form) : form_(&form) {}
    // The form is being freed: the loop ends as cancelled.
    void FormFreed() {
        form_ = nullptr;
        Finish(mrCancel);
    }

protected:
    TLoopVerdict Input(TLoopInput& input) override {
        if (form_ == nullptr || input.Target == nullptr)
            return lvPass;
        TControl* top = input.Target;
        while (top->Parent() != nullptr)
            top = top->Parent();
        if (top == form_)
            return lvPass;
        // Popups, overlays and frameless windows belong to whatever opened
        // them (a menu of the modal form, say).  The floating toolbar frames
        // of the other forms wait with those forms, as their docked bars do.
        auto* window = dynamic_cast<TWinControl*>(top);
        if (window != nullptr) {
            const std::string& kind = window->WindowParams().Kind;
            if (kind == wk::Popup || kind == wk::Overlay || kind == wk::Frameless)
                return lvPass;
        }
        return lvSwallow;
    }

private:
    TCustomForm* form_;
};

namespace {

// Marks a form as closing for the length of a scope, also when a handler
// raises, and forgets the mark when the form was freed meanwhile.
class TClosingScope {
public:
    TClosingScope(TCustomForm& form, bool& flag) : watch_(&form), flag_(flag) { flag_ = true; }
    ~TClosingScope() {
        if (watch_.Alive())
            flag_ = false;
    }
    bool Alive() const { return watch_.Alive(); }

private:
    TComponentWatch<> watch_;
    bool& flag_;
};

} // namespace

TCustomForm* GetParentForm(TControl& control) {
    TControl* top = &control;
    while (top->Parent() != nullptr)
        top = top->Parent();
    return dynamic_cast<TCustomForm*>(top);
}

// ---------------------------------------------------------------------------
// Creation and destruction

TCustomForm::TCustomForm(TComponent* owner) : TCustomControl(owner) {
    SetVisible(false);
    SetParentColor(false);
    SetColor(clBtnFace);
    SetBounds(0, 0, 320, 240);
    Screen().addForm(this);
}

void TCustomForm::BeforeDestruction() {
    // The handler is taken out before it runs, so that nothing (a derived
    // destructor that fires OnDestroy itself) can run it a second time.
    if (!destroyedTold_) {
        destroyedTold_ = true;
        if (TNotifyEvent handler = std::move(OnDestroy)) {
            OnDestroy = nullptr;
            RunGuarded([&] { handler(this); });
        }
    }
    TCustomControl::BeforeDestruction();
}

TCustomForm::~TCustomForm() {
    BeforeDestruction();
    if (modalLoop_ != nullptr)
        modalLoop_->FormFreed();
    if (TMDIClient* client = frameClient())
        client->removeChild(this);
    // The children go before the client they live in, while this frame is
    // still the main form through which each finds the client to leave.
    if (mdiClient_ != nullptr)
        while (mdiClient_->ChildCount() > 0) {
            // One being freed already (it freed this frame) goes on without it.
            TCustomForm* child = mdiClient_->Children(mdiClient_->ChildCount() - 1);
            if (child->BeingFreed())
                mdiClient_->removeChild(child);
            else
                delete child;
        }
    if (active_)
        Screen().setActiveForm(nullptr);
    Screen().removeForm(this);
    if (Application().MainForm() == this)
        Application().SetMainForm(nullptr);
    mdiClient_.reset();
}

void TCustomForm::Loaded() {
    TCustomControl::Loaded();
    if (created_)
        return;
    created_ = true;
    if (OnCreate)
        OnCreate(this);
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
    TCustomControl::Notification(component, operation);
    if (operation == opRemove && component == activeControl_)
        activeControl_ = nullptr;
}

// ---------------------------------------------------------------------------
// Kind and look

void TCustomForm::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.Kind = std::string(formStyle_ == fsMDIChild ? wk::MDIChild : wk::Form);
    switch (borderStyle_) {
    case bsNone:
        params.Style |= WS_POPUP;
        break;
    case bsSingle:
        params.Style |= WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
        break;
    case bsSizeable:
        params.Style |= WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME;
        break;
    case bsDialog:
        params.Style |= WS_POPUP | WS_CAPTION | WS_SYSMENU;
        params.ExStyle |= WS_EX_DLGMODALFRAME;
        break;
    case bsToolWindow:
        params.Style |= WS_CAPTION | WS_SYSMENU;
        params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    case bsSizeToolWin:
        params.Style |= WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
        params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    }
    if (formStyle_ == fsStayOnTop || modalOnTop_)
        params.ExStyle |= WS_EX_TOPMOST;
    // A child lives in its frame's client; another form stays above the
    // form that owns it, or the main form.
    if (formStyle_ == fsMDIChild) {
        params.WndParent = frameClient();
    } else if (auto* owner = dynamic_cast<TCustomForm*>(Owner()); owner != nullptr && owner != this) {
        params.WndParent = owner;
    } else if (TCustomForm* main = Application().MainForm(); main != nullptr && main != this) {
        params.WndParent = main;
    }
}

void TCustomForm::SetFormStyle(TFormStyle style) {
    if (style == formStyle_)
        return;
    if (formStyle_ == fsMDIChild || formStyle_ == fsMDIForm)
        throw EInvalidOperation("Cannot change the style of an MDI form");
    if (style == fsMDIChild) {
        TCustomForm* frame = Application().MainForm();
        if (frame == nullptr || frame->formStyle_ != fsMDIForm || frame == this)
            throw EInvalidOperation("Cannot create form. No MDI forms are currently active");
        DestroyHandle();
        formStyle_ = style;
        frame->mdiClient_->addChild(this);
        return;
    }
    formStyle_ = style;
    if (style == fsMDIForm) {
        mdiClient_ = std::make_unique<TMDIClient>(*this);
        mdiClient_->SetParent(this);
        mdiClient_->SetAlign(alClient);
    }
    RecreateWnd();
}

void TCustomForm::SetBorderStyle(TBorderStyle style) {
    if (style == borderStyle_)
        return;
    borderStyle_ = style;
    RecreateWnd();
}

void TCustomForm::SetWindowState(TWindowState state) {
    if (state == windowState_)
        return;
    // Restored, a window minimised while maximised comes back maximised.
    if (state == wsMinimized)
        restoreMaximized_ = windowState_ == wsMaximized;
    windowState_ = state;
    TMDIClient* client = frameClient();
    if (client != nullptr)
        client->childStateChanged(this, state);
    if (Peer() != nullptr)
        Peer()->WindowStateChanged();
    // Once its window is put away, a minimised child hands the activation on.
    if (client != nullptr && state == wsMinimized)
        client->childMinimized(this);
    if (Parent() == nullptr)
        NotifyWindowNotice(wnWindowStateChanged, this);
}

TMDIClient* TCustomForm::frameClient() const {
    if (formStyle_ != fsMDIChild)
        return nullptr;
    TCustomForm* frame = Application().MainForm();
    if (frame == nullptr || frame->mdiClient_ == nullptr)
        return nullptr;
    const auto& children = frame->mdiClient_->children_;
    bool mine = std::find(children.begin(), children.end(), this) != children.end();
    return mine ? frame->mdiClient_.get() : nullptr;
}

// ---------------------------------------------------------------------------
// Showing

void TCustomForm::placeOnShow() {
    TRect area;
    switch (position_) {
    case poScreenCenter:
    case poDesktopCenter:
        area = Screen().WorkAreaRect();
        break;
    case poMainFormCenter:
    case poOwnerFormCenter: {
        TCustomForm* over = position_ == poMainFormCenter ? Application().MainForm()
                                                           : dynamic_cast<TCustomForm*>(Owner());
        if (over == nullptr || over == this)
            area = Screen().WorkAreaRect();
        else
            area = over->BoundsRect();
        break;
    }
    default:
        return;
    }
    SetBounds(area.Left + (area.Width() - Width()) / 2, area.Top + (area.Height() - Height()) / 2, Width(), Height());
}

void TCustomForm::Show() {
    // The focus a form takes as it appears selects an edit box's text, as
    // a desktop dialog does: typing replaces a default.
    struct TAppearing {
        bool& Flag;
        ~TAppearing() { Flag = false; }
    } appearing{selectFocusedText_};
    selectFocusedText_ = !Visible();
    if (!Visible()) {
        placeOnShow();
        SetVisible(true);
        if (Peer() != nullptr)
            Peer()->WindowStateChanged();
        if (OnShow)
            OnShow(this);
    }
    BringToFront();
    if (TMDIClient* client = frameClient())
        client->Activate(this);
    else
        setActive(true);
    if (Peer() != nullptr)
        Peer()->Activate();
}

void TCustomForm::SetFocus() {
    if (!Visible() || !Enabled())
        throw EInvalidOperation("Cannot focus a disabled or invisible window");
    if (TMDIClient* client = frameClient())
        client->Activate(this);
    else
        setActive(true);
    focusActiveControl();
}

void TCustomForm::setActive(bool active) {
    if (active == active_)
        return;
    if (active) {
        TCustomForm* previous = Screen().ActiveForm();
        if (previous != nullptr && previous != this)
            previous->setActive(false);
        active_ = true;
        Screen().setActiveForm(this);
        // OnActivate may free the form.
        TComponentWatch self(this);
        Activated();
        if (self.Alive())
            focusActiveControl();
    } else {
        active_ = false;
        if (Screen().ActiveForm() == this)
            Screen().setActiveForm(nullptr);
        Deactivated();
    }
}

void TCustomForm::Activated() {
    if (OnActivate)
        OnActivate(this);
}

void TCustomForm::Deactivated() {
    if (OnDeactivate)
        OnDeactivate(this);
}

void TCustomForm::focusActiveControl() {
    // A frame's focus belongs to its active child, unless one of the
    // frame's own controls had it last (a dialog closing gives it back).
    const bool own = ownFocus_ && activeControl_ != nullptr && activeControl_->CanFocus();
    if (TCustomForm* child = ActiveMDIChild(); child != nullptr && child != this && !own) {
        child->focusActiveControl();
        return;
    }
    TWinControl* target = activeControl_ != nullptr && activeControl_->CanFocus() ? activeControl_ : nullptr;
    // Without one, the first field in tab order (TabOrder, not the order
    // the controls were made in): a container's own fields come before
    // the container, so that a page control gives the focus to the first
    // field of its page rather than to its tabs.
    std::function<TWinControl*(TWinControl&)> first = [&](TWinControl& parent) -> TWinControl* {
        for (TWinControl* child : parent.TabList()) {
            if (child == mdiClient_.get() || !child->Visible() || !child->Enabled())
                continue;
            if (TWinControl* inner = first(*child))
                return inner;
            if (child->InTabOrder() && child->CanFocus())
                return child;
        }
        return nullptr;
    };
    if (target == nullptr)
        target = first(*this);
    if (target == nullptr)
        return;
    TComponentWatch watch(target);
    target->SetFocus();
    if (!selectFocusedText_ || !watch.Alive())
        return;
    auto* edit = dynamic_cast<TCustomEdit*>(target);
    if (edit != nullptr && dynamic_cast<TCustomMemo*>(edit) == nullptr && edit->Focused())
        edit->SelectAll();
}

void TCustomForm::SetActiveControl(TWinControl* control) {
    if (control == activeControl_)
        return;
    if (control != nullptr && (control == this || GetParentForm(*control) != this))
        throw EInvalidOperation("Invalid active control: it is not on the form");
    if (activeControl_ != nullptr)
        activeControl_->RemoveFreeNotification(this);
    activeControl_ = control;
    if (control != nullptr) {
        control->FreeNotification(this);
        if (active_ && control->CanFocus())
            control->SetFocus();
    }
}

int TCustomForm::ShowModal() {
    if (Visible() || !Enabled() || Modal() || formStyle_ == fsMDIChild)
        throw EInvalidOperation("Cannot make a visible window modal");
    TComponentWatch self(this);
    modalResult_ = 0;
    // The user must answer the form: a window of the program that stays on
    // top would hide it, so it stays on top too while one shows.
    const bool onTop = formStyle_ != fsStayOnTop && ShowingStayOnTopForm(this) != nullptr;
    if (onTop != modalOnTop_) {
        modalOnTop_ = onTop;
        RecreateWnd();
    }
    TModalFormLoop loop(*this);
    modalLoop_ = &loop;
    try {
        Show();
        if (self.Alive() && modalResult_ == 0)
            loop.Run();
    } catch (...) {
        if (self.Alive()) {
            modalLoop_ = nullptr;
            Hide();
        }
        throw;
    }
    if (!self.Alive())
        return mrCancel;
    modalLoop_ = nullptr;
    if (loop.Ended() == leQuit || modalResult_ == 0)
        modalResult_ = mrCancel;
    Hide();
    setActive(false);
    return modalResult_;
}

TCustomForm* ShowingStayOnTopForm(const TCustomForm* except) {
    for (int i = 0; i < Screen().FormCount(); ++i) {
        TCustomForm* form = Screen().Forms(i);
        if (form != except && form->FormStyle() == fsStayOnTop && form->Visible())
            return form;
    }
    return nullptr;
}

void TCustomForm::SetModalResult(int result) {
    modalResult_ = result;
    if (result != 0 && modalLoop_ != nullptr && modalLoop_->Running() && !modalLoop_->Finishing())
        closeModal(result);
}

bool TCustomForm::closeModal(int result) {
    if (closing_)
        return false;
    TClosingScope closing(*this, closing_);
    bool canClose = false;
    TCloseAction action = caHide;
    try {
        canClose = CloseQuery();
        if (closing.Alive() && canClose)
            DoClose(action);
    } catch (...) {
        // A handler's error keeps the form open; the error is shown by
        // whoever called.
        if (closing.Alive())
            modalResult_ = 0;
        throw;
    }
    if (!closing.Alive())
        return false;
    if (!canClose || action == caNone) {
        modalResult_ = 0;
        return false;
    }
    modalLoop_->Finish(result);
    if (action == caFree)
        Release();
    return true;
}

// ---------------------------------------------------------------------------
// Closing

bool TCustomForm::CloseQuery() {
    if (formStyle_ == fsMDIForm && mdiClient_ != nullptr) {
        // One refusal keeps everything open.
        std::vector<TCustomForm*> children = mdiClient_->children_;
        TComponentWatch self(this);
        for (TCustomForm* child : children) {
            TComponentWatch watch(child);
            bool canClose = child->CloseQuery();
            if (!self.Alive())
                return false;
            if (watch.Alive() && !canClose)
                return false;
        }
    }
    bool canClose = true;
    if (OnCloseQuery)
        OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::DoClose(TCloseAction& action) {
    if (OnClose)
        OnClose(this, action);
}

void TCustomForm::Close() {
    if (Modal()) {
        SetModalResult(mrCancel);
        return;
    }
    if (closing_)
        return;
    TCloseAction action = formStyle_ == fsMDIChild ? caMinimize : caHide;
    {
        TClosingScope closing(*this, closing_);
        bool canClose = CloseQuery();
        if (!closing.Alive())
            return;
        if (canClose)
            DoClose(action);
        if (!closing.Alive() || !canClose)
            return;
    }
    if (action == caNone)
        return;
    if (Application().MainForm() == this) {
        Application().Terminate();
        return;
    }
    switch (action) {
    case caHide:
        Hide();
        break;
    case caMinimize:
        SetWindowState(wsMinimized);
        break;
    default:
        Release();
        break;
    }
}

void TCustomForm::Release() {
    if (releasing_)
        return;
    releasing_ = true;
    PostMessage(this, CM_RELEASE);
}

// ---------------------------------------------------------------------------
// MDI

int TCustomForm::MDIChildCount() const { return mdiClient_ != nullptr ? mdiClient_->ChildCount() : 0; }

TCustomForm* TCustomForm::MDIChildren(int index) const {
    if (mdiClient_ == nullptr)
        throw EListError();
    return mdiClient_->Children(index);
}

TCustomForm* TCustomForm::ActiveMDIChild() const {
    return mdiClient_ != nullptr ? mdiClient_->ActiveChild() : nullptr;
}

void TCustomForm::Next() {
    if (mdiClient_ != nullptr)
        mdiClient_->Next();
}

void TCustomForm::Previous() {
    if (mdiClient_ != nullptr)
        mdiClient_->Previous();
}

std::vector<TSystemMenuEntry> TCustomForm::SystemMenu() const {
    const bool sizeable = hasSizeButtons();
    std::vector<TSystemMenuEntry> entries;
    entries.push_back({"&Restore", SC_RESTORE, windowState_ != wsNormal && sizeable, false});
    entries.push_back({"Mi&nimize", SC_MINIMIZE, windowState_ != wsMinimized && sizeable, false});
    entries.push_back({"Ma&ximize", SC_MAXIMIZE, windowState_ != wsMaximized && sizeable, false});
    entries.push_back({"-", 0, true, false});
    entries.push_back({formStyle_ == fsMDIChild ? "&Close\tCtrl+F4" : "&Close\tAlt+F4", SC_CLOSE, true, true});
    if (formStyle_ == fsMDIChild) {
        entries.push_back({"-", 0, true, false});
        TMDIClient* client = frameClient();
        entries.push_back({"Nex&t\tCtrl+F6", SC_NEXTWINDOW, client != nullptr && client->ChildCount() > 1, false});
    }
    return entries;
}

void TCustomForm::ShowSystemMenu() {
    TPopupMenu menu;
    for (const TSystemMenuEntry& entry : SystemMenu()) {
        unsigned command = entry.Command;
        TMenuItem* item = menu.Add(entry.Caption, [this, command](TPersistent*) { Perform(WM_SYSCOMMAND, command, 0); });
        item->Enabled = entry.Enabled;
    }
    menu.PopupComponent = this;
    menu.Popup(ClientToScreen({0, 0}));
}

// ---------------------------------------------------------------------------
// Messages

void TCustomForm::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case WM_CLOSE:
        Close();
        message.Result = 1; // the form decides; the window stays until then
        return;
    case WM_SYSCOMMAND:
        switch (static_cast<unsigned>(message.WParam) & 0xFFF0) {
        case SC_CLOSE:
            Close();
            break;
        case SC_MINIMIZE:
        case SC_MAXIMIZE: {
            // Some window managers offer both on every window, whatever its
            // border asks for.  A form without the button (a dialog) keeps
            // its state, and its window is put back: a dialog minimised
            // away would leave its modal loop waiting unseen.
            if (hasSizeButtons())
                SetWindowState((message.WParam & 0xFFF0) == SC_MINIMIZE ? wsMinimized : wsMaximized);
            else if (Peer() != nullptr)
                Peer()->WindowStateChanged();
            break;
        }
        case SC_RESTORE:
            SetWindowState(windowState_ == wsMinimized && restoreMaximized_ ? wsMaximized : wsNormal);
            break;
        case SC_KEYMENU: {
            // The keyboard's way to the system menu: Space for this window's,
            // "-" for the active document window's.
            auto ch = static_cast<char32_t>(message.LParam);
            TCustomForm* owner = ch == U' ' ? this : ch == U'-' && mdiClient_ != nullptr ? ActiveMDIChild() : nullptr;
            if (ch == U'-' && formStyle_ == fsMDIChild)
                owner = this;
            if (owner != nullptr)
                owner->ShowSystemMenu();
            break;
        }
        case SC_NEXTWINDOW:
        case SC_PREVWINDOW:
            if (TMDIClient* client = frameClient()) {
                if ((message.WParam & 0xFFF0) == SC_NEXTWINDOW)
                    client->Next();
                else
                    client->Previous();
            }
            break;
        default:
            break;
        }
        message.Result = 0;
        return;
    case WM_ACTIVATE:
        if (formStyle_ != fsMDIChild)
            setActive(LOWORD(message.WParam) != WA_INACTIVE);
        message.Result = 0;
        return;
    case WM_MDIACTIVATE:
        if (TMDIClient* client = frameClient(); client != nullptr && message.LParam == reinterpret_cast<LPARAM>(this))
            client->Activate(this);
        message.Result = 0;
        return;
    case CM_MODALRESULT:
        SetModalResult(static_cast<int>(message.WParam));
        message.Result = 1;
        return;
    case CM_FOCUSCHANGED:
        // A control of the form took the focus: it is the active control.
        if (auto* control = reinterpret_cast<TWinControl*>(message.LParam);
            control != nullptr && control != this && GetParentForm(*control) == this) {
            if (control != activeControl_) {
                if (activeControl_ != nullptr)
                    activeControl_->RemoveFreeNotification(this);
                activeControl_ = control;
                control->FreeNotification(this);
            }
            if (TMDIClient* client = frameClient())
                client->Frame().ownFocus_ = false;
            else
                ownFocus_ = true;
        }
        message.Result = 0;
        return;
    case CM_RELEASE:
        delete this;
        return;
    case CM_TEXTCHANGED:
        TCustomControl::Dispatch(message);
        if (TMDIClient* client = frameClient())
            client->notify(mdiCaptionChanged, this);
        return;
    case CM_VISIBLECHANGED:
        if (!Visible() && formStyle_ == fsMDIChild && frameClient() != nullptr) {
            // An MDI child stays on view; hiding it is refused.
            SetVisible(true);
            throw EInvalidOperation("Cannot hide an MDI Child Form");
        }
        {
            // Showing or hiding the window runs handlers that may free the form.
            TComponentWatch self(this);
            TCustomControl::Dispatch(message);
            if (!self.Alive())
                return;
        }
        if (!Visible()) {
            if (active_)
                setActive(false);
            if (OnHide)
                OnHide(this);
        }
        return;
    default:
        TCustomControl::Dispatch(message);
    }
}
