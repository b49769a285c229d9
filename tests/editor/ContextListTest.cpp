// The compact context records against a plain vector of whole records:
// random inserts, removals, shifts and state changes, with offsets and
// state numbers on both sides of the 8-bit and 16-bit limits where the list
// switches to wider entries.  And the state table: one number for one state.

#include "editor/model/ContextStates.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

TContextState RandomState(std::mt19937& random) {
    TContextState state;
    state.Flags = static_cast<uint8_t>(random() % 4 == 0 ? 0 : 0xC0 | (random() % 16));
    state.Depth = static_cast<int8_t>(static_cast<int>(random() % 5) - 1);
    for (int i = 0; i <= state.Depth; ++i)
        state.KeyStack[i] = static_cast<uint16_t>(random() % 3 == 0 ? 0x8000 | (random() % 4) : random() % 4);
    state.Foreground = static_cast<int32_t>(random() % 3);
    state.ContextNumber = static_cast<int32_t>(random() % 3);
    state.StopKeyLength = static_cast<uint8_t>(random() % 2);
    return state;
}

bool SameBytes(const TContextState& a, const TContextState& b) {
    return a.Flags == b.Flags && a.Depth == b.Depth && a.Tag == b.Tag && a.Background == b.Background &&
           a.Foreground == b.Foreground && a.ContextNumber == b.ContextNumber &&
           std::equal(a.KeyStack, a.KeyStack + TContextState::kStackSize, b.KeyStack) &&
           a.StartKeyLength == b.StartKeyLength && a.StopKeyLength == b.StopKeyLength;
}

} // namespace

TEST(ContextList, FollowsAVectorOfWholeRecordsThroughRandomChanges) {
    std::mt19937 random(5150);
    // States of each width of number: up to a byte, up to 16 bits, beyond.
    std::vector<TContextState> states[3];
    for (TContextId id = 0; id < std::min<uint32_t>(ContextStateCount(), 0x100); ++id)
        states[0].push_back(ContextState(id));
    while (ContextStateCount() <= 0x10000 + 100) {
        TContextState state = RandomState(random);
        state.Background = static_cast<int32_t>(ContextStateCount());
        const TContextId id = InternContext(state);
        states[id <= 0xFF ? 0 : id <= 0xFFFF ? 1 : 2].push_back(state);
    }
    // Each round draws from one width and now and then from the next.
    int usual = 0;
    auto pick = [&]() -> const TContextState& {
        const int width = usual < 2 && random() % 32 == 0 ? usual + 1 : usual;
        return states[width][random() % states[width].size()];
    };
    for (int round = 0; round < 50; ++round) {
        std::vector<TContextRecord> model;
        TContextList list;
        // Rounds that pass a width's limit by shifts, by new offsets and by
        // state numbers.
        usual = round % 5 < 2 ? 0 : 1;
        const int32_t spread = round % 5 == 0 ? 200 : round % 5 == 1 ? 100 : round % 5 == 3 ? 200000 : 50000;
        const int32_t push = round % 5 == 0 ? 60 : round % 5 == 2 ? 3000 : 20;
        for (int step = 0; step < 300; ++step) {
            const int kind = static_cast<int>(random() % 10);
            const auto count = static_cast<int32_t>(model.size());
            if (kind < 4) {
                const auto offset = static_cast<int32_t>(random() % static_cast<uint32_t>(spread));
                TContextRecord record(pick(), offset);
                const auto at = static_cast<int32_t>(
                    std::lower_bound(model.begin(), model.end(), offset,
                                     [](const TContextRecord& r, int32_t o) { return r.Offset < o; }) -
                    model.begin());
                ASSERT_EQ(list.IndexAt(offset), at);
                model.insert(model.begin() + at, record);
                list.Insert(at, record);
            } else if (kind < 6 && count > 0) {
                const auto from = static_cast<int32_t>(random() % static_cast<uint32_t>(count));
                const int32_t to = std::min(count, from + static_cast<int32_t>(random() % 4));
                model.erase(model.begin() + from, model.begin() + to);
                list.Erase(from, to);
            } else if (kind < 8 && count > 0) {
                // Shifts keep the order: a move right, or left no further
                // than the gap before the first record shifted.
                const auto from = static_cast<int32_t>(random() % static_cast<uint32_t>(count));
                const int32_t room = model[static_cast<size_t>(from)].Offset -
                                     (from > 0 ? model[static_cast<size_t>(from - 1)].Offset : 0);
                const int32_t delta = random() % 2 == 0 ? static_cast<int32_t>(random() % static_cast<uint32_t>(push))
                                                         : -static_cast<int32_t>(random() % static_cast<uint32_t>(room + 1));
                for (auto it = model.begin() + from; it != model.end(); ++it)
                    it->Offset += delta;
                list.ShiftOffsets(from, delta);
            } else if (kind < 9 && count > 0) {
                const auto at = static_cast<int32_t>(random() % static_cast<uint32_t>(count));
                const TContextState& state = pick();
                static_cast<TContextState&>(model[static_cast<size_t>(at)]) = state;
                list.SetId(at, InternContext(state));
            } else if (random() % 4 == 0) {
                // Copies, moves and the end of growth keep everything.
                TContextList copy(list);
                list = std::move(copy);
                list.ShrinkToFit();
            }
            ASSERT_EQ(list.Count(), static_cast<int32_t>(model.size()));
            const std::vector<TContextRecord> records = list.Records();
            for (size_t i = 0; i < model.size(); ++i) {
                ASSERT_EQ(records[i].Offset, model[i].Offset) << "round " << round << " step " << step << " record " << i;
                ASSERT_TRUE(SameBytes(records[i], model[i])) << "round " << round << " step " << step << " record " << i;
            }
        }
    }
}

TEST(ContextList, TheTableGivesOneNumberToEachStateAndKeepsItsBytes) {
    std::mt19937 random(77);
    std::vector<std::pair<TContextState, TContextId>> seen;
    for (int i = 0; i < 3000; ++i) {
        const TContextState state = RandomState(random);
        const TContextId id = InternContext(state);
        ASSERT_TRUE(SameBytes(ContextState(id), state));
        for (const auto& [other, otherId] : seen)
            ASSERT_EQ(SameBytes(other, state), otherId == id);
        if (seen.size() < 400)
            seen.emplace_back(state, id);
    }
    EXPECT_EQ(InternContext(TContextState{}), kDefaultContext);
}
