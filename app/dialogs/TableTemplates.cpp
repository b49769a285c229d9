#include "app/dialogs/TableTemplates.h"

#include <vector>

namespace {

// A cell: its attributes (each with its leading blank), and whether it
// holds two empty paragraphs instead of one blank.
struct TCell {
    std::string Attributes = {};
    bool Paragraphs = false;
};
struct TRow {
    std::string Attributes = {};
    std::vector<TCell> Cells = {};
};

std::string tableText(const std::string& attributes, const std::vector<TRow>& rows) {
    std::string text = "<TABLE border=\"1\"" + attributes + " align=\"center\">\r\n";
    for (const TRow& row : rows) {
        text += "  <TR" + row.Attributes + ">\r\n";
        for (const TCell& cell : row.Cells) {
            if (cell.Paragraphs)
                text += "    <TD" + cell.Attributes + ">\r\n      <P>&nbsp;</P>\r\n      <P>&nbsp;</P>\r\n    </TD>\r\n";
            else
                text += "    <TD" + cell.Attributes + ">&nbsp;</TD>\r\n";
        }
        text += "  </TR>\r\n";
    }
    return text + "</TABLE>\r\n";
}

// count plain cells with the same attributes.
std::vector<TCell> cells(int count, const std::string& attributes = {}, bool paragraphs = false) {
    return std::vector<TCell>(static_cast<size_t>(count), TCell{attributes, paragraphs});
}

std::string span(int rows, int columns = 1) {
    std::string text;
    if (columns > 1)
        text += " colspan=\"" + std::to_string(columns) + "\"";
    if (rows > 1)
        text += " rowspan=\"" + std::to_string(rows) + "\"";
    return text;
}

std::string color(const char* value) { return std::string(" bgcolor=\"") + value + "\""; }

std::vector<TRow> striped(int rows, int columns, const char* first, const char* second, bool paragraphs = false) {
    std::vector<TRow> table;
    for (int i = 0; i < rows; ++i)
        table.push_back({color(i % 2 == 0 ? first : second), cells(columns, {}, paragraphs)});
    return table;
}

} // namespace

const std::array<TTableTemplate, 10>& TableTemplates() {
    static const std::array<TTableTemplate, 10> templates = [] {
        const TCell c{};
        const TCell p{{}, true};
        std::vector<TRow> nine = striped(7, 5, "#FF6666", "#FFFFCC");
        nine.insert(nine.begin(), TRow{color("#0099CC") + " align=\"center\"", cells(5)});
        std::vector<TRow> six = {{color("#DFDFFF") + " align=\"none\"", {{span(1, 2) + " align=\"none\""}}}};
        for (int i = 0; i < 4; ++i)
            six.push_back({color("#FFFFCA"), {{" align=\"none\""}, c}});
        return std::array<TTableTemplate, 10>{{
            {"Template one", tableText(" width=\"75%\"", striped(5, 3, "lightgrey", "white", true))},
            {"Template two",
             tableText(" width=\"58%\"", {{{}, {{span(3) + " width=\"36%\""}, p}}, {{}, {p}}, {{}, {p}}})},
            {"Template three",
             tableText(" width=\"60%\"", {{{}, {c, {span(3) + " width=\"35%\""}, c}}, {{}, {c, {span(2)}}}, {{}, {c}}})},
            {"Template four", tableText(" width=\"61%\" height=\"150\"", {{{}, {{span(2)}, {span(1, 2)}}},
                                                                         {{}, {{span(2)}, c}},
                                                                         {{}, {c, {span(2)}}},
                                                                         {{}, {{span(1, 2)}}}})},
            {"Template five", tableText(" width=\"59%\"", {{{}, {{span(2)}, c, c, c}},
                                                          {{}, {{span(3, 2)}, c}},
                                                          {{}, {c, c}},
                                                          {{}, {{span(2)}, c}},
                                                          {{}, cells(3, " height=\"26\"")}})},
            {"Template six", tableText(" width=\"57%\"", six)},
            {"Template seven",
             tableText(" width=\"55%\"", {{{}, {{span(3)}, c, {span(3)}, c}}, {{}, {c, c}}, {{}, {c, c}}})},
            {"Template eight", tableText(" width=\"49%\"", {{{}, {{span(2, 2)}, c}}, {{}, {c}}, {{}, cells(3)}})},
            {"Template nine", tableText(" width=\"60%\"", nine)},
            {"Template twelve", tableText(" width=\"64%\"", {{{}, {{span(4)}, c}},
                                                            {{}, {c}},
                                                            {{}, {c}},
                                                            {{}, {c}},
                                                            {{}, {c, {span(4)}}},
                                                            {{}, {c}},
                                                            {{}, {c}},
                                                            {{}, {c}}})},
        }};
    }();
    return templates;
}
