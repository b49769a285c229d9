#pragma once
// Reading and writing the context records of one paragraph: the small
// operations that start/stop parsing, keyword application and the
// highlighters share.  Offsets are offsets within the paragraph.

#include "editor/model/TextStore.h"

#include <cstdint>

// The state in force at an offset: that of the last record that begins at
// or before it, or the paragraph's base context; and the same state's
// number.  Parsing asks at or behind the last record it wrote most of the
// time: that case is answered inline, the others by ContextIdInside.
TContextId ContextIdInside(const TParagraph& paragraph, int32_t offset);
inline TContextId ContextIdInForce(const TParagraph& paragraph, int32_t offset) {
    const TContextList& records = paragraph.Contexts;
    if (records.Empty())
        return paragraph.BaseContext;
    const TContextList::TEntry last = records.Last();
    return last.Offset <= offset ? last.Id : ContextIdInside(paragraph, offset);
}
inline const TContextState& ContextInForce(const TParagraph& paragraph, int32_t offset) {
    return ContextState(ContextIdInForce(paragraph, offset));
}
// The index of the last record of the paragraph that begins before the
// offset; -1 when the base context is in force there.
int32_t RecordBefore(const TParagraph& paragraph, int32_t offset);
// The context in force at the paragraph's end: its last record's or its base.
TContextId EndContextId(const TParagraph& paragraph);
inline const TContextState& EndContext(const TParagraph& paragraph) { return ContextState(EndContextId(paragraph)); }

// Puts a record at the offset: it overwrites a record that begins there,
// otherwise it is inserted in order.
void PutContext(TParagraph& paragraph, int32_t offset, const TContextState& record);
// The same with a state already in the table: appended inline when it lies
// behind every record (as parsing writes most of them), or written over the
// last record when that one alone begins there (as a closing bracket right
// behind an element name is); else put in place by PutContextInside.
void PutContextInside(TParagraph& paragraph, int32_t offset, TContextId id);
inline void PutContext(TParagraph& paragraph, int32_t offset, TContextId id) {
    TContextList& records = paragraph.Contexts;
    if (!records.Empty()) {
        const TContextList::TEntry last = records.Last();
        if (last.Offset < offset) {
            records.Append({offset, id});
            return;
        }
        const int32_t count = records.Count();
        if (last.Offset == offset && (count == 1 || records.Offset(count - 2) < offset)) {
            if (last.Id != id)
                records.SetId(count - 1, id);
            return;
        }
    }
    PutContextInside(paragraph, offset, id);
}
// Removes the records that begin in from .. to - 1 (parsing asks most of
// the time where there are none: behind the last record).
void RemoveContextsInside(TParagraph& paragraph, int32_t from, int32_t to);
inline void RemoveContexts(TParagraph& paragraph, int32_t from, int32_t to) {
    if (to > from && !paragraph.Contexts.Empty() && paragraph.Contexts.Last().Offset >= from)
        RemoveContextsInside(paragraph, from, to);
}
// The offset of the first record that begins after the offset, or -1.
int32_t NextContextOffset(const TParagraph& paragraph, int32_t offset);
// Sets the stop-key length of record index of the paragraph.
void SetStopKeyLength(TParagraph& paragraph, int32_t index, uint8_t length);

// The plain state: no style, no key stack; and its number.
TContextState PlainContext();
TContextId PlainContextId();

// Nests a context in the one in force at an offset: record, a copy of that
// one not yet given its new look, goes one key-stack level deeper with entry
// on top.  When the context
// in force is on the key stack itself, its record before the offset no
// longer ends at a stop key there: that record's stop-key length is cleared.
void PushKeyEntry(TParagraph& paragraph, int32_t offset, TContextState& record, uint16_t entry);
// Gives a record the look of a context on the key stack: its style bits,
// colours, context number and cursor.
void SetContextLook(TContextState& record, uint8_t style, int32_t background, int32_t foreground, int32_t number,
                    uint16_t tag);

// The context number that counts: 0 for a record without a style.
inline int32_t ContextNumberOf(const TContextState& record) {
    return (record.Flags & TContextState::kStyled) != 0 ? record.ContextNumber : 0;
}

// The whole highlighting state of two records agrees: flags, key stack up to
// its depth, colours, context number, cursor and both key lengths (the
// offset is not compared).  Stricter than SameContext, which looks at the key
// stacks only: the hand-on of a changed context to the following paragraphs
// uses this, so that they are coloured exactly as a full highlight colours
// them.
bool SameHighlight(const TContextState& a, const TContextState& b);
