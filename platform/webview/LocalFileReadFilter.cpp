#include "platform/webview/LocalFileReadFilter.h"

#include "platform/base/TextCodec.h"
#include "platform/webview/PageServer.h"
#include "platform/webview/WebAddress.h"

#include <cstdlib>
#include <memory>
#include <sys/stat.h>

namespace {

using TType = QWebEngineUrlRequestInfo::ResourceType;

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

} // namespace

bool TLocalFileReadFilter::IsLocalPage(const std::string& path) {
    if (!hasPageName(path))
        return false;
    // A link so named may lead anywhere: the file it leads to counts.
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
    struct stat info {};
    return resolved != nullptr && ::stat(resolved.get(), &info) == 0 && S_ISREG(info.st_mode) &&
           hasPageName(resolved.get());
}

bool TLocalFileReadFilter::Refuses(TType type, const QUrl& url) {
    const bool file = url.isLocalFile() || url.scheme() == QLatin1String("file");
    // The program's scheme serves a page whose other paths are the files of
    // the same paths beside its document.
    const bool served = url.scheme() == QLatin1String(TPageServer::kScheme);
    if (!file && !served)
        return false;
    // The engine files fetch and XMLHttpRequest alike under this kind.
    if (type == QWebEngineUrlRequestInfo::ResourceTypeXhr)
        return true;
    if (showsADocument(type))
        return !IsLocalPage(LocalPathOfUrl(url));
    return false;
}

void TLocalFileReadFilter::interceptRequest(QWebEngineUrlRequestInfo& info) {
    if (Refuses(info.resourceType(), info.requestUrl()))
        info.block(true);
}
