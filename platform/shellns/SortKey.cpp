#include "platform/shellns/SortKey.h"

#include <algorithm>

namespace {

int asciiLower(unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; }

int sign(long long value) { return value < 0 ? -1 : value > 0 ? 1 : 0; }

} // namespace

int CompareItemNames(std::string_view a, std::string_view b) {
    size_t length = std::min(a.size(), b.size());
    for (size_t i = 0; i < length; ++i) {
        int difference = asciiLower(static_cast<unsigned char>(a[i])) - asciiLower(static_cast<unsigned char>(b[i]));
        if (difference != 0)
            return difference < 0 ? -1 : 1;
    }
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    int bytes = a.compare(b);
    return bytes < 0 ? -1 : bytes > 0 ? 1 : 0;
}

int CompareSortKeys(int column, const TShellSortKey& a, const TShellSortKey& b) {
    if (a.Rank != b.Rank)
        return sign(a.Rank - b.Rank);
    if (a.Folder != b.Folder)
        return a.Folder ? -1 : 1;
    int order = 0;
    if (column != 0 && a.HasColumns && b.HasColumns) {
        if (column == 2)
            order = CompareItemNames(a.Type, b.Type);
        else if (column == 1 && a.StatusOk && b.StatusOk && !a.Folder)
            order = sign(a.Size - b.Size);
        else if (column == 3 && a.StatusOk && b.StatusOk)
            order = a.Modified.tv_sec != b.Modified.tv_sec ? sign(a.Modified.tv_sec - b.Modified.tv_sec)
                                                           : sign(a.Modified.tv_nsec - b.Modified.tv_nsec);
        if (order != 0)
            return order;
    }
    return CompareItemNames(a.Name, b.Name);
}
