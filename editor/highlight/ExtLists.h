#pragma once
// The keyword and start/stop lists of a highlighter: the document's lists with
// two more fields per entry that restrict where the entry applies.
//
// A keyword's required context (0 = any) limits it to contexts with that
// context number; its level (32767 = everywhere) lets it into a highlighter
// context only when it is above that context's level.  A start/stop
// entry's end mode (kEndAtSeparator: the context ends at the first
// separator) and level (the level of the contexts it opens) take part in
// matching follow-on entries too.

#include "editor/model/KeywordList.h"
#include "editor/model/StartStopKeyList.h"

class TExtKeywordList : public TKeywordList {
public:
    std::string ClassName() const override { return "TExtKeywordList"; }

    // From any keyword list; the two extra fields come along only from
    // another TExtKeywordList, a plain list gives 0 for both.
    void Assign(const TPersistent* source) override;

protected:
    // "Strings": text, options, style, context number, tag, Background,
    // Foreground, required context, level.
    int StreamedIntegers() const override { return 8; }
    TKeywordAttributes attributesFromStream(const int32_t* values) const override;
    void attributesToStream(const TKeywordAttributes& attributes, int32_t* values) const override;
};

// An entry of a highlighter's start/stop list as it is read from a stream:
// the entry with its end mode and level.
using TExtStartStopInfo = TStartStopInfo;

class TExtStartStopList : public TStartStopKeyList {
public:
    std::string ClassName() const override { return "TExtStartStopList"; }

    // AddStartStopKey, then the two extra fields.
    int32_t Add(const std::string& startKey, const std::string& stopKey, bool endsAtParagraphEnd, int32_t foreground,
                int32_t background, uint16_t tag, int32_t contextNumber, uint8_t style, uint8_t options,
                int16_t endMode, int16_t level);

protected:
    // "Keys": both keys, options, style, context number, tag, Background,
    // Foreground, end mode, level, and the paragraph-end flag.
    int StreamedIntegers() const override { return 8; }
    void addFromStream(const std::string& startKey, const std::string& stopKey, const int32_t* values,
                       bool endsAtParagraphEnd) override;
    void valuesToStream(const TStartStopInfo& entry, int32_t* values) const override;
};
