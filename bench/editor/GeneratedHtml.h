#pragma once
// The generated page that the editor benchmarks share: short markup lines,
// text paragraphs that wrap at 800 pixels and now and then a very long
// script line.  The same seed gives the same bytes in every program, so the
// figures of different benchmarks speak of the same text.

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

} // namespace bench
