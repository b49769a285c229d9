#pragma once
// The program's one web-engine profile (platform code only: Qt types).
//
// Off the record, so that nothing of what the views show is written to
// disk, and without an HTTP cache, so that a page loaded again is read from
// its source; a page's scripts can not fetch local files (see
// LocalFileReadFilter.h).  The page server for large documents hangs on
// it.  Made on first use, once a QApplication exists.

class QWebEngineProfile;
class TPageServer;

QWebEngineProfile& WebProfile();
TPageServer& WebPageServer();
