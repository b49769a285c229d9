#include "editor/model/KeywordList.h"

#include "editor/model/UpperCase.h"

#include "platform/base/Filer.h"
#include "platform/base/UpdateScope.h"

#include <algorithm>
#include <memory>

namespace {
// The list's own copy of the attribute record an object names; none for
// nullptr.
std::unique_ptr<TKeywordAttributes> recordCopy(const void* object) {
    if (object == nullptr)
        return nullptr;
    return std::make_unique<TKeywordAttributes>(*static_cast<const TKeywordAttributes*>(object));
}
}  // namespace

TKeywordList::~TKeywordList() {
    for (int i = 0; i < GetCount(); ++i)
        delete record(i);
}

int TKeywordList::AddKeyword(const std::string& keyword, const TKeywordAttributes& attributes) {
    return AddObject(keyword, const_cast<TKeywordAttributes*>(&attributes));
}

const TKeywordAttributes* TKeywordList::Attributes(int index) const {
    // The record's Length is filled in with the matching copies.
    keepFolded();
    return static_cast<const TKeywordAttributes*>(GetObject(index));
}

TKeywordAttributes TKeywordList::AttributesOf(int index) const {
    const TKeywordAttributes* attributes = Attributes(index);
    return attributes != nullptr ? *attributes : TKeywordAttributes{};
}

void TKeywordList::SetAttributes(int index, const TKeywordAttributes& attributes) {
    PutObject(index, const_cast<TKeywordAttributes*>(&attributes));
}

int TKeywordList::AddObject(const std::string& s, void* object) {
    std::unique_ptr<TKeywordAttributes> copy = recordCopy(object);
    int before = GetCount();
    int index = TStringList::AddObject(s, copy.get());
    // A sorted list may refuse a duplicate: then it keeps no record.
    if (GetCount() > before)
        copy.release();
    return index;
}

void TKeywordList::InsertObject(int index, const std::string& s, void* object) {
    std::unique_ptr<TKeywordAttributes> copy = recordCopy(object);
    TStringList::InsertObject(index, s, copy.get());
    copy.release();
}

void TKeywordList::PutObject(int index, void* object) {
    TKeywordAttributes* old = record(index);
    if (object == old)
        return;
    TStringList::PutObject(index, recordCopy(object).release());
    delete old;
}

void TKeywordList::Delete(int index) {
    TKeywordAttributes* old = record(index);
    TStringList::Delete(index);
    delete old;
}

void TKeywordList::Clear() {
    std::vector<TKeywordAttributes*> records;
    records.reserve(static_cast<size_t>(GetCount()));
    for (int i = 0; i < GetCount(); ++i)
        records.push_back(record(i));
    TStringList::Clear();
    for (TKeywordAttributes* old : records)
        delete old;
}

void TKeywordList::Assign(const TPersistent* source) {
    if (const auto* keywords = dynamic_cast<const TKeywordList*>(source)) {
        if (keywords == this)
            return;
        RunInUpdate(*this, [&] {
            Clear();
            for (int i = 0; i < keywords->GetCount(); ++i)
                AddObject(keywords->Get(i), const_cast<TKeywordAttributes*>(keywords->Attributes(i)));
        });
        return;
    }
    if (const auto* strings = dynamic_cast<const TStrings*>(source)) {
        // The objects of another list are not attribute records: the words
        // come over without any.
        RunInUpdate(*this, [&] {
            Clear();
            for (int i = 0; i < strings->GetCount(); ++i)
                Add(strings->Get(i));
        });
        return;
    }
    TStringList::Assign(source);
}

void TKeywordList::SetUpperCaseType(TpmUpperCase value) {
    if (value == upperCaseType_)
        return;
    upperCaseType_ = value;
    stale_ = true;
}

void TKeywordList::Changed() {
    stale_ = true;
    TStringList::Changed();
}

void TKeywordList::rebuild() const {
    stale_ = false;
    const int count = GetCount();
    folded_.assign(static_cast<size_t>(count), std::string());
    longest_ = 0;
    anyCaseInsensitive_ = false;
    for (int i = 0; i < count; ++i) {
        TKeywordAttributes* attributes = record(i);
        const bool caseSensitive = attributes != nullptr && (attributes->Options & kKeyCaseSensitive) != 0;
        std::string key = caseSensitive ? Get(i) : UpperCased(upperCaseType_, Get(i));
        anyCaseInsensitive_ = anyCaseInsensitive_ || !caseSensitive;
        auto length = static_cast<int32_t>(key.size());
        if (attributes != nullptr)
            attributes->Length = length;
        longest_ = std::max(longest_, length);
        folded_[static_cast<size_t>(i)] = std::move(key);
    }
}

TKeywordAttributes TKeywordList::attributesFromStream(const int32_t* values) const {
    return AttributesFromStreamedValues(values);
}

void TKeywordList::attributesToStream(const TKeywordAttributes& attributes, int32_t* values) const {
    AttributesToStreamedValues(attributes, values);
}

void TKeywordList::readKeywords(TReader& reader) {
    reader.ReadListBegin();
    RunInUpdate(*this, [&] {
        Clear();
        const int integers = StreamedIntegers();
        while (!reader.EndOfList()) {
            std::string keyword = reader.ReadString();
            int32_t values[8] = {};
            for (int i = 0; i < integers; ++i)
                values[i] = reader.ReadInteger();
            TKeywordAttributes attributes = attributesFromStream(values);
            AddKeyword(keyword, attributes);
        }
    });
    reader.ReadListEnd();
}

void TKeywordList::writeKeywords(TWriter& writer) const {
    writer.WriteListBegin();
    const int integers = StreamedIntegers();
    for (int i = 0; i < GetCount(); ++i) {
        writer.WriteString(Get(i));
        int32_t values[8] = {};
        attributesToStream(AttributesOf(i), values);
        for (int v = 0; v < integers; ++v)
            writer.WriteInteger(values[v]);
    }
    writer.WriteListEnd();
}

void TKeywordList::DefineProperties(TFiler& filer) {
    filer.DefineProperty(
        "Strings", [this](TReader& reader) { readKeywords(reader); },
        [this](TWriter& writer) { writeKeywords(writer); }, GetCount() > 0);
}
