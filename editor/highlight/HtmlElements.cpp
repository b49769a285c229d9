#include "editor/highlight/HtmlElements.h"

#include <array>
#include <cstring>
#include <vector>

namespace {

// In search order; an element's index is its context identifier offset.
constexpr THtmlElement kElements[kHtmlElementCount] = {
    {"SCRIPT", true, false},
    {"A", true, true},
    {"ADDRESS", true, true},
    {"ACRONYM", true, true},
    {"APPLET", true, true},
    {"AREA", true, true},
    {"B", false, true},
    {"BASE", true, false},
    {"BASEFONT", true, false},
    {"BGSOUND", true, true},
    {"BIG", true, true},
    {"BLINK", true, true},
    {"BLOCKQUOTE", true, true},
    {"BODY", true, true},
    {"BR", false, false},
    {"BUTTON", true, true},
    {"CAPTION", true, true},
    {"CITE", true, true},
    {"CENTER", true, true},
    {"CODE", true, true},
    {"COL", true, true},
    {"COLGROUP", true, true},
    {"COMMENT", true, true},
    {"DD", true, true},
    {"DEL", true, true},
    {"DFN", true, true},
    {"DIR", true, true},
    {"DIV", true, true},
    {"DL", true, true},
    {"DT", true, true},
    {"EM", true, true},
    {"EMBED", true, true},
    {"FIELDSET", true, true},
    {"FORM", true, true},
    {"FONT", true, true},
    {"FRAME", true, false},
    {"FRAMESET", true, true},
    {"H1", true, true},
    {"H2", true, true},
    {"H3", true, true},
    {"H4", true, true},
    {"H5", true, true},
    {"H6", true, true},
    {"HEAD", false, true},
    {"HR", true, true},
    {"HTML", false, true},
    {"I", false, true},
    {"IFRAME", true, true},
    {"ILAYER", true, true},
    {"IMG", true, false},
    {"INPUT", true, false},
    {"INS", true, true},
    {"ISINDEX", true, true},
    {"KBD", true, true},
    {"KEYGEN", true, true},
    {"LABEL", true, true},
    {"LAYER", true, true},
    {"LEGEND", true, true},
    {"LI", true, true},
    {"LINK", true, true},
    {"LISTING", true, true},
    {"MAP", true, true},
    {"MARQUEE", true, true},
    {"MENU", true, true},
    {"META", true, false},
    {"MULTICOL", true, true},
    {"NEXTID", true, true},
    {"NOBR", true, true},
    {"NOEMBED", true, true},
    {"NOFRAMES", true, true},
    {"NOLAYER", true, true},
    {"NOSCRIPT", true, true},
    {"OBJECT", true, true},
    {"OL", true, true},
    {"OPTION", true, true},
    {"P", true, true},
    {"PARAM", true, true},
    {"PLAINTEXT", true, true},
    {"Q", true, true},
    {"S", false, true},
    {"SAMP", true, true},
    {"SELECT", true, true},
    {"SOUND", true, true},
    {"SMALL", true, true},
    {"SPACER", true, true},
    {"SPAN", true, true},
    {"STRIKE", true, true},
    {"STRONG", true, true},
    {"STYLE", true, true},
    {"SUB", true, true},
    {"SUP", true, true},
    {"TABLE", true, true},
    {"TBODY", true, true},
    {"TD", true, true},
    {"TEXTAREA", true, true},
    {"TFOOT", true, true},
    {"TH", true, true},
    {"THEAD", true, true},
    {"TITLE", false, true},
    {"TR", true, true},
    {"TT", true, true},
    {"U", false, true},
    {"UL", true, true},
    {"VAR", true, true},
    {"WBR", true, true},
    {"!DOCTYPE", true, false},
};

// The indexes of the elements by name length, in table order, so that a
// look-up compares only names of the right length.
struct TByLength {
    std::array<std::vector<int>, 16> indexes;
    TByLength() {
        for (int i = 0; i < kHtmlElementCount; ++i)
            indexes[std::strlen(kElements[i].Name)].push_back(i);
    }
};

}  // namespace

const THtmlElement& HtmlElement(int index) { return kElements[index]; }

int FindHtmlElement(const char* upperName, int32_t length, bool closing) {
    static const TByLength byLength;
    if (length <= 0 || length >= static_cast<int32_t>(byLength.indexes.size()))
        return -1;
    for (int index : byLength.indexes[static_cast<size_t>(length)]) {
        const THtmlElement& element = kElements[index];
        if (std::memcmp(element.Name, upperName, static_cast<size_t>(length)) != 0)
            continue;
        // A closing tag names only elements that have one.
        if (closing && !element.EndTag)
            continue;
        return index;
    }
    return -1;
}
