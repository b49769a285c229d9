#include "platform/gfx/PenBrush.h"

void TPen::changed() {
    ++changeCount_;
    if (OnChange)
        OnChange(this);
}

void TPen::SetColor(TColor color) {
    if (color != color_) {
        color_ = color;
        changed();
    }
}

void TPen::SetWidth(int width) {
    if (width < 0)
        width = 0;
    if (width != width_) {
        width_ = width;
        changed();
    }
}

void TPen::SetStyle(TPenStyle style) {
    if (style != style_) {
        style_ = style;
        changed();
    }
}

void TPen::SetMode(TPenMode mode) {
    if (mode != mode_) {
        mode_ = mode;
        changed();
    }
}

void TPen::Assign(const TPersistent* source) {
    if (auto* pen = dynamic_cast<const TPen*>(source)) {
        if (pen == this)
            return;
        color_ = pen->color_;
        width_ = pen->width_;
        style_ = pen->style_;
        mode_ = pen->mode_;
        changed();
        return;
    }
    TPersistent::Assign(source);
}

void TBrush::changed() {
    ++changeCount_;
    if (OnChange)
        OnChange(this);
}

void TBrush::SetColor(TColor color) {
    // As with the class library, choosing a colour makes a clear brush solid.
    if (color == color_ && !(style_ == bsClear))
        return;
    color_ = color;
    if (style_ == bsClear)
        style_ = bsSolid;
    changed();
}

void TBrush::SetStyle(TBrushStyle style) {
    if (style != style_) {
        style_ = style;
        changed();
    }
}

void TBrush::SetBitmap(TBitmap* bitmap) {
    if (bitmap != bitmap_) {
        bitmap_ = bitmap;
        changed();
    }
}

void TBrush::Assign(const TPersistent* source) {
    if (auto* brush = dynamic_cast<const TBrush*>(source)) {
        if (brush == this)
            return;
        color_ = brush->color_;
        style_ = brush->style_;
        bitmap_ = brush->bitmap_;
        changed();
        return;
    }
    TPersistent::Assign(source);
}
