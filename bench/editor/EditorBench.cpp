// Benchmarks of the editor's text engine.
//
//   build/bench/editor_bench
//
// Texts are generated deterministically.  Line breaking measures through
// the platform's Qt text measurer ("Courier New", 10 points) at a client
// width of 800 pixels; an offscreen QGuiApplication provides the fonts.

#include "BenchMemo.h"
#include "GeneratedHtml.h"
#include "bench/BenchMain.h"

#include "editor/CodeMemo.h"

#include "platform/gfx/Font.h"
#include "platform/gfx/TextMeasurer.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>

#include <memory>
#include <random>
#include <string>

namespace {

using bench::EraseTyped;
using bench::kClientWidth;
using bench::LoadBytes;
using bench::SetBenchFont;
using bench::TenMegabytes;

// A document of a number of lines of about 60 characters.
std::string MakeLines(int lines) {
    std::string text;
    for (int i = 0; i < lines; ++i)
        text += "<tr><td>row " + std::to_string(i) + "</td><td>some cell content here</td></tr>\r\n";
    return text;
}

struct TBenchMemo {
    TQtTextMeasurer measurer;
    TCodeMemo memo;

    explicit TBenchMemo(const std::string& text) {
        SetBenchFont(memo);
        memo.SetStaticFormat(false);
        memo.SetMeasuringContext(&measurer, kClientWidth);
        LoadBytes(memo, text);
        memo.FormatPending();
    }
};

void BM_LoadAndBreak10MB(benchmark::State& state) {
    const std::string& text = TenMegabytes();
    TQtTextMeasurer measurer;
    for (auto _ : state) {
        TCodeMemo memo;
        SetBenchFont(memo);
        memo.SetMeasuringContext(&measurer, kClientWidth);
        LoadBytes(memo, text);
        memo.FormatPending();
        benchmark::DoNotOptimize(memo.LineCount());
        state.counters["display_lines"] = memo.LineCount();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_LoadAndBreak10MB)->Unit(benchmark::kMillisecond)->Iterations(3);

// Where an edit happens: 0 = the middle of the text, 1 = its last line.
int32_t EditPosition(TCodeMemo& memo, int where) {
    int32_t paragraph = where == 0 ? memo.ParagraphCount() / 2 : memo.ParagraphCount() - 2;
    return memo.ParagraphStart(paragraph) + 12;
}

// Types one character per iteration at position; every 64 characters what
// was typed goes again, outside the timing, so the paragraph keeps its size.
void TypeRepeatedly(benchmark::State& state, TCodeMemo& memo, int32_t position) {
    memo.SetSelStart(position);
    int typed = 0;
    for (auto _ : state) {
        memo.SetSelText("x");
        if (++typed == 64) {
            state.PauseTiming();
            EraseTyped(memo, position, typed);
            memo.SetSelStart(position);
            typed = 0;
            state.ResumeTiming();
        }
    }
}

void BM_TypeCharacter(benchmark::State& state) {
    TBenchMemo bench(MakeLines(static_cast<int>(state.range(0))));
    TCodeMemo& memo = bench.memo;
    const int32_t position = EditPosition(memo, static_cast<int>(state.range(1)));
    TypeRepeatedly(state, memo, position);
    state.SetLabel(std::to_string(state.range(0)) + " lines, " + (state.range(1) == 0 ? "middle" : "end"));
}
BENCHMARK(BM_TypeCharacter)->ArgNames({"lines", "at_end"})->ArgsProduct({{1000, 100000}, {0, 1}})->Unit(benchmark::kMicrosecond);

// A character typed into one paragraph of a megabyte (a minified page, say),
// which breaks into thousands of display lines: in the middle or near the
// end.  Re-formatting touches the lines around the edit; the lines before
// and behind it only keep their places.
void BM_TypeInLongParagraph(benchmark::State& state) {
    std::string text;
    while (text.size() < (1u << 20))
        text += "some cell content here ";
    TBenchMemo bench(text);
    TCodeMemo& memo = bench.memo;
    const int32_t position = state.range(0) == 0 ? memo.TextLength() / 2 : memo.TextLength() - 100;
    TypeRepeatedly(state, memo, position);
    state.counters["display_lines"] = memo.LineCount();
    state.SetLabel(state.range(0) == 0 ? "middle" : "end");
}
BENCHMARK(BM_TypeInLongParagraph)->ArgName("at_end")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// A character typed near the end of a word of a megabyte without a blank
// (a line of encoded data), broken inside into thousands of display lines.
void BM_TypeInLongWord(benchmark::State& state) {
    TBenchMemo bench(std::string(1u << 20, 'a'));
    TCodeMemo& memo = bench.memo;
    TypeRepeatedly(state, memo, memo.TextLength() - 100);
    state.counters["display_lines"] = memo.LineCount();
}
BENCHMARK(BM_TypeInLongWord)->Unit(benchmark::kMicrosecond);

// Enter: a paragraph break typed in the middle or at the end, and taken
// back again outside the timing, so the text stays the same size.
void BM_TypeBreak(benchmark::State& state) {
    TBenchMemo bench(MakeLines(static_cast<int>(state.range(0))));
    TCodeMemo& memo = bench.memo;
    const int32_t position = EditPosition(memo, static_cast<int>(state.range(1)));
    memo.UndoRecordingOff = true;
    for (auto _ : state) {
        memo.SetSelStart(position);
        memo.SetSelText("\r\n");
        state.PauseTiming();
        memo.SetSelStart(position);
        memo.SetSelLength(2);
        memo.SetSelText({});
        state.ResumeTiming();
    }
    state.SetLabel(std::to_string(state.range(0)) + " lines, " + (state.range(1) == 0 ? "middle" : "end"));
}
BENCHMARK(BM_TypeBreak)->ArgNames({"lines", "at_end"})->ArgsProduct({{1000, 100000}, {0, 1}})->Unit(benchmark::kMicrosecond);

void BM_Undo(benchmark::State& state) {
    TBenchMemo bench(MakeLines(static_cast<int>(state.range(0))));
    TCodeMemo& memo = bench.memo;
    const int32_t position = EditPosition(memo, static_cast<int>(state.range(1)));
    memo.SetUndoMaxSpace(1 << 24);
    memo.SetUndoMaxLevel(100000);
    int pending = 0;
    for (auto _ : state) {
        if (pending == 0) {
            state.PauseTiming();
            // Typed characters at one place, each its own undo entry.
            for (int i = 0; i < 256; ++i) {
                memo.SetSelStart(position);
                memo.SetSelText("y");
            }
            pending = 256;
            state.ResumeTiming();
        }
        memo.Undo();
        --pending;
    }
    state.SetLabel(std::to_string(state.range(0)) + " lines, " + (state.range(1) == 0 ? "middle" : "end"));
}
BENCHMARK(BM_Undo)->ArgNames({"lines", "at_end"})->ArgsProduct({{1000, 100000}, {0, 1}})->Unit(benchmark::kMicrosecond);

// Pasting many lines at once: the new paragraphs go into the text store
// in one insertion, which spreads them over new blocks.
void BM_PasteLines(benchmark::State& state) {
    const std::string text = MakeLines(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        auto bench = std::make_unique<TBenchMemo>(MakeLines(10));
        bench->memo.SetSelStart(bench->memo.ParagraphStart(5));
        state.ResumeTiming();
        bench->memo.SetSelText(text);
        state.PauseTiming();
        bench.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_PasteLines)->ArgName("lines")->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_FindTxtMiss10MB(benchmark::State& state) {
    static TBenchMemo* bench = new TBenchMemo(TenMegabytes());
    TCodeMemo& memo = bench->memo;
    bool matchCase = state.range(0) != 0;
    for (auto _ : state) {
        memo.SetSelStart(0);
        benchmark::DoNotOptimize(memo.FindTxt("zebracrossing", true, true, false, matchCase));
    }
    state.SetBytesProcessed(state.iterations() * memo.TextLength());
    state.SetLabel(matchCase ? "match case" : "ignore case");
}
BENCHMARK(BM_FindTxtMiss10MB)->ArgName("match_case")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication application(argc, argv);
    return RunBenchmarks(argc, argv);
}
