#include "app/dialogs/DHTMLMenuScript.h"

#include "platform/base/TextCodec.h"

namespace {

constexpr const char* kCrLf = "\r\n";

// A value of the config array, its tab stops and its comment.
std::string configLine(std::string_view value, int tabs, std::string_view comment) {
    std::string line(value);
    line.append(static_cast<size_t>(tabs), '\t');
    line.append(comment);
    return line + kCrLf;
}

// A JavaScript string literal of text.
std::string literal(std::string_view text) {
    std::string quoted(1, '"');
    quoted += JavaScriptStringText(text);
    quoted += '"';
    return quoted;
}

std::string quoted(std::string_view text) { return literal(text) + ","; }

// The header of menu number: position, size, border, looks; the first
// menu alone carries its place on the page and the horizontal flag, the
// others the effect they appear with.
std::string menuHeader(const TMenuLook& look, int number, int width) {
    const bool first = number == 1;
    std::string header = "menu" + std::to_string(number) + "=[";
    if (first)
        header += std::to_string(look.Top);
    header += ",";
    if (first)
        header += std::to_string(look.Left);
    header += ",";
    header += std::to_string(width);
    header += ",";
    header += std::to_string(look.BorderWidth);
    header += ",\"";
    header += look.Position;
    header += "\",config,";
    if (first)
        header += "1";
    header += ",\"";
    header += look.Alignment;
    header += "\",";
    if (!first)
        header += "effect";
    header += ",,";
    if (first)
        header += look.Horizontal ? "1" : "0";
    header += ",,,,";
    return header;
}

// Numbers the menus while it walks the tree depth first, parents before
// children: the children of an item form the menu opened right after it.
class TArrayWriter {
public:
    explicit TArrayWriter(const TMenuLook& look) : look_(look) {}

    // Writes the menu the entries form; its number was taken already.
    void WriteMenu(const std::vector<TMenuEntry>& entries, int number) {
        if (entries.empty())
            return;
        if (menus_.size() < static_cast<size_t>(number))
            menus_.resize(static_cast<size_t>(number));
        menus_[static_cast<size_t>(number) - 1] = menuHeader(look_, number, entries.front().Width);
        const std::string border = look_.BorderBetweenItems ? "1" : "0";
        for (const TMenuEntry& entry : entries) {
            std::string row = literal(entry.Caption) + ",";
            if (entry.Children.empty()) {
                row += literal(entry.Link) + ",,," + border;
                menus_[static_cast<size_t>(number) - 1] += std::string(",") + kCrLf + row;
                continue;
            }
            const int submenu = ++lastNumber_;
            row += literal("show-menu" + std::to_string(submenu)) + ",,\"#\"," + border;
            menus_[static_cast<size_t>(number) - 1] += std::string(",") + kCrLf + row;
            WriteMenu(entry.Children, submenu);
        }
    }

    std::string Text() const {
        std::string text;
        for (const std::string& menu : menus_)
            text += menu + kCrLf + "]" + kCrLf + kCrLf;
        return text;
    }

private:
    const TMenuLook& look_;
    std::vector<std::string> menus_;
    int lastNumber_ = 1;
};

} // namespace

std::string JavaScriptStringText(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '\\': escaped += "\\\\"; break;
        case '"': escaped += "\\\""; break;
        case '\r': escaped += "\\r"; break;
        case '\n': escaped += "\\n"; break;
        default: escaped += c;
        }
    }
    return escaped;
}

std::string MenuConfigText(const TMenuLook& look) {
    std::string text = "timegap=" + std::to_string(look.DisappearDelay) + kCrLf;
    text += std::string("followspeed=5") + kCrLf + "followrate=40" + kCrLf + "suboffset_top=10;" + kCrLf +
            "suboffset_left=10;" + kCrLf + kCrLf;
    text += "effect = \"fade(duration=" + std::to_string(look.FadeDuration) +
            ");Shadow(color='#777777', Direction=135, Strength=5)\"" + kCrLf + kCrLf;
    text += std::string("function openwin(url)") + kCrLf + "{" + kCrLf +
            "\tnwin=window.open(url, \"nwin\",config=\"scrollbars=yes,resizable=yes,toolbar=yes,location=yes,"
            "status=yes,menubar=yes,\"); " +
            kCrLf + "\tnwin.focus();" + kCrLf + "}" + kCrLf + kCrLf;
    text += configLine("config=[", 5,
                       "// prop1 is an array of properties you can have as many property arrays as you need");
    text += configLine(quoted(look.LowFont), 5, "// Off Font Color");
    text += configLine(quoted(look.LowBackground), 5, "// Off Back Color");
    text += configLine(quoted(look.HighFont), 5, "// On Font Color");
    text += configLine(quoted(look.HighBackground), 5, "// On Back Color");
    text += configLine(quoted(look.Border), 5, "// Border Color");
    text += configLine(std::to_string(look.FontSize) + ",", 6, "// Font Size");
    text += configLine(quoted(look.TextStyle), 5, "// Font Style");
    text += configLine(quoted(look.TextWeight), 5, "// Font Weight");
    text += configLine(quoted(look.FontFamily), 3, "// Font");
    text += configLine("3,", 6, "// Padding");
    text += configLine("\"arrow.gif\",", 5, "// Sub Menu Image");
    text += configLine("0,", 6, "// 3D Border & Separator");
    text += configLine("\"66ffff\",", 5, "// 3D High Color ");
    text += configLine("\"000099\",", 5, "// 3D Low Color");
    text += configLine("\"\",", 6, "// Referer item Font Color (leave this blank to disable)");
    text += configLine("\"\",", 6, "// Referer item Back Color (leave this blank to disable)");
    text += configLine("]", 0, "");
    return text + kCrLf;
}

std::string MenuArraysText(const TMenuLook& look, const std::vector<TMenuEntry>& topLevel) {
    TArrayWriter writer(look);
    writer.WriteMenu(topLevel, 1);
    return writer.Text();
}

// The first element is a comment for the reader of the page: what the
// two included files are and on what terms the script may be used.
const std::string_view kMenuScriptBlock =
    "<SCRIPT>/*\r\n"
    "  Korvane Ondrill drop-down menu script, version 1.0\r\n"
    "  written by the Korvane Ondrill authors for web pages.\r\n"
    "  Settings and menu arrays are read from newmenu_array.js.\r\n"
    "\r\n"
    "  Terms of use: free of charge on any page, personal\r\n"
    "  or commercial; you may change the script to suit\r\n"
    "  your pages and pass it on, changed or not, as long\r\n"
    "  as this notice stays with it, whole and unchanged.\r\n"
    "  It comes as it is, without warranty of any kind.\r\n"
    "\r\n"
    "  Keep mmenu.js, newmenu_array.js and arrow.gif together\r\n"
    "  in the folder of the web page which uses all of them.\r\n"
    "*/</SCRIPT>\r\n"
    "\r\n"
    "<SCRIPT language=JavaScript src=\"newmenu_array.js\" type=text/javascript></SCRIPT>\r\n"
    "<SCRIPT language=JavaScript src=\"mmenu.js\" type=text/javascript></SCRIPT>";

size_t MenuScriptBlockOffset(std::string_view page) {
    const size_t at = UpperCase(page).find("</HEAD");
    return at == std::string::npos ? 0 : at;
}
