#include "shell/PTImageCombo.h"

#include "platform/base/Exceptions.h"

#include <mutex>
#include <unordered_set>

namespace {

// An item list holds untyped objects: an object is taken as an item only
// when it is one of the items alive, which needs no guess at its class.
struct TLiveItems {
    std::mutex Lock;
    std::unordered_set<const void*> Items;
};

TLiveItems& liveItems() {
    static TLiveItems live;
    return live;
}

} // namespace

TPTImageComboItem::TPTImageComboItem() {
    std::lock_guard guard(liveItems().Lock);
    liveItems().Items.insert(this);
}

TPTImageComboItem::~TPTImageComboItem() {
    std::lock_guard guard(liveItems().Lock);
    liveItems().Items.erase(this);
}

TPTImageComboItem* ImageComboItemOf(const TStrings& items, int index) {
    void* object = items.Objects(index);
    if (object == nullptr)
        return nullptr;
    {
        std::lock_guard guard(liveItems().Lock);
        if (liveItems().Items.count(object) != 0)
            return static_cast<TPTImageComboItem*>(object);
    }
    throw EInvalidCast();
}
