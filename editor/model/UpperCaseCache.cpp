// The upper-case paragraph cache that text search and case-insensitive key
// matching compare against: one paragraph's upper-cased copy, extended as a
// scan moves on, so that each character is folded once.

#include "editor/model/CodeDocument.h"

#include <algorithm>

const char* TCodeDocument::UpperCaseParagraph(TParagraph* paragraph, int32_t index, int32_t start, int32_t count) {
    if (paragraph == nullptr)
        paragraph = Paragraph(index);
    // Never read past the paragraph, whatever the caller asks for.
    start = std::clamp(start, 0, paragraph->Length());
    count = std::clamp(count, 0, paragraph->Length() - start);
    // Read where the text stands (key matching looks here around an edit).
    const TParagraphText& whole = paragraph->Text;
    std::string scratch;
    // A copy folded by another rule (or another user routine) is stale.
    const TpmUpperCase rule = FoldingRule();
    if (upperRule_ != rule || upperGeneration_ != UpperCaseGeneration()) {
        upperIndex_ = -1;
        upperRule_ = rule;
        upperGeneration_ = UpperCaseGeneration();
    }
    auto cachedLength = static_cast<int32_t>(upperBuffer_.size());
    bool hit = upperIndex_ == index && start + count >= upperStart_ && start <= upperStart_ + cachedLength;
    if (!hit) {
        upperBuffer_.assign(whole.Piece(static_cast<size_t>(start), static_cast<size_t>(start + count), scratch));
        UpperCaseBuffer(rule, upperBuffer_.data(), count);
        upperIndex_ = index;
        upperStart_ = start;
    } else {
        int32_t front = upperStart_ - start;
        if (front > 0) {
            // Extend to the front: fold only the new characters.
            upperBuffer_.insert(0, UpperCased(rule, whole.Piece(static_cast<size_t>(start),
                                                                static_cast<size_t>(start + front), scratch)));
            upperStart_ = start;
        }
        int32_t end = start + count;
        int32_t cachedEnd = upperStart_ + static_cast<int32_t>(upperBuffer_.size());
        if (end > cachedEnd)
            upperBuffer_ += UpperCased(rule, whole.Piece(static_cast<size_t>(cachedEnd), static_cast<size_t>(end), scratch));
    }
    return upperBuffer_.data() + (start - upperStart_);
}
