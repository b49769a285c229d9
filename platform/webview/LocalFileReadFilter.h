#pragma once
// Keeps the scripts of the pages the program shows from reading local
// files (platform code only: Qt types).
//
// A page shown from a local folder may read, through fetch or
// XMLHttpRequest, any file the user may read: a page planted in a shared
// folder and previewed would read the user's files.  A desktop browser
// refuses a local page such reads; this filter, on the program's profile,
// refuses every fetch and XMLHttpRequest of a "file:" address (and of the
// program's own scheme, which leads to files).  The pictures, style
// sheets, scripts and frames a page links are other kinds of request and
// still load.
//
// The engine's own switch for local pages (LocalContentCanAccessFileUrls)
// is left on: turned off, it keeps a local page from every file it links
// as well, not only from reading them.

#include <QWebEngineUrlRequestInterceptor>

class TLocalFileReadFilter : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    // Whether a request of that kind for url is refused.
    static bool Refuses(QWebEngineUrlRequestInfo::ResourceType type, const QUrl& url);

    void interceptRequest(QWebEngineUrlRequestInfo& info) override;
};
