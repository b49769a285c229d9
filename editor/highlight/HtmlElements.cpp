#include "editor/highlight/HtmlElements.h"

#include <cstddef>

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

// The elements by name: open addressing over the names packed into two
// words (no name is longer than kLongestHtmlElementName bytes), built when the program starts.
// A page has a tag every few dozen bytes, and each is looked up here.
class TNameTable {
public:
    constexpr TNameTable() {
        for (int index = 0; index < kHtmlElementCount; ++index) {
            const char* name = kElements[index].Name;
            int32_t length = 0;
            while (name[length] != '\0')
                ++length;
            const TKey key = KeyOf(name, length);
            size_t slot = SlotOf(key);
            while (slots_[slot].Index >= 0)
                slot = (slot + 1) % kSlots;
            slots_[slot] = {key, static_cast<int16_t>(index)};
        }
    }

    // The element with exactly this upper-case name, or -1.
    constexpr int Find(const char* name, int32_t length) const {
        if (length <= 0 || length > kLongestHtmlElementName)
            return -1;
        const TKey key = KeyOf(name, length);
        for (size_t slot = SlotOf(key);; slot = (slot + 1) % kSlots) {
            const TSlot& found = slots_[slot];
            if (found.Index < 0)
                return -1;
            if (found.Key.Low == key.Low && found.Key.High == key.High)
                return found.Index;
        }
    }

private:
    // The name's bytes and its length, packed.
    struct TKey {
        uint64_t Low = 0;
        uint64_t High = 0;
    };
    struct TSlot {
        TKey Key;
        int16_t Index = -1;
    };
    static constexpr size_t kSlots = 512;

    static constexpr TKey KeyOf(const char* name, int32_t length) {
        TKey key;
        for (int32_t i = 0; i < length; ++i) {
            const uint64_t byte = static_cast<unsigned char>(name[i]);
            if (i < 8)
                key.Low |= byte << (8 * i);
            else
                key.High |= byte << (8 * (i - 8));
        }
        key.High |= static_cast<uint64_t>(length) << 56;
        return key;
    }
    static constexpr size_t SlotOf(const TKey& key) {
        return static_cast<size_t>(((key.Low ^ (key.High * 0x9E3779B97F4A7C15ull)) * 0xC2B2AE3D27D4EB4Full) >> 55);
    }

    TSlot slots_[kSlots] = {};
};

constexpr TNameTable kNames;

}  // namespace

const THtmlElement& HtmlElement(int index) { return kElements[index]; }

int FindHtmlElement(const char* upperName, int32_t length, bool closing) {
    const int index = kNames.Find(upperName, length);
    // A closing tag names only elements that have one.
    if (index >= 0 && closing && !kElements[index].EndTag)
        return -1;
    return index;
}
