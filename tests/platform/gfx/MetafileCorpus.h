#pragma once
// The real metafiles that scripts/fetch-outside-data unpacks, with what
// tells how they should look: a reference drawing of each, made by
// another program's metafile import (scripts/metafile-references) or
// shipped beside the file, kept as its size and a 16 x 16 grey thumbnail
// in tests/platform/gfx/data/metafile-references.txt.  What both the
// corpus test and the tool that writes those figures use.

#include "platform/base/Stream.h"
#include "platform/gfx/Metafile.h"
#include "platform/gfx/Picture.h"
#include "platform/gfx/QtBridge.h"
#include "tests/support/OutsideData.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

struct TCorpusMetafile {
    std::string Path;
    // The file's name: what the references are kept under.
    std::string Name;
};

// Every file of the corpus folders, ordered by name.
inline std::vector<TCorpusMetafile> MetafileCorpus() {
    std::vector<TCorpusMetafile> files;
    for (const char* folder : {"/src/libwmf/examples", "/src/libemf2svg/emf", "/src/libuemf", "/src/pillow"}) {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(OutsideDataPath(folder), error)) {
            const std::string extension = entry.path().extension().string();
            if (extension == ".wmf" || extension == ".emf")
                files.push_back({entry.path().string(), entry.path().filename().string()});
        }
    }
    std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) { return a.Name < b.Name; });
    return files;
}

// The metafile drawn stretched onto a white picture of the size given.
inline QImage DrawnOnWhite(TGraphic& graphic, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    TDeviceCanvas canvas(&image);
    graphic.Draw(canvas, Rect(0, 0, width, height));
    return image;
}

// A picture with transparency, laid on white.
inline QImage OnWhite(const QImage& picture) {
    QImage image(picture.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.drawImage(0, 0, picture);
    return image;
}

constexpr int kThumbnailSide = 16;
using TThumbnail = std::array<uint8_t, kThumbnailSide * kThumbnailSide>;

// The mean grey of each of 16 x 16 parts of the picture.
inline TThumbnail GreyThumbnail(const QImage& picture) {
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    std::array<double, kThumbnailSide * kThumbnailSide> sum{}, count{};
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        const int row = y * kThumbnailSide / image.height();
        for (int x = 0; x < image.width(); ++x) {
            const int cell = row * kThumbnailSide + x * kThumbnailSide / image.width();
            sum[size_t(cell)] += qGray(line[x]);
            count[size_t(cell)] += 1;
        }
    }
    TThumbnail thumbnail{};
    for (size_t i = 0; i < thumbnail.size(); ++i)
        thumbnail[i] = uint8_t(count[i] > 0 ? std::lround(sum[i] / count[i]) : 255);
    return thumbnail;
}

// The mean difference of two thumbnails' greys (0 to 255).
inline double ThumbnailDifference(const TThumbnail& a, const TThumbnail& b) {
    double total = 0;
    for (size_t i = 0; i < a.size(); ++i)
        total += std::abs(int(a[i]) - int(b[i]));
    return total / double(a.size());
}

// How much of a thumbnail is not white, and how much is dark: a drawing
// that has content, and one that is a solid dark box.
inline double InkOf(const TThumbnail& t) {
    return double(std::count_if(t.begin(), t.end(), [](uint8_t g) { return g < 250; })) / double(t.size());
}
inline double DarkOf(const TThumbnail& t) {
    return double(std::count_if(t.begin(), t.end(), [](uint8_t g) { return g < 40; })) / double(t.size());
}

// Where an enhanced metafile's header says its drawing lies (the bounds
// its maker's system measured as it recorded, in the reference device's
// pixels, both edges included), in pixels of the picture at its own size;
// none for a Windows metafile or bounds that say nothing is drawn.
inline std::optional<QRectF> RecordedBounds(const std::string& bytes, int width, int height) {
    if (bytes.size() < 88 || LoadLittleEndian<uint32_t>(bytes.data()) != 1 ||
        LoadLittleEndian<uint32_t>(bytes.data() + 40) != 0x464D4520)
        return std::nullopt;
    const auto at = [&](size_t offset) { return double(LoadLittleEndian<int32_t>(bytes.data() + offset)); };
    const double pixelsPerMmX = at(72) / at(80), pixelsPerMmY = at(76) / at(84);
    if (!(pixelsPerMmX > 0) || !(pixelsPerMmY > 0) || at(16) < at(8) || at(20) < at(12))
        return std::nullopt;
    // Device pixels to the picture's: the frame (hundredths of a
    // millimetre) is the picture.
    const double frameLeft = at(24) * pixelsPerMmX / 100, frameTop = at(28) * pixelsPerMmY / 100;
    const double scaleX = width / ((at(32) - at(24)) * pixelsPerMmX / 100);
    const double scaleY = height / ((at(36) - at(28)) * pixelsPerMmY / 100);
    return QRectF(QPointF((at(8) - frameLeft) * scaleX, (at(12) - frameTop) * scaleY),
                  QPointF((at(16) + 1 - frameLeft) * scaleX, (at(20) + 1 - frameTop) * scaleY));
}

// The smallest rectangle holding every pixel the drawing touches (drawn on
// nothing at the size given); an empty one where it draws nothing.
inline QRect InkBounds(TGraphic& graphic, int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
        TDeviceCanvas canvas(&image);
        graphic.Draw(canvas, Rect(0, 0, width, height));
    }
    int left = width, top = height, right = -1, bottom = -1;
    for (int y = 0; y < height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < width; ++x)
            if (qAlpha(line[x]) > 64)
                left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}
