#pragma once
// File names are the file system's bytes.  They are turned into text only
// for display, through an escape that loses nothing and reads plainly:
// every byte that is not part of valid UTF-8 shows as "\x" and its two
// hexadecimal digits ("caf\xE9.htm"), and a backslash that would read as
// such an escape shows as "\x5C", so that the text always turns back into
// the same bytes.  A name typed with such an escape gets that byte.
//
// Paths use "/" and are bytes as well; file addresses ("file://" URIs)
// percent-encode every byte outside the unreserved set.

#include "platform/base/Utf8.h"

#include <cstdint>
#include <string>
#include <string_view>

// UTF-8 display text of raw name bytes, and back.
std::string DisplayTextOfName(std::string_view bytes);
std::string NameOfDisplayText(std::string_view text);

// "file://" address of an absolute path, and back.  PathOfFileUri accepts
// "file:/p", "file:///p" and "file://localhost/p"; false for anything else
// (another host, another scheme, a bad escape, a NUL byte, a relative path).
std::string FileUriOfPath(std::string_view path);
bool PathOfFileUri(std::string_view uri, std::string& path);

// Path arithmetic on bytes.  JoinPath("/a", "b") is "/a/b"; a folder of
// "/" joins to "/b".  FileNameOf is the part after the last "/";
// ParentPathOf of "/a/b" is "/a", of "/a" it is "/".
std::string JoinPath(std::string_view folder, std::string_view name);
std::string_view FileNameOf(std::string_view path);
std::string ParentPathOf(std::string_view path);
// True when path is folder itself or lies below it (by whole components).
bool PathIsWithin(std::string_view path, std::string_view folder);
// A name a folder may hold: not empty, not "." or "..", no "/" and no NUL.
bool IsValidFileName(std::string_view name);
