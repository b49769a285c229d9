#pragma once
// The program's web engine reaches no network (platform code only: Qt
// types).
//
// Every page the engine shows is local: the user's pages, their preview
// copies, the program's own.  A page planted in a shared folder and
// previewed may read what the user may read (a local page in a frame, a
// local picture's pixels); nothing it reads must leave the machine.  So the
// engine is given no way out at all:
// - its switches, set before it starts: every host it would look up or
//   connect to, a name or an address (pages, WebSockets, WebTransport,
//   preconnects, DNS prefetch, TURN over TCP, a proxy), is unknown without
//   a DNS query being sent; no proxy of the system is used; and WebRTC
//   sends no UDP (STUN, TURN, its multicast DNS) that does not go through a
//   proxy, of which there is none;
// - the request filter (LocalFileReadFilter.h) refuses every request for a
//   network address, whatever its kind;
// - the browser view goes to no network address; the user's own click on
//   a web link hands that link to the desktop's browser (QtBrowserView.h).
// Service workers need an origin neither "file:" pages nor the program's
// page server have.

#include <QByteArray>
#include <QUrl>

#include <optional>

// The engine's switches for this, added to those it reads when it starts
// (the environment's QTWEBENGINE_CHROMIUM_FLAGS, after any already given
// there, so that they win) while an object of this class lives: the engine
// must start in that time (the program's first profile starts it).  Then
// the environment is as it was, so that no program started from here (a
// browser on the same engine, the desktop's opener) inherits them.
class TClosedEngineNetwork {
public:
    TClosedEngineNetwork();
    ~TClosedEngineNetwork();
    TClosedEngineNetwork(const TClosedEngineNetwork&) = delete;
    TClosedEngineNetwork& operator=(const TClosedEngineNetwork&) = delete;

private:
    std::optional<QByteArray> given_; // the variable before, when set
};

// Whether a URL leads anywhere but to what the machine holds: anything but
// a local file, the page server, and the engine's own local kinds (data:,
// blob:, about:, its error pages).
bool IsNetworkUrl(const QUrl& url);
// Whether a URL is one of the web's addresses, for the desktop's browser
// to show.
bool IsWebAddress(const QUrl& url);
