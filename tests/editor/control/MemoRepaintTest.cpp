// What the window shows after each step of a random sequence must be what
// a fresh paint of the whole memo draws, so that no change leaves stale
// pixels behind: edits, selections, keys, scrolls, wrapping and undo in a
// page of short lines; keys in a long highlighted line, wrapped and not,
// in both encodings; colours put in force from outside.  And a tiled
// background picture keeps its place when the text scrolls sideways.  The
// window's pixels are read back from the offscreen screen, not
// re-rendered.

#include "MemoWindow.h"
#include "editor/highlight/HtmlHighlighter.h"
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
    TRasterImage picture;
    SetBitmapImage(picture.Bitmap(), tile);
    memo->BackgroundBmp().Assign(&picture);
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

// Keys in a long highlighted line repaint only the lines whose text or
// colours changed: the window must still show what a fresh paint draws,
// wrapped (the paragraph broken into many display lines) and not (one
// line scrolled sideways), in both encodings.
TEST_F(MemoRepaint, KeysInALongHighlightedLineShowWhatAFreshPaintDraws) {
    std::mt19937 random(7);
    THtmlHighlighter html;
    memo->SetHighlighter(&html);
    memo->SetHideSelection(false);
    std::string line;
    while (line.size() < 6000) {
        const char* const pieces[] = {"<a href=\"page.html\">", "link</a> ", "<!-- note --> ", "text ", "&amp; ",
                                      "<b>bold</b> ", "\t", "\xC3\xA9t\xC3\xA9 ", "<p class=x>"};
        line += pieces[random() % 9];
    }
    Load("<html>\r\n" + line + "\r\n<p>after</p>\r\n" + line.substr(0, 900));
    // No caret to compare.
    memo->Perform(WM_KILLFOCUS);
    const Qt::Key keys[] = {Qt::Key_X, Qt::Key_Less, Qt::Key_Greater, Qt::Key_QuoteDbl, Qt::Key_Space,
                            Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Left, Qt::Key_Right, Qt::Key_End,
                            Qt::Key_Home, Qt::Key_Minus, Qt::Key_Exclam};
    for (int step = 0; step < 160; ++step) {
        std::string what = "key";
        switch (random() % 12) {
        case 0:
            memo->SetWordWrap(!memo->WordWrap());
            what = "wrap";
            break;
        case 1:
            memo->SetEncoding(memo->Encoding() == teUtf8 ? teAnsi : teUtf8);
            what = "encoding";
            break;
        case 2: {
            // Somewhere in the long line, the view following the caret.
            const int32_t start = memo->ParagraphStart(1);
            memo->SetSelStart(start + static_cast<int32_t>(random() % memo->Paragraph(1)->Length()));
            memo->ScrollInView();
            what = "caret";
            break;
        }
        case 3:
            memo->SetSelLength(static_cast<int32_t>(random() % 40) - 20);
            what = "select";
            break;
        default:
            Key(keys[random() % 13], random() % 5 == 0 ? Qt::ShiftModifier : Qt::NoModifier);
            break;
        }
        QImage shown = Shown();
        QImage fresh = Paint();
        ASSERT_EQ(shown.size(), fresh.size());
        ASSERT_TRUE(shown == fresh) << "step " << step << ": " << what;
    }
    memo->SetHighlighter(nullptr);
}

// Colours put in force from outside (not by parsing) change no line break
// of the lines before the paragraph's last: their lines are repainted all
// the same, inside an update or not.
TEST_F(MemoRepaint, ContextsPutInForceFromOutsideShowWhereverTheyLie) {
    std::mt19937 random(3);
    std::string text;
    for (int i = 0; i < 3; ++i) {
        for (int word = 0; word < 60; ++word)
            text += "word" + std::to_string(word) + " ";
        text += "\r\n";
    }
    Load(text);
    memo->Perform(WM_KILLFOCUS);
    TCodeNavigator first(memo.get());
    TCodeNavigator second(memo.get());
    for (int step = 0; step < 40; ++step) {
        const int32_t from = static_cast<int32_t>(random() % static_cast<uint32_t>(memo->TextLength()));
        first.SetPos(from);
        second.SetPos(std::min(memo->TextLength(), from + static_cast<int32_t>(random() % 30)));
        TContextState look;
        look.Flags = static_cast<uint8_t>(TContextState::kStyled | (random() % 2 ? kStyleBold : 0));
        look.Depth = -1;
        look.Foreground = static_cast<int32_t>(random() % 2 ? clRed : clBlue);
        look.Background = -1;
        const bool update = random() % 2 != 0;
        if (update)
            memo->BeginUpdate();
        memo->Document().ApplyContext(first, second, random() % 2 != 0, true, look);
        if (update)
            memo->EndUpdate();
        QImage shown = Shown();
        QImage fresh = Paint();
        ASSERT_EQ(shown.size(), fresh.size());
        ASSERT_TRUE(shown == fresh) << "step " << step << (update ? " in an update" : "");
    }
}
