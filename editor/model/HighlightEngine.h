#pragma once
// The highlighting engine of a document: which context is in force at
// every character.
//
// Contexts come from the document's own start/stop keys and from its
// highlighter's hooks; keywords are applied on top during line breaking.
// A paragraph is always parsed whole, from the context in force at its
// start (its base context), so that its records depend only on that base
// and its text: a re-parse after an edit gives exactly what a full
// highlight gives.  When the context at a paragraph's end changes, the
// change is handed on to the next paragraph, which is parsed later (by the
// background pass, formatting or painting); the hand-on stops at the first
// paragraph whose base context is unchanged.

#include "editor/model/KeywordList.h"
#include "editor/model/StartStopKeyList.h"
#include "editor/model/TextStore.h"

#include <algorithm>
#include <cstdint>
#include <memory>

class TCodeDocument;
class TCodeHighlighter;
class TCodeNavigator;

class THighlightEngine {
public:
    explicit THighlightEngine(TCodeDocument& document);
    ~THighlightEngine();
    THighlightEngine(const THighlightEngine&) = delete;
    THighlightEngine& operator=(const THighlightEngine&) = delete;

    // Words coloured wherever they occur, and pairs of keys that open and
    // close contexts; both owned by the document.
    TKeywordList& Keywords() { return *keywords_; }
    TStartStopKeyList& StartStopKeys() { return *startStopKeys_; }
    // The highlighter (not owned; one may serve many documents).  Changing
    // it clears and redoes the highlighting.
    TCodeHighlighter* Highlighter() const { return highlighter_; }
    void SetHighlighter(TCodeHighlighter* highlighter);

    // Tries to open a context at or after position and before limit (the
    // document's start keys first, then the highlighter's start hook); on
    // success limit stands after the key.
    bool FindStartKey(TCodeNavigator& position, TCodeNavigator& limit);
    // Tries to end the context in force at position before limit; on
    // success limit stands after the stop key.
    bool FindStopKey(TCodeNavigator& position, TCodeNavigator& limit);
    // Parses the paragraphs from the one holding from through the one
    // holding to, each whole, and hands a changed context at the end on to
    // the next paragraph; to ends at the last paragraph's end.
    void ParseStartStopKeys(TCodeNavigator& from, TCodeNavigator& to);
    // The highlighter's keyword hook, then the document's own keywords.
    void ApplyKeywordsBetween(TCodeNavigator& from, TCodeNavigator& to);
    // Puts a context in force between two navigators (the document's
    // ApplyContext seam does it through this).
    void PutContextBetween(TCodeNavigator& first, TCodeNavigator& second, bool recordChange, bool opening,
                           const TContextState& context);
    // ApplyContext (opening, not recorded) between two absolute offsets.
    void ApplyContextBetween(int32_t from, int32_t to, const TContextState& context);
    // Brings start/stop parsing up to paragraph index (every paragraph's
    // base context must be known before it is formatted).
    void ParseUpTo(int32_t index);
    // Parses paragraph index out of order, from the base context it has
    // for now, so that a view far ahead of the pass in order shows at once.
    // The result stands: should the paragraphs before it end in another
    // context, handing that on marks this one to be parsed again.
    void ParseAhead(int32_t index);
    // Clears every context and highlights everything again.
    void ReApplyKeywords();

    // Range of paragraphs whose highlighting is pending ("none" when first > last).
    int32_t HighlightFirst() const { return highlightFirst_; }
    int32_t HighlightLast() const { return highlightLast_; }
    void SetHighlightRange(int32_t first, int32_t last);
    // The last paragraph whose highlighting is known to be valid (-1 = none).
    int32_t ValidHighlightParagraph() const { return validHighlight_; }

private:
    friend class TCodeDocument;

    // Parses paragraph index whole, or (with editFrom at or above 0) again
    // around a change of editFrom..editTo: from a plain record before it,
    // or from inside a stretch of a context the highlighter lets parsing
    // take up anywhere, to where the new records meet the old ones again.
    void parseParagraph(int32_t index, int32_t editFrom, int32_t editTo);
    // The same, without taking a stretch up inside when mayResume is false;
    // false (and nothing changed) when a stretch taken up inside turned out
    // to need its start after all.
    bool parseParagraphFrom(int32_t index, int32_t editFrom, int32_t editTo, bool mayResume);
    // Whether parsing after an edit may start at offset `at` inside the
    // stretch of record `record` of paragraph p, in its state, as parsing
    // the whole paragraph passes there.
    bool mayResumeInside(const TParagraph& p, int32_t record, int32_t at) const;
    // A paragraph, and its absolute offset.
    struct TPlace {
        int32_t Index = -1;
        TParagraph* Paragraph = nullptr;
        int32_t Start = 0;
    };
    // Paragraph index: the one being parsed as looked up once.
    TPlace placeOf(int32_t index) const { return index == parsing_.Index ? parsing_ : lookUp(index); }
    TPlace lookUp(int32_t index) const;
    // How far a key or token may reach back from where it is looked for:
    // re-parsing after an edit starts and ends at least this far from it.
    static constexpr int32_t kParseMargin = 256;
    bool findStop(int32_t index, int32_t position, int32_t& limit);
    bool findStart(int32_t index, int32_t position, int32_t& limit);
    // FindStartKey and FindStopKey: the search between two navigators in
    // the first one's paragraph.
    bool findKeyBetween(bool stopKey, TCodeNavigator& position, TCodeNavigator& limit);
    // Asks the highlighter's start or stop hook about position .. hookLimit;
    // on success limit stands after what it found.
    bool callHook(bool startHook, int32_t index, int32_t position, int32_t hookLimit, int32_t& limit);
    void handOn(int32_t index);
    // Parses paragraph index whole through the document's virtual
    // operation (an override sees every parse), with two navigators to use.
    void parseWhole(int32_t index, TCodeNavigator& from, TCodeNavigator& to);
    void detachHighlighter();
    // The text changed from paragraph first on; a new text resets everything.
    void textChangedFrom(int32_t first) { validHighlight_ = std::min(validHighlight_, first - 1); }
    void textReplaced();

    TCodeDocument& document_;
    // The paragraph being parsed (none: index -1).
    TPlace parsing_;
    // Set while an edit inside one paragraph is parsed: the records behind
    // the edit are that paragraph's own, so parsing may stop where it meets
    // them again.
    bool aroundEdit_ = false;
    // ... and the edit took no record with it: the old records tell how
    // the text just behind it looked.
    bool editKeptRecords_ = false;
    std::unique_ptr<TKeywordList> keywords_;
    std::unique_ptr<TStartStopKeyList> startStopKeys_;
    TCodeHighlighter* highlighter_ = nullptr;
    int32_t highlightFirst_ = 0;
    int32_t highlightLast_ = -1;
    int32_t validHighlight_ = -1;
    // Where the highlighter's hooks look (the position and the limit), and
    // the two ends of a keyword being put in force.
    std::unique_ptr<TCodeNavigator> hookPosition_;
    std::unique_ptr<TCodeNavigator> hookLimit_;
    std::unique_ptr<TCodeNavigator> keywordStart_;
    std::unique_ptr<TCodeNavigator> keywordEnd_;
};
