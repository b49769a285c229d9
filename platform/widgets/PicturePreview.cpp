#include "platform/widgets/PicturePreview.h"

#include "platform/gfx/Picture.h"
#include "platform/gfx/QtBridge.h"

#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kAreaSize = 160;

} // namespace

// The picture itself, repainted whenever it changes (an animation's
// frames come as changes of the picture).
class TPicturePreview::TPictureArea : public QWidget {
public:
    explicit TPictureArea(QWidget* parent) : QWidget(parent), picture_(std::make_unique<TPicture>()) {
        setFixedSize(kAreaSize, kAreaSize);
        picture_->OnChange = [this](TPersistent*) { update(); };
    }
    ~TPictureArea() override {
        // The animation stops before the picture goes.
        picture_->OnChange = nullptr;
        picture_->SetGraphic(nullptr);
    }

    TPicture& Picture() { return *picture_; }
    bool Shows() const { return picture_->Graphic() != nullptr && !picture_->Graphic()->Empty(); }

    // Centred at its own size, or fitted into the area keeping its shape
    // when larger.
    QRect PictureRect() const {
        if (!Shows())
            return {};
        const int w = picture_->Width(), h = picture_->Height();
        if (w <= 0 || h <= 0)
            return {};
        QSize size(w, h);
        if (w > width() || h > height())
            size = QSize(w, h).scaled(this->size(), Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
        return QRect(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter background(this);
        background.fillRect(rect(), palette().base());
        background.end();
        const QRect shown = PictureRect();
        if (shown.isEmpty())
            return;
        TDeviceCanvas canvas(this);
        picture_->Graphic()->Draw(canvas, FromQRect(shown));
    }

private:
    std::unique_ptr<TPicture> picture_;
};

TPicturePreview::TPicturePreview(QWidget* parent) : QFrame(parent) {
    setFrameShape(QFrame::StyledPanel);
    auto* layout = new QVBoxLayout(this);
    area_ = new TPictureArea(this);
    caption_ = new QLabel(this);
    caption_->setAlignment(Qt::AlignHCenter);
    layout->addWidget(area_, 0, Qt::AlignHCenter);
    layout->addWidget(caption_);
    layout->addStretch();
    ShowFile({});
}

TPicturePreview::~TPicturePreview() = default;

void TPicturePreview::ShowFile(const std::string& fileName) {
    TPicture& picture = area_->Picture();
    picture.SetGraphic(nullptr);
    if (!fileName.empty()) {
        try {
            picture.LoadFromFile(fileName);
        } catch (...) {
            // No picture the program reads: none is shown.
            picture.SetGraphic(nullptr);
        }
    }
    caption_->setText(area_->Shows() ? QStringLiteral("%1 x %2").arg(picture.Width()).arg(picture.Height())
                                     : QStringLiteral("(None)"));
    area_->update();
}

QString TPicturePreview::Caption() const { return caption_->text(); }

QRect TPicturePreview::PictureRect() const {
    const QRect shown = area_->PictureRect();
    return shown.isEmpty() ? shown : shown.translated(area_->pos());
}
