#include "platform/gfx/TextDrawing.h"

#include "platform/base/Utf8.h"
#include "platform/gfx/Canvas.h"

#include <QChar>

TAccessKeyText ParseAccessKey(std::string_view text) {
    TAccessKeyText shown;
    shown.Text.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&') {
            if (++i == text.size())
                break;
            if (text[i] != '&')
                shown.Key = static_cast<int>(shown.Text.size());
        }
        shown.Text += text[i];
    }
    return shown;
}

char32_t AccessKeyOf(std::string_view caption) {
    TAccessKeyText shown = ParseAccessKey(caption);
    if (shown.Key < 0)
        return 0;
    size_t at = static_cast<size_t>(shown.Key);
    return Utf8CharacterAt(shown.Text, at);
}

bool SameKeyCharacter(char32_t typed, char32_t shown) {
    return typed != 0 && QChar::toCaseFolded(typed) == QChar::toCaseFolded(shown);
}

bool IsAccessKey(char32_t typed, std::string_view caption) { return SameKeyCharacter(typed, AccessKeyOf(caption)); }

std::string StripAccessKeys(std::string_view caption) { return ParseAccessKey(caption).Text; }

namespace {

TAccessKeyText shownText(std::string_view text, bool noPrefix) {
    if (noPrefix)
        return {std::string(text), -1};
    return ParseAccessKey(text);
}

} // namespace

std::string EllipsisText(TCanvas& canvas, std::string_view text, int width) {
    if (canvas.TextWidth(text) <= width)
        return std::string(text);
    const std::string dots = "...";
    int room = width - canvas.TextWidth(dots);
    if (room < 0) {
        std::string part;
        for (char dot : dots) {
            if (canvas.TextWidth(part + dot) > width)
                break;
            part += dot;
        }
        return part;
    }
    // Each character adds its own advance, so the fitting start is found in
    // one pass; the text is cut between whole characters only.
    size_t length = 0;
    int used = 0;
    while (length < text.size()) {
        const size_t next = Utf8NextChar(text, length);
        int advance = canvas.TextWidth(text.substr(length, next - length));
        if (used + advance > room)
            break;
        used += advance;
        length = next;
    }
    return std::string(text.substr(0, length)) + dots;
}

TSize MeasureTextLine(TCanvas& canvas, std::string_view text, const TTextLineFormat& format) {
    TAccessKeyText shown = shownText(text, format.NoPrefix);
    return {canvas.TextWidth(shown.Text), canvas.TextMetrics().Height};
}

TRect DrawTextLine(TCanvas& canvas, std::string_view text, const TRect& rect, const TTextLineFormat& format) {
    TAccessKeyText shown = shownText(text, format.NoPrefix);
    if (format.EndEllipsis) {
        std::string cut = EllipsisText(canvas, shown.Text, rect.Width());
        if (cut.size() != shown.Text.size() || cut != shown.Text) {
            // The key is underlined only while it is still shown whole.
            if (shown.Key >= 0 &&
                static_cast<size_t>(shown.Key) + Utf8CharLength(shown.Text, static_cast<size_t>(shown.Key)) + 3 > cut.size())
                shown.Key = -1;
            shown.Text = std::move(cut);
        }
    }
    const TTextMetric& metrics = canvas.TextMetrics();
    int width = canvas.TextWidth(shown.Text);
    int x = format.Align == thCenter ? rect.Left + (rect.Width() - width) / 2
            : format.Align == thRight ? rect.Right - width
                                      : rect.Left;
    int y = format.VCenter ? rect.Top + (rect.Height() - metrics.Height) / 2 : rect.Top;
    unsigned oldAlign = canvas.SetTextAlign(TA_LEFT | TA_TOP);
    canvas.ExtTextOut(x, y, ETO_CLIPPED, &rect, shown.Text);
    canvas.SetTextAlign(oldAlign);
    if (shown.Key >= 0) {
        std::string_view all = shown.Text;
        int from = x + canvas.TextWidth(all.substr(0, static_cast<size_t>(shown.Key)));
        const size_t length = Utf8CharLength(all, static_cast<size_t>(shown.Key));
        int to = from + canvas.TextWidth(all.substr(static_cast<size_t>(shown.Key), length));
        int underline = y + metrics.Ascent + 1;
        if (underline >= rect.Top && underline < rect.Bottom)
            canvas.FillRect(Rect(std::max(from, rect.Left), underline, std::min(to, rect.Right), underline + 1),
                            canvas.Font().Color());
    }
    TRect covered = Rect(x, y, x + width, y + metrics.Height);
    IntersectRect(covered, covered, rect);
    return covered;
}
