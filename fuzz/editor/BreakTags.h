#pragma once
// A break speller that gives every break a tag of its own, so that a check
// can see whether undo and redo bring back each break that an edit took
// away, not merely a break: the document's text spelt with the tags
// (SpeltText) must come back whole.  New breaks take the next tag of a
// running count.

#include "editor/model/CodeDocument.h"

#include <string>

class TBreakTags : private TDocumentWatcher, private TBreakSpeller {
public:
    explicit TBreakTags(TCodeDocument& document) : document_(document) {
        tags_.assign(static_cast<size_t>(document.ParagraphCount() - 1), '\0');
        for (char& tag : tags_)
            tag = nextTag();
        document_.AddWatcher(this);
        document_.SetBreakSpeller(this);
    }
    ~TBreakTags() override {
        document_.SetBreakSpeller(nullptr);
        document_.RemoveWatcher(this);
    }
    TBreakTags(const TBreakTags&) = delete;
    TBreakTags& operator=(const TBreakTags&) = delete;

    // The paragraphs joined by their breaks' tags (break bytes show as
    // "\r\n" + tag).
    std::string SpeltText() const {
        std::string text;
        for (int32_t i = 0; i < document_.ParagraphCount(); ++i) {
            text += document_.ParagraphText(i);
            if (i < static_cast<int32_t>(tags_.size()))
                text.append("\r\n").push_back(tags_[static_cast<size_t>(i)]);
        }
        return text;
    }

private:
    // The breaks inside the range: those the edit removes.
    std::string KeepBreaks(int32_t first, int32_t last) const override {
        return tags_.substr(static_cast<size_t>(first), static_cast<size_t>(last - first));
    }
    void TextChanged(TCodeDocument&, const TTextChange& change) override {
        const auto first = static_cast<size_t>(change.FirstParagraph);
        const auto made = static_cast<size_t>(change.LastParagraph - change.FirstParagraph + change.ParagraphDelta);
        std::string tags(change.KeptBreaks);
        if (tags.size() != made) {
            tags.resize(made);
            for (char& tag : tags)
                tag = nextTag();
        }
        tags_.replace(first, static_cast<size_t>(change.LastParagraph - change.FirstParagraph), tags);
    }
    void TextReplaced(TCodeDocument&) override {
        tags_.assign(static_cast<size_t>(document_.ParagraphCount() - 1), '\0');
        for (char& tag : tags_)
            tag = nextTag();
    }
    char nextTag() { return static_cast<char>(count_++ & 0xFF); }

    TCodeDocument& document_;
    std::string tags_;
    unsigned count_ = 0;
};
