// The shell tree and list follow the image lists they show: pictures
// replaced in a list appear with no other change of the view, and pictures
// of a new size measure the rows again.  What the windows show is read
// back from the offscreen screen (what was painted), not painted afresh,
// after random changes of picture colour and size.

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/ImageList.h"
#include "platform/widgets/NativePeer.h"
#include "shell/ShellList.h"
#include "shell/ShellTree.h"
#include "tests/platform/widgets/WidgetTestApp.h"
#include "tests/shell/ShellTestSupport.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QScreen>

namespace {

QAbstractItemView* viewOf(TWinControl& control) {
    auto* widget = static_cast<QWidget*>(control.Peer()->NativeWidget());
    if (auto* view = qobject_cast<QAbstractItemView*>(widget))
        return view;
    return widget->findChild<QAbstractItemView*>();
}

// The view's rows as the screen shows them now.
QImage onScreen(QAbstractItemView* view) {
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
    QWidget* viewport = view->viewport();
    QImage screen = QGuiApplication::primaryScreen()->grabWindow(view->window()->winId()).toImage();
    QRect area(viewport->mapTo(view->window(), QPoint(0, 0)), viewport->size());
    return screen.copy(area).convertToFormat(QImage::Format_RGB32);
}

int pixelsOf(const QImage& image, QRgb colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
    return count;
}

// Fills a list with enough solid pictures of one colour for every index
// the views may ask for.
void paintImages(TImageList& images, int size, QRgb colour) {
    constexpr int kImages = 256;
    if (images.Width() != size)
        images.SetSize(size, size);
    else
        images.Clear();
    TBitmap strip(size * kImages, size);
    strip.Canvas().FillRect(Rect(0, 0, size * kImages, size), RGB(qRed(colour), qGreen(colour), qBlue(colour)));
    images.Add(strip, nullptr);
}

// Colours that no style paints with.
const QRgb kColours[] = {qRgb(0xE0, 0x10, 0x10), qRgb(0x10, 0xC0, 0x10), qRgb(0xF0, 0x90, 0x00),
                         qRgb(0xC0, 0x00, 0xC0), qRgb(0x00, 0xA0, 0xA0), qRgb(0xA0, 0xA0, 0x00)};

// A shell list of a folder in a window of its own.
TPTShellList* shownList(TComponent& owner, const std::string& folder, TViewStyle style) {
    auto* list = new TPTShellList(&owner);
    list->SetBounds(0, 0, 420, 320);
    list->SetViewStyle(style);
    list->Folder().SetPath(folder);
    list->Show();
    return list;
}

} // namespace

TEST(ViewImagesTest, TreeAndListRepaintAndMeasureRowsAgainWhenTheirImagesChange) {
    TShellTestHome home;
    for (const char* name : {"alpha", "beta", "gamma"})
        std::filesystem::create_directories(JoinPath(home.Files, name));
    for (const char* name : {"a.htm", "b.css", "c.txt"})
        WriteFile(JoinPath(home.Files, name), name);

    TComponent owner;
    TImageList treeImages(16, 16), smallImages(16, 16), largeImages(32, 32);
    auto* tree = new TPTShellTree(&owner);
    tree->SetBounds(0, 0, 240, 320);
    tree->BaseFolder().SetPath(home.Files);
    tree->Show();
    tree->Fill();
    tree->SetImages(&treeImages);
    TPTShellList* report = shownList(owner, home.Files, vsReport);
    report->SetSmallImages(&smallImages);
    TPTShellList* icons = shownList(owner, home.Files, vsIcon);
    icons->SetLargeImages(&largeImages);
    icons->SetSmallImages(&smallImages);
    QApplication::processEvents();
    ASSERT_EQ(report->Model().Count(), 6);
    ASSERT_GE(tree->Items().Count(), 4);

    struct TWatched {
        const char* Name;
        TWinControl* Control;
        int Rows; // rows or icons with a picture on screen
        TImageList* Images;
    };
    const TWatched watched[] = {
        {"tree", tree, 4, &treeImages}, {"report", report, 6, &smallImages}, {"icons", icons, 6, &largeImages}};
    std::mt19937 random(515);
    QRgb before[3] = {0, 0, 0};
    for (int round = 0; round < 12; ++round) {
        for (int i = 0; i < 3; ++i) {
            const TWatched& one = watched[i];
            QAbstractItemView* view = viewOf(*one.Control);
            ASSERT_NE(view, nullptr);
            QRgb colour = kColours[random() % std::size(kColours)];
            while (colour == before[i])
                colour = kColours[random() % std::size(kColours)];
            bool resize = round > 0 && random() % 2 == 0;
            int size = one.Images->Width();
            if (resize) {
                int other = size;
                while (other == size)
                    other = 8 + static_cast<int>(random() % 5) * 8; // 8 .. 40
                size = other;
            }
            paintImages(*one.Images, size, colour);
            QImage shot = onScreen(view);
            std::string what = std::string(one.Name) + " round " + std::to_string(round) + " size " +
                               std::to_string(size);
            // Every picture shown is the new one, none the old one.
            EXPECT_GE(pixelsOf(shot, colour), one.Rows * size * size * 3 / 4) << what;
            if (before[i] != 0) {
                EXPECT_EQ(pixelsOf(shot, before[i]), 0) << what;
            }
            before[i] = colour;
            // The rows have room for pictures of the new size, and no more
            // than a picture and its text need.
            QRect first = view->visualRect(view->model()->index(0, 0));
            EXPECT_GE(first.height(), size) << what;
            EXPECT_LE(first.height(), size + 40) << what;
        }
    }
}

TEST(ViewImagesTest, AViewLetsGoOfAListThatIsFreedOrReplaced) {
    TShellTestHome home;
    for (const char* name : {"a.htm", "b.htm", "c.htm"})
        WriteFile(JoinPath(home.Files, name), name);
    TComponent owner;
    TPTShellList* list = shownList(owner, home.Files, vsReport);
    auto* images = new TImageList(16, 16);
    list->SetSmallImages(images);
    list->SetLargeImages(images);
    EXPECT_EQ(images->LinkCount(), 2) << "each slot follows the list";
    list->SetLargeImages(nullptr);
    EXPECT_EQ(images->LinkCount(), 1);
    paintImages(*images, 16, kColours[0]);
    QAbstractItemView* view = viewOf(*list);
    // The focused row's picture may show in the selection's tint.
    EXPECT_GE(pixelsOf(onScreen(view), kColours[0]), 2 * 16 * 16);
    delete images;
    EXPECT_EQ(list->SmallImages(), nullptr);
    EXPECT_EQ(pixelsOf(onScreen(view), kColours[0]), 0) << "the freed pictures are gone from the screen";

    TImageList first(16, 16), second(16, 16);
    auto* tree = new TPTShellTree(&owner);
    tree->SetImages(&first);
    tree->SetImages(&second);
    EXPECT_EQ(first.LinkCount(), 0);
    EXPECT_EQ(second.LinkCount(), 1);
    delete tree;
    EXPECT_EQ(second.LinkCount(), 0) << "a freed view leaves no link behind";
}
