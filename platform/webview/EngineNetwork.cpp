#include "platform/webview/EngineNetwork.h"

#include "platform/webview/PageServer.h"

#include <QByteArray>
#include <QtGlobal>

#include <array>

namespace {

const char* const kEngineFlags = "QTWEBENGINE_CHROMIUM_FLAGS";

} // namespace

TClosedEngineNetwork::TClosedEngineNetwork() {
    if (qEnvironmentVariableIsSet(kEngineFlags))
        given_ = qgetenv(kEngineFlags);
    // The engine splits the variable at blanks outside double quotes.  A
    // rule that maps a host to "~NOTFOUND" fails its look-up at once, and
    // "*" takes in addresses as well as names.
    QByteArray flags = given_.value_or(QByteArray());
    if (!flags.isEmpty())
        flags += ' ';
    flags += "--host-resolver-rules=\"MAP * ~NOTFOUND\" --no-proxy-server"
             " --force-webrtc-ip-handling-policy=disable_non_proxied_udp";
    qputenv(kEngineFlags, flags);
}

TClosedEngineNetwork::~TClosedEngineNetwork() {
    if (given_)
        qputenv(kEngineFlags, *given_);
    else
        qunsetenv(kEngineFlags);
}

bool IsNetworkUrl(const QUrl& url) {
    // The engine's own local kinds: pages given as text, objects a page
    // made, the empty page, its error pages, script links.
    static const std::array<QLatin1String, 7> local{
        QLatin1String("file"),
        QLatin1String("data"),
        QLatin1String("blob"),
        QLatin1String("about"),
        QLatin1String("chrome-error"),
        QLatin1String("javascript"),
        QLatin1String(TPageServer::kScheme.constData())};
    const QString scheme = url.scheme().toLower();
    for (const QLatin1String& kind : local)
        if (scheme == kind)
            return false;
    return true;
}

bool IsWebAddress(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}
