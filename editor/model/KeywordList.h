#pragma once
// TKeywordList: words coloured wherever they occur (a memo's Keywords and a
// highlighter's own keyword list).
//
// Each keyword carries an attribute record (its options, colours, context
// number and cursor) as the string's object; the list owns the records.
// For matching, the list keeps a zero-terminated copy of every keyword,
// folded to upper case when the keyword is case-insensitive.  A change of
// the list makes those copies (and the records' lengths) stale; they are
// made again when next read, so that adding keywords one by one costs one
// rebuild, not one per keyword.

#include "editor/model/DocumentTypes.h"

#include "platform/base/Strings.h"

#include <cstdint>
#include <string>
#include <vector>

// Bits of the options byte of keywords and start/stop keys.
enum : uint8_t {
    kKeyCaseSensitive = 0x01,
    kKeyWholeWord = 0x02,
};

// The attribute record of one keyword.  The first fields are those of every
// keyword list; RequiredContext and Level are read only by the extended
// lists of highlighters (and are 0 elsewhere).
struct TKeywordAttributes {
    uint8_t Options = 0;
    uint8_t Style = 0;
    int32_t ContextNumber = 0;  // 0 = the keyword is never applied
    uint16_t Tag = 0;
    int32_t Background = 0;
    int32_t Foreground = 0;
    int32_t Length = 0;  // filled in by the list
    int16_t RequiredContext = 0;
    int16_t Level = 0;
};

// Keywords and start/stop entries (TStartStopInfo) stream the same six
// attributes, in this order; the extended lists of highlighters append two
// values of their own.
template <class TAttributes>
void AttributesToStreamedValues(const TAttributes& attributes, int32_t* values) {
    values[0] = attributes.Options;
    values[1] = attributes.Style;
    values[2] = attributes.ContextNumber;
    values[3] = attributes.Tag;
    values[4] = attributes.Background;
    values[5] = attributes.Foreground;
}
inline TKeywordAttributes AttributesFromStreamedValues(const int32_t* values) {
    TKeywordAttributes attributes;
    attributes.Options = static_cast<uint8_t>(values[0]);
    attributes.Style = static_cast<uint8_t>(values[1]);
    attributes.ContextNumber = values[2];
    attributes.Tag = static_cast<uint16_t>(values[3]);
    attributes.Background = values[4];
    attributes.Foreground = values[5];
    return attributes;
}

class TKeywordList : public TStringList {
public:
    TKeywordList() = default;
    ~TKeywordList() override;

    std::string ClassName() const override { return "TKeywordList"; }

    // Adds a keyword with a copy of its attribute record.
    int AddKeyword(const std::string& keyword, const TKeywordAttributes& attributes);
    // The keyword's record, or nullptr for a keyword added without one
    // (it counts as all fields 0).
    const TKeywordAttributes* Attributes(int index) const;
    // A copy of the record, zeros for a keyword without one.
    TKeywordAttributes AttributesOf(int index) const;
    void SetAttributes(int index, const TKeywordAttributes& attributes);

    // The object of a keyword is its attribute record: adding or putting an
    // object stores a copy of the record it points to (or none for nullptr).
    int AddObject(const std::string& s, void* object) override;
    void InsertObject(int index, const std::string& s, void* object) override;
    void PutObject(int index, void* object) override;
    void Delete(int index) override;
    void Clear() override;
    // From another TKeywordList: every keyword with a copy of its record.
    void Assign(const TPersistent* source) override;

    TpmUpperCase UpperCaseType() const { return upperCaseType_; }
    void SetUpperCaseType(TpmUpperCase value);

    // The matching copy of keyword index: folded when case-insensitive.
    const std::string& FoldedKey(int index) const {
        keepFolded();
        return folded_[static_cast<size_t>(index)];
    }
    int32_t LongestLength() const {
        keepFolded();
        return longest_;
    }
    bool AnyCaseInsensitive() const {
        keepFolded();
        return anyCaseInsensitive_;
    }

    // Streams the list as "Strings": per keyword its text and the integer
    // fields of its record.
    void DefineProperties(TFiler& filer) override;

protected:
    void Changed() override;
    // The number of integers streamed per keyword, and how they map onto a
    // record; the extended list streams two more.
    virtual int StreamedIntegers() const { return 6; }
    void readKeywords(TReader& reader);
    void writeKeywords(TWriter& writer) const;
    virtual TKeywordAttributes attributesFromStream(const int32_t* values) const;
    virtual void attributesToStream(const TKeywordAttributes& attributes, int32_t* values) const;

private:
    void keepFolded() const {
        if (stale_)
            rebuild();
    }
    void rebuild() const;
    TKeywordAttributes* record(int index) const { return static_cast<TKeywordAttributes*>(TStringList::GetObject(index)); }

    TpmUpperCase upperCaseType_ = pmuAscii;
    // Made from the keywords by rebuild, on first read after a change.
    mutable std::vector<std::string> folded_;
    mutable int32_t longest_ = 0;
    mutable bool anyCaseInsensitive_ = false;
    mutable bool stale_ = false;
};
