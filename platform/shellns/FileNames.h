#pragma once
// File names are the file system's bytes, turned into text only for
// display (platform/base/FileNameText.h).
//
// Paths use "/" and are bytes as well.

#include "platform/base/FileNameText.h"
#include "platform/base/Utf8.h"

#include <cstdint>
#include <string>
#include <string_view>

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
