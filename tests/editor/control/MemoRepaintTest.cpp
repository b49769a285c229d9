// What the window shows after each step of a random sequence of edits,
// selections, keys, scrolls, wrapping and undo must be what a fresh paint
// of the whole memo draws, so that no change leaves stale pixels behind;
// and a tiled background picture keeps its place when the text scrolls
// sideways.  The window's pixels are read back from the offscreen screen,
// not re-rendered.

#include "MemoWindow.h"
#include "platform/gfx/QtBridge.h"

#include <QScreen>

#include <random>

class MemoRepaint : public MemoWindow {
protected:
    QImage Shown() {
        QApplication::processEvents();
        return QGuiApplication::primaryScreen()->grabWindow(Widget()->window()->winId()).toImage().convertToFormat(
            QImage::Format_RGB32);
    }
};

TEST_F(MemoRepaint, TheWindowShowsWhatAFreshPaintDraws) {
    std::mt19937 random(99);
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "line " + std::to_string(i) + (i % 3 == 0 ? " with \x02" "bold\x02 words and more words to wrap" : "") +
                "\r\n";
    Load(text);
    // No caret to compare: the selection shows without the focus.
    memo->SetHideSelection(false);
    memo->Perform(WM_KILLFOCUS);
    const char* const inserts[] = {"x", "word ", "\r\n", "\t", "long long long long long long long long line"};
    for (int step = 0; step < 150; ++step) {
        const int32_t length = memo->TextLength();
        std::string what;
        switch (random() % 9) {
        case 0:
        case 1:
            memo->SetSelStart(static_cast<int32_t>(random() % (length + 1)));
            memo->SetSelLength(static_cast<int32_t>(random() % 60) - 30);
            what = "select";
            break;
        case 2:
            memo->SetSelText(inserts[random() % 5]);
            what = "insert";
            break;
        case 3:
            memo->SetSelLength(static_cast<int32_t>(random() % 20) - 10);
            memo->ClearSelection();
            what = "delete";
            break;
        case 4:
            memo->SetTopLine(static_cast<int32_t>(random() % std::max(memo->LineCount(), 1)));
            what = "scroll";
            break;
        case 5:
            memo->Perform(WM_VSCROLL, random() % 2 ? SB_LINEDOWN : SB_LINEUP);
            what = "line scroll";
            break;
        case 6: {
            const Qt::Key keys[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_End};
            Key(keys[random() % 5], random() % 2 ? Qt::ShiftModifier : Qt::NoModifier);
            what = "key";
            break;
        }
        case 7:
            Key(random() % 2 ? Qt::Key_Backspace : Qt::Key_Return);
            what = "edit key";
            break;
        default:
            if (random() % 4 == 0) {
                memo->SetWordWrap(!memo->WordWrap());
                what = "wrap";
            } else {
                memo->Undo();
                what = "undo";
            }
            break;
        }
        QImage shown = Shown();
        QImage fresh = Paint();
        ASSERT_EQ(shown.size(), fresh.size());
        ASSERT_TRUE(shown == fresh) << "step " << step << ": " << what;
    }
}

TEST_F(MemoRepaint, TheBackgroundPictureKeepsItsPlaceWhenTheTextScrollsSideways) {
    // A tile whose every pixel differs from its neighbours, so that any
    // shift of it shows.
    QImage tile(5, 3, QImage::Format_RGB32);
    for (int y = 0; y < tile.height(); ++y)
        for (int x = 0; x < tile.width(); ++x)
            tile.setPixel(x, y, qRgb(40 * x, 60 + 50 * y, 200 - 30 * x));
    SetBitmapImage(memo->BackgroundBmp(), tile);
    memo->SetWordWrap(false);
    Load(std::string(120, 'w') + "\r\nshort");
    memo->Perform(WM_KILLFOCUS);
    for (int step : {3, 7, 1, 11, -6}) {
        memo->SetLeftPixel(memo->LeftPixel() + step);
        QImage shown = Shown();
        QImage fresh = Paint();
        ASSERT_EQ(shown.size(), fresh.size());
        ASSERT_TRUE(shown == fresh) << "after scrolling to " << memo->LeftPixel();
    }
}
