// The published tables of the HTML highlighter and what it is made of.

#include "editor/EditorClasses.h"
#include "editor/highlight/CustomExtHighlighter.h"
#include "editor/highlight/HighlightClasses.h"
#include "editor/highlight/HighlightInfo.h"
#include "editor/highlight/HtmlHighlighter.h"

#include "platform/base/Properties.h"
#include "platform/gfx/GraphicsProperties.h"

void RegisterHighlighterClasses() {
    static const bool registered = [] {
        RegisterEditorClasses();
        // A style is a sub-object of its highlighter, written whole.
        RegisterPublishedClass<THighlightInfo, TPersistent>("THighlightInfo")
            .Boolean("AltFont", &THighlightInfo::AltFont, &THighlightInfo::SetAltFont, std::nullopt)
            .Set("Style", &THighlightInfo::Style, &THighlightInfo::SetStyle, std::nullopt, FontStyleNames())
            .Integer("Background", &THighlightInfo::Background, &THighlightInfo::SetBackground, std::nullopt)
            .Names(ColorNames())
            .Integer("Foreground", &THighlightInfo::Foreground, &THighlightInfo::SetForeground, std::nullopt)
            .Names(ColorNames());
        RegisterPublishedClass<TCustomExtHighlighter, TCodeHighlighter>("TCustomExtHighlighter")
            .Component<TCodeHighlighter>("SubHighlighter", &TCustomExtHighlighter::SubHighlighter,
                                         &TCustomExtHighlighter::SetSubHighlighter)
            .Object("Keywords", [](TCustomExtHighlighter& h) -> TPersistent& { return h.Keywords(); })
            .Object("StartStopKeys", [](TCustomExtHighlighter& h) -> TPersistent& { return h.StartStopKeys(); });
        RegisterPublishedClass<THtmlHighlighter, TCustomExtHighlighter>("THtmlHighlighter")
            .Object("Bracket", &THtmlHighlighter::Bracket)
            .Object("DefaultText", &THtmlHighlighter::DefaultText)
            .Object("HtmlKeyword", &THtmlHighlighter::HtmlKeyword)
            .Object("HtmlTag", &THtmlHighlighter::HtmlTag)
            .Object("HtmlComment", &THtmlHighlighter::HtmlComment)
            .Object("HtmlAttribute", &THtmlHighlighter::HtmlAttribute)
            .Object("HtmlAttributeValue", &THtmlHighlighter::HtmlAttributeValue)
            .Object("ScriptTag", &THtmlHighlighter::ScriptTag)
            .Object("ScriptContent", &THtmlHighlighter::ScriptContent)
            .Object("SpecialChars", &THtmlHighlighter::SpecialChars)
            .Object("UnknownTag", &THtmlHighlighter::UnknownTag)
            .Boolean("XMLSyntax", &THtmlHighlighter::XMLSyntax, &THtmlHighlighter::SetXMLSyntax, false);
        return true;
    }();
    (void)registered;
}
