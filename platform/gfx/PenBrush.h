#pragma once
// The pen and the brush of a TCanvas.  Each counts its changes so that the
// canvas can tell cheaply whether its Qt objects are still current; OnChange
// is free for the object's owner.

#include "platform/gfx/Color.h"
#include "platform/gfx/Font.h"

#include <cstdint>

class TBitmap;

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };

// How the pen's colour P combines with the pixels D it covers.
enum TPenMode {
    pmBlack,       // 0
    pmWhite,       // 1
    pmNop,         // D
    pmNot,         // not D
    pmCopy,        // P
    pmNotCopy,     // not P
    pmMergePenNot, // P or not D
    pmMaskPenNot,  // P and not D
    pmMergeNotPen, // not P or D
    pmMaskNotPen,  // not P and D
    pmMerge,       // P or D
    pmNotMerge,    // not (P or D)
    pmMask,        // P and D
    pmNotMask,     // not (P and D)
    pmXor,         // P xor D
    pmNotXor,      // not (P xor D)
};

class TPen : public TPersistent {
public:
    std::string ClassName() const override { return "TPen"; }

    TColor Color() const { return color_; }
    void SetColor(TColor color);
    int Width() const { return width_; }
    void SetWidth(int width);
    TPenStyle Style() const { return style_; }
    void SetStyle(TPenStyle style);
    TPenMode Mode() const { return mode_; }
    void SetMode(TPenMode mode);

    TNotifyEvent OnChange;
    uint64_t ChangeCount() const { return changeCount_; }
    void Assign(const TPersistent* source) override;

private:
    void changed();
    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = psSolid;
    TPenMode mode_ = pmCopy;
    uint64_t changeCount_ = 0;
};

enum TBrushStyle {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross,
};

class TBrush : public TPersistent {
public:
    std::string ClassName() const override { return "TBrush"; }

    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TBrushStyle Style() const { return style_; }
    void SetStyle(TBrushStyle style);
    // A pattern bitmap, tiled from the device's origin; it replaces colour
    // and style while set.  Not owned: the bitmap must outlive its use.
    TBitmap* Bitmap() const { return bitmap_; }
    void SetBitmap(TBitmap* bitmap);

    TNotifyEvent OnChange;
    uint64_t ChangeCount() const { return changeCount_; }
    void Assign(const TPersistent* source) override;

private:
    void changed();
    TColor color_ = clWhite;
    TBrushStyle style_ = bsSolid;
    TBitmap* bitmap_ = nullptr;
    uint64_t changeCount_ = 0;
};
