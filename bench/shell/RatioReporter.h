#pragma once
// The console reporter of the shell benchmarks, which also keeps each
// run's time per iteration and prints, after the usual lines, a table of
// ours against the peer's ("<case>/ours" and "<case>/qt") with the ratio.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

class TRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && run.iterations > 0)
                times_[run.run_name.function_name] = run.real_accumulated_time / double(run.iterations);
    }
    // Seconds per iteration; 0 for a case that did not run.
    double Time(const std::string& name) const {
        auto found = times_.find(name);
        return found == times_.end() ? 0 : found->second;
    }
    void PrintRatios(const std::vector<std::string>& cases) const {
        std::printf("\n%-34s %12s %12s %8s\n", "case", "ours (us)", "Qt (us)", "ratio");
        for (const std::string& base : cases) {
            double ours = Time(base + "/ours"), theirs = Time(base + "/qt");
            if (ours == 0 || theirs == 0)
                continue;
            std::printf("%-34s %12.1f %12.1f %8.2f\n", base.c_str(), ours * 1e6, theirs * 1e6, ours / theirs);
        }
    }

private:
    std::map<std::string, double> times_;
};
