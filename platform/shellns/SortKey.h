#pragma once
// What sorting the items of a folder by a column compares of one item: its
// kind, whether it is a folder and its name, and for the other columns its
// size and time (the file's status) or its type name.  A folder fills a key
// with what a column needs (TShellFolder::GetSortKey), keeping what the key
// already holds, and CompareSortKeys orders two keys as the folder's
// CompareIDs orders their items.  So whoever keeps the keys of many items
// sorts them by any column again without reading a status or looking up a
// type; a key is reset when its item may have changed.

#include <ctime>
#include <string>
#include <string_view>

struct TShellSortKey {
    bool Decoded = false;
    // The item's name: bytes of its list, valid as long as the list is.
    std::string_view Name;
    int Rank = 0;
    bool Folder = false;
    // Size, type and time apply (an item of the file system).
    bool HasColumns = false;
    // For the size and time columns.
    bool StatusRead = false;
    bool StatusOk = false;
    long long Size = 0;
    timespec Modified{};
    // For the type column.
    bool TypeRead = false;
    std::string Type;

    // Whether the key holds what sorting by a column compares.
    bool Holds(int column) const {
        if (!Decoded || !HasColumns)
            return Decoded;
        return (column == 2 ? TypeRead : column == 1 || column == 3 ? StatusRead : true);
    }
    void Reset() { *this = TShellSortKey(); }
};

// Column 0 name, 1 size, 2 type, 3 modified; negative, 0 or positive.
// Items of a lower rank first, then folders, then by the column's value,
// then by name.
int CompareSortKeys(int column, const TShellSortKey& a, const TShellSortKey& b);

// Names in the order people expect (letter case aside), then by their
// bytes, so that two names are equal only when they are the same bytes.
int CompareItemNames(std::string_view a, std::string_view b);
