#pragma once
// THtmlHighlighter: colours HTML source in a document (and the memo showing it).
//
// Its start hook recognises what begins at a position (a bracket, an
// element name, an attribute with its value, a comment, an entity, a
// server block), its stop hook finds where the context in force ends (the
// closing bracket, "-->", "%>" or "?>", "</SCRIPT>", the end of an
// entity).  Each kind of text takes one of eleven styles.  Context
// numbers, reported by OnContext and tested by keywords:
//   1 rest of a tag that takes attributes    7 closing bracket, "</SCRIPT>"
//   2 server block or script content          8 attribute name
//   3 comment                                 9 attribute value
//   4 bracket after "<"                      10 entity
//   5 element name                           11 "<?" block
//   6 unknown name, rest of another tag
// Identifiers: B + element index for element names and tags, B + 106
// comment, B + 107 unknown name, B + 108 "%" block, B + 109 entity, B + 110
// "?" block (B = the first identifier the document hands over); the inherited
// lists and the SubHighlighter come after B + 111.

#include "editor/highlight/CustomExtHighlighter.h"
#include "editor/highlight/HighlightInfo.h"


class THtmlHighlighter : public TCustomExtHighlighter {
public:
    explicit THtmlHighlighter(TComponent* owner = nullptr);

    std::string ClassName() const override { return "THtmlHighlighter"; }

    THighlightInfo& Bracket() { return bracket_; }
    THighlightInfo& DefaultText() { return defaultText_; }
    THighlightInfo& HtmlKeyword() { return htmlKeyword_; }
    THighlightInfo& HtmlTag() { return htmlTag_; }
    THighlightInfo& HtmlComment() { return htmlComment_; }
    THighlightInfo& HtmlAttribute() { return htmlAttribute_; }
    THighlightInfo& HtmlAttributeValue() { return htmlAttributeValue_; }
    THighlightInfo& ScriptTag() { return scriptTag_; }
    THighlightInfo& ScriptContent() { return scriptContent_; }
    THighlightInfo& SpecialChars() { return specialChars_; }
    THighlightInfo& UnknownTag() { return unknownTag_; }

    // With XMLSyntax every element name counts as known, with attributes.
    bool XMLSyntax() const { return xmlSyntax_; }
    void SetXMLSyntax(bool value) { xmlSyntax_ = value; }

    bool StartKeyHook(TCodeNavigator& position, TCodeNavigator& limit, int32_t firstIdentifier) override;
    bool StopKeyHook(TCodeNavigator& position, TCodeNavigator& limit, int32_t firstIdentifier) override;
    // Script content, comments and server blocks end at the first "</SCRIPT>",
    // "-->", "%>" or "?>" (nothing opens inside them while the highlighter has
    // no keys of its own and no SubHighlighter).
    int32_t ResumeLookBack(const TContextState& state, int32_t firstIdentifier) const override;
    // Only tags, server blocks, script content, comments and entities end
    // at a stop key of HTML's own: not the "<" or an element name.
    bool StopHookMayEnd(const TContextState& state, int32_t firstIdentifier) const override;

    void Loaded() override;

    // Identifiers of the HTML contexts, relative to the first one.
    static constexpr int32_t kComment = 106;
    static constexpr int32_t kUnknownName = 107;
    static constexpr int32_t kPercentBlock = 108;
    static constexpr int32_t kEntity = 109;
    static constexpr int32_t kQuestionBlock = 110;
    static constexpr int32_t kOwnIdentifiers = 111;

protected:
    int32_t IdentifiersBeforeOwnList() const override { return kOwnIdentifiers; }

private:
    void styleChanged();

    bool xmlSyntax_ = false;
    THighlightInfo bracket_;
    THighlightInfo defaultText_;
    THighlightInfo htmlKeyword_;
    THighlightInfo htmlTag_;
    THighlightInfo htmlComment_;
    THighlightInfo htmlAttribute_;
    THighlightInfo htmlAttributeValue_;
    THighlightInfo scriptTag_;
    THighlightInfo scriptContent_;
    THighlightInfo specialChars_;
    THighlightInfo unknownTag_;
};
