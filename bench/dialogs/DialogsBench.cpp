// Benchmarks of the element dialogs (offscreen).
//
//   build/bench/app_dialogs_bench
//
// - The font dialog made and shown until painted: its three face lists
//   hold every installed font.  The peer is a Qt dialog of the same
//   controls with three QFontComboBox, Qt's own list of fonts.
// - A table of 200 rows by 200 columns written into a document by the
//   table dialog's OK (the markup built and put into the editor, the
//   editor painted).  The peer builds the same text and inserts it into a
//   QPlainTextEdit at its cursor, then paints it.
// After the usual lines a table gives ours, the peer's and the ratio.

#include "bench/WidgetBenchMain.h"
#include "bench/dialogs/BenchDocument.h"

#include "app/ApplicationClasses.h"
#include "app/EditForm.h"
#include "app/FrameForm.h"
#include "app/MDITab.h"
#include "app/dialogs/ListTableDialogs.h"
#include "app/dialogs/TextFormatDialogs.h"
#include "platform/base/ProgramFolder.h"
#include "platform/ui/Application.h"
#include "platform/ui/SpinEdit.h"

#include <QCheckBox>
#include <QDialog>
#include <QFontComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTextEdit>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr int kTableSize = 200;

TEditForm& document() { return BenchDocument("ondrill-dialogs-bench-"); }

// ---- The font dialog ---------------------------------------------------------------

void BM_OpenFontDialog(benchmark::State& state) {
    document();
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        auto dialog = std::make_unique<TFontForm>(frameform);
        dialog->Show();
        QApplication::processEvents();
        total += BenchMilliseconds(std::chrono::steady_clock::now() - start);
        state.PauseTiming();
        dialog->BeforeDestruction();
        dialog.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    BenchResults()["font ours"] = total / static_cast<double>(state.iterations());
}
BENCHMARK(BM_OpenFontDialog)->Unit(benchmark::kMillisecond);

void BM_PeerOpenFontDialog(benchmark::State& state) {
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        auto dialog = std::make_unique<QDialog>();
        dialog->setWindowTitle("Font");
        new QLabel("Font properties:", dialog.get());
        auto* sample = new QTextEdit(dialog.get());
        sample->setPlainText("\nAaFfKkQqTtWw");
        sample->setAlignment(Qt::AlignCenter);
        sample->setGeometry(8, 26, 384, 70);
        const char* labels[] = {"Font size:", "Font color:", "Font style:"};
        for (int i = 0; i < 3; ++i) {
            (new QLabel(labels[i], dialog.get()))->move(8, 112 + 28 * i);
            (new QCheckBox(dialog.get()))->move(100, 110 + 28 * i);
        }
        auto* size = new QSpinBox(dialog.get());
        size->setRange(1, 7);
        size->setGeometry(122, 108, 60, 21);
        for (int i = 0; i < 3; ++i) {
            auto* faces = new QFontComboBox(dialog.get());
            faces->setCurrentFont(QFont("Arial"));
            faces->setGeometry(122, 164 + 26 * i, 270, 21);
            (new QCheckBox(dialog.get()))->move(100, 166 + 26 * i);
        }
        const char* buttons[] = {"Ok", "Cancel", "Help"};
        for (int i = 0; i < 3; ++i)
            (new QPushButton(buttons[i], dialog.get()))->setGeometry(154 + 81 * i, 241, 75, 25);
        dialog->resize(400, 274);
        dialog->show();
        QApplication::processEvents();
        total += BenchMilliseconds(std::chrono::steady_clock::now() - start);
        state.PauseTiming();
        dialog.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    BenchResults()["font peer"] = total / static_cast<double>(state.iterations());
}
BENCHMARK(BM_PeerOpenFontDialog)->Unit(benchmark::kMillisecond);

// ---- A large table ---------------------------------------------------------------------

void BM_WriteLargeTable(benchmark::State& state) {
    TEditForm& page = document();
    double total = 0;
    size_t bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        page.Text().SetText("<BODY>\r\n\r\n</BODY>");
        auto dialog = std::make_unique<Ttablefrm>(frameform);
        dialog->SpinEdit1->SetValue(kTableSize);
        dialog->SpinEdit2->SetValue(kTableSize);
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        dialog->okbtnClick(dialog.get());
        page.Update();
        QApplication::processEvents();
        total += BenchMilliseconds(std::chrono::steady_clock::now() - start);
        state.PauseTiming();
        bytes = page.Text().Bytes().size();
        dialog->BeforeDestruction();
        dialog.reset();
        state.ResumeTiming();
    }
    BenchResults()["table ours"] = total / static_cast<double>(state.iterations());
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_WriteLargeTable)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_PeerWriteLargeTable(benchmark::State& state) {
    QPlainTextEdit editor;
    editor.resize(1000, 700);
    editor.show();
    double total = 0;
    for (auto _ : state) {
        state.PauseTiming();
        editor.setPlainText("<BODY>\n\n</BODY>");
        QTextCursor cursor = editor.textCursor();
        cursor.setPosition(7);
        editor.setTextCursor(cursor);
        QApplication::processEvents();
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        QString markup = "<TABLE WIDTH=\"100%\" BORDER=\"1\" BGCOLOR=\"#FFFFFF\" BORDERCOLOR=\"#C0C0C0\">";
        for (int row = 1; row <= kTableSize; ++row) {
            markup += "\n    <TR>";
            for (int column = 1; column <= kTableSize; ++column)
                markup += QString("\n        <TD>&nbsp;<!-- Ran:%1, Col:%2 --></TD>").arg(row).arg(column);
            markup += "\n    </TR>";
        }
        markup += "\n</TABLE>";
        editor.insertPlainText(markup);
        editor.repaint();
        QApplication::processEvents();
        total += BenchMilliseconds(std::chrono::steady_clock::now() - start);
    }
    BenchResults()["table peer"] = total / static_cast<double>(state.iterations());
}
BENCHMARK(BM_PeerWriteLargeTable)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void printSummary() {
    auto row = [](const char* what, const char* key) {
        auto ours = BenchResults().find(std::string(key) + " ours");
        auto peer = BenchResults().find(std::string(key) + " peer");
        if (ours == BenchResults().end() || peer == BenchResults().end())
            return;
        std::printf("  %-44s %10.2f %10.2f %7.2f\n", what, ours->second, peer->second, ours->second / peer->second);
    };
    std::printf("\nElement dialogs (mean per run):\n");
    std::printf("  %-44s %10s %10s %7s\n", "", "ours (ms)", "peer (ms)", "ratio");
    row("font dialog opened, every font listed", "font");
    row("table of 200 x 200 cells written and painted", "table");
    std::printf("  (ours / peer; the peers are Qt dialogs and QPlainTextEdit)\n");
    FreeBenchWindows();
}

} // namespace

int main(int argc, char** argv) { return RunWidgetBenchmarks(argc, argv, printSummary); }
