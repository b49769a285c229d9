// The program's text crossing into Qt and back, as every list row, caption
// and edit box does: a thousand names of a folder (some accented, a few
// CJK, one in a hundred with a stray byte) and a 64 KB memo text, through
// ours against Qt's own UTF-8 decoder and encoder on the same text (from a
// std::string and back to one), which cannot keep a stray byte (the ratio
// is the cost of keeping it), and the byte offsets of a selection mapped
// to Qt's positions.

#include "bench/shell/RatioReporter.h"

#include "platform/base/QtBridge.h"

#include <benchmark/benchmark.h>

#include <QString>

#include <random>
#include <string>
#include <vector>

namespace {

std::vector<std::string> names() {
    static const char* const kPieces[] = {"index", "-", "page", "_", "2024", ".html", "caf\xC3\xA9", "na\xC3\xAFve",
                                          "\xE4\xB8\xAD\xE6\x96\x87", " "};
    std::mt19937 random(3);
    std::vector<std::string> all;
    for (int i = 0; i < 1000; ++i) {
        std::string name;
        for (int k = 0; k < 4; ++k)
            name += kPieces[random() % std::size(kPieces)];
        if (i % 100 == 0)
            name += "\xE9";
        all.push_back(name);
    }
    return all;
}

std::string memoText() {
    std::string text;
    while (text.size() < 64 * 1024)
        text += "Une ligne d'\xC3\xA9t\xC3\xA9 avec \xE2\x82\xAC et \xE4\xB8\xAD\xE6\x96\x87.\r\n";
    return text;
}

void namesOurs(benchmark::State& state) {
    const std::vector<std::string> all = names();
    for (auto _ : state)
        for (const std::string& name : all)
            benchmark::DoNotOptimize(QStringToProgramText(ProgramTextToQString(name)));
}

void namesQt(benchmark::State& state) {
    const std::vector<std::string> all = names();
    for (auto _ : state)
        for (const std::string& name : all)
            benchmark::DoNotOptimize(QString::fromStdString(name).toStdString());
}

void memoOurs(benchmark::State& state) {
    const std::string text = memoText();
    for (auto _ : state)
        benchmark::DoNotOptimize(QStringToProgramText(ProgramTextToQString(text)));
}

void memoQt(benchmark::State& state) {
    const std::string text = memoText();
    for (auto _ : state)
        benchmark::DoNotOptimize(QString::fromStdString(text).toStdString());
}

// A selection at the end of the memo: its two ends mapped to Qt and back.
void selectionOurs(benchmark::State& state) {
    const std::string text = memoText();
    const QString shown = ProgramTextToQString(text);
    const int end = static_cast<int>(text.size());
    for (auto _ : state) {
        const int position = QtPositionOfProgramText(text, end - 40);
        benchmark::DoNotOptimize(ProgramTextOffsetOfQt(shown, position));
    }
}

// Qt's way to the same two numbers: decoding the text before each end.
void selectionQt(benchmark::State& state) {
    const std::string text = memoText();
    const QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    const int end = static_cast<int>(text.size());
    for (auto _ : state) {
        const qsizetype position = QString::fromUtf8(text.data(), end - 40).size();
        benchmark::DoNotOptimize(shown.left(position).toUtf8().size());
    }
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    auto us = benchmark::kMicrosecond;
    benchmark::RegisterBenchmark("1000-names/ours", namesOurs)->Unit(us);
    benchmark::RegisterBenchmark("1000-names/qt", namesQt)->Unit(us);
    benchmark::RegisterBenchmark("64kb-memo/ours", memoOurs)->Unit(us);
    benchmark::RegisterBenchmark("64kb-memo/qt", memoQt)->Unit(us);
    benchmark::RegisterBenchmark("selection-ends/ours", selectionOurs)->Unit(us);
    benchmark::RegisterBenchmark("selection-ends/qt", selectionQt)->Unit(us);
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios({"1000-names", "64kb-memo", "selection-ends"});
    benchmark::Shutdown();
    return 0;
}
