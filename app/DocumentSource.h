#pragma once
// A document's bytes by offset for the tag searches (TagText.h), read in
// place from its paragraphs: a run of neighbouring offsets costs one
// paragraph look-up, so a search costs what it reads, whatever the size
// of the document.

#include "app/TagText.h"

class TCodeDocument;
struct TParagraph;

class TDocumentSource : public TTextSource {
public:
    explicit TDocumentSource(const TCodeDocument& document) : document_(document) {}
    int32_t Length() const override;
    char At(int32_t offset) override;

private:
    const TCodeDocument& document_;
    // The paragraph read last: its index, first offset and record.
    int32_t index_ = -1;
    int32_t start_ = 0;
    int32_t end_ = 0; // one past its break
    const TParagraph* paragraph_ = nullptr;
};
