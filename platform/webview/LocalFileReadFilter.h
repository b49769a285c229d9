#pragma once
// Keeps the scripts of the pages the program shows from reading local
// files, and every page from the network (platform code only: Qt types).
//
// A page shown from a local folder may read any file the user may read: a
// page planted in a shared folder and previewed would read the user's
// files.  This filter, on the program's profile, refuses such a page:
// - every fetch and XMLHttpRequest of a "file:" address (and of the
//   program's own scheme, which leads to files);
// - every frame, object and embed of a local address that is not a page:
//   a text or any other file, a folder (the engine lists it), a name that
//   does not exist.  A page is a plain file whose name ends in ".html",
//   ".htm", ".shtml", ".xhtml" or ".xht" (any case), the names the engine
//   shows as pages; a link must be so named, and lead to a file so named.
// Whether a name leads to a page is known only once the file is open: a
// link may be changed between a look at the name and the engine's read of
// it.  So the engine reads no local document itself: a page shown, framed
// or embedded from a "file:" address goes to the page server instead
// (PageServer.h), under the same path, which opens the file once, checks
// the open file and serves exactly its bytes.  Its relative addresses
// resolve beside it as before, and the documents of one folder tree stay
// of one origin, so that a page still reads the local pages it frames.
// The pictures, style sheets and scripts a page links still load.
//
// Every request for a network address is refused too, of any kind (see
// EngineNetwork.h).
//
// The engine's own switch for local pages (LocalContentCanAccessFileUrls)
// is left on: turned off, it keeps a local page from every file it links
// as well, not only from reading them.

#include <QUrl>
#include <QWebEngineUrlRequestInterceptor>

#include <string>

class TLocalFileReadFilter : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    // What becomes of a request: it goes on, is refused, or goes to
    // Redirect instead.
    struct TDecision {
        bool Refused = false;
        QUrl Redirect; // empty: none
    };
    static TDecision Decide(QWebEngineUrlRequestInfo::ResourceType type, const QUrl& url);
    // Whether a request of that kind for url is refused.
    static bool Refuses(QWebEngineUrlRequestInfo::ResourceType type, const QUrl& url);
    // Opens the plain file a local path names (through links) for reading
    // and returns its descriptor, or -1 when it is anything else or can not
    // be read.  A path named as a page must lead to a file so named: that is
    // checked on the file opened, so that a link changed afterwards changes
    // nothing of what the descriptor reads.
    static int OpenLocalFile(const std::string& path);

    void interceptRequest(QWebEngineUrlRequestInfo& info) override;
};
