#include "platform/webview/PageServer.h"

#include <QBuffer>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

const QByteArray TPageServer::kScheme = "ondrill-page";

void TPageServer::RegisterScheme() {
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    QWebEngineUrlScheme scheme(kScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    // Local, and allowed to load local files: a page served from here shows
    // the pictures beside its document, as one loaded with a "file:" base
    // does.
    scheme.setFlags(QWebEngineUrlScheme::LocalScheme | QWebEngineUrlScheme::LocalAccessAllowed);
    QWebEngineUrlScheme::registerScheme(scheme);
}

QUrl TPageServer::Serve(QByteArray utf8Html, const QUrl& base) {
    const QString host = QStringLiteral("page%1").arg(++serial_);
    QString path = base.isValid() && !base.isRelative() ? base.path(QUrl::FullyEncoded) : QString();
    if (!path.startsWith(u'/'))
        path.prepend(u'/');
    QUrl address;
    address.setScheme(QString::fromLatin1(kScheme));
    address.setHost(host);
    address.setPath(path, QUrl::TolerantMode);
    pages_[host] = TServedPage{std::move(utf8Html), address.path(QUrl::FullyEncoded), base};
    return address;
}

void TPageServer::Withdraw(const QUrl& address) {
    pages_.erase(address.host());
}

void TPageServer::requestStarted(QWebEngineUrlRequestJob* job) {
    const QUrl request = job->requestUrl();
    const auto found = pages_.find(request.host());
    if (found == pages_.end()) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    const TServedPage& page = found->second;
    if (request.path(QUrl::FullyEncoded) == page.Path) {
        // The buffer shares the page's bytes and goes with the job.
        auto* body = new QBuffer(job);
        body->setData(page.Html);
        body->open(QIODevice::ReadOnly);
        job->reply("text/html;charset=utf-8", body);
        return;
    }
    // A file or folder base gives the file of that path; the same for any
    // other hierarchical base.  Without one, relative references lead
    // nowhere, as on a page shown without base.
    if (!page.Base.isValid() || page.Base.isRelative()) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    QUrl target = page.Base;
    target.setPath(request.path(QUrl::FullyEncoded), QUrl::TolerantMode);
    target.setQuery(request.query(QUrl::FullyEncoded), QUrl::TolerantMode);
    target.setFragment(QString());
    job->redirect(target);
}
