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

// What is checked is order and outcome, never a wall-clock budget a busy
// machine could miss: an answer that comes before its wait ends is taken
// (the waits for those are 60 s long, so only a lost answer could reach
// them), and an answer to a wait that already gave up is held back until
// that wait has thrown, then given during a later wait (or after the last),
// where it must be dropped once and never taken for another question's.
// A wait that ends on its timeout must not end long before it, nor so long
// after it that the interface would seem frozen.
TEST(AskPageAndWait, RandomAnswersAreTakenInTimeAndRaisedAndDroppedWhenLate) {
    std::mt19937 random(19);
    std::vector<std::unique_ptr<TQuestion>> questions;
    std::vector<TPageAnswer> lateAnswers;  // answers of waits that gave up
    std::vector<int> lateIds;
    auto giveLateAnswers = [&] {
        for (size_t i = 0; i < lateAnswers.size(); ++i)
            lateAnswers[i](lateIds[i]);
        lateAnswers.clear();
        lateIds.clear();
    };
    for (int round = 0; round < 24; ++round) {
        auto question = std::make_unique<TQuestion>();
        TQuestion& q = *question;
        q.Id = round;
        q.When = static_cast<TWhen>(random() % 3);
        if (q.When == TWhen::Late)
            q.Timeout = std::chrono::milliseconds(60 + random() % 60);
        else
            q.Timeout = 60s;
        q.Delay = std::chrono::milliseconds(q.When == TWhen::InTime ? 10 + random() % 50 : 0);
        questions.push_back(std::move(question));
        // The answers held back from earlier waits come while this one runs.
        if (!lateAnswers.empty())
            QTimer::singleShot(0, qApp, [&giveLateAnswers] { giveLateAnswers(); });
        TPageAnswer held;
        auto ask = [&q, &held](TPageAnswer answer) {
            if (q.When == TWhen::AtOnce)
                answer(q.Id);
            else if (q.When == TWhen::InTime)
                QTimer::singleShot(q.Delay, qApp, [answer, id = q.Id] { answer(id); });
            else
                held = answer;
        };
        const std::string message = "no answer " + std::to_string(q.Id);
        TQuestion* counted = &q;
        const auto start = std::chrono::steady_clock::now();
        try {
            const QVariant answer =
                AskPageAndWait(ask, q.Timeout, message.c_str(), [counted] { ++counted->LateAnswers; });
            EXPECT_NE(q.When, TWhen::Late) << "a wait with no answer returned, round " << round;
            EXPECT_EQ(answer.toInt(), q.Id) << "round " << round << ": another question's answer";
            EXPECT_LT(std::chrono::steady_clock::now() - start, q.Timeout / 2)
                << "round " << round << ": the answer did not end the wait";
        } catch (const EWebViewError& error) {
            EXPECT_EQ(q.When, TWhen::Late) << "round " << round;
            EXPECT_EQ(error.Message(), message);
            const auto waited = std::chrono::steady_clock::now() - start;
            EXPECT_GE(waited, q.Timeout * 9 / 10) << "round " << round;
            EXPECT_LT(waited, q.Timeout + 10s) << "round " << round;
        }
        if (q.When == TWhen::Late) {
            ASSERT_TRUE(held) << "round " << round << ": the question was never asked";
            EXPECT_EQ(q.LateAnswers, 0) << "round " << round << ": dropped before it came";
            lateAnswers.push_back(held);
            lateIds.push_back(q.Id);
        }
    }
    giveLateAnswers();
    QCoreApplication::processEvents();
    for (const auto& q : questions)
        EXPECT_EQ(q->LateAnswers, q->When == TWhen::Late ? 1 : 0) << "question " << q->Id;
}

} // namespace
