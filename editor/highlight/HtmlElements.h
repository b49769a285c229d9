#pragma once
// The elements the HTML highlighter knows, in the order it searches them.

#include <cstdint>

struct THtmlElement {
    const char* Name;  // upper case
    bool Attributes;   // the start tag may carry attributes
    bool EndTag;       // a closing tag of this name is known
};

constexpr int kHtmlElementCount = 106;
// No element's name is longer.
constexpr int32_t kLongestHtmlElementName = 15;
// The element at an index (0 .. kHtmlElementCount - 1); index 0 is SCRIPT.
const THtmlElement& HtmlElement(int index);
// The first element whose name has exactly these (upper-case) characters;
// for a closing tag only one with an end tag.  -1 when none.
int FindHtmlElement(const char* upperName, int32_t length, bool closing);
