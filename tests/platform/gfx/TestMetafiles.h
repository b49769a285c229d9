#pragma once
// Metafiles written record by record for the tests: filled rectangles and
// ellipses without outline on nothing, in a Windows metafile (placeable or
// not) or an enhanced metafile, so that the pixels they must give are known.

#include "platform/base/Stream.h"

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

struct TTestShape {
    int Left, Top, Right, Bottom;
    uint32_t Rgb; // 0x00RRGGBB
    bool Ellipse;

    // Well inside the shape, where no edge's smoothing reaches.
    bool Holds(int x, int y) const {
        if (!Ellipse)
            return x >= Left + 2 && x < Right - 2 && y >= Top + 2 && y < Bottom - 2;
        const double cx = (Left + Right) / 2.0, cy = (Top + Bottom) / 2.0;
        const double rx = (Right - Left) / 2.0 - 2, ry = (Bottom - Top) / 2.0 - 2;
        if (rx <= 0 || ry <= 0)
            return false;
        const double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry;
        return dx * dx + dy * dy < 1;
    }
    // Outside the shape, clear of its edge.
    bool Misses(int x, int y) const {
        if (!Ellipse)
            return x < Left - 2 || x >= Right + 2 || y < Top - 2 || y >= Bottom + 2;
        const double cx = (Left + Right) / 2.0, cy = (Top + Bottom) / 2.0;
        const double rx = (Right - Left) / 2.0 + 2, ry = (Bottom - Top) / 2.0 + 2;
        const double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry;
        return dx * dx + dy * dy > 1;
    }
};

// What a point must show: the colour of the last shape holding it, -1 for
// the background, -2 where an edge is too near to tell.
inline int64_t ExpectedAt(const std::vector<TTestShape>& shapes, int x, int y) {
    for (auto it = shapes.rbegin(); it != shapes.rend(); ++it) {
        if (it->Holds(x, y))
            return it->Rgb;
        if (!it->Misses(x, y))
            return -2;
    }
    return -1;
}

inline std::vector<TTestShape> RandomShapes(std::mt19937& random, int width, int height, int count) {
    std::vector<TTestShape> shapes;
    for (int i = 0; i < count; ++i) {
        const int left = int(random() % unsigned(width - 12)), top = int(random() % unsigned(height - 12));
        const int right = left + 10 + int(random() % unsigned(width - left - 10));
        const int bottom = top + 10 + int(random() % unsigned(height - top - 10));
        shapes.push_back({left, top, right, bottom, uint32_t(random()) & 0xFFFFFF, random() % 2 == 0});
    }
    return shapes;
}

// A Windows metafile in logical units of 1/units of a pixel with the window
// origin at (originX, originY) of the shapes' coordinates, set by a record
// when asked.  Placeable files carry the frame width x height there: in
// those units at 96 x units to the inch, with a record setting anisotropic
// mapping, when asked; else in pixels at 96 to the inch, the window alone
// saying how large the logical units are (as formula editors write them).
// Then the text given, black, 24 pixels high, its top left at (8, 10).
inline std::string WindowsMetafileOf(int width, int height, const std::vector<TTestShape>& shapes,
                                     bool placeable = true, bool setOrigin = true, int originX = 0,
                                     int originY = 0, int units = 1, bool anisotropic = false,
                                     const std::string& text = "") {
    std::string records;
    uint32_t largest = 0;
    const auto record = [&](uint16_t function, const std::vector<int>& words) {
        const auto size = uint32_t(3 + words.size());
        largest = std::max(largest, size);
        AppendLittleEndian<uint32_t>(records, size);
        AppendLittleEndian<uint16_t>(records, function);
        for (int w : words)
            AppendLittleEndian<int16_t>(records, int16_t(w));
    };
    if (setOrigin)
        record(0x020B, {originY * units, originX * units});
    record(0x020C, {height * units, width * units});
    if (anisotropic)
        record(0x0103, {8});
    record(0x02FA, {5, 0, 0, 0, 0}); // a pen that draws nothing
    record(0x012D, {0});
    for (const TTestShape& s : shapes) {
        // A solid brush: style, colour (0x00BBGGRR as two words), hatch.
        const uint32_t bgr = (s.Rgb & 0xFF) << 16 | (s.Rgb & 0xFF00) | (s.Rgb >> 16 & 0xFF);
        record(0x02FC, {0, int(bgr & 0xFFFF), int(bgr >> 16), 0});
        record(0x012D, {1});
        record(s.Ellipse ? 0x0418 : 0x041B, {(originY + s.Bottom) * units, (originX + s.Right) * units,
                                             (originY + s.Top) * units, (originX + s.Left) * units});
        record(0x01F0, {1});
    }
    if (!text.empty()) {
        // A font: height, width, escapement, orientation, weight, then
        // bytes (italic to pitch) and the face's name, two to a word.
        std::vector<int> font = {-24 * units, 0, 0, 0, 400, 0, 0, 0, 0};
        const std::string face("Arial\0", 6);
        for (size_t i = 0; i < face.size(); i += 2)
            font.push_back(uint8_t(face[i]) | uint8_t(face[i + 1]) << 8);
        record(0x02FB, font);
        record(0x012D, {1});
        record(0x0102, {1}); // transparent background
        std::vector<int> textOut = {int(text.size())};
        for (size_t i = 0; i < text.size(); i += 2)
            textOut.push_back(uint8_t(text[i]) | (i + 1 < text.size() ? uint8_t(text[i + 1]) << 8 : 0));
        textOut.insert(textOut.end(), {(originY + 10) * units, (originX + 8) * units});
        record(0x0521, textOut);
    }
    record(0x0000, {});
    std::string out;
    if (placeable) {
        std::string header;
        AppendLittleEndian<uint32_t>(header, 0x9AC6CDD7);
        AppendLittleEndian<uint16_t>(header, 0);
        const int scale = anisotropic ? units : 1;
        for (int v : {originX, originY, originX + width, originY + height})
            AppendLittleEndian<int16_t>(header, int16_t(v * scale));
        AppendLittleEndian<uint16_t>(header, uint16_t(96 * scale));
        AppendLittleEndian<uint32_t>(header, 0);
        uint16_t checksum = 0;
        for (size_t i = 0; i < header.size(); i += 2)
            checksum ^= LoadLittleEndian<uint16_t>(header.data() + i);
        AppendLittleEndian<uint16_t>(header, checksum);
        out = header;
    }
    AppendLittleEndian<uint16_t>(out, 1);
    AppendLittleEndian<uint16_t>(out, 9);
    AppendLittleEndian<uint16_t>(out, 0x0300);
    AppendLittleEndian<uint32_t>(out, uint32_t((18 + records.size()) / 2));
    AppendLittleEndian<uint16_t>(out, 2);
    AppendLittleEndian<uint32_t>(out, largest);
    AppendLittleEndian<uint16_t>(out, 0);
    return out + records;
}

// An enhanced metafile whose frame is width x height pixels at 96 to the
// inch, on a reference device of 96 pixels to the inch, with the bounds of
// what it draws in the header as a writer computes them; then a black line
// through the points given.  With a window origin, a record sets it and the
// shapes are written where it puts them at their place.  `extra` records
// (type, then fields) come first.
inline std::string EnhancedMetafileOf(int width, int height, const std::vector<TTestShape>& shapes,
                                      const std::vector<std::pair<int, int>>& line = {}, int originX = 0,
                                      int originY = 0, const std::string& extra = {}, int extraCount = 0) {
    std::string records = extra;
    int count = 1 + extraCount;
    const auto record = [&](uint32_t type, std::initializer_list<int64_t> fields) {
        AppendLittleEndian<uint32_t>(records, type);
        AppendLittleEndian<uint32_t>(records, uint32_t(8 + 4 * fields.size()));
        for (int64_t f : fields)
            AppendLittleEndian<uint32_t>(records, uint32_t(f));
        ++count;
    };
    if (originX != 0 || originY != 0)
        record(10, {originX, originY});
    record(38, {1, 5, 0, 0, 0}); // a pen that draws nothing
    record(37, {1});
    int left = width, top = height, right = 0, bottom = 0;
    for (const TTestShape& s : shapes) {
        const uint32_t bgr = (s.Rgb & 0xFF) << 16 | (s.Rgb & 0xFF00) | (s.Rgb >> 16 & 0xFF);
        record(39, {2, 0, bgr, 0});
        record(37, {2});
        record(s.Ellipse ? 42 : 43, {originX + s.Left, originY + s.Top, originX + s.Right, originY + s.Bottom});
        record(40, {2});
        left = std::min(left, s.Left), top = std::min(top, s.Top);
        right = std::max(right, s.Right), bottom = std::max(bottom, s.Bottom);
    }
    if (!line.empty()) {
        std::vector<int64_t> fields = {0, 0, width, height, int64_t(line.size())};
        for (const auto& [x, y] : line)
            fields.insert(fields.end(), {x, y});
        record(38, {3, 0, 1, 0, 0}); // a black pen one pixel wide
        record(37, {3});
        AppendLittleEndian<uint32_t>(records, 4); // a polyline
        AppendLittleEndian<uint32_t>(records, uint32_t(8 + 4 * fields.size()));
        for (int64_t f : fields)
            AppendLittleEndian<uint32_t>(records, uint32_t(f));
        ++count;
    }
    record(14, {0, 16, 20});
    // 96 pixels to the inch: a pixel is 2540 / 96 hundredths of a millimetre.
    const int deviceWidth = 1920, deviceHeight = 1080;
    const int millimetresX = 508, millimetresY = 286; // 1920 / 96 * 25.4, 1080 / 96 * 25.4
    std::string out;
    AppendLittleEndian<uint32_t>(out, 1);
    AppendLittleEndian<uint32_t>(out, 88);
    for (int v : {left, top, right, bottom})
        AppendLittleEndian<int32_t>(out, v);
    for (int v : {0, 0, width * 2540 / 96, height * 2540 / 96})
        AppendLittleEndian<int32_t>(out, v);
    AppendLittleEndian<uint32_t>(out, 0x464D4520);
    AppendLittleEndian<uint32_t>(out, 0x10000);
    AppendLittleEndian<uint32_t>(out, uint32_t(88 + records.size()));
    AppendLittleEndian<uint32_t>(out, uint32_t(count));
    AppendLittleEndian<uint16_t>(out, 4); // object handles: pens 1 and 3, brush 2
    AppendLittleEndian<uint16_t>(out, 0);
    for (int v : {0, 0, 0, deviceWidth, deviceHeight, millimetresX, millimetresY})
        AppendLittleEndian<int32_t>(out, v);
    return out + records;
}

// A device-independent bitmap of 24-bit pixels (0x00RRGGBB, rows from the
// top), header and bits, as metafiles carry them.
inline std::string BitmapOf(const std::vector<uint32_t>& rgb, int width, int height) {
    std::string out;
    const int stride = (width * 3 + 3) / 4 * 4;
    for (int v : {40, width, height})
        AppendLittleEndian<int32_t>(out, v);
    AppendLittleEndian<uint16_t>(out, 1);
    AppendLittleEndian<uint16_t>(out, 24);
    for (int v : {0, stride * height, 3780, 3780, 0, 0})
        AppendLittleEndian<int32_t>(out, v);
    for (int y = height - 1; y >= 0; --y) { // bottom row first
        for (int x = 0; x < width; ++x) {
            const uint32_t c = rgb[size_t(y * width + x)];
            out += char(c & 0xFF), out += char(c >> 8 & 0xFF), out += char(c >> 16 & 0xFF);
        }
        out.append(size_t(stride - width * 3), '\0');
    }
    return out;
}

// A Windows metafile (placeable, frame width x height pixels) or an
// enhanced metafile that fills the box given with a brush of the bitmap.
inline std::string PatternMetafileOf(bool enhanced, int width, int height, const std::vector<uint32_t>& rgb,
                                     int patternWidth, int patternHeight, const TTestShape& box) {
    const std::string bitmap = BitmapOf(rgb, patternWidth, patternHeight);
    if (enhanced) {
        // The brush: its handle, colour use, and the header's and bits'
        // offsets and lengths, then header and bits.
        std::string brush;
        AppendLittleEndian<uint32_t>(brush, 94);
        AppendLittleEndian<uint32_t>(brush, uint32_t(32 + bitmap.size()));
        for (uint32_t v : {2u, 0u, 32u, 40u, 72u, uint32_t(bitmap.size() - 40)})
            AppendLittleEndian<uint32_t>(brush, v);
        brush += bitmap;
        std::string select;
        for (uint32_t v : {37u, 12u, 2u})
            AppendLittleEndian<uint32_t>(select, v);
        std::string shapes = brush + select;
        for (uint32_t v : {38u, 28u, 1u, 5u, 0u, 0u, 0u, 37u, 12u, 1u}) // no pen
            AppendLittleEndian<uint32_t>(shapes, v);
        for (int v : {43, 24, box.Left, box.Top, box.Right, box.Bottom})
            AppendLittleEndian<int32_t>(shapes, v);
        return EnhancedMetafileOf(width, height, {}, {}, 0, 0, shapes, 5);
    }
    std::string out = WindowsMetafileOf(width, height, {});
    out.resize(out.size() - 6); // the end record comes after the box
    std::string records;
    const auto words = [&](std::initializer_list<int> list) {
        for (int w : list)
            AppendLittleEndian<int16_t>(records, int16_t(w));
    };
    // The pattern brush: its style and colour use, then the bitmap.
    AppendLittleEndian<uint32_t>(records, uint32_t(3 + 2 + bitmap.size() / 2));
    words({0x0142, 5, 0});
    records += bitmap;
    words({4, 0, 0x012D, 1});
    words({7, 0, 0x041B, box.Bottom, box.Right, box.Top, box.Left});
    words({3, 0, 0});
    out += records;
    StoreLittleEndian(out.data() + 22 + 6, uint32_t((out.size() - 22) / 2));
    StoreLittleEndian(out.data() + 22 + 12, uint32_t(3 + 2 + bitmap.size() / 2));
    return out;
}
