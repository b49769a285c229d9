#include "platform/webview/LocalFileReadFilter.h"

#include "platform/base/PosixFileOps.h"
#include "platform/base/TextCodec.h"
#include "platform/webview/EngineNetwork.h"
#include "platform/webview/PageServer.h"
#include "platform/webview/WebAddress.h"

#include <fcntl.h>
#include <unistd.h>

namespace {

using TType = QWebEngineUrlRequestInfo::ResourceType;

const TLocalFileReadFilter::TDecision kRefused{.Refused = true, .Redirect = {}};

// The names the engine shows as pages, whatever a file holds.
bool hasPageName(std::string_view path) {
    for (std::string_view suffix : {".html", ".htm", ".shtml", ".xhtml", ".xht"})
        if (path.size() >= suffix.size() && SameText(path.substr(path.size() - suffix.size()), suffix))
            return true;
    return false;
}

// Requests whose answer a page's scripts may read as a document of their
// own: frames (a frame moved by a script too), objects and embeds.
bool showsADocument(TType type) {
    return type == QWebEngineUrlRequestInfo::ResourceTypeSubFrame ||
           type == QWebEngineUrlRequestInfo::ResourceTypeObject ||
           type == QWebEngineUrlRequestInfo::ResourceTypePluginResource ||
           type == QWebEngineUrlRequestInfo::ResourceTypeNavigationPreloadSubFrame;
}

// The name the system found the open file under, links resolved ("" when
// it can not tell).
std::string openedName(int fd) {
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    std::string name(4096, '\0');
    const ssize_t length = ::readlink(link.c_str(), name.data(), name.size());
    if (length <= 0 || static_cast<size_t>(length) >= name.size())
        return {};
    name.resize(static_cast<size_t>(length));
    return name;
}

} // namespace

int TLocalFileReadFilter::OpenLocalFile(const std::string& path) {
    // Not waiting: a pipe planted under the name would hold the open.
    const int fd = OpenRegularFile(path, O_RDONLY | O_NOCTTY);
    if (fd < 0)
        return -1;
    // A link so named may lead anywhere: the file it led to counts.
    if (hasPageName(path) && !hasPageName(openedName(fd))) {
        ::close(fd);
        return -1;
    }
    return fd;
}

TLocalFileReadFilter::TDecision TLocalFileReadFilter::Decide(TType type, const QUrl& url) {
    if (IsNetworkUrl(url))
        return kRefused;
    const bool file = url.isLocalFile() || url.scheme() == QLatin1String("file");
    // The program's scheme serves local documents, and a page whose other
    // paths are the files of the same paths beside its document.
    const bool served = url.scheme() == QLatin1String(TPageServer::kScheme);
    if (!file && !served)
        return {};
    // The engine files fetch and XMLHttpRequest alike under this kind.
    if (type == QWebEngineUrlRequestInfo::ResourceTypeXhr)
        return kRefused;
    const bool framed = showsADocument(type);
    if (framed && !hasPageName(LocalPathOfUrl(url)))
        return kRefused;
    if (file && (framed || type == QWebEngineUrlRequestInfo::ResourceTypeMainFrame))
        return {.Refused = false, .Redirect = TPageServer::LocalFileAddress(url)};
    return {};
}

bool TLocalFileReadFilter::Refuses(TType type, const QUrl& url) {
    return Decide(type, url).Refused;
}

void TLocalFileReadFilter::interceptRequest(QWebEngineUrlRequestInfo& info) {
    const TDecision decision = Decide(info.resourceType(), info.requestUrl());
    if (decision.Refused)
        info.block(true);
    else if (!decision.Redirect.isEmpty())
        info.redirect(decision.Redirect);
}
