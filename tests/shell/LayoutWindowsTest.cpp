// The layout controls in real offscreen windows: a group's frame is its
// window's border, children sit inside it and move when the style changes;
// a disabled group box embosses its caption; the splitter's hatched bar
// shows while dragging and its panes move on release.

#include "platform/widgets/WidgetPeer.h"
#include "shell/PTSplitter.h"
#include "tests/platform/widgets/WidgetTestApp.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

namespace {

TPeerWidget* widgetOf(TWinControl& control) { return static_cast<TWidgetPeer*>(control.Peer())->Widget(); }

QImage shotOf(TWinControl& control) {
    QApplication::processEvents();
    return widgetOf(control)->grab().toImage();
}

QColor qt(TColor color) {
    TColor rgb = ColorToRGB(color);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

struct TRedBox : TCustomControl {
    void Paint() override { Canvas().FillRect(ClientRect(), clRed); }
};

template <class Test> int countPixels(const QImage& image, const QRect& area, Test test) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += test(image.pixelColor(x, y));
    return count;
}
int countColour(const QImage& image, const QRect& area, const QColor& colour) {
    return countPixels(image, area, [&](const QColor& c) { return c == colour; });
}
// Text is smoothed: its pixels are told by their lightness.
bool dark(const QColor& c) { return c.lightness() < 64; }
bool light(const QColor& c) { return c.lightness() > 240; }
bool shaded(const QColor& c) { return c.lightness() >= 100 && c.lightness() < 150; }

} // namespace

TEST(LayoutWindowsTest, AGroupsFrameIsItsBorderAndItsChildrenSitInside) {
    TPTGroup group;
    group.SetBounds(20, 20, 160, 100);
    group.SetColor(clBtnFace);
    group.SetCaption("Files");
    auto* box = new TRedBox;
    box->SetBounds(0, 0, 30, 20);
    box->SetParent(&group);
    group.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(widgetOf(group)));

    TCanvas measuring;
    measuring.SetFont(group.Font());
    int captionHeight = measuring.TextHeight("0");
    EXPECT_EQ(group.ClientWidth(), 160 - 4);
    EXPECT_EQ(group.ClientHeight(), 100 - captionHeight - 2);
    QImage image = shotOf(group);
    // The child's origin is the client area's, inside the frame.
    EXPECT_EQ(image.pixelColor(2, captionHeight), QColor(Qt::red));
    EXPECT_NE(image.pixelColor(1, captionHeight), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(2 + 29, captionHeight + 19), QColor(Qt::red));
    // The etched frame at the bottom, and dark caption text in the top edge.
    EXPECT_EQ(image.pixelColor(5, 98), qt(clBtnShadow));
    EXPECT_EQ(image.pixelColor(5, 99), qt(clBtnHighlight));
    QRect captionArea(8, 0, measuring.TextWidth("Files"), captionHeight);
    EXPECT_GT(countPixels(image, captionArea, dark), 10);
    EXPECT_EQ(countPixels(image, captionArea, light), 0);

    // Disabled: the caption is embossed, light under shadow, nothing dark.
    group.SetEnabled(false);
    image = shotOf(group);
    EXPECT_EQ(countPixels(image, captionArea, dark), 0);
    EXPECT_GT(countPixels(image, captionArea, shaded), 10);
    EXPECT_GT(countPixels(image, captionArea.adjusted(0, 0, 1, 1), light), 10);
    EXPECT_FALSE(box->Enabled()) << "children follow the group";

    // Another style: the client area grows, the child moves with it.
    group.SetFrameStyle(ptfsLowered);
    EXPECT_EQ(group.ClientWidth(), 156);
    EXPECT_EQ(group.ClientHeight(), 96);
    image = shotOf(group);
    EXPECT_EQ(image.pixelColor(2, 2), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(0, 0), qt(clBtnShadow));
    EXPECT_EQ(image.pixelColor(159, 99), qt(clBtnHighlight));
    group.SetFrameStyle(ptfsNone);
    EXPECT_EQ(shotOf(group).pixelColor(0, 0), QColor(Qt::red));
}

TEST(LayoutWindowsTest, TheHatchedBarShowsWhileDraggingAndThePanesFollowOnRelease) {
    TComponent owner;
    auto* splitter = new TPTSplitter(&owner);
    splitter->SetBounds(10, 10, 300, 200);
    splitter->FullDragMode = ptfdOff;
    splitter->SetSplitterWidth(4);
    TPTPane* panes[2];
    for (int i = 0; i < 2; ++i) {
        panes[i] = new TPTPane(&owner);
        panes[i]->Index = i;
        panes[i]->SetParent(splitter);
        panes[i]->SetColor(clWhite);
    }
    splitter->Loaded();
    splitter->SetPosition(100);
    splitter->Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(widgetOf(*splitter)));

    auto mouse = [&](unsigned msg, int x) {
        splitter->Perform(msg, msg == WM_LBUTTONUP ? 0u : unsigned{MK_LBUTTON}, PointToLParam({x, 100}));
    };
    mouse(WM_LBUTTONDOWN, 101);
    mouse(WM_MOUSEMOVE, 181);
    QImage image = shotOf(*splitter);
    // A checkerboard four pixels wide at 180, over the untouched first pane.
    int black = countColour(image, QRect(180, 20, 4, 100), QColor(Qt::black));
    int white = countColour(image, QRect(180, 20, 4, 100), QColor(Qt::white));
    EXPECT_EQ(black, 200);
    EXPECT_EQ(white, 200);
    EXPECT_EQ(image.pixelColor(180, 20) == QColor(Qt::black), image.pixelColor(181, 21) == QColor(Qt::black));
    EXPECT_NE(image.pixelColor(180, 20), image.pixelColor(181, 20));
    EXPECT_EQ(panes[0]->Width(), 100);

    mouse(WM_LBUTTONUP, 181);
    EXPECT_EQ(panes[0]->Width(), 180);
    image = shotOf(*splitter);
    EXPECT_EQ(countColour(image, QRect(180, 20, 4, 100), QColor(Qt::black)), 0) << "the bar is gone";
    EXPECT_EQ(image.pixelColor(150, 100), QColor(Qt::white)) << "the first pane now reaches here";
}
