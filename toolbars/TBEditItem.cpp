#include "toolbars/TBEditItem.h"

#include "platform/base/TextCodec.h"
#include "platform/base/Utf8.h"
#include "platform/gfx/Canvas.h"
#include "platform/ui/ComponentWatch.h"
#include "toolbars/TBCommon.h"
#include "toolbars/TBDrawText.h"
#include "toolbars/TBEditAction.h"
#include "toolbars/TBLoopState.h"
#include "toolbars/TBMenuLoop.h"
#include "toolbars/TBPopupWindow.h"
#include "toolbars/TBStandardEditField.h"
#include "toolbars/TBView.h"

namespace {

TTBEditFieldFactory& fieldFactory() {
    static TTBEditFieldFactory factory = &MakeStandardEditField;
    return factory;
}


} // namespace

void SetTBEditFieldFactory(TTBEditFieldFactory factory) {
    fieldFactory() = factory ? std::move(factory) : TTBEditFieldFactory(&MakeStandardEditField);
}

// ---------------------------------------------------------------------------
// TTBEditItem

TTBEditItem::TTBEditItem(TComponent* owner) : TTBCustomItem(owner) {}

std::string TTBEditItem::cased(const std::string& text) const {
    switch (charCase_) {
    case ecUpperCase:
        return Utf8UpperCase(text);
    case ecLowerCase:
        return Utf8LowerCase(text);
    default:
        return text;
    }
}

void TTBEditItem::SetCharCase(TTBEditCharCase value) {
    charCase_ = value;
    SetText(text_);
}

void TTBEditItem::SetEditCaption(const std::string& value) { changeProperty(editCaption_, value, true); }

void TTBEditItem::SetEditOptions(TTBEditItemOptions value) { changeProperty(editOptions_, value, true); }

void TTBEditItem::SetEditWidth(int value) { changeProperty(editWidth_, value, true); }

void TTBEditItem::SetMaxLength(int value) { changeProperty(maxLength_, value, false); }

void TTBEditItem::SetText(const std::string& value) { changeProperty(text_, cased(value), false); }

std::unique_ptr<TTBCustomItemActionLink> TTBEditItem::CreateActionLink() {
    return std::make_unique<TTBEditItemActionLink>(this);
}

void TTBEditItem::ActionChange(TBasicAction* sender, bool checkDefaults) {
    TTBCustomItem::ActionChange(sender, checkDefaults);
    auto* action = dynamic_cast<TTBEditAction*>(sender);
    if (action == nullptr)
        return;
    if (!checkDefaults || editCaption_.empty())
        SetEditCaption(action->EditCaption());
    if (!checkDefaults || editOptions_ == 0)
        SetEditOptions(action->EditOptions());
    if (!checkDefaults || text_.empty())
        SetText(action->Text());
    if ((!checkDefaults || !OnAcceptText) && !TBEditItemAcceptIsAction(*this, *action)) {
        if (action->OnAcceptText)
            OnAcceptText = TTBEditActionAcceptCall{action};
        else
            OnAcceptText = nullptr;
        SetEventHandlerName("OnAcceptText", "");
    }
}

void TTBEditItem::KeepActionHandlers(TBasicAction& action) {
    TTBCustomItem::KeepActionHandlers(action);
    if (const auto* call = OnAcceptText.target<TTBEditActionAcceptCall>(); call != nullptr && call->Source == &action)
        OnAcceptText = call->Source->OnAcceptText;
}

TTBItemViewerClass TTBEditItem::ViewerClassFor(TTBView* view) {
    if ((editOptions_ & tboUseEditWhenVertical) || view->Orientation != tbvoVertical)
        return &TTBEditItemViewer::Make;
    return &TTBItemViewer::Make;
}

bool TTBEditItem::ViewerNeedsRebuild(TTBView* view, TTBItemViewer* viewer) {
    return ViewerClassFor(view) != viewer->ViewerClass();
}

void TTBEditItem::StartEditNotify(TTBEditItemViewer* viewer) {
    // A copy runs: the handler may free the item, its own copy with it.
    if (TTBBeginEditEvent handler = OnBeginEdit)
        handler(this, viewer, viewer->EditControl());
}

// ---------------------------------------------------------------------------
// TTBEditItemViewer: measuring and painting

TTBItemViewer* TTBEditItemViewer::Make(TTBView* view, TTBCustomItem* item) {
    return new TTBEditItemViewer(view, item);
}

std::string TTBEditItemViewer::CaptionText() const { return EditItem()->EditCaption(); }

bool TTBEditItemViewer::ShowsCaption() const { return !IsToolbarStyle() && TTBItemViewer::ShowsCaption(); }

int TTBEditItemViewer::captionWidth() const {
    TCanvas canvas;
    canvas.SetFont(TBMenuFont());
    return CaptionTextWidth(canvas, EditItem()->EditCaption(), true);
}

void TTBEditItemViewer::MeasureSize(TCanvas& canvas, int& width, int& height) {
    int textHeight = canvas.TextMetrics().Height;
    width = EditItem()->EditWidth();
    height = textHeight;
    if (!IsToolbarStyle()) {
        if (!EditItem()->EditCaption().empty())
            width += CaptionTextWidth(canvas, EditItem()->EditCaption(), true) + 10;
        height += DivideAwayFromZero(textHeight, 4);
    }
    // Room for the field's frame around a line of text.
    height = std::max(height, textHeight + 7);
}

TRect TTBEditItemViewer::EditFieldRect() const {
    TRect r = BoundsRect;
    if (!View()->IsToolbar() && !EditItem()->EditCaption().empty())
        r.Left += captionWidth() + 10;
    return r;
}

void TTBEditItemViewer::Paint(TCanvas& canvas, const TRect& clientArea, bool isSelected, bool isPushed,
                              bool useDisabledShadow) {
    TTBEditItem* item = EditItem();
    const bool enabled = item->Enabled();
    canvas.SetFont(TBMenuFont());
    canvas.SetBkMode(TRANSPARENT);
    TRect r = clientArea;
    if (!IsToolbarStyle() && !item->EditCaption().empty()) {
        int textColor = TextColorIndex(useDisabledShadow, isSelected);
        int background = BackgroundColorIndex(useDisabledShadow, isSelected);
        TRect strip = r;
        strip.Right = r.Left + CaptionTextWidth(canvas, item->EditCaption(), true) + 6;
        canvas.FillRect(strip, SystemColor(background));
        TRect text = strip;
        text.Left += 3;
        bool embossed = !enabled && !(isSelected && useDisabledShadow);
        canvas.Font().SetColor(SystemColor(enabled ? textColor : COLOR_BTNSHADOW));
        DrawCaptionText(canvas, text, item->EditCaption(), embossed, PrefixFlags() | DT_VCENTER | DT_SINGLELINE);
        canvas.FillRect(Rect(strip.Right, r.Top, strip.Right + 4, r.Bottom),
                        SystemColor(BackgroundColorIndex(useDisabledShadow, false)));
        r.Left = strip.Right + 4;
    }
    if (!(isSelected && enabled)) {
        FrameInColor(canvas, r, clBtnFace);
        InflateRect(r, -1, -1);
        FrameInColor(canvas, r, enabled ? clBtnFace : clWindow);
    } else {
        canvas.DrawEdge(r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
        FrameInColor(canvas, r, clBtnFace);
    }
    InflateRect(r, -1, -1);
    canvas.FillRect(r, SystemColor(enabled ? COLOR_WINDOW : COLOR_BTNFACE));
    InflateRect(r, -1, -1);
    if (!item->Text().empty()) {
        canvas.Font().SetColor(SystemColor(enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
        canvas.SetBkMode(TRANSPARENT);
        TBDrawText(canvas, item->Text(), r, DT_SINGLELINE | DT_NOPREFIX);
    }
}

void TTBEditItemViewer::CursorAt(TPoint point, int& cursor) {
    if (!EditItem()->Enabled())
        return;
    TRect field = EditFieldRect();
    OffsetRect(field, -BoundsRect.Left, -BoundsRect.Top);
    InflateRect(field, -2, -2);
    if (field.Contains(point))
        cursor = crIBeam;
}

// ---------------------------------------------------------------------------
// Starting to edit

void TTBEditItemViewer::KeyDown(uint16_t& key, TShiftState shift) {
    if (key != VK_RETURN)
        return;
    key = 0;
    TTBMenuLoop* loop = TTBMenuLoop::Active();
    doEdit(loop != nullptr ? &loop->State() : nullptr);
}

void TTBEditItemViewer::MouseDown(TShiftState shift, int x, int y, TTBLoopState& loop) { doEdit(&loop); }

void TTBEditItemViewer::MouseUp(int x, int y, TTBLoopState& loop) {
    View()->CancelCapture();
    doEdit(&loop);
}

void TTBEditItemViewer::doEdit(TTBLoopState* loop) {
    if (!EditItem()->Enabled())
        return;
    // The item's handlers may free this viewer (with the item or its
    // view): the menus then end.
    TComponentWatch self(this);
    const bool endMenus = EditLoop(MenuCaptureWindow());
    if (!self.Alive()) {
        if (loop != nullptr)
            loop->Finish = true;
        return;
    }
    if (endMenus) {
        if (loop != nullptr)
            loop->Finish = true;
        if (EditState & tbesNextItem)
            View()->PromoteViewer(this);
    }
}

void TTBEditItemViewer::accept() {
    std::string text = field_->Text();
    bool accepted = true;
    // The handler runs from a copy, and may free the item and this viewer.
    TComponentWatch item(EditItem());
    if (TTBAcceptTextEvent handler = EditItem()->OnAcceptText)
        handler(this, text, accepted);
    if (accepted && item.Alive())
        item.Get()->SetText(text);
}

bool TTBEditItemViewer::EditLoop(TWinControl* captureWindow) {
    TRect r = EditFieldRect();
    if (r.IsEmpty() || !fieldFactory() || View()->Window() == nullptr)
        return false;
    TTBView* view = View();
    TComponentWatch<TWinControl> focused(GetFocusControl());
    TComponentWatch<TWinControl> capture(captureWindow);
    InflateRect(r, -3, -3);
    OffsetRect(r, view->WindowOrigin.X, view->WindowOrigin.Y);
    field_ = fieldFactory()(view->Window());
    if (!field_)
        return false;
    TTBEditItem* item = EditItem();
    TShiftState shiftAtEnd = 0;
    // The item's handlers may free this viewer: nothing of it is touched
    // after that.
    TComponentWatch self(this);
    try {
        TWinControl* control = field_->Control();
        control->SetFont(TBMenuFont());
        field_->SetCharCase(item->CharCase());
        field_->SetMaxLength(item->MaxLength());
        field_->SetText(item->Text());
        control->SetBounds(r.Left, r.Top, r.Width(), r.Height());
        field_->SelectAll();
        item->StartEditNotify(this);
        if (!self.Alive())
            return true;
        control->Show();
        if (control->CanFocus())
            control->SetFocus();
        EditState = tbesEditing;
        // The field takes the mouse while it is edited.
        if (capture.Get() != nullptr && GetCaptureControl() == capture.Get())
            ReleaseCapture();
        TTBEditLoop loop(*this);
        if (!loop.Finished())
            TBLoopDriver().Run(loop);
        if (!self.Alive())
            return true;
        shiftAtEnd = loop.ShiftAtEnd();
    } catch (...) {
        if (self.Alive())
            field_.reset();
        throw;
    }
    field_.reset();
    if (view->Window() != nullptr) {
        view->Window()->Invalidate();
        view->Window()->Update();
    }
    if (focused.Get() != nullptr && focused.Get()->CanFocus())
        focused.Get()->SetFocus();
    if (GetCaptureControl() == nullptr && capture.Get() != nullptr)
        SetCaptureControl(capture.Get());
    if (dynamic_cast<TTBPopupWindow*>(view->Window()) != nullptr)
        view->Window()->BringToFront();
    if (EditState & tbesEndLoop)
        return true;
    if (capture.Get() != nullptr && GetCaptureControl() == capture.Get()) {
        if (EditState & tbesNextItem)
            view->Select(view->NextSelectable(this, !(shiftAtEnd & ssShift)));
        if (!self.Alive())
            return true;
        if (view->IsToolbar())
            TrackMenu(view, tbtmSelectFirst);
    }
    return false;
}

// ---------------------------------------------------------------------------
// TTBEditLoop

bool TTBEditLoop::Finished() const {
    return left_ || !watch_.Alive() || !(viewer_.EditState & tbesEditing) || !viewer_.EditItem()->Enabled() || !viewer_.field_;
}

TTBVerdict TTBEditLoop::HandleEvent(const TTBInputEvent& event) {
    if (Finished())
        return tbvPassAfterEnd;
    TWinControl* field = viewer_.field_->Control();
    switch (event.Kind) {
    case tbikQuit:
        left_ = true;
        return tbvSwallow;
    case tbikKeyDown:
        // Alt with another key: the menus end, and the key goes on.
        if ((event.Shift & ssAlt) && event.Key != VK_MENU) {
            viewer_.EditState = tbesEndLoop;
            left_ = true;
            return tbvPassAfterEnd;
        }
        switch (event.Key) {
        case VK_TAB:
            viewer_.EditState = tbesNextItem;
            shift_ = event.Shift;
            viewer_.accept();
            return tbvSwallow;
        case VK_RETURN:
            viewer_.EditState = tbesNextItem | tbesEndLoop;
            viewer_.accept();
            return tbvSwallow;
        case VK_ESCAPE:
            viewer_.EditState = 0;
            return tbvSwallow;
        default:
            return tbvPass;
        }
    case tbikKeyUp:
        if (event.Key == VK_MENU) {
            viewer_.EditState = tbesEndLoop;
            left_ = true;
            return tbvPassAfterEnd;
        }
        return tbvPass;
    case tbikButtonDown:
    case tbikDoubleClick:
        // A press anywhere else ends editing without taking the text.
        if (event.Target != field) {
            left_ = true;
            return tbvPassAfterEnd;
        }
        return tbvPass;
    default:
        return tbvPass;
    }
}
