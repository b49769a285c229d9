#pragma once
// The test program's one QApplication for web-engine tests, and a wait for
// the engine's asynchronous answers.

#include "tests/platform/gfx/TestApplication.h"
#include "tests/support/UnattendedUserInteraction.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <chrono>

class TWebEngineTestEnvironment : public ::testing::Environment {
public:
    // An error the program would show is a failure of the running test.
    void SetUp() override {
        MakeTestApplication<QApplication>();
        SetUserInteraction(&UnattendedUserInteraction());
    }
    // The engine stops its threads when the application goes.  Left to the
    // process's exit, they would still run while the libraries' statics
    // are torn down, and crash the program now and then after all tests
    // passed.
    void TearDown() override { delete QCoreApplication::instance(); }
};

inline ::testing::Environment* const kWebEngineTestEnvironment =
    ::testing::AddGlobalTestEnvironment(new TWebEngineTestEnvironment);

// The waits of one test end by this time, well inside the test's CTest
// timeout (300 s), however many of them it makes: a test that waits in vain
// fails with its own message instead of being killed without one.
class TWaitBudget : public ::testing::EmptyTestEventListener {
public:
    static constexpr std::chrono::seconds kPerTest{240};
    static std::chrono::steady_clock::time_point& Deadline() {
        static std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::now() + kPerTest;
        return deadline;
    }
    void OnTestStart(const ::testing::TestInfo&) override { Deadline() = std::chrono::steady_clock::now() + kPerTest; }
};

inline const bool kWaitBudgetListening = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new TWaitBudget);
    return true;
}();

// Runs the event loop until done holds.  The engine talks to its renderer
// through many small events, so the loop runs freely, never sleeping
// between checks.  The limit (two minutes, and no later than the test's
// budget) only keeps a broken engine from hanging the suite; no test
// depends on how long anything takes.
template <typename Predicate> bool WaitFor(Predicate done) {
    if (done())
        return true;
    using namespace std::chrono;
    const auto left = duration_cast<milliseconds>(TWaitBudget::Deadline() - steady_clock::now());
    const milliseconds limit = std::clamp(left, milliseconds(0), milliseconds(minutes(2)));
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    check.start(5);
    QTimer::singleShot(limit, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}
