// Benchmarks of the main window's commands (offscreen).
//
//   build/bench/app_commands_bench
//
// - Replace All of a frequent word ("editor", one word in fourteen of the
//   text) in a 10 MB page open in a document window, as one undo step
//   (checked: one Undo gives the page back), beside QScintilla replacing
//   the same matches through its search target inside one undo action
//   (with its change notices silenced meanwhile, without which its loop
//   is quadratic).
// - Printing a 100,000-line page to PDF (the Print command's pagination
//   and drawing), beside Qt's text document printing the same lines.
// - Start-up to an idle main window with a 100 KB page open (splash, main
//   window with its bars and panes, the page in a document window, the
//   events handled), beside a Qt main window with the same furniture
//   (splash, menus, eleven toolbars, a tool window with a folder tree and
//   lists, status bar, tab bar) and QScintilla holding the same page.

#include "bench/BenchMain.h"
#include "bench/editor/GeneratedHtml.h"

#include "app/ApplicationClasses.h"
#include "app/DocumentPrinting.h"
#include "app/EditForm.h"
#include "app/FindReplace.h"
#include "app/FrameForm.h"
#include "app/Startup.h"
#include "tests/app/MainWindowLifetime.h"

#include "editor/CodeMemo.h"
#include "platform/base/ProgramFolder.h"
#include "platform/ui/Application.h"
#include "platform/ui/Printers.h"
#include "platform/ui/UserInteraction.h"

#include <QApplication>
#include <QDir>
#include <QDockWidget>
#include <QFileSystemModel>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSplashScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBar>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QPageLayout>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QTextDocument>

#include <Qsci/qscilexerhtml.h>
#include <Qsci/qsciscintilla.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>

namespace {

namespace fs = std::filesystem;

std::map<std::string, double>& Results() {
    static std::map<std::string, double> results;
    return results;
}

double Milliseconds(std::chrono::steady_clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

// A program folder of the benchmark's own, with the pictures the program
// shows at start-up.
const fs::path& Folder() {
    static const fs::path folder = [] {
        const fs::path built = fs::path(ProgramFolder()) / ".." / "bin" / "images";
        auto path = fs::temp_directory_path() / ("ondrill-commands-bench-" + std::to_string(getpid()));
        fs::create_directories(path / "data");
        fs::create_directories(path / "config");
        std::error_code ignored;
        fs::copy(built, path / "images", fs::copy_options::recursive, ignored);
        SetProgramFolder(path.string());
        setenv("XDG_CONFIG_HOME", (path / "config").c_str(), 1);
        return path;
    }();
    return folder;
}

std::string ReadFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

std::string PageFile(const char* name, size_t bytes) {
    const std::string file = (Folder() / name).string();
    if (!fs::exists(file))
        std::ofstream(file, std::ios::binary) << bench::MakeHtml(bytes);
    return file;
}

// The same number of lines, each a few words of markup.
std::string LinesFile(int lines) {
    const std::string file = (Folder() / "lines.html").string();
    if (!fs::exists(file)) {
        std::ofstream out(file, std::ios::binary);
        for (int i = 0; i < lines; ++i)
            out << "<TR><TD>row " << i << "</TD><TD>printed cell</TD></TR>\r\n";
    }
    return file;
}

// The main window once, as start-up makes it but without the splash.
Tframeform& MainWindow() {
    if (frameform == nullptr) {
        Folder();
        RegisterApplicationClasses();
        StartMainWindow()->SetBounds(0, 0, 1280, 900);
        QApplication::processEvents();
    }
    return *frameform;
}

void CloseAll() {
    FreeDocuments();
    QApplication::processEvents();
}

// ---------------------------------------------------------------------------
// Replace All

constexpr const char* kWord = "editor";
constexpr const char* kReplacement = "program";

void BM_ReplaceAllTenMegabytes(benchmark::State& state) {
    Tframeform& frame = MainWindow();
    const std::string file = PageFile("ten.html", 10 << 20);
    const std::string original = ReadFile(file);
    double total = 0;
    int replaced = 0;
    for (auto _ : state) {
        state.PauseTiming();
        TEditForm* document = frame.OpenDocumentFile(file);
        QApplication::processEvents();
        TCodeMemo& editor = *document->Editor;
        editor.SetSelStart(0);
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        replaced = ReplaceEveryMatch(editor, {kWord, frDown | frMatchCase}, kReplacement);
        editor.Update();
        total += Milliseconds(std::chrono::steady_clock::now() - start);
        state.PauseTiming();
        editor.Undo();
        if (document->Text().Bytes() != original)
            state.SkipWithError("one undo did not give the page back");
        CloseAll();
        state.ResumeTiming();
    }
    Results()["replace all 10 MB ours (ms)"] = total / static_cast<double>(state.iterations());
    state.counters["replaced"] = replaced;
}
BENCHMARK(BM_ReplaceAllTenMegabytes)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_PeerReplaceAllTenMegabytes(benchmark::State& state) {
    const std::string text = ReadFile(PageFile("ten.html", 10 << 20));
    double total = 0;
    long replaced = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QsciScintilla editor;
        QsciLexerHTML lexer;
        editor.setLexer(&lexer);
        editor.setText(QString::fromLatin1(text.data(), static_cast<int>(text.size())));
        editor.resize(1000, 700);
        editor.show();
        QApplication::processEvents();
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        const std::string word = kWord, replacement = kReplacement;
        // The widget's handling of each change notice makes the loop
        // quadratic; an editor replacing everything silences it meanwhile.
        const long mask = editor.SendScintilla(QsciScintillaBase::SCI_GETMODEVENTMASK);
        editor.SendScintilla(QsciScintillaBase::SCI_SETMODEVENTMASK, 0UL);
        editor.beginUndoAction();
        editor.SendScintilla(QsciScintillaBase::SCI_SETSEARCHFLAGS, QsciScintillaBase::SCFIND_MATCHCASE);
        long from = 0;
        replaced = 0;
        for (;;) {
            const long end = editor.SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
            editor.SendScintilla(QsciScintillaBase::SCI_SETTARGETSTART, from);
            editor.SendScintilla(QsciScintillaBase::SCI_SETTARGETEND, end);
            if (editor.SendScintilla(QsciScintillaBase::SCI_SEARCHINTARGET, word.size(), word.c_str()) < 0)
                break;
            editor.SendScintilla(QsciScintillaBase::SCI_REPLACETARGET, replacement.size(), replacement.c_str());
            from = editor.SendScintilla(QsciScintillaBase::SCI_GETTARGETEND);
            ++replaced;
        }
        editor.endUndoAction();
        editor.SendScintilla(QsciScintillaBase::SCI_SETMODEVENTMASK, static_cast<unsigned long>(mask));
        editor.repaint();
        total += Milliseconds(std::chrono::steady_clock::now() - start);
    }
    Results()["replace all 10 MB peer (ms)"] = total / static_cast<double>(state.iterations());
    state.counters["replaced"] = static_cast<double>(replaced);
}
BENCHMARK(BM_PeerReplaceAllTenMegabytes)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// ---------------------------------------------------------------------------
// Printing

constexpr int kPrintedLines = 100000;

void BM_PrintHundredThousandLines(benchmark::State& state) {
    Tframeform& frame = MainWindow();
    const std::string file = LinesFile(kPrintedLines);
    const std::string pdf = (Folder() / "ours.pdf").string();
    double total = 0;
    for (auto _ : state) {
        state.PauseTiming();
        TEditForm* document = frame.OpenDocumentFile(file);
        QApplication::processEvents();
        Printer().SetOutputFileName(pdf);
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        document->FilePrintSetupItemClick(document);
        total += Milliseconds(std::chrono::steady_clock::now() - start);
        state.PauseTiming();
        Printer().SetOutputFileName({});
        CloseAll();
        state.ResumeTiming();
    }
    Results()["print 100,000 lines ours (ms)"] = total / static_cast<double>(state.iterations());
    state.counters["pdf KB"] = static_cast<double>(fs::file_size(pdf)) / 1024;
}
BENCHMARK(BM_PrintHundredThousandLines)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

void BM_PeerPrintHundredThousandLines(benchmark::State& state) {
    const std::string text = ReadFile(LinesFile(kPrintedLines));
    const std::string pdf = (Folder() / "peer.pdf").string();
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        QTextDocument document;
        QFont font("Courier New");
        font.setPixelSize(12);
        document.setDefaultFont(font);
        document.setPlainText(QString::fromLatin1(text.data(), static_cast<int>(text.size())));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
        printer.setResolution(96);
        document.print(&printer);
        total += Milliseconds(std::chrono::steady_clock::now() - start);
    }
    Results()["print 100,000 lines peer (ms)"] = total / static_cast<double>(state.iterations());
    state.counters["pdf KB"] = static_cast<double>(fs::file_size(pdf)) / 1024;
}
BENCHMARK(BM_PeerPrintHundredThousandLines)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

// ---------------------------------------------------------------------------
// Start-up

void BM_StartUpWithADocument(benchmark::State& state) {
    // A main window of its own each time: none may be left from before.
    FreeMainWindow();
    const std::string file = PageFile("page.html", 100 << 10);
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        Tframeform* frame = StartUp({file}, Folder().string());
        QApplication::processEvents();
        total += Milliseconds(std::chrono::steady_clock::now() - start);
        state.PauseTiming();
        if (frame == nullptr || frame->MDIChildCount() != 1)
            state.SkipWithError("start-up opened no document");
        FreeMainWindow();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    Results()["start-up to idle ours (ms)"] = total / static_cast<double>(state.iterations());
}
BENCHMARK(BM_StartUpWithADocument)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void BM_PeerStartUpWithADocument(benchmark::State& state) {
    const std::string file = PageFile("page.html", 100 << 10);
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        {
            // The same furniture: a splash, eight menus, eleven toolbars of
            // buttons with pictures, a tool window of four pages (a grid,
            // a folder tree over a file list, a report list, a list), a
            // tab bar, a status bar of eight panels, and the page in an
            // editor with its HTML lexer and line numbers.
            QSplashScreen splash(QPixmap(350, 263));
            splash.show();
            QApplication::processEvents();
            QMainWindow window;
            QPixmap picture(16, 16);
            picture.fill(Qt::darkCyan);
            const QIcon icon(picture);
            for (const char* menu : {"&File", "Edit", "Reopen", "Project", "Options", "Insert", "View", "Help"}) {
                QMenu* made = window.menuBar()->addMenu(menu);
                for (int i = 0; i < 12; ++i)
                    made->addAction(icon, QString("Item %1").arg(i));
            }
            for (int bar = 0; bar < 11; ++bar) {
                QToolBar* toolbar = window.addToolBar(QString("Bar %1").arg(bar));
                for (int i = 0; i < 10; ++i)
                    toolbar->addAction(icon, QString("Button %1").arg(i));
            }
            auto* dock = new QDockWidget("Tools", &window);
            auto* pages = new QTabWidget(dock);
            pages->setTabPosition(QTabWidget::South);
            pages->addTab(new QTableWidget(0, 2), "Code Inspector");
            auto* explorer = new QSplitter(Qt::Vertical);
            auto* model = new QFileSystemModel(explorer);
            model->setRootPath(QDir::homePath());
            auto* tree = new QTreeView(explorer);
            tree->setModel(model);
            auto* files = new QListView(explorer);
            files->setModel(model);
            files->setRootIndex(model->index(QDir::homePath()));
            pages->addTab(explorer, "File Explorer");
            auto* projects = new QTreeWidget;
            projects->setHeaderLabels({"File", "Modified", "Size", "Path"});
            pages->addTab(projects, "Project Manager");
            pages->addTab(new QListWidget, "Quick Codes");
            dock->setWidget(pages);
            window.addDockWidget(Qt::RightDockWidgetArea, dock);
            for (int panel = 0; panel < 8; ++panel)
                window.statusBar()->addWidget(new QLabel(QString("Panel %1").arg(panel)));
            auto* central = new QWidget;
            auto* layout = new QVBoxLayout(central);
            auto* tabs = new QTabBar;
            tabs->addTab("page.html");
            layout->addWidget(tabs);
            auto* editor = new QsciScintilla;
            auto* lexer = new QsciLexerHTML(editor);
            editor->setLexer(lexer);
            editor->setMarginLineNumbers(0, true);
            const std::string text = ReadFile(file);
            editor->setText(QString::fromLatin1(text.data(), static_cast<int>(text.size())));
            layout->addWidget(editor);
            window.setCentralWidget(central);
            window.resize(1024, 720);
            window.show();
            splash.finish(&window);
            QApplication::processEvents();
            total += Milliseconds(std::chrono::steady_clock::now() - start);
            state.PauseTiming();
        }
        QApplication::processEvents();
        state.ResumeTiming();
    }
    Results()["start-up to idle peer (ms)"] = total / static_cast<double>(state.iterations());
}
BENCHMARK(BM_PeerStartUpWithADocument)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void PrintSummary() {
    auto& r = Results();
    auto ratio = [&](const char* ours, const char* peer) {
        if (r.count(ours) && r.count(peer) && r[peer] > 0)
            std::printf("%-32s %10.1f   peer %10.1f   ratio %.2f\n", ours, r[ours], r[peer], r[ours] / r[peer]);
    };
    std::printf("\n");
    ratio("replace all 10 MB ours (ms)", "replace all 10 MB peer (ms)");
    ratio("print 100,000 lines ours (ms)", "print 100,000 lines peer (ms)");
    ratio("start-up to idle ours (ms)", "start-up to idle peer (ms)");
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
    Application().Initialize(argc, argv);
    // Questions nobody answers here are answered No.
    const int result = RunBenchmarks(argc, argv);
    PrintSummary();
    FreeMainWindow();
    std::error_code ignored;
    fs::remove_all(Folder(), ignored);
    return result;
}
