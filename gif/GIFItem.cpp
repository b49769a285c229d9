#include "gif/GIFItem.h"

#include "gif/GIFImage.h"
#include "gif/GIFRoutines.h"
#include "platform/base/Exceptions.h"

#include <algorithm>

void TGIFItem::Warning(TPersistent* sender, int severity, const std::string& message) {
    if (image_)
        image_->Warning(sender, severity, message);
}

void TGIFItem::SaveToFile(const std::string& fileName) {
    SaveGIFFile(fileName, [this](TStream& stream) { SaveToStream(stream); });
}

void TGIFItem::LoadFromFile(const std::string& fileName) {
    TFileStream stream(fileName, fmOpenRead);
    LoadFromStream(stream);
}

TGIFList::~TGIFList() { Clear(); }

TGIFItem* TGIFList::Items(int index) const {
    if (index < 0 || index >= Count())
        throw EListError();
    return items_[static_cast<size_t>(index)];
}

int TGIFList::IndexOf(const TGIFItem* item) const {
    auto found = std::find(items_.begin(), items_.end(), item);
    return found == items_.end() ? -1 : static_cast<int>(found - items_.begin());
}

int TGIFList::Add(TGIFItem* item) {
    items_.push_back(item);
    return Count() - 1;
}

void TGIFList::Insert(int index, TGIFItem* item) {
    if (index < 0 || index > Count())
        throw EListError();
    items_.insert(items_.begin() + index, item);
}

void TGIFList::Delete(int index) {
    TGIFItem* item = Items(index);
    items_.erase(items_.begin() + index);
    delete item;
}

void TGIFList::Remove(const TGIFItem* item) {
    auto found = std::find(items_.begin(), items_.end(), item);
    if (found != items_.end())
        items_.erase(found);
}

void TGIFList::Clear() {
    // Taken out of the list first, so that an item's own destructor, which
    // removes it from the list, finds nothing and costs nothing.
    std::vector<TGIFItem*> doomed;
    doomed.swap(items_);
    for (TGIFItem* item : doomed)
        delete item;
}

void TGIFList::Warning(int severity, const std::string& message) {
    if (image_)
        image_->Warning(this, severity, message);
}

void TGIFList::SaveToStream(TStream& stream) {
    for (TGIFItem* item : items_)
        item->SaveToStream(stream);
}
