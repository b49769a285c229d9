#pragma once
// File names are the file system's bytes.  They are turned into text only
// for display, through an escape that loses nothing and reads plainly:
// every byte that is not part of valid UTF-8 shows as "\x" and its two
// hexadecimal digits ("caf\xE9.htm"), and a backslash that would read as
// such an escape shows as "\x5C", so that the text always turns back into
// the same bytes.  A name typed with such an escape gets that byte.  Every
// view of file names (shell views, captions, messages, menus) uses this
// one rule.

#include <string>
#include <string_view>

// UTF-8 display text of raw name bytes, and back.
std::string DisplayTextOfName(std::string_view bytes);
std::string NameOfDisplayText(std::string_view text);

// "file://" address of an absolute path, every byte outside the unreserved
// set percent-encoded, and back.  PathOfFileUri accepts "file:/p",
// "file:///p" and "file://localhost/p"; false for anything else (another
// host, another scheme, a bad escape, a NUL byte, a relative path).
std::string FileUriOfPath(std::string_view path);
bool PathOfFileUri(std::string_view uri, std::string& path);
