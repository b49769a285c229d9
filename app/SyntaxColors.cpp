#include "app/SyntaxColors.h"

#include "app/SettingsFile.h"

#include "editor/CodeMemo.h"
#include "editor/highlight/HtmlHighlighter.h"

#include <tuple>

namespace {

using TClassOf = THighlightInfo& (THtmlHighlighter::*)();

// A style class's four values, to tell whether a loader changed anything.
auto valuesOf(THighlightInfo& info) {
    return std::make_tuple(info.AltFont(), info.Style(), info.Background(), info.Foreground());
}

// Records the classes' values before a loader runs and tells afterwards
// whether any differs.
class TChangeWatch {
public:
    explicit TChangeWatch(THtmlHighlighter& highlighter) : highlighter_(highlighter) {
        for (TClassOf cls : kAll)
            before_.push_back(valuesOf((highlighter_.*cls)()));
    }
    bool Changed() const {
        for (size_t i = 0; i < std::size(kAll); ++i)
            if (valuesOf((highlighter_.*kAll[i])()) != before_[i])
                return true;
        return false;
    }

private:
    static constexpr TClassOf kAll[] = {
        &THtmlHighlighter::Bracket,       &THtmlHighlighter::DefaultText,   &THtmlHighlighter::HtmlKeyword,
        &THtmlHighlighter::HtmlTag,       &THtmlHighlighter::HtmlComment,   &THtmlHighlighter::HtmlAttribute,
        &THtmlHighlighter::HtmlAttributeValue, &THtmlHighlighter::ScriptTag, &THtmlHighlighter::ScriptContent,
        &THtmlHighlighter::SpecialChars,  &THtmlHighlighter::UnknownTag,
    };
    THtmlHighlighter& highlighter_;
    std::vector<decltype(valuesOf(std::declval<THighlightInfo&>()))> before_;
};

void setStyle(THighlightInfo& info, TFontStyles style, TColor background, TColor foreground) {
    info.SetStyle(style);
    info.SetBackground(background);
    info.SetForeground(foreground);
}

} // namespace

void SetInitialHtmlStyles(THtmlHighlighter& h) {
    h.SetXMLSyntax(false);
    setStyle(h.Bracket(), fsBold, clWindow, clNavy);
    setStyle(h.DefaultText(), 0, clWhite, clWindowText);
    setStyle(h.HtmlKeyword(), fsBold, clWindow, clNavy);
    setStyle(h.HtmlTag(), fsBold, clWhite, clNavy);
    setStyle(h.HtmlComment(), 0, clWhite, clRed);
    setStyle(h.HtmlAttribute(), 0, clWhite, clNavy);
    setStyle(h.HtmlAttributeValue(), 0, clWhite, clGreen);
    setStyle(h.ScriptTag(), fsBold, clWhite, RGB(128, 128, 255));
    setStyle(h.ScriptContent(), 0, clWhite, clPurple);
    setStyle(h.SpecialChars(), 0, -1, clFuchsia);
    setStyle(h.UnknownTag(), 0, clWhite, clRed);
    for (TClassOf cls : {&THtmlHighlighter::Bracket, &THtmlHighlighter::DefaultText, &THtmlHighlighter::HtmlKeyword,
                         &THtmlHighlighter::HtmlTag, &THtmlHighlighter::HtmlComment, &THtmlHighlighter::HtmlAttribute,
                         &THtmlHighlighter::HtmlAttributeValue, &THtmlHighlighter::ScriptTag,
                         &THtmlHighlighter::ScriptContent, &THtmlHighlighter::SpecialChars,
                         &THtmlHighlighter::UnknownTag})
        (h.*cls)().SetAltFont(false);
}

bool ReadDefaultHtml(THtmlHighlighter& h, const TCustomIniFile& settings) {
    struct TBuiltIn {
        TClassOf Class;
        TColor Foreground;
        TFontStyles Style;
    };
    static const TBuiltIn kBuiltIn[] = {
        {&THtmlHighlighter::Bracket, clNavy, fsBold},
        {&THtmlHighlighter::HtmlAttribute, clNavy, 0},
        {&THtmlHighlighter::HtmlAttributeValue, clGreen, 0},
        {&THtmlHighlighter::HtmlComment, clRed, fsItalic},
        {&THtmlHighlighter::HtmlKeyword, clNavy, fsBold},
        {&THtmlHighlighter::HtmlTag, clNavy, fsBold},
        {&THtmlHighlighter::ScriptContent, clPurple, 0},
        {&THtmlHighlighter::ScriptTag, RGB(128, 128, 255), fsBold},
    };
    TChangeWatch watch(h);
    for (const TBuiltIn& entry : kBuiltIn) {
        THighlightInfo& info = (h.*entry.Class)();
        info.SetForeground(entry.Foreground);
        info.SetBackground(settings.ReadInteger(settings::Editor, "color", clWhite));
        info.SetStyle(entry.Style);
    }
    return watch.Changed();
}

bool ReadCustomizedHtml(THtmlHighlighter& h, const TCustomIniFile& settings) {
    struct TCustom {
        TClassOf Class;
        const char* Prefix;
    };
    // The element names, known and unknown, share the "balise" keys.
    static const TCustom kCustom[] = {
        {&THtmlHighlighter::Bracket, "bracket"},       {&THtmlHighlighter::HtmlAttribute, "attributs"},
        {&THtmlHighlighter::HtmlAttributeValue, "valeur"}, {&THtmlHighlighter::HtmlComment, "comment"},
        {&THtmlHighlighter::HtmlKeyword, "balise"},    {&THtmlHighlighter::UnknownTag, "balise"},
        {&THtmlHighlighter::HtmlTag, "tag"},           {&THtmlHighlighter::ScriptContent, "sc"},
        {&THtmlHighlighter::ScriptTag, "st"},          {&THtmlHighlighter::SpecialChars, "cs"},
    };
    static const struct {
        const char* Suffix;
        TFontStyles Style;
        bool Default;
    } kStyles[] = {{" bold", fsBold, true}, {" italic", fsItalic, false}, {" underline", fsUnderline, false},
                   {" strike", fsStrikeOut, false}};
    TChangeWatch watch(h);
    for (const TCustom& entry : kCustom) {
        THighlightInfo& info = (h.*entry.Class)();
        const std::string prefix = entry.Prefix;
        info.SetForeground(settings.ReadInteger(settings::CustomHtml, prefix + " color", info.Foreground()));
        info.SetBackground(settings.ReadInteger(settings::CustomHtml, prefix + " bg color", info.Background()));
        for (const auto& style : kStyles) {
            bool on = settings.ReadBool(settings::CustomHtml, prefix + style.Suffix, style.Default);
            info.SetStyle(on ? (info.Style() | style.Style) : (info.Style() & ~style.Style));
        }
    }
    return watch.Changed();
}

void ApplyHighlighting(TCodeMemo& editor, THtmlHighlighter& highlighter, const std::string& colorer,
                       const TCustomIniFile& settings) {
    if (colorer == "none") {
        editor.ApplyKeyWordsEnabled = true;
        editor.ApplyStartStopKeysEnabled = true;
        editor.SetHighlighter(nullptr);
        return;
    }
    bool changed;
    if (colorer == "default")
        changed = ReadDefaultHtml(highlighter, settings);
    else if (colorer == "custom")
        changed = ReadCustomizedHtml(highlighter, settings);
    else
        return;
    // Contexts keep the colours they were parsed with: documents already
    // coloured by the shared highlighter are coloured again.
    if (changed)
        highlighter.ReApplyToDocuments();
    editor.ApplyKeyWordsEnabled = true;
    editor.ApplyStartStopKeysEnabled = true;
    editor.SetHighlighter(&highlighter);
}
