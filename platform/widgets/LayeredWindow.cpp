// The layered window: a top-level tool-tip window (never focused, never
// activated, every mouse event passing through) made translucent, which
// shows the image the control last gave it, alpha and all.  The image
// replaces the window's pixels outright rather than being drawn over them,
// so a clear pixel stays clear.
#include "platform/ui/LayeredWindow.h"

#include "platform/ui/Control.h"
#include "platform/widgets/WidgetPeer.h"
#include "platform/widgets/WindowKinds.h"

#include <QEvent>
#include <QImage>
#include <QPainter>
#include <QPointer>

#include <algorithm>

namespace {

// Paints the window's image in place of the control's painting: it sees
// the viewport's paint events before the window does.
class TLayeredPainter : public QObject {
public:
    using QObject::QObject;
    QImage Image;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint)
            return false;
        QPainter painter(static_cast<QWidget*>(watched));
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(static_cast<QWidget*>(watched)->rect(), Qt::transparent);
        if (!Image.isNull())
            painter.drawImage(0, 0, Image);
        return true;
    }
};

class TLayeredWindowPeer : public TWidgetPeer, public TLayeredPeer {
public:
    TLayeredWindowPeer(TWinControl& control, const TPeerWindowStyle& style) : TWidgetPeer(control, style) {
        QWidget* viewport = static_cast<QWidget*>(NativeWidget());
        painter_ = new TLayeredPainter(viewport);
        viewport->installEventFilter(painter_);
    }

    void SetLayeredImage(const TLayeredImage& image) override {
        QWidget* viewport = static_cast<QWidget*>(NativeWidget());
        if (viewport == nullptr || painter_ == nullptr)
            return;
        const int width = std::max(image.Width, 0), height = std::max(image.Height, 0);
        if (image.Pixels.size() < static_cast<size_t>(width) * static_cast<size_t>(height))
            return;
        // Premultiplied ARGB32 keeps each pixel as one 0xAARRGGBB word.
        QImage pixels = QImage(reinterpret_cast<const uchar*>(image.Pixels.data()), width, height,
                               static_cast<qsizetype>(width) * 4, QImage::Format_ARGB32_Premultiplied)
                            .copy();
        painter_->Image = std::move(pixels);
        viewport->update();
    }

private:
    QPointer<TLayeredPainter> painter_; // a child of the viewport, which frees it
};

const TWindowKindRegistration registration(wk::Layered, [](TWinControl& control) {
    TPeerWindowStyle style;
    style.TopLevel = true;
    style.Flags = Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus |
                  Qt::WindowTransparentForInput;
    style.NeverFocus = true;
    style.ShowWithoutActivating = true;
    style.InputTransparent = true;
    style.Translucent = true;
    return std::make_unique<TLayeredWindowPeer>(control, style);
});

} // namespace
