#pragma once
// TMetafile: a picture recorded as drawing commands, read from a Windows
// metafile (.wmf, placeable or not) or an enhanced metafile (.emf), which
// of the two the data says.  It draws at its own size (the frame the file
// gives, 96 pixels to the inch) or stretched; only what it draws covers the
// background.  It is read, drawn and saved back as it was read; it is never
// made or changed here.

#include "platform/gfx/Graphic.h"

#include <memory>

class TMetafile : public TGraphic {
public:
    TMetafile();
    ~TMetafile() override;

    std::string ClassName() const override { return "TMetafile"; }

    void Draw(TCanvas& canvas, const TRect& rect) override;
    int Width() const override;
    int Height() const override;
    // The size it draws at by itself: the picture is stretched to it.
    void SetWidth(int width) override;
    void SetHeight(int height) override;
    bool Empty() const override { return !state_; }
    bool Transparent() const override { return true; }
    void SetTransparent(bool) override {}

    // An enhanced metafile (else a Windows metafile, or empty).
    bool Enhanced() const;

    // Raises EInvalidGraphic "Metafile is not valid" for data that is neither
    // kind or that the library reading it refuses; the metafile held stays.
    void LoadFromStream(TStream& stream) override;
    // The file as it was read.  Raises EInvalidGraphicOperation "Picture is
    // empty" for an empty metafile.
    void SaveToStream(TStream& stream) override;

    void Assign(const TPersistent* source) override;

private:
    struct TState;
    // Read once and never changed: copies of a metafile share it.
    std::shared_ptr<TState> state_;
    int width_ = 0;
    int height_ = 0;
};
