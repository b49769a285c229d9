#pragma once
// The generated page that the editor benchmarks share: short markup lines,
// text paragraphs that wrap at 800 pixels and now and then a very long
// script line.  The same seed gives the same bytes in every program, so the
// figures of different benchmarks speak of the same text.

#include "tests/support/OutsideData.h"

#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace bench {

inline std::string MakeHtml(size_t bytes) {
    std::mt19937 random(42);
    static const char* const words[] = {"the", "editor", "keeps", "paragraphs", "and", "display", "lines",
                                        "while", "typing", "moves", "navigators", "of", "text", "quickly"};
    std::string html = "<!DOCTYPE html>\r\n<html>\r\n<head><title>Generated</title></head>\r\n<body>\r\n";
    while (html.size() < bytes) {
        switch (random() % 4) {
        case 0:
            html += "<div class=\"row\"><a href=\"page" + std::to_string(random() % 1000) + ".html\">link</a></div>\r\n";
            break;
        case 1: {
            html += "<p>";
            int count = 20 + static_cast<int>(random() % 120);
            for (int i = 0; i < count; ++i) {
                html += words[random() % 14];
                html += ' ';
            }
            html += "</p>\r\n";
            break;
        }
        case 2:
            html += "\t<td>" + std::to_string(random()) + "</td><td>cell</td>\r\n";
            break;
        default:
            if (random() % 50 == 0)
                html += "<script>" + std::string(4000, 'x') + "</script>\r\n";
            else
                html += "\r\n";
        }
    }
    html += "</body>\r\n</html>\r\n";
    return html;
}

inline const std::string& TenMegabytes() {
    static const std::string text = MakeHtml(10 * 1024 * 1024);
    return text;
}

// The generated page with long lines, as minified pages have them: the
// breaks are taken out and one put back after the first tag that ends
// beyond every lineBytes bytes.
inline std::string MakeLongLines(size_t bytes, size_t lineBytes) {
    std::string html = MakeHtml(bytes);
    std::erase_if(html, [](char c) { return c == '\r' || c == '\n'; });
    std::string text;
    text.reserve(html.size() + html.size() / lineBytes * 2 + 2);
    size_t from = 0;
    while (from < html.size()) {
        size_t cut = html.find('>', std::min(from + lineBytes, html.size()));
        cut = cut == std::string::npos ? html.size() : cut + 1;
        text.append(html, from, cut - from);
        text += "\r\n";
        from = cut;
    }
    return text;
}

// 14 MB of HTML in lines of about 64 KB.
inline const std::string& LongLinesPage() {
    static const std::string text = MakeLongLines(14 * 1024 * 1024, 64 * 1024);
    return text;
}

// The Node.js API reference, when it is installed (empty otherwise).
inline const std::string& NodeReference() {
    static const std::string text = [] {
        std::ifstream in(OutsideDataPath("/usr/share/doc/nodejs/api/all.html"), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }();
    return text;
}

// A page of 58 MB: the API reference ten times over, or generated HTML of
// that size where it is not installed.
inline const std::string& HugePage() {
    static const std::string text = [] {
        const std::string& reference = NodeReference();
        if (reference.empty())
            return MakeHtml(58 * 1000 * 1000);
        std::string page;
        page.reserve(reference.size() * 10);
        for (int i = 0; i < 10; ++i)
            page += reference;
        return page;
    }();
    return text;
}

} // namespace bench
