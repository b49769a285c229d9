#pragma once
// TTBCustomImageList: an image list that can hand the drawing of an image to
// three companion lists, one per item state (a change of a companion is a
// change of the list), and can fill itself from one bitmap.
// The item viewers recognise it and ask it to draw with the item's state.

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/ImageList.h"

#include <functional>
#include <memory>
#include <vector>

class TCanvas;

// A watcher of one image list (the platform's change link).  It remembers
// the image size it last saw, so that its owner can tell a change of size
// from a change of pixels.
class TTBImageChangeLink : public TChangeLink {
public:
    explicit TTBImageChangeLink(std::function<void(TTBImageChangeLink&)> onChange = {});

    // Watches list (nullptr: nothing) and remembers its size.
    void SetImages(TImageList* list);
    // The size of the list when it was last seen (0 x 0 without one).
    int LastWidth = 0;
    int LastHeight = 0;
    void RememberSize();
};

class TTBCustomImageList : public TImageList {
public:
    explicit TTBCustomImageList(TComponent* owner = nullptr);
    TTBCustomImageList(int width, int height, TComponent* owner = nullptr);
    ~TTBCustomImageList() override;

    std::string ClassName() const override { return "TTBCustomImageList"; }

    // Companion lists for disabled, checked and hot (selected) items.  A
    // list set to itself counts as none; a freed companion is forgotten.
    TImageList* CheckedStateImages() const { return checkedLink_.Images(); }
    void SetCheckedStateImages(TImageList* list) { setCompanion(checkedLink_, list); }
    TImageList* DisabledStateImages() const { return disabledLink_.Images(); }
    void SetDisabledStateImages(TImageList* list) { setCompanion(disabledLink_, list); }
    TImageList* HotStateImages() const { return hotLink_.Images(); }
    void SetHotStateImages(TImageList* list) { setCompanion(hotLink_, list); }

    // When not empty, the list's images are cut from this bitmap (its
    // SourceMaskColor pixels transparent).
    TBitmap& SourceBitmap() { return sourceBitmap_; }
    void SetSourceBitmap(const TBitmap& bitmap);
    TColor SourceMaskColor = 0xFF00FF;

    // Draws image index for an item in the given state: a disabled item from
    // the disabled companion, a checked one from the checked companion, a
    // selected one from the hot companion, the first that applies; otherwise
    // this list's own image (greyed when disabled).
    void DrawState(TCanvas& canvas, int x, int y, int index, bool enabled, bool selected,
                   bool checked) const;

    // Whether the list streams its own image data (not when it is cut from
    // the source bitmap).
    bool StoresImageData() const { return sourceBitmap_.Empty(); }

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    void setCompanion(TTBImageChangeLink& link, TImageList* list);

    TTBImageChangeLink checkedLink_;
    TTBImageChangeLink disabledLink_;
    TTBImageChangeLink hotLink_;
    TBitmap sourceBitmap_;
};
