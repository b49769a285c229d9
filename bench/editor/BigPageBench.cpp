// Benchmarks of huge pages in the memo window.
//
//   build/bench/editor_bigpage_bench
//
// - Ctrl+End right after opening a 58 MB page (the Node.js API reference
//   ten times over, or generated HTML of that size): from the key to the
//   repainted window, in a wrapped memo of 120 columns by 60 lines with the
//   HTML highlighter.  The peer, QScintilla with its HTML lexer, takes the
//   same key right after the same text was set.
// - Resident memory after loading, highlighting and laying out the 14 MB
//   page of long lines and the 58 MB page, each measured in a process of
//   its own (this program, started again with --memory=<who>:<page>): the
//   growth of the resident set over the text itself, ours and the peer's.

#include "BenchMemo.h"
#include "GeneratedHtml.h"
#include "bench/BenchMain.h"

#include "editor/CodeMemo.h"
#include "editor/highlight/HtmlHighlighter.h"

#include "platform/gfx/TextMeasurer.h"
#include "platform/widgets/WidgetPeer.h"

#include <QApplication>
#include <QTest>

#ifdef ONDRILL_HAVE_QSCINTILLA
#include <Qsci/qscilexerhtml.h>
#include <Qsci/qsciscintilla.h>
#endif

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include <unistd.h>

namespace {

constexpr int kScreenLines = 60;
constexpr int kScreenColumns = 120;

const std::string& Page(int which) { return which == 0 ? bench::LongLinesPage() : bench::HugePage(); }
const char* PageName(int which) { return which == 0 ? "14 MB long lines" : "58 MB page"; }

std::map<std::string, double>& Results() {
    static std::map<std::string, double> results;
    return results;
}

double Milliseconds(std::chrono::steady_clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

// The resident set of this process in kilobytes.
long ResidentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return 0;
}

// ---------------------------------------------------------------------------
// Ctrl+End right after opening

void BM_CtrlEndAfterOpening(benchmark::State& state) {
    const std::string& text = bench::HugePage();
    double total = 0;
    for (auto _ : state) {
        state.PauseTiming();
        THtmlHighlighter html;
        auto memo = std::make_unique<TCodeMemo>();
        bench::SetBenchFont(*memo);
        memo->SetBorderStyle(bsNone);
        memo->SetScrollBars(ssVertical);
        memo->SetHighlighter(&html);
        memo->Show();
        const int charWidth = memo->WindowCanvas().TextWidth("x");
        memo->SetBounds(0, 0, kScreenColumns * charWidth + memo->LeftMargin() + memo->RightMargin(),
                        kScreenLines * memo->LineHeight());
        QApplication::processEvents();
        memo->SetFocus();
        bench::LoadBytes(*memo, text);
        QWidget* widget = static_cast<TWidgetPeer*>(memo->Peer())->Widget();
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        QTest::keyClick(widget, Qt::Key_End, Qt::ControlModifier);
        memo->Update();
        total += Milliseconds(std::chrono::steady_clock::now() - start);
        state.PauseTiming();
        if (memo->SelStart() != memo->TextLength())
            state.SkipWithError("the caret is not at the end");
        memo->SetHighlighter(nullptr);
        memo.reset();
        state.ResumeTiming();
    }
    if (state.iterations() > 0)
        Results()["ctrl+end ours"] = total / static_cast<double>(state.iterations());
}
BENCHMARK(BM_CtrlEndAfterOpening)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

#ifdef ONDRILL_HAVE_QSCINTILLA
void BM_PeerCtrlEndAfterOpening(benchmark::State& state) {
    const std::string& text = bench::HugePage();
    double total = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto editor = std::make_unique<QsciScintilla>();
        QsciLexerHTML lexer;
        editor->setLexer(&lexer);
        // Unwrapped: wrapping makes the peer lay the whole page out before
        // the jump (minutes on this page), so it does less work than ours.
        editor->resize(kScreenColumns * 8 + 16, kScreenLines * 16);
        editor->show();
        QApplication::processEvents();
        editor->setFocus();
        editor->SendScintilla(QsciScintillaBase::SCI_SETTEXT, 0UL, text.c_str());
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        QTest::keyClick(editor->viewport(), Qt::Key_End, Qt::ControlModifier);
        editor->viewport()->repaint();
        total += Milliseconds(std::chrono::steady_clock::now() - start);
        state.PauseTiming();
        editor->setLexer(nullptr);
        editor.reset();
        state.ResumeTiming();
    }
    if (state.iterations() > 0)
        Results()["ctrl+end peer"] = total / static_cast<double>(state.iterations());
}
BENCHMARK(BM_PeerCtrlEndAfterOpening)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
#endif

// ---------------------------------------------------------------------------
// Resident memory, each case in a process of its own

// In the child: loads the page, highlights and lays it out, and prints the
// growth of the resident set in kilobytes.
int MemoryChild(const std::string& who, int which) {
    const std::string& text = Page(which);
    const long before = ResidentKilobytes();
    if (who == "ours") {
        THtmlHighlighter html;
        TQtTextMeasurer measurer;
        TCodeMemo memo;
        bench::SetBenchFont(memo);
        memo.SetMeasuringContext(&measurer, bench::kClientWidth);
        memo.SetHighlighter(&html);
        bench::LoadBytes(memo, text);
        memo.FormatPending();
        std::printf("%ld\n", ResidentKilobytes() - before);
        std::fflush(stdout);
        std::_Exit(0);
    }
#ifdef ONDRILL_HAVE_QSCINTILLA
    QsciScintilla editor;
    QsciLexerHTML lexer;
    editor.setLexer(&lexer);
    editor.setWrapMode(QsciScintilla::WrapWord);
    editor.SendScintilla(QsciScintillaBase::SCI_SETTEXT, 0UL, text.c_str());
    editor.SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L);
    std::printf("%ld\n", ResidentKilobytes() - before);
    std::fflush(stdout);
    std::_Exit(0);
#else
    return 1;
#endif
}

std::string& ProgramPath() {
    static std::string path;
    return path;
}

// The kilobytes a child reports, or -1.
long RunMemoryChild(const std::string& who, int which) {
    const std::string command = ProgramPath() + " --memory=" + who + ":" + std::to_string(which) + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return -1;
    long kilobytes = -1;
    if (std::fscanf(pipe, "%ld", &kilobytes) != 1)
        kilobytes = -1;
    pclose(pipe);
    return kilobytes;
}

void BM_ResidentMemory(benchmark::State& state) {
    const int which = static_cast<int>(state.range(0));
    long ours = 0;
    long peer = 0;
    for (auto _ : state) {
        ours = RunMemoryChild("ours", which);
        peer = RunMemoryChild("peer", which);
    }
    if (ours < 0) {
        state.SkipWithError("the child process failed");
        return;
    }
    const double size = static_cast<double>(Page(which).size()) / 1024.0;
    state.counters["ours_MB"] = static_cast<double>(ours) / 1024.0;
    state.counters["per_byte"] = static_cast<double>(ours) / size;
    Results()[std::string("memory ours ") + PageName(which)] = static_cast<double>(ours);
    if (peer > 0) {
        state.counters["peer_MB"] = static_cast<double>(peer) / 1024.0;
        Results()[std::string("memory peer ") + PageName(which)] = static_cast<double>(peer);
    }
    state.SetLabel(PageName(which));
}
BENCHMARK(BM_ResidentMemory)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void PrintSummary() {
    std::map<std::string, double>& results = Results();
    std::printf("\nHuge pages (ours / peer; below 1 is better):\n");
    auto ours = results.find("ctrl+end ours");
    auto peer = results.find("ctrl+end peer");
    if (ours != results.end()) {
        std::printf("  %-36s %10.1f ms", "Ctrl+End after opening 58 MB", ours->second);
        if (peer != results.end())
            std::printf("   peer %10.1f ms   ratio %6.2f", peer->second, ours->second / peer->second);
        std::printf("\n");
    }
    for (int which = 0; which < 2; ++which) {
        auto mine = results.find(std::string("memory ours ") + PageName(which));
        auto theirs = results.find(std::string("memory peer ") + PageName(which));
        if (mine == results.end())
            continue;
        const double size = static_cast<double>(Page(which).size()) / 1024.0;
        std::printf("  resident, %-25s %10.1f MB (%.2f x the file)", PageName(which), mine->second / 1024.0,
                    mine->second / size);
        if (theirs != results.end())
            std::printf("   peer %10.1f MB   ratio %6.2f", theirs->second / 1024.0, mine->second / theirs->second);
        std::printf("\n");
    }
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    InstallWidgetPeers();
    if (argc > 1 && std::strncmp(argv[1], "--memory=", 9) == 0) {
        const std::string spec = argv[1] + 9;
        const size_t colon = spec.find(':');
        return MemoryChild(spec.substr(0, colon), std::atoi(spec.c_str() + colon + 1));
    }
    ProgramPath() = "/proc/" + std::to_string(getpid()) + "/exe";
    if (int failed = RunBenchmarks(argc, argv))
        return failed;
    PrintSummary();
    return 0;
}
