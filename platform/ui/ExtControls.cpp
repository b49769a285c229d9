#include "platform/ui/ExtControls.h"

#include <algorithm>

void Frame3D(TCanvas& canvas, TRect& rect, TColor topLeft, TColor bottomRight, int width) {
    for (int i = 0; i < width && rect.Width() > 0 && rect.Height() > 0; ++i) {
        canvas.FillRect(Rect(rect.Left, rect.Top, rect.Right, rect.Top + 1), topLeft);
        canvas.FillRect(Rect(rect.Left, rect.Top, rect.Left + 1, rect.Bottom), topLeft);
        canvas.FillRect(Rect(rect.Left, rect.Bottom - 1, rect.Right, rect.Bottom), bottomRight);
        canvas.FillRect(Rect(rect.Right - 1, rect.Top, rect.Right, rect.Bottom), bottomRight);
        InflateRect(rect, -1, -1);
    }
}

namespace {

void bevelColors(TPanelBevel bevel, TColor face, TColor& topLeft, TColor& bottomRight) {
    switch (bevel) {
    case bvLowered:
        topLeft = clBtnShadow;
        bottomRight = clBtnHighlight;
        break;
    case bvRaised:
        topLeft = clBtnHighlight;
        bottomRight = clBtnShadow;
        break;
    default:
        topLeft = bottomRight = face;
        break;
    }
}

} // namespace

// ---------------------------------------------------------------------------
// TCustomPanel

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner) {
    ControlStyle |= csAcceptsControls | csOpaque;
    SetBounds(0, 0, 185, 41);
    SetParentColor(false);
    SetColor(clBtnFace);
}

void TCustomPanel::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    if (borderStyle_ == bsSingle)
        params.Style |= WS_BORDER;
}

void TCustomPanel::SetBevelInner(TPanelBevel value) {
    if (value == bevelInner_)
        return;
    bevelInner_ = value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelOuter(TPanelBevel value) {
    if (value == bevelOuter_)
        return;
    bevelOuter_ = value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelWidth(int value) {
    value = std::max(1, value);
    if (value == bevelWidth_)
        return;
    bevelWidth_ = value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBorderWidth(int value) {
    value = std::max(0, value);
    if (value == borderWidth_)
        return;
    borderWidth_ = value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBorderStyle(TBorderStyle value) {
    if (value == borderStyle_)
        return;
    borderStyle_ = value;
    RecreateWnd();
}

void TCustomPanel::SetAlignment(TAlignment value) {
    if (value == alignment_)
        return;
    alignment_ = value;
    Invalidate();
}

TRect TCustomPanel::InnerRect() const {
    TRect rect = ClientRect();
    int inset = borderWidth_ + (bevelOuter_ != bvNone ? bevelWidth_ : 0) + (bevelInner_ != bvNone ? bevelWidth_ : 0);
    InflateRect(rect, -inset, -inset);
    return rect;
}

void TCustomPanel::AlignControls(TRect& rect) {
    rect = InnerRect();
    TCustomControl::AlignControls(rect);
}

void TCustomPanel::Dispatch(TMessage& message) {
    if (message.Msg == CM_TEXTCHANGED) {
        Invalidate();
        return;
    }
    TCustomControl::Dispatch(message);
}

void TCustomPanel::Paint() {
    TCanvas& canvas = Canvas();
    TRect rect = ClientRect();
    TColor topLeft, bottomRight;
    if (bevelOuter_ != bvNone) {
        bevelColors(bevelOuter_, Color(), topLeft, bottomRight);
        Frame3D(canvas, rect, topLeft, bottomRight, bevelWidth_);
    }
    Frame3D(canvas, rect, Color(), Color(), borderWidth_);
    if (bevelInner_ != bvNone) {
        bevelColors(bevelInner_, Color(), topLeft, bottomRight);
        Frame3D(canvas, rect, topLeft, bottomRight, bevelWidth_);
    }
    canvas.FillRect(rect, Color());
    std::string text = DisplayCaption(Caption());
    if (text.empty())
        return;
    canvas.SetFont(Font());
    canvas.SetBkMode(TRANSPARENT);
    int width = canvas.TextWidth(text);
    int height = canvas.TextHeight(text);
    int x = alignment_ == taLeftJustify ? rect.Left
            : alignment_ == taCenter    ? rect.Left + (rect.Width() - width) / 2
                                        : rect.Right - width;
    canvas.TextRect(rect, x, rect.Top + (rect.Height() - height) / 2, text);
}

// ---------------------------------------------------------------------------
// TBevel

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 50, 50); }

void TBevel::SetShape(TBevelShape value) {
    if (value == shape_)
        return;
    shape_ = value;
    Invalidate();
}

void TBevel::SetStyle(TBevelStyle value) {
    if (value == style_)
        return;
    style_ = value;
    Invalidate();
}

void TBevel::Paint() {
    TCanvas& canvas = Canvas();
    TColor first = style_ == bsLowered ? clBtnShadow : clBtnHighlight;
    TColor second = style_ == bsLowered ? clBtnHighlight : clBtnShadow;
    TRect rect = ClientRect();
    int w = rect.Width(), h = rect.Height();
    switch (shape_) {
    case bsBox:
        Frame3D(canvas, rect, first, second, 1);
        break;
    case bsFrame: {
        // An etched frame: a shadow ring with a light one just inside and
        // below it.
        TRect outer = Rect(0, 0, w - 1, h - 1);
        Frame3D(canvas, outer, first, first, 1);
        TRect inner = Rect(1, 1, w, h);
        Frame3D(canvas, inner, second, second, 1);
        break;
    }
    case bsTopLine:
        canvas.FillRect(Rect(0, 0, w, 1), first);
        canvas.FillRect(Rect(0, 1, w, 2), second);
        break;
    case bsBottomLine:
        canvas.FillRect(Rect(0, h - 2, w, h - 1), first);
        canvas.FillRect(Rect(0, h - 1, w, h), second);
        break;
    case bsLeftLine:
        canvas.FillRect(Rect(0, 0, 1, h), first);
        canvas.FillRect(Rect(1, 0, 2, h), second);
        break;
    case bsRightLine:
        canvas.FillRect(Rect(w - 2, 0, w - 1, h), first);
        canvas.FillRect(Rect(w - 1, 0, w, h), second);
        break;
    case bsSpacer:
        break;
    }
}

// ---------------------------------------------------------------------------
// TCustomGroupBox

TCustomGroupBox::TCustomGroupBox(TComponent* owner) : TStandardControl(owner) {
    ControlStyle |= csAcceptsControls;
    SetBounds(0, 0, 185, 105);
    SetParentColor(false);
    SetColor(clBtnFace);
}

void TCustomGroupBox::CreateParams(TCreateParams& params) {
    TStandardControl::CreateParams(params);
    params.Kind = std::string(wk::GroupBox);
}

void TCustomGroupBox::AlignControls(TRect& rect) {
    TCanvas& canvas = WindowCanvas();
    canvas.SetFont(Font());
    rect.Top += canvas.TextHeight("0");
    InflateRect(rect, -2, -2);
    TStandardControl::AlignControls(rect);
}

// ---------------------------------------------------------------------------
// TImage

TImage::TImage(TComponent* owner) : TGraphicControl(owner), picture_(std::make_unique<TPicture>()) {
    SetBounds(0, 0, 105, 105);
    picture_->OnChange = [this](TPersistent*) { pictureChanged(); };
}

TImage::~TImage() {
    Destroying();
    picture_->OnChange = nullptr;
}

void TImage::pictureChanged() {
    if (TGraphic* graphic = picture_->Graphic())
        if (graphic->Transparent() != transparent_)
            graphic->SetTransparent(transparent_);
    if (autoSize_ && picture_->Width() > 0 && picture_->Height() > 0)
        SetBounds(Left(), Top(), picture_->Width(), picture_->Height());
    Invalidate();
}

void TImage::SetAutoSize(bool value) {
    if (value == autoSize_)
        return;
    autoSize_ = value;
    pictureChanged();
}

void TImage::SetCenter(bool value) {
    if (value == center_)
        return;
    center_ = value;
    Invalidate();
}

void TImage::SetStretch(bool value) {
    if (value == stretch_)
        return;
    stretch_ = value;
    Invalidate();
}

void TImage::SetProportional(bool value) {
    if (value == proportional_)
        return;
    proportional_ = value;
    Invalidate();
}

void TImage::SetTransparent(bool value) {
    if (value == transparent_)
        return;
    transparent_ = value;
    pictureChanged();
}

TRect TImage::DestRect() const {
    int w = picture_->Width(), h = picture_->Height();
    int cw = Width(), ch = Height();
    if (w <= 0 || h <= 0)
        return Rect(0, 0, 0, 0);
    if (stretch_ || (proportional_ && (w > cw || h > ch))) {
        if (proportional_) {
            // The largest size of the picture's shape that fits.
            if (static_cast<long long>(cw) * h <= static_cast<long long>(ch) * w) {
                h = static_cast<int>(static_cast<long long>(h) * cw / w);
                w = cw;
            } else {
                w = static_cast<int>(static_cast<long long>(w) * ch / h);
                h = ch;
            }
        } else {
            w = cw;
            h = ch;
        }
    }
    int x = center_ ? (cw - w) / 2 : 0;
    int y = center_ ? (ch - h) / 2 : 0;
    return Bounds(x, y, w, h);
}

void TImage::Paint() {
    TGraphic* graphic = picture_->Graphic();
    if (graphic == nullptr || graphic->Empty())
        return;
    graphic->Draw(Canvas(), DestRect());
}

// ---------------------------------------------------------------------------
// TSplitter

TSplitter::TSplitter(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, 3, 100);
    SetAlign(alLeft);
    SetCursor(crHSplit);
}

void TSplitter::SetBeveled(bool value) {
    if (value == beveled_)
        return;
    beveled_ = value;
    Invalidate();
}

void TSplitter::updateCursor() { SetCursor(vertical() ? crHSplit : crVSplit); }

TControl* TSplitter::ResizeControl() const {
    TWinControl* parent = Parent();
    if (parent == nullptr || Align() == alNone || Align() == alClient)
        return nullptr;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* control = parent->Controls(i);
        if (control == this || !control->Visible() || control->Align() != Align())
            continue;
        bool touches = false;
        switch (Align()) {
        case alLeft: touches = control->Left() + control->Width() == Left(); break;
        case alRight: touches = control->Left() == Left() + Width(); break;
        case alTop: touches = control->Top() + control->Height() == Top(); break;
        case alBottom: touches = control->Top() == Top() + Height(); break;
        default: break;
        }
        if (touches)
            return control;
    }
    return nullptr;
}

int TSplitter::maxSize(const TControl& control) const {
    TWinControl* parent = Parent();
    int total = vertical() ? parent->ClientWidth() : parent->ClientHeight();
    int used = 0;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* other = parent->Controls(i);
        if (!other->Visible())
            continue;
        TAlign align = other->Align();
        bool edge = vertical() ? (align == alLeft || align == alRight) : (align == alTop || align == alBottom);
        if (edge)
            used += sizeOf(*other);
    }
    // What the edges leave must stay at least MinSize wide.
    return std::max(minSize_, sizeOf(control) + total - used - minSize_);
}

void TSplitter::MoveBy(int delta) {
    TControl* control = ResizeControl();
    if (control == nullptr || delta == 0)
        return;
    bool grows = Align() == alLeft || Align() == alTop;
    int size = sizeOf(*control);
    int wanted = std::clamp(size + (grows ? delta : -delta), minSize_, maxSize(*control));
    bool accept = true;
    if (OnCanResize)
        OnCanResize(this, wanted, accept);
    if (!accept || wanted == size)
        return;
    if (vertical()) {
        // A right-aligned control grows to the left.
        int left = Align() == alRight ? control->Left() + control->Width() - wanted : control->Left();
        control->SetBounds(left, control->Top(), wanted, control->Height());
    } else {
        int top = Align() == alBottom ? control->Top() + control->Height() - wanted : control->Top();
        control->SetBounds(control->Left(), top, control->Width(), wanted);
    }
}

void TSplitter::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseDown(button, shift, x, y);
    TControl* control = ResizeControl();
    if (button != mbLeft || control == nullptr)
        return;
    dragging_ = true;
    downAt_ = ClientToScreen({x, y});
    downSize_ = sizeOf(*control);
}

void TSplitter::MouseMove(TShiftState shift, int x, int y) {
    updateCursor();
    TGraphicControl::MouseMove(shift, x, y);
    TControl* control = ResizeControl();
    // A drag ends with the left button, wherever it was released.
    if (dragging_ && !(shift & ssLeft))
        dragging_ = false;
    if (!dragging_ || control == nullptr)
        return;
    // Measured from the press, in screen coordinates: the splitter itself
    // moves under the pointer.
    TPoint at = ClientToScreen({x, y});
    int moved = vertical() ? at.X - downAt_.X : at.Y - downAt_.Y;
    bool grows = Align() == alLeft || Align() == alTop;
    int target = downSize_ + (grows ? moved : -moved);
    int delta = target - sizeOf(*control);
    MoveBy(grows ? delta : -delta);
}

void TSplitter::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseUp(button, shift, x, y);
    if (button != mbLeft || !dragging_)
        return;
    dragging_ = false;
    if (OnMoved)
        OnMoved(this);
}

void TSplitter::Paint() {
    TCanvas& canvas = Canvas();
    TRect rect = ClientRect();
    canvas.FillRect(rect, Color());
    if (beveled_)
        Frame3D(canvas, rect, clBtnHighlight, clBtnShadow, 1);
}
