// The two text hot paths of the editor: measuring a long byte string with
// the Qt measurer, and drawing a screenful of lines into an image through
// TCanvas.

#include "bench/BenchMain.h"

#include "platform/gfx/Canvas.h"
#include "platform/gfx/TextMeasurer.h"
#include "platform/gfx/QtBridge.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include <random>
#include <string>
#include <vector>

namespace {

std::string randomText(size_t length, unsigned seed) {
    std::mt19937 random(seed);
    std::string text(length, ' ');
    for (char& c : text) {
        int value = 32 + static_cast<int>(random() % 95);
        c = static_cast<char>(random() % 7 == 0 ? ' ' : value);
    }
    return text;
}

TFont editorFont() {
    TFont font;
    font.SetName("Courier New");
    font.SetSize(10);
    return font;
}

void MeasureHundredKilobytes(benchmark::State& state) {
    TQtTextMeasurer measurer;
    TFont font = editorFont();
    font.SetName("Arial");
    std::string text = randomText(100 * 1024, 1);
    for (auto _ : state) {
        TMeasuredFontPtr measured = measurer.Measure(font);
        benchmark::DoNotOptimize(measured->TextWidth(text));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(MeasureHundredKilobytes);

void DrawScreenOfText(benchmark::State& state) {
    QImage image(1400, 60 * 16, QImage::Format_RGB32);
    TDeviceCanvas canvas(&image);
    canvas.SetFont(editorFont());
    canvas.SetTextAlign(TA_BASELINE | TA_UPDATECP);
    std::vector<std::string> lines;
    for (unsigned i = 0; i < 60; ++i)
        lines.push_back(randomText(120, i + 7));
    for (auto _ : state) {
        canvas.Brush().SetColor(clWindow);
        canvas.FillRect(Rect(0, 0, image.width(), image.height()));
        for (int line = 0; line < 60; ++line) {
            canvas.MoveTo(8, line * 16 + 12);
            canvas.SetBkMode(line % 3 == 0 ? OPAQUE : TRANSPARENT);
            canvas.TextOut(0, 0, lines[static_cast<size_t>(line)]);
        }
        canvas.Release(); // the pixels are final
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 60 * 120);
}
BENCHMARK(DrawScreenOfText)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication application(argc, argv);
    return RunBenchmarks(argc, argv);
}
