// Fuzz entry point for line-break scanning: the document text of a page
// (TLineBreaks and TDocumentText over an editor) and the platform's line
// splitting.  The first byte chooses:
//
// - A page loaded into an editor and edited where the input says, with
//   undo and redo between: loaded, it is written back byte for byte; after
//   each step its bytes read back as the editor's paragraphs, and an edit
//   whose breaks cannot merge with their neighbours changes no byte
//   outside the range it replaced.
// - Text split into lines as string lists, INI files and the clipboard
//   split it: the lines and their breaks join back to the text; the
//   clipboard's conversions give CR LF one way and LF the other, and
//   undo each other.

#include "app/DocumentText.h"
#include "editor/CodeMemo.h"
#include "editor/model/EditPlan.h"
#include "fuzz/FuzzApplication.h"
#include "fuzz/FuzzInput.h"
#include "platform/base/Strings.h"
#include "platform/base/TextLines.h"
#include "platform/gfx/Clipboard.h"
#include "platform/gfx/TextMeasurer.h"
#include "tests/support/FakeTextMeasurer.h"

#include <QGuiApplication>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

void Start() {
    if (!StartOffscreenApplication<QGuiApplication>())
        return;
    static TFakeTextMeasurer measurer;
    SetDefaultTextMeasurer(&measurer);
}

// A page as the editor's loader splits it, written from the rule alone:
// CR LF and LF CR are one break each, a lone CR or LF is one.  Each
// paragraph with the bytes of the break after it.
struct TRawParagraph {
    std::string Text;
    std::string Break;
};

std::vector<TRawParagraph> SplitRaw(std::string_view bytes) {
    std::vector<TRawParagraph> out(1);
    for (size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n') {
            out.back().Text += c;
            continue;
        }
        const bool pair = i + 1 < bytes.size() && (bytes[i + 1] == '\r' || bytes[i + 1] == '\n') && bytes[i + 1] != c;
        out.back().Break = std::string(bytes.substr(i, pair ? 2 : 1));
        out.emplace_back();
        i += pair ? 1 : 0;
    }
    return out;
}

size_t RawOffset(const std::vector<TRawParagraph>& page, int32_t paragraph, int32_t offset) {
    size_t at = 0;
    for (int32_t i = 0; i < paragraph; ++i)
        at += page[static_cast<size_t>(i)].Text.size() + page[static_cast<size_t>(i)].Break.size();
    return at + static_cast<size_t>(offset);
}

std::vector<std::string> ParagraphsOf(const TCodeMemo& memo) {
    std::vector<std::string> paragraphs;
    for (int32_t i = 0; i < memo.ParagraphCount(); ++i)
        paragraphs.push_back(memo.ParagraphText(i));
    return paragraphs;
}

// The editor as a document window configures it for bytes: control bytes
// are text, not style codes.
struct TPlainEditor {
    TPlainEditor() { Memo.SetStaticFormat(false); }
    TCodeMemo Memo;
};

// An LF on its own in inserted text is an ordinary character to the
// editor, while a file's lone LF is a break: a paragraph that holds one
// cannot read back as itself, and the page is not followed further.
bool HoldsLF(const TCodeMemo& memo) {
    const std::vector<std::string> paragraphs = ParagraphsOf(memo);
    return std::any_of(paragraphs.begin(), paragraphs.end(),
                       [](const std::string& p) { return p.find('\n') != std::string::npos; });
}

// Read again, the bytes are the editor's paragraphs.
void CheckReadsBack(const std::string& bytes, const TCodeMemo& memo) {
    TPlainEditor reread;
    TDocumentText again(reread.Memo);
    again.SetText(bytes);
    FuzzCheck(ParagraphsOf(reread.Memo) == ParagraphsOf(memo));
}

void FuzzPage(TFuzzInput& input) {
    static const char* const kBreakBytes[] = {"\r\n", "\n\r", "\r", "\n"};
    struct TStep {
        uint8_t Kind;
        uint16_t From, To;
        std::string Inserted;
    };
    std::vector<TStep> steps(input.Byte() % 12);
    for (TStep& step : steps) {
        step.Kind = input.Byte();
        step.From = static_cast<uint16_t>(input.Byte() << 8 | input.Byte());
        step.To = static_cast<uint16_t>(input.Byte() << 8 | input.Byte());
        step.Inserted = input.Bytes(input.Byte() % 16);
    }
    std::string page = input.Rest();
    TPlainEditor editor;
    TCodeMemo& memo = editor.Memo;
    TDocumentText text(memo);
    text.SetText(page);
    FuzzCheck(text.Breaks().Count() + 1 == memo.ParagraphCount());
    FuzzCheck(text.Bytes() == page);
    const std::string newBreak = kBreakBytes[text.Breaks().NewBreak()];

    for (const TStep& step : steps) {
        if (step.Kind % 5 == 0) {
            if (step.Kind & 8)
                memo.Redo();
            else
                memo.Undo();
            if (HoldsLF(memo))
                return;
            page = text.Bytes();
            CheckReadsBack(page, memo);
            continue;
        }
        const std::vector<TRawParagraph> raw = SplitRaw(page);
        FuzzCheck(static_cast<int32_t>(raw.size()) == memo.ParagraphCount());
        auto position = [&](uint16_t at, int32_t& paragraph, int32_t& offset) {
            paragraph = static_cast<int32_t>((at >> 8) % raw.size());
            offset = static_cast<int32_t>((at & 0xFF) % (raw[static_cast<size_t>(paragraph)].Text.size() + 1));
        };
        int32_t p1, o1, p2, o2;
        position(step.From, p1, o1);
        position(step.To, p2, o2);
        if (std::make_pair(p2, o2) < std::make_pair(p1, o1)) {
            std::swap(p1, p2);
            std::swap(o1, o2);
        }
        memo.SetSelStart(memo.ParagraphStart(p1) + o1);
        memo.SetSelLength(memo.ParagraphStart(p2) + o2 - memo.SelStart());
        memo.SetSelText(step.Inserted);
        if (HoldsLF(memo))
            return;
        // The inserted text splits into paragraphs by the editor's own rule;
        // the file spells the new breaks in its most frequent kind.
        std::vector<std::string> pieces;
        SplitIntoPieces(step.Inserted, pieces);
        std::string spelt = pieces.front();
        for (size_t i = 1; i < pieces.size(); ++i) {
            spelt += newBreak;
            spelt += pieces[i];
        }
        const std::string expected = page.substr(0, RawOffset(raw, p1, o1)) + spelt + page.substr(RawOffset(raw, p2, o2));
        const std::string bytes = text.Bytes();
        // Only where the splice would read as other paragraphs (a lone CR
        // and a lone LF brought together) may the document spell a break
        // otherwise.
        if (SplitRaw(expected).size() == static_cast<size_t>(memo.ParagraphCount()))
            FuzzCheck(bytes == expected);
        CheckReadsBack(bytes, memo);
        page = bytes;
    }
}

void FuzzLines(TFuzzInput& input) {
    const std::string text = input.Rest();
    std::string joined;
    size_t lines = 0;
    bool lastHadBreak = true;
    ForEachLine(text, [&](std::string_view line, std::string_view lineBreak) {
        FuzzCheck(line.find_first_of("\r\n") == std::string_view::npos);
        FuzzCheck(lineBreak == "\r\n" || lineBreak == "\r" || lineBreak == "\n" || lineBreak.empty());
        FuzzCheck(lastHadBreak);
        lastHadBreak = !lineBreak.empty();
        joined += line;
        joined += lineBreak;
        ++lines;
    });
    FuzzCheck(joined == text);
    // A string list holds the same lines.
    TStringList list;
    list.SetText(text);
    FuzzCheck(list.Count() == static_cast<int>(lines));
    // The clipboard: CR LF for every break coming in, LF going out.
    const std::string in = FromClipboardLineBreaks(text);
    std::string expected;
    ForEachLine(text, [&](std::string_view line, std::string_view lineBreak) {
        expected += line;
        if (!lineBreak.empty())
            expected += "\r\n";
    });
    FuzzCheck(in == expected);
    const std::string out = ToClipboardLineBreaks(in);
    FuzzCheck(out.find('\r') == std::string::npos);
    FuzzCheck(FromClipboardLineBreaks(out) == in);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Start();
    TFuzzInput input(data, size);
    RunChosenEntry(input, {FuzzPage, FuzzLines});
    return 0;
}
