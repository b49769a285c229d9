// The ready-made framesets and tables read back as a browser would lay
// them out: every frameset nests and closes, names each frame once and
// ends with the same NOFRAMES body; every table is a full grid once its
// row and column spans are placed.  And the body of a page as the table
// dialog takes it from the design view.

#include "app/dialogs/FrameDialogs.h"
#include "app/dialogs/TableTemplateDialog.h"
#include "app/dialogs/TableTemplates.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>

namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "the last line ends with CR LF";
    return lines;
}

int attribute(const std::string& tag, const char* name) {
    std::smatch match;
    if (std::regex_search(tag, match, std::regex(std::string(name) + "=\"([0-9]+)\"")))
        return std::stoi(match[1]);
    return 1;
}

} // namespace

TEST(Templates, EveryFramesetNestsClosesAndEndsWithTheNoFramesBody) {
    const std::vector<std::string> tail = {"<NOFRAMES>", "<BODY>",
                                           "This site uses frames but your browser doesn't support them", "</BODY>",
                                           "</NOFRAMES>", "</FRAMESET>"};
    // How many frames each template lays out.
    const int frames[8] = {2, 2, 2, 3, 3, 3, 5, 4};
    for (size_t t = 0; t < FrameTemplates().size(); ++t) {
        SCOPED_TRACE("template " + std::to_string(t + 1));
        const std::vector<std::string> lines = linesOf(FrameTemplates()[t]);
        ASSERT_GT(lines.size(), tail.size());
        EXPECT_TRUE(std::equal(tail.begin(), tail.end(), lines.end() - static_cast<long>(tail.size())));
        int depth = 0, frameCount = 0;
        std::set<std::string> names;
        for (size_t i = 0; i + tail.size() < lines.size(); ++i) {
            const std::string& line = lines[i];
            const size_t indent = line.find_first_not_of(' ');
            // Nested lines are indented, the outermost is not.
            EXPECT_EQ(indent == 0, i == 0) << line;
            if (line.find("<FRAMESET ") != std::string::npos) {
                ++depth;
                EXPECT_NE(line.find("> <!-- Specify your frame sizes --> "), std::string::npos) << line;
            } else if (line.find("</FRAMESET>") != std::string::npos) {
                --depth;
                EXPECT_GE(depth, 1) << line;
            } else {
                std::smatch match;
                ASSERT_TRUE(std::regex_match(line, match, std::regex(" +<FRAME NAME=\"([a-z]+)\" SRC=\"Src file\"> ")))
                    << line;
                EXPECT_TRUE(names.insert(match[1]).second) << match[1];
                ++frameCount;
            }
        }
        EXPECT_EQ(depth, 1) << "the tail closes the outermost frameset";
        EXPECT_EQ(frameCount, frames[t]);
    }
}

TEST(Templates, EveryTableIsAFullGridOnceItsSpansArePlaced) {
    const char* const captions[] = {"Template one",   "Template two",   "Template three", "Template four",
                                    "Template five",  "Template six",   "Template seven", "Template eight",
                                    "Template nine",  "Template twelve"};
    for (size_t t = 0; t < TableTemplates().size(); ++t) {
        const TTableTemplate& table = TableTemplates()[t];
        SCOPED_TRACE(table.Caption);
        EXPECT_EQ(table.Caption, captions[t]);
        const std::vector<std::string> lines = linesOf(table.Text);
        ASSERT_GE(lines.size(), 2u);
        EXPECT_EQ(lines.front().rfind("<TABLE border=\"1\" width=\"", 0), 0u) << lines.front();
        EXPECT_NE(lines.front().find(" align=\"center\">"), std::string::npos);
        EXPECT_EQ(lines.back(), "</TABLE>");

        // Places each cell in the first free column of its row, marking
        // the rows and columns it spans; every row must then be full.
        std::vector<std::vector<bool>> taken;
        int row = -1, columns = -1;
        auto finishRow = [&] {
            if (row < 0)
                return;
            const int width = static_cast<int>(taken[static_cast<size_t>(row)].size());
            if (columns < 0)
                columns = width;
            EXPECT_EQ(width, columns) << "row " << row + 1;
            for (bool cell : taken[static_cast<size_t>(row)])
                EXPECT_TRUE(cell) << "a hole in row " << row + 1;
        };
        for (size_t i = 1; i + 1 < lines.size(); ++i) {
            const std::string& line = lines[i];
            if (line.rfind("  <TR", 0) == 0) {
                finishRow();
                ++row;
                if (taken.size() <= static_cast<size_t>(row))
                    taken.resize(static_cast<size_t>(row) + 1);
            } else if (line.rfind("    <TD", 0) == 0) {
                ASSERT_GE(row, 0);
                auto& cells = taken[static_cast<size_t>(row)];
                size_t column = 0;
                while (column < cells.size() && cells[column])
                    ++column;
                const int rows = attribute(line, "rowspan"), cols = attribute(line, "colspan");
                for (int r = 0; r < rows; ++r) {
                    if (taken.size() <= static_cast<size_t>(row + r))
                        taken.resize(static_cast<size_t>(row + r) + 1);
                    auto& target = taken[static_cast<size_t>(row + r)];
                    if (target.size() < column + static_cast<size_t>(cols))
                        target.resize(column + static_cast<size_t>(cols), false);
                    for (int c = 0; c < cols; ++c) {
                        EXPECT_FALSE(target[column + static_cast<size_t>(c)]) << "cells overlap: " << line;
                        target[column + static_cast<size_t>(c)] = true;
                    }
                }
                const bool paragraphs = line.back() == '>' && line.find("&nbsp;") == std::string::npos;
                if (paragraphs) {
                    EXPECT_EQ(lines[i + 1], "      <P>&nbsp;</P>");
                    EXPECT_EQ(lines[i + 2], "      <P>&nbsp;</P>");
                    EXPECT_EQ(lines[i + 3], "    </TD>");
                    i += 3;
                } else {
                    EXPECT_TRUE(line.ends_with(">&nbsp;</TD>")) << line;
                }
            } else {
                EXPECT_EQ(line, "  </TR>");
            }
        }
        finishRow();
        EXPECT_EQ(static_cast<int>(taken.size()), row + 1) << "a span reaches past the last row";
        EXPECT_GT(columns, 0);
    }
}

TEST(Templates, TheTableDialogTakesTheBodyOfThePageOrAllOfIt) {
    EXPECT_EQ(Tmodtablefrm::BodyOf("<html><head></head><body>\r\n<table>x</table>\r\n</body></html>"),
              "\r\n<table>x</table>\r\n");
    EXPECT_EQ(Tmodtablefrm::BodyOf("<HTML><BODY class=\"a>b\">T</Body></HTML>"), "b\">T");
    EXPECT_EQ(Tmodtablefrm::BodyOf("<BODY>A</BODY><BODY>B</BODY>"), "A");
    EXPECT_EQ(Tmodtablefrm::BodyOf("<table>no body</table>"), "<table>no body</table>");
    EXPECT_EQ(Tmodtablefrm::BodyOf("<body>never closed"), "<body>never closed");
    EXPECT_EQ(Tmodtablefrm::BodyOf("<body"), "<body");
}
