#pragma once
// The real metafiles that scripts/fetch-outside-data unpacks, with what
// tells how they should look: a reference drawing of each, made by
// another program's metafile import (scripts/metafile-references) or
// shipped beside the file, kept as its size and a 16 x 16 grey thumbnail
// in tests/platform/gfx/data/metafile-references.txt.  What both the
// corpus test and the tool that writes those figures use.

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
