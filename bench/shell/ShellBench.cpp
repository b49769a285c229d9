// The shell namespace's hot paths beside Qt's own file model and watcher,
// on a temporary folder of 10,000 files of many types:
// - enumerating the folder with each item's display name, type name and
//   icon, against QFileSystemModel loaded and asked for the same three;
// - the time from a file created to the change watcher's notice reaching
//   the window, against QFileSystemWatcher's directoryChanged.
// After the usual lines a table gives ours, the peer's and the ratio.

#include "bench/shell/RatioReporter.h"
#include "platform/shellns/FileNames.h"
#include "platform/shellns/ShellFolder.h"
#include "platform/ui/Control.h"
#include "shell/ChangeHandlerThread.h"
#include "shell/ShellUtils.h"

#include <QAbstractFileIconProvider>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileSystemModel>
#include <QFileSystemWatcher>
#include <QGuiApplication>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace {

constexpr int kFiles = 10000;
std::string folderPath;
std::string watchedPath;

void makeFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "ondrill-shell-bench-XXXXXX").string();
    folderPath = ::mkdtemp(pattern.data());
    const char* extensions[] = {".htm", ".html", ".css", ".js", ".png", ".gif", ".txt", ".xml", ".json", ".zzq", ""};
    for (int i = 0; i < kFiles; ++i) {
        std::string name = "file" + std::to_string(i) + extensions[i % 11];
        std::ofstream(JoinPath(folderPath, name)) << i;
    }
    for (int i = 0; i < 50; ++i)
        std::filesystem::create_directory(JoinPath(folderPath, "folder" + std::to_string(i)));
    watchedPath = JoinPath(folderPath, "watched");
    std::filesystem::create_directory(watchedPath);
}

void enumerateOurs(benchmark::State& state) {
    PItemIDList pidl = nullptr;
    PathToPidl(folderPath, pidl);
    TIdListPtr folderPidl(pidl);
    size_t characters = 0;
    for (auto _ : state) {
        std::shared_ptr<TShellFolder> folder;
        BindToFolder(folderPidl.get(), folder);
        std::shared_ptr<TEnumIDList> items;
        folder->EnumObjects(SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, items);
        PItemIDList item;
        unsigned fetched;
        int count = 0;
        while (items->Next(1, &item, &fetched) == S_OK) {
            TIdListPtr owned(item);
            std::string name;
            folder->GetDisplayNameOf(item, SHGDN_INFOLDER, name);
            TIdListPtr absolute(ConcatPidls(nullptr, folderPidl.get(), item));
            TShFileInfo info;
            SHGetFileInfo(absolute.get(), SHGFI_PIDL | SHGFI_TYPENAME | SHGFI_SYSICONINDEX | SHGFI_SMALLICON, info);
            characters += name.size() + info.TypeName.size() + static_cast<size_t>(info.IconIndex);
            ++count;
        }
        if (count != kFiles + 51)
            state.SkipWithError("wrong number of items");
    }
    benchmark::DoNotOptimize(characters);
}

void enumerateQt(benchmark::State& state) {
    size_t characters = 0;
    for (auto _ : state) {
        QFileSystemModel model;
        QEventLoop loop;
        QObject::connect(&model, &QFileSystemModel::directoryLoaded, &loop, &QEventLoop::quit);
        QModelIndex root = model.setRootPath(QString::fromStdString(folderPath));
        while (model.rowCount(root) < kFiles + 51) {
            QTimer::singleShot(1000, &loop, &QEventLoop::quit);
            loop.exec();
            while (model.canFetchMore(root))
                model.fetchMore(root);
        }
        for (int row = 0; row < model.rowCount(root); ++row) {
            QString name = model.data(model.index(row, 0, root), Qt::DisplayRole).toString();
            QString type = model.data(model.index(row, 2, root), Qt::DisplayRole).toString();
            QIcon icon = model.data(model.index(row, 0, root), Qt::DecorationRole).value<QIcon>();
            characters += static_cast<size_t>(name.size() + type.size()) + (icon.isNull() ? 0 : 1);
        }
    }
    benchmark::DoNotOptimize(characters);
}

constexpr unsigned kNotice = 0x465;
int fileCounter = 0;

class TNoticeWindow : public TWinControl {
public:
    void WndProc(TMessage& message) override {
        if (message.Msg == kNotice)
            Received = true;
        else
            TWinControl::WndProc(message);
    }
    bool Received = false;
};

// Waits (delivering posted events) until done is true.
template <class Done> void processUntil(Done done) {
    while (!done())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
}

void latencyOurs(benchmark::State& state) {
    TNoticeWindow window;
    TChangeHandlerThread thread(&window, kNotice);
    int index;
    thread.AddWatch(watchedPath, FILE_NOTIFY_CHANGE_FILE_NAME, index, false);
    for (auto _ : state) {
        window.Received = false;
        auto start = std::chrono::steady_clock::now();
        std::ofstream(JoinPath(watchedPath, "ours" + std::to_string(++fileCounter)));
        processUntil([&] { return window.Received; });
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
}

void latencyQt(benchmark::State& state) {
    QFileSystemWatcher watcher;
    watcher.addPath(QString::fromStdString(watchedPath));
    bool received = false;
    QObject::connect(&watcher, &QFileSystemWatcher::directoryChanged, [&] { received = true; });
    for (auto _ : state) {
        received = false;
        auto start = std::chrono::steady_clock::now();
        std::ofstream(JoinPath(watchedPath, "qt" + std::to_string(++fileCounter)));
        processUntil([&] { return received; });
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    makeFolder();
    benchmark::RegisterBenchmark("enumerate-10000-files/ours", enumerateOurs)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("enumerate-10000-files/qt", enumerateQt)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("change-notice-latency/ours", latencyOurs)->UseManualTime()->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("change-notice-latency/qt", latencyQt)->UseManualTime()->Unit(benchmark::kMicrosecond);
    benchmark::Initialize(&argc, argv);
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios({"enumerate-10000-files", "change-notice-latency"});
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(folderPath, ignored);
    return 0;
}
