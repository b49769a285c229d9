// Benchmarks of the document window in the main window (offscreen).
//
//   build/bench/app_document_bench
//
// - Opening a 10 MB page into a document window to its first painted
//   screen (OpenDocumentFile, then the editor painted), beside QScintilla
//   with its HTML lexer taking the same bytes and painting (when it is
//   installed; else QPlainTextEdit).
// - Switching a 1 MB page to the design view until the view reports the
//   document complete, beside the web engine's own view loading the same
//   page on its own.
// - The resident memory each open 1 MB document adds (eight opened, measured
//   first, before larger pages have grown the heap), beside the peer editor
//   holding the same text.
// - Keys at the end of a 2 MB page without a line break (typing, Backspace,
//   End), from the key event to the repainted window, beside the memo alone
//   on the same line: what the document and main windows add per key.

#include "bench/BenchMain.h"
#include "bench/editor/GeneratedHtml.h"

#include "app/ApplicationClasses.h"
#include "app/DesignLink.h"
#include "app/EditForm.h"
#include "app/FrameForm.h"
#include "toolbars/TBItem.h"

#include "editor/CodeMemo.h"
#include "editor/highlight/HtmlHighlighter.h"
#include "platform/base/ProgramFolder.h"
#include "platform/base/Stream.h"
#include "platform/ui/Application.h"
#include "platform/ui/PageControls.h"
#include "platform/widgets/WidgetPeer.h"

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTimer>
#include <QWebEngineView>

#ifdef ONDRILL_HAVE_QSCINTILLA
#include <Qsci/qscilexerhtml.h>
#include <Qsci/qsciscintilla.h>
#endif

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <malloc.h>
#include <memory>

namespace {

std::map<std::string, double>& Results() {
    static std::map<std::string, double> results;
    return results;
}

double Milliseconds(std::chrono::steady_clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

long ResidentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return 0;
}

template <typename Predicate> void WaitFor(Predicate done) {
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    check.start(1);
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);
    if (!done())
        loop.exec();
}

// A folder of the benchmark's own for the program's data and the pages.
const std::filesystem::path& Folder() {
    static const std::filesystem::path folder = [] {
        auto path = std::filesystem::temp_directory_path() / ("ondrill-app-bench-" + std::to_string(getpid()));
        std::filesystem::create_directories(path / "data");
        std::filesystem::create_directories(path / "config");
        SetProgramFolder(path.string());
        setenv("XDG_CONFIG_HOME", (path / "config").c_str(), 1);
        return path;
    }();
    return folder;
}

std::string PageFile(const char* name, size_t bytes) {
    std::string file = (Folder() / name).string();
    if (!std::filesystem::exists(file))
        std::ofstream(file, std::ios::binary) << bench::MakeHtml(bytes);
    return file;
}

Tframeform& MainWindow() {
    if (frameform == nullptr) {
        Folder();
        RegisterApplicationClasses();
        auto* frame = new Tframeform(&Application());
        Application().SetMainForm(frame);
        frame->SetBounds(0, 0, 1280, 900);
        frame->Show();
        QApplication::processEvents();
    }
    return *frameform;
}

void CloseAll() {
    while (frameform->MDIChildCount() > 0)
        delete frameform->MDIChildren(frameform->MDIChildCount() - 1);
    QApplication::processEvents();
}

// ---------------------------------------------------------------------------
// Memory first, before larger pages have grown the heap.

constexpr int kDocuments = 8;

void BM_MemoryPerDocument(benchmark::State& state) {
    Tframeform& frame = MainWindow();
    const std::string file = PageFile("one.html", 1 << 20);
    for (auto _ : state) {
        CloseAll();
        malloc_trim(0);
        const long before = ResidentKilobytes();
        for (int i = 0; i < kDocuments; ++i) {
            frame.OpenDocumentFile(file);
            QApplication::processEvents();
        }
        const long after = ResidentKilobytes();
        Results()["memory per 1 MB document ours (KB)"] = static_cast<double>(after - before) / kDocuments;
        CloseAll();
    }
}
BENCHMARK(BM_MemoryPerDocument)->Iterations(1);

void BM_PeerMemoryPerDocument(benchmark::State& state) {
    const std::string file = PageFile("one.html", 1 << 20);
    std::ifstream in(file, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    for (auto _ : state) {
        malloc_trim(0);
        const long before = ResidentKilobytes();
#ifdef ONDRILL_HAVE_QSCINTILLA
        std::vector<std::unique_ptr<QsciScintilla>> editors;
        QsciLexerHTML lexer;
#else
        std::vector<std::unique_ptr<QPlainTextEdit>> editors;
#endif
        for (int i = 0; i < kDocuments; ++i) {
#ifdef ONDRILL_HAVE_QSCINTILLA
            auto editor = std::make_unique<QsciScintilla>();
            editor->setLexer(&lexer);
            editor->setText(QString::fromLatin1(text.data(), static_cast<int>(text.size())));
#else
            auto editor = std::make_unique<QPlainTextEdit>();
            editor->setPlainText(QString::fromLatin1(text.data(), static_cast<int>(text.size())));
#endif
            editor->resize(1000, 700);
            editor->show();
            QApplication::processEvents();
            editors.push_back(std::move(editor));
        }
        const long after = ResidentKilobytes();
        Results()["memory per 1 MB document peer (KB)"] = static_cast<double>(after - before) / kDocuments;
    }
}
BENCHMARK(BM_PeerMemoryPerDocument)->Iterations(1);

// ---------------------------------------------------------------------------

void BM_OpenTenMegabytes(benchmark::State& state) {
    Tframeform& frame = MainWindow();
    const std::string file = PageFile("ten.html", 10 << 20);
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        TEditForm* document = frame.OpenDocumentFile(file);
        document->Editor->Update();
        total += Milliseconds(std::chrono::steady_clock::now() - start);
        state.PauseTiming();
        CloseAll();
        state.ResumeTiming();
    }
    Results()["open 10 MB ours"] = total / static_cast<double>(state.iterations());
}
BENCHMARK(BM_OpenTenMegabytes)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_PeerOpenTenMegabytes(benchmark::State& state) {
    const std::string file = PageFile("ten.html", 10 << 20);
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        std::ifstream in(file, std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(in)), {});
#ifdef ONDRILL_HAVE_QSCINTILLA
        QsciScintilla editor;
        QsciLexerHTML lexer;
        editor.setLexer(&lexer);
        editor.setMarginLineNumbers(0, true);
        editor.setText(QString::fromLatin1(text.data(), static_cast<int>(text.size())));
#else
        QPlainTextEdit editor;
        editor.setPlainText(QString::fromLatin1(text.data(), static_cast<int>(text.size())));
#endif
        editor.resize(1000, 700);
        editor.show();
        editor.repaint();
        total += Milliseconds(std::chrono::steady_clock::now() - start);
        state.PauseTiming();
        editor.close();
        state.ResumeTiming();
    }
    Results()["open 10 MB peer"] = total / static_cast<double>(state.iterations());
}
BENCHMARK(BM_PeerOpenTenMegabytes)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_DesignViewOneMegabyte(benchmark::State& state) {
    Tframeform& frame = MainWindow();
    const std::string file = PageFile("one.html", 1 << 20);
    double total = 0;
    for (auto _ : state) {
        state.PauseTiming();
        TEditForm* document = frame.OpenDocumentFile(file);
        QApplication::processEvents();
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        // The user picks the Design tab.
        bool allow = true;
        document->PageControl1Changing(document->PageControl1, allow);
        document->PageControl1->SetActivePageIndex(1);
        document->PageControl1Change(document->PageControl1);
        WaitFor([&] { return document->DesignReady(); });
        total += Milliseconds(std::chrono::steady_clock::now() - start);
        state.PauseTiming();
        if (!document->DesignReady())
            state.SkipWithError("the design view never completed");
        CloseAll();
        state.ResumeTiming();
    }
    Results()["design 1 MB ours"] = total / static_cast<double>(state.iterations());
}
BENCHMARK(BM_DesignViewOneMegabyte)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_PeerDesignViewOneMegabyte(benchmark::State& state) {
    const std::string file = PageFile("one.html", 1 << 20);
    std::ifstream in(file, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    double total = 0;
    for (auto _ : state) {
        QWebEngineView view;
        view.resize(1000, 700);
        view.show();
        bool loaded = false;
        QObject::connect(&view, &QWebEngineView::loadFinished, [&](bool) { loaded = true; });
        const auto start = std::chrono::steady_clock::now();
        view.setHtml(QString::fromLatin1(text.data(), static_cast<int>(text.size())),
                     QUrl::fromLocalFile(QString::fromStdString(Folder().string() + "/")));
        WaitFor([&] { return loaded; });
        total += Milliseconds(std::chrono::steady_clock::now() - start);
    }
    Results()["design 1 MB peer"] = total / static_cast<double>(state.iterations());
}
BENCHMARK(BM_PeerDesignViewOneMegabyte)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// ---------------------------------------------------------------------------
// Keys at the end of a 2 MB page without a line break (a minified page),
// from the key event to the repainted window: the whole document window in
// the main window (status bar, commands, tab strip around the editor)
// beside the memo alone with the same text, font, size and highlighter.

std::string LongLinePage() {
    std::string text = bench::MakeHtml(2 << 20);
    std::erase_if(text, [](char c) { return c == '\r' || c == '\n'; });
    return text;
}

// One key, press and release, sent to the widget with the keyboard focus
// as the window system would, then every paint it asked for.
void PressKey(int key, const QString& text) {
    QWidget* target = QApplication::focusWidget();
    if (target == nullptr)
        return;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &release);
    QApplication::sendPostedEvents();
    QApplication::processEvents();
}

// The word-wrap option of a case: 0 as the program starts (one display
// line of 2 MB), 1 wrapped at the window's width.
bool Wrapped(const benchmark::State& state) { return state.range(0) != 0; }

// Times typing an x, taking it back with Backspace, and End from the
// line's start (Home untimed), in turn; means in milliseconds under name.
void TimeKeys(benchmark::State& state, TCodeMemo& memo, std::string name) {
    name += Wrapped(state) ? ", wrapped" : "";
    double typed = 0;
    double erased = 0;
    double ended = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        PressKey(Qt::Key_X, "x");
        typed += Milliseconds(std::chrono::steady_clock::now() - start);
        start = std::chrono::steady_clock::now();
        PressKey(Qt::Key_Backspace, {});
        erased += Milliseconds(std::chrono::steady_clock::now() - start);
        state.PauseTiming();
        PressKey(Qt::Key_Home, {});
        state.ResumeTiming();
        start = std::chrono::steady_clock::now();
        PressKey(Qt::Key_End, {});
        ended += Milliseconds(std::chrono::steady_clock::now() - start);
    }
    if (memo.SelStart() != memo.TextLength())
        state.SkipWithError("the keys did not reach the editor");
    const auto n = static_cast<double>(state.iterations());
    Results()["key at end of 2 MB line " + name] = typed / n;
    Results()["Backspace at end of 2 MB line " + name] = erased / n;
    Results()["End on 2 MB line " + name] = ended / n;
}

void BM_KeysAtEndOfLongLine(benchmark::State& state) {
    Tframeform& frame = MainWindow();
    const std::string file = (Folder() / "long.html").string();
    std::ofstream(file, std::ios::binary) << LongLinePage();
    frame.Item("wordwrapitem")->SetChecked(Wrapped(state));
    TEditForm* document = frame.OpenDocumentFile(file);
    QApplication::processEvents();
    document->Editor->SetSelStart(document->Editor->TextLength());
    document->Editor->SetFocus();
    QApplication::processEvents();
    TimeKeys(state, *document->Editor, "ours");
    CloseAll();
}
BENCHMARK(BM_KeysAtEndOfLongLine)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(20)->UseRealTime();

void BM_PeerKeysAtEndOfLongLine(benchmark::State& state) {
    // The memo alone, made as the document window makes its editor.
    Tframeform& frame = MainWindow();
    TEditForm* document = frame.OpenDocumentFile(PageFile("one.html", 1024));
    QApplication::processEvents();
    const int width = document->Editor->Width();
    const int height = document->Editor->Height();
    TCodeMemo memo;
    memo.Font().Assign(&document->Editor->Font());
    memo.SetColor(document->Editor->Color());
    memo.SetOptions(document->Editor->Options());
    memo.SetLeftMargin(document->Editor->LeftMargin());
    memo.SetWordWrap(Wrapped(state));
    memo.SetJustified(document->Editor->Justified);
    memo.SetTabStops(document->Editor->TabStops());
    memo.SetScrollBars(document->Editor->ScrollBars());
    memo.SetCaretWidth(document->Editor->CaretWidth);
    memo.SetSeparators(std::string("\t \"#,.:;<=>"));
    memo.SetHighlighter(frame.htmlcoder);
    CloseAll();
    const std::string text = LongLinePage();
    TReadOnlyMemoryStream stream(text.data(), static_cast<int64_t>(text.size()));
    memo.LoadFromStream(stream);
    memo.SetBounds(0, 0, width, height);
    memo.Show();
    QApplication::processEvents();
    memo.SetSelStart(memo.TextLength());
    memo.SetFocus();
    QApplication::processEvents();
    TimeKeys(state, memo, "peer");
}
BENCHMARK(BM_PeerKeysAtEndOfLongLine)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(20)->UseRealTime();

void PrintSummary() {
    auto& r = Results();
    auto ratio = [&](const char* ours, const char* peer) {
        if (r.count(ours) && r.count(peer) && r[peer] > 0)
            std::printf("%-46s %10.2f   peer %10.2f   ratio %.2f\n", ours, r[ours], r[peer], r[ours] / r[peer]);
    };
    std::printf("\n");
    ratio("open 10 MB ours", "open 10 MB peer");
    ratio("design 1 MB ours", "design 1 MB peer");
    ratio("memory per 1 MB document ours (KB)", "memory per 1 MB document peer (KB)");
    for (const char* wrapped : {"", ", wrapped"})
        for (const char* key : {"key at end of 2 MB line", "Backspace at end of 2 MB line", "End on 2 MB line"})
            ratio((std::string(key) + " ours" + wrapped).c_str(), (std::string(key) + " peer" + wrapped).c_str());
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
    Application().Initialize(argc, argv);
    const int result = RunBenchmarks(argc, argv);
    PrintSummary();
    if (frameform != nullptr) {
        CloseAll();
        delete frameform;
    }
    std::error_code ignored;
    std::filesystem::remove_all(Folder(), ignored);
    return result;
}
