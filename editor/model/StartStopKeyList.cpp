#include "editor/model/StartStopKeyList.h"

#include "editor/model/UpperCase.h"

#include "platform/base/Filer.h"

#include <algorithm>

std::string TStartStopKeyList::fold(const std::string& key, uint8_t options) const {
    return (options & kKeyCaseSensitive) != 0 ? key : UpperCased(upperCaseType_, key);
}

int16_t TStartStopKeyList::findLink(int32_t before, const std::string& foldedStart, uint8_t options) const {
    for (int32_t i = 0; i < before; ++i) {
        const TStartStopInfo& entry = items_[static_cast<size_t>(i)];
        if (entry.Options == options && entry.StartKey == foldedStart)
            return static_cast<int16_t>(i);
    }
    return -1;
}

int32_t TStartStopKeyList::AddStartStopKey(const std::string& startKey, const std::string& stopKey,
                                           bool endsAtParagraphEnd, int32_t foreground, int32_t background,
                                           uint16_t tag, int32_t contextNumber, uint8_t style, uint8_t options) {
    if (startKey.empty())
        throw EInvalidOperation("Empty start key");
    if (static_cast<int32_t>(startKey.size()) > kLongestStartStopKey ||
        static_cast<int32_t>(stopKey.size()) > kLongestStartStopKey)
        throw EInvalidOperation("Key too long");
    if (Count() >= 32767)
        throw EListError();
    TStartStopInfo entry;
    entry.Options = options;
    entry.Style = style;
    entry.ContextNumber = contextNumber;
    entry.Tag = tag;
    entry.Background = background;
    entry.Foreground = foreground;
    entry.StartKeyText = startKey;
    entry.StopKeyText = stopKey;
    entry.StartKey = fold(startKey, options);
    entry.StopKey = fold(stopKey, options);
    entry.StartLength = static_cast<int16_t>(startKey.size());
    entry.StopLength = static_cast<int16_t>(stopKey.size());
    entry.EndsAtParagraphEnd = endsAtParagraphEnd;
    entry.Link = findLink(Count(), entry.StartKey, options);
    longestStart_ = std::max(longestStart_, entry.StartLength);
    longestStop_ = std::max(longestStop_, entry.StopLength);
    // The paragraph break that may end the context counts two characters.
    if (endsAtParagraphEnd)
        longestStop_ = std::max<int16_t>(longestStop_, 2);
    prepared_ = false;
    return Add(entry);
}

void TStartStopKeyList::Clear() {
    items_.clear();
    SetCapacity(2);
    longestStart_ = 0;
    longestStop_ = 0;
    prepared_ = false;
}

void TStartStopKeyList::SetUpperCaseType(TpmUpperCase value) {
    if (value == upperCaseType_)
        return;
    upperCaseType_ = value;
    for (TStartStopInfo& entry : items_) {
        if ((entry.Options & kKeyCaseSensitive) != 0)
            continue;
        entry.StartKey = fold(entry.StartKeyText, entry.Options);
        entry.StopKey = fold(entry.StopKeyText, entry.Options);
    }
    // Keys that fold alike under the new rule are linked alike.
    for (int32_t i = 0; i < Count(); ++i)
        items_[static_cast<size_t>(i)].Link = findLink(i, items_[static_cast<size_t>(i)].StartKey,
                                                       items_[static_cast<size_t>(i)].Options);
    prepared_ = false;
}

void TStartStopKeyList::Prepare(const TByteSet& separators) {
    firstChars_ = TByteSet();
    foldedFirstChars_ = TByteSet();
    anyCaseInsensitive_ = false;
    for (TStartStopInfo& entry : items_) {
        if (!entry.StartKey.empty()) {
            auto c = static_cast<unsigned char>(entry.StartKey.front());
            bool sensitive = (entry.Options & kKeyCaseSensitive) != 0;
            (sensitive ? firstChars_ : foldedFirstChars_).Add(c);
            anyCaseInsensitive_ = anyCaseInsensitive_ || !sensitive;
        }
        bool whole = (entry.Options & kKeyWholeWord) != 0;
        const std::string& start = entry.StartKey;
        const std::string& stop = entry.StopKey;
        auto first = [](const std::string& key) { return static_cast<unsigned char>(key.front()); };
        auto last = [](const std::string& key) { return static_cast<unsigned char>(key.back()); };
        entry.SeparatorBeforeStart = whole && !start.empty() && !separators.Contains(first(start));
        entry.SeparatorAfterStart = whole && !start.empty() && !separators.Contains(last(start));
        entry.SeparatorBeforeStop = whole && !stop.empty() && !separators.Contains(first(stop));
        entry.SeparatorAfterStop = whole && !stop.empty() && !separators.Contains(last(stop));
    }
    prepared_ = true;
}

void TStartStopKeyList::addFromStream(const std::string& startKey, const std::string& stopKey, const int32_t* values,
                                      bool endsAtParagraphEnd) {
    const TKeywordAttributes a = AttributesFromStreamedValues(values);
    AddStartStopKey(startKey, stopKey, endsAtParagraphEnd, a.Foreground, a.Background, a.Tag, a.ContextNumber,
                    a.Style, a.Options);
}

void TStartStopKeyList::valuesToStream(const TStartStopInfo& entry, int32_t* values) const {
    AttributesToStreamedValues(entry, values);
}

void TStartStopKeyList::readKeys(TReader& reader) {
    reader.ReadListBegin();
    Clear();
    const int integers = StreamedIntegers();
    while (!reader.EndOfList()) {
        std::string startKey = reader.ReadString();
        std::string stopKey = reader.ReadString();
        int32_t values[8] = {};
        for (int i = 0; i < integers; ++i)
            values[i] = reader.ReadInteger();
        bool endsAtParagraphEnd = reader.ReadBoolean();
        addFromStream(startKey, stopKey, values, endsAtParagraphEnd);
    }
    reader.ReadListEnd();
    prepared_ = false;
}

void TStartStopKeyList::writeKeys(TWriter& writer) const {
    writer.WriteListBegin();
    const int integers = StreamedIntegers();
    for (const TStartStopInfo& entry : items_) {
        writer.WriteString(entry.StartKey);
        writer.WriteString(entry.StopKey);
        int32_t values[8] = {};
        valuesToStream(entry, values);
        for (int i = 0; i < integers; ++i)
            writer.WriteInteger(values[i]);
        writer.WriteBoolean(entry.EndsAtParagraphEnd);
    }
    writer.WriteListEnd();
}

void TStartStopKeyList::DefineProperties(TFiler& filer) {
    filer.DefineProperty(
        "Keys", [this](TReader& reader) { readKeys(reader); }, [this](TWriter& writer) { writeKeys(writer); },
        Count() > 0);
}
