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

namespace {

// cut with characters taken out of its middle and "..." put there, then
// kept, at most width pixels wide: alternately a character more of the
// start and of the end while it fits.
std::string middleEllipsis(TCanvas& canvas, std::string_view cut, std::string_view kept, int width) {
    const std::string dots = "...";
    const int room = width - canvas.TextWidth(dots) - canvas.TextWidth(kept);
    if (room < 0)
        return EllipsisText(canvas, std::string(cut) + std::string(kept), width);
    size_t front = 0, back = cut.size();
    bool frontOpen = true, backOpen = true;
    int used = 0;
    auto take = [&](size_t from, size_t to) {
        const int advance = canvas.TextWidth(cut.substr(from, to - from));
        if (used + advance > room)
            return false;
        used += advance;
        return true;
    };
    while ((frontOpen || backOpen) && front < back) {
        if (frontOpen) {
            const size_t next = Utf8NextChar(cut, front);
            frontOpen = next <= back && take(front, next);
            if (frontOpen)
                front = next;
        }
        if (backOpen && front < back) {
            const size_t previous = Utf8PreviousChar(cut, back);
            backOpen = previous >= front && take(previous, back);
            if (backOpen)
                back = previous;
        }
    }
    auto joined = [&] { return std::string(cut.substr(0, front)) + dots + std::string(cut.substr(back)) + std::string(kept); };
    // Advances added up may differ from the width of the whole (kerning):
    // the longer side gives a character more until it fits.
    std::string text = joined();
    while (canvas.TextWidth(text) > width && (front > 0 || back < cut.size())) {
        if (front >= cut.size() - back && front > 0)
            front = Utf8PreviousChar(cut, front);
        else
            back = Utf8NextChar(cut, back);
        text = joined();
    }
    return text;
}

} // namespace

std::string PathEllipsisText(TCanvas& canvas, std::string_view path, int width) {
    if (canvas.TextWidth(path) <= width)
        return std::string(path);
    const size_t slash = path.rfind('/');
    if (slash != std::string_view::npos && canvas.TextWidth("..." + std::string(path.substr(slash))) <= width)
        return middleEllipsis(canvas, path.substr(0, slash), path.substr(slash), width);
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    return middleEllipsis(canvas, name, {}, width);
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
