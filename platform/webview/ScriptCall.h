#pragma once
// A script run in a page's application world, waited for (platform code
// only: Qt types).
//
// The engine answers scripts asynchronously, from its renderer process.  A
// caller that needs the answer now waits in a nested event loop that lets
// no user input through, up to a timeout: a renderer that hangs or is busy
// costs the user-interface thread the timeout and an error, never a freeze.
// The application world sees the page's document but none of the page's
// own scripts, and runs even while the page's scripts are off.

#include <QString>
#include <QVariant>

#include <chrono>
#include <functional>

class QWebEnginePage;

// Returns the script's value.  Raises EWebViewError with timeoutMessage
// when no answer came within timeout; an answer that comes later is
// dropped, after lateAnswer (if given) was called.
QVariant RunScriptAndWait(QWebEnginePage& page, const QString& script, std::chrono::milliseconds timeout,
                          const char* timeoutMessage, std::function<void()> lateAnswer = {});
