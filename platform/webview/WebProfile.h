#pragma once
// The program's one web-engine profile (platform code only: Qt types).
//
// Off the record, so that nothing of what the views show is written to
// disk, and without an HTTP cache, so that a page loaded again is read from
// its source; a page's scripts can not fetch local files (see
// LocalFileReadFilter.h), and no page reaches the network (EngineNetwork.h:
// the engine starts with the profile).  The page server for large
// documents and local files hangs on it.  Made on first use, once a
// QApplication exists.

class QWebEngineProfile;
class TPageServer;

QWebEngineProfile& WebProfile();
TPageServer& WebPageServer();
