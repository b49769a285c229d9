// The shell list on a temporary folder of 10,000 files beside a QTreeView
// over QFileSystemModel on the same folder:
// - filling: the list shows the folder, sorted by name, its first screen
//   of rows asked for their names, sizes, types and dates; the peer loads
//   the folder and sorts it by name;
// - sorting by each column, from the order of the next column (made
//   untimed before each sort, so that both sides really sort); ours sorts
//   by the keys its rows keep from the fill, as the peer by its cache;
// - a refresh after one file appeared: ours looks at the entry a change
//   notice named, in the 10,000-file folder and in a 100-file one (the
//   time follows the change, not the folder); the full difference against
//   the folder is shown too; the peer's is QFileSystemModel's own update,
//   from the file's creation to the new row.  The files a case makes are
//   removed after it, so every case sees the same folder.
// After the usual lines a table gives ours, the peer's and the ratio.

#include "bench/shell/RatioReporter.h"
#include "platform/shellns/FileNames.h"
#include "shell/ShellList.h"
#include "shell/ShellUtils.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileSystemModel>
#include <QSortFilterProxyModel>
#include <QTimer>
#include <QTreeView>
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

constexpr int kFiles = 10000;
constexpr int kScreenRows = 40;
std::string bigFolder, smallFolder;
int counter = 0;

std::string makeFolder(int files) {
    std::string pattern = (std::filesystem::temp_directory_path() / "ondrill-list-bench-XXXXXX").string();
    std::string path = ::mkdtemp(pattern.data());
    const char* extensions[] = {".htm", ".html", ".css", ".js", ".png", ".gif", ".txt", ".xml", ".json", ".zzq", ""};
    for (int i = 0; i < files; ++i) {
        std::string name = "file" + std::to_string((i * 7919) % files) + extensions[i % 11];
        std::ofstream(JoinPath(path, name)) << std::string(static_cast<size_t>(i % 3000), 'x');
    }
    for (int i = 0; i < 30; ++i)
        std::filesystem::create_directory(JoinPath(path, "folder" + std::to_string(i)));
    return path;
}

TIdListPtr pidlOf(const std::string& path) {
    PItemIDList pidl = nullptr;
    PathToPidl(path, pidl);
    return TIdListPtr(pidl);
}

void askScreen(TPTShellListModel& list, size_t& characters) {
    for (int row = 0; row < kScreenRows && row < list.Count(); ++row)
        for (int column = 0; column < 4; ++column)
            characters += list.RowText(row, column).size() + static_cast<size_t>(list.RowImage(row));
}

void fillOurs(benchmark::State& state) {
    TIdListPtr folder = pidlOf(bigFolder);
    size_t characters = 0;
    for (auto _ : state) {
        TPTShellList view;
        TPTShellListModel& list = view.Model();
        list.Fill(folder.get());
        askScreen(list, characters);
        if (list.Count() != kFiles + 30)
            state.SkipWithError("wrong number of rows");
    }
    benchmark::DoNotOptimize(characters);
}

// The peer's model loaded in full (it loads in a thread of its own).
void waitLoaded(QFileSystemModel& model, const QModelIndex& root, int rows) {
    QEventLoop loop;
    QObject::connect(&model, &QFileSystemModel::directoryLoaded, &loop, &QEventLoop::quit);
    while (model.rowCount(root) < rows) {
        QTimer::singleShot(1000, &loop, &QEventLoop::quit);
        loop.exec();
        while (model.canFetchMore(root))
            model.fetchMore(root);
    }
}

void askScreen(QAbstractItemModel& model, const QModelIndex& root, size_t& characters) {
    for (int row = 0; row < kScreenRows; ++row)
        for (int column = 0; column < 4; ++column)
            characters += static_cast<size_t>(model.data(model.index(row, column, root)).toString().size());
}

void fillQt(benchmark::State& state) {
    size_t characters = 0;
    for (auto _ : state) {
        QFileSystemModel model;
        QTreeView view;
        view.setModel(&model);
        view.setSortingEnabled(true);
        QModelIndex root = model.setRootPath(QString::fromStdString(bigFolder));
        view.setRootIndex(root);
        waitLoaded(model, root, kFiles + 30);
        view.sortByColumn(0, Qt::AscendingOrder);
        QCoreApplication::processEvents();
        askScreen(model, root, characters);
    }
    benchmark::DoNotOptimize(characters);
}

// Sorting is timed from another order: before each timed sort, untimed,
// both sides are sorted by the next column, so that neither can reverse
// or keep an order it has already made.  Each timed sort must give the
// same first screen of names, which must differ from the other order's.
std::vector<std::string> firstNames(TPTShellListModel& list) {
    std::vector<std::string> names;
    for (int row = 0; row < kScreenRows && row < list.Count(); ++row)
        names.push_back(list.RowText(row, 0));
    return names;
}

void sortOurs(benchmark::State& state, int column) {
    TIdListPtr folder = pidlOf(bigFolder);
    TPTShellList view;
    TPTShellListModel& list = view.Model();
    list.Fill(folder.get());
    const int other = (column + 1) % 4;
    list.SetSortColumn(other + 1);
    const std::vector<std::string> scrambled = firstNames(list);
    list.SetSortColumn(column + 1);
    const std::vector<std::string> sorted = firstNames(list);
    if (sorted == scrambled)
        state.SkipWithError("the orders do not differ");
    size_t characters = 0;
    for (auto _ : state) {
        state.PauseTiming();
        list.SetSortColumn(other + 1);
        state.ResumeTiming();
        list.SetSortColumn(column + 1);
        askScreen(list, characters);
        state.PauseTiming();
        if (firstNames(list) != sorted)
            state.SkipWithError("ours did not sort");
        state.ResumeTiming();
    }
    benchmark::DoNotOptimize(characters);
}

std::vector<QString> firstNames(QAbstractItemModel& model, const QModelIndex& root) {
    std::vector<QString> names;
    for (int row = 0; row < kScreenRows; ++row)
        names.push_back(model.data(model.index(row, 0, root)).toString());
    return names;
}

void sortQt(benchmark::State& state, int column) {
    QFileSystemModel model;
    QTreeView view;
    view.setModel(&model);
    QModelIndex root = model.setRootPath(QString::fromStdString(bigFolder));
    view.setRootIndex(root);
    waitLoaded(model, root, kFiles + 30);
    const int other = (column + 1) % 4;
    auto sortBy = [&](int by) {
        view.sortByColumn(by, Qt::AscendingOrder);
        QCoreApplication::processEvents();
    };
    sortBy(other);
    const std::vector<QString> scrambled = firstNames(model, root);
    sortBy(column);
    const std::vector<QString> sorted = firstNames(model, root);
    if (sorted == scrambled)
        state.SkipWithError("the orders do not differ");
    size_t characters = 0;
    for (auto _ : state) {
        state.PauseTiming();
        sortBy(other);
        state.ResumeTiming();
        sortBy(column);
        askScreen(model, root, characters);
        state.PauseTiming();
        if (firstNames(model, root) != sorted)
            state.SkipWithError("the peer did not sort");
        state.ResumeTiming();
    }
    benchmark::DoNotOptimize(characters);
}

// One file appears; the list looks at that name alone (as after a notice)
// or at the whole folder.
void refreshOurs(benchmark::State& state, const std::string& path, bool byName) {
    TIdListPtr folder = pidlOf(path);
    TPTShellList view;
    TPTShellListModel& list = view.Model();
    list.Fill(folder.get());
    std::vector<std::string> made;
    for (auto _ : state) {
        state.PauseTiming();
        made.push_back(JoinPath(path, "new" + std::to_string(++counter) + ".htm"));
        std::ofstream(made.back()) << "x";
        state.ResumeTiming();
        if (byName)
            list.RefreshNames({std::string(FileNameOf(made.back()))});
        else
            list.Refresh();
    }
    // The folder keeps its size for the next case.
    for (const std::string& file : made)
        std::filesystem::remove(file);
}

void refreshQt(benchmark::State& state) {
    QFileSystemModel model;
    QTreeView view;
    view.setModel(&model);
    QModelIndex root = model.setRootPath(QString::fromStdString(bigFolder));
    view.setRootIndex(root);
    waitLoaded(model, root, kFiles + 30);
    std::vector<std::string> made;
    for (auto _ : state) {
        int rows = model.rowCount(root);
        made.push_back(JoinPath(bigFolder, "qt" + std::to_string(++counter) + ".htm"));
        auto start = std::chrono::steady_clock::now();
        std::ofstream(made.back()) << "x";
        while (model.rowCount(root) == rows)
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    for (const std::string& file : made)
        std::filesystem::remove(file);
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    bigFolder = makeFolder(kFiles);
    smallFolder = makeFolder(100);
    auto ms = benchmark::kMillisecond;
    benchmark::RegisterBenchmark("fill-10000-files/ours", fillOurs)->Unit(ms);
    benchmark::RegisterBenchmark("fill-10000-files/qt", fillQt)->Unit(ms);
    const char* columns[] = {"name", "size", "type", "modified"};
    std::vector<std::string> cases = {"fill-10000-files"};
    for (int column = 0; column < 4; ++column) {
        std::string base = std::string("sort-by-") + columns[column];
        cases.push_back(base);
        benchmark::RegisterBenchmark((base + "/ours").c_str(), sortOurs, column)->Unit(ms);
        benchmark::RegisterBenchmark((base + "/qt").c_str(), sortQt, column)->Unit(ms);
    }
    auto us = benchmark::kMicrosecond;
    benchmark::RegisterBenchmark("refresh-one-new-file/ours", refreshOurs, bigFolder, true)->Unit(us);
    benchmark::RegisterBenchmark("refresh-one-new-file/qt", refreshQt)->UseManualTime()->Unit(us);
    benchmark::RegisterBenchmark("refresh-one-new-file-of-100", refreshOurs, smallFolder, true)->Unit(us);
    benchmark::RegisterBenchmark("refresh-whole-folder-of-10000", refreshOurs, bigFolder, false)->Unit(us);
    cases.push_back("refresh-one-new-file");
    benchmark::Initialize(&argc, argv);
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios(cases);
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(bigFolder, ignored);
    std::filesystem::remove_all(smallFolder, ignored);
    return 0;
}
