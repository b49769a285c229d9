#include "toolbars/TBImageList.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// TTBImageChangeLink

TTBImageChangeLink::TTBImageChangeLink(std::function<void(TTBImageChangeLink&)> onChange)
    : OnChange(std::move(onChange)) {}

TTBImageChangeLink::~TTBImageChangeLink() { SetImages(nullptr); }

void TTBImageChangeLink::SetImages(TImageList* list) {
    if (list == images_)
        return;
    if (auto* old = dynamic_cast<TTBCustomImageList*>(images_))
        old->removeLink(this);
    images_ = list;
    if (auto* now = dynamic_cast<TTBCustomImageList*>(images_))
        now->addLink(this);
    RememberSize();
}

void TTBImageChangeLink::RememberSize() {
    LastWidth = images_ != nullptr ? images_->Width() : 0;
    LastHeight = images_ != nullptr ? images_->Height() : 0;
}

// ---------------------------------------------------------------------------
// TTBCustomImageList

TTBCustomImageList::TTBCustomImageList(TComponent* owner)
    : TImageList(owner), checkedLink_([this](TTBImageChangeLink&) { Change(); }),
      disabledLink_([this](TTBImageChangeLink&) { Change(); }),
      hotLink_([this](TTBImageChangeLink&) { Change(); }) {}

TTBCustomImageList::TTBCustomImageList(int width, int height, TComponent* owner)
    : TTBCustomImageList(owner) {
    TImageList::SetSize(width, height);
}

TTBCustomImageList::~TTBCustomImageList() {
    Destroying();
    checkedLink_.SetImages(nullptr);
    disabledLink_.SetImages(nullptr);
    hotLink_.SetImages(nullptr);
    // Watchers still attached forget this list.
    for (TTBImageChangeLink* link : std::vector<TTBImageChangeLink*>(links_)) {
        link->images_ = nullptr;
        link->RememberSize();
    }
    links_.clear();
}

void TTBCustomImageList::SetSize(int width, int height) {
    TImageList::SetSize(width, height);
    Change();
}

int TTBCustomImageList::Add(const TBitmap& image, const TBitmap* mask) {
    int index = TImageList::Add(image, mask);
    Change();
    return index;
}

int TTBCustomImageList::AddMasked(const TBitmap& image, TColor maskColor) {
    int index = TImageList::AddMasked(image, maskColor);
    Change();
    return index;
}

void TTBCustomImageList::Clear() {
    TImageList::Clear();
    Change();
}

void TTBCustomImageList::Delete(int index) {
    TImageList::Delete(index);
    Change();
}

void TTBCustomImageList::Change() {
    if (IsDestroying())
        return;
    // A watcher may drop its link (or another's) while it is told.
    for (TTBImageChangeLink* link : std::vector<TTBImageChangeLink*>(links_))
        if (std::find(links_.begin(), links_.end(), link) != links_.end() && link->OnChange)
            link->OnChange(*link);
}

void TTBCustomImageList::SetSourceBitmap(const TBitmap& bitmap) {
    sourceBitmap_.Assign(&bitmap);
    if (sourceBitmap_.Empty())
        return;
    TImageList::Clear();
    TImageList::AddMasked(sourceBitmap_, SourceMaskColor);
    Change();
}

void TTBCustomImageList::DrawState(TCanvas& canvas, int x, int y, int index, bool enabled,
                                   bool selected, bool checked) const {
    if (!enabled && DisabledStateImages() != nullptr)
        DisabledStateImages()->Draw(canvas, x, y, index, true);
    else if (checked && CheckedStateImages() != nullptr)
        CheckedStateImages()->Draw(canvas, x, y, index, true);
    else if (selected && HotStateImages() != nullptr)
        HotStateImages()->Draw(canvas, x, y, index, true);
    else
        Draw(canvas, x, y, index, enabled);
}

void TTBCustomImageList::Notification(TComponent* component, TOperation operation) {
    TImageList::Notification(component, operation);
    if (operation != opRemove)
        return;
    for (TTBImageChangeLink* link : {&checkedLink_, &disabledLink_, &hotLink_})
        if (link->Images() == component)
            setCompanion(*link, nullptr);
}

void TTBCustomImageList::setCompanion(TTBImageChangeLink& link, TImageList* list) {
    if (list == this)
        list = nullptr;
    if (list == link.Images())
        return;
    if (link.Images() != nullptr)
        link.Images()->RemoveFreeNotification(this);
    link.SetImages(list);
    if (list != nullptr)
        list->FreeNotification(this);
    if (!IsLoading() && !IsDestroying())
        Change();
}

void TTBCustomImageList::addLink(TTBImageChangeLink* link) { links_.push_back(link); }

void TTBCustomImageList::removeLink(TTBImageChangeLink* link) {
    links_.erase(std::remove(links_.begin(), links_.end(), link), links_.end());
}
