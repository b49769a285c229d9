#pragma once
// The lines of a text, as string lists, INI files and the clipboard read
// them: CR LF, a lone LF and a lone CR each end a line, and a break at the
// very end of the text does not start another line (an empty text has no
// lines at all).

#include <cstddef>
#include <string_view>

// Calls visit(line, lineBreak) for every line in order: the line without
// its break, and the bytes that ended it ("" for a last line without one).
template <class TVisit>
void ForEachLine(std::string_view text, TVisit&& visit) {
    const size_t n = text.size();
    size_t start = 0;
    while (start < n) {
        size_t end = start;
        while (end < n && text[end] != '\r' && text[end] != '\n')
            ++end;
        size_t next = end;
        if (end < n)
            next = text[end] == '\r' && end + 1 < n && text[end + 1] == '\n' ? end + 2 : end + 1;
        visit(text.substr(start, end - start), text.substr(end, next - end));
        start = next;
    }
}
