#pragma once
// The state that measuring and painting carry along a display line: the
// static style set (style codes toggle it), the context record in force and
// the index of the next context record.  OffsetToX, XToOffset and painting
// walk a line with the same state, so that the caret lands where the
// character is painted.

#include "editor/model/StyleCodes.h"
#include "editor/model/TextStore.h"

#include "platform/gfx/Canvas.h"

#include <climits>
#include <cstdint>

struct TLineWalk {
    const TParagraph& Paragraph;
    const TLineRecord& Line;
    // The paragraph's bytes, read where they stand (painting and measuring
    // change no text).
    const TParagraphText::TReader Bytes;
    uint8_t StaticStyle = 0;
    const TContextState* Context = nullptr;
    int32_t NextContext = 0; // index of the first record that starts after the position

    // The records before the line's start are found by binary search, not
    // walked: a long paragraph has hundreds of thousands of them, and every
    // line painted or measured would step through all those before it.
    // Records that start exactly at the line's start are entered as usual.
    TLineWalk(const TParagraph& paragraph, const TLineRecord& line, bool staticFormat)
        : TLineWalk(paragraph, line, staticFormat, line.Start, line.Style) {}
    // The same from a position of the line whose static style is known (a
    // mark's, LineMarks.h).
    TLineWalk(const TParagraph& paragraph, const TLineRecord& line, bool staticFormat, int32_t position, uint8_t style)
        : Paragraph(paragraph), Line(line), Bytes(paragraph.Text), StaticStyle(staticFormat ? style : 0),
          Context(&paragraph.ContextBefore(position)), NextContext(paragraph.ContextIndexAt(position)) {
        Enter(position);
    }

    // Steps into every context record that starts at or before position;
    // true when the context changed.
    bool Enter(int32_t position) {
        bool changed = false;
        const int32_t count = Paragraph.Contexts.Count();
        while (NextContext < count && Paragraph.Contexts.Offset(NextContext) <= position) {
            Context = &Paragraph.Contexts.State(NextContext);
            ++NextContext;
            changed = true;
        }
        return changed;
    }
    // Where the next context record starts (INT32_MAX when none).
    int32_t NextBoundary() const {
        return NextContext < Paragraph.Contexts.Count() ? Paragraph.Contexts.Offset(NextContext) : INT32_MAX;
    }
    char At(int32_t position) const { return Bytes[static_cast<size_t>(position)]; }
};

// The horizontal layout of one display line: where its text starts, its
// tab width and how a justified line spreads its spare pixels.
struct TLineLayout {
    int32_t Left = 0;           // client x of the line's first character
    int32_t TabWidth = 1;       // pixels from one tab stop to the next
    bool Justified = false;     // the line ignores Alignment and starts at the left margin
    int32_t StretchExtra = 0;   // spare pixels spread over the stretchable blanks
    int32_t StretchCount = 0;   // number of stretchable blanks (0 = none)
    int32_t StretchStart = 0;   // blanks after this offset are stretched
};

// Pixels a justified blank gets, exactly as TCanvas spreads them: the same
// error term, so a caret measured here lands on the painted character.
class TStretchCounter {
public:
    void Set(int32_t extra, int32_t count) {
        justification_.Set(extra, count);
        left_ = count;
    }
    bool Active() const { return left_ > 0 && justification_.Active(); }
    int32_t Next() {
        if (left_ <= 0)
            return 0;
        --left_;
        return justification_.NextBreak();
    }

private:
    TTextJustification justification_;
    int32_t left_ = 0;
};
