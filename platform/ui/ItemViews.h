#pragma once
// What the tree view and the list view share: their notices (CN_NOTIFY
// codes), the custom-draw protocol and its states, and the question a
// view's window answers about where things are.
//
// Custom drawing: before the window paints the control (stage
// cdPrePaint) and, when the control asks for it, each item (cdItemPrePaint)
// and in report view each cell (cdSubItemPrePaint), it sends CN_NOTIFY
// NM_CUSTOMDRAW with a TCustomDrawInfo.  Its Canvas holds the font and
// the brush the item would be painted with; a handler may change them
// (the item is painted with them) or paint the item itself on the canvas
// and answer CDRF_SKIPDEFAULT.  The control's default handling runs the
// OnCustomDraw... events; a derived control (the shell's views) may
// handle the notice itself.

#include "platform/gfx/Canvas.h"
#include "platform/gfx/Geometry.h"
#include "platform/gfx/ImageList.h"

#include <functional>
#include <utility>

class TPersistent;

// CN_NOTIFY codes of the item views.
enum : int {
    NM_RCLICK = -5,
    NM_CUSTOMDRAW = -12,
    TVN_SELCHANGING = -401,    // LParam: TTreeNode* asked for; Result 1 refuses
    TVN_SELCHANGED = -402,     // LParam: TTreeNode* the user selects (or nullptr)
    TVN_ITEMEXPANDING = -405,  // LParam: TTreeExpandNotice*; Result 1 refuses
    TVN_ITEMEXPANDED = -406,
    TVN_BEGINDRAG = -407,      // LParam: TTreeNode* under the pointer
    TVN_BEGINRDRAG = -408,
    TVN_BEGINLABELEDIT = -410, // LParam: TTreeNode*; Result 1 refuses
    TVN_ENDLABELEDIT = -411,   // LParam: TLabelEdit*
    LVN_ITEMCHANGED = -101,    // LParam: TListSelectionChange*
    LVN_BEGINDRAG = -109,      // LParam: item index
    LVN_BEGINRDRAG = -111,
    LVN_COLUMNCLICK = -108,    // LParam: column index
    LVN_BEGINLABELEDIT = -175, // LParam: item index; Result 1 refuses
    LVN_ENDLABELEDIT = -176,   // LParam: TLabelEdit*
};

// The end of an in-place edit: the item (a TTreeNode* or the list item's
// index), the text typed (nullptr when the edit was cancelled).  The
// control answers Result 1 when it takes the text.
struct TLabelEdit {
    void* Item = nullptr;
    int Index = -1;
    const std::string* Text = nullptr;
};

// How a view keeps its items in order: by text with stText and stBoth.
enum TSortType { stNone, stData, stText, stBoth };

// Custom draw.
enum TCustomDrawStage { cdPrePaint, cdPostPaint, cdItemPrePaint, cdItemPostPaint, cdSubItemPrePaint };
enum : unsigned {
    cdsSelected = 0x0001,
    cdsGrayed = 0x0002,
    cdsDisabled = 0x0004,
    cdsChecked = 0x0008,
    cdsFocused = 0x0010,
    cdsDefault = 0x0020,
    cdsHot = 0x0040,
    cdsMarked = 0x0080,
};
using TCustomDrawState = unsigned;
enum : unsigned {
    CDRF_DODEFAULT = 0x00,
    CDRF_NEWFONT = 0x02,
    CDRF_SKIPDEFAULT = 0x04,
    CDRF_NOTIFYITEMDRAW = 0x20,
};

struct TCustomDrawInfo {
    TCustomDrawStage Stage = cdPrePaint;
    // The node (TTreeNode*) or nullptr for a tree; the item's index
    // for a list (-1 at the control's own stages).
    void* Node = nullptr;
    int Index = -1;
    int SubItem = 0;
    TCustomDrawState State = 0;
    // The item's rectangle on the canvas.
    TRect Rect;
    TCanvas* Canvas = nullptr;
};

// Follows an image list a view shows: the view is told of every change of
// the list's pictures, with remeasure true when its rows need measuring
// again (the pictures' size changed, or the list came to hold pictures or
// ceased to).  A list being freed leaves the link watching nothing, with
// no call.
class TItemImagesLink : public TChangeLink {
public:
    explicit TItemImagesLink(std::function<void(bool remeasure)> changed) : changed_(std::move(changed)) {}

    void Watch(TImageList* list) {
        SetImages(list);
        remember();
    }
    void Change() override {
        TImageList* list = Images();
        bool remeasure = list != nullptr && (list->Width() != width_ || list->Height() != height_ ||
                                             (list->Count() > 0) != holdsPictures_);
        remember();
        if (changed_)
            changed_(remeasure);
    }

private:
    void remember() {
        TImageList* list = Images();
        width_ = list != nullptr ? list->Width() : 0;
        height_ = list != nullptr ? list->Height() : 0;
        holdsPictures_ = list != nullptr && list->Count() > 0;
    }

    std::function<void(bool remeasure)> changed_;
    int width_ = 0;
    int height_ = 0;
    bool holdsPictures_ = false;
};
