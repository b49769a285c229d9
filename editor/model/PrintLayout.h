#pragma once
// TPrintLayout: a document's text laid out for another measure and width
// (a printer's), apart from the document's own display lines.  What a
// printout paginates; the document and its view are not touched.

#include "editor/model/CodeMeasure.h"
#include "editor/model/TextStore.h"

#include <cstdint>
#include <vector>

class TCodeDocument;

class TPrintLayout {
public:
    // Brings the document's highlighting up to date, then breaks every
    // paragraph for the measure and width; without a measure every
    // paragraph is one line.
    TPrintLayout(TCodeDocument& document, const TCodeMeasure* measure, int32_t width);

    int32_t LineCount() const { return lineCount_; }
    int32_t ParagraphCount() const { return static_cast<int32_t>(lines_.size()); }
    const std::vector<TLineRecord>& Lines(int32_t paragraph) const { return lines_[static_cast<size_t>(paragraph)]; }

private:
    std::vector<std::vector<TLineRecord>> lines_;
    int32_t lineCount_ = 0;
};
