#pragma once
// TCodeHighlighter: the base of every highlighter a document (and the memo
// showing it) can use.
//
// A highlighter opens and closes contexts of its own while the document
// parses its start/stop keys, and colours words of its own while the
// document applies keywords.  The document asks it through three hooks;
// each hook receives the first context identifier that is free for the
// highlighter (the document's own start/stop keys or keywords take the
// identifiers below it).  The base class recognises nothing.  One
// highlighter may serve many documents: it keeps the list of documents that
// use it, and a document joins and leaves that list through its Highlighter
// setter.

#include "platform/base/Component.h"

#include <cstdint>
#include <vector>

class TCodeDocument;
class TCodeNavigator;
struct TContextState;

// The operation code under which a memo hands its attached components and
// its highlighter every message it receives: Notification(memo,
// kMemoMessage) while the memo's CurrentMessage() holds it.
constexpr TOperation kMemoMessage = static_cast<TOperation>(64);

class TCodeHighlighter : public TComponent {
public:
    explicit TCodeHighlighter(TComponent* owner = nullptr);
    // Every document still using the highlighter is left without one.
    ~TCodeHighlighter() override;

    std::string ClassName() const override { return "TCodeHighlighter"; }

    // Keyword hook: colours the words the highlighter knows between two
    // navigators of one document.  Keyword identifiers from firstIdentifier on
    // belong to the highlighter.
    virtual void KeywordHook(TCodeNavigator& from, TCodeNavigator& to, int32_t firstIdentifier) {}
    // Start hook: opens a context at or after position and before limit;
    // on success the context's record stands at the key's start and limit
    // after the key.  Context identifiers from firstIdentifier on belong to
    // the highlighter.
    virtual bool StartKeyHook(TCodeNavigator& position, TCodeNavigator& limit, int32_t firstIdentifier) {
        return false;
    }
    // Stop hook: ends the context in force at position when its end lies
    // before limit; on success limit stands after the end.
    virtual bool StopKeyHook(TCodeNavigator& position, TCodeNavigator& limit, int32_t firstIdentifier) {
        return false;
    }
    // For a context of the highlighter that nothing opens inside and that
    // ends only at the first stop key its stop hook finds by searching
    // forward from the position (looking back at most the bytes answered,
    // less than 64): parsing after an edit may take such a stretch up
    // anywhere inside it instead of at its start.  -1 for any other context
    // (the answer of a highlighter that knows of no such context).
    virtual int32_t ResumeLookBack(const TContextState& state, int32_t firstIdentifier) const { return -1; }
    // False only for a context of the highlighter that its stop hook never
    // ends (parsing then does not ask the hook there).
    virtual bool StopHookMayEnd(const TContextState& state, int32_t firstIdentifier) const { return true; }

    // How many context identifiers the highlighter itself uses, and the
    // highlighter it hands unrecognised text to (if any).  Together they
    // tell a highlighter in a chain which context identifiers are its own.
    virtual int32_t OwnContextIdentifiers() const { return 0; }
    virtual TCodeHighlighter* NextHighlighter() const { return nullptr; }

    const std::vector<TCodeDocument*>& Documents() const { return documents_; }
    // Clears and redoes the highlighting of every document using the
    // highlighter.
    void ReApplyToDocuments();

    // Lets a memo hand the highlighter a notice (operation 64: look at the
    // memo's current message), as it does for attached components.
    void Notify(TComponent* component, TOperation operation) { Notification(component, operation); }

private:
    friend class THighlightEngine;
    void addDocument(TCodeDocument* document);
    void removeDocument(TCodeDocument* document);

    std::vector<TCodeDocument*> documents_;
};
