#pragma once
// What a file dialog shows under its filter ("Caption|masks|Caption|masks
// ..."): whether one of its entries takes a file name, the masks matched as
// the dialogs match them ("*" any run, "?" any one character, letters
// without regard to case).

#include "shell/ShellListFilter.h"

#include <string>
#include <string_view>
#include <vector>

// Whether entry `entry` (1 = the first, the one a dialog opens on) of the
// filter takes the name.
inline bool FilterEntryTakes(std::string_view filter, int entry, std::string_view name) {
    std::vector<std::string_view> parts;
    for (size_t start = 0;;) {
        const size_t bar = filter.find('|', start);
        parts.push_back(filter.substr(start, bar == std::string_view::npos ? std::string_view::npos : bar - start));
        if (bar == std::string_view::npos)
            break;
        start = bar + 1;
    }
    const size_t masks = static_cast<size_t>(2 * (entry - 1) + 1);
    return entry >= 1 && masks < parts.size() && MatchesAnyMask(name, SplitFileFilter(parts[masks]));
}
