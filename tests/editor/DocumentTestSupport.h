#pragma once
// Helpers shared by the tests of the editor's document: measures, a clock
// the tests move by hand, loading and saving bytes.

#include "editor/model/CodeDocument.h"
#include "editor/model/TextSelection.h"

#include "platform/base/Stream.h"

#include <array>
#include <cstdint>
#include <functional>
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

// The clock documents read in the tests (TCodeDocument::SetClock): it
// moves only when a test, or a measure below, moves it.
struct TTestClock {
    static uint64_t& Now() {
        static uint64_t now = 1000;
        return now;
    }
    static uint64_t Read() { return Now(); }
    static void Advance(uint64_t milliseconds) { Now() += milliseconds; }
};

// A fixed-pitch measure whose every use takes time on the test clock, so
// that a 25 ms background slice formats only a few paragraphs (and the
// tests never wait on the wall clock).
class TClockedMeasure : public TFixedMeasure {
public:
    TClockedMeasure(uint64_t millisecondsPerUse, int32_t pitch, int32_t boldExtra = 0)
        : TFixedMeasure(pitch, boldExtra), millisecondsPerUse_(millisecondsPerUse) {}
    const int32_t* AdvanceTable(uint8_t style) const override {
        TTestClock::Advance(millisecondsPerUse_);
        return TFixedMeasure::AdvanceTable(style);
    }

private:
    uint64_t millisecondsPerUse_;
};

// Counts the updates a document ends (what a memo announces as changes),
// and runs Then after each, as a memo's change handler would.
class TUpdateCounter : public TDocumentWatcher {
public:
    explicit TUpdateCounter(TCodeDocument& document) : document_(document) { document_.AddWatcher(this); }
    ~TUpdateCounter() override { document_.RemoveWatcher(this); }
    void UpdateEnded(TCodeDocument&, const TUpdateSummary& summary) override {
        if (summary.Kind == TUpdateSummary::kSnapshot)
            return;
        ++Count;
        if (Then)
            Then();
    }
    int Count = 0;
    std::function<void()> Then;

private:
    TCodeDocument& document_;
};

inline void LoadText(TCodeDocument& document, std::string_view text) {
    TReadOnlyMemoryStream stream(text.data(), static_cast<int64_t>(text.size()));
    document.LoadFromStream(stream);
}

inline std::string SaveText(TCodeDocument& document) {
    TMemoryStream stream;
    document.SaveToStream(stream);
    return stream.DataString();
}

inline void Select(TTextSelection& selection, int32_t from, int32_t to) {
    selection.SetSelStart(from);
    selection.SetSelLength(to - from);
}

// The paragraphs' texts joined by CR LF: what the document's Text() must be.
inline std::string JoinedParagraphs(const TCodeDocument& document) {
    std::string result;
    for (int32_t i = 0; i < document.ParagraphCount(); ++i) {
        if (i > 0)
            result += "\r\n";
        result += document.ParagraphText(i);
    }
    return result;
}
