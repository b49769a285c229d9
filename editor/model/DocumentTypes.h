#pragma once
// Enumerations and option sets of the source editor: the options of the
// editor, the upper-casing rules, the update modes, the line-break kinds,
// the alignments, the style codes and the bits of a style set.

#include "platform/ui/TextAlignment.h"

#include <cstdint>
#include <initializer_list>

enum TCodeMemoOption {
    pmoKeepColumnPos,
    pmoPutExtraSpaces,
    pmoWrapCaret,
    pmoInsertKeyActive,
    pmoWideOverwriteCaret,
    pmoLargeWordSelect,
    pmoAutoScrollBars,
    pmoNoDragnDrop,
    pmoAutoIndent,
    pmoBackIndent,
    pmoWindowsSelColors,
    pmoFullLineSelect,
    pmoDiscardTrailingSpaces,
    pmoNoFineScroll,
    pmoNoLineSelection,
    pmoNoDefaultPopup,
    pmoBlockSelection,
    pmoAutoLineBreak,
    pmoPlainClipboard,
};

// A set of TCodeMemoOption.
class TCodeMemoOptions {
public:
    TCodeMemoOptions() = default;
    TCodeMemoOptions(std::initializer_list<TCodeMemoOption> options) {
        for (TCodeMemoOption option : options)
            bits_ |= bit(option);
    }
    bool Contains(TCodeMemoOption option) const { return (bits_ & bit(option)) != 0; }
    TCodeMemoOptions& Include(TCodeMemoOption option) {
        bits_ |= bit(option);
        return *this;
    }
    TCodeMemoOptions& Exclude(TCodeMemoOption option) {
        bits_ &= ~bit(option);
        return *this;
    }
    uint32_t Bits() const { return bits_; }
    bool operator==(const TCodeMemoOptions&) const = default;

private:
    static uint32_t bit(TCodeMemoOption option) { return 1u << static_cast<unsigned>(option); }
    uint32_t bits_ = 0;
};

enum TpmUpperCase { pmuAscii, pmuAnsi, pmuUserDefined };
enum TUpdateMode { umImmediate, umOnNeed, umBackground };
enum TCodeLineBreak { pbCRLF, pbLFCR, pbCR, pbLF };
// The platform's alignment of text across a width (a plain enumeration):
// one set of names for the memo and the controls beside it.
using TCodeAlignment = TAlignment;

// Style codes: single bytes in the text that toggle a style bit when
// StaticFormat is on.
enum : char {
    kCodeItalic = 1,
    kCodeBold = 2,
    kCodeHighlight = 3,
    kCodeAltFont = 4,
    kCodeUnderline = 21,
};

// Bits of a style set.
enum : uint8_t {
    kStyleBold = 0x01,
    kStyleItalic = 0x02,
    kStyleUnderline = 0x04,
    kStyleStrikeOut = 0x08,
    kStyleHighlight = 0x10,
    kStyleAltFont = 0x20,
    // Only in the style painting works out: a context with both strike-out
    // and highlight draws a zigzag under its text instead of either.
    kStyleZigzag = 0x80,
};
