#pragma once
// Sorting many items of a folder by size, type or date compares each item
// about log n times, and each comparison would read the item's file status
// or look up its type again.  While a TShellCompareScope lives on a
// thread, the namespace's comparisons and sort keys on that thread remember
// what they read of each item, so that a sort reads each item once, and
// asking an item's attributes leaves its status there too, so that a list
// admitting items keeps their statuses for their sort keys.  The memory
// ends with the scope, so nothing stale outlives it.

#include <memory>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unordered_map>

// Hashes strings and string views alike, so that a look-up by a name in
// place allocates nothing.
struct TShellNameHash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
};

struct TShellCompareMemo {
    struct TStatus {
        bool Ok = false;
        struct stat Info {};
    };
    template <class T> using TByName = std::unordered_map<std::string, T, TShellNameHash, std::equal_to<>>;
    // By folder path, then by the item's name in it: a sort compares items
    // of one folder, whose path is compared once per look-up, not hashed.
    TByName<TByName<TStatus>> Status;
    std::string LastFolder;
    TByName<TStatus>* LastStatus = nullptr;
    TByName<std::string> Types; // by name (a trailing "/" for folders)
};

class TShellCompareScope {
public:
    TShellCompareScope();
    ~TShellCompareScope();
    TShellCompareScope(const TShellCompareScope&) = delete;
    TShellCompareScope& operator=(const TShellCompareScope&) = delete;

private:
    std::unique_ptr<TShellCompareMemo> memo_;
    TShellCompareMemo* outer_;
};

// The memory of the innermost scope on this thread, or nullptr.
TShellCompareMemo* CurrentCompareMemo();
