#pragma once
// The console reporter of the GIF benchmarks, which also keeps each run's
// time per iteration for the ratio tables printed after it.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

class TTimingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && run.iterations > 0)
                times_[run.benchmark_name()].push_back(run.real_accumulated_time / double(run.iterations));
    }
    // Seconds per iteration over a benchmark's repetitions; all 0 for a
    // benchmark that did not run.
    struct Figures {
        double Median = 0, Min = 0, Max = 0;
    };
    Figures Times(const std::string& name) const {
        auto found = times_.find(name);
        if (found == times_.end() || found->second.empty())
            return {};
        std::vector<double> times = found->second;
        std::sort(times.begin(), times.end());
        const size_t n = times.size();
        const double median = n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
        return {median, times.front(), times.back()};
    }
    // The median seconds per iteration.
    double Time(const std::string& name) const { return Times(name).Median; }

private:
    std::map<std::string, std::vector<double>> times_; // by name, one per repetition
};
