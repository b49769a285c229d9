#pragma once
// TIcon: a picture read from an .ico file, with all the sizes and depths the
// file holds.  It shows one of them, the largest (and of those the one with
// the most colours): the best picture the file has.  Where the AND mask is
// set the background shows, or is inverted where the colour is not black; an
// image with an alpha channel is blended by it instead.

#include "platform/gfx/Graphic.h"
#include "platform/gfx/IconFile.h"

#include <memory>
#include <vector>

class TIcon : public TGraphic {
public:
    TIcon();
    ~TIcon() override;

    std::string ClassName() const override { return "TIcon"; }

    void Draw(TCanvas& canvas, const TRect& rect) override;
    int Width() const override;
    int Height() const override;
    // An icon's images keep their sizes: raises EInvalidGraphicOperation
    // "Cannot change the size of an icon".
    void SetWidth(int width) override;
    void SetHeight(int height) override;
    bool Empty() const override { return images_.empty(); }
    // Icons always have see-through parts (where the mask is set).
    bool Transparent() const override { return true; }
    void SetTransparent(bool) override {}

    // Raises EInvalidGraphic "Icon image is not valid" (IconFile.h).
    void LoadFromStream(TStream& stream) override;
    // Raises EInvalidGraphicOperation "Picture is empty" for an empty icon.
    void SaveToStream(TStream& stream) override;

    const std::vector<TIconImage>& Images() const { return images_; }
    // Replaces the images (each checked as WriteIconFile does).
    void SetImages(std::vector<TIconImage> images);
    // The index of the image shown; -1 when empty.
    int ShownIndex() const { return shown_; }
    // The transparent area of the image shown, a flag per pixel, the rows
    // from the top: its AND mask.
    std::vector<bool> Mask() const;

    void Assign(const TPersistent* source) override;

private:
    struct TLayers;
    void imagesChanged();

    std::vector<TIconImage> images_;
    int shown_ = -1;
    // The shown image as the toolkit draws it, made on first drawing.
    std::unique_ptr<TLayers> layers_;
};
