// Fuzz entry point for the editor's text engine.  The first bytes choose
// options and edits; the rest is loaded as a document.  Every step must keep
// the store consistent; undoing must pass only through texts the document
// had, newest first, back to the loaded text; and the formatted snapshot of
// the result must load back to the same text.  It runs on the document and
// its selection alone, without a memo.

#include "editor/model/CodeDocument.h"
#include "editor/model/TextSelection.h"

#include "platform/base/Exceptions.h"
#include "platform/base/Stream.h"
#include "platform/base/Utf8.h"

#include "fuzz/FuzzInput.h"
#include "fuzz/editor/BreakTags.h"
#include "fuzz/editor/UndoHistory.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// A fixed-pitch measure so that line breaking runs too.
class TFuzzMeasure : public TCodeMeasure {
public:
    TFuzzMeasure() {
        for (int i = 0; i < 256; ++i)
            advances_[static_cast<size_t>(i)] = 3 + i % 7;
    }
    const int32_t* AdvanceTable(uint8_t style) const override { return advances_.data(); }

private:
    std::array<int32_t, 256> advances_{};
};


// In UTF-8 no display line starts inside a character: line breaking steps
// over characters whole.
void CheckLinesStartOnCharacters(const TCodeDocument& document) {
    if (!document.IsUtf8())
        return;
    const TParagraphsList& paragraphs = document.ParagraphList();
    for (int32_t index = 0; index < paragraphs.Count(); ++index) {
        const TParagraph& paragraph = paragraphs[index];
        for (int32_t line = 0; line < paragraph.LineCount(); ++line)
            FuzzCheck(IsUtf8CharBoundary(paragraph.Text, static_cast<size_t>(paragraph.Line(line).Start)));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TFuzzInput input(data, size);
    uint8_t flags = input.Byte();
    uint8_t edits = input.Byte() % 32;
    std::string script = input.Bytes(static_cast<size_t>(edits) * 4);
    std::string text = input.Rest();

    TFuzzMeasure measure;
    TCodeDocument document;
    TTextSelection selection(document);
    // Every break tagged: undo must give back the very breaks it removed.
    TBreakTags tags(document);
    document.SetStaticFormat((flags & 1) != 0);
    document.Layout().SetWordWrap((flags & 2) != 0);
    if (flags & 4)
        document.SetOptions(document.Options().Include(pmoDiscardTrailingSpaces));
    document.UndoHistory().SetMaxSpace(1 << 24);
    document.Layout().SetUpdateMode(umImmediate);
    document.Layout().SetMeasure(&measure, 40 + (flags >> 3) * 8);
    // The width's lowest bit picks the encoding.
    document.SetEncoding((flags & 8) != 0 ? teUtf8 : teAnsi);
    document.CheckConsistency();

    TReadOnlyMemoryStream stream(text.data(), static_cast<int64_t>(text.size()));
    document.LoadFromStream(stream);
    document.CheckConsistency();
    const std::string loaded = document.Text();
    std::vector<std::string> history{tags.SpeltText()};

    for (size_t i = 0; i + 3 < script.size(); i += 4) {
        int32_t length = document.TextLength();
        int32_t at = length > 0 ? (static_cast<uint8_t>(script[i]) * 257 + static_cast<uint8_t>(script[i + 1])) % (length + 1)
                                : 0;
        int32_t span = static_cast<int8_t>(script[i + 2]) % 9;
        selection.SetSelStart(at);
        selection.SetSelLength(span);
        uint8_t what = static_cast<uint8_t>(script[i + 3]);
        if (what < 64) {
            selection.SetSelText(std::string(1, static_cast<char>(what)) + "\r\n" + static_cast<char>(what ^ 0x0D));
        } else if (what < 128) {
            selection.SetSelText({});
        } else if (what < 160) {
            selection.Undo();
        } else if (what < 176) {
            selection.Redo();
        } else if (what < 192) {
            selection.ToggleStyle(kCodeBold);
        } else if (what < 208) {
            selection.SetBlock(what & 7, what & 15);
            selection.SetSelText("|");
        } else if (what < 216) {
            selection.PasteBlock(std::string("ab\r\n\x02") + static_cast<char>(what) + "\r\n", selection.CaretTextColumn());
        } else {
            selection.FindTxt(std::string(1, static_cast<char>(what)), (what & 1) != 0, false, (what & 2) != 0,
                         (what & 4) != 0);
        }
        document.CheckConsistency();
        CheckLinesStartOnCharacters(document);
        history.push_back(tags.SpeltText());
    }

    CheckUndoWalksBack(selection, history, [&] { return tags.SpeltText(); });
    while (document.UndoHistory().CanRedo())
        selection.Redo();
    document.CheckConsistency();

    TMemoryStream snapshot;
    document.SaveFormatted(snapshot);
    snapshot.SetPosition(0);
    TCodeDocument copy;
    copy.LoadFormatted(snapshot, false);
    copy.CheckConsistency();
    FuzzCheck(copy.Text() == document.Text());
    return 0;
}
