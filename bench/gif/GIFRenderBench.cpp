// GIF pictures beside their peers, in one run:
//   - composing every frame of the animated samples (the outside files and
//     animations made with giflib) into 32-bit bitmaps, from the file's
//     bytes, against Qt's QMovie stepping through the same frames;
//   - optimising the same files: bytes written and time, against
//     `gifsicle -O2` (time includes starting the program);
//   - reducing a 1024 x 768 true-colour picture by each kind of colour
//     reduction, with and without Floyd-Steinberg diffusion, against
//     QImage::convertToFormat doing the same work: time and the mean
//     squared error against the original.
// A table with the ratios follows the benchmark lines.

#include "gif/GIFColorReduction.h"
#include "gif/GIFImage.h"
#include "gif/GIFRender.h"
#include "gif/render/GIFDraw.h"
#include "tests/gif/GIFTestSupport.h"
#include "TimingReporter.h"

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QMovie>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
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

// A photograph stand-in: smooth gradients, soft waves and grain.
std::vector<uint8_t>& photo() {
    static std::vector<uint8_t> bits = [] {
        std::vector<uint8_t> made(size_t(1024) * 768 * 3);
        std::mt19937 random(4);
        for (int y = 0; y < 768; ++y)
            for (int x = 0; x < 1024; ++x) {
                uint8_t* p = made.data() + (size_t(y) * 1024 + size_t(x)) * 3;
                const double wave = std::sin(x * 0.013) * std::cos(y * 0.021);
                const int grain = int(random() % 9) - 4;
                p[2] = uint8_t(std::clamp(int(x * 255 / 1023 + wave * 40) + grain, 0, 255));
                p[1] = uint8_t(std::clamp(int(y * 255 / 767 - wave * 50) + grain, 0, 255));
                p[0] = uint8_t(std::clamp(int(128 + wave * 100 + (x ^ y) % 32) + grain, 0, 255));
            }
        return made;
    }();
    return bits;
}

TGIFTrueColorImage photoView() { return {1024, 768, photo().data(), 1024 * 3, 3}; }

QImage photoImage() {
    QImage image(1024, 768, QImage::Format_RGB32);
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x) {
            const uint8_t* p = photo().data() + (size_t(y) * 1024 + size_t(x)) * 3;
            image.setPixel(x, y, qRgb(p[2], p[1], p[0]));
        }
    return image;
}

// Colour reductions of the photograph, each beside the toolkit doing the
// same work: the octree palette against Qt's own 8-bit conversion (which
// maps to its fixed colour cube), the web cube against Qt mapping to the
// same cube, black and white against Qt's one-bit conversion; each with
// and without Floyd-Steinberg diffusion.
// "palette" gives the web cube as a palette of any colours (searched, not
// computed); Qt maps to a given colour table only without diffusion, and
// diffuses to its own fixed palette, which is that same cube.
struct ReductionPair {
    const char* Name;
    TGIFColorReduction Method;
    TGIFDitherMode Mode;
    QImage::Format QtFormat;
    Qt::ImageConversionFlags QtFlags;
    bool QtGivenTable = false; // Qt maps to the web cube given as its colour table
};

const ReductionPair kPairs[] = {
    {"octree+fs", gcrQuantize, gdmFloydSteinberg, QImage::Format_Indexed8, Qt::DiffuseDither},
    {"octree", gcrQuantize, gdmNearest, QImage::Format_Indexed8, Qt::ThresholdDither},
    {"web+fs", gcrWebPalette, gdmFloydSteinberg, QImage::Format_Indexed8, Qt::DiffuseDither},
    {"web", gcrWebPalette, gdmNearest, QImage::Format_Indexed8, Qt::ThresholdDither},
    {"palette+fs", gcrCustomPalette, gdmFloydSteinberg, QImage::Format_Indexed8, Qt::DiffuseDither},
    {"palette", gcrCustomPalette, gdmNearest, QImage::Format_Indexed8, Qt::ThresholdDither, true},
    {"bw+fs", gcrBlackWhite, gdmFloydSteinberg, QImage::Format_Mono, Qt::DiffuseDither},
    {"bw", gcrBlackWhite, gdmNearest, QImage::Format_Mono, Qt::ThresholdDither},
};

TGIFReducedImage reduceOurs(const ReductionPair& pair) {
    static const TGIFPalette web = WebPalette();
    return ReduceColors(photoView(), pair.Method, pair.Mode, 8, &web);
}

QImage reduceQt(const QImage& source, const ReductionPair& pair) {
    if (pair.QtGivenTable) {
        static const QList<QRgb> table = [] {
            QList<QRgb> colors;
            for (const TGIFColor& c : WebPalette())
                colors.push_back(qRgb(c.Red, c.Green, c.Blue));
            return colors;
        }();
        return source.convertToFormat(pair.QtFormat, table, pair.QtFlags | Qt::ColorOnly);
    }
    return source.convertToFormat(pair.QtFormat, pair.QtFlags | Qt::ColorOnly);
}

double mseOurs(const ReductionPair& pair) {
    const TGIFReducedImage reduced = reduceOurs(pair);
    double sum = 0;
    for (size_t i = 0; i < reduced.Indices.size(); ++i) {
        const uint8_t* p = photo().data() + i * 3;
        const TGIFColor& c = reduced.Palette[reduced.Indices[i]];
        sum += std::pow(c.Red - p[2], 2) + std::pow(c.Green - p[1], 2) + std::pow(c.Blue - p[0], 2);
    }
    return sum / double(reduced.Indices.size() * 3);
}

double mseQt(const ReductionPair& pair) {
    const QImage source = photoImage();
    const QImage reduced = reduceQt(source, pair);
    double sum = 0;
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x) {
            const QRgb a = source.pixel(x, y), b = reduced.pixel(x, y);
            sum += std::pow(qRed(a) - qRed(b), 2) + std::pow(qGreen(a) - qGreen(b), 2) + std::pow(qBlue(a) - qBlue(b), 2);
        }
    return sum / (1024.0 * 768 * 3);
}

void registerReductions() {
    for (const ReductionPair& pair : kPairs) {
        const std::string name = std::string("reduce-1024x768/") + pair.Name;
        benchmark::RegisterBenchmark((name + "/ours").c_str(), [&pair](benchmark::State& state) {
            for (auto _ : state) {
                TGIFReducedImage reduced = reduceOurs(pair);
                benchmark::DoNotOptimize(reduced.Indices.data());
            }
        })->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((name + "/qt").c_str(), [&pair](benchmark::State& state) {
            const QImage source = photoImage();
            for (auto _ : state) {
                QImage reduced = reduceQt(source, pair);
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
    photo(); // made once, before anything is timed
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
    std::printf("\ncolour reduction of 1024x768 (median ms [min-max] over the repetitions; MSE against the "
                "original)\n");
    for (const ReductionPair& pair : kPairs) {
        const std::string name = std::string("reduce-1024x768/") + pair.Name;
        const TTimingReporter::Figures ours = reporter.Times(name + "/ours"), qt = reporter.Times(name + "/qt");
        if (ours.Median <= 0 || qt.Median <= 0)
            continue;
        const double oursError = mseOurs(pair), qtError = mseQt(pair);
        std::printf("  %-10s ours %7.2f [%.2f-%.2f]   Qt %7.2f [%.2f-%.2f]   time ratio %.2f;  MSE ours %8.2f  Qt "
                    "%8.2f  ratio %.2f\n",
                    pair.Name, ours.Median * 1e3, ours.Min * 1e3, ours.Max * 1e3, qt.Median * 1e3, qt.Min * 1e3,
                    qt.Max * 1e3, ours.Median / qt.Median, oursError, qtError, oursError / qtError);
    }
    return 0;
}
