#include "toolbars/TBMenuLoop.h"

#include "platform/base/Utf8.h"
#include "platform/gfx/TextDrawing.h"
#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Screen.h"
#include "toolbars/TBCommon.h"
#include "toolbars/TBDeferredClick.h"
#include "toolbars/TBItemViewer.h"
#include "toolbars/TBPopupWindow.h"
#include "toolbars/TBScreen.h"
#include "toolbars/TBSystemSettings.h"
#include "toolbars/TBView.h"

namespace {

TTBMenuLoop* activeLoop = nullptr;

TWinControl* captureWindow = nullptr;
int captureCount = 0;

// The long hint of the item under the keyboard or mouse goes to the
// application (a status bar shows it).
void setHint(const std::string& hint) { Application().SetHint(hint); }

char32_t firstCharacter(std::string_view caption) {
    size_t at = 0;
    return caption.empty() ? 0 : Utf8CharacterAt(caption, at);
}

} // namespace

// ---------------------------------------------------------------------------
// Capture

void HoldMenuCapture(TWinControl* window) {
    if (captureCount++ > 0)
        return;
    captureWindow = window;
    SetCaptureControl(window);
    if (window != nullptr)
        window->ShowCursorShape(crArrow);
}

void ReleaseMenuCapture() {
    if (captureCount == 0 || --captureCount > 0)
        return;
    if (captureWindow != nullptr && GetCaptureControl() == captureWindow)
        ReleaseCapture();
    captureWindow = nullptr;
}

TWinControl* MenuCaptureWindow() { return captureWindow; }

TWinControl* TTBMenuLoop::CaptureWindow() const { return root_.Alive() ? root_.Get()->Window() : nullptr; }

// ---------------------------------------------------------------------------
// TTBMenuLoop

TTBMenuLoop::TTBMenuLoop(TTBView* rootView, bool startedByMouse, bool menuMode, bool selectFirst)
    : root_(rootView), startedByMouse_(startedByMouse), menuMode_(menuMode), selectFirst_(selectFirst) {
    state_.RootView = rootView;
    outer_ = activeLoop;
    activeLoop = this;
}

TTBMenuLoop::~TTBMenuLoop() {
    Leave();
    activeLoop = outer_;
}

TTBMenuLoop* TTBMenuLoop::Active() { return activeLoop; }

bool TTBMenuLoop::rootGone() {
    if (root_.Alive())
        return false;
    finished_ = true;
    return true;
}

template <class Step> bool TTBMenuLoop::guarded(Step&& step) {
    try {
        step();
        return !rootGone();
    } catch (...) {
        if (!failure_)
            failure_ = std::current_exception();
        finished_ = true;
        return false;
    }
}

void TTBMenuLoop::Start() {
    started_ = true;
    TTBView* root = state_.RootView;
    guarded([&] {
        root->ValidatePositions();
        if (menuMode_)
            root->State |= vsMenuMode;
        else
            root->State &= static_cast<TTBViewState>(~vsMenuMode);
        root->State |= vsModal;
        HoldMenuCapture(root->Window());
        lastCursor_ = TBCursorPos();
        if (startedByMouse_) {
            leftButtonDown_ = true;
            if (TTBItemViewer* selected = root->Selected()) {
                TPoint at = selected->ScreenToViewer(TBCursorPos());
                selected->MouseDown(0, at.X, at.Y, state_);
                if (state_.Finish || rootGone()) {
                    finished_ = true;
                    return;
                }
            }
            state_.IgnoreRelease = false;
        }
        if (root->State & vsMenuMode)
            root->OpenPopup(selectFirst_);
    });
}

void TTBMenuLoop::Leave() {
    if (left_)
        return;
    left_ = true;
    finished_ = true;
    if (!started_)
        return;
    if (TTBView* root = root_.Get()) {
        try {
            root->CancelCapture();
        } catch (...) {
            if (!failure_)
                failure_ = std::current_exception();
        }
        root->State &= static_cast<TTBViewState>(~vsModal);
    }
    ReleaseMenuCapture();
    StopViewTimer(hintTimer_);
    if (hintShown_)
        Application().CancelHint();
    setHint("");
}

TTBView* TTBMenuLoop::chainViewOfWindow(TWinControl* window) {
    if (window == nullptr)
        return nullptr;
    for (TTBView* view = state_.RootView; view != nullptr; view = view->OpenViewerView())
        if (view->Window() == window)
            return view;
    return nullptr;
}

bool TTBMenuLoop::insidePopupOfChain(TPoint screen) {
    TTBView* view = chainViewOfWindow(TBWindowAtPoint(screen));
    return view != nullptr && view != state_.RootView && view->IsPopup();
}

int TTBMenuLoop::showDelay() {
    if (!showDelay_)
        showDelay_ = std::max(0, TBSystemSettings().MenuShowDelay());
    return *showDelay_;
}

TTBItemViewer* TTBMenuLoop::mouseTarget() {
    for (TTBView* view = state_.RootView; view != nullptr; view = view->OpenViewerView())
        if (view->Capture())
            return view->Selected();
    for (TTBView* view = state_.RootView; view != nullptr; view = view->OpenViewerView()) {
        if (view->Selected() != nullptr && view->MouseOverSelected())
            return view->Selected();
        if (view->State & vsMouseInWindow)
            return nullptr;
    }
    return nullptr;
}

void TTBMenuLoop::updateSelection(TPoint screen, bool force) {
    if (rootGone())
        return;
    TTBView* root = state_.RootView;
    TTBView* captured = nullptr;
    for (TTBView* view = root; view != nullptr; view = view->OpenViewerView())
        if (view->Capture())
            captured = view;
    // From the deepest view up; a view may close the popups below it, so
    // the chain is read afresh after each one.
    // Moving the selection runs the items' handlers, which may free any of
    // these views: only those still there are gone on with.
    TTBView* view = captured != nullptr ? captured : root->DeepestView();
    while (view != nullptr) {
        TComponentWatch<TTBView> parent(captured != nullptr ? nullptr : view->ParentView());
        if (rootGone() || !root->IsAncestorOf(view))
            break;
        TComponentWatch<TTBView> current(view);
        TTBItemViewer* before = view->Selected();
        view->MouseMoved(screen, force);
        if (rootGone())
            return;
        if (!current.Alive()) {
            view = parent.Get();
            continue;
        }
        TTBItemViewer* selected = view->Selected();
        bool inside = (view->State & vsMouseInWindow) != 0;
        bool submenuAhead = view->OpenViewer() != nullptr ||
                            (selected != nullptr && (selected->Item()->ItemStyle & isSubmenu));
        if (inside && selected != view->OpenViewer() && submenuAhead) {
            bool noAutoOpen = selected != nullptr && (selected->Item()->ItemStyle & isNoAutoOpen);
            if (view->IsToolbar()) {
                if (view != root && !view->Capture())
                    view->State |= vsMenuMode;
                if (view->State & vsMenuMode) {
                    if (noAutoOpen)
                        view->CloseChildPopups();
                    else
                        view->OpenPopup(false);
                    if (rootGone())
                        return;
                }
            } else {
                int delay = showDelay();
                if (view->OpenTimer == 0) {
                    StopViewTimer(view->CloseTimer);
                    view->CloseTimer = StartViewTimer(view, static_cast<unsigned>(delay));
                }
                if (!noAutoOpen) {
                    if (view->OpenTimer == 0) {
                        view->OpenTimer = StartViewTimer(view, static_cast<unsigned>(delay));
                    } else if (before != selected) {
                        StopViewTimer(view->OpenTimer);
                        view->OpenTimer = StartViewTimer(view, static_cast<unsigned>(delay));
                    }
                }
            }
        }
        view = parent.Get();
    }
}

void TTBMenuLoop::updateCursorAndHint() {
    if (!lastCursor_)
        return;
    updateSelection(*lastCursor_, true);
    if (rootGone())
        return;
    TTBView* deepest = state_.RootView->DeepestView();
    TTBItemViewer* selected = deepest->Selected();
    int cursor = crArrow;
    if (selected != nullptr)
        selected->CursorAt(selected->ScreenToViewer(*lastCursor_), cursor);
    if (TWinControl* window = TBWindowAtPoint(*lastCursor_); window != nullptr && chainViewOfWindow(window))
        window->ShowCursorShape(cursor);
    hintFor(deepest, selected);
}

void TTBMenuLoop::hintFor(TTBView* view, TTBItemViewer* selected) {
    // An item shows its hint in a menu when it asks to (tboShowHint) or its
    // view shows every item's; the pointer must rest on it first.
    bool wanted = selected != nullptr && view->Window() != nullptr && !view->Capture() &&
                  (view->ShowsHints() || (selected->Item()->EffectiveOptions() & tboShowHint));
    if (wanted && selected == hintViewer_)
        return;
    StopViewTimer(hintTimer_);
    if (hintShown_) {
        Application().CancelHint();
        hintShown_ = false;
    }
    hintViewer_ = wanted ? selected : nullptr;
    if (wanted)
        hintTimer_ = StartViewTimer(view, kTBHintPause);
}

void TTBMenuLoop::hintTimerFired() {
    StopViewTimer(hintTimer_);
    TTBView* deepest = state_.RootView->DeepestView();
    if (hintViewer_ == nullptr || deepest->Selected() != hintViewer_ || !lastCursor_)
        return;
    Application().ActivateHint(*lastCursor_);
    hintShown_ = true;
}

void TTBMenuLoop::afterEvent() {
    if (finished_ || rootGone())
        return;
    if (!lastCursor_) {
        lastCursor_ = TBCursorPos();
        updateCursorAndHint();
    }
    std::string hint;
    for (TTBView* view = state_.RootView; view != nullptr; view = view->OpenViewerView())
        if (view->Selected() != nullptr)
            hint = GetLongHint(view->Selected()->Item()->Hint);
    setHint(hint);
}

// A press before it is taken: whether the loop keeps it.
bool TTBMenuLoop::pressCheck(const TTBInputEvent& event) {
    TTBView* root = state_.RootView;
    TWinControl* window = TBWindowAtPoint(event.Screen);
    TTBView* view = chainViewOfWindow(window);
    if (view != nullptr && view != root)
        return true;
    if (window == nullptr || window != root->Window())
        return false;
    TPoint local = root->ScreenToView(event.Screen);
    TWinControl* rootWindow = root->Window();
    TRect client = Rect(0, 0, rootWindow->ClientWidth() - root->WindowOrigin.X,
                        rootWindow->ClientHeight() - root->WindowOrigin.Y);
    if (!client.Contains(local))
        return false;
    if (event.Button == mbLeft) {
        updateSelection(event.Screen, true);
        if (rootGone())
            return false;
        TTBItemViewer* selected = root->Selected();
        if (selected == nullptr || !root->MouseOverSelected() || (selected->Item()->ItemStyle & isNotClickable))
            return false;
    }
    return true;
}

TTBVerdict TTBMenuLoop::HandleEvent(const TTBInputEvent& event) {
    if (finished_)
        return tbvPassAfterEnd;
    bool used = true;
    switch (event.Kind) {
    case tbikQuit:
        quit_ = true;
        finished_ = true;
        return tbvSwallow;
    case tbikCaptureLost:
        finished_ = true;
        return tbvSwallow;
    default:
        break;
    }
    bool isPress = event.Kind == tbikButtonDown || event.Kind == tbikDoubleClick;
    bool isMouse = event.Kind == tbikMouseMove || isPress || event.Kind == tbikButtonUp || event.Kind == tbikWheel;
    if (isMouse)
        SetTBCursorPos(event.Screen);
    guarded([&] {
        if (isPress && event.Button != mbMiddle && !pressCheck(event)) {
            // Not the menus' press: the loop ends and its target gets it.
            finished_ = true;
            used = false;
            return;
        }
        switch (event.Kind) {
        case tbikButtonDown:
        case tbikDoubleClick:
            if (event.Button == mbLeft) {
                leftButtonDown_ = true;
                buttonDown(event, event.Kind == tbikDoubleClick);
            }
            break;
        case tbikButtonUp:
            if (event.Button == mbLeft) {
                leftButtonDown_ = false;
                buttonUp(event);
            }
            break;
        case tbikMouseMove:
            mouseMove(event);
            break;
        case tbikWheel:
            if (TTBItemViewer* target = mouseTarget()) {
                TPoint at = target->ScreenToViewer(event.Screen);
                target->MouseWheel(event.WheelDelta, at.X, at.Y);
            }
            break;
        case tbikKeyDown:
            keyDown(event);
            break;
        default: // key releases and context-menu requests are swallowed
            break;
        }
        if (state_.Finish)
            finished_ = true;
        afterEvent();
    });
    return used ? tbvSwallow : tbvPassAfterEnd;
}

void TTBMenuLoop::buttonDown(const TTBInputEvent& event, bool doubleClick) {
    // (An item's tool tip hides by itself on a press; the application's
    // hint text follows the selection after the event.)
    state_.IgnoreRelease = false;
    updateSelection(event.Screen, true);
    if (rootGone())
        return;
    if (TTBItemViewer* target = mouseTarget()) {
        TPoint at = target->ScreenToViewer(event.Screen);
        target->MouseDown(doubleClick ? static_cast<TShiftState>(ssDouble) : 0u, at.X, at.Y, state_);
    }
    if (state_.Finish)
        finished_ = true;
    else
        lastCursor_ = event.Screen;
}

void TTBMenuLoop::buttonUp(const TTBInputEvent& event) {
    updateSelection(event.Screen, false);
    if (rootGone())
        return;
    if (TTBItemViewer* target = mouseTarget()) {
        TPoint at = target->ScreenToViewer(event.Screen);
        target->MouseUp(at.X, at.Y, state_);
        return;
    }
    // Released over a popup's empty space: the menus stay open.
    if (!insidePopupOfChain(event.Screen))
        finished_ = true;
}

void TTBMenuLoop::mouseMove(const TTBInputEvent& event) {
    if (!lastCursor_ || *lastCursor_ != event.Screen) {
        lastCursor_ = event.Screen;
        updateCursorAndHint();
    }
    if (rootGone())
        return;
    if (TTBItemViewer* target = mouseTarget()) {
        TPoint at = target->ScreenToViewer(event.Screen);
        target->MouseMove(at.X, at.Y);
    }
}

void TTBMenuLoop::runKey(uint16_t& key, TShiftState shift) {
    if (rootGone())
        return;
    TComponentWatch<TTBView> deepest(state_.RootView->DeepestView());
    if (TTBItemViewer* selected = deepest.Get()->Selected())
        selected->KeyDown(key, shift);
    // The viewer's handler may have ended the loop, closed its popup or
    // freed the views.
    if (key != 0 && !state_.Finish && !rootGone() && deepest.Alive() && state_.RootView->IsAncestorOf(deepest.Get()))
        deepest.Get()->KeyDown(key, shift, state_);
}

void TTBMenuLoop::keyDown(const TTBInputEvent& event) {
    // (As for presses: the tool tip hides on the key by itself.)
    // While the left button is held only F1 works.
    if (leftButtonDown_ && event.Key != VK_F1)
        return;
    uint16_t key = event.Key;
    // A key that only types (no key code) is its characters alone.
    if (key != 0) {
        runKey(key, event.Shift);
        if (key == 0)
            return;
    }
    if (state_.Finish || rootGone())
        return;
    std::string text = event.Text;
    if (text.empty() && (event.Shift & ssAlt) &&
        ((event.Key >= 'A' && event.Key <= 'Z') || (event.Key >= '0' && event.Key <= '9')))
        text = std::string(1, static_cast<char>(event.Key >= 'A' ? event.Key - 'A' + 'a' : event.Key));
    // The text is UTF-8: each whole character is one access key.
    for (size_t at = 0; at < text.size();) {
        if (state_.Finish || finished_)
            break;
        typed(Utf8CharacterAt(text, at));
    }
}

void TTBMenuLoop::typed(char32_t ch) {
    if (leftButtonDown_ || ch < U' ' || rootGone())
        return;
    TTBView* root = state_.RootView;
    TTBView* deepest = root->DeepestView();
    bool unique = false;
    if (TTBItemViewer* viewer = deepest->FindAccelViewer(deepest->Selected(), ch, unique, false)) {
        deepest->Select(viewer);
        uint16_t key = VK_RETURN;
        if (unique)
            runKey(key, 0);
        return;
    }
    TWinControl* active = Screen().ActiveForm();
    if ((ch == ' ' || ch == '-') && root->OpenViewer() == nullptr && root->IsToolbar() && active != nullptr) {
        state_.DoneAction = TTBDoneAction{};
        state_.DoneAction.Kind = tbdaOpenSystemMenu;
        state_.DoneAction.Window = active;
        state_.DoneAction.Character = ch;
        state_.Finish = true;
        return;
    }
    TBSystemSettings().Beep();
}

void TTBMenuLoop::ViewTimer(uintptr_t id) {
    if (finished_ || rootGone())
        return;
    if (id == hintTimer_) {
        guarded([&] { hintTimerFired(); });
        return;
    }
    TTBView* view = ViewOfTimer(id);
    if (view == nullptr || !state_.RootView->IsAncestorOf(view)) {
        StopViewTimer(id);
        return;
    }
    guarded([&] {
        view->TimerFired(id);
        afterEvent();
    });
}

// ---------------------------------------------------------------------------
// Keyboard navigation of a view

void TTBView::KeyDown(uint16_t& key, TShiftState shift, TTBLoopState& loop) {
    TTBView* toolbarView = NearestToolbarView();
    bool horizontalToolbar = toolbarView != nullptr && toolbarView->Orientation != tbvoVertical;
    TTBView* parent = ParentView();
    // Closing this popup level frees this view: nothing may touch it after.
    auto closeThisLevel = [parent] {
        if (parent != nullptr)
            parent->CloseChildPopups();
    };
    // Selecting and opening run the items' handlers, which may free this
    // view, the toolbar's or the viewer chosen.
    TComponentWatch self(this);
    TComponentWatch toolbar(toolbarView);
    // The toolbar's selection moves on, and opens in menu mode.
    auto moveOnInToolbar = [&](bool forward) {
        if (!toolbar.Alive())
            return;
        toolbarView->SelectNext(forward);
        if (toolbar.Alive())
            toolbarView->OpenSelectedIfMenuMode();
    };
    switch (key) {
    case VK_LEFT:
    case VK_RIGHT:
        if (IsToolbar() && Orientation == tbvoVertical) {
            key = 0;
            if (OpenPopup(true))
                State |= vsMenuMode;
            return;
        }
        if (key == VK_LEFT) {
            key = 0;
            if (horizontalToolbar && (toolbarView == this || toolbarView == parent)) {
                moveOnInToolbar(false);
            } else if (!IsToolbar()) {
                closeThisLevel();
            }
            return;
        }
        key = 0;
        if ((toolbarView == this || !OpenPopup(true)) && horizontalToolbar)
            moveOnInToolbar(true);
        return;
    case VK_UP:
    case VK_DOWN:
        if (IsToolbar() && Orientation != tbvoVertical) {
            if (OpenPopup(true))
                State |= vsMenuMode;
        } else {
            SelectNext(key == VK_DOWN);
        }
        break;
    case VK_HOME:
        Select(NextSelectable(nullptr, true));
        break;
    case VK_END:
        Select(NextSelectable(nullptr, false));
        break;
    case VK_TAB:
        SelectNext(!(shift & ssShift));
        break;
    case VK_ESCAPE:
        key = 0;
        if (this == loop.RootView) {
            loop.Finish = true;
        } else if (parent != nullptr) {
            parent->CloseChildPopups();
            if (parent->IsToolbar())
                parent->State &= static_cast<TTBViewState>(~vsMenuMode);
        }
        return;
    case VK_RETURN: {
        key = 0;
        TTBItemViewer* selected = Selected();
        if (selected == nullptr || !selected->Item()->Enabled()) {
            loop.Finish = true;
            return;
        }
        TTBCustomItem* item = selected->Item();
        TComponentWatch chosen(selected);
        if (!(item->ItemStyle & isDropDownCombo) && OpenPopup(true)) {
            if (this == toolbarView)
                State |= vsMenuMode;
            return;
        }
        if (self.Alive() && chosen.Alive() && (item->ItemStyle & isSelectable)) {
            PromoteViewer(selected);
            loop.DoneAction = TTBDoneAction::Click(item, !(this == loop.RootView && IsToolbar()));
        }
        loop.Finish = true;
        return;
    }
    case VK_MENU:
    case VK_F10:
        loop.Finish = true;
        break;
    case VK_F1:
        for (TTBView* view = this; view != nullptr; view = view->ParentView())
            if (view->Selected() != nullptr && view->Selected()->Item()->HelpContext != 0) {
                loop.DoneAction = TTBDoneAction{};
                loop.DoneAction.Kind = tbdaHelp;
                loop.DoneAction.HelpContext = view->Selected()->Item()->HelpContext;
                loop.Finish = true;
                break;
            }
        break;
    default:
        return;
    }
    key = 0;
}

TTBItemViewer* TTBView::FindAccelViewer(TTBItemViewer* start, char32_t ch, bool& unique, bool accelOnly) {
    unique = false;
    ValidatePositions();
    int count = ViewerCount();
    if (count == 0)
        return nullptr;
    int from = IndexOfViewer(start);
    for (int pass = 0; pass < (accelOnly ? 2 : 4); ++pass) {
        bool accelPass = pass < 2;
        bool enabledPass = pass % 2 == 0;
        TTBItemViewer* found = nullptr;
        int matches = 0;
        for (int step = 1; step <= count; ++step) {
            int i = (from + step) % count;
            if (i < 0)
                i += count;
            TTBItemViewer* viewer = Viewers(i);
            TTBCustomItem* item = viewer->Item();
            if (!viewer->Show || !(item->ItemStyle & isSelectable) || !item->Visible() ||
                item->Enabled() != enabledPass || !viewer->ShowsCaption())
                continue;
            std::string caption = viewer->CaptionText();
            char32_t key = AccessKeyOf(caption);
            // Without an access key, an item answers to its first character.
            bool match = accelPass ? SameKeyCharacter(ch, key)
                                   : key == 0 && ch != U' ' && SameKeyCharacter(ch, firstCharacter(caption));
            if (!match)
                continue;
            if (found == nullptr)
                found = viewer;
            ++matches;
        }
        if (found != nullptr) {
            unique = !enabledPass || matches == 1;
            return found;
        }
    }
    return nullptr;
}

// ---------------------------------------------------------------------------
// The entry

void TrackMenu(TTBView* view, unsigned options) {
    if (view == nullptr || view->IsPopup() || (view->State & vsModal))
        return;
    // The handlers run meanwhile may free the view (with its toolbar).
    TComponentWatch self(view);
    view->State &= static_cast<TTBViewState>(vsShowAccels | vsUseHiddenAccels | vsAlwaysShowHints);
    TTBDoneAction done;
    std::exception_ptr failure;
    bool quit = false;
    {
        TTBMenuLoop loop(view, options & tbtmStartedByMouse, options & tbtmMenuMode, options & tbtmSelectFirst);
        loop.Start();
        if (!loop.Finished()) {
            try {
                TBLoopDriver().Run(loop);
            } catch (...) {
                failure = std::current_exception();
            }
        }
        loop.Leave();
        if (!failure)
            failure = loop.Failure();
        done = loop.State().DoneAction;
        quit = loop.Quit();
    }
    // Whatever way the loop ended, no popup stays open.
    try {
        if (self.Alive())
            view->CloseChildPopups();
        if (self.Alive())
            view->MouseMoved(TBCursorPos(), true);
    } catch (...) {
        if (!failure)
            failure = std::current_exception();
    }
    if (failure)
        std::rethrow_exception(failure);
    if (self.Alive()) {
        view->SetAccelsVisible(false);
        view->Select(nullptr);
    }
    if (self.Alive())
        view->State &= static_cast<TTBViewState>(~(vsMenuMode | vsNoAnimation));
    if (!quit)
        ExecuteDoneAction(done);
}

TTBDoneAction TTBDoneAction::Click(TTBCustomItem* item, bool sound) {
    TTBDoneAction action;
    action.Kind = tbdaClickItem;
    action.ClickItem = std::make_shared<TComponentWatch<TTBCustomItem>>(item);
    action.Sound = sound;
    return action;
}

void ExecuteDoneAction(const TTBDoneAction& action) {
    switch (action.Kind) {
    case tbdaClickItem:
        if (action.ClickItem == nullptr || !action.ClickItem->Alive())
            return;
        if (action.Sound && TBSystemSettings().SoundAssigned("MenuCommand"))
            TBSystemSettings().PlaySound("MenuCommand");
        PostItemClick(action.ClickItem->Get());
        break;
    case tbdaOpenSystemMenu:
        if (action.Window != nullptr)
            SendMessage(action.Window, WM_SYSCOMMAND, SC_KEYMENU, static_cast<LPARAM>(action.Character));
        break;
    case tbdaHelp:
        Application().HelpContext(action.HelpContext);
        break;
    default:
        break;
    }
}
