// The picture-open dialog's preview, in the real dialog: the picture of
// the file the user points at, centred at its size or fitted into the
// frame keeping its shape, "W x H" under it, "(None)" for no file, a
// damaged one or one the program does not read; a picture that changes by
// itself (an animation's frames) shows each change.  Pixel probes.

#include "platform/gfx/Canvas.h"
#include "platform/gfx/Picture.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/widgets/FileDialogWindow.h"
#include "platform/widgets/PicturePreview.h"
#include "platform/widgets/QtUserInteraction.h"
#include "tests/platform/base/TempFolder.h"
#include "tests/platform/widgets/WidgetTestApp.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTreeWidget>
#include <QTimer>

#include <fstream>
#include <functional>

namespace {

// A picture of two frames that shows the next one when told, as an
// animation does: through its change notice.
class TTwoFrames : public TGraphic {
public:
    static inline TTwoFrames* Last = nullptr;
    TTwoFrames() { Last = this; }
    ~TTwoFrames() override {
        if (Last == this)
            Last = nullptr;
    }
    std::string ClassName() const override { return "TTwoFrames"; }
    void Next() {
        second_ = !second_;
        Changed(this);
    }
    void Draw(TCanvas& canvas, const TRect& rect) override { canvas.FillRect(rect, second_ ? clBlue : clLime); }
    int Width() const override { return 30; }
    int Height() const override { return 30; }
    void SetWidth(int) override {}
    void SetHeight(int) override {}
    bool Empty() const override { return false; }
    void LoadFromStream(TStream&) override {}
    void SaveToStream(TStream&) override {}

private:
    bool second_ = false;
};

QColor colourAt(TPicturePreview& preview, QPoint at) {
    QApplication::processEvents();
    return QColor(preview.grab().toImage().pixel(at));
}

// The width of the shown dialog's file list.
int fileListWidth(const TFileDialogWindow& dialog) { return dialog.List()->isVisible() ? dialog.List()->width() : 0; }

// Runs the real open dialog for the request, calling look once it shows,
// then cancels it.
void whileShown(const TFileDialogRequest& request, const std::function<void(TFileDialogWindow&)>& look) {
    bool looked = false;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = dynamic_cast<TFileDialogWindow*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible() || looked)
            return;
        looked = true;
        look(*dialog);
        dialog->reject();
    });
    poll.start();
    QtUserInteraction().OpenFileDialog(request);
    EXPECT_TRUE(looked);
}

TEST(PicturePreview, TheDialogShowsThePictureItsSizeOrNone) {
    TPicture::RegisterFileFormat("frames", "Two frames", "TTwoFrames", [] { return std::make_unique<TTwoFrames>(); });
    TTempFolder folder;
    QImage small(40, 20, QImage::Format_RGB32);
    small.fill(Qt::red);
    ASSERT_TRUE(small.save(QString::fromStdString(folder.File("small.png"))));
    QImage wide(400, 100, QImage::Format_RGB32);
    wide.fill(Qt::yellow);
    ASSERT_TRUE(wide.save(QString::fromStdString(folder.File("wide.bmp"))));
    std::ofstream(folder.File("damaged.png"), std::ios::binary) << "\x89PNG\r\n\x1a\nnot a picture at all";
    std::ofstream(folder.File("notes.txt")) << "text";
    std::ofstream(folder.File("moving.frames")) << "x";

    std::vector<std::function<void(TFileDialogWindow&, TPicturePreview&)>> checks = {
        [&](TFileDialogWindow&, TPicturePreview& preview) {
            // The file the dialog starts on, at its own size, centred.
            EXPECT_EQ(preview.Caption(), "40 x 20");
            const QRect shown = preview.PictureRect();
            EXPECT_EQ(shown.size(), QSize(40, 20));
            EXPECT_EQ(colourAt(preview, shown.center()), QColor(Qt::red));
            EXPECT_NE(colourAt(preview, shown.topLeft() - QPoint(2, 2)), QColor(Qt::red));
        },
        [&](TFileDialogWindow& dialog, TPicturePreview& preview) {
            // Larger than the frame: fitted, its shape kept.
            dialog.OnCurrentChanged(folder.File("wide.bmp"));
            EXPECT_EQ(preview.Caption(), "400 x 100");
            const QRect shown = preview.PictureRect();
            EXPECT_LT(shown.width(), 400);
            EXPECT_NEAR(double(shown.width()) / shown.height(), 4.0, 0.1);
            EXPECT_EQ(colourAt(preview, shown.center()), QColor(Qt::yellow));
            EXPECT_TRUE(preview.rect().contains(shown));
        },
        [&](TFileDialogWindow& dialog, TPicturePreview& preview) {
            for (const char* name : {"damaged.png", "notes.txt", ""}) {
                dialog.OnCurrentChanged(name[0] ? folder.File(name) : std::string());
                EXPECT_EQ(preview.Caption(), "(None)") << name;
                EXPECT_TRUE(preview.PictureRect().isEmpty()) << name;
            }
            dialog.OnCurrentChanged(folder.Path().string());
            EXPECT_EQ(preview.Caption(), "(None)") << "a folder";
        },
        [&](TFileDialogWindow& dialog, TPicturePreview& preview) {
            // A picture that changes by itself shows each change.
            dialog.OnCurrentChanged(folder.File("moving.frames"));
            ASSERT_NE(TTwoFrames::Last, nullptr);
            const QPoint centre = preview.PictureRect().center();
            EXPECT_EQ(colourAt(preview, centre), QColor(Qt::green));
            TTwoFrames::Last->Next();
            EXPECT_EQ(colourAt(preview, centre), QColor(Qt::blue));
        },
    };
    size_t done = 0;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = dynamic_cast<TFileDialogWindow*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible())
            return;
        // The preview has no meta-object of its own: found by its name.
        auto* preview = dynamic_cast<TPicturePreview*>(dialog->findChild<QFrame*>("picturePreview"));
        if (preview == nullptr) {
            ADD_FAILURE() << "no preview";
            dialog->reject();
            return;
        }
        if (done < checks.size())
            checks[done++](*dialog, *preview);
        else
            dialog->reject();
    });
    poll.start();
    TFileDialogRequest request;
    request.InitialDir = folder.Path();
    request.FileName = folder.File("small.png");
    request.Filter = TPicture::GraphicFilter();
    request.PicturePreview = true;
    EXPECT_FALSE(QtUserInteraction().OpenFileDialog(request).Accepted);
    poll.stop();
    EXPECT_EQ(done, checks.size());
    TPicture::UnregisterGraphicClass("TTwoFrames");
}

// The picture-open dialog component asks for the preview; the plain open
// dialog does not.
TEST(PicturePreview, OnlyThePictureDialogAsksForIt) {
    struct TRecorded : TUnattendedUserInteraction {
        std::vector<bool> Previews;
        TFileDialogResult OpenFileDialog(const TFileDialogRequest& request) override {
            Previews.push_back(request.PicturePreview);
            return {};
        }
    };
    TRecorded recorded;
    SetUserInteraction(&recorded);
    TOpenPictureDialog pictures;
    TOpenDialog files;
    pictures.Execute();
    files.Execute();
    SetUserInteraction(&UnattendedUserInteraction());
    EXPECT_EQ(recorded.Previews, (std::vector<bool>{true, false}));
}

// The preview takes no room from the file list: the dialog grows by it.
TEST(PicturePreview, TheFileListKeepsItsWidthBesideThePreview) {
    TTempFolder folder;
    TFileDialogRequest request;
    request.InitialDir = folder.Path();
    request.Filter = TPicture::GraphicFilter();
    int plain = 0, previewed = 0, previewWidth = 0;
    whileShown(request, [&](TFileDialogWindow& dialog) { plain = fileListWidth(dialog); });
    request.PicturePreview = true;
    whileShown(request, [&](TFileDialogWindow& dialog) {
        previewed = fileListWidth(dialog);
        if (auto* preview = dialog.findChild<QFrame*>("picturePreview"))
            previewWidth = preview->width();
    });
    ASSERT_GT(plain, 0);
    EXPECT_GT(previewWidth, 0);
    EXPECT_GE(previewed, plain);
}

} // namespace
