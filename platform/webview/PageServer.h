#pragma once
// Serves pages from memory under the program's own URL scheme (platform code
// only: Qt types).
//
// The engine loads a page given as text through a data: URL, which it
// refuses above 2 MB; larger design-view documents are served from here
// instead, without touching the disk.  Each served page gets a host of its
// own and the path of its base address, so relative references resolve as
// they would against the base: a request for any other path of that host is
// redirected to the same path and query under the base's scheme and host
// (a "file:" base reaches the files beside the document).

#include <QByteArray>
#include <QUrl>
#include <QWebEngineUrlSchemeHandler>

#include <map>

class TPageServer : public QWebEngineUrlSchemeHandler {
public:
    static const QByteArray kScheme;
    // Makes the scheme known to the engine; must run before the first
    // profile exists.  Later calls do nothing.
    static void RegisterScheme();

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
