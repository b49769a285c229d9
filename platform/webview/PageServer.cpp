#include "platform/webview/PageServer.h"

#include "platform/base/TextCodec.h"
#include "platform/webview/LocalFileReadFilter.h"
#include "platform/webview/WebAddress.h"

#include <QBuffer>
#include <QFile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

#include <string_view>
#include <unistd.h>

const QByteArray TPageServer::kScheme = "ondrill-page";

namespace {

// Not of the served pages' form "pageN".
const QString kLocalFilesHost = QStringLiteral("local-files");

// The type the engine takes a local file for, by its name's ending, as it
// does for a "file:" address; any other file it sniffs.
QByteArray contentTypeOfName(std::string_view path) {
    static const std::pair<std::string_view, const char*> types[] = {
        {".html", "text/html"},
        {".htm", "text/html"},
        {".shtml", "text/html"},
        {".xhtml", "application/xhtml+xml"},
        {".xht", "application/xhtml+xml"},
        {".css", "text/css"},
        {".js", "text/javascript"},
        {".mjs", "text/javascript"},
        {".txt", "text/plain"},
        {".xml", "text/xml"},
        {".json", "application/json"},
        {".svg", "image/svg+xml"},
        {".gif", "image/gif"},
        {".png", "image/png"},
        {".jpg", "image/jpeg"},
        {".jpeg", "image/jpeg"},
        {".webp", "image/webp"},
        {".bmp", "image/bmp"},
        {".ico", "image/x-icon"},
        {".woff", "font/woff"},
        {".woff2", "font/woff2"},
        {".ttf", "font/ttf"},
        {".otf", "font/otf"},
        {".mp3", "audio/mpeg"},
        {".wav", "audio/wav"},
        {".ogg", "audio/ogg"},
        {".mp4", "video/mp4"},
        {".webm", "video/webm"}};
    const std::string_view name = path.substr(path.rfind('/') + 1);
    for (const auto& [ending, type] : types)
        if (name.size() > ending.size() &&
            SameText(name.substr(name.size() - ending.size()), ending))
            return type;
    return "application/octet-stream";
}

// Answers with the bytes of the local file of path, opened and checked
// once.
void serveLocalFile(QWebEngineUrlRequestJob* job, const std::string& path) {
    const int fd = TLocalFileReadFilter::OpenLocalFile(path);
    if (fd < 0) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    // The file goes with the job, and closes the descriptor.
    auto* body = new QFile(job);
    if (!body->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        job->fail(QWebEngineUrlRequestJob::RequestFailed);
        return;
    }
    job->reply(contentTypeOfName(path), body);
}

} // namespace

void TPageServer::RegisterScheme() {
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    QWebEngineUrlScheme scheme(kScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    // Local, and allowed to load local files: a page served from here shows
    // the pictures beside its document, as one loaded with a "file:" base
    // does.  Trusted as "file:" is, so that a local page served from here
    // may use what the engine gives only to secure pages.
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::LocalScheme |
                    QWebEngineUrlScheme::LocalAccessAllowed);
    QWebEngineUrlScheme::registerScheme(scheme);
}

QUrl TPageServer::LocalFileAddress(const QUrl& file) {
    QUrl address;
    address.setScheme(QString::fromLatin1(kScheme));
    address.setHost(kLocalFilesHost);
    address.setPath(file.path(QUrl::FullyEncoded), QUrl::TolerantMode);
    address.setQuery(file.query(QUrl::FullyEncoded), QUrl::TolerantMode);
    return address;
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
    if (request.host() == kLocalFilesHost) {
        serveLocalFile(job, LocalPathOfUrl(request));
        return;
    }
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
    if (page.Base.isLocalFile()) {
        serveLocalFile(job, LocalPathOfUrl(request));
        return;
    }
    QUrl target = page.Base;
    target.setPath(request.path(QUrl::FullyEncoded), QUrl::TolerantMode);
    target.setQuery(request.query(QUrl::FullyEncoded), QUrl::TolerantMode);
    target.setFragment(QString());
    job->redirect(target);
}
