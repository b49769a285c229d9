#pragma once
// The main of a benchmark program that makes windows: an offscreen Qt
// application with the platform's widget peers, the benchmarks the command
// line selects, then the program's summary (its table of ratios), printed
// while the application still stands.

#include "bench/BenchMain.h"
#include "platform/widgets/WidgetPeer.h"

#include <QApplication>

#include <cstdlib>
#include <functional>

inline int RunWidgetBenchmarks(int& argc, char** argv, const std::function<void()>& summary = {}) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    InstallWidgetPeers();
    const int result = RunBenchmarks(argc, argv);
    if (summary)
        summary();
    return result;
}
