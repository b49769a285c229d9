#pragma once
// Keeps the scripts of the pages the program shows from reading local
// files (platform code only: Qt types).
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
// The framesets and frames of local pages, and the pictures, style sheets
// and scripts a page links, still load.
//
// The engine's own switch for local pages (LocalContentCanAccessFileUrls)
// is left on: turned off, it keeps a local page from every file it links
// as well, not only from reading them.

#include <QWebEngineUrlRequestInterceptor>

#include <string>

class TLocalFileReadFilter : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    // Whether a request of that kind for url is refused.
    static bool Refuses(QWebEngineUrlRequestInfo::ResourceType type, const QUrl& url);
    // Whether a local path names a page that frames may show (see above).
    static bool IsLocalPage(const std::string& path);

    void interceptRequest(QWebEngineUrlRequestInfo& info) override;
};
