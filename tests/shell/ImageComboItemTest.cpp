// The item object of an image combo entry, read back from a combo box's
// item list: the entry's own item, nothing for an entry without one, and
// an invalid cast for an object of any other kind, in lists of random
// make-up.

#include "platform/base/Exceptions.h"
#include "platform/ui/ListControls.h"
#include "shell/PTImageCombo.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

TEST(ImageComboItemTest, EachEntryGivesItsOwnItemNothingOrAnInvalidCast) {
    std::mt19937 random(31);
    struct TOther {
        int Value = 0;
    };
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        TComboBox combo;
        std::vector<std::unique_ptr<TPTImageComboItem>> items;
        std::vector<std::unique_ptr<TOther>> others;
        enum TKind { kItem, kNone, kOther };
        std::vector<TKind> kinds;
        const int count = 1 + int(random() % 12);
        for (int i = 0; i < count; ++i) {
            const TKind kind = TKind(random() % 3);
            kinds.push_back(kind);
            void* object = nullptr;
            if (kind == kItem) {
                items.push_back(std::make_unique<TPTImageComboItem>());
                object = items.back().get();
            } else if (kind == kOther) {
                others.push_back(std::make_unique<TOther>());
                object = others.back().get();
            }
            combo.Items().AddObject("entry " + std::to_string(i), object);
        }
        for (int i = 0; i < count; ++i) {
            SCOPED_TRACE(i);
            switch (kinds[size_t(i)]) {
            case kItem:
                EXPECT_EQ(ImageComboItemOf(combo.Items(), i), combo.Items().Objects(i));
                break;
            case kNone:
                EXPECT_EQ(ImageComboItemOf(combo.Items(), i), nullptr);
                break;
            case kOther:
                EXPECT_THROW(ImageComboItemOf(combo.Items(), i), EInvalidCast);
                break;
            }
        }
        EXPECT_THROW(ImageComboItemOf(combo.Items(), count), Exception);
        // An item freed is an item no longer: its entry's object is refused.
        if (!items.empty()) {
            const int index = combo.Items().IndexOfObject(items.front().get());
            items.front().reset();
            EXPECT_THROW(ImageComboItemOf(combo.Items(), index), EInvalidCast);
        }
    }
}
