// A long unbroken line scrolled far to the right is painted, and its
// positions turned into pixels and back, from the marks along it: the
// answers must be exactly those a memo without marks gives (pixels, caret
// positions, offsets under the pointer), and what a scrolled window shows
// must be the same stretch of what a window wide enough to show the line
// from its start paints.  Bytes have widths of their own here, and the line
// holds tabs, style codes, highlighted and opaque stretches, a zigzag,
// UTF-8 and stray bytes.

#include "MemoWindow.h"

#include "editor/highlight/HtmlHighlighter.h"
#include "editor/model/CodeNavigator.h"

#include <random>

namespace {

// Widths that differ from byte to byte; the fake measurer draws a
// monospace face at these advances.  One byte the texts never hold is very
// wide: painting cuts runs into chunks of a few bytes then, whose
// boundaries show where glyphs overlap an opaque background.
void SetVariedAdvances(TFakeTextMeasurer& measurer, bool on) {
    for (int byte = 33; byte < 256; ++byte)
        measurer.SetAdvance(static_cast<unsigned char>(byte), on ? 3 + (byte * 7) % 9 : -1);
    measurer.SetAdvance(0xFE, on ? 1600 : -1);
}

TFakeTextMeasurer& Measurer() { return static_cast<TFakeTextMeasurer&>(DefaultTextMeasurer()); }

std::string LongLine(std::mt19937& random, size_t length, int runWords) {
    static const char* const pieces[] = {
        "<a href=\"page.html\">", "link</a> ", "<!-- a note -->", " text ", "&amp;", "\t", "<b class=x>",
        "\xC3\xA9t\xC3\xA9 ", "\xE4\xB8\xAD\xE6\x96\x87 ", "\x80\xC3 ", "\x02" "bold\x02 ", "\x01it\x01 ",
        "\x03lit\x03 ", "\x04" "alt\x04 ", "wwwwwwwwwwwwwwwwwwwwwwwwwwwwwwww", "<script>var x = 1;</script>"};
    std::string line;
    while (line.size() < length) {
        // Now and then a long run of one look on an opaque background, cut
        // into chunks that overlap where their glyphs do.
        if (random() % 20 == 0) {
            line += "\x03";
            for (int word = 0; word < runWords; ++word)
                line += "mwmwm ";
            line += "\x03";
        }
        line += pieces[random() % 16];
    }
    return line;
}

class MemoLongLine : public ::testing::Test {
protected:
    void SetUp() override { SetVariedAdvances(Measurer(), true); }
    void TearDown() override {
        for (auto& memo : memos)
            memo->SetHighlighter(nullptr);
        memos.clear();
        SetVariedAdvances(Measurer(), false);
    }

    // A shown memo, unwrapped, with the HTML highlighter; marks every
    // spacing bytes (0: none).
    TCodeMemo& Make(int width, int32_t spacing, const std::string& text, bool utf8) {
        auto memo = std::make_unique<TCodeMemo>();
        memo->SetBorderStyle(bsNone);
        memo->SetScrollBars(ssNone);
        memo->SetUpdateMode(umImmediate);
        memo->SetWordWrap(false);
        memo->SetTabStops(3);
        memo->SetHighlightBackgnd(clYellow);
        memo->SetEncoding(utf8 ? teUtf8 : teAnsi);
        memo->Document().Layout().SetLineMarkSpacing(spacing);
        memo->SetHighlighter(&html);
        memo->SetBounds(0, 0, width, 3 * kLineHeight);
        memo->Show();
        LoadText(*memo, text);
        memo->FormatPending();
        // A zigzag (strike-out with highlight) over a stretch of the line.
        TCodeNavigator from(memo.get());
        TCodeNavigator to(memo.get());
        from.SetPos(static_cast<int32_t>(text.size() / 3));
        to.SetPos(static_cast<int32_t>(text.size() / 3 + 5000));
        TContextState zigzag;
        zigzag.Flags = static_cast<uint8_t>(TContextState::kStyled | kStyleStrikeOut | kStyleHighlight);
        zigzag.Depth = -1;
        zigzag.Foreground = clBlue;
        zigzag.Background = -1;
        memo->Document().ApplyContext(from, to, false, true, zigzag);
        for (int32_t i = 0; i < memo->ParagraphCount(); ++i)
            memo->Document().Layout().FormatParagraphIfNeeded(i);
        memo->Perform(WM_KILLFOCUS);
        memos.push_back(std::move(memo));
        return *memos.back();
    }

    THtmlHighlighter html;
    std::vector<std::unique_ptr<TCodeMemo>> memos;
};

} // namespace

TEST_F(MemoLongLine, MarksGiveThePixelsAndOffsetsOfAWalkFromTheLineStart) {
    for (const bool utf8 : {false, true}) {
        std::mt19937 random(utf8 ? 11 : 12);
        const std::string text = "<html>\r\n" + LongLine(random, 60000, 1200) + "\r\nshort";
        TCodeMemo& marked = Make(400, 64, text, utf8);
        TCodeMemo& plain = Make(400, 0, text, utf8);
        ASSERT_NE(marked.Document().Layout().LineMarksOf(*marked.Paragraph(1)), nullptr);
        ASSERT_EQ(plain.Document().Layout().LineMarksOf(*plain.Paragraph(1)), nullptr);
        const int32_t length = marked.Paragraph(1)->Length();
        const int32_t width = marked.Paragraph(1)->Line(0).FullWidth;
        for (int step = 0; step < 60; ++step) {
            // Somewhere along the line, often far beyond where a zigzag is
            // cut off and where painting stops drawing.
            const int32_t left = static_cast<int32_t>(random() % static_cast<uint32_t>(width));
            for (TCodeMemo* memo : {&marked, &plain})
                memo->SetLeftPixel(left);
            // A selection somewhere, or one that ends (or starts) in the
            // stretch left of the window, inside a long run maybe.
            int32_t start = marked.ParagraphStart(1) + static_cast<int32_t>(random() % static_cast<uint32_t>(length));
            if (step % 3 != 0)
                start = std::max(marked.ParagraphStart(1), marked.ParagraphStart(1) + plain.XToOffset(plain.Paragraph(1), 1, false, 0, 0) -
                                                               static_cast<int32_t>(random() % 9000));
            const int32_t selected = static_cast<int32_t>(random() % 12000) - 4000;
            for (TCodeMemo* memo : {&marked, &plain}) {
                TCodeMemoOptions options = memo->Options();
                memo->SetOptions(step % 2 ? options.Include(pmoWindowsSelColors) : options.Exclude(pmoWindowsSelColors));
                memo->SetHideSelection(false);
                memo->SetSelStart(start);
                memo->SetSelLength(selected);
                memo->SetLeftPixel(left);
            }
            const QImage shown = PaintedImage(marked, marked.ClientWidth(), marked.ClientHeight());
            ASSERT_TRUE(shown == PaintedImage(plain, plain.ClientWidth(), plain.ClientHeight()))
                << (utf8 ? "UTF-8" : "8-bit") << " step " << step << " left pixel " << left;
            for (int probe = 0; probe < 30; ++probe) {
                const int32_t offset = static_cast<int32_t>(random() % static_cast<uint32_t>(length + 1));
                ASSERT_EQ(marked.OffsetToX(marked.Paragraph(1), 1, 0, offset), plain.OffsetToX(plain.Paragraph(1), 1, 0, offset))
                    << "offset " << offset;
                const int32_t x = static_cast<int32_t>(random() % 1200) - 400;
                for (bool exact : {false, true})
                    ASSERT_EQ(marked.XToOffset(marked.Paragraph(1), 1, exact, x, 0),
                              plain.XToOffset(plain.Paragraph(1), 1, exact, x, 0))
                        << "x " << x << " left pixel " << left;
            }
        }
        // Typing far along the line keeps the marks true.
        for (int key = 0; key < 30; ++key) {
            const int32_t at = marked.ParagraphStart(1) + static_cast<int32_t>(random() % static_cast<uint32_t>(length));
            const char* const typed[] = {"x", "\t", "<", "\"", "\xC3\xA9", "\x02", ""};
            const std::string piece = typed[random() % 7];
            for (TCodeMemo* memo : {&marked, &plain}) {
                memo->SetSelStart(at);
                memo->SetSelLength(piece.empty() ? 3 : 0);
                memo->SetSelText(piece);
                memo->ScrollInView();
            }
            ASSERT_EQ(marked.CaretX(), plain.CaretX()) << "key " << key;
            ASSERT_TRUE(PaintedImage(marked, marked.ClientWidth(), marked.ClientHeight()) ==
                        PaintedImage(plain, plain.ClientWidth(), plain.ClientHeight()))
                << (utf8 ? "UTF-8" : "8-bit") << " key " << key;
        }
    }
}

TEST_F(MemoLongLine, AScrolledWindowShowsWhatAWideOnePaintsThere) {
    for (const bool utf8 : {false, true}) {
        std::mt19937 random(utf8 ? 21 : 22);
        const std::string text = LongLine(random, 3000, 40);
        constexpr int kWide = 30000;
        constexpr int kNarrow = 300;
        TCodeMemo& wide = Make(kWide, 64, text, utf8);
        TCodeMemo& narrow = Make(kNarrow, 64, text, utf8);
        const QImage whole = PaintedImage(wide, wide.ClientWidth(), wide.ClientHeight());
        const int32_t width = wide.Paragraph(0)->Line(0).FullWidth;
        ASSERT_LT(width, kWide - kNarrow);
        for (int step = 0; step < 25; ++step) {
            const int32_t left = 8 + static_cast<int32_t>(random() % static_cast<uint32_t>(width - 8));
            narrow.SetLeftPixel(left);
            const QImage shown = PaintedImage(narrow, narrow.ClientWidth(), narrow.ClientHeight());
            // The right edge aside: a glyph that starts beyond it may reach
            // back over it in the wide window.
            const QRect part(0, 0, kNarrow - 24, kLineHeight);
            ASSERT_TRUE(shown.copy(part) == whole.copy(part.translated(left, 0)))
                << (utf8 ? "UTF-8" : "8-bit") << " left pixel " << left;
        }
    }
}
