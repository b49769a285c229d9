#include "GIFTestSupport.h"
#include "GiflibInput.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <random>

bool WarningLog::Has(const std::string& message) const {
    return std::find(Messages.begin(), Messages.end(), message) != Messages.end();
}

std::string WarningLog::Joined() const {
    std::string all;
    for (const auto& m : Messages)
        all += m + "; ";
    return all;
}

void CodeWriter::Put(int code, int bits) {
    for (int i = 0; i < bits; ++i) {
        if ((code >> i) & 1)
            buffer_ |= 1u << count_;
        if (++count_ == 8) {
            bytes_.push_back(uint8_t(buffer_));
            buffer_ = 0;
            count_ = 0;
        }
    }
}

Bytes CodeWriter::Finish() const {
    Bytes out = bytes_;
    if (count_ > 0)
        out.push_back(uint8_t(buffer_));
    return out;
}

Bytes Subblocks(const Bytes& data, const std::vector<int>& sizes, bool terminate) {
    Bytes out;
    size_t offset = 0;
    size_t which = 0;
    while (offset < data.size()) {
        const int want = sizes[std::min(which, sizes.size() - 1)];
        ++which;
        const size_t n = std::min<size_t>(size_t(want), data.size() - offset);
        out.push_back(uint8_t(n));
        out.insert(out.end(), data.begin() + long(offset), data.begin() + long(offset + n));
        offset += n;
    }
    if (terminate)
        out.push_back(0);
    return out;
}

CodedStream ReferenceLZW(const Bytes& pixels, int minCodeSize, bool deferClear) {
    CodedStream out;
    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    std::map<std::pair<int, int>, int> table;
    int next = clear + 2;
    int size = minCodeSize + 1;
    auto put = [&](int code) {
        out.Codes.push_back(code);
        out.Sizes.push_back(size);
    };
    put(clear);
    if (pixels.empty()) {
        put(end);
        return out;
    }
    int prefix = pixels[0];
    for (size_t i = 1; i < pixels.size(); ++i) {
        const int c = pixels[i];
        auto found = table.find({prefix, c});
        if (found != table.end()) {
            prefix = found->second;
            continue;
        }
        put(prefix);
        if (next < 4096) {
            table[{prefix, c}] = next++;
            // The decoder makes the entry one code later, so the size grows
            // when the entry just made needs one more bit.
            if (next > (1 << size) && size < 12)
                ++size;
        } else if (!deferClear) {
            put(clear);
            table.clear();
            next = clear + 2;
            size = minCodeSize + 1;
        }
        prefix = c;
    }
    put(prefix);
    put(end);
    return out;
}

Bytes Pack(const CodedStream& coded) {
    CodeWriter writer;
    for (size_t i = 0; i < coded.Codes.size(); ++i)
        writer.Put(coded.Codes[i], coded.Sizes[i]);
    return writer.Finish();
}

void Append(Bytes& to, const Bytes& more) { to.insert(to.end(), more.begin(), more.end()); }

namespace {
void putWord(Bytes& out, int value) {
    out.push_back(uint8_t(value));
    out.push_back(uint8_t(value >> 8));
}

int tableField(int colors) {
    int n = 0;
    while ((2 << n) < colors)
        ++n;
    return n;
}

void putTable(Bytes& out, int colors) {
    const int field = tableField(colors);
    for (int i = 0; i < (2 << field); ++i) {
        out.push_back(uint8_t(i * 3));
        out.push_back(uint8_t(i * 5));
        out.push_back(uint8_t(i * 7));
    }
}
} // namespace

Bytes GifWithBlocks(int width, int height, int colors, const Bytes& blocks, bool trailer) {
    Bytes out = {'G', 'I', 'F', '8', '9', 'a'};
    putWord(out, width);
    putWord(out, height);
    out.push_back(colors > 0 ? uint8_t(0x80 | 0x70 | tableField(colors)) : 0);
    out.push_back(0);
    out.push_back(0);
    if (colors > 0)
        putTable(out, colors);
    Append(out, blocks);
    if (trailer)
        out.push_back(';');
    return out;
}

Bytes ImageBlock(int left, int top, int width, int height, bool interlaced, int localColors, int minCodeSize,
                 const Bytes& data) {
    Bytes out = {','};
    putWord(out, left);
    putWord(out, top);
    putWord(out, width);
    putWord(out, height);
    uint8_t packed = interlaced ? 0x40 : 0;
    if (localColors > 0)
        packed |= uint8_t(0x80 | tableField(localColors));
    out.push_back(packed);
    if (localColors > 0)
        putTable(out, localColors);
    out.push_back(uint8_t(minCodeSize));
    Append(out, data);
    return out;
}

Bytes TinyImageData() { return Subblocks(Pack(ReferenceLZW({0, 1, 1, 0}, 2))); }

Bytes TinyImage() { return ImageBlock(0, 0, 2, 2, false, 0, 2, TinyImageData()); }

namespace {
std::vector<uint32_t> colorsOf(const ColorMapObject* map) {
    std::vector<uint32_t> colors;
    if (!map)
        return colors;
    for (int i = 0; i < map->ColorCount; ++i)
        colors.push_back(map->Colors[i].Red | (map->Colors[i].Green << 8) | (map->Colors[i].Blue << 16));
    return colors;
}

// Walks giflib's extension blocks: an application or comment block is
// followed by its continuation blocks.
void readExtensions(const ExtensionBlock* blocks, int count, OracleFrame& frame) {
    for (int i = 0; i < count; ++i) {
        const ExtensionBlock& block = blocks[i];
        if (block.Function == GRAPHICS_EXT_FUNC_CODE && !frame.HasControl) {
            GraphicsControlBlock control;
            if (DGifExtensionToGCB(block.ByteCount, block.Bytes, &control) == GIF_OK) {
                frame.HasControl = true;
                frame.Disposal = control.DisposalMode;
                frame.Delay = control.DelayTime;
                frame.TransparentIndex = control.TransparentColor;
            }
        } else if (block.Function == COMMENT_EXT_FUNC_CODE) {
            frame.Comments.emplace_back(reinterpret_cast<const char*>(block.Bytes), size_t(block.ByteCount));
            while (i + 1 < count && blocks[i + 1].Function == CONTINUE_EXT_FUNC_CODE) {
                ++i;
                frame.Comments.emplace_back(reinterpret_cast<const char*>(blocks[i].Bytes),
                                            size_t(blocks[i].ByteCount));
            }
        } else if (block.Function == APPLICATION_EXT_FUNC_CODE) {
            const bool loop = block.ByteCount == 11 && (std::memcmp(block.Bytes, "NETSCAPE2.0", 11) == 0 ||
                                                         std::memcmp(block.Bytes, "ANIMEXTS1.0", 11) == 0);
            while (i + 1 < count && blocks[i + 1].Function == CONTINUE_EXT_FUNC_CODE) {
                ++i;
                const ExtensionBlock& data = blocks[i];
                if (loop && data.ByteCount >= 3 && (data.Bytes[0] & 7) == 1 && frame.Loops < 0)
                    frame.Loops = data.Bytes[1] | (data.Bytes[2] << 8);
            }
        }
    }
}
} // namespace

OracleImage GiflibRead(const Bytes& bytes) {
    OracleImage image;
    TReadOnlyMemoryStream input(bytes.data(), int64_t(bytes.size()));
    GifFileType* file = SlurpGiflib(input);
    if (!file)
        return image;
    image.Ok = true;
    image.Width = file->SWidth;
    image.Height = file->SHeight;
    image.GlobalColors = colorsOf(file->SColorMap);
    for (int i = 0; i < file->ImageCount; ++i) {
        const SavedImage& saved = file->SavedImages[i];
        OracleFrame frame;
        frame.Left = saved.ImageDesc.Left;
        frame.Top = saved.ImageDesc.Top;
        frame.Width = saved.ImageDesc.Width;
        frame.Height = saved.ImageDesc.Height;
        frame.Interlaced = saved.ImageDesc.Interlace;
        frame.LocalColors = colorsOf(saved.ImageDesc.ColorMap);
        frame.Pixels.assign(saved.RasterBits, saved.RasterBits + size_t(frame.Width) * size_t(frame.Height));
        readExtensions(saved.ExtensionBlocks, saved.ExtensionBlockCount, frame);
        image.Frames.push_back(std::move(frame));
    }
    OracleFrame trailing;
    readExtensions(file->ExtensionBlocks, file->ExtensionBlockCount, trailing);
    image.TrailingComments = trailing.Comments;
    int error = 0;
    DGifCloseFile(file, &error);
    return image;
}

uint32_t ActiveColor(TGIFSubImage& frame, uint8_t index) {
    TGIFColorMap& table = frame.ActiveColorMap();
    if (index >= table.Count())
        return 0xFFFFFFFFu;
    return GIFColorValue(table.Data()[index]);
}

namespace {

int writeBytes(GifFileType* file, const GifByteType* data, int count) {
    auto* out = static_cast<Bytes*>(file->UserData);
    out->insert(out->end(), data, data + count);
    return count;
}

ColorMapObject* makeMap(const std::vector<uint32_t>& colors) {
    int size = 2;
    while (size < int(colors.size()))
        size *= 2;
    std::vector<GifColorType> entries(size_t(size), GifColorType{0, 0, 0});
    for (size_t i = 0; i < colors.size(); ++i)
        entries[i] = {GifByteType(colors[i]), GifByteType(colors[i] >> 8), GifByteType(colors[i] >> 16)};
    return GifMakeMapObject(size, entries.data());
}

} // namespace

Bytes GiflibWrite(int width, int height, const std::vector<uint32_t>& globalColors, const std::vector<MadeFrame>& frames,
                  int loops) {
    Bytes out;
    int error = 0;
    GifFileType* file = EGifOpen(&out, writeBytes, &error);
    if (!file)
        return {};
    EGifSetGifVersion(file, true);
    ColorMapObject* global = makeMap(globalColors);
    EGifPutScreenDesc(file, width, height, 8, 0, global);
    GifFreeMapObject(global);
    if (loops >= 0) {
        const GifByteType id[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
        const GifByteType data[] = {1, GifByteType(loops), GifByteType(loops >> 8)};
        EGifPutExtensionLeader(file, APPLICATION_EXT_FUNC_CODE);
        EGifPutExtensionBlock(file, sizeof(id), id);
        EGifPutExtensionBlock(file, sizeof(data), data);
        EGifPutExtensionTrailer(file);
    }
    for (const MadeFrame& f : frames) {
        GraphicsControlBlock control{f.Disposal, false, f.Delay, f.TransparentIndex < 0 ? NO_TRANSPARENT_COLOR : f.TransparentIndex};
        GifByteType block[4];
        const size_t length = EGifGCBToExtension(&control, block);
        EGifPutExtension(file, GRAPHICS_EXT_FUNC_CODE, int(length), block);
        ColorMapObject* local = f.LocalColors.empty() ? nullptr : makeMap(f.LocalColors);
        EGifPutImageDesc(file, f.Left, f.Top, f.Width, f.Height, f.Interlaced, local);
        if (local)
            GifFreeMapObject(local);
        std::vector<int> rows;
        if (f.Interlaced) {
            for (const TGIFInterlacePass& pass : GIFInterlacePasses)
                for (int y = pass.Start; y < f.Height; y += pass.Step)
                    rows.push_back(y);
        } else {
            for (int y = 0; y < f.Height; ++y)
                rows.push_back(y);
        }
        for (int y : rows)
            EGifPutLine(file, const_cast<GifByteType*>(f.Pixels.data() + size_t(y) * size_t(f.Width)), f.Width);
        // giflib keeps a copy of the frame's table that it never frees.
        if (file->Image.ColorMap) {
            GifFreeMapObject(file->Image.ColorMap);
            file->Image.ColorMap = nullptr;
        }
    }
    EGifCloseFile(file, &error);
    return out;
}

Bytes RandomAnimation(uint32_t seed, std::initializer_list<int> disposals) {
    std::mt19937 random(seed);
    const int width = 8 + int(random() % 40);
    const int height = 8 + int(random() % 40);
    std::vector<uint32_t> global(size_t(2 + random() % 60));
    for (uint32_t& c : global)
        c = random() & 0xFFFFFF;
    std::vector<MadeFrame> frames;
    for (int disposal : disposals) {
        MadeFrame f;
        f.Width = 1 + int(random() % uint32_t(width));
        f.Height = 1 + int(random() % uint32_t(height));
        f.Left = int(random() % uint32_t(width - f.Width + 1));
        f.Top = int(random() % uint32_t(height - f.Height + 1));
        f.Disposal = disposal;
        f.Delay = int(random() % 20);
        // Qt's reader (an oracle of the composite test) misplaces the rows
        // of interlaced frames only a few rows high; giflib and this code
        // agree on them (see the decoder tests).
        f.Interlaced = f.Height >= 16 && random() % 3 == 0;
        if (random() % 3 == 0) {
            f.LocalColors.resize(size_t(2 + random() % 30));
            for (uint32_t& c : f.LocalColors)
                c = random() & 0xFFFFFF;
        }
        const int colors = int(f.LocalColors.empty() ? global.size() : f.LocalColors.size());
        if (random() % 2 == 0)
            f.TransparentIndex = int(random() % uint32_t(colors));
        // Blobs of one colour with noise, as real animations have runs.
        f.Pixels.resize(size_t(f.Width) * size_t(f.Height));
        uint8_t current = uint8_t(random() % uint32_t(colors));
        for (uint8_t& p : f.Pixels) {
            if (random() % 6 == 0)
                current = uint8_t(random() % uint32_t(colors));
            p = current;
        }
        frames.push_back(std::move(f));
    }
    return GiflibWrite(width, height, global, frames, int(random() % 3));
}

std::vector<std::pair<std::string, Bytes>> AnimatedSamples() {
    std::vector<std::pair<std::string, Bytes>> samples;
    for (const std::string& name : OutsideGifFiles()) {
        Bytes bytes = ReadFileBytes(name);
        const OracleImage oracle = GiflibRead(bytes);
        if (oracle.Frames.size() > 1)
            samples.emplace_back(name, std::move(bytes));
    }
    const std::initializer_list<int> mixes[] = {{3, 3, 1, 3, 0, 2}, {1, 3, 2, 3, 3}, {0, 2, 2, 1, 3, 1, 0}};
    uint32_t seed = 1;
    for (const auto& mix : mixes)
        for (int round = 0; round < 4; ++round, ++seed)
            samples.emplace_back("made with giflib, seed " + std::to_string(seed), RandomAnimation(seed, mix));
    return samples;
}
