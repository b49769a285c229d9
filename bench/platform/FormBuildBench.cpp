// Building and showing a form of 40 standard controls from its
// description (the form builder making the controls by class name,
// setting their properties through the published tables and binding their
// handlers by name, then the controls' windows made, shown and painted),
// against the same form built by hand with the Qt widgets they stand for.
// After the usual lines a table gives ours, the peer's and the ratio.

#include "bench/WidgetBenchMain.h"

#include "platform/base/EventHandlers.h"
#include "platform/ui/Control.h"
#include "platform/ui/FormBuilder.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StandardControls.h"
#include "platform/widgets/WidgetPeer.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
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

class TBenchForm : public TForm {
public:
    explicit TBenchForm(TComponent* owner = nullptr) : TForm(owner) {
        Handlers.Add("cellClick", this, &TBenchForm::cellClick);
    }
    THandlerTable Handlers;
    int Clicks = 0;
    void cellClick(TPersistent*) { ++Clicks; }
};

// Eight rows of a label, an edit box, a button, a check box and a combo
// box, with their texts and fonts; the buttons and check boxes have a
// click handler.
const char* const kKinds[kColumns] = {"TLabel", "TEdit", "TButton", "TCheckBox", "TComboBox"};

TRect cellBounds(int i) {
    return Bounds(8 + (i % kColumns) * kCellWidth, 8 + (i / kColumns) * kCellHeight, kCellWidth - 8,
                  kCellHeight - 8);
}

const TFormDescription& gridDescription() {
    static const TFormDescription description = [] {
        TFormDescription d;
        d.Properties = {{"Caption", "Forty controls"}};
        for (int i = 0; i < kColumns * kRows; ++i) {
            std::string name = "cell";
            name += std::to_string(i);
            TComponentDescription cell{.Name = name, .ClassName = kKinds[i % kColumns], .Bounds = cellBounds(i)};
            const std::string kind = cell.ClassName;
            if (kind == "TEdit" || kind == "TComboBox")
                cell.Properties.push_back({"Text", name});
            else
                cell.Properties.push_back({"Caption", name});
            if (kind == "TComboBox")
                cell.Properties.push_back({"Items", "one\r\ntwo\r\nthree"});
            cell.Properties.push_back({"Font.Size", 9 + i % 3});
            if (kind == "TButton" || kind == "TCheckBox")
                cell.Events.push_back({"OnClick", "cellClick"});
            d.Components.push_back(std::move(cell));
        }
        return d;
    }();
    return description;
}

void BM_BuildAndShowFromDescription(benchmark::State& state) {
    RegisterStandardControlClasses();
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

// The peer: the same grid of Qt widgets, made, given their texts and
// fonts and shown by hand.
void BM_BuildAndShowQtByHand(benchmark::State& state) {
    double total = 0;
    int clicks = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        auto form = std::make_unique<QWidget>();
        form->setWindowTitle("Forty controls");
        for (int i = 0; i < kColumns * kRows; ++i) {
            const QString name = QString("cell%1").arg(i);
            QWidget* cell = nullptr;
            switch (i % kColumns) {
            case 0: cell = new QLabel(name, form.get()); break;
            case 1: cell = new QLineEdit(name, form.get()); break;
            case 2: {
                auto* button = new QPushButton(name, form.get());
                QObject::connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });
                cell = button;
                break;
            }
            case 3: {
                auto* box = new QCheckBox(name, form.get());
                QObject::connect(box, &QCheckBox::clicked, [&clicks] { ++clicks; });
                cell = box;
                break;
            }
            default: {
                auto* combo = new QComboBox(form.get());
                combo->addItems({"one", "two", "three"});
                combo->setEditable(true);
                combo->setEditText(name);
                cell = combo;
                break;
            }
            }
            cell->setObjectName(name);
            const TRect bounds = cellBounds(i);
            cell->setGeometry(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
            QFont font = cell->font();
            font.setPointSize(9 + i % 3);
            cell->setFont(font);
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

int main(int argc, char** argv) { return RunWidgetBenchmarks(argc, argv, printSummary); }
