#include "platform/ui/RichTextView.h"

#include <algorithm>

TRichTextView::TRichTextView(TComponent* owner) : TCustomControl(owner), lines_(std::make_unique<TStringList>()) {
    SetBounds(0, 0, 185, 89);
    SetColor(clWindow);
    SetParentColor(false);
    lines_->OnChange = [this](TStringList&) { linesChanged(); };
}

TRichTextView::~TRichTextView() { lines_->OnChange = nullptr; }

void TRichTextView::SetAlignment(TAlignment value) {
    if (value == alignment_)
        return;
    alignment_ = value;
    Invalidate();
}

void TRichTextView::linesChanged() {
    formats_.assign(Text().size(), TCharFormat{});
    Invalidate();
}

int TRichTextView::FindText(std::string_view text, int from) const {
    const std::string all = Text();
    const size_t at = all.find(text, static_cast<size_t>(std::max(from, 0)));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

template <class TFormatter> void TRichTextView::formatRun(int start, int length, TFormatter format) {
    const int size = static_cast<int>(formats_.size());
    const int first = std::clamp(start, 0, size);
    const int last = std::clamp(start + std::max(length, 0), first, size);
    for (int i = first; i < last; ++i)
        format(formats_[static_cast<size_t>(i)]);
    Invalidate();
}

void TRichTextView::SetRunColor(int start, int length, TColor color) {
    formatRun(start, length, [color](TCharFormat& format) {
        format.OwnColor = true;
        format.Color = color;
    });
}

void TRichTextView::SetRunStyle(int start, int length, TFontStyles style) {
    formatRun(start, length, [style](TCharFormat& format) {
        format.OwnStyle = true;
        format.Style = style;
    });
}

TColor TRichTextView::ColorAt(int offset) const {
    if (offset >= 0 && offset < static_cast<int>(formats_.size()) && formats_[static_cast<size_t>(offset)].OwnColor)
        return formats_[static_cast<size_t>(offset)].Color;
    return Font().Color();
}

TFontStyles TRichTextView::StyleAt(int offset) const {
    if (offset >= 0 && offset < static_cast<int>(formats_.size()) && formats_[static_cast<size_t>(offset)].OwnStyle)
        return formats_[static_cast<size_t>(offset)].Style;
    return Font().Style();
}

void TRichTextView::Paint() {
    TCanvas& canvas = Canvas();
    canvas.FillRect(ClientRect(), Color());
    canvas.SetBkMode(TRANSPARENT);
    int top = 1;
    int lineStart = 0;
    for (int i = 0; i < lines_->Count() && top < ClientHeight(); ++i) {
        const std::string line = lines_->Strings(i);
        top += paintLine(lineStart, line, top);
        lineStart += static_cast<int>(line.size()) + 2;
    }
}

int TRichTextView::paintLine(int lineStart, const std::string& line, int top) {
    TCanvas& canvas = Canvas();
    // Runs of characters formatted alike, each measured in its own style.
    struct TRun {
        size_t From;
        size_t Length;
        TColor Color;
        TFontStyles Style;
        int Width;
    };
    std::vector<TRun> runs;
    int width = 0;
    for (size_t i = 0; i < line.size();) {
        const int offset = lineStart + static_cast<int>(i);
        const TColor color = ColorAt(offset);
        const TFontStyles style = StyleAt(offset);
        size_t end = i + 1;
        while (end < line.size() && ColorAt(lineStart + static_cast<int>(end)) == color &&
               StyleAt(lineStart + static_cast<int>(end)) == style)
            ++end;
        canvas.SetFont(Font());
        canvas.Font().SetStyle(style);
        const int runWidth = canvas.TextWidth(std::string_view(line).substr(i, end - i));
        runs.push_back({i, end - i, color, style, runWidth});
        width += runWidth;
        i = end;
    }
    canvas.SetFont(Font());
    const int height = canvas.TextHeight("Wg");
    int x = alignment_ == taLeftJustify ? 2
            : alignment_ == taCenter    ? (ClientWidth() - width) / 2
                                        : ClientWidth() - 2 - width;
    for (const TRun& run : runs) {
        canvas.SetFont(Font());
        canvas.Font().SetStyle(run.Style);
        canvas.Font().SetColor(run.Color);
        canvas.TextOut(x, top, std::string_view(line).substr(run.From, run.Length));
        x += run.Width;
    }
    return height;
}
