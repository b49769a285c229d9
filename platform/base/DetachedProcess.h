#pragma once
// Starting a program that lives on by itself: a browser showing a preview,
// the program a file is opened with.  Its name, its arguments and its
// working folder reach it as the bytes they are, so that a file name that
// is not UTF-8 names the same file there as here.

#include <string>
#include <vector>

// Starts program (looked up in PATH when it holds no "/") with arguments,
// never through a shell, in workingFolder (empty: this process's folder)
// and in a session of its own, so that signals meant for this program's
// terminal leave it alone.  False, with errno set, when it could not be
// started (not found, not executable, no such working folder).
bool StartDetachedProcess(const std::string& program, const std::vector<std::string>& arguments,
                          const std::string& workingFolder = {});
