#pragma once
// Questions to a page, waited for (platform code only: Qt types).
//
// The engine answers asynchronously, from its renderer process.  A caller
// that needs the answer now waits in a nested event loop that lets no user
// input through, up to a timeout: a renderer that hangs or is busy costs
// the user-interface thread the timeout and an error, never a freeze.

#include <QString>
#include <QVariant>

#include <chrono>
#include <functional>

class QWebEnginePage;

using TPageAnswer = std::function<void(const QVariant& answer)>;

// Calls ask with the function that takes the page's answer, and returns the
// answer.  Raises EWebViewError with timeoutMessage when none came within
// timeout; an answer that comes later is dropped, after lateAnswer (if
// given) was called.
QVariant AskPageAndWait(const std::function<void(TPageAnswer answer)>& ask,
                        std::chrono::milliseconds timeout, const char* timeoutMessage,
                        std::function<void()> lateAnswer = {});

// Runs a script in the page's application world (which sees the page's
// document but none of the page's scripts, and runs while they are off)
// and returns its value, as AskPageAndWait.
QVariant RunScriptAndWait(QWebEnginePage& page, const QString& script,
                          std::chrono::milliseconds timeout, const char* timeoutMessage,
                          std::function<void()> lateAnswer = {});
