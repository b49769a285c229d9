// Thousands of random edits checked against a plain string model, with the
// store's invariants and incremental line breaking checked after each; then
// everything is undone back to the original and redone again.

#include "editor/model/CodeDocument.h"
#include "editor/model/TextSelection.h"
#include "editor/model/EditPlan.h"
#include "DocumentTestSupport.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

// The text an insertion really puts into the memo: its pieces joined by CR LF.
std::string Normalised(const std::string& text) {
    std::vector<std::string> pieces;
    SplitIntoPieces(text, pieces);
    std::string result;
    for (size_t i = 0; i < pieces.size(); ++i) {
        if (i > 0)
            result += "\r\n";
        result += pieces[i];
    }
    return result;
}

bool InsideBreak(const std::string& model, int32_t offset) {
    return offset > 0 && offset < static_cast<int32_t>(model.size()) && model[static_cast<size_t>(offset - 1)] == '\r' &&
           model[static_cast<size_t>(offset)] == '\n';
}

class TRandomText {
public:
    explicit TRandomText(uint32_t seed) : random_(seed) {}

    int32_t Below(int32_t n) { return n <= 0 ? 0 : static_cast<int32_t>(random_() % static_cast<uint32_t>(n)); }

    std::string Insertion(bool codes = false) {
        static const char* const pieces[] = {"\r\n", "\n", "\r", "\n\r", "\n\r\n", "\r\r\n"};
        std::string text;
        int32_t length = Below(4) == 0 ? Below(40) : Below(6);
        for (int32_t i = 0; i < length; ++i) {
            int32_t kind = Below(20);
            if (kind < 10)
                text += static_cast<char>('a' + Below(6));
            else if (kind < 12)
                text += ' ';
            else if (kind < 14)
                text += pieces[Below(6)];
            else if (kind < 15)
                text += '\0';
            else if (kind < 16)
                text += '\t';
            else if (codes && kind < 18)
                text += "\x01\x02\x03\x04\x15"[Below(5)];
            else
                text += static_cast<char>(0x80 + Below(128));
        }
        return text;
    }

private:
    std::mt19937 random_;
};

// Line records as they are, to compare incremental formatting with a full one.
std::vector<TLineRecord> AllLines(const TCodeDocument& document) {
    std::vector<TLineRecord> lines;
    for (int32_t i = 0; i < document.ParagraphCount(); ++i) {
        const TParagraph& p = *document.Paragraph(i);
        for (int32_t line = 0; line < p.LineCount(); ++line)
            lines.push_back(p.Line(line));
    }
    return lines;
}

void ExpectSameLayout(const std::vector<TLineRecord>& a, const std::vector<TLineRecord>& b, int step) {
    ASSERT_EQ(a.size(), b.size()) << "step " << step;
    for (size_t i = 0; i < a.size(); ++i) {
        ASSERT_EQ(a[i].Start, b[i].Start) << "step " << step << " line " << i;
        ASSERT_EQ(a[i].Stop, b[i].Stop) << "step " << step << " line " << i;
        ASSERT_EQ(a[i].TextWidth, b[i].TextWidth) << "step " << step << " line " << i;
        ASSERT_EQ(a[i].FullWidth, b[i].FullWidth) << "step " << step << " line " << i;
        ASSERT_EQ(a[i].StretchSpaces, b[i].StretchSpaces) << "step " << step << " line " << i;
        // Justified lines widen their blanks from there: lines behind an
        // edit keep it with the text they show.
        ASSERT_EQ(a[i].StretchStart, b[i].StretchStart) << "step " << step << " line " << i;
    }
}

// With style codes the memo adds closing codes and removes code pairs, which
// the plain model does not follow: then only the memo's own states are
// recorded, and undo and redo must come back to each of them exactly.
void RunRandomEdits(uint32_t seed, int steps, const TCodeMeasure* measure, bool styleCodes = false,
                    int initialParagraphs = 4) {
    TRandomText random(seed);
    TCodeDocument document;
    TTextSelection selection(document);
    document.SetStaticFormat(styleCodes);
    document.Layout().SetUpdateMode(umImmediate);
    document.UndoHistory().SetMaxSpace(1 << 30);
    document.UndoHistory().SetMaxLevel(1 << 20);
    if (measure != nullptr)
        document.Layout().SetMeasure(measure, 8 * 10 + 16);
    std::string model = "first line\r\nsecond\r\n\r\nlast";
    for (int i = 4; i < initialParagraphs; ++i)
        model += "\r\nparagraph " + std::to_string(i) + " of a longer text";
    LoadText(document, model);
    document.CheckConsistency();
    std::vector<std::string> history{model};

    for (int step = 0; step < steps; ++step) {
        auto length = static_cast<int32_t>(model.size());
        int32_t a = random.Below(length + 1);
        int32_t b = random.Below(4) == 0 ? random.Below(length + 1) : a + random.Below(5);
        // Deletions at both ends of the text now and then.
        if (random.Below(25) == 0)
            a = 0;
        if (random.Below(25) == 0)
            b = length;
        b = std::min(b, length);
        std::string insertion = random.Insertion(styleCodes);
        selection.SetSelStart(b);
        selection.SetSelLength(a - b);

        int32_t from = std::min(a, b);
        int32_t to = std::max(a, b);
        if (InsideBreak(model, from))
            --from;
        if (InsideBreak(model, to))
            ++to;
        if (a == b)
            to = from;
        std::string inserted = Normalised(insertion);
        if (styleCodes) {
            // One undo step per recorded edit, even when codes cancel out.
            int32_t position = document.UndoHistory().Position();
            selection.SetSelText(insertion);
            ASSERT_NO_THROW(document.CheckConsistency()) << "step " << step;
            if (document.UndoHistory().Position() != position)
                history.push_back(document.Text());
            model = document.Text();
            continue;
        }
        if (from == to && inserted.empty()) {
            selection.SetSelText(insertion);
            ASSERT_EQ(document.Text(), model);
            continue;
        }
        model.replace(static_cast<size_t>(from), static_cast<size_t>(to - from), inserted);
        selection.SetSelText(insertion);

        ASSERT_EQ(document.TextLength(), static_cast<int32_t>(model.size()))
            << "step " << step << " from " << from << " to " << to << " inserting " << ::testing::PrintToString(insertion)
            << " a " << a << " b " << b;
        ASSERT_EQ(document.Text(), model) << "step " << step;
        ASSERT_EQ(JoinedParagraphs(document), model) << "step " << step;
        ASSERT_EQ(selection.SelStart(), from + static_cast<int32_t>(inserted.size())) << "step " << step;
        ASSERT_NO_THROW(document.CheckConsistency()) << "step " << step;
        history.push_back(model);

        if (measure != nullptr && step % 97 == 0) {
            // Incremental formatting must give what formatting from scratch gives.
            std::vector<TLineRecord> incremental = AllLines(document);
            document.Layout().ReformatAll();
            document.Layout().FormatPending();
            ExpectSameLayout(incremental, AllLines(document), step);
            if (::testing::Test::HasFatalFailure())
                return;
        }
    }

    // Undo everything, checking every state on the way back.
    size_t state = history.size() - 1;
    while (document.UndoHistory().CanUndo()) {
        selection.Undo();
        ASSERT_GT(state, 0u);
        --state;
        ASSERT_EQ(document.Text(), history[state]) << "undo to state " << state;
        ASSERT_NO_THROW(document.CheckConsistency());
    }
    EXPECT_EQ(state, 0u);
    EXPECT_EQ(document.Text(), history.front());
    while (document.UndoHistory().CanRedo()) {
        selection.Redo();
        ++state;
        ASSERT_EQ(document.Text(), history[state]) << "redo to state " << state;
        ASSERT_NO_THROW(document.CheckConsistency());
    }
    EXPECT_EQ(document.Text(), history.back());
}

}  // namespace

TEST(RandomEdits, MatchStringModelUndoAndRedoWithoutLayout) { RunRandomEdits(20261206, 3000, nullptr); }

TEST(RandomEdits, MatchStringModelUndoAndRedoWithWordWrap) {
    TFixedMeasure measure(10);
    RunRandomEdits(77, 2500, &measure);
}

TEST(RandomEdits, StyleCodesUndoAndRedoExactly) {
    TFixedMeasure measure(10, 4);
    RunRandomEdits(4242, 1500, &measure, true);
}

TEST(RandomEdits, ManyParagraphsKeepLazyStartsRight) { RunRandomEdits(8, 1500, nullptr, false, 3000); }

TEST(RandomEdits, ReadsAfterEveryEditSeeDocumentedValuesInsideAnUpdate) {
    TRandomText random(5);
    TCodeDocument document;
    TTextSelection selection(document);
    document.SetStaticFormat(false);
    TFixedMeasure measure(7);
    document.Layout().SetMeasure(&measure, 100);
    LoadText(document, "alpha beta gamma delta epsilon zeta eta theta\r\niota kappa");
    document.Layout().FormatPending();
    document.BeginUpdate();
    for (int step = 0; step < 500; ++step) {
        int32_t length = document.TextLength();
        selection.SetSelStart(random.Below(length + 1));
        selection.SetSelLength(random.Below(4));
        selection.SetSelText(random.Insertion());
        // Formatting waits for the update, but every reader sees a consistent store.
        ASSERT_NO_THROW(document.CheckConsistency()) << "step " << step;
    }
    document.EndUpdate();
    document.CheckConsistency();
}
