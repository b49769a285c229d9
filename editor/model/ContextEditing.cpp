#include "editor/model/ContextEditing.h"

const TContextRecord& ContextInForce(const TParagraph& paragraph, int32_t offset) {
    // Parsing asks near the end of the records it is writing.
    if (paragraph.Contexts.empty())
        return *paragraph.BaseContext;
    if (paragraph.Contexts.back().Offset <= offset)
        return paragraph.Contexts.back();
    // Offsets are whole numbers: the record in force at an offset is the
    // one in force just before the next.
    return paragraph.ContextBefore(offset + 1);
}

TContextRecord* RecordBefore(TParagraph& paragraph, int32_t offset) {
    if (!paragraph.Contexts.empty() && paragraph.Contexts.back().Offset < offset)
        return &paragraph.Contexts.back();
    const int32_t index = paragraph.ContextIndexAt(offset);
    return index > 0 ? &paragraph.Contexts[static_cast<size_t>(index - 1)] : nullptr;
}

const TContextRecord& EndContext(const TParagraph& paragraph) {
    return paragraph.Contexts.empty() ? *paragraph.BaseContext : paragraph.Contexts.back();
}

void PutContext(TParagraph& paragraph, int32_t offset, const TContextRecord& record) {
    std::vector<TContextRecord>& records = paragraph.Contexts;
    // Parsing writes behind the last record most of the time.
    auto it = records.end();
    if (!records.empty() && records.back().Offset >= offset)
        it = records.begin() + paragraph.ContextIndexAt(offset);
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
    std::vector<TContextRecord>& records = paragraph.Contexts;
    if (to <= from || records.empty() || records.back().Offset < from)
        return;
    records.erase(records.begin() + paragraph.ContextIndexAt(from), records.begin() + paragraph.ContextIndexAt(to));
}

int32_t NextContextOffset(const TParagraph& paragraph, int32_t offset) {
    if (paragraph.Contexts.empty() || paragraph.Contexts.back().Offset <= offset)
        return -1;
    return paragraph.Contexts[static_cast<size_t>(paragraph.ContextIndexAt(offset + 1))].Offset;
}

TContextRecord PlainContext() {
    TContextRecord record;
    record.Depth = -1;
    return record;
}

void PushKeyEntry(TParagraph& paragraph, int32_t offset, TContextRecord& record, uint16_t entry) {
    const int depth = ContextDepthOf(record);
    if (depth >= 0)
        if (TContextRecord* before = RecordBefore(paragraph, offset))
            before->StopKeyLength = 0;
    record.Depth = static_cast<int8_t>(depth + 1);
    record.KeyStack[depth + 1] = entry;
}

void SetContextLook(TContextRecord& record, uint8_t style, int32_t background, int32_t foreground, int32_t number,
                    uint16_t tag) {
    record.Flags = static_cast<uint8_t>(style | TContextRecord::kStyled | TContextRecord::kKeyStack);
    record.Background = background;
    record.Foreground = foreground;
    record.ContextNumber = number;
    record.Tag = tag;
}

bool SameHighlight(const TContextRecord& a, const TContextRecord& b) {
    if (a.Flags != b.Flags || a.ContextNumber != b.ContextNumber || a.Background != b.Background ||
        a.Foreground != b.Foreground || a.Tag != b.Tag || a.StartKeyLength != b.StartKeyLength ||
        a.StopKeyLength != b.StopKeyLength)
        return false;
    return !a.HasKeyStack() || SameKeyStack(a, b);
}
