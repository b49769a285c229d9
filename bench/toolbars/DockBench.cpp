// A top dock of 12 toolbars of 10 to 20 items each laid out again after its
// form is resized, beside a QMainWindow with the same 12 QToolBars in its
// top toolbar area.  Both stand in real (offscreen) windows; the width
// changes every time, between one that holds every bar and one that
// shrinks most of them behind their chevrons.  After the usual lines a
// table gives ours, the peer's and the ratio.

#include "bench/WidgetBenchMain.h"

#include "platform/ui/Control.h"
#include "toolbars/TBDock.h"
#include "toolbars/TBToolbar.h"

#include <QAction>
#include <QApplication>
#include <QLayout>
#include <QMainWindow>
#include <QToolBar>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kBars = 12;
double oursMicroseconds = 0;
double peerMicroseconds = 0;

int itemsOf(int bar) { return 10 + (bar * 7) % 11; }
std::string captionOf(int bar, int item) { return "Cmd " + std::to_string(bar) + "." + std::to_string(item); }
// The widths the form is given in turn.
int widthOf(int64_t iteration) { return 600 + static_cast<int>((iteration * 389) % 3000); }
double microseconds(std::chrono::steady_clock::duration duration) {
    return std::chrono::duration<double, std::micro>(duration).count();
}

void BM_DockRelayoutOurs(benchmark::State& state) {
    TCustomControl form;
    form.SetBounds(0, 0, 1600, 600);
    auto* dock = new TTBDock(&form);
    dock->SetParent(&form);
    for (int bar = 0; bar < kBars; ++bar) {
        auto* toolbar = new TTBToolbar(&form);
        toolbar->SetName("Bar" + std::to_string(bar));
        for (int i = 0; i < itemsOf(bar); ++i) {
            auto* item = new TTBCustomItem(&form);
            item->SetCaption(captionOf(bar, i));
            toolbar->Items()->Add(item);
        }
        toolbar->SetDockRow(bar / 4);
        toolbar->SetParent(dock);
    }
    form.Show();
    QApplication::processEvents();
    int64_t iteration = 0;
    double total = 0;
    for (auto _ : state) {
        int width = widthOf(iteration++);
        auto start = std::chrono::steady_clock::now();
        form.SetBounds(0, 0, width, 600);
        total += microseconds(std::chrono::steady_clock::now() - start);
        if (dock->Width() != width)
            state.SkipWithError("the dock did not follow its form");
    }
    if (state.iterations() > 0)
        oursMicroseconds = total / static_cast<double>(state.iterations());
}
BENCHMARK(BM_DockRelayoutOurs)->Unit(benchmark::kMicrosecond);

void BM_DockRelayoutQMainWindow(benchmark::State& state) {
    QMainWindow window;
    window.setAttribute(Qt::WA_DontShowOnScreen);
    window.setCentralWidget(new QWidget);
    for (int bar = 0; bar < kBars; ++bar) {
        if (bar > 0 && bar % 4 == 0)
            window.addToolBarBreak(Qt::TopToolBarArea);
        auto* toolbar = new QToolBar(QString::fromStdString("Bar" + std::to_string(bar)));
        for (int i = 0; i < itemsOf(bar); ++i)
            toolbar->addAction(QString::fromStdString(captionOf(bar, i)));
        window.addToolBar(Qt::TopToolBarArea, toolbar);
    }
    window.resize(1600, 600);
    window.show();
    QApplication::processEvents();
    int64_t iteration = 0;
    double total = 0;
    for (auto _ : state) {
        int width = widthOf(iteration++);
        auto start = std::chrono::steady_clock::now();
        window.resize(width, 600);
        window.layout()->activate();
        total += microseconds(std::chrono::steady_clock::now() - start);
    }
    if (state.iterations() > 0)
        peerMicroseconds = total / static_cast<double>(state.iterations());
}
BENCHMARK(BM_DockRelayoutQMainWindow)->Unit(benchmark::kMicrosecond);

void printSummary() {
    std::printf("\nDock beside QMainWindow (mean microseconds per resize):\n");
    std::printf("  %-52s %10s %10s %8s\n", "operation", "ours", "peer", "ratio");
    if (oursMicroseconds <= 0 || peerMicroseconds <= 0) {
        std::printf("  %-52s %10s\n", "lay out 12 toolbars of 10-20 items after a resize", "not run");
        return;
    }
    std::printf("  %-52s %10.1f %10.1f %8.2f  (ours / peer; below 1 is faster)\n",
                "lay out 12 toolbars of 10-20 items after a resize", oursMicroseconds, peerMicroseconds,
                oursMicroseconds / peerMicroseconds);
}

} // namespace

int main(int argc, char** argv) { return RunWidgetBenchmarks(argc, argv, printSummary); }
