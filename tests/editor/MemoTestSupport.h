#pragma once
// Helpers shared by the tests of the memo control: the document's helpers
// for a memo.

#include "editor/CodeMemo.h"
#include "tests/editor/DocumentTestSupport.h"

inline void LoadText(TCodeMemo& memo, std::string_view text) { LoadText(memo.Document(), text); }
inline std::string SaveText(TCodeMemo& memo) { return SaveText(memo.Document()); }
inline void Select(TCodeMemo& memo, int32_t from, int32_t to) { Select(memo.Selection(), from, to); }
