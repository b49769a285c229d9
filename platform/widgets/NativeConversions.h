#pragma once
// The platform's values as Qt's, for the windows of the standard controls:
// one place that knows where the window base keeps its Qt conversions.

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Color.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/Geometry.h"
#include "platform/gfx/ImageList.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/QtBridge.h"

#include <QColor>
#include <QCursor>
#include <QFont>
#include <QIcon>
#include <QImage>
#include <QPixmap>

// Qt's widgets draw every character of the program's text: one the face
// lacks comes from the font the system falls back to (the canvas measures
// and draws its own fallback, so the platform's font merges none).
inline QFont QFontOf(const TFont& font) {
    QFont qfont = ToQFont(font);
    qfont.setStyleStrategy(QFont::PreferMatch);
    return qfont;
}
inline QColor QColorOf(TColor color) { return ToQColor(color); }
inline QCursor QCursorOf(int cursor) { return CursorToQCursor(cursor); }
// A bitmap with its transparent colour see-through when it is transparent.
inline QImage QImageOf(const TBitmap& bitmap) {
    return bitmap.Transparent() ? MaskedBitmapImage(bitmap) : BitmapImage(bitmap);
}
// An image of a list; a null icon for an index the list does not have.
inline QIcon QIconOf(const TImageList* list, int index) {
    if (list == nullptr || index < 0 || index >= list->Count())
        return {};
    return QIcon(QPixmap::fromImage(ImageListImage(*list, index)));
}
