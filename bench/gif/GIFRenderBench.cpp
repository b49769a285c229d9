// GIF pictures beside their peers, in one run:
//   - composing every frame of the animated samples (the outside files and
//     animations made with giflib) into 32-bit bitmaps, from the file's
//     bytes, against Qt's QMovie stepping through the same frames;
//   - optimising the same files: bytes written and time, against
//     `gifsicle -O2` (time includes starting the program);
//   - reducing true-colour pictures by each kind of colour reduction, with
//     and without Floyd-Steinberg diffusion, against
//     QImage::convertToFormat doing the same work: time and the mean
//     squared error against the original; mapping to a given palette (the
//     web cube, 256 greys, the picture's own colours, colours crowded into
//     a few cells) against Qt given the same colour table.  The pictures
//     are a made 1024 x 768 photograph and, from the outside data, real
//     screenshots (a few thousand colours in flat areas) and real
//     photographs.
// A table with the ratios follows the benchmark lines.

#include "gif/GIFColorReduction.h"
#include "gif/GIFImage.h"
#include "gif/GIFRender.h"
#include "gif/render/GIFDraw.h"
#include "tests/gif/GIFTestSupport.h"
#include "tests/support/OutsideData.h"
#include "TimingReporter.h"

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QMovie>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <numeric>
#include <random>
#include <string>
#include <unistd.h>

namespace {

std::vector<std::pair<std::string, Bytes>>& samples() {
    static std::vector<std::pair<std::string, Bytes>> all;
    return all;
}

void composeOurs(benchmark::State& state) {
    TBitmap bitmap;
    for (auto _ : state)
        for (const auto& [name, bytes] : samples()) {
            TGIFImage image;
            LoadImage(image, bytes);
            TGIFCompositor compositor(image);
            for (int i = 0; i < image.Images().Count(); ++i) {
                if (image.Images().Frames(i)->Empty())
                    continue;
                compositor.Show(i);
                FillGIFBitmap(bitmap, compositor.Width(), compositor.Height(), compositor.Pixels(), clWhite, {});
                benchmark::DoNotOptimize(bitmap.ScanLine(0));
            }
        }
}

void composeQMovie(benchmark::State& state) {
    for (auto _ : state)
        for (const auto& [name, bytes] : samples()) {
            QByteArray data(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
            QBuffer buffer(&data);
            buffer.open(QIODevice::ReadOnly);
            QMovie movie(&buffer, "gif");
            for (int i = 0; i < movie.frameCount(); ++i) {
                movie.jumpToFrame(i);
                QImage frame = movie.currentImage().convertToFormat(QImage::Format_RGB32);
                benchmark::DoNotOptimize(frame.constBits());
            }
        }
}

// A true-colour picture in the reduction's layout (blue, green, red bytes)
// and as the toolkit's image.
struct Picture {
    std::string Name;
    int Width = 0, Height = 0;
    std::vector<uint8_t> Bits;
    QImage Image;
    TGIFPalette Adaptive; // the picture's own 256 colours, by the octree
    TGIFTrueColorImage View() const { return {Width, Height, Bits.data(), int64_t(Width) * 3, 3}; }
};

Picture pictureOf(std::string name, const QImage& source) {
    Picture picture{std::move(name), source.width(), source.height(), {},
                    source.convertToFormat(QImage::Format_RGB32), {}};
    picture.Bits.resize(size_t(picture.Width) * size_t(picture.Height) * 3);
    for (int y = 0; y < picture.Height; ++y)
        for (int x = 0; x < picture.Width; ++x) {
            const QRgb c = picture.Image.pixel(x, y);
            uint8_t* p = picture.Bits.data() + (size_t(y) * size_t(picture.Width) + size_t(x)) * 3;
            p[0] = uint8_t(qBlue(c));
            p[1] = uint8_t(qGreen(c));
            p[2] = uint8_t(qRed(c));
        }
    picture.Adaptive = QuantizePalette(picture.View(), 256);
    return picture;
}

// A photograph stand-in: smooth gradients, soft waves and grain.
QImage madePhoto() {
    QImage image(1024, 768, QImage::Format_RGB32);
    std::mt19937 random(4);
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x) {
            const double wave = std::sin(x * 0.013) * std::cos(y * 0.021);
            const int grain = int(random() % 9) - 4;
            const int red = std::clamp(int(x * 255 / 1023 + wave * 40) + grain, 0, 255);
            const int green = std::clamp(int(y * 255 / 767 - wave * 50) + grain, 0, 255);
            const int blue = std::clamp(int(128 + wave * 100 + (x ^ y) % 32) + grain, 0, 255);
            image.setPixel(x, y, qRgb(red, green, blue));
        }
    return image;
}

// The made photograph, then the real pictures the outside data holds:
// screenshots of desktop programs and photographs.
std::vector<Picture>& pictures() {
    static std::vector<Picture> all = [] {
        std::vector<Picture> made;
        made.push_back(pictureOf("made-photo", madePhoto()));
        const std::pair<const char*, const char*> real[] = {
            {"screenshot-thunderbird", "/usr/share/doc/debian-handbook/html/en-US/images/thunderbird.png"},
            {"screenshot-fwbuilder", "/usr/share/doc/debian-handbook/html/en-US/images/fwbuilder.png"},
            {"photo-keys", "/usr/share/xml/docbook/stylesheet/docbook-xsl/slides/slidy/graphics/keys2.jpg"},
            {"photo-portrait", "/usr/share/matplotlib/mpl-data/sample_data/grace_hopper.jpg"},
        };
        for (const auto& [name, path] : real) {
            QImage image(QString::fromStdString(OutsideDataPath(path)));
            if (!image.isNull())
                made.push_back(pictureOf(name, image));
        }
        return made;
    }();
    return all;
}

// Colour reductions of the photograph, each beside the toolkit doing the
// same work: the octree palette against Qt's own 8-bit conversion (which
// maps to its fixed colour cube), the web cube against Qt mapping to the
// same cube, black and white against Qt's one-bit conversion; each with
// and without Floyd-Steinberg diffusion.
// "palette" gives a palette of any colours (searched, not computed): the
// web cube, 256 greys, the picture's own octree colours, or 256 colours
// crowded into a few cells of the lookup's table.  Without diffusion Qt
// maps to the same palette given as its colour table; it diffuses only to
// its own fixed palette, which is the web cube.
enum class GivenPalette { Web, Grey, Adaptive, Crowded };

struct ReductionPair {
    const char* Name;
    TGIFColorReduction Method;
    TGIFDitherMode Mode;
    QImage::Format QtFormat;
    Qt::ImageConversionFlags QtFlags;
    bool QtGivenTable = false; // Qt maps to the given palette as its colour table
    GivenPalette Given = GivenPalette::Web;
};

const ReductionPair kPairs[] = {
    {"octree+fs", gcrQuantize, gdmFloydSteinberg, QImage::Format_Indexed8, Qt::DiffuseDither},
    {"octree", gcrQuantize, gdmNearest, QImage::Format_Indexed8, Qt::ThresholdDither},
    {"web+fs", gcrWebPalette, gdmFloydSteinberg, QImage::Format_Indexed8, Qt::DiffuseDither},
    {"web", gcrWebPalette, gdmNearest, QImage::Format_Indexed8, Qt::ThresholdDither},
    {"palette+fs", gcrCustomPalette, gdmFloydSteinberg, QImage::Format_Indexed8, Qt::DiffuseDither},
    {"palette", gcrCustomPalette, gdmNearest, QImage::Format_Indexed8, Qt::ThresholdDither, true},
    {"pal-grey", gcrCustomPalette, gdmNearest, QImage::Format_Indexed8, Qt::ThresholdDither, true,
     GivenPalette::Grey},
    {"pal-adapt", gcrCustomPalette, gdmNearest, QImage::Format_Indexed8, Qt::ThresholdDither, true,
     GivenPalette::Adaptive},
    {"pal-crowd", gcrCustomPalette, gdmNearest, QImage::Format_Indexed8, Qt::ThresholdDither, true,
     GivenPalette::Crowded},
    {"bw+fs", gcrBlackWhite, gdmFloydSteinberg, QImage::Format_Mono, Qt::DiffuseDither},
    {"bw", gcrBlackWhite, gdmNearest, QImage::Format_Mono, Qt::ThresholdDither},
};

// 256 colours in 16 cells of the lookup's table (cells of the top five
// bits of each channel), 16 to a cell: white, black and two greys, which
// fill screenshots, and 12 colours drawn at random.  The round colour of
// a cell comes after others of its cell, so that it is found only by its
// exact match.
TGIFPalette crowdedPalette() {
    std::mt19937 random(11);
    std::vector<TGIFColor> bases = {{255, 255, 255}, {0, 0, 0}, {192, 192, 192}, {128, 128, 128}};
    while (bases.size() < 16)
        bases.push_back({uint8_t(random()), uint8_t(random()), uint8_t(random())});
    TGIFPalette palette;
    for (const TGIFColor& base : bases) {
        std::vector<int> lows(512);
        std::iota(lows.begin(), lows.end(), 0);
        const int own = (base.Red & 7) | (base.Green & 7) << 3 | (base.Blue & 7) << 6;
        lows.erase(std::find(lows.begin(), lows.end(), own));
        std::shuffle(lows.begin(), lows.end(), random);
        lows.resize(15);
        lows.insert(lows.begin() + 8, own);
        for (int low : lows)
            palette.push_back({uint8_t((base.Red & ~7) | (low & 7)), uint8_t((base.Green & ~7) | (low >> 3 & 7)),
                               uint8_t((base.Blue & ~7) | (low >> 6))});
    }
    return palette;
}

const TGIFPalette& givenPalette(const Picture& picture, const ReductionPair& pair) {
    static const TGIFPalette web = WebPalette(), grey = Gray256Palette(), crowded = crowdedPalette();
    switch (pair.Given) {
    case GivenPalette::Grey:
        return grey;
    case GivenPalette::Adaptive:
        return picture.Adaptive;
    case GivenPalette::Crowded:
        return crowded;
    default:
        return web;
    }
}

TGIFReducedImage reduceOurs(const Picture& picture, const ReductionPair& pair) {
    return ReduceColors(picture.View(), pair.Method, pair.Mode, 8, &givenPalette(picture, pair));
}

QImage reduceQt(const Picture& picture, const ReductionPair& pair) {
    if (pair.QtGivenTable) {
        QList<QRgb> table;
        for (const TGIFColor& c : givenPalette(picture, pair))
            table.push_back(qRgb(c.Red, c.Green, c.Blue));
        return picture.Image.convertToFormat(pair.QtFormat, table, pair.QtFlags | Qt::ColorOnly);
    }
    return picture.Image.convertToFormat(pair.QtFormat, pair.QtFlags | Qt::ColorOnly);
}

double mseOurs(const Picture& picture, const ReductionPair& pair) {
    const TGIFReducedImage reduced = reduceOurs(picture, pair);
    double sum = 0;
    for (size_t i = 0; i < reduced.Indices.size(); ++i) {
        const uint8_t* p = picture.Bits.data() + i * 3;
        const TGIFColor& c = reduced.Palette[reduced.Indices[i]];
        sum += std::pow(c.Red - p[2], 2) + std::pow(c.Green - p[1], 2) + std::pow(c.Blue - p[0], 2);
    }
    return sum / double(reduced.Indices.size() * 3);
}

double mseQt(const Picture& picture, const ReductionPair& pair) {
    const QImage reduced = reduceQt(picture, pair);
    double sum = 0;
    for (int y = 0; y < picture.Height; ++y)
        for (int x = 0; x < picture.Width; ++x) {
            const QRgb a = picture.Image.pixel(x, y), b = reduced.pixel(x, y);
            sum += std::pow(qRed(a) - qRed(b), 2) + std::pow(qGreen(a) - qGreen(b), 2) + std::pow(qBlue(a) - qBlue(b), 2);
        }
    return sum / (double(picture.Width) * picture.Height * 3);
}

std::string reductionName(const Picture& picture, const ReductionPair& pair) {
    return "reduce/" + picture.Name + "/" + pair.Name;
}

void registerReductions() {
    for (const Picture& picture : pictures())
        for (const ReductionPair& pair : kPairs) {
            const std::string name = reductionName(picture, pair);
            benchmark::RegisterBenchmark((name + "/ours").c_str(), [&picture, &pair](benchmark::State& state) {
                for (auto _ : state) {
                    TGIFReducedImage reduced = reduceOurs(picture, pair);
                    benchmark::DoNotOptimize(reduced.Indices.data());
                }
            })->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark((name + "/qt").c_str(), [&picture, &pair](benchmark::State& state) {
                for (auto _ : state) {
                    QImage reduced = reduceQt(picture, pair);
                    benchmark::DoNotOptimize(reduced.constBits());
                }
            })->Unit(benchmark::kMillisecond);
        }
}

// Optimisation figures, measured once: total bytes out and time.
struct OptimizeFigures {
    int64_t Input = 0, Ours = 0, Gifsicle = 0;
    double OursSeconds = 0, GifsicleSeconds = 0;
    bool HaveGifsicle = false;
};

OptimizeFigures optimizeFigures() {
    OptimizeFigures figures;
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("ondrill-gif-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    figures.HaveGifsicle = std::system("gifsicle --version > /dev/null 2>&1") == 0;
    for (const auto& [name, bytes] : samples()) {
        figures.Input += int64_t(bytes.size());
        auto start = std::chrono::steady_clock::now();
        TGIFImage image;
        LoadImage(image, bytes);
        image.Optimize(ooCrop | ooMerge | ooCleanup | ooColorMap);
        figures.Ours += int64_t(SaveImage(image).size());
        figures.OursSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!figures.HaveGifsicle)
            continue;
        const std::string in = (folder / "in.gif").string(), out = (folder / "out.gif").string();
        std::ofstream(in, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
        start = std::chrono::steady_clock::now();
        if (std::system(("gifsicle -O2 " + in + " -o " + out + " 2> /dev/null").c_str()) == 0)
            figures.Gifsicle += int64_t(std::filesystem::file_size(out));
        else
            figures.Gifsicle += int64_t(bytes.size());
        figures.GifsicleSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    std::filesystem::remove_all(folder);
    return figures;
}

} // namespace

int main(int argc, char** argv) {
    static int qtArgc = 1;
    static char qtName[] = "gif_render_bench";
    static char* qtArgv[] = {qtName, nullptr};
    QGuiApplication application(qtArgc, qtArgv);
    samples() = AnimatedSamples();
    pictures(); // made and read once, before anything is timed
    benchmark::RegisterBenchmark("compose/ours", composeOurs)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("compose/qmovie", composeQMovie)->Unit(benchmark::kMillisecond);
    registerReductions();
    benchmark::Initialize(&argc, argv);
    TTimingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\n%zu animated samples\n", samples().size());
    const double composeOursTime = reporter.Time("compose/ours"), composeQtTime = reporter.Time("compose/qmovie");
    if (composeOursTime > 0 && composeQtTime > 0)
        std::printf("composing every frame:   ours %8.2f ms   QMovie %8.2f ms   ratio %.2f\n", composeOursTime * 1e3,
                    composeQtTime * 1e3, composeOursTime / composeQtTime);
    const OptimizeFigures figures = optimizeFigures();
    std::printf("optimising:               input %lld bytes, ours %lld bytes in %.1f ms", (long long)figures.Input,
                (long long)figures.Ours, figures.OursSeconds * 1e3);
    if (figures.HaveGifsicle)
        std::printf(", gifsicle -O2 %lld bytes in %.1f ms; bytes ratio %.3f, time ratio %.2f\n",
                    (long long)figures.Gifsicle, figures.GifsicleSeconds * 1e3,
                    double(figures.Ours) / double(figures.Gifsicle), figures.OursSeconds / figures.GifsicleSeconds);
    else
        std::printf("; gifsicle is not installed (scripts/install-deps)\n");
    std::printf("\ncolour reduction (median ms [min-max] over the repetitions; MSE against the original)\n");
    for (const Picture& picture : pictures()) {
        std::printf("%s, %d x %d:\n", picture.Name.c_str(), picture.Width, picture.Height);
        for (const ReductionPair& pair : kPairs) {
            const std::string name = reductionName(picture, pair);
            const TTimingReporter::Figures ours = reporter.Times(name + "/ours"), qt = reporter.Times(name + "/qt");
            if (ours.Median <= 0 || qt.Median <= 0)
                continue;
            const double oursError = mseOurs(picture, pair), qtError = mseQt(picture, pair);
            std::printf("  %-10s ours %7.2f [%.2f-%.2f]   Qt %7.2f [%.2f-%.2f]   time ratio %.2f;  MSE ours %8.2f  "
                        "Qt %8.2f  ratio %.2f\n",
                        pair.Name, ours.Median * 1e3, ours.Min * 1e3, ours.Max * 1e3, qt.Median * 1e3, qt.Min * 1e3,
                        qt.Max * 1e3, ours.Median / qt.Median, oursError, qtError, oursError / qtError);
        }
    }
    return 0;
}
