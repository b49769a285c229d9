// Text search and the upper-case paragraph cache it (and case-insensitive
// key matching) compares against.

#include "editor/CodeMemo.h"

#include <algorithm>

const char* TCodeMemo::UpperCaseParagraph(TParagraph* paragraph, int32_t index, int32_t start, int32_t count) {
    if (paragraph == nullptr)
        paragraph = Paragraph(index);
    // Never read past the paragraph, whatever the caller asks for.
    start = std::clamp(start, 0, paragraph->Length());
    count = std::clamp(count, 0, paragraph->Length() - start);
    const std::string_view whole(paragraph->Text);
    // A copy folded by another rule (or another user routine) is stale.
    if (upperRule_ != upperCaseType_ || upperGeneration_ != UpperCaseGeneration()) {
        upperIndex_ = -1;
        upperRule_ = upperCaseType_;
        upperGeneration_ = UpperCaseGeneration();
    }
    auto cachedLength = static_cast<int32_t>(upperBuffer_.size());
    bool hit = upperIndex_ == index && start + count >= upperStart_ && start <= upperStart_ + cachedLength;
    if (!hit) {
        upperBuffer_.assign(whole, static_cast<size_t>(start), static_cast<size_t>(count));
        UpperCaseBuffer(upperCaseType_, upperBuffer_.data(), count);
        upperIndex_ = index;
        upperStart_ = start;
    } else {
        int32_t front = upperStart_ - start;
        if (front > 0) {
            // Extend to the front: fold only the new characters.
            upperBuffer_.insert(0, UpperCased(upperCaseType_, whole.substr(static_cast<size_t>(start),
                                                                           static_cast<size_t>(front))));
            upperStart_ = start;
        }
        int32_t end = start + count;
        int32_t cachedEnd = upperStart_ + static_cast<int32_t>(upperBuffer_.size());
        if (end > cachedEnd)
            upperBuffer_ += UpperCased(upperCaseType_, whole.substr(static_cast<size_t>(cachedEnd),
                                                                    static_cast<size_t>(end - cachedEnd)));
    }
    return upperBuffer_.data() + (start - upperStart_);
}

bool TCodeMemo::FindTxt(std::string_view text, bool forward, bool fromBoundary, bool wholeWord, bool matchCase) {
    // Searching for nothing finds nothing.
    if (text.empty())
        return false;
    const std::string needle = matchCase ? std::string(text) : UpperCased(upperCaseType_, text);
    const auto needleLength = static_cast<int32_t>(needle.size());

    auto paragraphText = [&](int32_t index) -> std::string_view {
        TParagraph& p = paragraphs_[index];
        if (matchCase)
            return p.Text;
        return {UpperCaseParagraph(&p, index, 0, p.Length()), static_cast<size_t>(p.Length())};
    };
    // The neighbours of a whole word are the text's own characters, not
    // their upper-cased copies (the separators may hold lower-case ones).
    auto isWord = [&](int32_t index, size_t at) {
        if (!wholeWord)
            return true;
        std::string_view text = paragraphs_[index].Text;
        if (at > 0 && !IsSeparator(static_cast<unsigned char>(text[at - 1])))
            return false;
        size_t after = at + needle.size();
        return after >= text.size() || IsSeparator(static_cast<unsigned char>(text[after]));
    };

    TCodeNavigator& caret = CaretNavigator();
    const int32_t count = paragraphs_.Count();
    int32_t index;
    int32_t position;
    if (fromBoundary) {
        index = forward ? 0 : count - 1;
        position = forward ? 0 : paragraphs_[index].Length();
    } else {
        index = caret.ParNumber();
        position = std::min(caret.ParOffset(), paragraphs_[index].Length());
    }

    if (forward) {
        for (; index < count; ++index, position = 0) {
            std::string_view haystack = paragraphText(index);
            size_t at = haystack.find(needle, static_cast<size_t>(position));
            while (at != std::string_view::npos && !isWord(index, at))
                at = haystack.find(needle, at + 1);
            if (at != std::string_view::npos) {
                SetSelStart(paragraphs_.Start(index) + static_cast<int32_t>(at) + needleLength);
                SetSelLength(-needleLength);
                return true;
            }
        }
        return false;
    }
    for (; index >= 0; --index) {
        std::string_view haystack = paragraphText(index);
        // The last occurrence that begins before the start position.
        if (position > 0) {
            size_t at = haystack.rfind(needle, static_cast<size_t>(position - 1));
            while (at != std::string_view::npos && !isWord(index, at))
                at = at == 0 ? std::string_view::npos : haystack.rfind(needle, at - 1);
            if (at != std::string_view::npos) {
                SetSelStart(paragraphs_.Start(index) + static_cast<int32_t>(at));
                SetSelLength(needleLength);
                return true;
            }
        }
        if (index > 0)
            position = paragraphs_[index - 1].Length() + 1;
    }
    return false;
}
