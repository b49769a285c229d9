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
            if (!model.empty()) {
                ASSERT_EQ(list.Last().Offset, model.back().Offset) << "round " << round << " step " << step;
                ASSERT_TRUE(SameBytes(ContextState(list.Last().Id), model.back())) << "round " << round << " step " << step;
            }
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

// A long list of wide records (a paragraph beyond 64 KB) keeps a gap where
// it was last changed, and parsing sets the records behind an edit aside in
// place.  Random edits that mostly stay near one place, with far jumps,
// huge shifts both ways and records set aside, read back, written around
// and put back (or dropped) against two plain vectors.
TEST(ContextList, AWideListWithAGapAndRecordsSetAsideFollowsVectors) {
    std::mt19937 random(9091);
    using TEntry = TContextList::TEntry;
    auto check = [](const TContextList& list, const std::vector<TEntry>& model, int step) {
        ASSERT_EQ(list.Count(), static_cast<int32_t>(model.size())) << "step " << step;
        if (!model.empty()) {
            ASSERT_EQ(list.Last().Offset, model.back().Offset) << "step " << step;
            ASSERT_EQ(list.Last().Id, model.back().Id) << "step " << step;
        }
        for (size_t i = 0; i < model.size(); ++i) {
            ASSERT_EQ(list.Offset(static_cast<int32_t>(i)), model[i].Offset) << "step " << step << " record " << i;
            ASSERT_EQ(list.Id(static_cast<int32_t>(i)), model[i].Id) << "step " << step << " record " << i;
        }
    };
    auto indexIn = [](const std::vector<TEntry>& model, int32_t offset) {
        return static_cast<int32_t>(
            std::lower_bound(model.begin(), model.end(), offset, [](const TEntry& e, int32_t o) { return e.Offset < o; }) -
            model.begin());
    };
    for (int round = 0; round < 8; ++round) {
        std::vector<TEntry> model;
        TContextList list;
        for (int32_t i = 0; i < 3000; ++i) {
            model.push_back({70000 + i * 7, static_cast<TContextId>(i % 5)});
            list.Append(model.back());
        }
        int32_t place = static_cast<int32_t>(random() % model.size());
        for (int step = 0; step < 400; ++step) {
            // Mostly near the last place, now and then anywhere.
            if (random() % 8 == 0)
                place = static_cast<int32_t>(random() % (model.size() + 1));
            place = std::clamp(place + static_cast<int32_t>(random() % 9) - 4, 0, static_cast<int32_t>(model.size()));
            const int kind = static_cast<int>(random() % 12);
            const int32_t before = place > 0 ? model[static_cast<size_t>(place - 1)].Offset : 0;
            const int32_t after = place < std::ssize(model) ? model[static_cast<size_t>(place)].Offset : before + 100;
            if (kind < 3 && after > before) {
                const TEntry entry{before + static_cast<int32_t>(random() % static_cast<uint32_t>(after - before)),
                                   static_cast<TContextId>(random() % 7)};
                ASSERT_EQ(list.IndexAt(entry.Offset), indexIn(model, entry.Offset)) << "step " << step;
                model.insert(model.begin() + place, entry);
                list.Insert(place, entry);
            } else if (kind < 5) {
                const int32_t to = std::min(static_cast<int32_t>(model.size()), place + static_cast<int32_t>(random() % 5));
                model.erase(model.begin() + place, model.begin() + to);
                list.Erase(place, to);
            } else if (kind < 8 && place < std::ssize(model)) {
                // An edit: the records behind it move; now and then by
                // hundreds of megabytes, and back.
                const int32_t room = model[static_cast<size_t>(place)].Offset - before;
                int32_t delta = random() % 2 == 0 ? static_cast<int32_t>(random() % 50) : -static_cast<int32_t>(random() % static_cast<uint32_t>(room + 1));
                if (random() % 16 == 0)
                    delta = model.back().Offset < 1000000000 ? 900000000 : room >= 900000000 ? -900000000 : 0;
                for (auto it = model.begin() + place; it != model.end(); ++it)
                    it->Offset += delta;
                list.ShiftOffsets(place, delta);
            } else if (kind < 9 && place < std::ssize(model)) {
                const auto id = static_cast<TContextId>(random() % 7);
                model[static_cast<size_t>(place)].Id = id;
                list.SetId(place, id);
            } else if (kind < 11) {
                // Set aside from here, write behind the records kept, read
                // what was set aside, then put some back or drop them.
                std::vector<TEntry> aside(model.begin() + place, model.end());
                model.resize(static_cast<size_t>(place));
                TSetAsideRecords old(list, place);
                ASSERT_EQ(old.Count(), static_cast<int32_t>(aside.size()));
                check(list, model, step);
                int32_t last = model.empty() ? 0 : model.back().Offset;
                for (int i = static_cast<int>(random() % 40); i > 0; --i) {
                    const int what = static_cast<int>(random() % 4);
                    if (what < 2) {
                        last += 1 + static_cast<int32_t>(random() % 5);
                        model.push_back({last, static_cast<TContextId>(random() % 7)});
                        list.Append(model.back());
                    } else if (what == 2 && !model.empty()) {
                        const auto at = static_cast<int32_t>(random() % model.size());
                        model.erase(model.begin() + at);
                        list.Erase(at, at + 1);
                    } else if (!model.empty()) {
                        const auto at = static_cast<int32_t>(random() % model.size());
                        model.insert(model.begin() + at, model[static_cast<size_t>(at)]);
                        list.Insert(at, model[static_cast<size_t>(at)]);
                    }
                }
                for (size_t i = 0; i < aside.size(); ++i) {
                    ASSERT_EQ(old.Offset(static_cast<int32_t>(i)), aside[i].Offset) << "step " << step;
                    ASSERT_EQ(old.Id(static_cast<int32_t>(i)), aside[i].Id) << "step " << step;
                }
                const int32_t probe = aside.empty() ? 0 : aside[random() % aside.size()].Offset + static_cast<int32_t>(random() % 3) - 1;
                ASSERT_EQ(old.IndexAt(probe), indexIn(aside, probe)) << "step " << step;
                // Put back behind the last record written (or dropped).
                auto keep = static_cast<int32_t>(std::upper_bound(aside.begin(), aside.end(), model.empty() ? -1 : model.back().Offset,
                                                                  [](int32_t o, const TEntry& e) { return o < e.Offset; }) -
                                                 aside.begin());
                if (random() % 4 == 0) {
                    old.Drop();
                } else {
                    keep = std::max<int32_t>(keep, static_cast<int32_t>(random() % (aside.size() + 1)));
                    old.PutBackFrom(keep);
                    model.insert(model.end(), aside.begin() + keep, aside.end());
                }
            } else {
                TContextList copy(list);
                check(copy, model, step);
                list.ShrinkIfLoose();
                if (random() % 2 == 0) {
                    TContextList tail = list.SplitOff(place);
                    list.AppendRange(tail, 0, tail.Count());
                }
            }
            check(list, model, step);
            const int32_t probe = model.empty() ? 0 : model[random() % model.size()].Offset + static_cast<int32_t>(random() % 3) - 1;
            ASSERT_EQ(list.IndexAt(probe), indexIn(model, probe)) << "step " << step;
        }
    }
}

// Giving back room left over stores the records in the narrowest entries
// that hold them again.  Random lists reserved for short and long
// paragraphs, filled (with state numbers that fit in bytes, and ones that
// do not: the table holds a few hundred states here, more than 65,536
// after the test above), shrunk and then written on keep every record.
TEST(ContextList, RecordsReservedWideAndShrunkKeepTheirValues) {
    std::mt19937 random(1234);
    while (ContextStateCount() <= 0x100 + 10) {
        TContextState state = RandomState(random);
        state.Background = static_cast<int32_t>(ContextStateCount()) + 7;
        InternContext(state);
    }
    using TEntry = TContextList::TEntry;
    for (int round = 0; round < 200; ++round) {
        TContextList list;
        std::vector<TEntry> model;
        const auto length = static_cast<int32_t>(random() % 4 == 0 ? 70000 + random() % 400 : random() % 400);
        list.Reserve(static_cast<int32_t>(random() % 64), length);
        // Mostly small numbers: some lists fit in bytes, some do not.
        const bool small = random() % 3 != 0;
        int32_t offset = 0;
        for (int i = static_cast<int>(random() % 40); i > 0 && offset < length; --i) {
            offset += 1 + static_cast<int32_t>(random() % 9);
            const auto id = static_cast<TContextId>(small ? random() % 0x100 : random() % (0x100 + 10));
            model.push_back({offset, id});
            list.Append(model.back());
        }
        list.ShrinkToFit();
        // Written on after shrinking, now and then with a wider number.
        for (int i = static_cast<int>(random() % 4); i > 0; --i) {
            offset += 1 + static_cast<int32_t>(random() % 300);
            model.push_back({offset, static_cast<TContextId>(random() % (0x100 + 10))});
            list.Append(model.back());
        }
        ASSERT_EQ(list.Count(), static_cast<int32_t>(model.size())) << "round " << round;
        for (size_t i = 0; i < model.size(); ++i) {
            ASSERT_EQ(list.Offset(static_cast<int32_t>(i)), model[i].Offset) << "round " << round << " record " << i;
            ASSERT_EQ(list.Id(static_cast<int32_t>(i)), model[i].Id) << "round " << round << " record " << i;
        }
    }
}
