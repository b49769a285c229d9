#pragma once
// A position in a document's text that stays correct while the text changes.
//
// A navigator holds an absolute offset and caches, lazily, the paragraph it
// lies in, its offset within that paragraph, its display line within the
// paragraph and the index of the first context record at or after it.  Every
// cached value can be dropped and is worked out again on demand.  The
// document keeps every navigator bound to it in a list and moves them all on
// each edit; selection ends, the caret, the top line, bookmarks and the
// working positions of formatting and highlighting are navigators.

#include "editor/model/ContextEditing.h"
#include "editor/model/TextStore.h"

#include <cstdint>
#include <functional>
#include <string>

class TCodeDocument;
class TComponent;

class TCodeNavigator {
public:
    static constexpr int32_t kUnknown = 2147483647;

    // A free navigator, bound to no document until SetDocument.
    TCodeNavigator() = default;
    // Bound to a document (nullptr: free).
    explicit TCodeNavigator(TCodeDocument* document);
    // Bound to the document of a component that shows one (a memo); any
    // other component raises "Internal error: component is not a TCodeMemo".
    explicit TCodeNavigator(TComponent* holder);
    ~TCodeNavigator();
    TCodeNavigator(const TCodeNavigator&) = delete;
    TCodeNavigator& operator=(const TCodeNavigator&) = delete;

    // Placed after the inserted text when an edit replaces a range holding it.
    bool EndOfInsertion = false;
    // Called with the navigator when it is destroyed.
    std::function<void(TCodeNavigator*)> OnFree;

    TCodeDocument* Document() const { return document_; }
    // Binds the navigator to another document (or none); the cache is dropped.
    void SetDocument(TCodeDocument* document);

    int32_t Pos() const { return offset_; }
    void SetPos(int32_t offset);
    // SetPos(start + offsetInParagraph) for a caller that knows the
    // paragraph and its start: a navigator already in that paragraph moves
    // without looking the start up (highlighter hooks move their limit so
    // after everything they find).
    void SetPosIn(TParagraph& paragraph, int32_t start, int32_t offsetInParagraph) {
        if (parIndex_ >= 0 && parOffset_ != kUnknown && lines_.Paragraph() == &paragraph && offsetInParagraph >= 0 &&
            offsetInParagraph <= paragraph.Length() + 1)
            moveWithin(paragraph, start, offsetInParagraph);
        else
            SetPos(start + offsetInParagraph);
    }

    int32_t ParNumber() {
        if (parIndex_ < 0)
            locate();
        return parIndex_;
    }
    TParagraph* Paragraph() { return &par(); }
    int32_t ParOffset() { return parIndex_ >= 0 && parOffset_ != kUnknown ? parOffset_ : findParOffset(); }
    int32_t ContextIndex();
    int32_t LineInPar();
    int32_t LineNumber();
    TLinesList& Lines();

    // Moves to the start of a display line (clamped to 0..last line).
    void SetLineNumber(int32_t line);
    int32_t ColumnInLine();
    // Moves within the current display line; the column is clamped to the line.
    void SetColumnInLine(int32_t column);

    // The byte at the position: the paragraph's byte, CR at its end, LF one beyond.
    char CharAt();
    // count characters from the position with CR LF at paragraph breaks (a
    // break may be cut in half when count ends inside it).
    std::string GetText(int32_t count);

    bool PrevContext(int32_t limit);
    bool NextContext(int32_t limit);
    void SkipContextsHere();
    // The state in force: that of the record before the context index, or
    // the base context.
    const TContextState* CurrentContext();
    // Copies the record in force (a base context with offset 0).
    void GetContext(TContextRecord& destination);
    // The static style set at the position (empty without StaticFormat).
    uint8_t StyleAt();
    // Inserts a record at the position and steps past it.
    void InsertContext(const TContextState& record);
    // Removes the record at the context index, which must start exactly at
    // the position ("Internal CodeMemo error" otherwise).
    void RemoveContext();

    void Assign(const TCodeNavigator& other);
    void Invalidate();
    // Drops the cached line and context indexes only.
    void InvalidateLineAndContext() {
        lineInPar_ = kUnknown;
        contextIndex_ = kUnknown;
    }

    // The record's key-stack depth when it has a key stack, else -1.
    static int ContextDepth(const TContextState& record) { return ContextDepthOf(record); }

private:
    friend class TCodeDocument;
    friend class TTextLayout;
    friend class THighlightEngine;

    void locate();
    // Stands at an offset of paragraph index, whose record and start the
    // caller has just looked up; the line and context indexes are unknown
    // until the caller sets one it knows.
    // (Inline: parsing places two navigators for every hook it calls.)
    void place(int32_t index, TParagraph& paragraph, int32_t start, int32_t offsetInParagraph) {
        parIndex_ = index;
        parOffset_ = offsetInParagraph;
        offset_ = start + offsetInParagraph;
        contextIndex_ = kUnknown;
        lineInPar_ = kUnknown;
        lines_.SetParagraph(&paragraph);
    }
    void requireDocument() const;
    // The paragraph: the one the lines view, kept with its index.
    TParagraph& par() {
        if (parIndex_ < 0)
            locate();
        return *lines_.Paragraph();
    }
    int32_t findParOffset();
    // Moves to an offset of the paragraph it stands in, which starts at
    // start: the cached indexes step over what lies between when it moves
    // forward, and are dropped when it moves back.
    void moveWithin(TParagraph& p, int32_t start, int32_t newOffset) {
        const int32_t offset = start + newOffset;
        parOffset_ = newOffset;
        if (offset >= offset_) {
            if (contextIndex_ != kUnknown)
                while (contextIndex_ < p.Contexts.Count() && p.Contexts.Offset(contextIndex_) < newOffset)
                    ++contextIndex_;
            if (lineInPar_ != kUnknown)
                while (lineInPar_ + 1 < p.LineCount() && p.Line(lineInPar_ + 1).Start <= newOffset)
                    ++lineInPar_;
        } else {
            contextIndex_ = kUnknown;
            lineInPar_ = kUnknown;
        }
        offset_ = offset;
    }

    TCodeDocument* document_ = nullptr;
    int32_t offset_ = 0;
    int32_t parIndex_ = -1;
    int32_t parOffset_ = kUnknown;
    int32_t contextIndex_ = kUnknown;
    int32_t lineInPar_ = kUnknown;
    TLinesList lines_;
};
