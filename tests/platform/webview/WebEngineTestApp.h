#pragma once
// The test program's one QApplication for web-engine tests, and a wait for
// the engine's asynchronous answers.

#include "tests/platform/gfx/TestApplication.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

class TWebEngineTestEnvironment : public ::testing::Environment {
public:
    void SetUp() override { MakeTestApplication<QApplication>(); }
    // The engine stops its threads when the application goes.  Left to the
    // process's exit, they would still run while the libraries' statics
    // are torn down, and crash the program now and then after all tests
    // passed.
    void TearDown() override { delete QCoreApplication::instance(); }
};

inline ::testing::Environment* const kWebEngineTestEnvironment =
    ::testing::AddGlobalTestEnvironment(new TWebEngineTestEnvironment);

// Runs the event loop until done holds.  The engine talks to its renderer
// through many small events, so the loop runs freely, never sleeping
// between checks.  The limit only keeps a broken engine from hanging the
// suite; no test depends on how long anything takes.
template <typename Predicate> bool WaitFor(Predicate done) {
    if (done())
        return true;
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    check.start(5);
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}
