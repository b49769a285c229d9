#pragma once
// TCodeHighlighter: the base of every highlighter a TCodeMemo can use.
//
// A highlighter opens and closes contexts of its own while the memo parses
// its start/stop keys, and colours words of its own while the memo applies
// keywords.  The memo asks it through three hooks; each hook receives the
// first context identifier that is free for the highlighter (the memo's own
// start/stop keys or keywords take the identifiers below it).  The base
// class recognises nothing.  One highlighter may serve many memos: it keeps
// the list of memos that use it, and a memo joins and leaves that list
// through its Highlighter setter.

#include "platform/base/Component.h"

#include <cstdint>
#include <vector>

class TCodeMemo;
class TCodeNavigator;

class TCodeHighlighter : public TComponent {
public:
    explicit TCodeHighlighter(TComponent* owner = nullptr);
    // Every memo still using the highlighter is left without one.
    ~TCodeHighlighter() override;

    std::string ClassName() const override { return "TCodeHighlighter"; }

    // Keyword hook: colours the words the highlighter knows between two
    // navigators of one memo.  Keyword identifiers from firstIdentifier on
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

    // How many context identifiers the highlighter itself uses, and the
    // highlighter it hands unrecognised text to (if any).  Together they
    // tell a highlighter in a chain which context identifiers are its own.
    virtual int32_t OwnContextIdentifiers() const { return 0; }
    virtual TCodeHighlighter* NextHighlighter() const { return nullptr; }

    const std::vector<TCodeMemo*>& Memos() const { return memos_; }
    // Clears and redoes the highlighting of every memo using the
    // highlighter.
    void ReApplyToMemos();

    // Lets a memo hand the highlighter a notice (operation 64: look at the
    // memo's current message), as it does for attached components.
    void Notify(TComponent* component, TOperation operation) { Notification(component, operation); }

private:
    friend class TCodeMemo;
    void addMemo(TCodeMemo* memo);
    void removeMemo(TCodeMemo* memo);

    std::vector<TCodeMemo*> memos_;
};
