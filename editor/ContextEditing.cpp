#include "editor/ContextEditing.h"

#include <algorithm>

namespace {

using TRecords = std::vector<TContextRecord>;

TRecords::const_iterator firstAfter(const TRecords& records, int32_t offset) {
    return std::upper_bound(records.begin(), records.end(), offset,
                            [](int32_t o, const TContextRecord& r) { return o < r.Offset; });
}

TRecords::iterator firstAtOrAfter(TRecords& records, int32_t offset) {
    return std::lower_bound(records.begin(), records.end(), offset,
                            [](const TContextRecord& r, int32_t o) { return r.Offset < o; });
}

}  // namespace

const TContextRecord& ContextInForce(const TParagraph& paragraph, int32_t offset) {
    // Parsing asks near the end of the records it is writing.
    if (paragraph.Contexts.empty())
        return *paragraph.BaseContext;
    if (paragraph.Contexts.back().Offset <= offset)
        return paragraph.Contexts.back();
    auto it = firstAfter(paragraph.Contexts, offset);
    return it == paragraph.Contexts.begin() ? *paragraph.BaseContext : *(it - 1);
}

TContextRecord* RecordBefore(TParagraph& paragraph, int32_t offset) {
    if (!paragraph.Contexts.empty() && paragraph.Contexts.back().Offset < offset)
        return &paragraph.Contexts.back();
    auto it = firstAtOrAfter(paragraph.Contexts, offset);
    return it == paragraph.Contexts.begin() ? nullptr : &*(it - 1);
}

const TContextRecord& EndContext(const TParagraph& paragraph) {
    return paragraph.Contexts.empty() ? *paragraph.BaseContext : paragraph.Contexts.back();
}

void PutContext(TParagraph& paragraph, int32_t offset, const TContextRecord& record) {
    TRecords& records = paragraph.Contexts;
    // Parsing writes behind the last record most of the time.
    auto it = records.empty() || records.back().Offset < offset ? records.end() : firstAtOrAfter(records, offset);
    if (it == records.end() || it->Offset != offset) {
        it = records.insert(it, record);
        it->Offset = offset;
        return;
    }
    *it = record;
    it->Offset = offset;
    // One record per offset: any twin behind it goes.
    auto twin = it + 1;
    auto end = twin;
    while (end != records.end() && end->Offset == offset)
        ++end;
    records.erase(twin, end);
}

void RemoveContexts(TParagraph& paragraph, int32_t from, int32_t to) {
    TRecords& records = paragraph.Contexts;
    if (to <= from || records.empty() || records.back().Offset < from)
        return;
    auto begin = firstAtOrAfter(records, from);
    auto end = firstAtOrAfter(records, to);
    records.erase(begin, end);
}

int32_t NextContextOffset(const TParagraph& paragraph, int32_t offset) {
    if (paragraph.Contexts.empty() || paragraph.Contexts.back().Offset <= offset)
        return -1;
    auto it = firstAfter(paragraph.Contexts, offset);
    return it == paragraph.Contexts.end() ? -1 : it->Offset;
}

TContextRecord PlainContext() {
    TContextRecord record;
    record.Depth = -1;
    return record;
}

bool SameHighlight(const TContextRecord& a, const TContextRecord& b) {
    if (a.Flags != b.Flags || a.ContextNumber != b.ContextNumber || a.Background != b.Background ||
        a.Foreground != b.Foreground || a.Tag != b.Tag || a.StartKeyLength != b.StartKeyLength ||
        a.StopKeyLength != b.StopKeyLength)
        return false;
    return !a.HasKeyStack() || SameKeyStack(a, b);
}
