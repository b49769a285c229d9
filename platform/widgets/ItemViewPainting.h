#pragma once
// Painting the items of the tree and list views: pictures of a platform
// image list, and the custom-draw notices (ItemViews.h) around Qt's own
// painting of an item.

#include "platform/gfx/ImageList.h"
#include "platform/ui/ItemViews.h"
#include "platform/ui/StandardControl.h"

#include <QIcon>
#include <QStyleOptionViewItem>

#include <functional>

class QPainter;

// The picture index of a list as an icon (null for none), with the list's
// overlay image of that number drawn over it (overlay -1: none).
QIcon ImageListIcon(const TImageList* images, int index, int overlay = -1);

// One item's custom draw: the notice is sent with a canvas holding the
// font and brush the item would get (selected or not); afterwards the
// option carries what the handler chose, or the handler painted the item
// itself (true: the caller paints nothing more).
struct TItemDraw {
    TWinControl& Control;
    void* Node = nullptr;
    int Index = -1;
    int SubItem = 0;
    TCustomDrawStage Stage = cdItemPrePaint;
};
bool CustomDrawItem(const TItemDraw& item, QPainter* painter, QStyleOptionViewItem& option,
                    const std::function<LRESULT(TMessage&)>& send);
