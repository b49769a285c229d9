#include "platform/webview/WebProfile.h"

#include "platform/webview/EngineNetwork.h"
#include "platform/webview/LocalFileReadFilter.h"
#include "platform/webview/PageServer.h"

#include <QCoreApplication>
#include <QPointer>
#include <QWebEngineProfile>

#include <unistd.h>

namespace {

struct TProfile {
    QPointer<QWebEngineProfile> Profile;
    TPageServer* Server = nullptr; // a child of Profile
};

TProfile& profile() {
    static TProfile made;
    if (made.Profile)
        return made;
    // The engine's renderer sandbox refuses to start under the super-user,
    // and without its renderer no web view works at all; it reads this
    // variable when it starts, which is when the first profile is made.
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    TPageServer::RegisterScheme();
    {
        // The first profile starts the engine.
        const TClosedEngineNetwork closed;
        made.Profile = new QWebEngineProfile(QCoreApplication::instance());
    }
    made.Profile->setHttpCacheType(QWebEngineProfile::NoCache);
    // A previewed page's scripts do not read the user's files, and no page
    // reaches the network.
    made.Profile->setUrlRequestInterceptor(new TLocalFileReadFilter(made.Profile));
    made.Server = new TPageServer(made.Profile);
    made.Profile->installUrlSchemeHandler(TPageServer::kScheme, made.Server);
    return made;
}

} // namespace

QWebEngineProfile& WebProfile() {
    return *profile().Profile;
}

TPageServer& WebPageServer() {
    return *profile().Server;
}
