#include "editor/highlight/ExtLists.h"

void TExtKeywordList::Assign(const TPersistent* source) {
    TKeywordList::Assign(source);
    if (dynamic_cast<const TExtKeywordList*>(source) != nullptr || dynamic_cast<const TKeywordList*>(source) == nullptr)
        return;
    // A plain keyword list knows nothing of required contexts and levels.
    for (int i = 0; i < Count(); ++i) {
        if (Attributes(i) == nullptr)
            continue;
        TKeywordAttributes attributes = AttributesOf(i);
        attributes.RequiredContext = 0;
        attributes.Level = 0;
        SetAttributes(i, attributes);
    }
}

TKeywordAttributes TExtKeywordList::attributesFromStream(const int32_t* values) const {
    TKeywordAttributes attributes = TKeywordList::attributesFromStream(values);
    attributes.RequiredContext = static_cast<int16_t>(values[6]);
    attributes.Level = static_cast<int16_t>(values[7]);
    return attributes;
}

void TExtKeywordList::attributesToStream(const TKeywordAttributes& attributes, int32_t* values) const {
    TKeywordList::attributesToStream(attributes, values);
    values[6] = attributes.RequiredContext;
    values[7] = attributes.Level;
}

int32_t TExtStartStopList::Add(const std::string& startKey, const std::string& stopKey, bool endsAtParagraphEnd,
                               int32_t foreground, int32_t background, uint16_t tag, int32_t contextNumber,
                               uint8_t style, uint8_t options, int16_t endMode, int16_t level) {
    int32_t index = AddStartStopKey(startKey, stopKey, endsAtParagraphEnd, foreground, background, tag,
                                    contextNumber, style, options);
    TStartStopInfo* entry = GetItem(index);
    entry->EndMode = endMode;
    entry->Level = level;
    return index;
}

void TExtStartStopList::addFromStream(const std::string& startKey, const std::string& stopKey,
                                      const int32_t* values, bool endsAtParagraphEnd) {
    const TKeywordAttributes a = AttributesFromStreamedValues(values);
    Add(startKey, stopKey, endsAtParagraphEnd, a.Foreground, a.Background, a.Tag, a.ContextNumber, a.Style, a.Options,
        static_cast<int16_t>(values[6]), static_cast<int16_t>(values[7]));
}

void TExtStartStopList::valuesToStream(const TStartStopInfo& entry, int32_t* values) const {
    TStartStopKeyList::valuesToStream(entry, values);
    values[6] = entry.EndMode;
    values[7] = entry.Level;
}
