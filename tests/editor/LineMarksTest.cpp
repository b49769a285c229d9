// Marks along long unbroken lines: a document that keeps them must lay
// every line out exactly as one that keeps none, and the marks it moves
// after each edit must be the marks a walk of the whole line places.
// Random edits over tabs, style codes, blanks, highlighted stretches and
// UTF-8 (valid, cut and stray bytes), in both encodings.

#include "editor/model/CodeDocument.h"
#include "editor/model/CodeNavigator.h"
#include "editor/model/LineMarks.h"
#include "editor/model/TextSelection.h"
#include "DocumentTestSupport.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

namespace {

// A measure in which bytes, styles and characters beyond the code page all
// have advances of their own, so that a pixel counted in the wrong font or
// from the wrong place shows.
class TVariedMeasure : public TCodeMeasure {
public:
    TVariedMeasure() {
        for (int style = 0; style < 32; ++style)
            for (int byte = 0; byte < 256; ++byte)
                tables_[style][byte] = 1 + (byte * 7 + style * 5) % 13;
    }
    const int32_t* AdvanceTable(uint8_t style) const override { return tables_[style & 31].data(); }
    int32_t CharacterAdvance(uint8_t style, char32_t codePoint) const override {
        return 4 + static_cast<int32_t>((codePoint + style) % 11);
    }

private:
    std::array<std::array<int32_t, 256>, 32> tables_{};
};

std::string Describe(const TLineRecord& line) {
    std::ostringstream out;
    out << "[" << line.Start << "," << line.Stop << ") text " << line.TextWidth << " full " << line.FullWidth
        << " stretch " << line.StretchSpaces << "@" << line.StretchStart << " style " << int(line.Style);
    return out.str();
}

std::string Describe(const TLineMark& mark) {
    std::ostringstream out;
    out << "@" << mark.Offset << " x " << mark.X << " run " << mark.RunStart << " chars " << mark.Characters
        << " context " << mark.Context << " style " << int(mark.Style);
    return out.str();
}

// Where two documents holding the same text lay a line out differently,
// or "".
std::string LayoutDifference(const TCodeDocument& marked, const TCodeDocument& plain) {
    if (marked.ParagraphCount() != plain.ParagraphCount())
        return "paragraph counts differ";
    for (int32_t i = 0; i < marked.ParagraphCount(); ++i) {
        const TParagraph& a = *marked.Paragraph(i);
        const TParagraph& b = *plain.Paragraph(i);
        if (a.LineCount() != b.LineCount())
            return "paragraph " + std::to_string(i) + ": line counts differ";
        for (int32_t line = 0; line < a.LineCount(); ++line)
            if (Describe(a.Line(line)) != Describe(b.Line(line)))
                return "paragraph " + std::to_string(i) + " line " + std::to_string(line) + ": " +
                       Describe(a.Line(line)) + " vs " + Describe(b.Line(line));
    }
    return "";
}

// Where a paragraph's marks differ from what a walk of its whole line
// finds at the same places, or "".  The walk marks every place a mark may
// stand; the moved marks stand wherever the edits left them.
std::string MarksDifference(const TCodeDocument& document, int32_t index) {
    const TParagraph& p = *document.Paragraph(index);
    const TLineMarks* marks = document.Layout().LineMarksOf(p);
    if (marks == nullptr)
        return "";
    TLineMarkRules everywhere = marks->Rules();
    everywhere.Spacing = 1;
    TLineMarks fresh;
    fresh.Build(p, document.Layout(), everywhere);
    const std::string where = "paragraph " + std::to_string(index) + ": ";
    for (const TLineMark& mark : marks->Marks()) {
        const TLineMark& walked = fresh.AtOrBefore(mark.Offset);
        if (Describe(walked) != Describe(mark))
            return where + "mark " + Describe(mark) + " instead of " + Describe(walked);
    }
    if (fresh.FullWidth() != marks->FullWidth() || fresh.TextWidth() != marks->TextWidth() ||
        fresh.StretchStart() != marks->StretchStart())
        return where + "the line's widths differ";
    return "";
}

class TMarkedTwins {
public:
    TMarkedTwins(uint32_t seed, bool staticFormat) : random_(seed) {
        for (TCodeDocument* document : {&marked_, &plain_}) {
            document->SetStaticFormat(staticFormat);
            document->Layout().SetUpdateMode(umImmediate);
            document->Layout().SetWordWrap(false);
            document->Layout().SetTabStops(3);
            document->Layout().SetMeasure(&measure_, 300);
            document->UndoHistory().SetMaxSpace(1 << 24);
            TStartStopKeyList& keys = document->Highlighting().StartStopKeys();
            keys.AddStartStopKey("<!--", "-->", false, 1, -1, 0, 3, kStyleItalic, 0);
            keys.AddStartStopKey("<", ">", false, 2, -1, 0, 4, kStyleBold, 0);
            keys.AddStartStopKey("\"", "\"", true, 3, -1, 0, 5, kStyleAltFont, 0);
            TKeywordAttributes keyword;
            keyword.ContextNumber = 9;
            keyword.Style = kStyleBold | kStyleItalic;
            keyword.Options = kKeyWholeWord;
            document->Highlighting().Keywords().AddKeyword("table", keyword);
        }
        marked_.Layout().SetLineMarkSpacing(8);
        plain_.Layout().SetLineMarkSpacing(0);
    }

    int32_t Below(int32_t n) { return n <= 0 ? 0 : static_cast<int32_t>(random_() % static_cast<uint32_t>(n)); }

    std::string Piece() {
        static const char* const pieces[] = {"word ", "table ", " ", "  ", "\t", "<a href=", "\"x y\"", ">", "<!--",
                                             "-->", "\xC3\xA9", "\xE4\xB8\xAD", "\x80", "\xC3", "\xE4\xB8", "\x02",
                                             "\x01", "\x15", "\x03", "\x04", "x", "\r\n"};
        return pieces[Below(Below(6) == 0 ? 22 : 21)];
    }

    void Load() {
        std::string text;
        for (int paragraph = 0; paragraph < 3; ++paragraph) {
            for (int i = Below(60); i >= 0; --i)
                text += Piece();
            text += "\r\n";
        }
        LoadText(marked_, text);
        LoadText(plain_, text);
    }

    // One random change, made to both.
    std::string Step() {
        const int32_t length = marked_.TextLength();
        switch (Below(14)) {
        case 0:
            marked_.SetEncoding(marked_.IsUtf8() ? teAnsi : teUtf8);
            plain_.SetEncoding(marked_.Encoding());
            return "encoding";
        case 1:
            if (!marked_.UndoHistory().CanUndo())
                return "nothing";
            markedSelection_.Undo();
            plainSelection_.Undo();
            return "undo";
        case 2: {
            // A look put in force from outside.
            const int32_t from = Below(length + 1);
            const int32_t to = std::min(length, from + Below(30));
            TContextState look;
            look.Flags = static_cast<uint8_t>(TContextState::kStyled | (Below(2) ? kStyleBold : kStyleAltFont));
            look.Depth = -1;
            for (TCodeDocument* document : {&marked_, &plain_}) {
                TCodeNavigator first(document);
                TCodeNavigator second(document);
                first.SetPos(from);
                second.SetPos(to);
                document->ApplyContext(first, second, false, true, look);
                document->Layout().FormatPending();
            }
            return "context";
        }
        default: {
            const int32_t from = Below(length + 1);
            const int32_t to = Below(3) == 0 ? std::min(length, from + Below(12)) : from;
            std::string insertion;
            for (int32_t i = Below(3); i > 0; --i)
                insertion += Piece();
            for (TTextSelection* selection : {&markedSelection_, &plainSelection_}) {
                Select(*selection, from, to);
                selection->SetSelText(insertion);
            }
            return "edit";
        }
        }
    }

    TCodeDocument& Marked() { return marked_; }
    TCodeDocument& Plain() { return plain_; }

private:
    std::mt19937 random_;
    TVariedMeasure measure_;
    TCodeDocument marked_;
    TCodeDocument plain_;
    TTextSelection markedSelection_{marked_};
    TTextSelection plainSelection_{plain_};
};

void RunTwins(uint32_t seed, bool staticFormat, int steps) {
    TMarkedTwins twins(seed, staticFormat);
    twins.Load();
    int marked = 0;
    for (int step = 0; step < steps; ++step) {
        const std::string what = twins.Step();
        ASSERT_EQ(twins.Marked().Text(), twins.Plain().Text()) << "step " << step;
        ASSERT_EQ(LayoutDifference(twins.Marked(), twins.Plain()), "") << "step " << step << ": " << what;
        for (int32_t i = 0; i < twins.Marked().ParagraphCount(); ++i) {
            ASSERT_EQ(MarksDifference(twins.Marked(), i), "") << "step " << step << ": " << what;
            marked += twins.Marked().Layout().LineMarksOf(*twins.Marked().Paragraph(i)) != nullptr;
        }
    }
    // The marks were there to be checked.
    EXPECT_GT(marked, steps);
}

} // namespace

TEST(LineMarks, MovedMarksAreThoseAWholeWalkPlacesAndLinesComeOutTheSame) { RunTwins(17, false, 1200); }

TEST(LineMarks, StyleCodesCountInTheMarksAsInTheLines) { RunTwins(23, true, 1200); }

TEST(LineMarks, WrappingOrARightAlignmentLeavesNoMarks) {
    TMarkedTwins twins(5, false);
    twins.Load();
    TCodeDocument& document = twins.Marked();
    const auto marks = [&] {
        int count = 0;
        for (int32_t i = 0; i < document.ParagraphCount(); ++i)
            count += document.Layout().LineMarksOf(*document.Paragraph(i)) != nullptr;
        return count;
    };
    ASSERT_GT(marks(), 0);
    document.Layout().SetWordWrap(true);
    document.Layout().FormatPending();
    EXPECT_EQ(marks(), 0);
    document.Layout().SetWordWrap(false);
    document.Layout().SetAlignment(taRightJustify);
    document.Layout().FormatPending();
    EXPECT_EQ(marks(), 0);
    document.Layout().SetAlignment(taLeftJustify);
    document.Layout().FormatPending();
    EXPECT_GT(marks(), 0);
}

TEST(LineMarks, TheLastWordIsFoundWhereTheWalkJumpedToTheNextTab) {
    // An edit whose shift is no whole number of tab stops is walked to the
    // mark before the next tab only; the line's last word may lie in what
    // the walk jumped over when only blanks and tabs follow it.
    std::mt19937 random(31);
    for (int round = 0; round < 40; ++round) {
        TMarkedTwins twins(100 + static_cast<uint32_t>(round), false);
        // After a tab the shift is a whole number of stops: the edits go
        // where no tab follows before the last word, and blanks enough
        // follow it for marks to stand before the next tab.
        std::string text;
        while (text.size() < 200)
            text += random() % 4 == 0 ? "\t" : random() % 2 ? "ab " : "word ";
        while (text.size() < 300)
            text += random() % 2 ? "ab " : "word ";
        text += "last" + std::string(10 + random() % 30, ' ');
        for (int i = 0; i < 60; ++i)
            text += random() % 3 == 0 ? "\t" : " ";
        for (TCodeDocument* document : {&twins.Marked(), &twins.Plain()})
            LoadText(*document, text);
        TTextSelection marked(twins.Marked());
        TTextSelection plain(twins.Plain());
        for (int step = 0; step < 30; ++step) {
            const auto at = 200 + static_cast<int32_t>(random() % 90);
            const bool erase = random() % 3 == 0;
            const char* typed = random() % 2 ? "x" : " ";
            for (TTextSelection* selection : {&marked, &plain}) {
                Select(*selection, at, erase ? at + 1 : at);
                selection->SetSelText(erase ? "" : typed);
            }
            ASSERT_EQ(LayoutDifference(twins.Marked(), twins.Plain()), "") << "round " << round << " step " << step;
            ASSERT_EQ(MarksDifference(twins.Marked(), 0), "") << "round " << round << " step " << step;
        }
    }
}
