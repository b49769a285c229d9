#pragma once
// Matching start/stop keys and keywords in a document's paragraphs.
//
// The document applies its own StartStopKeys and Keywords with these routines,
// and an extended highlighter applies its own lists with the same ones: the
// list, the separator set and the first context identifier differ, and an
// extended list also takes end modes and levels into account.  Offsets are
// offsets within one paragraph.

#include "editor/model/ByteSet.h"
#include "editor/model/KeywordList.h"
#include "editor/model/StartStopKeyList.h"
#include "editor/model/TextStore.h"

#include <cstdint>
#include <functional>

class TCodeDocument;
class TCodeNavigator;

struct TKeyMatchScope {
    TCodeDocument& Document;
    TStartStopKeyList& List;
    const TByteSet& Separators;
    int32_t FirstIdentifier;     // key-stack identifier of entry 0
    bool Extended = false;       // end modes and levels take part
};

// Opens a context with the first start key found at or after position and
// before limit (an earlier position wins, then the earlier entry).  Start
// keys open only where the record in force has no key stack, or a keyword
// or the entry 0xFFFF on top, and below 15 levels.  On success the new
// record stands at the key and limit after it.
bool MatchStartKey(const TKeyMatchScope& scope, int32_t paragraph, int32_t position, int32_t& limit);

// The same search in two steps: where the first start key lies (nothing is
// written), and opening it.
struct TStartKeyMatch {
    int32_t Offset = -1;
    int32_t Entry = -1;
};
bool FindStartKeyMatch(const TKeyMatchScope& scope, int32_t paragraph, int32_t position, int32_t limit,
                       TStartKeyMatch& match);
// False when the key stack is full there.
bool OpenStartKey(const TKeyMatchScope& scope, int32_t paragraph, const TStartKeyMatch& match, int32_t& limit);

// Ends the context in force at position, opened by entry `entry` of the
// list: at the entry's stop key, at the paragraph end for an entry that
// ends there, or (extended lists) at the first separator.  On success the
// enclosing context, or the entry's follow-on, is in force from limit on.
bool MatchStopKey(const TKeyMatchScope& scope, int32_t paragraph, int32_t position, int32_t& limit, int32_t entry);

// Decides whether a found keyword occurrence is written (the extended rules
// and a veto); start and end are offsets within the paragraph.
using TKeywordFilter =
    std::function<bool(int32_t keyword, int32_t paragraph, int32_t start, int32_t end, const TContextState& inForce)>;

struct TKeywordScope {
    TCodeDocument& Document;
    const TKeywordList& List;
    const TByteSet& Separators;
    int32_t FirstIdentifier;  // key-stack entry of keyword 0
    // The document's own keywords never match under a context that bars them
    // (styled, with a context number); a highlighter decides by its filter.
    bool MaskBarred = true;
    TKeywordFilter Filter;
};

// Colours the keywords of the list between two absolute offsets; each
// occurrence is put in force through the document's ApplyContext.
void ApplyKeywordList(const TKeywordScope& scope, int32_t from, int32_t to);
