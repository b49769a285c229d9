#include "app/TagInspectorRules.h"

#include <algorithm>
#include <initializer_list>

namespace {

bool oneOf(const std::string& value, std::initializer_list<const char*> names) {
    return std::any_of(names.begin(), names.end(), [&](const char* name) { return value == name; });
}

// The event attributes, whose script is written in the text dialog.
constexpr std::initializer_list<const char*> kScriptAttributes = {
    "ONBLUR",      "ONCLICK",     "ONDBLCLICK", "ONFOCUS",   "ONKEYDOWN", "ONKEYPRESS",
    "ONKEYUP",     "ONMOUSEDOWN", "ONMOUSEMOVE", "ONMOUSEOUT", "ONMOUSEOVER", "ONMOUSEUP",
    "ONLOAD",      "ONUNLOAD",    "ONRESET",    "ONSUBMIT",  "ONSELECT",
};

bool isColor(const std::string& tag, const std::string& attribute) {
    return oneOf(attribute, {"COLOR", "BGCOLOR", "BORDERCOLOR"}) || (tag == "BODY" && attribute == "TEXT");
}

bool isScript(const std::string& attribute) {
    return std::any_of(kScriptAttributes.begin(), kScriptAttributes.end(),
                       [&](const char* name) { return attribute == name; });
}

using TList = std::vector<std::string>;

const TList& list(int number) {
    static const std::vector<TList> lists = {
        {"Author", "Description", "Generator", "Keywords"},
        {"Alternate", "Stylesheet", "Start", "Next", "Prev", "Contents", "Index", "Glossary", "Copyright", "Chapter",
         "Section", "Subsection", "Appendix", "Help", "Bookmark"},
        {"LTR", "RTL"},
        {"Default", "Rect", "Circle", "Poly"},
        {"_Blank", "_Self", "_Parent", "_Top"},
        {"Button", "Reset", "Submit"},
        {"Top", "Bottom", "Left", "Right"},
        {"None", "Left", "Right", "All"},
        {"Get", "Post"},
        {"Auto", "No", "Yes"},
        {"1", "0"},
        {"Center", "Left", "Right"},
        {"Button", "Checkbox", "File", "Hidden", "Image", "Password", "Radio", "Reset", "Submit", "Text"},
        {"Circle", "Disc", "Square"},
        {"1", "a", "A", "i", "I", "Circle", "Disc", "Square"},
        {"Screen", "Tty", "Tv", "Projection", "Handheld", "Print", "Braille", "Aural", "All"},
        {"Data", "Object", "Ref"},
        {"Col", "Colgroup", "Row", "Rowgroup"},
        {"Center", "Char", "Justify", "Left", "Right"},
        {"Baseline", "Bottom", "Middle", "Top"},
        {"Bottom", "Middle", "Top", "Left", "Right"},
        {"Center", "Justify", "Left", "Right"},
        {""},
    };
    return lists[static_cast<size_t>(number - 1)];
}

int pickListNumber(const std::string& tag, const std::string& attribute) {
    if (attribute == "ALIGN") {
        if (oneOf(tag, {"CAPTION", "FIELDSET", "LEGEND"}))
            return 7;
        if (oneOf(tag, {"HR", "TABLE"}))
            return 12;
        if (oneOf(tag, {"DIV", "H1", "H2", "H3", "H4", "H5", "H6", "P", "IFRAME", "INPUT", "SPAN"}))
            return 22;
        if (oneOf(tag, {"OBJECT", "IMG", "APPLET"}))
            return 21;
        if (oneOf(tag, {"COL", "COLGROUP", "TBODY", "THEAD", "TFOOT", "TD", "TH", "TR"}))
            return 19;
    }
    struct TRule {
        const char* Tag; // nullptr: any tag
        const char* Attribute;
        int List;
    };
    static constexpr TRule rules[] = {
        {nullptr, "VALIGN", 20},   {nullptr, "DIR", 3},        {nullptr, "FACE", 23},
        {nullptr, "SHAPE", 4},     {nullptr, "TARGET", 5},     {nullptr, "REL", 2},
        {nullptr, "REV", 2},       {nullptr, "CLEAR", 8},      {nullptr, "METHOD", 9},
        {nullptr, "SCROLLING", 10}, {nullptr, "FRAMEBORDER", 11}, {nullptr, "MEDIA", 16},
        {"PARAM", "VALUETYPE", 17}, {nullptr, "SCOPE", 18},    {"BUTTON", "TYPE", 6},
        {"INPUT", "TYPE", 13},     {"OL", "TYPE", 15},         {"UL", "TYPE", 14},
        {"META", "NAME", 1},
    };
    for (const TRule& rule : rules)
        if (attribute == rule.Attribute && (rule.Tag == nullptr || tag == rule.Tag))
            return rule.List;
    return 23;
}

} // namespace

TEditStyle AttributeEditStyle(const std::string& tag, const std::string& attribute) {
    if (isColor(tag, attribute))
        return esEllipsis;
    if (oneOf(attribute, {"LINK", "ALINK", "VLINK", "BACKGROUND", "STYLE", "SRC"}) || isScript(attribute))
        return esEllipsis;
    if (oneOf(attribute, {"ALIGN", "VALIGN", "HALIGN", "DIR", "FACE", "SHAPE", "TARGET", "REL", "REV", "CLEAR"}))
        return esPickList;
    if (tag == "META" && attribute == "NAME")
        return esPickList;
    if (oneOf(attribute, {"METHOD", "SCROLLING", "FRAMEBORDER", "MEDIA", "SCOPE"}))
        return esPickList;
    if (attribute == "TYPE" && oneOf(tag, {"BUTTON", "INPUT", "OL", "UL"}))
        return esPickList;
    if (tag == "PARAM" && attribute == "VALUETYPE")
        return esPickList;
    return esSimple;
}

const std::vector<std::string>& AttributePickList(const std::string& tag, const std::string& attribute) {
    return list(pickListNumber(tag, attribute));
}

TAttributeDialog AttributeDialogOf(const std::string& tag, const std::string& attribute) {
    if (isColor(tag, attribute) || oneOf(attribute, {"LINK", "ALINK", "VLINK"}))
        return TAttributeDialog::Color;
    if (oneOf(attribute, {"BACKGROUND", "SRC"}))
        return TAttributeDialog::File;
    if (isScript(attribute) || attribute == "STYLE")
        return TAttributeDialog::Text;
    return TAttributeDialog::None;
}
