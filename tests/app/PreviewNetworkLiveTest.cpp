// A previewed page tries every way out of the machine a page has, on the
// real web engine (offscreen): WebSockets, WebRTC's STUN and TURN over UDP
// and TCP, WebTransport, fetches, a beacon, a picture, a frame, a service
// worker, preconnects, DNS prefetch, prefetch, navigations, each to a
// listener on a loopback address of its own and to host names made up for
// the test.  The listeners receive nothing and no made-up name is looked
// up; a web link the user clicks goes to the desktop, and to nowhere else.
// (What a previewed page links beside it still loads: LocalFileAccessTest.)

#include "app/EditForm.h"
#include "app/FrameForm.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/MainWindowLifetime.h"

#include "platform/webview/ScriptCall.h"
#include "platform/webview/WebBrowser.h"
#include "platform/widgets/WidgetPeer.h"
#include "tests/platform/webview/WebEngineTestApp.h"
#include "tests/platform/widgets/WidgetTestApp.h"
#include "tests/support/ScriptedUserInteraction.h"

#include <QTest>
#include <QWebEngineView>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <atomic>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

std::atomic<int> madeUpLookups{0};

} // namespace

// The engine looks host names up through the system's resolver: this
// program's own definition stands in front of it and counts the look-ups
// of the names the test made up.
extern "C" int getaddrinfo(const char* node, const char* service, const struct addrinfo* hints,
                           struct addrinfo** results) {
    using TResolve = int (*)(const char*, const char*, const struct addrinfo*, struct addrinfo**);
    static const auto resolve = reinterpret_cast<TResolve>(::dlsym(RTLD_NEXT, "getaddrinfo"));
    if (node != nullptr && std::strstr(node, "made-up") != nullptr)
        madeUpLookups++;
    return resolve(node, service, hints, results);
}

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// A TCP and a UDP socket on 127.0.0.2, an address of the loopback that the
// engine has no reason to reach; Received counts the connections and
// datagrams that came in so far.
class TLoopbackListener {
public:
    TLoopbackListener() { ::listen(stream_, 64); }
    ~TLoopbackListener() {
        ::close(stream_);
        ::close(datagrams_);
    }
    int Received() {
        for (int connection; (connection = ::accept4(stream_, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;
             ++received_)
            ::close(connection);
        for (char byte; ::recv(datagrams_, &byte, 1, 0) >= 0;)
            ++received_;
        return received_;
    }
    static int Port(int fd) {
        sockaddr_in address{};
        socklen_t length = sizeof address;
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
        return ntohs(address.sin_port);
    }

    const int stream_ = bound(SOCK_STREAM), datagrams_ = bound(SOCK_DGRAM);

private:
    static int bound(int type) {
        const int fd = ::socket(AF_INET, type | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(0x7F000002);
        EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0)
            << std::strerror(errno);
        return fd;
    }

    int received_ = 0;
};

// The page tries each way out, and keeps in an attribute of its root what
// became of those that tell it.
std::string hostilePage(int tcp, int udp) {
    const std::string ip = "127.0.0.2:" + std::to_string(tcp),
                      ipUdp = "127.0.0.2:" + std::to_string(udp);
    const std::string named = "made-up.test:" + std::to_string(tcp);
    return R"(<HTML><HEAD>
<LINK REL="preconnect" HREF="http://)" +
           ip + R"(/">
<LINK REL="preconnect" HREF="http://preconnect.)" +
           named + R"(/">
<LINK REL="dns-prefetch" HREF="//dns-prefetch.made-up.test/">
<LINK REL="prefetch" HREF="http://)" +
           ip + R"(/prefetch">
</HEAD><BODY>
<IMG SRC="http://)" +
           ip + R"(/picture"><IFRAME SRC="http://)" + named + R"(/frame"></IFRAME>
<A ID="out" HREF="http://)" +
           ip + R"(/clicked" STYLE="display:block;width:200px;height:60px">out</A>
<SCRIPT>
var root = document.documentElement, waiting = 0;
function report(key, outcome) { root.setAttribute('data-' + key, outcome); }
function settles(key) {
    report('waiting', ++waiting);
    return function (outcome) { report(key, String(outcome)); report('waiting', --waiting); };
}
['ws://)" + ip +
           R"(/socket', 'ws://socket.)" + named + R"(/'].forEach(function (address, i) {
    var done = settles('socket' + i), socket = new WebSocket(address);
    socket.onopen = function () { done('open'); };
    socket.onerror = function () { done('error'); };
});
var gathered = settles('ice'), connection = new RTCPeerConnection({iceServers: [
    {urls: ['stun:)" +
           ipUdp + R"(', 'stun:stun.made-up.test:)" + std::to_string(udp) + R"(']},
    {urls: ['turn:)" +
           ipUdp + R"(?transport=udp', 'turn:)" + ip + R"(?transport=tcp'],
     username: 'u', credential: 'p'}]});
connection.createDataChannel('out');
connection.onicegatheringstatechange = function () {
    if (connection.iceGatheringState == 'complete') gathered('complete');
};
connection.createOffer().then(function (offer) { return connection.setLocalDescription(offer); });
['http://)" +
           ip + R"(/fetch', 'http://fetch.)" + named + R"(/'].forEach(function (address, i) {
    var done = settles('fetch' + i);
    fetch(address, {mode: 'no-cors'}).then(done, done);
});
navigator.sendBeacon('http://)" +
           ip + R"(/beacon', 'data');
if (window.WebTransport) {
    var transport = settles('transport');
    try { new WebTransport('https://)" +
           ipUdp + R"(/').ready.then(transport, transport); } catch (e) { transport(e); }
}
var worker = settles('worker');
if (navigator.serviceWorker) navigator.serviceWorker.register('sw.js').then(worker, worker); else worker('none');
</SCRIPT></BODY></HTML>)";
}

class PreviewNetwork : public ::testing::Test {
protected:
    void SetUp() override {
        frame = StartMainWindow();
        fs::create_directories(site);
        write("sw.js", "self.onfetch = function () {};");
    }
    void TearDown() override { FreeMainWindow(); }
    void write(const std::string& name, const std::string& bytes) {
        TTestProgramFolder::WriteFileBytes((site / name).string(), bytes);
    }

    TTestProgramFolder program;
    TScriptedUserInteraction user;
    Tframeform* frame = nullptr;
    const fs::path site = program.Folder().Path() / "shared site";
};

} // namespace

TEST_F(PreviewNetwork, APreviewedPageReachesNoNetworkAndAClickedWebLinkGoesToTheDesktop) {
    TLoopbackListener listener;
    write("hostile.html",
          hostilePage(listener.Port(listener.stream_), listener.Port(listener.datagrams_)));
    TEditForm* document = frame->OpenDocumentFile((site / "hostile.html").string());
    PickDocumentPage(document, 2);
    auto* engine = ClientWidgetOf(document->WebBrowser1)->findChild<QWebEngineView*>();
    auto ask = [&](const std::string& script) {
        // In the program's own script world, which shares the page's
        // document but not its variables.
        const std::string withRoot = "var root = document.documentElement; " + script;
        return RunScriptAndWait(*engine->page(), QString::fromStdString(withRoot), 60s, "")
            .toString()
            .toStdString();
    };
    const std::string inPreview = "location.href.indexOf('/HTMLtmp.htm') >= 0 && ";
    ASSERT_TRUE(WaitFor([&] {
        listener.Received(); // a socket to it fails once its connection goes
        return ask(inPreview + "document.readyState == 'complete' &&"
                               " root.getAttribute('data-waiting') == '0'") == "true";
    }));
    EXPECT_EQ(ask("root.getAttribute('data-socket0') + root.getAttribute('data-socket1')"),
              "errorerror");
    EXPECT_NE(ask("root.getAttribute('data-worker')"), "[object ServiceWorkerRegistration]");

    // Navigations and windows the page opens on its own go nowhere: it
    // stays, and nothing goes to the desktop.
    const std::string port = std::to_string(listener.Port(listener.stream_));
    for (const std::string& address :
         {"http://127.0.0.2:" + port + "/away", "http://away.made-up.test:" + port + "/"}) {
        ask("window.open('" + address + "'); location = '" + address + "'; 'asked'");
        // Nothing shows that a navigation was refused: a while is given to
        // one that would go.
        (void)QTest::qWaitFor(
            [&] {
                return listener.Received() > 0 || madeUpLookups > 0 ||
                       ask(inPreview + "true") != "true";
            },
            3000);
    }
    EXPECT_EQ(ask(inPreview + "'stayed'"), "stayed");

    // The user's click on a web link hands it to the desktop.
    const std::string box = ask("var r = document.getElementById('out').getBoundingClientRect();"
                                " Math.round(r.left + 20) + ',' + Math.round(r.top + 20)");
    const QPoint at(std::stoi(box), std::stoi(box.substr(box.find(',') + 1)));
    QTest::mouseClick(engine->focusProxy(), Qt::LeftButton, Qt::NoModifier, at);
    auto handedOn = [&] {
        for (const auto& call : user.Calls)
            if (call.Kind == TScriptedUserInteraction::kOpenURL)
                return call.Text;
        return std::string();
    };
    EXPECT_TRUE(WaitFor([&] { return !handedOn().empty() || listener.Received() > 0; }));
    EXPECT_EQ(handedOn(), "http://127.0.0.2:" + port + "/clicked");
    EXPECT_EQ(ask(inPreview + "'stayed'"), "stayed");

    EXPECT_EQ(listener.Received(), 0);
    EXPECT_EQ(madeUpLookups, 0);
    // The engine's switches stay the engine's: a browser the user starts
    // from the program reaches the network.
    EXPECT_FALSE(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS").contains("NOTFOUND"));
    EXPECT_TRUE(user.Exceptions().empty());
    delete document;
}
