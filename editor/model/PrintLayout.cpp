#include "editor/model/PrintLayout.h"

#include "editor/model/CodeDocument.h"
#include "editor/model/StyleCodes.h"

TPrintLayout::TPrintLayout(TCodeDocument& document, const TCodeMeasure* measure, int32_t width) {
    // Contexts and keywords (which line breaking measures in) are made as
    // the document formats; its own lines are then up to date too.
    document.Layout().FormatPending();
    document.ParseUpTo(document.ParagraphCount() - 1);
    lines_.resize(static_cast<size_t>(document.ParagraphCount()));
    uint8_t style = 0;
    for (int32_t i = 0; i < document.ParagraphCount(); ++i) {
        const TParagraph& paragraph = *document.Paragraph(i);
        std::vector<TLineRecord>& lines = lines_[static_cast<size_t>(i)];
        if (measure != nullptr) {
            document.Layout().BreakApart(*measure, width, i, style, lines);
        } else {
            lines.assign(1, TLineRecord{});
            lines.front().Stop = paragraph.Length();
            lines.front().Style = style;
        }
        lineCount_ += static_cast<int32_t>(lines.size());
        if (document.StaticFormat())
            style = FoldStyleCodes(style, paragraph.Text);
    }
}
