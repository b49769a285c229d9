#include "platform/shellns/ItemIdList.h"

#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace {

class TProcessMalloc : public TMalloc {
public:
    void* Alloc(size_t size) override { return std::malloc(size == 0 ? 1 : size); }
    void Free(void* block) override { std::free(block); }
};

TMalloc& allocatorOr(TMalloc* malloc) { return malloc != nullptr ? *malloc : ShellMalloc(); }

// Bytes of the items of a list without its terminator.
size_t itemBytes(PCItemIDList list) {
    size_t size = IdListSize(list);
    return size >= 2 ? size - 2 : 0;
}

PItemIDList allocateList(TMalloc& malloc, std::string_view first, std::string_view second) {
    size_t size = first.size() + second.size() + 2;
    auto* bytes = static_cast<uint8_t*>(malloc.Alloc(size));
    if (bytes == nullptr)
        return nullptr;
    if (!first.empty())
        std::memcpy(bytes, first.data(), first.size());
    if (!second.empty())
        std::memcpy(bytes + first.size(), second.data(), second.size());
    WriteItemCount(bytes + first.size() + second.size(), 0);
    return reinterpret_cast<PItemIDList>(bytes);
}

std::string_view itemsOf(PCItemIDList list) {
    return std::string_view(reinterpret_cast<const char*>(IdListBytes(list)), itemBytes(list));
}

// The bytes of the first count items.
std::string_view firstItems(PCItemIDList list, int count) {
    if (list == nullptr)
        return {};
    size_t length = 0;
    for (PCItemIDList at = list; count > 0 && !IdListIsEmpty(at); at = NextItem(at), --count)
        length += FirstItemSize(at);
    return std::string_view(reinterpret_cast<const char*>(IdListBytes(list)), length);
}

} // namespace

TMalloc& ShellMalloc() {
    static TProcessMalloc allocator;
    return allocator;
}

void* ShellAlloc(size_t size) { return ShellMalloc().Alloc(size); }

void ShellFree(void* block) {
    if (block != nullptr)
        ShellMalloc().Free(block);
}

size_t IdListSize(PCItemIDList list) {
    if (list == nullptr)
        return 0;
    size_t size = 0;
    for (PCItemIDList at = list; !IdListIsEmpty(at); at = NextItem(at))
        size += FirstItemSize(at);
    return size + 2;
}

int IdListItemCount(PCItemIDList list) {
    int count = 0;
    for (PCItemIDList at = list; !IdListIsEmpty(at); at = NextItem(at))
        ++count;
    return count;
}

std::string_view IdListView(PCItemIDList list) {
    return std::string_view(reinterpret_cast<const char*>(IdListBytes(list)), IdListSize(list));
}

PCItemIDList IdListLastItem(PCItemIDList list) {
    if (list == nullptr)
        return nullptr;
    PCItemIDList last = list;
    for (PCItemIDList at = list; !IdListIsEmpty(at); at = NextItem(at))
        last = at;
    return last;
}

size_t ValidIdListSize(const void* data, size_t available) {
    if (data == nullptr)
        return 0;
    const auto* bytes = static_cast<const uint8_t*>(data);
    size_t offset = 0;
    while (true) {
        if (available - offset < 2)
            return 0;
        uint16_t count = ReadItemCount(bytes + offset);
        if (count == 0)
            return offset + 2;
        if (count < 2 || count > available - offset)
            return 0;
        offset += count;
    }
}

PItemIDList IdListFromItems(std::string_view items, TMalloc* malloc) {
    return allocateList(allocatorOr(malloc), items, {});
}

PItemIDList IdListClone(PCItemIDList list, TMalloc* malloc) {
    return allocateList(allocatorOr(malloc), itemsOf(list), {});
}

PItemIDList IdListCombine(PCItemIDList first, PCItemIDList second, TMalloc* malloc) {
    return allocateList(allocatorOr(malloc), itemsOf(first), itemsOf(second));
}

PItemIDList IdListCloneFirst(PCItemIDList list, int count, TMalloc* malloc) {
    return allocateList(allocatorOr(malloc), firstItems(list, count), {});
}

PItemIDList IdListCloneItem(PCItemIDList list, int index, TMalloc* malloc) {
    PCItemIDList at = list;
    for (; index > 0 && !IdListIsEmpty(at); --index)
        at = NextItem(at);
    return allocateList(allocatorOr(malloc), firstItems(at, 1), {});
}

std::string MakeItem(TItemKind kind, uint8_t flags, std::string_view name) {
    size_t count = name.size() + 4;
    if (count > 0xFFFF)
        throw std::length_error("item name too long");
    std::string item(4, '\0');
    WriteItemCount(reinterpret_cast<uint8_t*>(item.data()), static_cast<uint16_t>(count));
    item[2] = static_cast<char>(kind);
    item[3] = static_cast<char>(flags);
    item.append(name);
    return item;
}

bool DecodeItem(PCItemIDList item, TItemPayload& payload) {
    if (IdListIsEmpty(item))
        return false;
    uint16_t count = FirstItemSize(item);
    if (count < 4)
        return false;
    const uint8_t* bytes = IdListBytes(item);
    auto kind = static_cast<TItemKind>(bytes[2]);
    switch (kind) {
    case TItemKind::FileSystem:
    case TItemKind::Home:
    case TItemKind::Computer:
    case TItemKind::Mount:
        break;
    default:
        return false;
    }
    payload.Kind = kind;
    payload.Flags = bytes[3];
    payload.Name = std::string_view(reinterpret_cast<const char*>(bytes + 4), count - 4u);
    return true;
}
