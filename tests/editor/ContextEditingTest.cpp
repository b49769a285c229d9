// The record operations parsing uses on one paragraph (putting a record,
// removing a stretch, asking what is in force at an offset) against an
// ordered map of offset to state.  Writes come mostly near the end, as
// parsing writes them, and now and then anywhere; offsets reach past 64 KB
// so that the lists use every width of entry, wide ones with their gap.

#include "editor/model/ContextEditing.h"

#include <gtest/gtest.h>

#include <iterator>
#include <map>
#include <random>

namespace {

TContextId InForce(const std::map<int32_t, TContextId>& model, TContextId base, int32_t offset) {
    auto it = model.upper_bound(offset);
    return it == model.begin() ? base : std::prev(it)->second;
}

TEST(ContextEditing, PutRemoveAndInForceFollowAMapOfRecords) {
    std::mt19937 random(4711);
    TContextId ids[6];
    for (int i = 0; i < 6; ++i) {
        TContextState state = PlainContext();
        state.Flags = static_cast<uint8_t>(TContextState::kStyled | TContextState::kKeyStack | i);
        state.Depth = 0;
        state.KeyStack[0] = static_cast<uint16_t>(0x8000 | i);
        ids[i] = InternContext(state);
    }
    for (int round = 0; round < 24; ++round) {
        TParagraph paragraph;
        paragraph.BaseContext = ids[round % 6];
        std::map<int32_t, TContextId> model;
        // Short, mid-sized and long paragraphs.
        const int32_t length = round % 3 == 0 ? 200 : round % 3 == 1 ? 30000 : 300000;
        int32_t end = 0;
        for (int step = 0; step < 1500; ++step) {
            const int kind = static_cast<int>(random() % 10);
            const TContextId id = ids[random() % 6];
            if (kind < 6) {
                // Near the end of what is written, before or behind it.
                const int32_t near = std::max(0, end + static_cast<int32_t>(random() % 24) - 12);
                const int32_t offset = std::min(near, length);
                PutContext(paragraph, offset, id);
                model[offset] = id;
                end = std::max(end, offset);
            } else if (kind < 8) {
                const auto offset = static_cast<int32_t>(random() % static_cast<uint32_t>(length + 1));
                PutContext(paragraph, offset, id);
                model[offset] = id;
            } else if (kind < 9) {
                const auto from = static_cast<int32_t>(random() % static_cast<uint32_t>(length + 1));
                const int32_t to = from + static_cast<int32_t>(random() % 40);
                RemoveContexts(paragraph, from, to);
                model.erase(model.lower_bound(from), model.lower_bound(to));
            } else if (end + 1 < length) {
                // Parsing moves on.
                end += 1 + static_cast<int32_t>(random() % static_cast<uint32_t>(std::min(length - end, 5000)));
            }
            ASSERT_EQ(paragraph.Contexts.Count(), static_cast<int32_t>(model.size())) << "round " << round << " step " << step;
            if (!model.empty()) {
                ASSERT_EQ(paragraph.Contexts.Last().Offset, model.rbegin()->first);
                ASSERT_EQ(EndContextId(paragraph), model.rbegin()->second);
            }
            // Asked where parsing asks (near the end) and anywhere, on and
            // beside records.
            for (int probe = 0; probe < 4; ++probe) {
                int32_t offset = probe < 2 ? end + static_cast<int32_t>(random() % 16) - 8
                                           : static_cast<int32_t>(random() % static_cast<uint32_t>(length + 1));
                if (probe == 3 && !model.empty()) {
                    auto it = model.begin();
                    std::advance(it, static_cast<long>(random() % model.size()));
                    offset = it->first + static_cast<int32_t>(random() % 3) - 1;
                }
                ASSERT_EQ(ContextIdInForce(paragraph, offset), InForce(model, paragraph.BaseContext, offset))
                    << "round " << round << " step " << step << " offset " << offset;
            }
        }
    }
}

} // namespace
