// The run state a display line is measured and painted with: at the line's
// start and at every position along it, the context record in force and
// the next record to enter are the ones a walk from the paragraph's first
// record reaches, with several records at one offset (empty contexts), a
// record that starts or ends exactly at the line's start, and none at all.

#include "editor/LineWalk.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// The oracle: every record from the first, entered while it starts at or
// before the position.
struct TWalkState {
    const TContextState* Context;
    int32_t NextContext;
};

TWalkState WalkFromFirst(const TParagraph& paragraph, int32_t position) {
    TWalkState state{&paragraph.Base(), 0};
    while (state.NextContext < paragraph.Contexts.Count() && paragraph.Contexts.Offset(state.NextContext) <= position)
        state.Context = &paragraph.Contexts.State(state.NextContext++);
    return state;
}

// A record at the offset with a state of its own (states are shared by
// value, so the walk's state tells the records apart).
TContextRecord RecordAt(int32_t offset) {
    static int32_t made = 0;
    TContextRecord record;
    record.ContextNumber = ++made;
    record.Offset = offset;
    return record;
}

void SetRecords(TParagraph& paragraph, const std::vector<TContextRecord>& records) {
    paragraph.Contexts.Clear();
    for (const TContextRecord& record : records)
        paragraph.Contexts.Add(record);
}

// Walks a line of the paragraph from start to stop and compares the state
// at every position with the oracle's.
void ExpectWalkAgrees(const TParagraph& paragraph, int32_t start, int32_t stop, const std::string& what) {
    TLineRecord line;
    line.Start = start;
    line.Stop = stop;
    TLineWalk walk(paragraph, line, false);
    for (int32_t position = start; position <= stop; ++position) {
        if (position > start)
            walk.Enter(position);
        const TWalkState expected = WalkFromFirst(paragraph, position);
        ASSERT_EQ(walk.Context, expected.Context) << what << ", line from " << start << ", at " << position;
        ASSERT_EQ(walk.NextContext, expected.NextContext) << what << ", line from " << start << ", at " << position;
        const int32_t boundary = expected.NextContext < paragraph.Contexts.Count()
                                     ? paragraph.Contexts.Offset(expected.NextContext)
                                     : INT32_MAX;
        ASSERT_EQ(walk.NextBoundary(), boundary) << what << ", line from " << start << ", at " << position;
    }
}

} // namespace

TEST(LineWalk, StartsWithTheRecordsAtOrBeforeTheLineStart) {
    TParagraph paragraph;
    paragraph.Text = std::string(40, 'x');
    ExpectWalkAgrees(paragraph, 10, 20, "no records");
    // An empty context at 10 (two records there), one ending at 20 where
    // the next starts, one from the paragraph's first character.
    SetRecords(paragraph, {RecordAt(0), RecordAt(10), RecordAt(10), RecordAt(20), RecordAt(30)});
    for (int32_t start : {0, 5, 10, 11, 20, 29, 30, 35, 40})
        ExpectWalkAgrees(paragraph, start, std::min(start + 10, 40), "fixed records");
    TLineRecord line;
    line.Start = 10;
    line.Stop = 20;
    TLineWalk walk(paragraph, line, false);
    EXPECT_EQ(walk.Context, &paragraph.Contexts.State(2)) << "the last of the records at the line's start";
    EXPECT_EQ(walk.NextBoundary(), 20);
}

TEST(LineWalk, AgreesWithAWalkFromTheFirstRecordOnRandomParagraphs) {
    std::mt19937 random(20261207);
    for (int round = 0; round < 200; ++round) {
        TParagraph paragraph;
        const auto length = static_cast<int32_t>(random() % 60);
        paragraph.Text = std::string(static_cast<size_t>(length), 'x');
        const int records = static_cast<int>(random() % 12);
        std::vector<int32_t> offsets;
        for (int i = 0; i < records; ++i)
            offsets.push_back(static_cast<int32_t>(random() % static_cast<uint32_t>(length + 2)));
        std::sort(offsets.begin(), offsets.end());
        for (int32_t offset : offsets)
            paragraph.Contexts.Add(RecordAt(offset));
        // Lines that start on every record's offset and anywhere else.
        std::vector<int32_t> starts = offsets;
        starts.push_back(0);
        starts.push_back(static_cast<int32_t>(random() % static_cast<uint32_t>(length + 1)));
        for (int32_t start : starts) {
            start = std::min(start, length);
            const int32_t stop = start + static_cast<int32_t>(random() % static_cast<uint32_t>(length - start + 1));
            ExpectWalkAgrees(paragraph, start, stop, "round " + std::to_string(round));
        }
    }
}
