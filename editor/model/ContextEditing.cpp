#include "editor/model/ContextEditing.h"

TContextId ContextIdInside(const TParagraph& paragraph, int32_t offset) {
    // Parsing asks near the end of the records it is writing (a stop key
    // found puts two behind the place where the start keys are looked for
    // next): the last few are looked at one by one.
    const TContextList& records = paragraph.Contexts;
    const int32_t count = records.Count();
    constexpr int32_t kNearEnd = 4;
    for (int32_t index = count - 1; index >= 0 && index >= count - kNearEnd; --index)
        if (records.Offset(index) <= offset)
            return records.Id(index);
    if (count <= kNearEnd)
        return paragraph.BaseContext;
    // Offsets are whole numbers: the record in force at an offset is the
    // last one that begins before the next.
    const int32_t index = records.IndexAt(offset + 1) - 1;
    return index >= 0 ? records.Id(index) : paragraph.BaseContext;
}

int32_t RecordBefore(const TParagraph& paragraph, int32_t offset) {
    const TContextList& records = paragraph.Contexts;
    if (!records.Empty() && records.LastOffset() < offset)
        return records.Count() - 1;
    return records.IndexAt(offset) - 1;
}

TContextId EndContextId(const TParagraph& paragraph) {
    return paragraph.Contexts.Empty() ? paragraph.BaseContext : paragraph.Contexts.LastId();
}

void PutContext(TParagraph& paragraph, int32_t offset, const TContextState& record) {
    PutContext(paragraph, offset, InternContext(record));
}

void PutContextInside(TParagraph& paragraph, int32_t offset, TContextId id) {
    TContextList& records = paragraph.Contexts;
    // Parsing writes behind the last record most of the time, else among
    // the last few (a tag's attributes go before its closing bracket).
    const int32_t count = records.Count();
    int32_t at = count;
    constexpr int32_t kNearEnd = 4;
    while (at > 0 && at > count - kNearEnd && records.Offset(at - 1) >= offset)
        --at;
    if (at == count - kNearEnd && at > 0 && records.Offset(at - 1) >= offset)
        at = records.IndexAt(offset);
    if (at == count || records.Offset(at) != offset) {
        records.Insert(at, {offset, id});
        return;
    }
    // A round of parsing often writes again what an earlier one wrote.
    if (records.Id(at) != id)
        records.SetId(at, id);
    // One record per offset: any twin behind it goes.
    int32_t end = at + 1;
    while (end < count && records.Offset(end) == offset)
        ++end;
    if (end > at + 1)
        records.Erase(at + 1, end);
}

void RemoveContextsInside(TParagraph& paragraph, int32_t from, int32_t to) {
    TContextList& records = paragraph.Contexts;
    records.Erase(records.IndexAt(from), records.IndexAt(to));
}

int32_t NextContextOffset(const TParagraph& paragraph, int32_t offset) {
    const TContextList& records = paragraph.Contexts;
    if (records.Empty() || records.LastOffset() <= offset)
        return -1;
    return records.Offset(records.IndexAt(offset + 1));
}

void SetStopKeyLength(TParagraph& paragraph, int32_t index, uint8_t length) {
    if (paragraph.Contexts.State(index).StopKeyLength == length)
        return;
    TContextState state = paragraph.Contexts.State(index);
    state.StopKeyLength = length;
    paragraph.Contexts.SetId(index, InternContext(state));
}

TContextState PlainContext() {
    TContextState record;
    record.Depth = -1;
    return record;
}

TContextId PlainContextId() {
    static const TContextId id = InternContext(PlainContext());
    return id;
}

void PushKeyEntry(TParagraph& paragraph, int32_t offset, TContextState& record, uint16_t entry) {
    const int depth = ContextDepthOf(record);
    if (depth >= 0) {
        const int32_t before = RecordBefore(paragraph, offset);
        if (before >= 0)
            SetStopKeyLength(paragraph, before, 0);
    }
    record.Depth = static_cast<int8_t>(depth + 1);
    record.KeyStack[depth + 1] = entry;
}

void SetContextLook(TContextState& record, uint8_t style, int32_t background, int32_t foreground, int32_t number,
                    uint16_t tag) {
    record.Flags = static_cast<uint8_t>(style | TContextState::kStyled | TContextState::kKeyStack);
    record.Background = background;
    record.Foreground = foreground;
    record.ContextNumber = number;
    record.Tag = tag;
}

bool SameHighlight(const TContextState& a, const TContextState& b) {
    if (a.Flags != b.Flags || a.ContextNumber != b.ContextNumber || a.Background != b.Background ||
        a.Foreground != b.Foreground || a.Tag != b.Tag || a.StartKeyLength != b.StartKeyLength ||
        a.StopKeyLength != b.StopKeyLength)
        return false;
    return !a.HasKeyStack() || SameKeyStack(a, b);
}
