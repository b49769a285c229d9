// Fuzz entry point for highlighting.  The first bytes choose settings and a
// few edits; the rest is loaded as a document into a memo with the HTML
// highlighter (and, by choice, keys and keywords of the memo's own).  After
// the edits the memo catches up with its highlighting; then the same text
// is highlighted afresh, and both results must agree record for record and
// line for line.
//
// The libFuzzer build (README.md) and a ten-minute run:
//   cmake --build build-fuzz --target editor_highlight_fuzzer
//   build-fuzz/fuzz/editor_highlight_fuzzer -max_total_time=600 -max_len=8192 fuzz/editor/highlight/corpus
// (libFuzzer adds what it finds to the first folder: give it a copy of the
// corpus to keep the checked-in one as it is.)

#include "editor/CodeMemo.h"
#include "editor/ContextEditing.h"
#include "editor/highlight/HtmlHighlighter.h"

#include "platform/base/Stream.h"

#include "fuzz/FuzzInput.h"
#include "platform/ui/Control.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

class TFuzzMeasure : public TCodeMeasure {
public:
    TFuzzMeasure() {
        for (int i = 0; i < 256; ++i) {
            normal_[static_cast<size_t>(i)] = 3 + i % 5;
            bold_[static_cast<size_t>(i)] = 4 + i % 5;
        }
    }
    const int32_t* AdvanceTable(uint8_t style) const override {
        return (style & kStyleBold) != 0 ? bold_.data() : normal_.data();
    }

private:
    std::array<int32_t, 256> normal_{};
    std::array<int32_t, 256> bold_{};
};


struct TParagraphState {
    TContextRecord Base;
    std::vector<TContextRecord> Contexts;
    std::vector<TLineRecord> Lines;
};

std::vector<TParagraphState> StateOf(const TCodeMemo& memo) {
    std::vector<TParagraphState> state;
    for (int32_t i = 0; i < memo.ParagraphCount(); ++i) {
        const TParagraph& p = *memo.Paragraph(i);
        TParagraphState s{*p.BaseContext, p.Contexts, {}};
        for (int32_t line = 0; line < p.LineCount(); ++line)
            s.Lines.push_back(p.Line(line));
        state.push_back(std::move(s));
    }
    return state;
}

bool SameState(const std::vector<TParagraphState>& a, const std::vector<TParagraphState>& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (!SameHighlight(a[i].Base, b[i].Base) || a[i].Contexts.size() != b[i].Contexts.size() ||
            a[i].Lines.size() != b[i].Lines.size())
            return false;
        for (size_t r = 0; r < a[i].Contexts.size(); ++r)
            if (a[i].Contexts[r].Offset != b[i].Contexts[r].Offset || !SameHighlight(a[i].Contexts[r], b[i].Contexts[r]))
                return false;
        for (size_t l = 0; l < a[i].Lines.size(); ++l) {
            const TLineRecord& x = a[i].Lines[l];
            const TLineRecord& y = b[i].Lines[l];
            if (x.Start != y.Start || x.Stop != y.Stop || x.TextWidth != y.TextWidth || x.FullWidth != y.FullWidth ||
                x.ContextIndex != y.ContextIndex)
                return false;
        }
    }
    return true;
}

// Everything pending done: in slices of the background pass or at once.
void CatchUp(TCodeMemo& memo, bool slices) {
    for (int i = 0; slices && i < 1000000 && memo.BackgroundPending(); ++i) {
        TMessage message{WM_CODEMEMO_BACKGROUND, 0, 0, 0};
        memo.BackgroundFormat(message);
    }
    memo.FormatPending();
    memo.ParseUpTo(memo.ParagraphCount() - 1);
    memo.FormatPending();
}

const char* const kPieces[] = {"<", ">", "</", "<!--", "-->", "\"", "'", "=", "&", ";", "<script>", "</script>",
                               "<%", "%>", "<?", "?>", "\r\n", " ", "\t", "/*", "*/", "<b>", "<TABLE", "&amp;"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TFuzzInput input(data, size);
    const uint8_t flags = input.Byte();
    const uint8_t edits = input.Byte() % 24;
    std::string script = input.Bytes(static_cast<size_t>(edits) * 4);
    std::string document = input.Rest();

    TFuzzMeasure measure;
    THtmlHighlighter html;
    html.SetXMLSyntax((flags & 1) != 0);
    TCodeMemo memo;
    memo.SetStaticFormat((flags & 2) != 0);
    memo.SetWordWrap((flags & 4) == 0);
    if (flags & 8) {
        memo.StartStopKeys().AddStartStopKey("/*", "*/", false, 1, -1, 0, 3, kStyleBold, 0);
        memo.StartStopKeys().AddStartStopKey("'", "'", true, 2, -1, 0, 12, 0, 0);
        memo.StartStopKeys().AddStartStopKey("/*", "!", false, 3, -1, 0, 13, 0, 0);
        memo.StartStopKeys().AddStartStopKey("rem", "", true, 4, -1, 0, 14, kStyleItalic, kKeyWholeWord);
        TKeywordAttributes keyword;
        keyword.ContextNumber = 15;
        keyword.Style = kStyleBold;
        keyword.Options = kKeyWholeWord;
        memo.Keywords().AddKeyword("div", keyword);
        keyword.Options = kKeyCaseSensitive;
        memo.Keywords().AddKeyword("a", keyword);
    }
    if (flags & 16)
        memo.SetUpperCaseType(pmuAnsi);
    const bool slices = (flags & 32) != 0;
    memo.SetUpdateMode(slices ? umOnNeed : umImmediate);
    memo.SetUndoMaxSpace(1 << 24);
    memo.SetMeasuringContext(&measure, 60 + (flags >> 6) * 40);
    memo.SetHighlighter(&html);

    TReadOnlyMemoryStream stream(document.data(), static_cast<int64_t>(document.size()));
    memo.LoadFromStream(stream);
    if (!slices)
        CatchUp(memo, false);

    for (size_t i = 0; i + 3 < script.size(); i += 4) {
        const int32_t length = memo.TextLength();
        const int32_t at =
            length > 0 ? (static_cast<uint8_t>(script[i]) * 257 + static_cast<uint8_t>(script[i + 1])) % (length + 1) : 0;
        const int32_t span = static_cast<int8_t>(script[i + 2]) % 9;
        const auto what = static_cast<uint8_t>(script[i + 3]);
        memo.SetSelStart(at);
        memo.SetSelLength(span);
        if (what < 96)
            memo.SetSelText(kPieces[what % (sizeof kPieces / sizeof *kPieces)]);
        else if (what < 128)
            memo.SetSelText(std::string(1, static_cast<char>(what - 64)));
        else if (what < 176)
            memo.SetSelText({});
        else if (what < 208)
            memo.Undo();
        else if (what < 224)
            memo.Redo();
        else if (slices) {
            // A slice of the background pass between edits.
            TMessage message{WM_CODEMEMO_BACKGROUND, 0, 0, 0};
            memo.BackgroundFormat(message);
        }
        memo.CheckConsistency();
    }

    CatchUp(memo, slices);
    memo.CheckConsistency();
    const std::vector<TParagraphState> incremental = StateOf(memo);

    // The same paragraphs highlighted and laid out from scratch.
    memo.ReApplyKeywords();
    CatchUp(memo, false);
    memo.CheckConsistency();
    FuzzCheck(SameState(incremental, StateOf(memo)));
    memo.SetHighlighter(nullptr);
    return 0;
}
