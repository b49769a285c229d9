#include "platform/base/Strings.h"

#include "platform/base/Filer.h"
#include "platform/base/SafeFile.h"
#include "platform/base/Stream.h"
#include "platform/base/TextCodec.h"
#include "platform/base/TextLines.h"
#include "platform/base/UpdateScope.h"

#include <algorithm>
#include <numeric>

namespace {

bool isBlankOrControl(unsigned char c) { return c <= ' '; }

// Adds the items of a comma text.
void addCommaItems(TStrings& strings, std::string_view text) {
    size_t p = 0;
    const size_t n = text.size();
    auto skipBlanks = [&] {
        while (p < n && isBlankOrControl(static_cast<unsigned char>(text[p])))
            ++p;
    };
    skipBlanks();
    while (p < n) {
        std::string item;
        if (text[p] == '"') {
            // A quoted item: doubled quotes stand for one; an unclosed quote
            // runs to the end of the text.
            ++p;
            while (p < n) {
                if (text[p] == '"') {
                    if (p + 1 < n && text[p + 1] == '"') {
                        item += '"';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                item += text[p++];
            }
        } else {
            size_t start = p;
            while (p < n && !isBlankOrControl(static_cast<unsigned char>(text[p])) && text[p] != ',')
                ++p;
            item.assign(text.substr(start, p - start));
        }
        strings.Add(item);
        skipBlanks();
        if (p < n && text[p] == ',') {
            // A comma at the very end announces one more, empty, item.
            if (p + 1 == n)
                strings.Add(std::string());
            ++p;
            skipBlanks();
        }
    }
}

} // namespace

// ---- TStrings ----

void TStrings::Put(int index, const std::string& s) {
    void* object = GetObject(index);
    RunInUpdate(*this, [&] {
        Delete(index);
        InsertObject(index, s, object);
    });
}

void* TStrings::GetObject(int) const { return nullptr; }

void TStrings::PutObject(int, void*) {}

int TStrings::Add(const std::string& s) {
    int index = GetCount();
    Insert(index, s);
    return index;
}

int TStrings::AddObject(const std::string& s, void* object) {
    int index = Add(s);
    PutObject(index, object);
    return index;
}

void TStrings::InsertObject(int index, const std::string& s, void* object) {
    Insert(index, s);
    PutObject(index, object);
}

void TStrings::AddStrings(const TStrings& strings) {
    RunInUpdate(*this, [&] {
        // The count is taken first so that adding a list to itself ends.
        const int count = strings.GetCount();
        for (int i = 0; i < count; ++i)
            AddObject(strings.Get(i), strings.GetObject(i));
    });
}

void TStrings::Move(int currentIndex, int newIndex) {
    if (currentIndex == newIndex)
        return;
    // Both indexes are checked before the item is taken out, so that a bad
    // target never loses it.
    const int count = GetCount();
    if (currentIndex < 0 || currentIndex >= count || newIndex < 0 || newIndex >= count)
        throw EListError();
    RunInUpdate(*this, [&] {
        std::string s = Get(currentIndex);
        void* object = GetObject(currentIndex);
        PutObject(currentIndex, nullptr);
        Delete(currentIndex);
        InsertObject(newIndex, s, object);
    });
}

void TStrings::Exchange(int index1, int index2) {
    RunInUpdate(*this, [&] {
        std::string s1 = Get(index1);
        std::string s2 = Get(index2);
        void* object1 = GetObject(index1);
        void* object2 = GetObject(index2);
        Put(index1, s2);
        Put(index2, s1);
        PutObject(index1, object2);
        PutObject(index2, object1);
    });
}

int TStrings::IndexOf(std::string_view s) const {
    const int count = GetCount();
    for (int i = 0; i < count; ++i)
        if (CompareStrings(Get(i), s) == 0)
            return i;
    return -1;
}

int TStrings::IndexOfObject(const void* object) const {
    const int count = GetCount();
    for (int i = 0; i < count; ++i)
        if (GetObject(i) == object)
            return i;
    return -1;
}

std::string TStrings::Names(int index) const {
    std::string s = Get(index);
    size_t equals = s.find('=');
    return equals == std::string::npos ? std::string() : s.substr(0, equals);
}

int TStrings::IndexOfName(std::string_view name) const {
    const int count = GetCount();
    for (int i = 0; i < count; ++i) {
        std::string s = Get(i);
        size_t equals = s.find('=');
        if (equals != std::string::npos && CompareStrings(std::string_view(s).substr(0, equals), name) == 0)
            return i;
    }
    return -1;
}

std::string TStrings::Values(std::string_view name) const {
    int index = IndexOfName(name);
    if (index < 0)
        return {};
    std::string s = Get(index);
    return s.substr(s.find('=') + 1);
}

void TStrings::SetValue(std::string_view name, std::string_view value) {
    int index = IndexOfName(name);
    if (value.empty()) {
        if (index >= 0)
            Delete(index);
        return;
    }
    std::string item = std::string(name) + "=" + std::string(value);
    if (index < 0)
        Add(item);
    else
        Put(index, item);
}

std::string TStrings::CommaText() const {
    std::string text;
    const int count = GetCount();
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            text += ',';
        std::string s = Get(i);
        bool quote = s.empty() || std::any_of(s.begin(), s.end(), [](char c) {
                         return isBlankOrControl(static_cast<unsigned char>(c)) || c == ',' || c == '"';
                     });
        if (!quote) {
            text += s;
            continue;
        }
        text += '"';
        for (char c : s) {
            if (c == '"')
                text += '"';
            text += c;
        }
        text += '"';
    }
    return text;
}

void TStrings::SetCommaText(std::string_view text) {
    RunInUpdate(*this, [&] {
        Clear();
        addCommaItems(*this, text);
    });
}

void TStrings::BeginUpdate() {
    if (updateCount_ == 0)
        SetUpdateState(true);
    ++updateCount_;
}

void TStrings::EndUpdate() {
    if (updateCount_ == 0)
        return;
    --updateCount_;
    if (updateCount_ == 0)
        SetUpdateState(false);
}

std::string TStrings::GetTextStr() const {
    const int count = GetCount();
    std::vector<std::string> items;
    items.reserve(static_cast<size_t>(count));
    size_t size = 0;
    for (int i = 0; i < count; ++i) {
        items.push_back(Get(i));
        size += items.back().size() + 2;
    }
    std::string text;
    text.reserve(size);
    for (const std::string& s : items) {
        text += s;
        text += "\r\n";
    }
    return text;
}

void TStrings::SetTextStr(std::string_view text) {
    RunInUpdate(*this, [&] {
        Clear();
        ForEachLine(text, [this](std::string_view line, std::string_view) { Add(std::string(line)); });
    });
}

int TStrings::CompareStrings(std::string_view a, std::string_view b) const { return CompareText(a, b); }

void TStrings::LoadFromStream(TStream& stream) {
    std::string text;
    char chunk[65536];
    for (;;) {
        int64_t got = stream.Read(chunk, sizeof chunk);
        if (got <= 0)
            break;
        text.append(chunk, static_cast<size_t>(got));
    }
    SetTextStr(text);
}

void TStrings::SaveToStream(TStream& stream) const {
    std::string text = GetTextStr();
    stream.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

void TStrings::LoadFromFile(const std::string& fileName) {
    TFileStream file(fileName, fmOpenRead);
    LoadFromStream(file);
}

void TStrings::SaveToFile(const std::string& fileName) const {
    TMemoryStream buffer;
    SaveToStream(buffer);
    WriteFileReplacing(fileName, buffer.DataView());
}

void TStrings::Assign(const TPersistent* source) {
    if (const auto* strings = dynamic_cast<const TStrings*>(source)) {
        // Assigning a list to itself must not clear it first.
        if (strings == this)
            return;
        RunInUpdate(*this, [&] {
            Clear();
            AddStrings(*strings);
        });
        return;
    }
    TPersistent::Assign(source);
}

void TStrings::DefineProperties(TFiler& filer) {
    filer.DefineProperty(
        "Strings", [this](TReader& reader) { ReadData(reader); },
        [this](TWriter& writer) { WriteData(writer); }, GetCount() > 0);
}

void TStrings::ReadData(TReader& reader) {
    reader.ReadListBegin();
    RunInUpdate(*this, [&] {
        Clear();
        while (!reader.EndOfList())
            Add(reader.ReadString());
        reader.ReadListEnd();
    });
}

void TStrings::WriteData(TWriter& writer) const {
    writer.WriteListBegin();
    const int count = GetCount();
    for (int i = 0; i < count; ++i)
        writer.WriteString(Get(i));
    writer.WriteListEnd();
}

bool TStrings::Equals(const TStrings& other) const {
    const int count = GetCount();
    if (count != other.GetCount())
        return false;
    for (int i = 0; i < count; ++i)
        if (Get(i) != other.Get(i))
            return false;
    return true;
}

// ---- TStringList ----

void TStringList::checkIndex(int index) const {
    if (index < 0 || index >= GetCount())
        throw EListError();
}

std::string TStringList::Get(int index) const {
    checkIndex(index);
    return items_.At(index).String;
}

void TStringList::Put(int index, const std::string& s) {
    if (sorted_)
        throw EStringListError("Operation not allowed on sorted list");
    checkIndex(index);
    Changing();
    items_.At(index).String = s;
    Changed();
}

void* TStringList::GetObject(int index) const {
    checkIndex(index);
    return items_.At(index).Object;
}

void TStringList::PutObject(int index, void* object) {
    checkIndex(index);
    Changing();
    items_.At(index).Object = object;
    Changed();
}

void TStringList::Insert(int index, const std::string& s) { InsertObject(index, s, nullptr); }

void TStringList::InsertObject(int index, const std::string& s, void* object) {
    if (sorted_)
        throw EStringListError("Operation not allowed on sorted list");
    if (index < 0 || index > GetCount())
        throw EListError();
    insertItem(index, s, object);
}

void TStringList::insertItem(int index, const std::string& s, void* object) {
    Changing();
    items_.Insert(index, TStringItem{s, object});
    Changed();
}

void TStringList::Delete(int index) {
    checkIndex(index);
    Changing();
    items_.Erase(index);
    Changed();
}

void TStringList::Clear() {
    if (items_.Empty())
        return;
    Changing();
    items_.Clear();
    Changed();
}

int TStringList::Add(const std::string& s) { return AddObject(s, nullptr); }

int TStringList::AddObject(const std::string& s, void* object) {
    int index = GetCount();
    if (sorted_ && Find(s, index)) {
        switch (duplicates_) {
        case dupIgnore: return index;
        case dupError: throw EStringListError("String list does not allow duplicates");
        case dupAccept: break;
        }
    }
    insertItem(index, s, object);
    return index;
}

void TStringList::Move(int currentIndex, int newIndex) {
    if (sorted_)
        throw EStringListError("Operation not allowed on sorted list");
    checkIndex(currentIndex);
    checkIndex(newIndex);
    if (currentIndex == newIndex)
        return;
    Changing();
    items_.Move(currentIndex, newIndex);
    Changed();
}

void TStringList::Exchange(int index1, int index2) {
    if (sorted_)
        throw EStringListError("Operation not allowed on sorted list");
    checkIndex(index1);
    checkIndex(index2);
    Changing();
    items_.Swap(index1, index2);
    Changed();
}

int TStringList::IndexOf(std::string_view s) const {
    if (!sorted_)
        return TStrings::IndexOf(s);
    int index = 0;
    return Find(s, index) ? index : -1;
}

bool TStringList::Find(std::string_view s, int& index) const {
    // First position whose item is not below s.
    index = items_.LowerBound(s, [this](std::string_view a, std::string_view b) { return CompareStrings(a, b); });
    return index < GetCount() && CompareStrings(items_.At(index).String, s) == 0;
}

void TStringList::Sort() {
    if (sorted_ || items_.Size() < 2)
        return;
    Changing();
    items_.StableSort(
        [this](const TStringItem& a, const TStringItem& b) { return CompareStrings(a.String, b.String) < 0; });
    Changed();
}

void TStringList::CustomSort(const TCompareFunction& compare) {
    if (sorted_ || items_.Size() < 2)
        return;
    // compare reads the items by index, so the list stays as it is while a
    // permutation is sorted; the permutation is applied afterwards.
    std::vector<int> order(static_cast<size_t>(items_.Size()));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return compare(*this, a, b) < 0; });
    Changing();
    items_.Reorder(order);
    Changed();
}

void TStringList::SetSorted(bool sorted) {
    if (sorted == sorted_)
        return;
    if (sorted)
        Sort();
    sorted_ = sorted;
}

void TStringList::SetCaseSensitive(bool caseSensitive) {
    if (caseSensitive == caseSensitive_)
        return;
    caseSensitive_ = caseSensitive;
    if (sorted_) {
        sorted_ = false;
        Sort();
        sorted_ = true;
    }
}

void TStringList::SetUpdateState(bool updating) {
    if (updating)
        Changing();
    else
        Changed();
}

int TStringList::CompareStrings(std::string_view a, std::string_view b) const {
    if (!caseSensitive_)
        return CompareText(a, b);
    int c = a.compare(b); // bytes compare unsigned
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

void TStringList::Changing() {
    if (UpdateCount() == 0 && OnChanging)
        OnChanging(*this);
}

void TStringList::Changed() {
    if (UpdateCount() == 0 && OnChange)
        OnChange(*this);
}
