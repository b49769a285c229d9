// Benchmarks of the memo control's hot paths.
//
//   build/bench/editor_paint_bench
//
// A 100,000-line HTML document, coloured by the HTML highlighter, in a memo
// of 60 lines by 120 columns ("Courier New", 10 points, measured by the
// platform's Qt measurer) on the offscreen platform:
//   - painting one full screen into an offscreen image;
//   - the time from a key press (key down, character, key up) to the
//     repainted line, typing in the middle of the document.
// And one paragraph of 2 MB of HTML without a break (a minified page),
// wrapped at the same width into thousands of display lines:
//   - painting a full screen at its end;
//   - the caret's x of 60 positions on its last line (OffsetToX), as the
//     selection's ends and the caret ask for it;
//   - a key press near its end to the repainted line (the paragraph is
//     parsed again as a whole).
// And one unwrapped line of 8.8 MB with an inline script in its middle: a
// key press inside the script and one in the markup just before it (the
// key's cost must not grow with the rest of the line), with QScintilla's
// HTML lexer, when installed, doing the same work on the same line as a
// peer.  These print medians with their range.

#include "BenchMemo.h"
#include "GeneratedHtml.h"
#include "bench/BenchMain.h"

#include "editor/CodeMemo.h"
#include "editor/highlight/HtmlHighlighter.h"

#include "platform/gfx/Bitmap.h"
#include "platform/ui/Control.h"
#include "platform/widgets/WidgetPeer.h"

#include <QApplication>
#include <QTest>

#ifdef ONDRILL_HAVE_QSCINTILLA
#include <Qsci/qscilexerhtml.h>
#include <Qsci/qsciscintilla.h>
#endif

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int kLines = 100000;
constexpr int kScreenLines = 60;
constexpr int kScreenColumns = 120;

// Markup lines of about 120 columns: tags, attributes, entities, comments.
std::string MakeDocument() {
    std::mt19937 random(7);
    static const char* const words[] = {"table", "editor", "keeps", "lines", "while", "typing", "moves",
                                        "colour", "gutter", "caret", "scroll", "quickly"};
    std::string text = "<!DOCTYPE html>\r\n<html>\r\n<body>\r\n";
    for (int line = 3; line < kLines - 1; ++line) {
        std::string row;
        switch (random() % 5) {
        case 0:
            row = "<td class=\"cell\" align=right>" + std::to_string(random()) + "&nbsp;</td>";
            break;
        case 1:
            row = "<!-- " + std::string(words[random() % 12]) + " note -->";
            break;
        case 2:
            row = "<a href=\"page" + std::to_string(random() % 1000) + ".html\" title=\"x\">link</a>";
            break;
        default:
            row = "<p>";
            break;
        }
        while (row.size() < kScreenColumns - 8) {
            row += words[random() % 12];
            row += ' ';
        }
        text += row + "\r\n";
    }
    text += "</body></html>";
    return text;
}

// A memo showing a screen of 120 columns and 60 lines of the measured font,
// highlighted as HTML, painted into an offscreen bitmap.
struct TBenchWindow {
    THtmlHighlighter html;
    std::unique_ptr<TCodeMemo> memo;
    TBitmap screen;

    // place scrolls the formatted text and puts the caret where the case
    // wants them.
    TBenchWindow(const std::string& text, bool wordWrap, const std::function<void(TCodeMemo&)>& place) {
        memo = std::make_unique<TCodeMemo>();
        bench::SetBenchFont(*memo);
        memo->SetWordWrap(wordWrap);
        memo->SetBorderStyle(bsNone);
        memo->SetScrollBars(ssNone);
        memo->SetUpdateMode(umImmediate);
        memo->SetHighlighter(&html);
        bench::LoadBytes(*memo, text);
        memo->Show();
        const int charWidth = memo->WindowCanvas().TextWidth("x");
        memo->SetBounds(0, 0, kScreenColumns * charWidth + memo->LeftMargin() + memo->RightMargin(),
                        kScreenLines * memo->LineHeight());
        QApplication::processEvents();
        memo->FormatPending();
        place(*memo);
        memo->SetFocus();
        QApplication::processEvents();
        screen.SetSize(memo->ClientWidth(), memo->ClientHeight());
        screen.SetPixelFormat(pf32bit);
    }
};

// The generated page with its breaks taken out: one paragraph of 2 MB,
// highlighted into a context record every few characters.
std::string MakeLongParagraph() {
    std::string text = bench::MakeHtml(2 * 1024 * 1024);
    std::erase_if(text, [](char c) { return c == '\r' || c == '\n'; });
    return text;
}

// The 2 MB paragraph with an accented letter or an ideogram in every
// word or so: in the code page (the letters only, one byte each) or in
// UTF-8 (the same letters as two bytes, and the ideograms).
std::string MakeAccentedParagraph(bool utf8) {
    std::string text = MakeLongParagraph();
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    size_t letters = 0;
    for (char c : text) {
        if (c >= 'a' && c <= 'z' && ++letters % 7 == 0) {
            // An e with an acute accent, or (in UTF-8) an ideogram.
            out += utf8 ? (letters % 14 == 0 ? "\xE4\xB8\xAD" : "\xC3\xA9") : "\xE9";
            continue;
        }
        out += c;
    }
    return out;
}

// An 8.8 MB line: the generated page without its breaks, an inline script
// in its middle.  scriptAt: the offset of the script's text.
constexpr const char* kScript = "<script>var total = 0; for (var i = 0; i < 10; ++i) total += i;</script>";
std::string MakeScriptLine(int32_t& scriptAt) {
    std::string text = bench::MakeHtml(8800 * 1024);
    std::erase_if(text, [](char c) { return c == '\r' || c == '\n'; });
    const size_t tag = text.find('<', text.size() / 2);
    text.insert(tag, kScript);
    scriptAt = static_cast<int32_t>(tag + std::string_view(kScript).find("total"));
    return text;
}

// Where the markup key goes: a quarter into the line, megabytes before
// the script.
int32_t MarkupAt(int32_t length) { return length / 4; }

// Made on first use, freed before the application goes.
std::unique_ptr<TBenchWindow> scriptWindow;
int32_t scriptAt = 0;
std::unique_ptr<TBenchWindow> window;
std::unique_ptr<TBenchWindow> longWindow;
std::unique_ptr<TBenchWindow> accentedWindows[2];
std::unique_ptr<TBenchWindow> unwrappedWindows[2];

// The accented paragraph, wrapped, the caret in its middle in view.
TBenchWindow& AccentedWindow(bool utf8) {
    std::unique_ptr<TBenchWindow>& made = accentedWindows[utf8 ? 1 : 0];
    if (!made) {
        const std::string text = MakeAccentedParagraph(utf8);
        made = std::make_unique<TBenchWindow>(text, true, [utf8](TCodeMemo& memo) {
            memo.SetEncoding(utf8 ? teUtf8 : teAnsi);
            memo.FormatPending();
            memo.SetSelStart(memo.Document().CharStartAt(memo.TextLength() / 2));
            memo.ScrollInView();
        });
    }
    return *made;
}

// The accented paragraph as the document window starts: unwrapped, one
// display line of 2 MB, the caret at its end and the view scrolled there.
TBenchWindow& UnwrappedWindow(bool utf8) {
    std::unique_ptr<TBenchWindow>& made = unwrappedWindows[utf8 ? 1 : 0];
    if (!made) {
        const std::string text = MakeAccentedParagraph(utf8);
        made = std::make_unique<TBenchWindow>(text, false, [utf8](TCodeMemo& memo) {
            memo.SetEncoding(utf8 ? teUtf8 : teAnsi);
            memo.FormatPending();
            memo.SetSelStart(memo.TextLength());
            memo.ScrollInView();
        });
    }
    return *made;
}

// The 8.8 MB line with the script, unwrapped as the document window
// starts, scrolled to the script.
TBenchWindow& ScriptWindow() {
    if (!scriptWindow) {
        const std::string text = MakeScriptLine(scriptAt);
        scriptWindow = std::make_unique<TBenchWindow>(text, false, [](TCodeMemo& memo) {
            memo.FormatPending();
            memo.SetSelStart(scriptAt);
            memo.ScrollInView();
        });
    }
    return *scriptWindow;
}

// The 100,000-line page, unwrapped, scrolled to its middle.
TBenchWindow& Window() {
    if (!window)
        window = std::make_unique<TBenchWindow>(MakeDocument(), false, [](TCodeMemo& memo) {
            memo.SetTopLine(kLines / 2);
            memo.SetSelStart(memo.ParagraphStart(kLines / 2 + 10) + 20);
        });
    return *window;
}

// The 2 MB paragraph, wrapped, showing its last screen with the caret near
// its end.
TBenchWindow& LongWindow() {
    if (!longWindow)
        longWindow = std::make_unique<TBenchWindow>(MakeLongParagraph(), true, [](TCodeMemo& memo) {
            memo.SetTopLine(std::max(memo.LineCount() - kScreenLines, 0));
            memo.SetSelStart(memo.TextLength() - 10);
        });
    return *longWindow;
}

// Paints the window's whole screen into its bitmap, once per iteration.
void PaintScreens(benchmark::State& state, TBenchWindow& window) {
    for (auto _ : state) {
        window.memo->Perform(WM_PAINT, reinterpret_cast<WPARAM>(&window.screen.Canvas()));
        window.screen.Canvas().Release();
        benchmark::ClobberMemory();
    }
}

void BM_PaintFullScreen(benchmark::State& state) {
    TBenchWindow& window = Window();
    PaintScreens(state, window);
    state.counters["lines"] = kScreenLines;
}
BENCHMARK(BM_PaintFullScreen)->Unit(benchmark::kMicrosecond);

// One key press, key down to key up, and the repaint it asks for: an x
// typed, or a backspace that takes it back, so that typing and deleting in
// turn keep the document as it was.
void PressKey(TCodeMemo& memo, bool type) {
    const uint16_t key = type ? uint16_t{'X'} : uint16_t{VK_BACK};
    memo.Perform(WM_KEYDOWN, key, 1);
    if (type)
        memo.Perform(WM_CHAR, 'x', 1);
    memo.Perform(WM_KEYUP, key, static_cast<LPARAM>(1u | KF_PREVIOUS_BIT | KF_UP_BIT));
    memo.Update();
}

// Mean microseconds of the key press benchmarks, for the summary.
std::map<std::string, double>& Results() {
    static std::map<std::string, double> results;
    return results;
}

// Each key's microseconds, for the cases the summary gives as medians.
std::map<std::string, std::vector<double>>& Samples() {
    static std::map<std::string, std::vector<double>> samples;
    return samples;
}

// Presses keys in turn (typing and taking back) for the state's iterations.
void PressKeys(benchmark::State& state, TCodeMemo& memo, const char* name) {
    bool type = true;
    double total = 0;
    std::vector<double>& samples = Samples()[name];
    samples.clear();
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        PressKey(memo, type);
        const double took = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
        total += took;
        samples.push_back(took);
        type = !type;
    }
    if (state.iterations() > 0)
        Results()[name] = total / static_cast<double>(state.iterations());
}

void BM_KeyPressToRepaintedLine(benchmark::State& state) { PressKeys(state, *Window().memo, "short line"); }
BENCHMARK(BM_KeyPressToRepaintedLine)->Unit(benchmark::kMicrosecond);

void BM_PaintEndOfLongParagraph(benchmark::State& state) {
    TBenchWindow& window = LongWindow();
    PaintScreens(state, window);
    state.counters["display_lines"] = window.memo->LineCount();
    state.counters["contexts"] = static_cast<double>(window.memo->Paragraph(0)->Contexts.Count());
}
BENCHMARK(BM_PaintEndOfLongParagraph)->Unit(benchmark::kMicrosecond);

void BM_OffsetToXOnLastLineOfLongParagraph(benchmark::State& state) {
    TCodeMemo& memo = *LongWindow().memo;
    TParagraph* paragraph = memo.Paragraph(0);
    const int32_t lastLine = paragraph->LineCount() - 1;
    for (auto _ : state) {
        int64_t sum = 0;
        for (int32_t column = 0; column < 60; ++column)
            sum += memo.OffsetToX(paragraph, 0, lastLine, column);
        benchmark::DoNotOptimize(sum);
    }
    state.counters["contexts"] = static_cast<double>(paragraph->Contexts.Count());
}
BENCHMARK(BM_OffsetToXOnLastLineOfLongParagraph)->Unit(benchmark::kMicrosecond);

void BM_KeyPressAtEndOfLongParagraph(benchmark::State& state) {
    PressKeys(state, *LongWindow().memo, "end of the 2 MB line");
}
BENCHMARK(BM_KeyPressAtEndOfLongParagraph)->Unit(benchmark::kMicrosecond);

// The caret in the middle of the 2 MB line, the view scrolled to it.
void BM_KeyPressInMiddleOfLongParagraph(benchmark::State& state) {
    TCodeMemo& memo = *LongWindow().memo;
    memo.SetSelStart(memo.TextLength() / 2);
    memo.ScrollInView();
    PressKeys(state, memo, "middle of the 2 MB line");
    memo.SetTopLine(std::max(memo.LineCount() - kScreenLines, 0));
    memo.SetSelStart(memo.TextLength() - 10);
}
BENCHMARK(BM_KeyPressInMiddleOfLongParagraph)->Unit(benchmark::kMicrosecond);

// The same key in the middle of the accented 2 MB line, read in the code
// page and in UTF-8.
void BM_KeyPressInMiddleOfAccentedLine(benchmark::State& state) {
    const bool utf8 = state.range(0) == 1;
    PressKeys(state, *AccentedWindow(utf8).memo, utf8 ? "middle of a UTF-8 line" : "middle of an 8-bit line");
}
BENCHMARK(BM_KeyPressInMiddleOfAccentedLine)->ArgName("utf8")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The same key at the end of the unwrapped line, and at its middle (the
// view scrolled there), in the code page and in UTF-8.
void BM_KeyPressInUnwrappedLine(benchmark::State& state) {
    const bool utf8 = state.range(0) == 1;
    const bool middle = state.range(1) == 1;
    TCodeMemo& memo = *UnwrappedWindow(utf8).memo;
    if (middle) {
        memo.SetSelStart(memo.Document().CharStartAt(memo.TextLength() / 2));
        memo.ScrollInView();
    }
    PressKeys(state, memo,
              middle ? (utf8 ? "middle of an unwrapped UTF-8 line" : "middle of an unwrapped 8-bit line")
                     : (utf8 ? "end of an unwrapped UTF-8 line" : "end of an unwrapped 8-bit line"));
    memo.SetSelStart(memo.TextLength());
    memo.ScrollInView();
}
BENCHMARK(BM_KeyPressInUnwrappedLine)
    ->ArgNames({"utf8", "middle"})
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

// A key inside the inline script of the 8.8 MB line, and one in its
// markup far from the script.
void BM_KeyPressInScriptOfLongLine(benchmark::State& state) {
    const bool inScript = state.range(0) == 1;
    TCodeMemo& memo = *ScriptWindow().memo;
    memo.SetSelStart(inScript ? scriptAt : MarkupAt(memo.TextLength()));
    memo.ScrollInView();
    PressKeys(state, memo, inScript ? "script in an 8.8 MB line" : "markup in an 8.8 MB line");
}
BENCHMARK(BM_KeyPressInScriptOfLongLine)->ArgName("in_script")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

#ifdef ONDRILL_HAVE_QSCINTILLA
// The peer on the same line: the same keys at the same places, each to the
// repainted view.
void BM_PeerKeyPressInScriptOfLongLine(benchmark::State& state) {
    const bool inScript = state.range(0) == 1;
    int32_t at = 0;
    const std::string text = MakeScriptLine(at);
    if (!inScript)
        at = MarkupAt(static_cast<int32_t>(text.size()));
    QsciScintilla editor;
    QsciLexerHTML lexer;
    editor.setLexer(&lexer);
    editor.setFont(QFont("Courier New", 10));
    lexer.setFont(QFont("Courier New", 10));
    editor.resize(kScreenColumns * 8 + 16, kScreenLines * 16);
    editor.show();
    editor.SendScintilla(QsciScintillaBase::SCI_SETTEXT, 0UL, text.c_str());
    editor.SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L);
    editor.SendScintilla(QsciScintillaBase::SCI_GOTOPOS, static_cast<unsigned long>(at));
    editor.setFocus();
    QApplication::processEvents();
    // The first keys lay the line out: they are not the case.
    for (Qt::Key key : {Qt::Key_X, Qt::Key_Backspace}) {
        QTest::keyClick(editor.viewport(), key);
        editor.viewport()->repaint();
    }
    std::vector<double>& samples = Samples()[inScript ? "peer: script in an 8.8 MB line" : "peer: markup in an 8.8 MB line"];
    samples.clear();
    bool type = true;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (type)
            QTest::keyClick(editor.viewport(), Qt::Key_X);
        else
            QTest::keyClick(editor.viewport(), Qt::Key_Backspace);
        editor.viewport()->repaint();
        samples.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
        type = !type;
    }
    editor.setLexer(nullptr);
}
BENCHMARK(BM_PeerKeyPressInScriptOfLongLine)
    ->ArgName("in_script")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(4);
#endif

// Painting the screen at the end of the unwrapped line: one display line
// scrolled some 16 million pixels to the right.
void BM_PaintEndOfUnwrappedLine(benchmark::State& state) {
    TBenchWindow& window = UnwrappedWindow(state.range(0) == 1);
    PaintScreens(state, window);
    state.counters["left_pixel"] = window.memo->LeftPixel();
}
BENCHMARK(BM_PaintEndOfUnwrappedLine)->ArgName("utf8")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The caret's x of 60 positions near the end of the unwrapped line.
void BM_OffsetToXAtEndOfUnwrappedLine(benchmark::State& state) {
    TCodeMemo& memo = *UnwrappedWindow(state.range(0) == 1).memo;
    TParagraph* paragraph = memo.Paragraph(0);
    const int32_t end = paragraph->Length();
    for (auto _ : state) {
        int64_t sum = 0;
        for (int32_t back = 0; back < 60; ++back)
            sum += memo.OffsetToX(paragraph, 0, 0, end - back);
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_OffsetToXAtEndOfUnwrappedLine)->ArgName("utf8")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The median of a case's keys, with their range.
void PrintMedian(const char* name, double shortLine) {
    auto found = Samples().find(name);
    if (found == Samples().end() || found->second.empty())
        return;
    std::vector<double> keys = found->second;
    std::sort(keys.begin(), keys.end());
    const double median = keys[keys.size() / 2];
    std::printf("  %-34s %10.1f us (%.1f-%.1f)", name, median, keys.front(), keys.back());
    if (shortLine > 0)
        std::printf("   ratio %6.2f", median / shortLine);
    std::printf("\n");
}

void PrintSummary() {
    std::map<std::string, double>& results = Results();
    if (Samples().count("script in an 8.8 MB line") != 0) {
        std::vector<double> shortKeys = Samples()["short line"];
        std::sort(shortKeys.begin(), shortKeys.end());
        const double shortLine = shortKeys.empty() ? 0 : shortKeys[shortKeys.size() / 2];
        std::printf("\nKey press to repainted line, medians with their range (ratio to the short-line key):\n");
        PrintMedian("short line", shortLine);
        for (const char* key : {"markup in an 8.8 MB line", "script in an 8.8 MB line",
                                "peer: markup in an 8.8 MB line", "peer: script in an 8.8 MB line"})
            PrintMedian(key, shortLine);
        for (const char* key : {"markup in an 8.8 MB line", "script in an 8.8 MB line"}) {
            auto ours = Samples().find(key);
            auto peer = Samples().find(std::string("peer: ") + key);
            if (ours == Samples().end() || peer == Samples().end() || ours->second.empty() || peer->second.empty())
                continue;
            std::vector<double> a = ours->second;
            std::vector<double> b = peer->second;
            std::sort(a.begin(), a.end());
            std::sort(b.begin(), b.end());
            std::printf("  %-34s ours / peer %.2g (below 1 is faster)\n", key, a[a.size() / 2] / b[b.size() / 2]);
        }
    }
    auto shortLine = results.find("short line");
    if (shortLine == results.end())
        return;
    std::printf("\nKey press to repainted line (ours / the same key in a short line):\n");
    std::printf("  %-34s %10.1f us\n", shortLine->first.c_str(), shortLine->second);
    for (const char* key : {"end of the 2 MB line", "middle of the 2 MB line", "end of an unwrapped 8-bit line",
                            "middle of an unwrapped 8-bit line", "end of an unwrapped UTF-8 line",
                            "middle of an unwrapped UTF-8 line"}) {
        auto found = results.find(key);
        if (found != results.end())
            std::printf("  %-34s %10.1f us   ratio %6.2f\n", key, found->second, found->second / shortLine->second);
    }
    auto utf8 = results.find("middle of a UTF-8 line");
    auto codePage = results.find("middle of an 8-bit line");
    if (utf8 != results.end() && codePage != results.end())
        std::printf("\nThe same key in the middle of a 2 MB accented line: UTF-8 %.1f us, 8-bit %.1f us, "
                    "ratio %.2f (UTF-8 / 8-bit; at most 1.2 wanted)\n",
                    utf8->second, codePage->second, utf8->second / codePage->second);
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    InstallWidgetPeers();
    const int result = RunBenchmarks(argc, argv);
    if (result == 0)
        PrintSummary();
    window.reset();
    longWindow.reset();
    scriptWindow.reset();
    for (auto& accented : accentedWindows)
        accented.reset();
    for (auto& unwrapped : unwrappedWindows)
        unwrapped.reset();
    return result;
}
