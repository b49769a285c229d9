// The base services' hot paths: settings reads (every reader opens the INI
// file afresh, so a read of a quiet file must not parse it again), parsing a
// whole settings file, and building a large sorted string list one name at
// a time, against a vector sorted once.

#include "bench/BenchMain.h"

#include "platform/base/IniDocument.h"
#include "platform/base/IniFile.h"
#include "platform/base/Strings.h"
#include "platform/base/TextCodec.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A tag-attribute style file: one section per tag, a count and names.
std::string settingsText(int sections) {
    std::string text;
    for (int s = 0; s < sections; ++s) {
        text += "[tag" + std::to_string(s) + "]\r\nNombre=12\r\n";
        for (int k = 1; k <= 12; ++k)
            text += "Attribut" + std::to_string(k) + "=attribute" + std::to_string(k) + "\r\n";
        text += "\r\n";
    }
    return text;
}

class TQuietFile {
public:
    explicit TQuietFile(const std::string& text) {
        name_ = (std::filesystem::temp_directory_path() / ("ondrill-bench-" + std::to_string(::getpid()) + ".dat"))
                    .string();
        std::ofstream(name_, std::ios::binary) << text;
        // Two minutes old: quiet enough to be kept parsed.
        struct stat info {};
        ::stat(name_.c_str(), &info);
        timespec times[2] = {{info.st_mtim.tv_sec - 120, 0}, {info.st_mtim.tv_sec - 120, 0}};
        ::utimensat(AT_FDCWD, name_.c_str(), times, 0);
    }
    ~TQuietFile() { std::filesystem::remove(name_); }
    const std::string& Name() const { return name_; }

private:
    std::string name_;
};

void IniReadStringFromQuietFile(benchmark::State& state) {
    TQuietFile file(settingsText(static_cast<int>(state.range(0))));
    int s = 0;
    for (auto _ : state) {
        TIniFile ini(file.Name()); // as every reader does
        benchmark::DoNotOptimize(ini.ReadString("TAG" + std::to_string(s), "attribut7", ""));
        s = (s + 1) % static_cast<int>(state.range(0));
    }
}
BENCHMARK(IniReadStringFromQuietFile)->ArgName("sections")->Arg(10)->Arg(500);

void IniParseWholeFile(benchmark::State& state) {
    const std::string text = settingsText(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        TIniDocument document(text);
        benchmark::DoNotOptimize(document.FindValue("tag1", "Nombre"));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(IniParseWholeFile)->ArgName("sections")->Arg(10)->Arg(500);

// Names as a folder listing gives them: unsorted, some differing only in
// case.
std::vector<std::string> folderNames(int count) {
    std::mt19937 random(1);
    std::vector<std::string> names(static_cast<size_t>(count));
    for (auto& name : names) {
        name = random() % 4 == 0 ? "Word" : "word";
        name += std::to_string(random());
    }
    return names;
}

// Mean milliseconds per iteration, by benchmark name, for the summary.
std::map<std::string, double>& results() {
    static std::map<std::string, double> table;
    return table;
}

double milliseconds(std::chrono::steady_clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

// Ours: a sorted, case-insensitive TStringList that ignores duplicates,
// filled one name at a time (each Add answers the name's index).
void StringListSortedAdd(benchmark::State& state) {
    const std::vector<std::string> names = folderNames(static_cast<int>(state.range(0)));
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        TStringList list;
        list.SetSorted(true);
        for (const auto& name : names)
            list.Add(name);
        benchmark::DoNotOptimize(list.Count());
        total += milliseconds(std::chrono::steady_clock::now() - start);
    }
    results()["ours/" + std::to_string(state.range(0))] = total / static_cast<double>(state.iterations());
}
BENCHMARK(StringListSortedAdd)->ArgName("names")->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The peer: the same names into a std::vector, sorted once by the same
// rule and freed of duplicates.  It answers no index along the way, so
// it is the floor for building the list.
void VectorSortOnce(benchmark::State& state) {
    const std::vector<std::string> names = folderNames(static_cast<int>(state.range(0)));
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        std::vector<std::string> list;
        for (const auto& name : names)
            list.push_back(name);
        std::stable_sort(list.begin(), list.end(),
                         [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; });
        list.erase(std::unique(list.begin(), list.end(),
                               [](const std::string& a, const std::string& b) { return SameText(a, b); }),
                   list.end());
        benchmark::DoNotOptimize(list.size());
        total += milliseconds(std::chrono::steady_clock::now() - start);
    }
    results()["peer/" + std::to_string(state.range(0))] = total / static_cast<double>(state.iterations());
}
BENCHMARK(VectorSortOnce)->ArgName("names")->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void printSummary() {
    std::printf("\nSorted string list, built one name at a time (mean per run):\n");
    std::printf("  %-14s %12s %12s %8s\n", "names", "ours (ms)", "peer (ms)", "ratio");
    for (const char* count : {"10000", "100000"}) {
        auto ours = results().find(std::string("ours/") + count);
        auto peer = results().find(std::string("peer/") + count);
        if (ours == results().end() || peer == results().end())
            continue;
        std::printf("  %-14s %12.1f %12.1f %8.2f  (ours / peer; the peer sorts once)\n", count, ours->second,
                    peer->second, ours->second / peer->second);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (int failed = RunBenchmarks(argc, argv))
        return failed;
    printSummary();
    return 0;
}
