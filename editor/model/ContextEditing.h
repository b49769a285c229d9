#pragma once
// Reading and writing the context records of one paragraph: the small
// operations that start/stop parsing, keyword application and the
// highlighters share.  Offsets are offsets within the paragraph.

#include "editor/model/TextStore.h"

#include <cstdint>

// The record in force at an offset: the last record that begins at or
// before it, or the paragraph's base context.
const TContextRecord& ContextInForce(const TParagraph& paragraph, int32_t offset);
// The last record of the paragraph's array that begins before the offset;
// nullptr when the base context is in force there (base contexts are shared
// between paragraphs and are never changed in place).
TContextRecord* RecordBefore(TParagraph& paragraph, int32_t offset);
// The context in force at the paragraph's end: its last record or its base.
const TContextRecord& EndContext(const TParagraph& paragraph);

// Puts a record at the offset: it overwrites a record that begins there,
// otherwise it is inserted in order.
void PutContext(TParagraph& paragraph, int32_t offset, const TContextRecord& record);
// Removes the records that begin in from .. to - 1.
void RemoveContexts(TParagraph& paragraph, int32_t from, int32_t to);
// The offset of the first record that begins after the offset, or -1.
int32_t NextContextOffset(const TParagraph& paragraph, int32_t offset);

// The plain record: no style, no key stack.
TContextRecord PlainContext();

// Nests a context in the one in force at an offset: record, a copy of that
// one not yet given its new look, goes one key-stack level deeper with entry
// on top.  When the context
// in force is on the key stack itself, its record before the offset no
// longer ends at a stop key there: that record's stop-key length is cleared.
void PushKeyEntry(TParagraph& paragraph, int32_t offset, TContextRecord& record, uint16_t entry);
// Gives a record the look of a context on the key stack: its style bits,
// colours, context number and cursor.
void SetContextLook(TContextRecord& record, uint8_t style, int32_t background, int32_t foreground, int32_t number,
                    uint16_t tag);

// The key-stack depth of a record (-1 without a key stack) and its top entry
// (-1 without one).
inline int ContextDepthOf(const TContextRecord& record) { return record.HasKeyStack() ? record.Depth : -1; }
inline int TopKeyEntry(const TContextRecord& record) {
    int depth = ContextDepthOf(record);
    return depth >= 0 && depth < TContextRecord::kStackSize ? record.KeyStack[depth] : -1;
}
// The context number that counts: 0 for a record without a style.
inline int32_t ContextNumberOf(const TContextRecord& record) {
    return (record.Flags & TContextRecord::kStyled) != 0 ? record.ContextNumber : 0;
}
// A styled record without a key stack: parsing leaves it alone.
inline bool IsStyledWithoutKeys(const TContextRecord& record) {
    return (record.Flags & TContextRecord::kStyled) != 0 && ContextDepthOf(record) < 0;
}

// The whole highlighting state of two records agrees: flags, key stack up to
// its depth, colours, context number, cursor and both key lengths (the
// offset is not compared).  Stricter than SameContext, which looks at the key
// stacks only: the hand-on of a changed context to the following paragraphs
// uses this, so that they are coloured exactly as a full highlight colours
// them.
bool SameHighlight(const TContextRecord& a, const TContextRecord& b);
