// Typing in paragraphs of tens of kilobytes, as in a minified page: random
// edits that mostly stay near a caret that wanders (with jumps, pastes,
// breaks and undo), in UTF-8 text with multi-byte and invalid bytes, under
// start/stop keys that change fonts.  Against a plain string, the
// highlighting and layout of a fresh document, and what a view would
// repaint: every display line that looks different after an edit must lie
// in the lines the document reported.

#include "editor/model/CodeDocument.h"
#include "editor/model/ContextEditing.h"
#include "editor/model/TextSelection.h"
#include "HighlightTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

void Prepare(TCodeDocument& document, const TCodeMeasure& measure) {
    document.SetStaticFormat(false);
    document.SetEncoding(teUtf8);
    document.Layout().SetUpdateMode(umImmediate);
    document.Layout().SetMeasure(&measure, 400 + 16);
    document.UndoHistory().SetMaxSpace(1 << 30);
    document.UndoHistory().SetMaxLevel(1 << 20);
    TStartStopKeyList& keys = document.Highlighting().StartStopKeys();
    keys.AddStartStopKey("{", "}", false, 0, -1, 0, 1, kStyleBold, 0);
    keys.AddStartStopKey("<", ">", false, 3, -1, 0, 2, 0, 0);
    keys.AddStartStopKey("\"", "\"", true, 5, -1, 0, 3, 0, 0);
}

const char* const kPieces[] = {"a",  "b",  " ",  "word ",        "{",  "}",           "<",   ">", "\"",
                               "\xC3\xA9", "\xE4\xB8\xAD", "\xF0\x9F\x98\x80", "\xFF", "<b>", "{x}", " \"q\" "};

std::string RandomText(std::mt19937& random, int pieces) {
    std::string text;
    for (int i = 0; i < pieces; ++i)
        text += kPieces[random() % std::size(kPieces)];
    return text;
}

// How every display line looks: its bytes, for each byte the look of the
// context in force there, and its widths.
std::vector<std::string> LinesAsSeen(const TCodeDocument& document) {
    std::vector<std::string> lines;
    for (int32_t index = 0; index < document.ParagraphCount(); ++index) {
        const TParagraph& p = *document.Paragraph(index);
        for (int32_t line = 0; line < p.LineCount(); ++line) {
            const TLineRecord& record = p.Line(line);
            std::string seen = p.Text.substr(static_cast<size_t>(record.Start),
                                             static_cast<size_t>(record.Stop - record.Start));
            seen += '|';
            for (int32_t at = record.Start; at < record.Stop; ++at) {
                const TContextState& state = ContextInForce(p, at);
                seen += static_cast<char>('A' + (state.Flags & 0x1F));
                seen += static_cast<char>('0' + state.Foreground);
            }
            seen += "|" + std::to_string(record.TextWidth) + "/" + std::to_string(record.FullWidth);
            lines.push_back(std::move(seen));
        }
    }
    return lines;
}

// The display lines a view repaints after an update: the lines laid out
// again, the edited ones, restyled paragraphs; from the first of them to
// the end when the line count changed.
class TRepaintRecorder : public TDocumentWatcher {
public:
    explicit TRepaintRecorder(TCodeDocument& document) : document_(document) { document_.AddWatcher(this); }
    ~TRepaintRecorder() override { document_.RemoveWatcher(this); }
    void LayoutChanged(TCodeDocument&, const TLayoutChange& change) override { add(change.FirstLine, change.LastLine); }
    void StylesChanged(TCodeDocument& document, const TStyleChange& change) override {
        if (change.LaidOutAgain)
            return;
        const int32_t last = std::min(change.LastParagraph, document.ParagraphCount() - 1);
        add(document.ParagraphFirstLine(std::max(change.FirstParagraph, 0)), document.LastLineOfParagraph(last));
    }
    void UpdateEnded(TCodeDocument&, const TUpdateSummary& summary) override { add(summary.FirstLine, summary.LastLine); }
    bool Reported(int32_t line) const {
        return std::any_of(spans_.begin(), spans_.end(),
                           [line](const auto& span) { return line >= span.first && line <= span.second; });
    }
    int32_t First() const {
        int32_t first = INT32_MAX;
        for (const auto& span : spans_)
            first = std::min(first, span.first);
        return first;
    }
    void Clear() { spans_.clear(); }

private:
    void add(int32_t first, int32_t last) {
        if (last >= first)
            spans_.emplace_back(first, last);
    }
    TCodeDocument& document_;
    std::vector<std::pair<int32_t, int32_t>> spans_;
};

void ExpectRepaintCovers(const std::vector<std::string>& before, const std::vector<std::string>& after,
                         const TRepaintRecorder& repaint, int step) {
    for (size_t line = 0; line < after.size(); ++line) {
        if (line < before.size() && before[line] == after[line])
            continue;
        const auto at = static_cast<int32_t>(line);
        // A changed count repaints every line from the first reported one.
        if (before.size() != after.size() && at >= repaint.First())
            continue;
        ASSERT_TRUE(repaint.Reported(at)) << "step " << step << ": line " << line << " changed unreported\n  was "
                                          << (line < before.size() ? before[line] : "(none)") << "\n  now "
                                          << after[line];
    }
}

} // namespace

TEST(LongLineEdits, TypingInLongUtf8LinesMatchesAStringAFreshDocumentAndWhatIsRepainted) {
    std::mt19937 random(2026);
    TFixedMeasure measure(10, 2);
    TCodeDocument document;
    TTextSelection selection(document);
    Prepare(document, measure);
    // A short paragraph, one of some 70 KB (its records' offsets pass 64 KB)
    // and one of 9 KB.
    std::string model = "head {line}\r\n" + RandomText(random, 14000) + "\r\n" + RandomText(random, 1800);
    LoadText(document, model);
    HighlightAll(document);
    ASSERT_EQ(document.Text(), model);
    std::vector<std::string> history{model};
    TRepaintRecorder repaint(document);

    int32_t caret = static_cast<int32_t>(model.size()) / 2;
    for (int step = 0; step < 500; ++step) {
        const auto length = static_cast<int32_t>(model.size());
        if (random() % 12 == 0)
            caret = static_cast<int32_t>(random() % static_cast<uint32_t>(length + 1));
        caret = std::clamp(caret + static_cast<int32_t>(random() % 9) - 4, 0, length);
        // Never inside a CR LF pair: the document stands such a caret at
        // the paragraph's end.
        if (caret > 0 && caret < length && model[static_cast<size_t>(caret - 1)] == '\r')
            --caret;
        const std::vector<std::string> before = LinesAsSeen(document);
        repaint.Clear();
        const int kind = static_cast<int>(random() % 20);
        if (kind < 2 && document.UndoHistory().CanUndo() && history.size() > 1) {
            selection.Undo();
            history.pop_back();
            model = history.back();
            caret = std::min(caret, static_cast<int32_t>(model.size()));
        } else {
            int32_t removed = kind < 10 ? 0 : static_cast<int32_t>(random() % 4);
            if (kind == 19)
                removed = static_cast<int32_t>(random() % 3000);
            removed = std::min(removed, length - caret);
            // A break inside the range is taken whole.
            int32_t end = caret + removed;
            if (end > 0 && end < length && model[static_cast<size_t>(end - 1)] == '\r')
                ++end;
            std::string inserted = RandomText(random, kind == 18 ? 400 : 1 + static_cast<int>(random() % 3));
            if (random() % 60 == 0)
                inserted += "\r\n";
            if (caret == end && inserted.empty())
                continue;
            Select(selection, caret, end);
            selection.SetSelText(inserted);
            model.replace(static_cast<size_t>(caret), static_cast<size_t>(end - caret), inserted);
            history.push_back(model);
            caret += static_cast<int32_t>(inserted.size());
        }
        ASSERT_EQ(document.TextLength(), static_cast<int32_t>(model.size())) << "step " << step;
        ASSERT_EQ(document.Text(), model) << "step " << step;
        ASSERT_NO_THROW(document.CheckConsistency()) << "step " << step;
        ExpectRepaintCovers(before, LinesAsSeen(document), repaint, step);
        if (::testing::Test::HasFatalFailure())
            return;
        if (step % 50 == 49) {
            ASSERT_EQ(DifferenceFromFresh(document, [&](TCodeDocument& oracle) { Prepare(oracle, measure); }, true), "")
                << "step " << step;
        }
    }

    // Every step undone back to the text loaded, and redone.
    size_t state = history.size() - 1;
    while (document.UndoHistory().CanUndo()) {
        selection.Undo();
        ASSERT_GT(state, 0u);
        --state;
        ASSERT_EQ(document.Text(), history[state]) << "undo to state " << state;
    }
    EXPECT_EQ(state, 0u);
    ASSERT_EQ(DifferenceFromFresh(document, [&](TCodeDocument& oracle) { Prepare(oracle, measure); }, true), "");
    while (document.UndoHistory().CanRedo()) {
        selection.Redo();
        ++state;
        ASSERT_EQ(document.Text(), history[state]) << "redo to state " << state;
    }
    EXPECT_EQ(document.Text(), history.back());
    EXPECT_EQ(DifferenceFromFresh(document, [&](TCodeDocument& oracle) { Prepare(oracle, measure); }, true), "");
}
