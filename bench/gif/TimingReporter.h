#pragma once
// The console reporter of the GIF benchmarks, which also keeps each run's
// time per iteration for the ratio tables printed after it.

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class TTimingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && run.iterations > 0)
                times_[run.benchmark_name()] = run.real_accumulated_time / double(run.iterations);
    }
    // Seconds per iteration; 0 for a benchmark that did not run.
    double Time(const std::string& name) const {
        auto found = times_.find(name);
        return found == times_.end() ? 0 : found->second;
    }

private:
    std::map<std::string, double> times_;
};
