#include "editor/CodeHighlighter.h"

#include "editor/CodeMemo.h"

#include <algorithm>

TCodeHighlighter::TCodeHighlighter(TComponent* owner) : TComponent(owner) {}

TCodeHighlighter::~TCodeHighlighter() {
    // Each memo leaves the list through its setter, so work on a copy.
    std::vector<TCodeMemo*> memos = memos_;
    for (TCodeMemo* memo : memos)
        memo->SetHighlighter(nullptr);
    memos_.clear();
}

void TCodeHighlighter::ReApplyToMemos() {
    std::vector<TCodeMemo*> memos = memos_;
    for (TCodeMemo* memo : memos)
        memo->ReApplyKeywords();
}

void TCodeHighlighter::addMemo(TCodeMemo* memo) {
    if (std::find(memos_.begin(), memos_.end(), memo) == memos_.end())
        memos_.push_back(memo);
}

void TCodeHighlighter::removeMemo(TCodeMemo* memo) {
    auto it = std::find(memos_.begin(), memos_.end(), memo);
    if (it != memos_.end())
        memos_.erase(it);
}
