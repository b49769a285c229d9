#pragma once
// GIF colour tables: the global table of the header and the local table of
// a frame.  Entries are red, green, blue triples; colours cross the
// interface as 32-bit colour values 0x00BBGGRR.

#include "platform/base/Component.h"
#include "platform/base/Stream.h"

#include <cstdint>
#include <string>
#include <vector>

class TGIFImage;
class TGIFSubImage;

struct TGIFColor {
    uint8_t Red = 0;
    uint8_t Green = 0;
    uint8_t Blue = 0;
    bool operator==(const TGIFColor&) const = default;
};

inline constexpr int GIFMaxColors = 256;

// The colours a picture draws with, in index order (a palette).
using TGIFPalette = std::vector<TGIFColor>;

inline uint32_t GIFColorValue(const TGIFColor& color) {
    return color.Red | (uint32_t(color.Green) << 8) | (uint32_t(color.Blue) << 16);
}
inline TGIFColor GIFColorOf(uint32_t value) {
    return {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16)};
}

class TGIFColorMap : public TPersistent {
public:
    TGIFColorMap() = default;
    TGIFColorMap(const TGIFColorMap&) = delete;
    TGIFColorMap& operator=(const TGIFColorMap&) = delete;

    int Count() const { return static_cast<int>(entries_.size()); }
    int Capacity() const { return capacity_; }
    // True only after the table was sorted by use; written as the sort flag.
    bool Optimized() const { return optimized_; }
    void SetOptimized(bool optimized) { optimized_ = optimized; }
    const TGIFColor* Data() const { return entries_.data(); }

    // Appends; a 257th colour raises "Color table overflow".
    int Add(uint32_t color);
    // The index of the colour, added when missing.
    int AddUnique(uint32_t color);
    // Raises "Invalid color index" for an index outside the table.
    void Delete(int index);
    // Exact match or -1.  An unsorted table is searched from the end, so of
    // equal entries the last is found; a sorted one from the start, so the
    // most used is found.
    int IndexOfColor(uint32_t color) const;
    // An index outside the table warns "Invalid color index" and gives entry
    // 0; an empty table raises "Color table is empty".
    uint32_t Colors(int index);
    void Clear();
    // Entries from blue, green, red, reserved quads.
    void ImportRGB(const uint8_t* quads, int count);
    // The table becomes the palette's first 256 colours.
    void ImportPalette(const TGIFPalette& palette);
    // The entries as a palette (empty for an empty table).
    TGIFPalette ExportPalette() const { return entries_; }

    // Sorts the entries by how often the pixels of the frames that draw
    // with the table use them, most used first, rewrites those pixels, and
    // drops the entries no pixel uses from the end.  Marks the table
    // Optimized (written as the sort flag).  False, and nothing changed,
    // for a table of fewer than two entries.
    virtual bool Optimize();
    void Assign(const TPersistent* source) override;

    // Bits per pixel of the table as written: see ColorsToBits.
    int BitsPerPixel() const;
    // Bits per pixel of the table written large enough for `colors`
    // entries: pixel values a file carried beyond its table draw black,
    // and so do the black entries that make room for them.
    int BitsPerPixelFor(int colors) const;
    // The entries, padded with black up to 2^BitsPerPixelFor(colors).
    void SaveToStream(TStream& stream, int colors = 0) const;
    // Replaces the table by `count` entries read from the stream.
    void LoadFromStream(TStream& stream, int count);

    virtual void Warning(int severity, const std::string& message) = 0;
    // Use count of every entry over the pixels of the frames that draw with
    // this table; pixel values beyond the table are not counted.
    virtual std::vector<int64_t> BuildHistogram() const = 0;
    // Rewrites those frames' pixels (and transparent indices) through the
    // map, which has one new index per entry; pixel values beyond the table
    // stay as they are.
    virtual void MapImages(const std::vector<uint8_t>& map) = 0;
    // Called after every change of the entries, so that whatever was made
    // from them can be dropped.
    virtual void Changed() {}

    std::string ClassName() const override { return "TGIFColorMap"; }

protected:
    // Uses of entries besides the pixels (the background colour), counted
    // and remapped by Optimize.
    virtual void countOtherUses(std::vector<int64_t>& counts) const {}
    virtual void mapOtherUses(const std::vector<uint8_t>& map) {}

private:
    void grow(int needed);

    std::vector<TGIFColor> entries_;
    int capacity_ = 0;
    bool optimized_ = false;
};

class TGIFGlobalColorMap : public TGIFColorMap {
public:
    explicit TGIFGlobalColorMap(TGIFImage* image) : image_(image) {}
    void Warning(int severity, const std::string& message) override;
    std::vector<int64_t> BuildHistogram() const override;
    void MapImages(const std::vector<uint8_t>& map) override;
    // False at once for an image without frames.
    bool Optimize() override;
    // Every frame that draws with the table changed.
    void Changed() override;
    std::string ClassName() const override { return "TGIFGlobalColorMap"; }

protected:
    void countOtherUses(std::vector<int64_t>& counts) const override;
    void mapOtherUses(const std::vector<uint8_t>& map) override;

private:
    TGIFImage* image_;
};

class TGIFLocalColorMap : public TGIFColorMap {
public:
    explicit TGIFLocalColorMap(TGIFSubImage* frame) : frame_(frame) {}
    void Warning(int severity, const std::string& message) override;
    std::vector<int64_t> BuildHistogram() const override;
    void MapImages(const std::vector<uint8_t>& map) override;
    void Changed() override;
    std::string ClassName() const override { return "TGIFLocalColorMap"; }

private:
    TGIFSubImage* frame_;
};
