// The base services' hot paths: settings reads (every reader opens the INI
// file afresh, so a read of a quiet file must not parse it again), parsing a
// whole settings file, and building a large sorted string list.

#include "bench/BenchMain.h"

#include "platform/base/IniDocument.h"
#include "platform/base/IniFile.h"
#include "platform/base/Strings.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
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
BENCHMARK(IniReadStringFromQuietFile)->Arg(10)->Arg(500);

void IniParseWholeFile(benchmark::State& state) {
    const std::string text = settingsText(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        TIniDocument document(text);
        benchmark::DoNotOptimize(document.FindValue("tag1", "Nombre"));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(IniParseWholeFile)->Arg(10)->Arg(500);

void StringListSortedAdd(benchmark::State& state) {
    std::mt19937 random(1);
    std::vector<std::string> words(static_cast<size_t>(state.range(0)));
    for (auto& w : words)
        w = "word" + std::to_string(random());
    for (auto _ : state) {
        TStringList list;
        list.SetSorted(true);
        for (const auto& w : words)
            list.Add(w);
        benchmark::DoNotOptimize(list.Count());
    }
}
BENCHMARK(StringListSortedAdd)->Arg(1000)->Arg(10000);

} // namespace

int main(int argc, char** argv) { return RunBenchmarks(argc, argv); }
