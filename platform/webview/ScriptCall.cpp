#include "platform/webview/ScriptCall.h"

#include "platform/webview/DesignView.h"

#include <QEventLoop>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineScript>

#include <memory>

namespace {

// Shared with the answering callback, which may run after the wait is over
// (or never).
struct TPendingAnswer {
    QVariant Answer;
    bool Answered = false;
    bool GaveUp = false;
    QEventLoop* Loop = nullptr;
    std::function<void()> LateAnswer;
};

} // namespace

QVariant AskPageAndWait(const std::function<void(TPageAnswer answer)>& ask,
                        std::chrono::milliseconds timeout, const char* timeoutMessage,
                        std::function<void()> lateAnswer) {
    auto pending = std::make_shared<TPendingAnswer>();
    pending->LateAnswer = std::move(lateAnswer);
    ask([pending](const QVariant& answer) {
        if (pending->GaveUp) {
            if (pending->LateAnswer)
                pending->LateAnswer();
            return;
        }
        pending->Answer = answer;
        pending->Answered = true;
        if (pending->Loop != nullptr)
            pending->Loop->quit();
    });
    if (!pending->Answered) {
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        pending->Loop = &loop;
        timer.start(timeout);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        pending->Loop = nullptr;
    }
    if (!pending->Answered) {
        pending->GaveUp = true;
        throw EWebViewError(timeoutMessage);
    }
    return pending->Answer;
}

QVariant RunScriptAndWait(QWebEnginePage& page, const QString& script,
                          std::chrono::milliseconds timeout, const char* timeoutMessage,
                          std::function<void()> lateAnswer) {
    return AskPageAndWait(
        [&](TPageAnswer answer) {
            page.runJavaScript(script, QWebEngineScript::ApplicationWorld, answer);
        },
        timeout, timeoutMessage, std::move(lateAnswer));
}
