#include "editor/model/WordMoves.h"

#include "editor/model/Characters.h"
#include "editor/model/CodeDocument.h"
#include "editor/model/CodeNavigator.h"

#include <algorithm>

bool IsWordBoundary(const TCodeNavigator& navigator, char c) {
    return navigator.Document()->IsSeparator(static_cast<unsigned char>(c)) || c == '\r' || c == '\n';
}

void ToWordStart(TCodeNavigator& navigator) {
    while (navigator.Pos() > 0) {
        navigator.SetPos(navigator.Pos() - 1);
        if (IsWordBoundary(navigator, navigator.CharAt())) {
            navigator.SetPos(navigator.Pos() + 1);
            break;
        }
    }
}

void ToWordEnd(TCodeNavigator& navigator) {
    const int32_t textLength = navigator.Document()->TextLength();
    while (navigator.Pos() < textLength && !IsWordBoundary(navigator, navigator.CharAt()))
        navigator.SetPos(navigator.Pos() + 1);
}

void OverSeparatorsInLine(TCodeNavigator& navigator) {
    const TCodeDocument& document = *navigator.Document();
    while (navigator.Pos() < document.TextLength() && navigator.CharAt() != '\r' && navigator.CharAt() != '\n' &&
           document.IsSeparator(static_cast<unsigned char>(navigator.CharAt())))
        navigator.SetPos(navigator.Pos() + 1);
}

void PlaceInLine(TCodeNavigator& navigator, int32_t column) {
    const TParagraph& p = *navigator.Paragraph();
    const int32_t lineInPar = navigator.LineInPar();
    const TLineRecord& line = p.Line(lineInPar);
    const int32_t length = line.Stop - line.Start;
    if (lineInPar < p.LineCount() - 1 && length > 0)
        column = std::min(column, length - 1);
    column = std::clamp(column, 0, std::max(length, 0));
    // Never inside a character of several bytes.
    const bool utf8 = navigator.Document()->IsUtf8();
    column = CharStart(p.Text, line.Start + column, utf8) - line.Start;
    navigator.SetColumnInLine(std::max(column, 0));
}
