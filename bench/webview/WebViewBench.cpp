// The design view's hot paths beside the web engine doing the same work on
// its own:
// - showing a page until it can be edited (ours: the document's bytes set
//   on TQtDesignView until its completion, design mode on; the peer: a
//   plain view with scripts off loading the page to its load end: the small
//   page from text, the large one from its file, the engine's fastest way);
// - reading the page back once the renderer has settled (ours:
//   DocumentHTML, the engine's serialised page as document bytes; the peer:
//   the engine's own toHtml, as Unicode).
// - showing a page in the browser view from its file, as the preview does
//   (ours: the page server opens and checks the file once and hands its
//   bytes to the engine; the peer: the engine reading the file itself).
// The peer's views are of a profile of their own, without the program's
// request filter and page server.
// The small page is a new document's skeleton; the large one a 5.8 MB
// manual page (nodejs-doc).  After the usual lines a table gives ours, the
// peer's and the ratio.

#include "bench/BenchMain.h"
#include "tests/support/OutsideData.h"

#include "platform/webview/QtBrowserView.h"
#include "platform/webview/QtDesignView.h"
#include "platform/webview/WebProfile.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <string>

namespace {

const std::string kLargePage = OutsideDataPath("/usr/share/doc/nodejs/api/all.html");

const char* const kSkeleton =
    "<HTML>\r\n<!-- Created with Korvane Ondrill 3.2 -->\r\n<HEAD>\r\n<TITLE></TITLE>\r\n"
    "<META NAME=\"Generator\" CONTENT=\"Korvane Ondrill 3.2\">\r\n<META NAME=\"Description\" "
    "CONTENT=\"\">\r\n"
    "<META NAME=\"Keywords\" CONTENT=\"\">\r\n<META NAME=\"Author\" "
    "CONTENT=\"\">\r\n</HEAD>\r\n<BODY> \r\n"
    "\r\n\r\n\r\n\r\n</BODY>\r\n</HTML>\r\n";

std::map<std::string, double>& results() {
    static std::map<std::string, double> values;
    return values;
}

// The engine on its own: off the record, nothing between it and the files.
QWebEngineProfile& plainProfile() {
    WebProfile(); // the engine starts with the program's switches
    static QWebEngineProfile* profile = new QWebEngineProfile(QCoreApplication::instance());
    return *profile;
}

double milliseconds(std::chrono::steady_clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

void record(benchmark::State& state, const std::string& key, double total) {
    if (state.iterations() > 0)
        results()[key] = total / static_cast<double>(state.iterations());
}

bool readLargePage(std::string& bytes) {
    QFile file(QString::fromStdString(kLargePage));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray all = file.readAll();
    bytes.assign(all.constData(), static_cast<size_t>(all.size()));
    return true;
}

// Ours: shows the page, reads it back; both timed.
void designView(benchmark::State& state, const std::string& page, const std::string& base,
                const std::string& name) {
    double load = 0;
    double read = 0;
    for (auto _ : state) {
        TQtDesignView view;
        view.View()->resize(1000, 700);
        view.View()->show();
        QEventLoop loop;
        view.OnDocumentComplete = [&] { loop.quit(); };
        const auto start = std::chrono::steady_clock::now();
        view.SetDocumentHTML(page);
        view.SetBaseURL(base);
        loop.exec();
        load += milliseconds(std::chrono::steady_clock::now() - start);
        // The renderer settles after the load (the first answer waits for
        // it); the read is timed once it has.
        benchmark::DoNotOptimize(view.DocumentHTML());
        const auto reading = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(view.DocumentHTML());
        read += milliseconds(std::chrono::steady_clock::now() - reading);
    }
    record(state, "load " + name + " ours", load);
    record(state, "read " + name + " ours", read);
}

// The peer: a plain view of the same profile, scripts off.
void engineView(benchmark::State& state, const std::string& page, const QUrl& file,
                const std::string& name) {
    double load = 0;
    double read = 0;
    for (auto _ : state) {
        QWebEngineView view;
        auto* engine = new QWebEnginePage(&plainProfile(), &view);
        engine->settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
        view.setPage(engine);
        view.resize(1000, 700);
        view.show();
        QEventLoop loop;
        QObject::connect(engine, &QWebEnginePage::loadFinished, &loop, &QEventLoop::quit);
        const auto start = std::chrono::steady_clock::now();
        if (file.isEmpty())
            engine->setHtml(QString::fromLatin1(page.data(), static_cast<qsizetype>(page.size())));
        else
            engine->load(file);
        loop.exec();
        load += milliseconds(std::chrono::steady_clock::now() - start);
        std::chrono::steady_clock::time_point reading;
        for (int round = 0; round < 2; ++round) {
            reading = std::chrono::steady_clock::now();
            engine->toHtml([&](const QString& html) {
                benchmark::DoNotOptimize(html.size());
                loop.quit();
            });
            loop.exec();
        }
        read += milliseconds(std::chrono::steady_clock::now() - reading);
    }
    record(state, "load " + name + " peer", load);
    record(state, "read " + name + " peer", read);
}

// Ours: the browser view shows the page from its file, to its load end.
void previewView(benchmark::State& state, const QUrl& file) {
    double load = 0;
    for (auto _ : state) {
        TQtBrowserView view;
        view.View()->resize(1000, 700);
        view.View()->show();
        QEventLoop loop;
        QObject::connect(view.View()->page(), &QWebEnginePage::loadFinished, &loop, &QEventLoop::quit);
        const auto start = std::chrono::steady_clock::now();
        view.Navigate(file.toString().toStdString());
        loop.exec();
        load += milliseconds(std::chrono::steady_clock::now() - start);
    }
    record(state, "preview large ours", load);
}

// The peer: a plain view, scripts on, loading the file itself.
void plainPreview(benchmark::State& state, const QUrl& file) {
    double load = 0;
    for (auto _ : state) {
        QWebEngineView view;
        view.setPage(new QWebEnginePage(&plainProfile(), &view));
        view.resize(1000, 700);
        view.show();
        QEventLoop loop;
        QObject::connect(view.page(), &QWebEnginePage::loadFinished, &loop, &QEventLoop::quit);
        const auto start = std::chrono::steady_clock::now();
        view.page()->load(file);
        loop.exec();
        load += milliseconds(std::chrono::steady_clock::now() - start);
    }
    record(state, "preview large peer", load);
}

void BM_SmallPageOurs(benchmark::State& state) {
    designView(state, kSkeleton, "file:///tmp/", "small");
}
BENCHMARK(BM_SmallPageOurs)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SmallPageEngine(benchmark::State& state) {
    engineView(state, kSkeleton, QUrl(), "small");
}
BENCHMARK(BM_SmallPageEngine)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LargePageOurs(benchmark::State& state) {
    std::string page;
    if (!readLargePage(page)) {
        state.SkipWithError("the large page is missing (package nodejs-doc)");
        return;
    }
    designView(state, page, QUrl::fromLocalFile(QString::fromStdString(kLargePage)).adjusted(QUrl::RemoveFilename).toString().toStdString(), "large");
}
BENCHMARK(BM_LargePageOurs)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_LargePageEngine(benchmark::State& state) {
    engineView(state, {}, QUrl::fromLocalFile(QString::fromStdString(kLargePage)), "large");
}
BENCHMARK(BM_LargePageEngine)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_LargePreviewOurs(benchmark::State& state) {
    previewView(state, QUrl::fromLocalFile(QString::fromStdString(kLargePage)));
}
BENCHMARK(BM_LargePreviewOurs)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_LargePreviewEngine(benchmark::State& state) {
    plainPreview(state, QUrl::fromLocalFile(QString::fromStdString(kLargePage)));
}
BENCHMARK(BM_LargePreviewEngine)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void printSummary() {
    std::printf("\nDesign view beside the web engine on its own (mean milliseconds per page):\n");
    std::printf("  %-40s %10s %10s %8s\n", "operation", "ours", "peer", "ratio");
    for (const char* operation : {"load small", "read small", "load large", "read large", "preview large"}) {
        auto ours = results().find(std::string(operation) + " ours");
        auto peer = results().find(std::string(operation) + " peer");
        if (ours == results().end() || peer == results().end()) {
            std::printf("  %-40s %10s\n", operation, "not run");
            continue;
        }
        std::printf("  %-40s %10.1f %10.1f %8.2f  (ours / peer; below 1 is faster)\n", operation,
                    ours->second, peer->second, ours->second / peer->second);
    }
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    int result = RunBenchmarks(argc, argv);
    printSummary();
    return result;
}
