#pragma once
// Item viewers: the on-screen presence of one item in one view (a toolbar
// button, a menu line, a separator).  The view makes one per shown item
// through the item's ViewerClassFor, stores its bounds and asks it to
// measure and paint itself and to react to the mouse and the keyboard.
// TTBItemViewer draws the classic look with system colours and 3-D edges;
// TTBSeparatorItemViewer draws separators.

#include "platform/gfx/Color.h"
#include "platform/gfx/Geometry.h"
#include "platform/gfx/PenBrush.h"
#include "platform/ui/Keys.h"
#include "toolbars/TBMetrics.h"
#include "toolbars/TBItem.h"
#include "toolbars/TBMetrics.h"

#include <string>

class TCanvas;
class TImageList;
class TTBView;
struct TTBLoopState;

// Text format flags of DrawCaptionText (the DrawText flags the framework
// uses).
enum : unsigned {
    DT_LEFT = 0x0000,
    DT_CENTER = 0x0001,
    DT_RIGHT = 0x0002,
    DT_VCENTER = 0x0004,
    DT_SINGLELINE = 0x0020,
    DT_CALCRECT = 0x0400,
    DT_NOPREFIX = 0x0800,
    DT_END_ELLIPSIS = 0x8000,
    DT_HIDEPREFIX = 0x00100000,
};


// A viewer is a component without an owner, so that code that calls an
// item's handler through it can watch it (TComponentWatch) and stop once a
// handler has freed it.
class TTBItemViewer : public TComponent {
public:
    TTBItemViewer(TTBView* view, TTBCustomItem* item);
    ~TTBItemViewer() override;
    std::string ClassName() const override { return "TTBItemViewer"; }

    static TTBItemViewer* Make(TTBView* view, TTBCustomItem* item);
    // The class of this viewer (the function that makes viewers like it).
    virtual TTBItemViewerClass ViewerClass() const { return &Make; }

    TTBCustomItem* Item() const { return item_; }
    TTBView* View() const { return view_; }

    // Set by the view's layout.
    TRect BoundsRect;
    bool Show = false;
    bool OffEdge = false;
    bool LineSep = false;
    bool NeedsOffscreenRepaint = false;

    virtual void MeasureSize(TCanvas& canvas, int& width, int& height);
    virtual void Paint(TCanvas& canvas, const TRect& clientArea, bool isSelected, bool isPushed,
                       bool useDisabledShadow);
    virtual void DrawCaptionText(TCanvas& canvas, TRect rect, const std::string& caption, bool embossed,
                                 unsigned format);
    virtual void HighlightGained();
    virtual std::string CaptionText() const;
    virtual void CursorAt(TPoint point, int& cursor) {}
    virtual bool InButtonPart(int x, int y);
    virtual void KeyDown(uint16_t& key, TShiftState shift) {}
    virtual void HighlightLost();
    virtual void CaptureLost();
    virtual void MouseDown(TShiftState shift, int x, int y, TTBLoopState& loop);
    virtual void MouseMove(int x, int y) {}
    virtual void MouseUp(int x, int y, TTBLoopState& loop);
    virtual void MouseWheel(int delta, int x, int y) {}
    virtual bool ShowsCaption() const;

    // A screen point relative to the viewer's top-left corner.
    TPoint ScreenToViewer(TPoint screen) const;

    // --- derived tests --------------------------------------------------------
    // Drawn as a toolbar button: in a toolbar, or with tboToolbarStyle.
    bool IsToolbarStyle() const;
    // Sized (flowing) as a toolbar button.
    bool IsToolbarSize() const;
    bool ImageShown() const;
    // The item's images, else the first submenu images up the views.
    TImageList* GetImageList() const;
    // Width of the image column of a menu line of the given height.
    int ImageColumn(int rowHeight) const;

protected:
    // Text colour and background of the classic look.
    static int TextColorIndex(bool useDisabledShadow, bool isSelected);
    static int BackgroundColorIndex(bool useDisabledShadow, bool isSelected);
    // The format flags for captions: hidden access keys while the view
    // hides them.
    unsigned PrefixFlags() const;

private:
    void paintImage(TCanvas& canvas, const TRect& rect, bool showEnabled, bool isSelected);
    void paintCheckMark(TCanvas& canvas, const TRect& rect);

    TTBView* view_;
    TTBCustomItem* item_;
};

class TTBSeparatorItemViewer : public TTBItemViewer {
public:
    using TTBItemViewer::TTBItemViewer;
    static TTBItemViewer* Make(TTBView* view, TTBCustomItem* item);
    TTBItemViewerClass ViewerClass() const override { return &Make; }
    void MeasureSize(TCanvas& canvas, int& width, int& height) override;
    void Paint(TCanvas& canvas, const TRect& clientArea, bool isSelected, bool isPushed,
               bool useDisabledShadow) override;
};

// Pen and brush of one colour for drawing a glyph, put back when it goes out
// of scope.
class TTBGlyphColors {
public:
    TTBGlyphColors(TCanvas& canvas, TColor color);
    ~TTBGlyphColors();
    TTBGlyphColors(const TTBGlyphColors&) = delete;
    TTBGlyphColors& operator=(const TTBGlyphColors&) = delete;

private:
    TCanvas& canvas_;
    TPen pen_;
    TBrush brush_;
};

// Draws a right-pointing menu arrow (submenu glyph) centred in rect.
void DrawMenuArrow(TCanvas& canvas, const TRect& rect, int colorIndex);
// A filled triangle of the drop-down arrow: pointing down, or left.
void DrawDropdownArrow(TCanvas& canvas, int cx, int cy, bool pointLeft, int colorIndex);
// A one-pixel frame of one colour, leaving the canvas's brush as it was.
void FrameInColor(TCanvas& canvas, const TRect& rect, TColor color);
// The 8 x 8 checkerboard of button face and highlight behind checked
// buttons.
void FillCheckedPattern(TCanvas& canvas, const TRect& rect);
