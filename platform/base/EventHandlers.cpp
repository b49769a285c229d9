#include "platform/base/EventHandlers.h"

#include "platform/base/TextCodec.h"

const std::any* THandlerTable::Find(std::string_view name) const {
    for (const TEntry& entry : entries_)
        if (SameText(entry.Name, name))
            return &entry.Handler;
    return nullptr;
}

void THandlerTable::add(std::string name, std::any handler) {
    for (TEntry& entry : entries_)
        if (SameText(entry.Name, name)) {
            entry.Handler = std::move(handler);
            return;
        }
    entries_.push_back({std::move(name), std::move(handler)});
}
