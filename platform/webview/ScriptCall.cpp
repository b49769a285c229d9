#include "platform/webview/ScriptCall.h"

#include "platform/webview/DesignView.h"

#include <QEventLoop>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineScript>

#include <memory>

namespace {

// Shared with the engine's callback, which may run after the wait is over
// (or never).
struct TPendingCall {
    QVariant Result;
    bool Answered = false;
    bool GaveUp = false;
    QEventLoop* Loop = nullptr;
    std::function<void()> LateAnswer;
};

} // namespace

QVariant RunScriptAndWait(QWebEnginePage& page, const QString& script, std::chrono::milliseconds timeout,
                          const char* timeoutMessage, std::function<void()> lateAnswer) {
    auto call = std::make_shared<TPendingCall>();
    call->LateAnswer = std::move(lateAnswer);
    page.runJavaScript(script, QWebEngineScript::ApplicationWorld, [call](const QVariant& result) {
        if (call->GaveUp) {
            if (call->LateAnswer)
                call->LateAnswer();
            return;
        }
        call->Result = result;
        call->Answered = true;
        if (call->Loop != nullptr)
            call->Loop->quit();
    });
    if (!call->Answered) {
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        call->Loop = &loop;
        timer.start(timeout);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        call->Loop = nullptr;
    }
    if (!call->Answered) {
        call->GaveUp = true;
        throw EWebViewError(timeoutMessage);
    }
    return call->Result;
}
