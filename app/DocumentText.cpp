#include "app/DocumentText.h"

#include "editor/CodeMemo.h"
#include "editor/model/PageEncoding.h"

#include "platform/base/SafeFile.h"
#include "platform/base/Stream.h"

TDocumentText::TDocumentText(TCodeMemo& editor) : editor_(editor) {
    breaks_.Reset(editor_.ParagraphCount());
    editor_.Document().AddWatcher(this);
}

TDocumentText::~TDocumentText() { editor_.Document().RemoveWatcher(this); }

void TDocumentText::TextChanged(TCodeDocument&, const TTextChange& change) {
    breaks_.ParagraphsReplaced(change.FirstParagraph, change.LastParagraph, change.ParagraphDelta);
    breaks_.Settle(change.FirstParagraph, change.LastParagraph + change.ParagraphDelta,
                   [this](int32_t paragraph) { return editor_.Paragraph(paragraph)->Text.empty(); });
}

void TDocumentText::TextReplaced(TCodeDocument&) {
    // A text loaded by someone else: every break is new.  Loads of our own
    // put the file's breaks in place afterwards.
    breaks_.Reset(editor_.ParagraphCount());
}

void TDocumentText::LoadFromFile(const std::string& fileName) {
    TMemoryStream file;
    file.LoadFromFile(fileName);
    // The encoding is set before the text comes, so the text is laid out
    // once, for it.
    const TTextEncoding before = editor_.Encoding();
    editor_.SetEncoding(DetectPageEncoding(file.DataView()));
    try {
        SetText(file.DataView());
    } catch (...) {
        editor_.SetEncoding(before);
        throw;
    }
}

void TDocumentText::SetText(std::string_view text) {
    TLineBreaks breaks = TLineBreaks::Scan(text);
    TReadOnlyMemoryStream stream(text.data(), static_cast<int64_t>(text.size()));
    editor_.LoadFromStream(stream);
    breaks_ = std::move(breaks);
    editor_.LineBreak = breaks_.NewBreak();
}

void TDocumentText::ReplaceAll(std::string_view text) {
    const TCodeLineBreak kind = breaks_.NewBreak();
    SetText(text);
    breaks_.SetNewBreak(kind);
    breaks_.Reset(editor_.ParagraphCount());
    editor_.LineBreak = kind;
    editor_.Modified = true;
}

std::string TDocumentText::Bytes() const {
    return breaks_.Join(editor_.ParagraphCount(),
                        [this](int32_t i) -> std::string_view { return editor_.Paragraph(i)->Text; });
}

void TDocumentText::SaveToFile(const std::string& fileName) const { WriteFileReplacing(fileName, Bytes()); }
