#include "toolbars/TBImageList.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// TTBImageChangeLink

TTBImageChangeLink::TTBImageChangeLink(std::function<void(TTBImageChangeLink&)> onChange)
    : TChangeLink(onChange ? [onChange](TChangeLink& link) { onChange(static_cast<TTBImageChangeLink&>(link)); }
                           : std::function<void(TChangeLink&)>()) {}

void TTBImageChangeLink::SetImages(TImageList* list) {
    TChangeLink::SetImages(list);
    RememberSize();
}

void TTBImageChangeLink::RememberSize() {
    LastWidth = Images() != nullptr ? Images()->Width() : 0;
    LastHeight = Images() != nullptr ? Images()->Height() : 0;
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
}

void TTBCustomImageList::SetSourceBitmap(const TBitmap& bitmap) {
    sourceBitmap_.Assign(&bitmap);
    if (sourceBitmap_.Empty())
        return;
    Clear();
    AddMasked(sourceBitmap_, SourceMaskColor);
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
