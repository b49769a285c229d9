#pragma once
// Addresses as the program writes them, made into URLs for the web engine
// (platform code only: Qt types).

#include <QUrl>

#include <string>
#include <string_view>

// "file://" followed by an absolute path is that file or folder, taken
// literally: the program composes these from paths, which may hold "#",
// "?", "%" or blanks, in the file system's bytes.  "file://" alone, or
// nothing, is no address (an empty URL).  A bare absolute path is a file
// too.  Anything else is parsed as a URL; the result may be invalid.
QUrl WebAddressToUrl(std::string_view address);
// The path of a URL (a local file's, or the page server's) in the file
// system's bytes, escapes undone.
std::string LocalPathOfUrl(const QUrl& url);
// The URL of an address a browser can load; raises EWebViewError for one
// that is empty, relative or invalid.
QUrl RequireWebAddress(std::string_view address);
