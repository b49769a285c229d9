#include "gif/GIFColorMap.h"

#include "gif/GIFException.h"
#include "gif/GIFExtensions.h"
#include "gif/GIFImage.h"
#include "gif/GIFRoutines.h"
#include "gif/GIFSubImage.h"

#include <algorithm>

void TGIFColorMap::grow(int needed) {
    if (needed <= capacity_)
        return;
    // Grown in steps, as the table's owners expect of Capacity.
    capacity_ = needed <= 16 ? 16 : std::min(GIFMaxColors, (needed + 31) / 32 * 32);
    entries_.reserve(static_cast<size_t>(capacity_));
}

int TGIFColorMap::Add(uint32_t color) {
    if (Count() >= GIFMaxColors)
        GIFError(sColorTableOverflow);
    grow(Count() + 1);
    entries_.push_back(GIFColorOf(color));
    optimized_ = false;
    Changed();
    return Count() - 1;
}

int TGIFColorMap::AddUnique(uint32_t color) {
    const int index = IndexOfColor(color);
    return index >= 0 ? index : Add(color);
}

void TGIFColorMap::Delete(int index) {
    if (index < 0 || index >= Count())
        GIFError(sInvalidColorIndex);
    entries_.erase(entries_.begin() + index);
    optimized_ = false;
    Changed();
}

int TGIFColorMap::IndexOfColor(uint32_t color) const {
    const TGIFColor wanted = GIFColorOf(color);
    if (optimized_) {
        for (int i = 0; i < Count(); ++i)
            if (entries_[static_cast<size_t>(i)] == wanted)
                return i;
    } else {
        for (int i = Count() - 1; i >= 0; --i)
            if (entries_[static_cast<size_t>(i)] == wanted)
                return i;
    }
    return -1;
}

uint32_t TGIFColorMap::Colors(int index) {
    if (index < 0 || index >= Count()) {
        Warning(GIFWarningSeverity, sInvalidColorIndex);
        if (entries_.empty())
            GIFError(sColorTableEmpty);
        index = 0;
    }
    return GIFColorValue(entries_[static_cast<size_t>(index)]);
}

void TGIFColorMap::Clear() {
    entries_.clear();
    entries_.shrink_to_fit();
    capacity_ = 0;
    optimized_ = false;
}

void TGIFColorMap::ImportRGB(const uint8_t* quads, int count) {
    Clear();
    if (count <= 0)
        return;
    count = std::min(count, GIFMaxColors);
    grow(count);
    for (int i = 0; i < count; ++i, quads += 4)
        entries_.push_back({quads[2], quads[1], quads[0]});
    Changed();
}

void TGIFColorMap::ImportPalette(const TGIFPalette& palette) {
    Clear();
    const int count = std::min<int>(int(palette.size()), GIFMaxColors);
    grow(count);
    entries_.assign(palette.begin(), palette.begin() + count);
    Changed();
}

bool TGIFColorMap::Optimize() {
    if (Count() < 2)
        return false;
    optimized_ = true;
    std::vector<int64_t> counts = BuildHistogram();
    countOtherUses(counts);
    std::vector<int> order(static_cast<size_t>(Count()));
    for (int i = 0; i < Count(); ++i)
        order[size_t(i)] = i;
    // Stable, so that equally used entries keep their order and a table
    // already in order stays as it is.
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return counts[size_t(a)] > counts[size_t(b)]; });
    bool inOrder = true;
    for (int i = 0; i < Count(); ++i)
        inOrder = inOrder && order[size_t(i)] == i;
    int used = Count();
    while (used > 0 && counts[size_t(order[size_t(used - 1)])] == 0)
        --used;
    if (inOrder && used == Count())
        return true;
    std::vector<uint8_t> map(static_cast<size_t>(Count()));
    std::vector<TGIFColor> sorted(static_cast<size_t>(Count()));
    for (int position = 0; position < Count(); ++position) {
        map[size_t(order[size_t(position)])] = uint8_t(position);
        sorted[size_t(position)] = entries_[size_t(order[size_t(position)])];
    }
    MapImages(map);
    mapOtherUses(map);
    // Entries nobody uses go from the end, but never below what the
    // pixels and transparent indices mapped into them still need.
    sorted.resize(size_t(std::max(used, 1)));
    entries_ = std::move(sorted);
    Changed();
    return true;
}

void TGIFColorMap::Assign(const TPersistent* source) {
    if (source == this)
        return;
    if (const auto* other = dynamic_cast<const TGIFColorMap*>(source)) {
        capacity_ = other->capacity_;
        entries_ = other->entries_;
        entries_.reserve(static_cast<size_t>(capacity_));
        optimized_ = other->optimized_;
        Changed();
        return;
    }
    TPersistent::Assign(source);
}

int TGIFColorMap::BitsPerPixel() const { return ColorsToBits(Count()); }

int TGIFColorMap::BitsPerPixelFor(int colors) const { return ColorsToBits(std::max(Count(), colors)); }

void TGIFColorMap::SaveToStream(TStream& stream, int colors) const {
    const int bits = BitsPerPixelFor(colors);
    if (bits == 0)
        return;
    // One write for the whole padded table.
    std::vector<uint8_t> bytes(static_cast<size_t>(3 << bits), 0);
    for (size_t i = 0; i < entries_.size(); ++i) {
        bytes[i * 3] = entries_[i].Red;
        bytes[i * 3 + 1] = entries_[i].Green;
        bytes[i * 3 + 2] = entries_[i].Blue;
    }
    stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void TGIFColorMap::LoadFromStream(TStream& stream, int count) {
    Clear();
    if (count <= 0)
        return;
    count = std::min(count, GIFMaxColors);
    grow(count);
    uint8_t bytes[3 * GIFMaxColors];
    ReadCheck(stream, bytes, 3 * count);
    for (int i = 0; i < count; ++i)
        entries_.push_back({bytes[i * 3], bytes[i * 3 + 1], bytes[i * 3 + 2]});
}

// ---- the two kinds ----

namespace {

void countPixels(const TGIFSubImage& frame, std::vector<int64_t>& counts) {
    const uint8_t* pixels = frame.Data();
    const int64_t size = frame.DataSize();
    if (!pixels)
        return;
    int64_t all[GIFMaxColors] = {};
    for (int64_t i = 0; i < size; ++i)
        ++all[pixels[i]];
    for (size_t i = 0; i < counts.size(); ++i)
        counts[i] += all[i];
}

void mapPixels(TGIFSubImage& frame, const std::vector<uint8_t>& map) {
    uint8_t table[GIFMaxColors];
    for (int i = 0; i < GIFMaxColors; ++i)
        table[i] = i < static_cast<int>(map.size()) ? map[static_cast<size_t>(i)] : static_cast<uint8_t>(i);
    if (uint8_t* pixels = frame.Data()) {
        const int64_t size = frame.DataSize();
        for (int64_t i = 0; i < size; ++i)
            pixels[i] = table[pixels[i]];
    }
    // A transparent index beyond the table stays as it is, like the pixels
    // that use it (setting it would refuse it and take entry 0 instead).
    TGIFGraphicControlExtension* control = frame.GraphicControlExtension();
    if (frame.Transparent() && control->TransparentColorIndex() < map.size())
        control->SetTransparentColorIndex(table[control->TransparentColorIndex()]);
}

} // namespace

void TGIFGlobalColorMap::Warning(int severity, const std::string& message) {
    if (image_)
        image_->Warning(this, severity, message);
}

bool TGIFGlobalColorMap::Optimize() {
    if (!image_ || image_->Images().Count() == 0)
        return false;
    return TGIFColorMap::Optimize();
}

void TGIFGlobalColorMap::Changed() {
    if (!image_)
        return;
    for (int i = 0; i < image_->Images().Count(); ++i) {
        TGIFSubImage& frame = *image_->Images().Frames(i);
        if (frame.ColorMap().Count() == 0)
            frame.Changed();
    }
    image_->frameChanged(nullptr);
}

std::vector<int64_t> TGIFGlobalColorMap::BuildHistogram() const {
    std::vector<int64_t> counts(static_cast<size_t>(Count()), 0);
    if (!image_)
        return counts;
    for (int i = 0; i < image_->Images().Count(); ++i) {
        TGIFSubImage& frame = *image_->Images().Frames(i);
        if (frame.ColorMap().Count() == 0)
            countPixels(frame, counts);
    }
    return counts;
}

void TGIFGlobalColorMap::countOtherUses(std::vector<int64_t>& counts) const {
    // The logical screen's background colour is a use of its entry.
    const int background = image_ ? image_->Header().BackgroundColorIndex() : Count();
    if (background < Count())
        ++counts[size_t(background)];
}

void TGIFGlobalColorMap::mapOtherUses(const std::vector<uint8_t>& map) {
    const int background = image_ ? image_->Header().BackgroundColorIndex() : Count();
    if (background < int(map.size()))
        image_->Header().SetBackgroundColorIndex(map[size_t(background)]);
}

void TGIFGlobalColorMap::MapImages(const std::vector<uint8_t>& map) {
    if (!image_)
        return;
    for (int i = 0; i < image_->Images().Count(); ++i) {
        TGIFSubImage& frame = *image_->Images().Frames(i);
        if (frame.ColorMap().Count() == 0)
            mapPixels(frame, map);
    }
}

void TGIFLocalColorMap::Warning(int severity, const std::string& message) {
    if (frame_ && frame_->Image())
        frame_->Image()->Warning(this, severity, message);
}

std::vector<int64_t> TGIFLocalColorMap::BuildHistogram() const {
    std::vector<int64_t> counts(static_cast<size_t>(Count()), 0);
    if (frame_)
        countPixels(*frame_, counts);
    return counts;
}

void TGIFLocalColorMap::Changed() {
    if (frame_)
        frame_->Changed();
}

void TGIFLocalColorMap::MapImages(const std::vector<uint8_t>& map) {
    if (frame_)
        mapPixels(*frame_, map);
}
