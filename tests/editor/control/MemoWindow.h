#pragma once
// A memo in a real (offscreen) window, measured by the platform's fake
// fixed-pitch measurer, for the tests of the memo control: keys and mouse
// through QTest, pixels from grabbed images.  Every expected pixel and
// offset is derived from the measurer's numbers, never from a font.

#include "editor/CodeMemo.h"
#include "tests/editor/MemoTestSupport.h"

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/TextMeasurer.h"
#include "platform/ui/PopupMenu.h"
#include "tests/support/ScriptedUserInteraction.h"
#include "platform/widgets/WidgetPeer.h"
#include "tests/platform/widgets/WidgetTestApp.h"
#include "tests/support/FakeTextMeasurer.h"
#include "platform/gfx/QtBridge.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include <memory>
#include <string>

// The fake measurer's numbers: every character 8 pixels wide, cells 16
// high with an ascent of 13, so the automatic line height is 17.
constexpr int kCharWidth = 8;
constexpr int kCellHeight = 16;
constexpr int kAscent = 13;
constexpr int kLineHeight = kCellHeight + 1;

// The fake measurer for every memo of the program; the application and the
// widget peers come from WidgetTestApp.h.
class TMemoControlEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static TFakeTextMeasurer measurer(kCharWidth, kCellHeight, kAscent);
        SetDefaultTextMeasurer(&measurer);
    }
};

inline ::testing::Environment* const kMemoControlEnvironment =
    ::testing::AddGlobalTestEnvironment(new TMemoControlEnvironment);

// What a control paints (a WM_PAINT with a canvas) on a width x height
// bitmap filled with background first, so that pixels it leaves alone show.
inline QImage PaintedImage(TControl& control, int width, int height, TColor background = clWhite) {
    TBitmap bitmap(width, height);
    bitmap.SetPixelFormat(pf32bit);
    bitmap.Canvas().FillRect(Rect(0, 0, width, height), background);
    control.Perform(WM_PAINT, reinterpret_cast<WPARAM>(&bitmap.Canvas()));
    bitmap.Canvas().Release();
    return BitmapImage(bitmap).convertToFormat(QImage::Format_RGB32);
}

// How many pixels of a rectangle of an image are reddish: much red, little
// green and blue beyond the limits given.  Glyphs are drawn with
// anti-aliasing, so a coloured glyph's pixels are those its colour dominates.
inline int CountReddish(const QImage& image, const QRect& rect, int minimumRed = 129, int maximumGreen = 63,
                        int maximumBlue = 255) {
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QColor c(image.pixel(x, y));
            if (c.red() >= minimumRed && c.green() <= maximumGreen && c.blue() <= maximumBlue)
                ++count;
        }
    return count;
}

// A white bitmap to draw lines on as on a printer's canvas, measuring text
// with its own measurer when given one.
struct TOutputTarget {
    explicit TOutputTarget(int width, int height, TTextMeasurer* measurer = nullptr) : Bitmap(width, height) {
        Bitmap.SetPixelFormat(pf32bit);
        if (measurer != nullptr)
            Bitmap.Canvas().SetMeasurer(measurer);
        Bitmap.Canvas().FillRect(Rect(0, 0, width, height), clWhite);
    }
    QImage Image() {
        Bitmap.Canvas().Release();
        return BitmapImage(Bitmap).convertToFormat(QImage::Format_RGB32);
    }
    TBitmap Bitmap;
};

// A shown memo without border and scroll bars, so that its client area is
// exactly its bounds.
class MemoWindow : public ::testing::Test {
public:
    static constexpr int kWidth = 400;
    static constexpr int kHeight = 10 * kLineHeight;

protected:
    void SetUp() override { Make(); }
    void TearDown() override { memo.reset(); }

    void Make(TScrollStyle bars = ssNone, TBorderStyle border = bsNone, int width = kWidth,
              int height = kHeight) {
        memo = std::make_unique<TCodeMemo>();
        memo->SetBorderStyle(border);
        memo->SetScrollBars(bars);
        memo->SetUpdateMode(umImmediate);
        memo->SetBounds(0, 0, width, height);
        memo->Show();
        ASSERT_TRUE(memo->HandleAllocated());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Widget()));
        memo->SetFocus();
        QApplication::processEvents();
    }

    TPeerWidget* Widget() const { return static_cast<TWidgetPeer*>(memo->Peer())->Widget(); }
    QWidget* Client() const { return Widget()->viewport(); }

    void Load(std::string_view text) {
        LoadText(*memo, text);
        memo->FormatPending();
        QApplication::processEvents();
    }

    // Paints the whole client area into an image.
    QImage Paint() { return PaintedImage(*memo, memo->ClientWidth(), memo->ClientHeight()); }

    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(Widget(), key, modifiers);
    }
    void Type(const QString& text) { QTest::keyClicks(Widget(), text); }
    void Click(QPoint at, Qt::KeyboardModifiers modifiers = Qt::NoModifier, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(Client(), button, modifiers, at);
    }

    // The client point in the middle of the character at column of a
    // display line (left-aligned, unscrolled text of one pitch).
    static QPoint CharPoint(int column, int line) {
        return QPoint(8 + column * kCharWidth + kCharWidth / 2, line * kLineHeight + kLineHeight / 2);
    }

    std::unique_ptr<TCodeMemo> memo;
};
