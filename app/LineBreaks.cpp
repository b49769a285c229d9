#include "app/LineBreaks.h"

#include <algorithm>
#include <array>

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
            // It would pair with the break before: repeat that one instead.
            text += pairable;
            continue;
        }
        text.append(bytes);
        pairable = bytes.size() == 1 ? bytes[0] : 0;
    }
    return text;
}
