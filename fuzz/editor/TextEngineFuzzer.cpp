// Fuzz entry point for the editor's text engine.  The first bytes choose
// options and edits; the rest is loaded as a document.  Every step must keep
// the store consistent; undoing must pass only through texts the memo had,
// newest first, back to the loaded text; and the formatted snapshot of the
// result must load back to the same text.

#include "editor/CodeMemo.h"

#include "platform/base/Exceptions.h"
#include "platform/base/Stream.h"

#include "fuzz/FuzzInput.h"
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


}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TFuzzInput input(data, size);
    uint8_t flags = input.Byte();
    uint8_t edits = input.Byte() % 32;
    std::string script = input.Bytes(static_cast<size_t>(edits) * 4);
    std::string document = input.Rest();

    TFuzzMeasure measure;
    TCodeMemo memo;
    memo.SetStaticFormat((flags & 1) != 0);
    memo.SetWordWrap((flags & 2) != 0);
    if (flags & 4)
        memo.SetOptions(memo.Options().Include(pmoDiscardTrailingSpaces));
    memo.SetUndoMaxSpace(1 << 24);
    memo.SetUpdateMode(umImmediate);
    memo.SetMeasuringContext(&measure, 40 + (flags >> 3) * 8);
    memo.CheckConsistency();

    TReadOnlyMemoryStream stream(document.data(), static_cast<int64_t>(document.size()));
    memo.LoadFromStream(stream);
    memo.CheckConsistency();
    const std::string loaded = memo.Text();
    std::vector<std::string> history{loaded};

    for (size_t i = 0; i + 3 < script.size(); i += 4) {
        int32_t length = memo.TextLength();
        int32_t at = length > 0 ? (static_cast<uint8_t>(script[i]) * 257 + static_cast<uint8_t>(script[i + 1])) % (length + 1)
                                : 0;
        int32_t span = static_cast<int8_t>(script[i + 2]) % 9;
        memo.SetSelStart(at);
        memo.SetSelLength(span);
        uint8_t what = static_cast<uint8_t>(script[i + 3]);
        if (what < 64) {
            memo.SetSelText(std::string(1, static_cast<char>(what)) + "\r\n" + static_cast<char>(what ^ 0x0D));
        } else if (what < 128) {
            memo.SetSelText({});
        } else if (what < 160) {
            memo.Undo();
        } else if (what < 176) {
            memo.Redo();
        } else if (what < 192) {
            memo.ToggleStyle(kCodeBold);
        } else if (what < 208) {
            memo.SetBlock(what & 7, what & 15);
            memo.SetSelText("|");
        } else if (what < 216) {
            memo.PasteBlock(std::string("ab\r\n\x02") + static_cast<char>(what) + "\r\n");
        } else {
            memo.FindTxt(std::string(1, static_cast<char>(what)), (what & 1) != 0, false, (what & 2) != 0,
                         (what & 4) != 0);
        }
        memo.CheckConsistency();
        history.push_back(memo.Text());
    }

    CheckUndoWalksBack(memo, history);
    while (memo.CanRedo())
        memo.Redo();
    memo.CheckConsistency();

    TMemoryStream snapshot;
    memo.SaveFormatted(snapshot);
    snapshot.SetPosition(0);
    TCodeMemo copy;
    copy.LoadFormatted(snapshot, false);
    copy.CheckConsistency();
    FuzzCheck(copy.Text() == memo.Text());
    return 0;
}
