#pragma once
// Real HTML for the randomised highlighting checks: pages that Debian
// packages ship, read where they are installed or unpacked
// (tests/support/OutsideData.h).  Where none is there, a page written here
// stands in, so the checks still run.

#include "tests/support/OutsideData.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

inline std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Up to `count` pieces of real pages, each about `bytes` long and cut at
// line ends: the head of one page (doctype, scripts, styles), the middle of
// others.
inline std::vector<std::string> RealHtmlSamples(size_t count, size_t bytes) {
    static const char* const candidates[] = {
        "/usr/share/doc/libjs-underscore/index.html",
        "/usr/share/doc/nodejs/api/assert.html",
        "/usr/share/doc/zlib1g-dev/examples/zlib_how.html",
        "/usr/share/doc/python3/python-policy.html",
        "/usr/share/doc/nodejs/api/all.html",
    };
    std::vector<std::string> samples;
    for (const char* path : candidates) {
        if (samples.size() >= count)
            break;
        std::string page = ReadWholeFile(OutsideDataPath(path));
        if (page.size() < 1000)
            continue;
        size_t from = samples.empty() ? 0 : page.size() / 3;
        from = from == 0 ? 0 : page.find('\n', from) + 1;
        size_t to = std::min(page.size(), from + bytes);
        to = std::max(page.rfind('\n', to), from);
        samples.push_back(page.substr(from, to - from));
    }
    if (samples.empty()) {
        samples.push_back(
            "<!DOCTYPE html>\n<html><head><title>Stand-in</title>\n"
            "<script type=\"text/javascript\">\nvar a = 1 < 2 && \"</b>\";\n</SCRIPT>\n"
            "<style>p { color: red }</style></head>\n<body bgcolor=#ffffff>\n"
            "<!-- a comment\nover two lines -->\n<TABLE\n BORDER=1 width='50%'><tr><td>&amp; &#160; &copy\n"
            "<% server %> <?php echo 1 ?>\n<IMG SRC=a.gif ALT=\"x y\"><br></BR></B>\n"
            "<p class=note>text &lt;tag&gt; and more text</p>\n</TABLE></body></html>\n");
    }
    return samples;
}
