#include "app/LineBreaks.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

constexpr std::string_view kBreakBytes[] = {"\r\n", "\n\r", "\r", "\n"};

} // namespace

TLineBreaks TLineBreaks::Scan(std::string_view bytes) {
    TLineBreaks breaks;
    std::array<int64_t, 4> counts{};
    const size_t size = bytes.size();
    for (size_t i = 0; i < size; ++i) {
        char c = bytes[i];
        if (c != '\r' && c != '\n')
            continue;
        TCodeLineBreak kind;
        if (i + 1 < size && (bytes[i + 1] == '\r' || bytes[i + 1] == '\n') && bytes[i + 1] != c) {
            kind = c == '\r' ? pbCRLF : pbLFCR;
            ++i;
        } else {
            kind = c == '\r' ? pbCR : pbLF;
        }
        breaks.kinds_.push_back(static_cast<uint8_t>(kind));
        ++counts[kind];
    }
    // The most frequent kind; the first one of the file on a tie.
    if (!breaks.kinds_.empty()) {
        auto first = static_cast<TCodeLineBreak>(breaks.kinds_.front());
        breaks.newBreak_ = first;
        for (int kind = 0; kind < 4; ++kind)
            if (counts[kind] > counts[breaks.newBreak_])
                breaks.newBreak_ = static_cast<TCodeLineBreak>(kind);
    }
    return breaks;
}

void TLineBreaks::Reset(int32_t paragraphCount) {
    kinds_.assign(static_cast<size_t>(std::max(paragraphCount - 1, 0)), static_cast<uint8_t>(newBreak_));
}

void TLineBreaks::ParagraphsReplaced(int32_t first, int32_t last, int32_t delta) {
    const auto count = static_cast<int32_t>(kinds_.size());
    first = std::clamp(first, 0, count);
    const int32_t made = std::max(last - first + delta, 0);
    last = std::clamp(last, first, count);
    // The breaks inside the range are all new.
    kinds_.erase(kinds_.begin() + first, kinds_.begin() + last);
    kinds_.insert(kinds_.begin() + first, static_cast<size_t>(made), static_cast<uint8_t>(newBreak_));
}

std::pair<int32_t, int32_t> TLineBreaks::breaksAround(int32_t first, int32_t last,
                                                      const std::function<bool(int32_t)>& emptyParagraph) const {
    // Settling after an edit of the range respells the break before it,
    // those inside it and, along a run of empty paragraphs behind it, the
    // breaks of that run.
    const int32_t count = Count();
    int32_t to = std::clamp(last + 1, 0, count);
    while (to < count && emptyParagraph(to))
        ++to;
    return {std::clamp(first - 1, 0, count), to};
}

std::string TLineBreaks::KindsAround(int32_t first, int32_t last,
                                     const std::function<bool(int32_t)>& emptyParagraph) const {
    const auto [from, to] = breaksAround(first, last, emptyParagraph);
    return std::string(kinds_.begin() + from, kinds_.begin() + std::max(from, to));
}

void TLineBreaks::RestoreKindsAround(int32_t first, int32_t last, std::string_view kinds,
                                     const std::function<bool(int32_t)>& emptyParagraph) {
    if (kinds.empty())
        return;
    const auto [from, to] = breaksAround(first, last, emptyParagraph);
    if (to - from != static_cast<int32_t>(kinds.size()))
        return;
    for (int32_t i = from; i < to; ++i) {
        const auto kind = static_cast<uint8_t>(kinds[static_cast<size_t>(i - from)]);
        if (kind <= pbLF)
            kinds_[static_cast<size_t>(i)] = kind;
    }
}

void TLineBreaks::Settle(int32_t first, int32_t last, const std::function<bool(int32_t)>& emptyParagraph) {
    auto lone = [](uint8_t kind) { return kind == pbCR || kind == pbLF; };
    auto firstByte = [](uint8_t kind) { return kBreakBytes[kind][0]; };
    for (int32_t i = std::max(first, 1); i < Count(); ++i) {
        // A lone break before an empty paragraph: its byte pairs with a
        // break of the other character that begins here.
        const uint8_t before = kinds_[i - 1];
        const bool pairs = lone(before) && emptyParagraph(i) && firstByte(kinds_[i]) != firstByte(before);
        if (!pairs) {
            if (i > last)
                break;
            continue;
        }
        if (lone(kinds_[i])) {
            kinds_[i] = before;
        } else {
            kinds_[i - 1] = before == pbCR ? pbCRLF : pbLFCR;
            kinds_[i] = kBreakBytes[kinds_[i]][1] == '\r' ? pbCR : pbLF;
        }
    }
}

std::string TLineBreaks::Join(int32_t paragraphCount,
                              const std::function<std::string_view(int32_t)>& paragraph) const {
    std::string text;
    // What the loader would hold after the bytes written so far: a lone CR
    // or LF that a following break of the other character pairs with.
    char pairable = 0;
    for (int32_t i = 0; i < paragraphCount; ++i) {
        std::string_view part = paragraph(i);
        text.append(part);
        if (!part.empty())
            pairable = 0;
        if (i + 1 >= paragraphCount)
            break;
        std::string_view bytes = kBreakBytes[i < Count() ? At(i) : newBreak_];
        if (pairable != 0 && bytes[0] != pairable) {
            if (bytes.size() == 1) {
                // It would only end the break before: repeat that one.
                text += pairable;
                continue;
            }
            // Its first byte ends the break before, its second starts a
            // break of its own: still one break, and the second byte may
            // pair with what follows.
            text.append(bytes);
            pairable = bytes[1];
            continue;
        }
        text.append(bytes);
        pairable = bytes.size() == 1 ? bytes[0] : 0;
    }
    return text;
}
