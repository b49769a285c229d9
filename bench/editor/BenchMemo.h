#pragma once
// The memo set-up the editor benchmarks share: "Courier New", 10 points,
// measured at a client width of 800 pixels, text loaded from bytes.

#include "editor/CodeMemo.h"

#include "platform/base/Stream.h"

#include <string>

namespace bench {

constexpr int kClientWidth = 800;

inline void SetBenchFont(TCodeMemo& memo) {
    memo.Font().SetName("Courier New");
    memo.Font().SetSize(10);
}

inline void LoadBytes(TCodeMemo& memo, const std::string& text) {
    TReadOnlyMemoryStream stream(text.data(), static_cast<int64_t>(text.size()));
    memo.LoadFromStream(stream);
}

// Deletes what was typed at position, and its undo entries, so that a
// typing benchmark keeps its paragraph from growing without bound.
inline void EraseTyped(TCodeMemo& memo, int32_t position, int32_t typed) {
    memo.SetSelStart(position);
    memo.SetSelLength(typed);
    memo.SetSelText({});
    memo.ClearUndo();
}

} // namespace bench
