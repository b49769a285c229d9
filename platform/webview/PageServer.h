#pragma once
// Serves pages under the program's own URL scheme (platform code only: Qt
// types): design-view documents from memory, and local files.
//
// The engine loads a page given as text through a data: URL, which it
// refuses above 2 MB; larger design-view documents are served from here
// instead, without touching the disk.  Each served page gets a host of its
// own and the path of its base address, so relative references resolve as
// they would against the base: a request for any other path of that host
// is the file of that path beside a "file:" base, and is redirected to the
// same path and query under any other base's scheme and host.
//
// The local files host serves the local file of its path, as a "file:"
// address of the same path would show it; the engine is sent there for the
// local documents it shows (see LocalFileReadFilter.h).  Each file served
// is opened once and checked as opened: a regular file, and one named as a
// page leads to a file so named; exactly the bytes of that open file reach
// the engine, whatever its name leads to afterwards.

#include <QByteArray>
#include <QUrl>
#include <QWebEngineUrlSchemeHandler>

#include <map>
#include <string>

class TPageServer : public QWebEngineUrlSchemeHandler {
public:
    static const QByteArray kScheme;
    // Makes the scheme known to the engine; must run before the first
    // profile exists.  Later calls do nothing.
    static void RegisterScheme();
    // The address on the local files host of a "file:" address.
    static QUrl LocalFileAddress(const QUrl& file);

    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;

    // Serves utf8Html (a UTF-8 page) until Withdraw; returns its address.
    QUrl Serve(QByteArray utf8Html, const QUrl& base);
    void Withdraw(const QUrl& address);
    int ServedCount() const { return static_cast<int>(pages_.size()); }

    void requestStarted(QWebEngineUrlRequestJob* job) override;

private:
    struct TServedPage {
        QByteArray Html;
        QString Path; // encoded, as requests carry it
        QUrl Base;
    };
    std::map<QString, TServedPage> pages_; // by host
    unsigned serial_ = 0;
};
