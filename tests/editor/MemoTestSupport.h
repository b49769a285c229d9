#pragma once
// Helpers shared by the editor's tests.

#include "editor/CodeMemo.h"

#include "platform/base/Stream.h"
#include "platform/ui/TickSource.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// A fixed-pitch measure: every byte is `pitch` pixels wide in every style,
// except that bold adds `boldExtra`.
class TFixedMeasure : public TCodeMeasure {
public:
    explicit TFixedMeasure(int32_t pitch = 10, int32_t boldExtra = 0) {
        normal_.fill(pitch);
        bold_.fill(pitch + boldExtra);
    }
    const int32_t* AdvanceTable(uint8_t style) const override {
        return (style & kStyleBold) ? bold_.data() : normal_.data();
    }

private:
    std::array<int32_t, 256> normal_{};
    std::array<int32_t, 256> bold_{};
};

// A fixed-pitch measure whose every use takes time on a manual clock, so
// that a 25 ms background slice formats only a few paragraphs (and the
// tests never wait on the wall clock).
class TClockedMeasure : public TFixedMeasure {
public:
    TClockedMeasure(TManualTickSource& clock, uint64_t millisecondsPerUse, int32_t pitch, int32_t boldExtra = 0)
        : TFixedMeasure(pitch, boldExtra), clock_(clock), millisecondsPerUse_(millisecondsPerUse) {}
    const int32_t* AdvanceTable(uint8_t style) const override {
        clock_.Advance(millisecondsPerUse_);
        return TFixedMeasure::AdvanceTable(style);
    }

private:
    TManualTickSource& clock_;
    uint64_t millisecondsPerUse_;
};

inline void LoadText(TCodeMemo& memo, std::string_view text) {
    TReadOnlyMemoryStream stream(text.data(), static_cast<int64_t>(text.size()));
    memo.LoadFromStream(stream);
}

inline std::string SaveText(TCodeMemo& memo) {
    TMemoryStream stream;
    memo.SaveToStream(stream);
    return stream.DataString();
}

inline void Select(TCodeMemo& memo, int32_t from, int32_t to) {
    memo.SetSelStart(from);
    memo.SetSelLength(to - from);
}

// The paragraphs' texts joined by CR LF: what the memo's Text() must be.
inline std::string JoinedParagraphs(const TCodeMemo& memo) {
    std::string result;
    for (int32_t i = 0; i < memo.ParagraphCount(); ++i) {
        if (i > 0)
            result += "\r\n";
        result += memo.ParagraphText(i);
    }
    return result;
}
