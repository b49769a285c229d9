// Real Windows metafiles (libwmf's examples, unpacked by
// scripts/fetch-outside-data) loaded by file name through the picture
// holder and drawn at their frame's size, as the image dialog loads them;
// against the same files made into SVG by libwmf's own SVG device and drawn
// by Qt's SVG renderer at the same size.  Enhanced metafiles are left out:
// no library here reads them for a like-for-like peer.  After the usual lines a table gives ours, the peer's and the
// ratio.

#include "bench/BenchMain.h"

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Picture.h"
#include "tests/support/OutsideData.h"

#include <benchmark/benchmark.h>
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

// Last: libwmf defines names (U16, ...) that Qt's headers use.
#include <libwmf/api.h>
#include <libwmf/svg.h>

namespace {

struct TFileCase {
    std::string Path;
    std::string Bytes;
};

const std::vector<TFileCase>& files() {
    static const std::vector<TFileCase> all = [] {
        std::vector<TFileCase> found;
        for (const char* folder : {"/src/libwmf/examples"}) {
            std::error_code error;
            for (const auto& entry : std::filesystem::directory_iterator(OutsideDataPath(folder), error)) {
                std::ifstream in(entry.path(), std::ios::binary);
                found.push_back({entry.path().string(), std::string(std::istreambuf_iterator<char>(in), {})});
            }
        }
        std::sort(found.begin(), found.end(), [](const TFileCase& a, const TFileCase& b) { return a.Path < b.Path; });
        return found;
    }();
    return all;
}

// Each run's mean time per pass over the files, by side.
std::map<std::string, std::vector<double>>& results() {
    static std::map<std::string, std::vector<double>> table;
    return table;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double milliseconds(std::chrono::steady_clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

// Ours: by name through the picture holder, drawn at its size.
void loadAndDraw(const TFileCase& file) {
    TPicture picture;
    try {
        picture.LoadFromFile(file.Path);
    } catch (const std::exception&) {
        return;
    }
    const int width = std::max(1, picture.Width()), height = std::max(1, picture.Height());
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf32bit);
    bitmap.SetSize(width, height);
    bitmap.Canvas().FillRect(Rect(0, 0, width, height), clWhite);
    picture.Graphic()->Draw(bitmap.Canvas(), Rect(0, 0, width, height));
    bitmap.Canvas().Release();
    benchmark::DoNotOptimize(bitmap.ScanLine(0));
}

// The peer's SVG of a Windows metafile, from libwmf's own SVG device.
std::string wmfSvg(const std::string& bytes) {
    wmfAPI* api = nullptr;
    wmfAPI_Options options{};
    options.function = wmf_svg_function;
    const unsigned long flags = WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    if (wmf_api_create(&api, flags, &options) != wmf_E_None)
        return {};
    std::string data = bytes;
    wmfD_Rect bounds{};
    unsigned int width = 0, height = 0;
    char* made = nullptr;
    unsigned long length = 0;
    if (wmf_mem_open(api, reinterpret_cast<unsigned char*>(data.data()), long(data.size())) == wmf_E_None &&
        wmf_scan(api, 0, &bounds) == wmf_E_None && wmf_display_size(api, &width, &height, 96, 96) == wmf_E_None) {
        wmf_svg_t* svg = WMF_SVG_GetData(api);
        svg->out = wmf_stream_create(api, nullptr);
        svg->bbox = bounds;
        svg->width = width;
        svg->height = height;
        wmf_play(api, 0, &bounds);
        wmf_stream_destroy(api, svg->out, &made, &length);
    }
    // The stream's memory is the API's, freed with it.
    std::string text = made != nullptr ? std::string(made, length) : std::string();
    wmf_api_destroy(api);
    return text;
}

// The peer: the library's SVG drawn by Qt's renderer at its own size.
void peerLoadAndDraw(const TFileCase& file) {
    std::ifstream in(file.Path, std::ios::binary); // read by name, as ours is
    const std::string bytes(std::istreambuf_iterator<char>(in), {});
    const std::string svg = wmfSvg(bytes);
    QSvgRenderer renderer(QByteArray::fromStdString(svg));
    if (!renderer.isValid())
        return;
    const QSize size = renderer.defaultSize().expandedTo(QSize(1, 1));
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    benchmark::DoNotOptimize(image.constBits());
}

void runOver(benchmark::State& state, const char* key, void (*work)(const TFileCase&)) {
    if (files().empty()) {
        state.SkipWithError("no outside metafiles (see scripts/fetch-outside-data)");
        return;
    }
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        for (const TFileCase& file : files())
            work(file);
        total += milliseconds(std::chrono::steady_clock::now() - start);
    }
    results()[key].push_back(total / static_cast<double>(state.iterations()));
}

void BM_MetafilesLoadedByNameAndDrawn(benchmark::State& state) { runOver(state, "ours", loadAndDraw); }
BENCHMARK(BM_MetafilesLoadedByNameAndDrawn)->Unit(benchmark::kMillisecond);

void BM_MetafilesAsTheLibrariesSvgDrawnByQt(benchmark::State& state) { runOver(state, "peer", peerLoadAndDraw); }
BENCHMARK(BM_MetafilesAsTheLibrariesSvgDrawnByQt)->Unit(benchmark::kMillisecond);

void printSummary() {
    auto ours = results().find("ours");
    auto peer = results().find("peer");
    if (ours == results().end() || peer == results().end())
        return;
    const double ourMedian = median(ours->second), peerMedian = median(peer->second);
    std::printf("\n%zu real Windows metafiles loaded by name and drawn at their size (median of %zu runs):\n", files().size(),
                ours->second.size());
    std::printf("  %12s %12s %8s\n", "ours (ms)", "peer (ms)", "ratio");
    std::printf("  %12.0f %12.0f %8.2f  (ours / peer; the peer: libwmf's SVG drawn by Qt)\n", ourMedian,
                peerMedian, ourMedian / peerMedian);
    std::printf("  range: ours %.0f-%.0f ms, peer %.0f-%.0f ms\n",
                *std::min_element(ours->second.begin(), ours->second.end()),
                *std::max_element(ours->second.begin(), ours->second.end()),
                *std::min_element(peer->second.begin(), peer->second.end()),
                *std::max_element(peer->second.begin(), peer->second.end()));
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Qt's SVG renderer warns of every text of size 0 and picture it can
    // not read in the peer's SVG.
    setenv("QT_LOGGING_RULES", "default.warning=false;qt.svg.warning=false", 0);
    QGuiApplication application(argc, argv);
    const int result = RunBenchmarks(argc, argv);
    printSummary();
    return result;
}
