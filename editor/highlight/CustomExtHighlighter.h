#pragma once
// TCustomExtHighlighter: a highlighter that carries keywords and start/stop
// keys of its own and hands what it does not recognise to an optional
// SubHighlighter.
//
// Its three hooks work like the document's own key matching, over its own
// lists and its own separator set.  Context identifiers from the first one
// the document hands it are its own entries; the identifiers after them belong
// to the SubHighlighter.

#include "editor/model/ByteSet.h"
#include "editor/model/CodeHighlighter.h"
#include "editor/highlight/ExtLists.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class TCodeDocument;
class TCodeNavigator;
struct TContextState;
struct TParagraph;

class TCustomExtHighlighter : public TCodeHighlighter {
public:
    // Called before a keyword occurrence is coloured; clearing accept keeps
    // it plain.  The navigators stand at the occurrence's start and end.
    using TKeywordVetoEvent = std::function<void(TCustomExtHighlighter* sender, TCodeNavigator& start, bool& accept,
                                                 int keyword, TCodeNavigator& end)>;

    explicit TCustomExtHighlighter(TComponent* owner = nullptr);
    ~TCustomExtHighlighter() override;

    std::string ClassName() const override { return "TCustomExtHighlighter"; }

    TExtKeywordList& Keywords() { return *keywords_; }
    TExtStartStopList& StartStopKeys() { return *startStopKeys_; }

    // The highlighter's own separator set (initially tab, space, ",", "."
    // and ";"); whole-word keys and end-at-separator entries use it.
    std::string Separators() const;
    void SetSeparators(std::string_view characters);

    // Own keywords and start/stop keys apply only while enabled.
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value) { enabled_ = value; }

    TCodeHighlighter* SubHighlighter() const { return subHighlighter_; }
    // Refuses ("Circular SubHighlighter chain") a highlighter that would
    // make the chain come back to this one.
    void SetSubHighlighter(TCodeHighlighter* highlighter);

    TKeywordVetoEvent OnKeywordVeto;

    void KeywordHook(TCodeNavigator& from, TCodeNavigator& to, int32_t firstIdentifier) override;
    bool StartKeyHook(TCodeNavigator& position, TCodeNavigator& limit, int32_t firstIdentifier) override;
    bool StopKeyHook(TCodeNavigator& position, TCodeNavigator& limit, int32_t firstIdentifier) override;

    int32_t OwnContextIdentifiers() const override { return IdentifiersBeforeOwnList() + startStopKeys_->Count(); }
    TCodeHighlighter* NextHighlighter() const override { return subHighlighter_; }

    void Loaded() override;

protected:
    void Notification(TComponent* component, TOperation operation) override;

    // How many context identifiers a derived highlighter takes before the
    // ones of its own list (the HTML highlighter's element and token
    // contexts).
    virtual int32_t IdentifiersBeforeOwnList() const { return 0; }
    // The first context identifier of this highlighter in a document: the
    // own keys and every highlighter before this one in the chain come first.
    int32_t FirstIdentifierIn(TCodeDocument& document) const;
    // The level of the context a record stands for (32767 for a keyword,
    // 0 outside this highlighter's own start/stop contexts).
    int16_t LevelOf(TCodeDocument& document, const TContextState& record) const;
    // Neither the own start/stop keys (none, or not enabled) nor a
    // SubHighlighter can open a context: text the start hook hands on
    // here stays as it is.
    bool OpensNothing() const { return !(enabled_ && startStopKeys_->Count() > 0) && subHighlighter_ == nullptr; }

private:
    bool keywordAllowed(TCodeDocument& document, int32_t paragraph, int keyword, int32_t start, int32_t end,
                        const TContextState& inForce);

    std::unique_ptr<TExtKeywordList> keywords_;
    std::unique_ptr<TExtStartStopList> startStopKeys_;
    TByteSet separators_;
    bool enabled_ = true;
    TCodeHighlighter* subHighlighter_ = nullptr;
    // Where a vetoed occurrence stands, for the veto callback.
    std::unique_ptr<TCodeNavigator> vetoStart_;
    std::unique_ptr<TCodeNavigator> vetoEnd_;
};
