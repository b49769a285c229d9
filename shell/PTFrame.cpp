#include "shell/PTFrame.h"

#include "platform/gfx/TextDrawing.h"
#include "platform/ui/NonClientFrame.h"

#include <array>
#include <span>

namespace {

// Sets the pen to one colour and draws a polyline through the points.
void line(TCanvas& canvas, TColor color, std::initializer_list<TPoint> points) {
    canvas.Pen().SetColor(color);
    canvas.Polyline(std::span<const TPoint>(points.begin(), points.size()));
}

// The four edges of a sunken or raised double frame, each in its colour.
void drawDoubleFrame(TCanvas& canvas, int l, int t, int r, int b, const std::array<TColor, 4>& colors) {
    line(canvas, colors[0], {{l, b - 1}, {l, t}, {r, t}});
    line(canvas, colors[1], {{l + 1, b - 2}, {l + 1, t + 1}, {r - 1, t + 1}});
    line(canvas, colors[2], {{l + 1, b - 1}, {r - 1, b - 1}, {r - 1, t}});
    line(canvas, colors[3], {{l, b}, {r, b}, {r, t - 1}});
}

void drawGroupBox(TCanvas& canvas, int l, int t, int r, int b, const std::string& caption, bool enabled,
                  TColor color) {
    if (color != clNone)
        canvas.FillRect(Rect(l, t, r + 1, b + 1), color);
    int captionHeight = PTFrameCaptionHeight(canvas, caption);
    int top = t + captionHeight / 2 - 1;
    canvas.Brush().SetStyle(bsClear);
    canvas.Pen().SetColor(clBtnHighlight);
    canvas.Rectangle(l + 1, top + 1, r + 1, b + 1);
    canvas.Pen().SetColor(clBtnShadow);
    canvas.Rectangle(l, top, r, b);
    if (caption.empty())
        return;
    TRect textRect = Rect(l + 8, t, r - 8, t + captionHeight);
    TTextLineFormat format;
    format.EndEllipsis = true;
    // An opaque background breaks the frame line behind the caption.
    if (color != clNone) {
        canvas.Brush().SetColor(color);
        canvas.Brush().SetStyle(bsSolid);
    }
    TFont saved;
    saved.Assign(&canvas.Font());
    if (!enabled) {
        TRect shifted = textRect;
        OffsetRect(shifted, 1, 1);
        canvas.Font().SetColor(clBtnHighlight);
        DrawTextLine(canvas, caption, shifted, format);
        canvas.Brush().SetStyle(bsClear);
        canvas.Font().SetColor(clBtnShadow);
    }
    DrawTextLine(canvas, caption, textRect, format);
    canvas.SetFont(saved);
}

TTextHAlign textAlignOf(TAlignment alignment) {
    return alignment == taLeftJustify ? thLeft : alignment == taRightJustify ? thRight : thCenter;
}

int captionHeightFor(const TControl& control) {
    TCanvas measuring;
    measuring.SetFont(control.Font());
    return PTFrameCaptionHeight(measuring, control.Caption());
}

} // namespace

int PTFrameCaptionHeight(TCanvas& canvas, const std::string& caption) {
    return caption.empty() ? 2 : canvas.TextHeight("0");
}

TRect PTFrameInnerRect(TPTFrameStyle style, const TRect& rect, int captionHeight) {
    TRect inner = rect;
    switch (style) {
    case ptfsNone:
        break;
    case ptfsGroup:
        inner = Rect(rect.Left + 2, rect.Top + captionHeight, rect.Right - 2, rect.Bottom - 2);
        break;
    case ptfsLowered:
    case ptfsRaised:
        InflateRect(inner, -2, -2);
        break;
    case ptfsDint:
    case ptfsBump:
    case ptfsSingle:
        InflateRect(inner, -1, -1);
        break;
    case ptfsHorzLine:
        inner.Top += 2;
        break;
    case ptfsHorzEdge:
        inner.Top += 2;
        inner.Bottom -= 2;
        break;
    case ptfsVertLine:
        inner.Left += 2;
        break;
    case ptfsVertEdge:
        inner.Left += 2;
        inner.Right -= 2;
        break;
    }
    return inner;
}

void PTDrawFrame(TCanvas& canvas, TPTFrameStyle style, const TRect& rect, const std::string& caption, bool enabled,
                 TColor color) {
    // The painters work on the last pixel of each side.
    int l = rect.Left, t = rect.Top, r = rect.Right - 1, b = rect.Bottom - 1;
    canvas.Pen().SetStyle(psSolid);
    canvas.Pen().SetWidth(1);
    canvas.Pen().SetMode(pmCopy);
    switch (style) {
    case ptfsNone:
        break;
    case ptfsGroup:
        drawGroupBox(canvas, l, t, r, b, caption, enabled, color);
        break;
    case ptfsLowered:
        drawDoubleFrame(canvas, l, t, r, b, {clBtnShadow, cl3DDkShadow, clBtnFace, clBtnHighlight});
        break;
    case ptfsRaised:
        drawDoubleFrame(canvas, l, t, r, b, {clBtnHighlight, clBtnFace, clBtnShadow, cl3DDkShadow});
        break;
    case ptfsDint:
        line(canvas, clBtnShadow, {{l, b - 1}, {l, t}, {r, t}});
        line(canvas, clBtnHighlight, {{l, b}, {r, b}, {r, t - 1}});
        break;
    case ptfsBump:
        line(canvas, clBtnHighlight, {{l, b - 1}, {l, t}, {r, t}});
        line(canvas, clBtnShadow, {{l, b}, {r, b}, {r, t - 1}});
        break;
    case ptfsSingle:
        canvas.Brush().SetStyle(bsClear);
        canvas.Pen().SetColor(clWindowFrame);
        canvas.Rectangle(l, t, r + 1, b + 1);
        break;
    case ptfsHorzLine:
        line(canvas, clBtnShadow, {{l, t}, {r + 1, t}});
        line(canvas, clBtnHighlight, {{l, t + 1}, {r + 1, t + 1}});
        break;
    case ptfsHorzEdge:
        line(canvas, clBtnShadow, {{l, t}, {r + 1, t}});
        line(canvas, clBtnShadow, {{l, b - 1}, {r + 1, b - 1}});
        line(canvas, clBtnHighlight, {{l, t + 1}, {r + 1, t + 1}});
        line(canvas, clBtnHighlight, {{l, b}, {r + 1, b}});
        break;
    case ptfsVertLine:
        line(canvas, clBtnShadow, {{l, t}, {l, b + 1}});
        line(canvas, clBtnHighlight, {{l + 1, t}, {l + 1, b + 1}});
        break;
    case ptfsVertEdge:
        line(canvas, clBtnShadow, {{l, t}, {l, b + 1}});
        line(canvas, clBtnShadow, {{r - 1, t}, {r - 1, b + 1}});
        line(canvas, clBtnHighlight, {{l + 1, t}, {l + 1, b + 1}});
        line(canvas, clBtnHighlight, {{r, t}, {r, b + 1}});
        break;
    }
}

void PTDrawFrameCaption(TCanvas& canvas, const std::string& caption, const TRect& rect, TAlignment alignment,
                        int frameSpace) {
    TRect area = Rect(rect.Left + frameSpace, rect.Top, rect.Right - frameSpace, rect.Bottom);
    TTextLineFormat format;
    format.Align = textAlignOf(alignment);
    format.VCenter = true;
    format.EndEllipsis = true;
    DrawTextLine(canvas, caption, area, format);
}

// ---------------------------------------------------------------------------
// TPTCustomGroup

TPTCustomGroup::TPTCustomGroup(TComponent* owner) : TCustomControl(owner) {
    ControlStyle |= csAcceptsControls | csClickEvents | csDoubleClicks;
    SetBounds(0, 0, 64, 48);
}

void TPTCustomGroup::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.Kind = std::string(wk::NonClientFramed);
}

TRect TPTCustomGroup::ClientAreaOfWindow() const {
    return PTFrameInnerRect(frameStyle_, Rect(0, 0, Width(), Height()),
                            frameStyle_ == ptfsGroup ? captionHeightFor(*this) : 0);
}

int TPTCustomGroup::ClientWidth() const { return std::max(0, ClientAreaOfWindow().Width()); }
int TPTCustomGroup::ClientHeight() const { return std::max(0, ClientAreaOfWindow().Height()); }

void TPTCustomGroup::SetAlignment(TAlignment value) {
    alignment_ = value;
    Invalidate();
}

void TPTCustomGroup::SetFrameSpace(int value) {
    frameSpace_ = value;
    Invalidate();
}

void TPTCustomGroup::SetFrameStyle(TPTFrameStyle value) {
    if (value == frameStyle_)
        return;
    frameStyle_ = value;
    frameChanged();
}

void TPTCustomGroup::frameChanged() {
    FrameChanged(*this);
    Invalidate();
}

void TPTCustomGroup::DrawFrame(TCanvas& canvas, const TRect& rect) {
    canvas.Brush().SetColor(Color());
    canvas.Brush().SetStyle(bsClear);
    canvas.SetFont(Font());
    PTDrawFrame(canvas, frameStyle_, rect, Caption(), Enabled(), Color());
}

void TPTCustomGroup::Paint() {
    TCanvas& canvas = Canvas();
    canvas.SetFont(Font());
    if (Color() != clNone) {
        canvas.Brush().SetColor(Color());
        canvas.Brush().SetStyle(bsSolid);
    }
    if (DefaultDrawing && frameStyle_ != ptfsGroup)
        PTDrawFrameCaption(canvas, Caption(), ClientRect(), alignment_, frameSpace_);
    if (OnPaint)
        OnPaint(this, canvas);
}

void TPTCustomGroup::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case WM_NCCALCSIZE:
        *reinterpret_cast<TRect*>(message.LParam) = ClientAreaOfWindow();
        message.Result = 0;
        return;
    case WM_NCPAINT:
        if (auto* canvas = reinterpret_cast<TCanvas*>(message.WParam))
            DrawFrame(*canvas, Rect(0, 0, Width(), Height()));
        message.Result = 0;
        return;
    case WM_ERASEBKGND:
        // Without default drawing the handler paints everything.
        if (DefaultDrawing && Color() != clNone)
            TCustomControl::Dispatch(message);
        message.Result = 1;
        return;
    case CM_ENABLEDCHANGED:
        TCustomControl::Dispatch(message);
        for (int i = 0; i < ControlCount(); ++i)
            Controls(i)->SetEnabled(Enabled());
        frameChanged();
        return;
    case CM_TEXTCHANGED:
    case CM_COLORCHANGED:
    case CM_FONTCHANGED:
        TCustomControl::Dispatch(message);
        frameChanged();
        return;
    default:
        TCustomControl::Dispatch(message);
    }
}

// ---------------------------------------------------------------------------
// TPTCustomFrame

TPTCustomFrame::TPTCustomFrame(TComponent* owner) : TGraphicControl(owner) {
    ControlStyle |= csClickEvents | csOpaque | csDoubleClicks;
    SetBounds(0, 0, 64, 48);
}

void TPTCustomFrame::SetAlignment(TAlignment value) {
    alignment_ = value;
    Invalidate();
}

void TPTCustomFrame::SetFrameSpace(int value) {
    frameSpace_ = value;
    Invalidate();
}

void TPTCustomFrame::SetFrameStyle(TPTFrameStyle value) {
    frameStyle_ = value;
    Invalidate();
}

void TPTCustomFrame::Paint() {
    TCanvas& canvas = Canvas();
    TRect client = ClientRect();
    if (Color() != clNone) {
        canvas.Brush().SetColor(Color());
        canvas.Brush().SetStyle(bsSolid);
        if (DefaultDrawing || (ComponentState() & csDesigning))
            canvas.FillRect(client);
    }
    canvas.Brush().SetStyle(bsClear);
    canvas.SetFont(Font());
    PTDrawFrame(canvas, frameStyle_, client, Caption(), Enabled(), frameStyle_ == ptfsGroup ? Color() : clNone);
    if (DefaultDrawing && frameStyle_ != ptfsGroup) {
        canvas.Brush().SetStyle(bsClear);
        PTDrawFrameCaption(canvas, Caption(), client, alignment_, frameSpace_);
    }
    if (OnPaint)
        OnPaint(this, canvas);
}

void TPTCustomFrame::invalidateInside() {
    if (Parent() == nullptr || !Visible())
        return;
    TRect inner = PTFrameInnerRect(frameStyle_, BoundsRect(), frameStyle_ == ptfsGroup ? captionHeightFor(*this) : 0);
    Parent()->InvalidateRect(&inner);
}

void TPTCustomFrame::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case CM_TEXTCHANGED:
    case CM_COLORCHANGED:
    case CM_FONTCHANGED:
        invalidateInside();
        message.Result = 0;
        return;
    default:
        TGraphicControl::Dispatch(message);
    }
}
