#pragma once
// Sorting many items of a folder by size, type or date compares each item
// about log n times, and each comparison would read the item's file status
// or look up its type again.  While a TShellCompareScope lives on a
// thread, the namespace's comparisons on that thread remember what they
// read of each item, so that a sort reads each item once.  The memory ends
// with the scope, so nothing stale outlives the sort.

#include <memory>
#include <string>
#include <sys/stat.h>
#include <unordered_map>

struct TShellCompareMemo {
    struct TStatus {
        bool Ok = false;
        struct stat Info {};
    };
    std::unordered_map<std::string, TStatus> Status; // by path
    std::unordered_map<std::string, std::string> Types; // by name (a trailing "/" for folders)
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
