#pragma once
// TStartStopKeyList: pairs of keys that open and close a highlighting
// context (comment delimiters, say), a memo's StartStopKeys and a
// highlighter's own list; and TDynArray, the growable record array it is
// built on.

#include "editor/model/ByteSet.h"
#include "editor/model/DocumentTypes.h"
#include "editor/model/KeywordList.h"

#include "platform/base/Component.h"
#include "platform/base/Exceptions.h"

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

class TFiler;
class TReader;
class TWriter;

// A growable array of records.  The stride is the slot size a record takes
// in memory; it bounds how many records an array can hold.
template <class TRecord>
class TDynArray : public TPersistent {
public:
    explicit TDynArray(int32_t stride) : stride_(stride) {}

    int32_t Count() const { return static_cast<int32_t>(items_.size()); }
    int32_t Capacity() const { return capacity_; }
    int32_t Stride() const { return stride_; }

    // Raises "List index out of bounds" outside 0..Count-1.
    TRecord* GetItem(int32_t index) {
        checkIndex(index);
        return &items_[static_cast<size_t>(index)];
    }
    const TRecord* GetItem(int32_t index) const {
        checkIndex(index);
        return &items_[static_cast<size_t>(index)];
    }
    const TRecord& operator[](int32_t index) const { return items_[static_cast<size_t>(index)]; }

    // More records than fit in 2 GB of slots raise EOutOfMemory.
    void SetCapacity(int32_t capacity) {
        if (capacity < 0)
            capacity = 0;
        if (capacity > std::numeric_limits<int32_t>::max() / stride_)
            throw EOutOfMemory();
        if (capacity < Count())
            items_.resize(static_cast<size_t>(capacity));
        items_.reserve(static_cast<size_t>(capacity));
        capacity_ = capacity;
    }
    // A count below 0 counts as 0; the capacity grows to the count when needed.
    void SetCount(int32_t count) {
        if (count < 0)
            count = 0;
        if (count > capacity_)
            SetCapacity(count);
        items_.resize(static_cast<size_t>(count));
    }
    // Appends a copy of the record and returns its index.
    int32_t Add(const TRecord& record) {
        if (Count() >= capacity_)
            SetCapacity(Count() + 1);
        items_.push_back(record);
        return Count() - 1;
    }

protected:
    void checkIndex(int32_t index) const {
        if (index < 0 || index >= Count())
            throw EListError();
    }

    std::vector<TRecord> items_;

private:
    int32_t stride_;
    int32_t capacity_ = 0;
};

// One start/stop entry.
struct TStartStopInfo {
    uint8_t Options = 0;  // kKeyCaseSensitive, kKeyWholeWord
    uint8_t Style = 0;    // style bits of the context
    int32_t ContextNumber = 0;
    uint16_t Tag = 0;
    int32_t Background = 0;
    int32_t Foreground = 0;
    std::string StartKey;  // folded unless case-sensitive
    std::string StopKey;
    int16_t StartLength = 0;
    int16_t StopLength = 0;
    std::string StartKeyText;  // as supplied
    std::string StopKeyText;
    // The context also ends at the end of its paragraph when no stop key
    // is found there.
    bool EndsAtParagraphEnd = false;
    // The earlier entry with the same options and start key (-1 = none): a
    // context closed by that entry's stop key is followed by this entry's.
    int16_t Link = -1;
    // Separators required around the keys; derived from the whole-word
    // option and a separator set when the list is prepared.
    bool SeparatorAfterStart = false;
    bool SeparatorBeforeStart = false;
    bool SeparatorAfterStop = false;
    bool SeparatorBeforeStop = false;
    // Read by the extended lists of highlighters only (0 elsewhere):
    // kEndAtSeparator ends the context at the first separator instead of at
    // a stop key; Level is the level of a context the entry opens.
    int16_t EndMode = 0;
    int16_t Level = 0;
};

// The entry under the name the key lists' users know it by.
using StartStopInfo = TStartStopInfo;

// The end mode of an entry whose context ends at the first separator.
constexpr int16_t kEndAtSeparator = 32767;
// The longest key an entry may have: a key's length (and one separator
// after it) must fit the context record's 8-bit key lengths.
constexpr int32_t kLongestStartStopKey = 254;

class TStartStopKeyList : public TDynArray<TStartStopInfo> {
public:
    TStartStopKeyList() : TDynArray<TStartStopInfo>(48) {}

    std::string ClassName() const override { return "TStartStopKeyList"; }

    // Appends an entry and returns its index.  An empty start key is
    // refused ("Empty start key": it would match everywhere without moving
    // on), and so is a key longer than kLongestStartStopKey ("Key too long").
    int32_t AddStartStopKey(const std::string& startKey, const std::string& stopKey, bool endsAtParagraphEnd,
                            int32_t foreground, int32_t background, uint16_t tag, int32_t contextNumber, uint8_t style,
                            uint8_t options);
    void Clear();

    TpmUpperCase UpperCaseType() const { return upperCaseType_; }
    // Re-folds the keys of the case-insensitive entries.
    void SetUpperCaseType(TpmUpperCase value);

    int16_t LongestStart() const { return longestStart_; }
    int16_t LongestStop() const { return longestStop_; }

    // The separator flags follow the whole-word option and a separator set;
    // every change of the list or of the set asks for this anew.
    bool Prepared() const { return prepared_; }
    void SetPrepared(bool value) { prepared_ = value; }
    void Prepare(const TByteSet& separators);
    // Filled by Prepare: the first characters of the case-sensitive start
    // keys and of the folded case-insensitive ones, so that a scan tries
    // the entries only where one may begin.
    bool MayStartWith(unsigned char c, unsigned char folded) const {
        return firstChars_.Contains(c) || foldedFirstChars_.Contains(folded);
    }
    bool AnyCaseInsensitive() const { return anyCaseInsensitive_; }

    // Streams the list as "Keys": per entry both keys (folded), the integer
    // fields and the paragraph-end flag.
    void DefineProperties(TFiler& filer) override;

protected:
    virtual int StreamedIntegers() const { return 6; }
    // Adds an entry read from a stream (values as StreamedIntegers says).
    virtual void addFromStream(const std::string& startKey, const std::string& stopKey, const int32_t* values,
                               bool endsAtParagraphEnd);
    virtual void valuesToStream(const TStartStopInfo& entry, int32_t* values) const;
    void readKeys(TReader& reader);
    void writeKeys(TWriter& writer) const;

private:
    std::string fold(const std::string& key, uint8_t options) const;
    int16_t findLink(int32_t before, const std::string& foldedStart, uint8_t options) const;

    TpmUpperCase upperCaseType_ = pmuAscii;
    int16_t longestStart_ = 0;
    int16_t longestStop_ = 0;
    bool prepared_ = false;
    TByteSet firstChars_;
    TByteSet foldedFirstChars_;
    bool anyCaseInsensitive_ = false;
};
