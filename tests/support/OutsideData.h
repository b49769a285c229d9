#pragma once
// Outside data: pages and pictures that Debian packages ship, read by the
// tests and benchmarks as real-world input.  scripts/fetch-outside-data
// unpacks those packages into one folder without installing them; a file is
// looked for there first, then where an installed package would put it.

#include <filesystem>
#include <string>

#ifndef ONDRILL_OUTSIDE_DATA_DIR
#define ONDRILL_OUTSIDE_DATA_DIR ""
#endif

// The place of `systemPath` (an absolute path such as
// "/usr/share/doc/nodejs/api/all.html"): under the unpacked folder when it
// is there, else the path itself.
inline std::string OutsideDataPath(const std::string& systemPath) {
    const std::string unpacked = std::string(ONDRILL_OUTSIDE_DATA_DIR) + systemPath;
    std::error_code error;
    if (!std::string(ONDRILL_OUTSIDE_DATA_DIR).empty() && std::filesystem::exists(unpacked, error))
        return unpacked;
    return systemPath;
}
