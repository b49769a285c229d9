#include "platform/ui/ButtonControls.h"

#include "platform/gfx/TextDrawing.h"
#include "platform/ui/ComponentWatch.h"
#include "platform/ui/UserInteraction.h"

#include <algorithm>

// ---------------------------------------------------------------------------

TButtonControl::TButtonControl(TComponent* owner) : TStandardControl(owner) {
    // A button's window reports its clicks (mouse or keys) as BN_CLICKED.
    ControlStyle &= ~csClickEvents;
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clBtnFace);
}

void TButtonControl::Dispatch(TMessage& message) {
    if (message.Msg != CM_DIALOGCHAR) {
        TStandardControl::Dispatch(message);
        return;
    }
    message.Result = 0;
    if (!CanFocus() || !IsAccessKey(static_cast<char32_t>(message.WParam), Caption()))
        return;
    message.Result = 1;
    TComponentWatch self(this);
    SetFocus();
    // What a click reports, which each kind of button answers its way (the
    // handler may free the button).
    if (self.Alive())
        Perform(CN_COMMAND, BN_CLICKED);
}

// ---------------------------------------------------------------------------
// TButton

TButton::TButton(TComponent* owner) : TButtonControl(owner) { SetBounds(0, 0, 75, 25); }

void TButton::CreateParams(TCreateParams& params) {
    TButtonControl::CreateParams(params);
    params.Kind = std::string(wk::Button);
}

void TButton::SetDefault(bool value) {
    if (value == default_)
        return;
    default_ = value;
    PeerChanged(paOptions);
}

void TButton::Click() {
    // OnClick may free the button and its form: then the modal result has
    // nobody to go to.
    TComponentWatch self(this);
    TButtonControl::Click();
    if (!self.Alive())
        return;
    if (modalResult_ != 0)
        if (TWinControl* form = TopLevelParent(*this); form != nullptr && form != this)
            form->Perform(CM_MODALRESULT, static_cast<WPARAM>(modalResult_));
}

void TButton::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case CN_COMMAND:
        if (message.WParam == BN_CLICKED)
            Click();
        message.Result = 0;
        return;
    case CM_DIALOGKEY: {
        // Return belongs to the focused button, or to the default one while
        // no other button has the focus.
        uint16_t key = static_cast<uint16_t>(message.WParam);
        bool otherButtonFocused = dynamic_cast<TButton*>(GetFocusControl()) != nullptr && !Focused();
        bool mine = (key == VK_RETURN && (Focused() || (default_ && !otherButtonFocused))) ||
                    (key == VK_ESCAPE && cancel_);
        if (mine && Enabled() && Showing()) {
            Click();
            message.Result = 1;
            return;
        }
        message.Result = 0;
        return;
    }
    default:
        TButtonControl::Dispatch(message);
    }
}

// ---------------------------------------------------------------------------
// TBitBtn

namespace {

struct TKindInfo {
    const char* Caption;
    int ModalResult;
    bool Default;
    bool Cancel;
};

TKindInfo kindInfo(TBitBtnKind kind) {
    switch (kind) {
    case bkOK: return {"OK", mrOk, true, false};
    case bkCancel: return {"Cancel", mrCancel, false, true};
    case bkHelp: return {"&Help", mrNone, false, false};
    case bkYes: return {"&Yes", mrYes, true, false};
    case bkNo: return {"&No", mrNo, false, true};
    case bkClose: return {"&Close", mrNone, false, false};
    case bkAbort: return {"Abort", mrAbort, false, true};
    case bkRetry: return {"&Retry", mrRetry, false, false};
    case bkIgnore: return {"&Ignore", mrIgnore, false, false};
    case bkAll: return {"&All", mrAll, true, false};
    default: return {"", mrNone, false, false};
    }
}

} // namespace

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner), glyph_(std::make_unique<TBitmap>()) {
    glyph_->OnChange = [this](TPersistent*) { PeerChanged(paAppearance); };
}

TBitBtn::~TBitBtn() {
    Destroying();
    glyph_->OnChange = nullptr;
}

void TBitBtn::SetKind(TBitBtnKind kind) {
    if (kind == kind_)
        return;
    kind_ = kind;
    // A form being built sets caption and result itself; what it leaves
    // unset the kind fills in when it is done (Loaded).
    if (kind == bkCustom || IsLoading())
        return;
    TKindInfo info = kindInfo(kind);
    SetCaption(info.Caption);
    SetModalResult(info.ModalResult);
    SetDefault(info.Default);
    SetCancel(info.Cancel);
}

void TBitBtn::Loaded() {
    TButton::Loaded();
    if (kind_ == bkCustom)
        return;
    TKindInfo info = kindInfo(kind_);
    if (Caption().empty())
        SetCaption(info.Caption);
    if (ModalResult() == mrNone)
        SetModalResult(info.ModalResult);
    if (info.Default)
        SetDefault(true);
    if (info.Cancel)
        SetCancel(true);
}

void TBitBtn::SetLayout(TButtonLayout value) {
    if (value == layout_)
        return;
    layout_ = value;
    PeerChanged(paAppearance);
}

void TBitBtn::SetSpacing(int value) {
    if (value == spacing_)
        return;
    spacing_ = value;
    PeerChanged(paAppearance);
}

void TBitBtn::SetNumGlyphs(int value) {
    value = std::clamp(value, 1, 4);
    if (value == numGlyphs_)
        return;
    numGlyphs_ = value;
    PeerChanged(paAppearance);
}

// ---------------------------------------------------------------------------
// TSpeedButton

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner), glyph_(std::make_unique<TBitmap>()) {
    SetBounds(0, 0, 23, 22);
    glyph_->OnChange = [this](TPersistent*) { Invalidate(); };
    SetParentColor(false);
    SetColor(clBtnFace);
}

TSpeedButton::~TSpeedButton() {
    Destroying();
    glyph_->OnChange = nullptr;
}

void TSpeedButton::SetNumGlyphs(int value) {
    numGlyphs_ = std::clamp(value, 1, 4);
    Invalidate();
}

void TSpeedButton::SetFlat(bool value) {
    if (value == flat_)
        return;
    flat_ = value;
    Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout value) {
    if (value == layout_)
        return;
    layout_ = value;
    Invalidate();
}

void TSpeedButton::SetSpacing(int value) {
    if (value == spacing_)
        return;
    spacing_ = value;
    Invalidate();
}

void TSpeedButton::SetDown(bool value) {
    // Without a group the button cannot stay down; the last button of a
    // group stays down unless the group may be all up.
    if (groupIndex_ == 0)
        value = false;
    if (value == down_)
        return;
    if (!value && !allowAllUp_) {
        bool otherDown = false;
        if (Parent() != nullptr)
            for (int i = 0; i < Parent()->ControlCount(); ++i)
                if (auto* other = dynamic_cast<TSpeedButton*>(Parent()->Controls(i));
                    other != nullptr && other != this && other->groupIndex_ == groupIndex_ && other->down_)
                    otherDown = true;
        if (!otherDown)
            return;
    }
    down_ = value;
    if (value && Parent() != nullptr)
        for (int i = 0; i < Parent()->ControlCount(); ++i)
            if (auto* other = dynamic_cast<TSpeedButton*>(Parent()->Controls(i));
                other != nullptr && other != this && other->groupIndex_ == groupIndex_ && other->down_) {
                other->down_ = false;
                other->Invalidate();
            }
    Invalidate();
}

void TSpeedButton::Click() {
    if (groupIndex_ != 0)
        SetDown(!down_ || !allowAllUp_);
    TGraphicControl::Click();
}

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft && Enabled()) {
        pressed_ = true;
        Invalidate();
    }
    TGraphicControl::MouseDown(button, shift, x, y);
}

void TSpeedButton::MouseMove(TShiftState shift, int x, int y) {
    if (MouseCapture()) {
        bool inside = ClientRect().Contains({x, y});
        if (inside != pressed_) {
            pressed_ = inside;
            Invalidate();
        }
    }
    TGraphicControl::MouseMove(shift, x, y);
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft && pressed_) {
        pressed_ = false;
        Invalidate();
    }
    TGraphicControl::MouseUp(button, shift, x, y);
}

void TSpeedButton::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        hot_ = message.Msg == CM_MOUSEENTER;
        if (flat_)
            Invalidate();
        TGraphicControl::Dispatch(message);
        return;
    case CM_TEXTCHANGED:
        Invalidate();
        return;
    default:
        TGraphicControl::Dispatch(message);
    }
}

void TSpeedButton::Paint() {
    TCanvas& canvas = Canvas();
    TRect rect = ClientRect();
    bool sunken = pressed_ || down_;
    canvas.FillRect(rect, Color());
    if (!flat_ || sunken || (hot_ && Enabled())) {
        TRect edge = rect;
        canvas.DrawEdge(edge, sunken ? (flat_ ? BDR_SUNKENOUTER : EDGE_SUNKEN) : (flat_ ? BDR_RAISEDINNER : EDGE_RAISED),
                        BF_RECT);
    }
    int shift = sunken ? 1 : 0;
    // The picture: the first of NumGlyphs side by side (the second when
    // disabled and there is one).
    int glyphWidth = glyph_->Empty() ? 0 : glyph_->Width() / numGlyphs_;
    int glyphHeight = glyph_->Empty() ? 0 : glyph_->Height();
    canvas.SetFont(Font());
    std::string text = DisplayCaption(Caption());
    int textWidth = text.empty() ? 0 : canvas.TextWidth(text);
    int textHeight = text.empty() ? 0 : canvas.TextHeight(text);
    bool horizontal = layout_ == blGlyphLeft || layout_ == blGlyphRight;
    int gap = glyphWidth > 0 && textWidth > 0 ? std::max(0, spacing_) : 0;
    int totalWidth = horizontal ? glyphWidth + gap + textWidth : std::max(glyphWidth, textWidth);
    int totalHeight = horizontal ? std::max(glyphHeight, textHeight) : glyphHeight + gap + textHeight;
    int x = (rect.Width() - totalWidth) / 2 + shift;
    int y = (rect.Height() - totalHeight) / 2 + shift;
    TPoint glyphAt, textAt;
    switch (layout_) {
    case blGlyphLeft:
        glyphAt = {x, y + (totalHeight - glyphHeight) / 2};
        textAt = {x + glyphWidth + gap, y + (totalHeight - textHeight) / 2};
        break;
    case blGlyphRight:
        textAt = {x, y + (totalHeight - textHeight) / 2};
        glyphAt = {x + textWidth + gap, y + (totalHeight - glyphHeight) / 2};
        break;
    case blGlyphTop:
        glyphAt = {x + (totalWidth - glyphWidth) / 2, y};
        textAt = {x + (totalWidth - textWidth) / 2, y + glyphHeight + gap};
        break;
    case blGlyphBottom:
        textAt = {x + (totalWidth - textWidth) / 2, y};
        glyphAt = {x + (totalWidth - glyphWidth) / 2, y + textHeight + gap};
        break;
    }
    if (glyphWidth > 0) {
        int index = !Enabled() && numGlyphs_ > 1 ? 1 : 0;
        TBitmap piece(glyphWidth, glyphHeight);
        piece.Canvas().CopyRect(Rect(0, 0, glyphWidth, glyphHeight), glyph_->Canvas(),
                                Bounds(index * glyphWidth, 0, glyphWidth, glyphHeight));
        piece.SetTransparent(true);
        canvas.Draw(glyphAt.X, glyphAt.Y, piece);
    }
    if (textWidth > 0) {
        canvas.SetBkMode(TRANSPARENT);
        canvas.Font().SetColor(Enabled() ? Font().Color() : clGrayText);
        canvas.TextOut(textAt.X, textAt.Y, text);
        canvas.Font().SetColor(Font().Color());
    }
}

// ---------------------------------------------------------------------------
// TCustomCheckBox

TCustomCheckBox::TCustomCheckBox(TComponent* owner) : TButtonControl(owner) { SetBounds(0, 0, 97, 17); }

void TCustomCheckBox::CreateParams(TCreateParams& params) {
    TButtonControl::CreateParams(params);
    params.Kind = std::string(wk::CheckBox);
}

void TCustomCheckBox::SetState(TCheckBoxState value) {
    if (value == state_)
        return;
    state_ = value;
    PeerChanged(paState);
    if (!IsLoading())
        Click();
}

void TCustomCheckBox::SetAlignment(TAlignment value) {
    if (value == alignment_)
        return;
    alignment_ = value;
    PeerChanged(paAlignment);
}

void TCustomCheckBox::Toggle() {
    switch (state_) {
    case cbUnchecked: SetState(allowGrayed_ ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
    case cbGrayed: SetState(cbChecked); break;
    }
}

void TCustomCheckBox::Dispatch(TMessage& message) {
    if (message.Msg == CN_COMMAND) {
        if (message.WParam == BN_CLICKED)
            Toggle();
        message.Result = 0;
        return;
    }
    TButtonControl::Dispatch(message);
}

// ---------------------------------------------------------------------------
// TRadioButton

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner) { SetBounds(0, 0, 113, 17); }

void TRadioButton::CreateParams(TCreateParams& params) {
    TButtonControl::CreateParams(params);
    params.Kind = std::string(wk::RadioButton);
}

namespace {

// The radio buttons beside a button (its own parent's), itself included,
// in their parent's order.
std::vector<TRadioButton*> radioGroupOf(TRadioButton& button) {
    TWinControl* parent = button.Parent();
    if (parent == nullptr)
        return {&button};
    std::vector<TRadioButton*> group;
    for (int i = 0; i < parent->ControlCount(); ++i)
        if (auto* radio = dynamic_cast<TRadioButton*>(parent->Controls(i)))
            group.push_back(radio);
    return group;
}

bool usable(const TRadioButton& button) { return button.Visible() && button.Enabled(); }

// The group's windows learn which button is its tab stop now.
void radioTabStopsChanged(TRadioButton& button) {
    for (TRadioButton* radio : radioGroupOf(button))
        radio->TabOrderChanged();
}

} // namespace

void TRadioButton::SetChecked(bool value) {
    if (value == checked_)
        return;
    checked_ = value;
    PeerChanged(paState);
    if (!value) {
        radioTabStopsChanged(*this);
        return;
    }
    for (TRadioButton* other : radioGroupOf(*this))
        if (other != this)
            other->SetChecked(false);
    radioTabStopsChanged(*this);
    if (!IsLoading())
        Click();
}

bool TRadioButton::IsGroupTabStop() const {
    std::vector<TRadioButton*> group = radioGroupOf(const_cast<TRadioButton&>(*this));
    auto checked = std::find_if(group.begin(), group.end(), [](TRadioButton* b) { return b->Checked() && usable(*b); });
    if (checked != group.end())
        return *checked == this;
    auto first = std::find_if(group.begin(), group.end(), [](TRadioButton* b) { return usable(*b); });
    return first == group.end() || *first == this;
}

void TRadioButton::KeyDown(uint16_t& key, TShiftState shift) {
    TButtonControl::KeyDown(key, shift);
    if ((key != VK_LEFT && key != VK_UP && key != VK_RIGHT && key != VK_DOWN) || (shift & (ssAlt | ssCtrl)))
        return;
    const int step = key == VK_LEFT || key == VK_UP ? -1 : 1;
    std::vector<TRadioButton*> group = radioGroupOf(*this);
    const int count = static_cast<int>(group.size());
    const int at = static_cast<int>(std::find(group.begin(), group.end(), this) - group.begin());
    key = 0;
    for (int n = 1; n < count; ++n) {
        TRadioButton* next = group[static_cast<size_t>(((at + step * n) % count + count) % count)];
        if (!next->CanFocus())
            continue;
        // The focus goes first, so that OnClick finds it there.
        TComponentWatch watch(next);
        next->SetFocus();
        if (watch.Alive())
            next->SetChecked(true);
        return;
    }
}

void TRadioButton::SetAlignment(TAlignment value) {
    if (value == alignment_)
        return;
    alignment_ = value;
    PeerChanged(paAlignment);
}

void TRadioButton::Dispatch(TMessage& message) {
    if (message.Msg == CM_ENABLEDCHANGED || message.Msg == CM_VISIBLECHANGED) {
        TButtonControl::Dispatch(message);
        radioTabStopsChanged(*this);
        return;
    }
    if (message.Msg == CN_COMMAND) {
        // A click on the checked button runs its handler again.
        if (message.WParam == BN_CLICKED) {
            if (checked_)
                Click();
            else
                SetChecked(true);
        }
        message.Result = 0;
        return;
    }
    TButtonControl::Dispatch(message);
}
