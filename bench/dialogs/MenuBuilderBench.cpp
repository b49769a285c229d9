// Benchmark of the menu builder's install into a large page (offscreen).
//
//   build/bench/app_menu_bench
//
// The script block goes into a 10 MB page whose "</head>" stands at the
// end, so that the whole text is searched: the block put in as one edit
// of the document's editor, the editor painted.  The peer finds the same
// place in a QPlainTextEdit holding the same text (a case-insensitive
// search of its QString) and inserts the block at its cursor, then paints.
// After the usual lines a table gives ours, the peer's and the ratio.

#include "bench/WidgetBenchMain.h"
#include "bench/dialogs/BenchDocument.h"

#include "app/EditForm.h"
#include "app/dialogs/DHTMLMenuInstall.h"
#include "app/dialogs/DHTMLMenuScript.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace {

constexpr size_t kPageBytes = 10u << 20;

// A page of paragraphs whose head ends at the very end.
const std::string& bigPage() {
    static const std::string page = [] {
        std::string text = "<html>\r\n<head>\r\n<title>big</title>\r\n";
        for (int line = 0; text.size() < kPageBytes; ++line)
            text += "<meta name=\"k" + std::to_string(line) + "\" content=\"some words of the page\">\r\n";
        return text + "</head>\r\n<body></body>\r\n</html>";
    }();
    return page;
}

TEditForm& document() { return BenchDocument("ondrill-menu-bench-"); }

void BM_InstallBlockIntoLargePage(benchmark::State& state) {
    TEditForm& page = document();
    double total = 0;
    for (auto _ : state) {
        state.PauseTiming();
        page.Text().SetText(bigPage());
        page.Update();
        QApplication::processEvents();
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        InsertMenuScriptBlock();
        page.Update();
        QApplication::processEvents();
        total += BenchMilliseconds(std::chrono::steady_clock::now() - start);
    }
    if (page.Text().Bytes().find(kMenuScriptBlock) == std::string::npos)
        state.SkipWithError("the block did not go in");
    BenchResults()["install ours"] = total / static_cast<double>(state.iterations());
}
BENCHMARK(BM_InstallBlockIntoLargePage)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void BM_PeerInstallBlockIntoLargePage(benchmark::State& state) {
    QPlainTextEdit editor;
    editor.resize(1000, 700);
    editor.show();
    const QString text = QString::fromLatin1(bigPage().data(), static_cast<qsizetype>(bigPage().size()));
    const QString block = QString::fromLatin1(kMenuScriptBlock.data(), static_cast<qsizetype>(kMenuScriptBlock.size()));
    double total = 0;
    for (auto _ : state) {
        state.PauseTiming();
        editor.setPlainText(text);
        QApplication::processEvents();
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        const qsizetype at = editor.toPlainText().indexOf("</head", 0, Qt::CaseInsensitive);
        QTextCursor cursor = editor.textCursor();
        cursor.setPosition(at < 0 ? 0 : static_cast<int>(at));
        editor.setTextCursor(cursor);
        editor.insertPlainText(block + "\n");
        editor.repaint();
        QApplication::processEvents();
        total += BenchMilliseconds(std::chrono::steady_clock::now() - start);
    }
    BenchResults()["install peer"] = total / static_cast<double>(state.iterations());
}
BENCHMARK(BM_PeerInstallBlockIntoLargePage)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void printSummary() {
    auto ours = BenchResults().find("install ours");
    auto peer = BenchResults().find("install peer");
    if (ours != BenchResults().end() && peer != BenchResults().end()) {
        std::printf("\nMenu builder (mean per run):\n");
        std::printf("  %-44s %10s %10s %7s\n", "", "ours (ms)", "peer (ms)", "ratio");
        std::printf("  %-44s %10.2f %10.2f %7.2f\n", "script block into a 10 MB page, painted", ours->second,
                    peer->second, ours->second / peer->second);
        std::printf("  (ours / peer; the peer is a QPlainTextEdit)\n");
    }
    FreeBenchWindows();
}

} // namespace

int main(int argc, char** argv) { return RunWidgetBenchmarks(argc, argv, printSummary); }
