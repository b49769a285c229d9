// Building and showing a form of 40 controls from its description (the
// form builder making the controls by class name, setting their
// properties through the published tables and binding their handlers by
// name, then the controls' windows made, shown and painted), against the
// same form built by hand with Qt widgets.  The controls are the window
// classes registered in this program; after the usual lines a table gives
// ours, the peer's and the ratio.

#include "bench/BenchMain.h"

#include "platform/base/EventHandlers.h"
#include "platform/ui/Control.h"
#include "platform/ui/ControlProperties.h"
#include "platform/ui/FormBuilder.h"
#include "platform/widgets/WidgetPeer.h"

#include <QApplication>
#include <QFrame>
#include <QWidget>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr int kColumns = 5;
constexpr int kRows = 8;
constexpr int kCellWidth = 120;
constexpr int kCellHeight = 40;

std::map<std::string, double>& results() {
    static std::map<std::string, double> table;
    return table;
}

double milliseconds(std::chrono::steady_clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

class TBenchForm : public TCustomControl {
public:
    explicit TBenchForm(TComponent* owner = nullptr) : TCustomControl(owner) {
        Handlers.Add("cellClick", this, &TBenchForm::cellClick);
    }
    THandlerTable Handlers;
    int Clicks = 0;
    void cellClick(TPersistent*) { ++Clicks; }
};

// Forty cells in a grid, each with a caption, a colour, a font and a
// click handler.
const TFormDescription& gridDescription() {
    static const TFormDescription description = [] {
        TFormDescription d;
        d.Properties = {{"Caption", "Forty controls"}};
        for (int i = 0; i < kColumns * kRows; ++i) {
            std::string name = "cell";
            name += std::to_string(i);
            d.Components.push_back({.Name = name,
                                    .ClassName = "TCustomControl",
                                    .Bounds = Bounds(8 + (i % kColumns) * kCellWidth, 8 + (i / kColumns) * kCellHeight,
                                                     kCellWidth - 8, kCellHeight - 8),
                                    .Properties = {{"Caption", name},
                                                   {"Color", static_cast<int>(0x102030 * (i % 7))},
                                                   {"Font.Size", 9 + i % 3}},
                                    .Events = {{"OnClick", "cellClick"}}});
        }
        return d;
    }();
    return description;
}

void BM_BuildAndShowFromDescription(benchmark::State& state) {
    RegisterControlClasses();
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        auto form = std::make_unique<TBenchForm>();
        BuildForm(*form, gridDescription(), form->Handlers);
        form->SetBounds(0, 0, kColumns * kCellWidth + 16, kRows * kCellHeight + 16);
        form->Show();
        QApplication::processEvents();
        total += milliseconds(std::chrono::steady_clock::now() - start);
        state.PauseTiming();
        form.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    results()["ours"] = total / static_cast<double>(state.iterations());
}
BENCHMARK(BM_BuildAndShowFromDescription)->Unit(benchmark::kMillisecond);

// The peer: the same grid of framed widgets, made, coloured, given their
// fonts and shown by hand.
void BM_BuildAndShowQtByHand(benchmark::State& state) {
    double total = 0;
    int clicks = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        auto form = std::make_unique<QWidget>();
        form->setWindowTitle("Forty controls");
        for (int i = 0; i < kColumns * kRows; ++i) {
            auto* cell = new QFrame(form.get());
            cell->setObjectName(QString("cell%1").arg(i));
            cell->setGeometry(8 + (i % kColumns) * kCellWidth, 8 + (i / kColumns) * kCellHeight, kCellWidth - 8,
                              kCellHeight - 8);
            cell->setFrameShape(QFrame::Box);
            QPalette palette = cell->palette();
            palette.setColor(QPalette::Window, QColor::fromRgb(static_cast<QRgb>(0x302010 * (i % 7))));
            cell->setPalette(palette);
            cell->setAutoFillBackground(true);
            QFont font = cell->font();
            font.setPointSize(9 + i % 3);
            cell->setFont(font);
            QObject::connect(cell, &QObject::objectNameChanged, [&clicks] { ++clicks; });
        }
        form->resize(kColumns * kCellWidth + 16, kRows * kCellHeight + 16);
        form->show();
        QApplication::processEvents();
        total += milliseconds(std::chrono::steady_clock::now() - start);
        state.PauseTiming();
        form.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    benchmark::DoNotOptimize(clicks);
    results()["peer"] = total / static_cast<double>(state.iterations());
}
BENCHMARK(BM_BuildAndShowQtByHand)->Unit(benchmark::kMillisecond);

void printSummary() {
    auto ours = results().find("ours");
    auto peer = results().find("peer");
    if (ours == results().end() || peer == results().end())
        return;
    std::printf("\nA form of %d controls built and shown (mean per run):\n", kColumns * kRows);
    std::printf("  %12s %12s %8s\n", "ours (ms)", "peer (ms)", "ratio");
    std::printf("  %12.2f %12.2f %8.2f  (ours / peer; the peer is built by hand)\n", ours->second, peer->second,
                ours->second / peer->second);
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    InstallWidgetPeers();
    int result = RunBenchmarks(argc, argv);
    printSummary();
    return result;
}
