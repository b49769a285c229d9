#pragma once
// String lists: the abstract TStrings through which lists of byte strings
// are passed around (an editor's paragraphs and display lines, a recently
// used list, the names of registry keys), and TStringList, the ordinary
// vector-backed list with sorting, duplicate rules and change events.
//
// Strings are bytes: any byte may occur, NUL included.  Each item carries an
// untyped object pointer that the list never owns.

#include "platform/base/Component.h"
#include "platform/base/Exceptions.h"
#include "platform/base/StringItems.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class TStream;
class TReader;
class TWriter;

// Raised for operations a string list refuses (a duplicate in a list that
// forbids them, a positional change in a sorted list).
class EStringListError : public Exception {
public:
    using Exception::Exception;
};

class TStrings : public TPersistent {
public:
    TStrings() = default;
    ~TStrings() override = default;
    // Lists are copied with Assign, never by value: a copy through a base
    // reference would slice a view down to nothing.
    TStrings(const TStrings&) = delete;
    TStrings& operator=(const TStrings&) = delete;

    std::string ClassName() const override { return "TStrings"; }

    // ---- The primitives a concrete list provides ----
    virtual std::string Get(int index) const = 0;
    virtual int GetCount() const = 0;
    // Replaces the string at index, keeping its object.
    virtual void Put(int index, const std::string& s);
    virtual void* GetObject(int index) const;
    virtual void PutObject(int index, void* object);
    virtual void Insert(int index, const std::string& s) = 0;
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;

    // ---- Operations built on the primitives ----
    // Adds s (at the end unless the list orders itself) and returns its index.
    virtual int Add(const std::string& s);
    virtual int AddObject(const std::string& s, void* object);
    virtual void InsertObject(int index, const std::string& s, void* object);
    void AddStrings(const TStrings& strings);
    virtual void Move(int currentIndex, int newIndex);
    virtual void Exchange(int index1, int index2);

    int Count() const { return GetCount(); }
    std::string Strings(int index) const { return Get(index); }
    void* Objects(int index) const { return GetObject(index); }

    // -1 when absent.  Comparison follows CompareStrings.
    virtual int IndexOf(std::string_view s) const;
    int IndexOfObject(const void* object) const;

    // "name=value" items.  Names compare as CompareStrings does.
    std::string Names(int index) const;          // text before the first '=', "" if none
    int IndexOfName(std::string_view name) const; // -1 when absent
    std::string Values(std::string_view name) const;
    // Replaces the value of name (adding "name=value" when absent); an empty
    // value removes the item.
    void SetValue(std::string_view name, std::string_view value);

    // Items separated by commas; an item that is empty or holds a blank, a
    // control byte, a comma or a double quote is written in double quotes
    // with inner quotes doubled.  Reading also splits at unquoted blanks.
    std::string CommaText() const;
    void SetCommaText(std::string_view text);

    // The whole list as text: every item followed by CR LF.
    std::string Text() const { return GetTextStr(); }
    // Replaces the items by the lines of text.  CR LF, a lone LF and a lone
    // CR each end a line; a break at the very end does not start another.
    void SetText(std::string_view text) { SetTextStr(text); }

    // Nested updates; SetUpdateState(true) runs when the first begins and
    // SetUpdateState(false) when the last ends.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }

    // The stream's bytes from its current position to its end, as SetText.
    virtual void LoadFromStream(TStream& stream);
    // Text() as bytes.
    virtual void SaveToStream(TStream& stream) const;
    virtual void LoadFromFile(const std::string& fileName);
    // Writes through a temporary file beside the target, so that a failed
    // save leaves the old file as it was.
    virtual void SaveToFile(const std::string& fileName) const;

    // From another TStrings: strings and objects.  Anything else goes to
    // TPersistent's rules.
    void Assign(const TPersistent* source) override;
    // Streams the items as the list property "Strings" (only when there are
    // any).
    void DefineProperties(TFiler& filer) override;

    // Same count and byte-equal strings (objects are not compared).
    bool Equals(const TStrings& other) const;

protected:
    virtual std::string GetTextStr() const;
    virtual void SetTextStr(std::string_view text);
    virtual void SetUpdateState(bool updating) {}
    // <0, 0, >0.  The base ignores ASCII case.
    virtual int CompareStrings(std::string_view a, std::string_view b) const;

    // The "Strings" property's value: a list of strings.
    void ReadData(TReader& reader);
    void WriteData(TWriter& writer) const;

private:
    int updateCount_ = 0;
};

// Duplicate rules of a sorted TStringList.
enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList : public TStrings {
public:
    using TNotifyEvent = std::function<void(TStringList& sender)>;
    // <0, 0, >0 for the items at index1 and index2.
    using TCompareFunction = std::function<int(TStringList& list, int index1, int index2)>;

    std::string ClassName() const override { return "TStringList"; }

    std::string Get(int index) const override;
    int GetCount() const override { return items_.Size(); }
    void Put(int index, const std::string& s) override;
    void* GetObject(int index) const override;
    void PutObject(int index, void* object) override;
    void Insert(int index, const std::string& s) override;
    void InsertObject(int index, const std::string& s, void* object) override;
    void Delete(int index) override;
    void Clear() override;
    int Add(const std::string& s) override;
    int AddObject(const std::string& s, void* object) override;
    void Move(int currentIndex, int newIndex) override;
    void Exchange(int index1, int index2) override;
    int IndexOf(std::string_view s) const override;

    // Binary search of a sorted list: true when s is present, index being
    // its first occurrence; otherwise index is where s would be inserted.
    bool Find(std::string_view s, int& index) const;
    void Sort();
    // Orders the items with compare (stable); not for a sorted list, which
    // keeps its own order.
    virtual void CustomSort(const TCompareFunction& compare);

    bool Sorted() const { return sorted_; }
    // Turning Sorted on sorts the list.
    void SetSorted(bool sorted);
    TDuplicates Duplicates() const { return duplicates_; }
    void SetDuplicates(TDuplicates duplicates) { duplicates_ = duplicates; }
    bool CaseSensitive() const { return caseSensitive_; }
    // A sorted list re-sorts under the new rule.
    void SetCaseSensitive(bool caseSensitive);

    // Fired around every change, and once around a whole BeginUpdate /
    // EndUpdate bracket.
    TNotifyEvent OnChanging;
    TNotifyEvent OnChange;

protected:
    void SetUpdateState(bool updating) override;
    int CompareStrings(std::string_view a, std::string_view b) const override;
    virtual void Changing();
    virtual void Changed();

private:
    void checkIndex(int index) const;
    void insertItem(int index, const std::string& s, void* object);

    TStringItems items_;
    bool sorted_ = false;
    bool caseSensitive_ = false;
    TDuplicates duplicates_ = dupIgnore;
};
