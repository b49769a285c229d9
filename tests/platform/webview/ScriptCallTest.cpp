// Waiting for a page's answer: random answers, given at once, within the
// timeout or after it, against what the wait must do with each.  No page
// is needed: the question is a timer that answers.

#include "platform/webview/DesignView.h"
#include "platform/webview/ScriptCall.h"
#include "tests/platform/webview/WebEngineTestApp.h"

#include <QTimer>

#include <chrono>
#include <memory>
#include <random>
#include <string>

using namespace std::chrono_literals;

namespace {

enum class TWhen { AtOnce, InTime, Late };

// One question: when its answer comes, and what the wait made of it.
struct TQuestion {
    int Id = 0;
    TWhen When = TWhen::AtOnce;
    std::chrono::milliseconds Timeout{0}, Delay{0};
    int LateAnswers = 0;
};

// Answers come well inside or well outside the timeout, so that a loaded
// machine cannot turn one into the other.  An answer ends its wait when it
// comes; a wait that ends on its timeout must not end much later than it
// (a frozen interface is what the timeout is for).
TEST(AskPageAndWait, RandomAnswersAreTakenInTimeAndRaisedAndDroppedWhenLate) {
    std::mt19937 random(19);
    std::vector<std::unique_ptr<TQuestion>> questions;
    for (int round = 0; round < 24; ++round) {
        auto question = std::make_unique<TQuestion>();
        TQuestion& q = *question;
        q.Id = round;
        q.When = static_cast<TWhen>(random() % 3);
        if (q.When == TWhen::InTime) {
            q.Timeout = 2s;
            q.Delay = std::chrono::milliseconds(10 + random() % 50);
        } else {
            q.Timeout = std::chrono::milliseconds(60 + random() % 60);
            q.Delay = q.Timeout * 3;
        }
        questions.push_back(std::move(question));
        const auto start = std::chrono::steady_clock::now();
        auto ask = [&q](TPageAnswer answer) {
            if (q.When == TWhen::AtOnce)
                answer(q.Id);
            else
                QTimer::singleShot(q.Delay, qApp, [answer, id = q.Id] { answer(id); });
        };
        const std::string message = "no answer " + std::to_string(q.Id);
        TQuestion* counted = &q;
        try {
            const QVariant answer =
                AskPageAndWait(ask, q.Timeout, message.c_str(), [counted] { ++counted->LateAnswers; });
            EXPECT_NE(q.When, TWhen::Late) << "a late answer was taken, round " << round;
            EXPECT_EQ(answer.toInt(), q.Id) << "round " << round << ": another question's answer";
            EXPECT_LT(std::chrono::steady_clock::now() - start, q.Timeout / 2)
                << "round " << round << ": the answer did not end the wait";
        } catch (const EWebViewError& error) {
            EXPECT_EQ(q.When, TWhen::Late) << "round " << round;
            EXPECT_EQ(error.Message(), message);
            const auto waited = std::chrono::steady_clock::now() - start;
            EXPECT_GE(waited, q.Timeout * 9 / 10) << "round " << round;
            EXPECT_LT(waited, q.Timeout + 3s) << "round " << round;
        }
    }
    // Every late answer arrives within its delay (and some slack); each is
    // dropped once, after its wait gave up, whatever wait was running
    // when it came.
    const auto deadline = std::chrono::steady_clock::now() + 3s;
    auto allTold = [&] {
        for (const auto& q : questions)
            if (q->When == TWhen::Late && q->LateAnswers == 0)
                return false;
        return true;
    };
    while (!allTold() && std::chrono::steady_clock::now() < deadline)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    for (const auto& q : questions)
        EXPECT_EQ(q->LateAnswers, q->When == TWhen::Late ? 1 : 0) << "question " << q->Id;
}

} // namespace
