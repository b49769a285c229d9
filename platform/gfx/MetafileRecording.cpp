#include "platform/gfx/MetafileRecording.h"

#include "platform/gfx/QtBridge.h"

#include <QPainter>

TMetafileRecording::TMetafileRecording() : qt_(std::make_unique<TQt>()) {}

TMetafileRecording::~TMetafileRecording() = default;

void TMetafileRecording::Draw(TCanvas& canvas, const TRect& rect) const {
    QPainter* painter = canvas.QtSide().Painter();
    const QRectF& frame = qt_->Frame;
    if (painter == nullptr || !(frame.width() > 0) || !(frame.height() > 0))
        return;
    painter->save();
    painter->translate(rect.Left, rect.Top);
    painter->scale(rect.Width() / frame.width(), rect.Height() / frame.height());
    painter->translate(-frame.left(), -frame.top());
    painter->drawPicture(0, 0, qt_->Picture);
    painter->restore();
}
