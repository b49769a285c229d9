#include "platform/webview/LocalFileReadFilter.h"

#include "platform/webview/PageServer.h"

bool TLocalFileReadFilter::Refuses(QWebEngineUrlRequestInfo::ResourceType type, const QUrl& url) {
    // The engine files fetch and XMLHttpRequest alike under this kind.
    if (type != QWebEngineUrlRequestInfo::ResourceTypeXhr)
        return false;
    return url.isLocalFile() || url.scheme() == QLatin1String("file") ||
           url.scheme() == QLatin1String(TPageServer::kScheme);
}

void TLocalFileReadFilter::interceptRequest(QWebEngineUrlRequestInfo& info) {
    if (Refuses(info.resourceType(), info.requestUrl()))
        info.block(true);
}
