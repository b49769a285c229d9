#include "editor/model/CodeDocument.h"
#include "editor/model/TextSelection.h"
#include "editor/model/CodeNavigator.h"
#include "DocumentTestSupport.h"

#include "platform/base/Exceptions.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {
class TNotAMemo : public TComponent {};
}  // namespace

TEST(Navigator, RefusesComponentsThatAreNotMemos) {
    TNotAMemo other;
    try {
        TCodeNavigator navigator(&other);
        FAIL() << "no exception";
    } catch (const Exception& error) {
        EXPECT_EQ(error.Message(), "Internal error: component is not a TCodeMemo");
    }
}

TEST(Navigator, LocatesParagraphOffsetAndCharacters) {
    TCodeDocument document;
    TTextSelection selection(document);
    LoadText(document, "abc\r\n\r\nxy");
    TCodeNavigator navigator(&document);
    navigator.SetPos(document.TextLength());
    EXPECT_EQ(navigator.ParNumber(), 2);
    EXPECT_EQ(navigator.ParOffset(), 2);
    EXPECT_EQ(navigator.CharAt(), '\r');
    navigator.SetPos(3);
    EXPECT_EQ(navigator.CharAt(), '\r');
    navigator.SetPos(4);
    EXPECT_EQ(navigator.ParNumber(), 0);
    EXPECT_EQ(navigator.CharAt(), '\n');
    navigator.SetPos(5);
    EXPECT_EQ(navigator.ParNumber(), 1);
    EXPECT_EQ(navigator.CharAt(), '\r');
    navigator.SetPos(1);
    EXPECT_EQ(navigator.CharAt(), 'b');
    EXPECT_EQ(navigator.GetText(4), "bc\r\n");
    EXPECT_EQ(navigator.GetText(3), "bc\r");
    EXPECT_EQ(navigator.GetText(100), "bc\r\n\r\nxy");
}

TEST(Navigator, LineNumbersFollowParagraphs) {
    TCodeDocument document;
    TTextSelection selection(document);
    LoadText(document, "one\r\ntwo\r\nthree");
    TCodeNavigator navigator(&document);
    navigator.SetLineNumber(1);
    EXPECT_EQ(navigator.Pos(), 5);
    EXPECT_EQ(navigator.LineNumber(), 1);
    navigator.SetLineNumber(99);
    EXPECT_EQ(navigator.Pos(), 10);
    navigator.SetLineNumber(-4);
    EXPECT_EQ(navigator.Pos(), 0);
    navigator.SetPos(12);
    EXPECT_EQ(navigator.ColumnInLine(), 2);
    navigator.SetColumnInLine(40);
    EXPECT_EQ(navigator.Pos(), 15);
    navigator.SetColumnInLine(-3);
    EXPECT_EQ(navigator.Pos(), 10);
}

TEST(Navigator, FollowsEditsBeforeInsideAndAfter) {
    TCodeDocument document;
    TTextSelection selection(document);
    document.SetStaticFormat(false);
    LoadText(document, "0123456789\r\nabcdef");
    TCodeNavigator before(&document), atStart(&document), inside(&document), atEnd(&document), after(&document), nextPar(&document),
        sticky(&document);
    before.SetPos(1);
    atStart.SetPos(3);
    inside.SetPos(4);
    atEnd.SetPos(6);
    after.SetPos(8);
    nextPar.SetPos(14);
    sticky.SetPos(5);
    sticky.EndOfInsertion = true;
    nextPar.ParNumber();
    Select(selection, 3, 6);
    selection.SetSelText("XY\r\nZ");
    EXPECT_EQ(document.Text(), "012XY\r\nZ6789\r\nabcdef");
    EXPECT_EQ(before.Pos(), 1);
    EXPECT_EQ(atStart.Pos(), 3);
    EXPECT_EQ(inside.Pos(), 3);
    EXPECT_EQ(sticky.Pos(), 3 + 5);
    EXPECT_EQ(atEnd.Pos(), 8);
    EXPECT_EQ(after.Pos(), 10);
    EXPECT_EQ(nextPar.Pos(), 16);
    EXPECT_EQ(nextPar.ParNumber(), 2);
    EXPECT_EQ(nextPar.ParOffset(), 2);
    EXPECT_EQ(after.ParNumber(), 1);
    EXPECT_EQ(after.CharAt(), '8');
    EXPECT_EQ(atEnd.CharAt(), '6');
}

TEST(Navigator, InsertionAtNavigatorLeavesItBeforeUnlessFlagged) {
    TCodeDocument document;
    TTextSelection selection(document);
    LoadText(document, "ab");
    TCodeNavigator plain(&document), flagged(&document), later(&document);
    plain.SetPos(1);
    flagged.SetPos(1);
    flagged.EndOfInsertion = true;
    later.SetPos(2);
    selection.SetSelStart(1);
    selection.SetSelText("xyz");
    EXPECT_EQ(plain.Pos(), 1);
    EXPECT_EQ(flagged.Pos(), 4);
    EXPECT_EQ(later.Pos(), 5);
}

TEST(Navigator, FreeNoticeAndDetachOnDocumentDestruction) {
    int freed = 0;
    auto document = std::make_unique<TCodeDocument>();
    auto navigator = std::make_unique<TCodeNavigator>(document.get());
    navigator->OnFree = [&](TCodeNavigator*) { ++freed; };
    document.reset();
    EXPECT_EQ(navigator->Document(), nullptr);
    navigator.reset();
    EXPECT_EQ(freed, 1);
}

TEST(Navigator, ContextRecordsCanBeInsertedWalkedAndRemoved) {
    TCodeDocument document;
    TTextSelection selection(document);
    LoadText(document, "hello world\r\nsecond line");
    TCodeNavigator navigator(&document);
    TContextRecord record;
    record.Flags = 0xC0;
    record.Depth = 0;
    record.ContextNumber = 7;
    navigator.SetPos(6);
    navigator.InsertContext(record);
    EXPECT_EQ(navigator.ContextIndex(), 1);
    EXPECT_EQ(document.Paragraph(0)->Contexts.Offset(0), 6);
    record.ContextNumber = 8;
    navigator.SetPos(13 + 3);
    navigator.InsertContext(record);

    navigator.SetPos(0);
    EXPECT_EQ(navigator.CurrentContext()->ContextNumber, 0);  // base context
    ASSERT_TRUE(navigator.NextContext(document.TextLength()));
    EXPECT_EQ(navigator.Pos(), 6);
    navigator.SkipContextsHere();
    EXPECT_EQ(navigator.CurrentContext()->ContextNumber, 7);
    ASSERT_TRUE(navigator.NextContext(document.TextLength()));
    EXPECT_EQ(navigator.Pos(), 16);
    navigator.SkipContextsHere();
    EXPECT_FALSE(navigator.NextContext(document.TextLength()));
    EXPECT_TRUE(navigator.PrevContext(0));
    EXPECT_EQ(navigator.Pos(), 16);
    EXPECT_TRUE(navigator.PrevContext(0));
    EXPECT_EQ(navigator.Pos(), 6);
    EXPECT_FALSE(navigator.PrevContext(0));
    EXPECT_EQ(navigator.Pos(), 6);

    navigator.SetPos(7);
    EXPECT_THROW(navigator.RemoveContext(), EInvalidOperation);
    navigator.SetPos(6);
    navigator.RemoveContext();
    EXPECT_TRUE(document.Paragraph(0)->Contexts.Empty());

    // Edits shift the records behind them.
    selection.SetSelStart(0);
    selection.SetSelText("XX");
    EXPECT_EQ(document.Paragraph(1)->Contexts.Offset(0), 3);
    selection.SetSelStart(13 + 2 + 1);
    selection.SetSelText("YY");
    EXPECT_EQ(document.Paragraph(1)->Contexts.Offset(0), 5);
}

TEST(Navigator, StyleAtFoldsCodesSinceLineStart) {
    TCodeDocument document;
    TTextSelection selection(document);
    LoadText(document, std::string("a\x02" "b\x01" "c\r\nd\x02" "e"));
    TCodeNavigator navigator(&document);
    navigator.SetPos(1);
    EXPECT_EQ(navigator.StyleAt(), 0);
    navigator.SetPos(2);
    EXPECT_EQ(navigator.StyleAt(), kStyleBold);
    navigator.SetPos(4);
    EXPECT_EQ(navigator.StyleAt(), kStyleBold | kStyleItalic);
    navigator.SetPos(7);  // "d" of the next paragraph carries the style over
    EXPECT_EQ(navigator.StyleAt(), kStyleBold | kStyleItalic);
    navigator.SetPos(9);
    EXPECT_EQ(navigator.StyleAt(), kStyleItalic);
    document.SetStaticFormat(false);
    navigator.SetPos(4);
    EXPECT_EQ(navigator.StyleAt(), 0);
}

// A move within a known paragraph ends where SetPos to the same offset
// ends, with the same cached indexes: random moves (forward, back, into
// other paragraphs, to each paragraph's end and one beyond) of two
// navigators, one by each way, whose caches were filled at random.
TEST(Navigator, AMoveWithinAKnownParagraphEndsWhereSetPosEnds) {
    TCodeDocument document;
    TTextSelection selection(document);
    std::mt19937 random(31337);
    std::string text;
    for (int line = 0; line < 12; ++line) {
        text += std::string(random() % 40, 'a' + static_cast<char>(line));
        text += "\r\n";
    }
    LoadText(document, text);
    // Records to step over, in every paragraph.
    for (int32_t index = 0; index < document.ParagraphCount(); ++index) {
        TParagraph& p = *document.Paragraph(index);
        for (int32_t offset = 0; offset < p.Length(); offset += 1 + static_cast<int32_t>(random() % 5))
            p.Contexts.Append({offset, kDefaultContext});
    }
    TCodeNavigator known(&document);
    TCodeNavigator looked(&document);
    for (int step = 0; step < 4000; ++step) {
        const auto index = static_cast<int32_t>(random() % static_cast<uint32_t>(document.ParagraphCount()));
        TParagraph& p = *document.Paragraph(index);
        const int32_t start = document.ParagraphStart(index);
        const auto offset = static_cast<int32_t>(random() % static_cast<uint32_t>(p.Length() + 2));
        known.SetPosIn(p, start, offset);
        looked.SetPos(start + offset);
        ASSERT_EQ(known.Pos(), looked.Pos()) << "step " << step;
        ASSERT_EQ(known.Pos(), start + offset) << "step " << step;
        // Now and then the caches are asked for (and so filled), or not.
        if (random() % 2 == 0) {
            ASSERT_EQ(known.ParNumber(), looked.ParNumber()) << "step " << step;
            ASSERT_EQ(known.ParOffset(), looked.ParOffset()) << "step " << step;
            ASSERT_EQ(known.ContextIndex(), looked.ContextIndex()) << "step " << step;
            ASSERT_EQ(known.ContextIndex(), p.ContextIndexAt(offset)) << "step " << step;
            ASSERT_EQ(known.LineInPar(), looked.LineInPar()) << "step " << step;
        }
    }
}
