// Benchmarks of HTML highlighting.
//
//   build/bench/editor_highlight_bench
//
// Loading and fully highlighting the 10 MB page the text-engine benchmark
// generates, a real one (Node.js's API reference, when installed) and a
// 14 MB page of long lines (64 KB each, as minified pages have them), and
// one keystroke in a large document without comments and in one whose first
// line opens a comment that runs to its end.  As a peer, the same texts are
// loaded and styled by QScintilla's HTML lexer in the same run; the summary
// at the end prints both times and their ratio.

#include "BenchMemo.h"
#include "GeneratedHtml.h"
#include "bench/BenchMain.h"

#include "editor/CodeMemo.h"
#include "editor/highlight/HtmlHighlighter.h"

#include "platform/gfx/TextMeasurer.h"
#include "editor/model/PageEncoding.h"

#include <QApplication>

#ifdef ONDRILL_HAVE_QSCINTILLA
#include <Qsci/qscilexerhtml.h>
#include <Qsci/qsciscintilla.h>
#endif

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>

namespace {

using bench::EraseTyped;
using bench::kClientWidth;
using bench::LoadBytes;
using bench::TenMegabytes;

constexpr int kTexts = 3;

const std::string& Text(int which) {
    return which == 0 ? TenMegabytes() : which == 1 ? bench::NodeReference() : bench::LongLinesPage();
}
const char* TextName(int which) {
    return which == 0 ? "generated 10 MB" : which == 1 ? "Node.js all.html" : "14 MB long lines";
}

// The text the benchmark's argument names; empty, and the benchmark
// skipped, when it is not installed.
const std::string& TextOrSkip(benchmark::State& state) {
    const std::string& text = Text(static_cast<int>(state.range(0)));
    if (text.empty())
        state.SkipWithError("not installed");
    return text;
}

// Mean times in milliseconds, by benchmark and text, for the summary.
std::map<std::string, double>& Results() {
    static std::map<std::string, double> results;
    return results;
}

void Record(benchmark::State& state, const std::string& key, double totalMilliseconds) {
    if (state.iterations() > 0)
        Results()[key] = totalMilliseconds / static_cast<double>(state.iterations());
}

double Milliseconds(std::chrono::steady_clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

void SetUpFont(TCodeMemo& memo) {
    bench::SetBenchFont(memo);
    memo.SetStaticFormat(false);
}

// Ours: load the bytes and highlight every paragraph.
void BM_LoadAndHighlight(benchmark::State& state) {
    const int which = static_cast<int>(state.range(0));
    const std::string& text = TextOrSkip(state);
    if (text.empty())
        return;
    THtmlHighlighter html;
    double total = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        TCodeMemo memo;
        SetUpFont(memo);
        memo.SetHighlighter(&html);
        LoadBytes(memo, text);
        memo.Document().ParseUpTo(memo.ParagraphCount() - 1);
        total += Milliseconds(std::chrono::steady_clock::now() - start);
        state.PauseTiming();
        int64_t records = 0;
        for (int32_t i = 0; i < memo.ParagraphCount(); ++i)
            records += static_cast<int64_t>(memo.Paragraph(i)->Contexts.Count());
        state.counters["contexts"] = static_cast<double>(records);
        memo.SetHighlighter(nullptr);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
    state.SetLabel(TextName(which));
    Record(state, std::string("highlight ") + TextName(which), total);
}
BENCHMARK(BM_LoadAndHighlight)->ArgName("text")->DenseRange(0, kTexts - 1)->Unit(benchmark::kMillisecond)->Iterations(3);

// Ours, as the memo shows it: highlighted and broken into display lines.
void BM_LoadHighlightAndBreak(benchmark::State& state) {
    const int which = static_cast<int>(state.range(0));
    const std::string& text = TextOrSkip(state);
    if (text.empty())
        return;
    THtmlHighlighter html;
    TQtTextMeasurer measurer;
    for (auto _ : state) {
        TCodeMemo memo;
        SetUpFont(memo);
        memo.SetMeasuringContext(&measurer, kClientWidth);
        memo.SetHighlighter(&html);
        LoadBytes(memo, text);
        memo.FormatPending();
        state.counters["display_lines"] = memo.LineCount();
        state.PauseTiming();
        memo.SetHighlighter(nullptr);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
    state.SetLabel(TextName(which));
}
BENCHMARK(BM_LoadHighlightAndBreak)->ArgName("text")->DenseRange(0, kTexts - 1)->Unit(benchmark::kMillisecond)->Iterations(2);

// The Node.js reference (UTF-8) loaded, highlighted and broken into lines
// as before pages had an encoding (the code page: argument 0) and as it is
// read now (its encoding detected, UTF-8: argument 1).
void BM_ReferenceByEncoding(benchmark::State& state) {
    const std::string& text = bench::NodeReference();
    if (text.empty()) {
        state.SkipWithError("not installed");
        return;
    }
    const bool detected = state.range(0) == 1;
    THtmlHighlighter html;
    TQtTextMeasurer measurer;
    double total = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        TCodeMemo memo;
        SetUpFont(memo);
        memo.SetMeasuringContext(&measurer, kClientWidth);
        memo.SetEncoding(detected ? DetectPageEncoding(text) : teAnsi);
        memo.SetHighlighter(&html);
        LoadBytes(memo, text);
        memo.Document().ParseUpTo(memo.ParagraphCount() - 1);
        memo.FormatPending();
        total += Milliseconds(std::chrono::steady_clock::now() - start);
        state.PauseTiming();
        state.counters["utf8"] = memo.Encoding() == teUtf8;
        memo.SetHighlighter(nullptr);
        state.ResumeTiming();
    }
    Record(state, detected ? "reference as UTF-8" : "reference as code page", total);
}
BENCHMARK(BM_ReferenceByEncoding)->ArgName("utf8")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

#ifdef ONDRILL_HAVE_QSCINTILLA
// The peer: QScintilla loads the same bytes and its HTML lexer styles them all.
void BM_PeerLoadAndStyle(benchmark::State& state) {
    const int which = static_cast<int>(state.range(0));
    const std::string& text = TextOrSkip(state);
    if (text.empty())
        return;
    double total = 0;
    for (auto _ : state) {
        QsciScintilla editor;
        QsciLexerHTML lexer;
        editor.setLexer(&lexer);
        auto start = std::chrono::steady_clock::now();
        editor.SendScintilla(QsciScintillaBase::SCI_SETTEXT, 0UL, text.c_str());
        editor.SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L);
        total += Milliseconds(std::chrono::steady_clock::now() - start);
        long styled = editor.SendScintilla(QsciScintillaBase::SCI_GETENDSTYLED);
        if (styled < static_cast<long>(text.size()))
            state.SkipWithError("the peer did not style the whole text");
        state.PauseTiming();
        editor.setLexer(nullptr);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
    state.SetLabel(TextName(which));
    Record(state, std::string("peer ") + TextName(which), total);
}
BENCHMARK(BM_PeerLoadAndStyle)->ArgName("text")->DenseRange(0, kTexts - 1)->Unit(benchmark::kMillisecond)->Iterations(3);
#endif

// A document of table rows, with or without a comment opened on its first
// line and never closed.
std::string MakeRows(int rows, bool openComment) {
    std::string text = openComment ? "<!-- everything below is a comment\r\n" : "<table>\r\n";
    for (int i = 0; i < rows; ++i)
        text += "<tr><td class=\"c\">row " + std::to_string(i) + "</td><td>some &amp; cell content</td></tr>\r\n";
    return text;
}

// One typed character in the middle of a 100,000-line document: the
// paragraph is parsed again and re-wrapped; nothing behind it changes.
void BM_Keystroke(benchmark::State& state) {
    const bool comment = state.range(0) != 0;
    THtmlHighlighter html;
    TQtTextMeasurer measurer;
    TCodeMemo memo;
    SetUpFont(memo);
    memo.SetUpdateMode(umImmediate);
    memo.SetMeasuringContext(&measurer, kClientWidth);
    memo.SetHighlighter(&html);
    const std::string text = MakeRows(100000, comment);
    LoadBytes(memo, text);
    memo.FormatPending();
    memo.SetUpdateMode(umBackground);
    const int32_t position = memo.ParagraphStart(memo.ParagraphCount() / 2) + 30;
    memo.SetSelStart(position);
    int typed = 0;
    double total = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        memo.SetSelText(typed % 8 == 3 ? "<" : "x");
        total += Milliseconds(std::chrono::steady_clock::now() - start);
        if (++typed == 64) {
            state.PauseTiming();
            EraseTyped(memo, position, typed);
            memo.FormatPending();
            memo.SetSelStart(position);
            typed = 0;
            state.ResumeTiming();
        }
    }
    if (memo.BackgroundPending() && memo.Paragraph(memo.ParagraphCount() / 2 + 2)->Formatted == 0)
        state.SkipWithError("a keystroke left work behind it");
    state.SetLabel(comment ? "inside a comment to the end" : "no comment");
    Record(state, comment ? "keystroke in a comment" : "keystroke without comments", total);
    memo.SetHighlighter(nullptr);
}
BENCHMARK(BM_Keystroke)->ArgName("in_comment")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void PrintSummary() {
    std::map<std::string, double>& results = Results();
    auto utf8 = results.find("reference as UTF-8");
    auto codePage = results.find("reference as code page");
    if (utf8 != results.end() && codePage != results.end())
        std::printf("\nNode.js all.html load, highlight and break: as UTF-8 %.1f ms, as the code page %.1f ms, "
                    "ratio %.2f (UTF-8 / code page; at most 1 wanted)\n",
                    utf8->second, codePage->second, utf8->second / codePage->second);
    std::printf("\nHTML highlighting, load and highlight the whole text (mean of the runs):\n");
    std::printf("  %-20s %12s %12s %8s\n", "text", "ours (ms)", "peer (ms)", "ratio");
    for (int which = 0; which < kTexts; ++which) {
        auto ours = results.find(std::string("highlight ") + TextName(which));
        auto peer = results.find(std::string("peer ") + TextName(which));
        if (ours == results.end()) {
            std::printf("  %-20s %12s\n", TextName(which), "not run");
            continue;
        }
        if (peer == results.end()) {
            std::printf("  %-20s %12.1f %12s\n", TextName(which), ours->second, "no peer");
            continue;
        }
        std::printf("  %-20s %12.1f %12.1f %8.2f  (ours / peer; below 1 is faster)\n", TextName(which), ours->second,
                    peer->second, ours->second / peer->second);
    }
    for (const char* key : {"keystroke without comments", "keystroke in a comment"}) {
        auto found = results.find(key);
        if (found != results.end())
            std::printf("  %-28s %10.2f us\n", key, found->second * 1000.0);
    }
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    if (int failed = RunBenchmarks(argc, argv))
        return failed;
    PrintSummary();
    return 0;
}
