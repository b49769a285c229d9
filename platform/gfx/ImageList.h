#pragma once
// TImageList: a row of equally sized images with transparency, drawn onto a
// canvas enabled or in the disabled (embossed) look.
//
// Whatever shows a list's images (menu and toolbar items, tree and list
// views) follows its changes through a TChangeLink: the list calls every
// registered link after each change of its images or their size.

#include "platform/base/Component.h"
#include "platform/gfx/Color.h"

#include <functional>
#include <memory>
#include <vector>

class TBitmap;
class TCanvas;
class TImageList;
struct TImageListImages;

// One watcher of one image list.  Setting Images registers the link with
// the list; a list being freed unregisters its links (Images becomes
// nullptr, without a call of OnChange).  A link is not copied.
class TChangeLink {
public:
    explicit TChangeLink(std::function<void(TChangeLink& link)> onChange = {});
    virtual ~TChangeLink();
    TChangeLink(const TChangeLink&) = delete;
    TChangeLink& operator=(const TChangeLink&) = delete;

    TImageList* Images() const { return images_; }
    void SetImages(TImageList* list);
    // Called by the list after a change (the link's OnChange).
    virtual void Change();

    std::function<void(TChangeLink& link)> OnChange;

private:
    friend class TImageList;
    TImageList* images_ = nullptr;
};

class TImageList : public TComponent {
public:
    explicit TImageList(TComponent* owner = nullptr);
    TImageList(int width, int height, TComponent* owner = nullptr);
    ~TImageList() override;

    std::string ClassName() const override { return "TImageList"; }

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Changing the size empties the list.
    void SetSize(int width, int height);
    int Count() const;

    // Cuts image into Width-wide pieces (its height must be at least
    // Height; extra columns that do not fill an image are dropped); the
    // pixels of mask that are not black are transparent.  Without a mask
    // every pixel is opaque.  Returns the index of the first image added,
    // -1 when none fitted.
    int Add(const TBitmap& image, const TBitmap* mask);
    // As Add, with every pixel of maskColor transparent.
    int AddMasked(const TBitmap& image, TColor maskColor);
    void Clear();
    // Raises EInvalidOperation ("Image list index out of bounds").
    void Delete(int index);

    // Draws image index with its top-left corner at (x, y).  Disabled, the
    // image's shape is drawn in the button highlight colour one pixel down
    // and right and in the button shadow colour on top.  An index out of
    // range draws nothing.
    void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true) const;
    // Copies image index onto a bitmap of the list's size, its transparent
    // pixels filled with the background colour.
    void GetBitmap(int index, TBitmap& image, TColor background = clWhite) const;

    // Makes image index the overlay numbered overlay (0..14), which tree
    // and list views draw over an item's picture (an item's OverlayIndex).
    // False for numbers or images out of range.
    bool Overlay(int index, int overlay);
    // The image of an overlay, or -1.
    int OverlayImage(int overlay) const;

    // Tells every registered link that the list changed.  The list calls it
    // after each change of its own; code that changes the images some other
    // way calls it when done.  A link may unregister itself, or another,
    // while it is told.
    void Change();
    int LinkCount() const { return static_cast<int>(links_.size()); }

private:
    friend struct TImageListImages;
    friend class TChangeLink;
    std::vector<TChangeLink*> links_;
    int width_ = 16;
    int height_ = 16;
    std::vector<int> overlays_;
    std::unique_ptr<TImageListImages> images_; // QImages (ImageList.cpp)
};
