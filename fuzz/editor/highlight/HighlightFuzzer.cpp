// Fuzz entry point for highlighting.  The first bytes choose settings and a
// few edits; the rest is loaded into a document with the HTML highlighter
// (and, by choice, keys and keywords of the document's own).  After the
// edits the document catches up with its highlighting; then the same text
// is highlighted afresh, and both results must agree record for record and
// line for line.
//
// The libFuzzer build (README.md) and a ten-minute run:
//   cmake --build build-fuzz --target editor_highlight_fuzzer
//   build-fuzz/fuzz/editor_highlight_fuzzer -max_total_time=600 -max_len=8192 fuzz/editor/highlight/corpus
// (libFuzzer adds what it finds to the first folder: give it a copy of the
// corpus to keep the checked-in one as it is.)

#include "editor/model/CodeDocument.h"
#include "editor/model/TextSelection.h"
#include "editor/model/ContextEditing.h"
#include "editor/highlight/HtmlHighlighter.h"

#include "platform/base/Stream.h"

#include "fuzz/FuzzInput.h"

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

std::vector<TParagraphState> StateOf(const TCodeDocument& document) {
    std::vector<TParagraphState> state;
    for (int32_t i = 0; i < document.ParagraphCount(); ++i) {
        const TParagraph& p = *document.Paragraph(i);
        TParagraphState s{TContextRecord(p.Base(), 0), p.Contexts.Records(), {}};
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
                x.Style != y.Style)
                return false;
        }
    }
    return true;
}

// Everything pending done: in slices of the background pass or at once.
void CatchUp(TCodeDocument& document, bool slices) {
    for (int i = 0; slices && i < 1000000 && document.Layout().BackgroundPending(); ++i)
        document.Layout().BackgroundSlice();
    document.Layout().FormatPending();
    document.ParseUpTo(document.ParagraphCount() - 1);
    document.Layout().FormatPending();
}

const char* const kPieces[] = {"<", ">", "</", "<!--", "-->", "\"", "'", "=", "&", ";", "<script>", "</script>",
                               "<%", "%>", "<?", "?>", "\r\n", " ", "\t", "/*", "*/", "<b>", "<TABLE", "&amp;"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TFuzzInput input(data, size);
    const uint8_t flags = input.Byte();
    const uint8_t edits = input.Byte() % 24;
    std::string script = input.Bytes(static_cast<size_t>(edits) * 4);
    std::string text = input.Rest();

    TFuzzMeasure measure;
    THtmlHighlighter html;
    html.SetXMLSyntax((flags & 1) != 0);
    TCodeDocument document;
    TTextSelection selection(document);
    document.SetStaticFormat((flags & 2) != 0);
    document.Layout().SetWordWrap((flags & 4) == 0);
    if (flags & 8) {
        document.Highlighting().StartStopKeys().AddStartStopKey("/*", "*/", false, 1, -1, 0, 3, kStyleBold, 0);
        document.Highlighting().StartStopKeys().AddStartStopKey("'", "'", true, 2, -1, 0, 12, 0, 0);
        document.Highlighting().StartStopKeys().AddStartStopKey("/*", "!", false, 3, -1, 0, 13, 0, 0);
        document.Highlighting().StartStopKeys().AddStartStopKey("rem", "", true, 4, -1, 0, 14, kStyleItalic, kKeyWholeWord);
        TKeywordAttributes keyword;
        keyword.ContextNumber = 15;
        keyword.Style = kStyleBold;
        keyword.Options = kKeyWholeWord;
        document.Highlighting().Keywords().AddKeyword("div", keyword);
        keyword.Options = kKeyCaseSensitive;
        document.Highlighting().Keywords().AddKeyword("a", keyword);
    }
    if (flags & 16)
        document.SetUpperCaseType(pmuAnsi);
    const bool slices = (flags & 32) != 0;
    document.Layout().SetUpdateMode(slices ? umOnNeed : umImmediate);
    document.UndoHistory().SetMaxSpace(1 << 24);
    document.Layout().SetMeasure(&measure, 60 + (flags >> 6) * 40);
    document.Highlighting().SetHighlighter(&html);

    TReadOnlyMemoryStream stream(text.data(), static_cast<int64_t>(text.size()));
    document.LoadFromStream(stream);
    if (!slices)
        CatchUp(document, false);

    for (size_t i = 0; i + 3 < script.size(); i += 4) {
        const int32_t length = document.TextLength();
        const int32_t at =
            length > 0 ? (static_cast<uint8_t>(script[i]) * 257 + static_cast<uint8_t>(script[i + 1])) % (length + 1) : 0;
        const int32_t span = static_cast<int8_t>(script[i + 2]) % 9;
        const auto what = static_cast<uint8_t>(script[i + 3]);
        selection.SetSelStart(at);
        selection.SetSelLength(span);
        if (what < 96)
            selection.SetSelText(kPieces[what % (sizeof kPieces / sizeof *kPieces)]);
        else if (what < 128)
            selection.SetSelText(std::string(1, static_cast<char>(what - 64)));
        else if (what < 176)
            selection.SetSelText({});
        else if (what < 208)
            selection.Undo();
        else if (what < 224)
            selection.Redo();
        else if (slices)
            document.Layout().BackgroundSlice();  // a slice of the background pass between edits
        document.CheckConsistency();
    }

    CatchUp(document, slices);
    document.CheckConsistency();
    const std::vector<TParagraphState> incremental = StateOf(document);

    // The same paragraphs highlighted and laid out from scratch.
    document.ReApplyKeywords();
    CatchUp(document, false);
    document.CheckConsistency();
    FuzzCheck(SameState(incremental, StateOf(document)));
    document.Highlighting().SetHighlighter(nullptr);
    return 0;
}
