#include "platform/widgets/ItemViewPainting.h"

#include "platform/gfx/Bitmap.h"
#include "platform/widgets/NativeConversions.h"

#include <QPainter>

QIcon ImageListIcon(const TImageList* images, int index, int overlay) {
    int over = images != nullptr ? images->OverlayImage(overlay) : -1;
    if (over < 0 || index < 0 || index >= images->Count())
        return QIconOf(images, index);
    QImage picture = ImageListImage(*images, index).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&picture);
    painter.drawImage(0, 0, ImageListImage(*images, over));
    painter.end();
    return QIcon(QPixmap::fromImage(picture));
}

bool CustomDrawItem(const TItemDraw& item, QPainter* painter, QStyleOptionViewItem& option,
                    const std::function<LRESULT(TMessage&)>& send) {
    const QRect rect = option.rect;
    if (rect.isEmpty())
        return false;
    bool selected = option.state & QStyle::State_Selected;
    // The item is drawn on a bitmap of its own size; its canvas's origin
    // puts the item's client rectangle there.
    TBitmap bitmap(rect.width(), rect.height());
    TCanvas& canvas = bitmap.Canvas();
    canvas.SetOrigin({-rect.left(), -rect.top()});
    canvas.SetFont(item.Control.Font());
    canvas.Font().SetColor(selected ? clHighlightText : item.Control.Font().Color());
    canvas.Brush().SetColor(selected ? clHighlight : item.Control.Color());
    const TColor textBefore = canvas.Font().Color();
    const TColor backBefore = canvas.Brush().Color();
    TCustomDrawInfo info;
    info.Stage = item.Stage;
    info.Node = item.Node;
    info.Index = item.Index;
    info.SubItem = item.SubItem;
    info.State = (selected ? cdsSelected : 0u) | (option.state & QStyle::State_HasFocus ? cdsFocused : 0u) |
                 (option.state & QStyle::State_MouseOver ? cdsHot : 0u) |
                 (option.state & QStyle::State_Enabled ? 0u : cdsDisabled);
    info.Rect = FromQRect(rect);
    info.Canvas = &canvas;
    TMessage message{CN_NOTIFY, static_cast<WPARAM>(static_cast<intptr_t>(NM_CUSTOMDRAW)),
                     reinterpret_cast<LPARAM>(&info), 0};
    LRESULT result = send(message);
    if (result & CDRF_SKIPDEFAULT) {
        canvas.Release();
        painter->drawImage(rect.topLeft(), QImageOf(bitmap));
        return true;
    }
    option.font = QFontOf(canvas.Font());
    option.fontMetrics = QFontMetrics(option.font);
    if (canvas.Font().Color() != textBefore) {
        option.palette.setColor(QPalette::Text, QColorOf(canvas.Font().Color()));
        option.palette.setColor(QPalette::HighlightedText, QColorOf(canvas.Font().Color()));
    }
    if (canvas.Brush().Color() != backBefore) {
        option.backgroundBrush = QBrush(QColorOf(canvas.Brush().Color()));
        if (selected)
            option.palette.setColor(QPalette::Highlight, QColorOf(canvas.Brush().Color()));
    }
    return false;
}
