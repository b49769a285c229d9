#include "app/DocumentSource.h"

#include "editor/model/CodeDocument.h"

int32_t TDocumentSource::Length() const { return document_.TextLength(); }

char TDocumentSource::At(int32_t offset) {
    if (paragraph_ == nullptr || offset < start_ || offset >= end_) {
        const TParagraphsList& paragraphs = document_.ParagraphList();
        const int32_t count = paragraphs.Count();
        // Searches walk paragraph by paragraph: the neighbours come first.
        int32_t index = -1;
        if (paragraph_ != nullptr && offset >= end_ && index_ + 1 < count && offset < paragraphs.Start(index_ + 1) +
                                                                                           paragraphs[index_ + 1].Length() + 2)
            index = index_ + 1;
        else if (paragraph_ != nullptr && offset < start_ && index_ > 0 && offset >= paragraphs.Start(index_ - 1))
            index = index_ - 1;
        else
            index = paragraphs.IndexOfOffset(offset);
        index_ = index;
        paragraph_ = &paragraphs[index];
        start_ = paragraphs.Start(index);
        end_ = start_ + paragraph_->Length() + 2;
    }
    return paragraph_->CharAt(offset - start_);
}
