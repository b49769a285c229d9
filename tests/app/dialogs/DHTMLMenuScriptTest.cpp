// The menu builder's files without windows: the array file's exact text
// for the default menu and a known tree, a randomised round trip through a
// JavaScript array reader (numbering, nesting, escaping, header fields),
// where the script block goes into a page, and copying the menu's files.

#include "app/dialogs/DHTMLMenuInstall.h"
#include "app/dialogs/DHTMLMenuScript.h"
#include "tests/app/dialogs/DialogTestFiles.h"
#include "tests/support/ScriptedUserInteraction.h"

#include "platform/base/Exceptions.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <random>

namespace {

// ---- A reader of the array file's JavaScript ---------------------------------------

// One element of an array literal: a string's value, a bare word or
// number as written, or nothing (a hole between two commas).
struct TElement {
    enum TKind { Hole, String, Word } Kind = Hole;
    std::string Text;
    bool operator==(const TElement&) const = default;
};
TElement str(std::string text) { return {TElement::String, std::move(text)}; }
TElement word(std::string text) { return {TElement::Word, std::move(text)}; }
const TElement hole{};

std::ostream& operator<<(std::ostream& out, const TElement& e) {
    return out << (e.Kind == TElement::Hole ? "<hole>" : e.Kind == TElement::String ? "\"" + e.Text + "\"" : e.Text);
}

// Reads every "name=[...]" array of the file, as a JavaScript engine
// reads array literals: strings with their escapes, words, holes; line
// breaks and "//" comments between elements are skipped.
std::map<std::string, std::vector<TElement>> readArrays(const std::string& file) {
    std::map<std::string, std::vector<TElement>> arrays;
    size_t at = 0;
    while ((at = file.find("=[", at)) != std::string::npos) {
        size_t nameStart = file.rfind('\n', at);
        nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
        const std::string name = file.substr(nameStart, at - nameStart);
        at += 2;
        std::vector<TElement> elements;
        TElement current;
        bool closed = false;
        while (at < file.size() && !closed) {
            const char c = file[at];
            if (c == '"') {
                current.Kind = TElement::String;
                for (++at; file.at(at) != '"'; ++at) {
                    char d = file[at];
                    if (d == '\r' || d == '\n')
                        throw std::runtime_error("line break inside a string of " + name);
                    if (d == '\\') {
                        d = file.at(++at);
                        d = d == 'r' ? '\r' : d == 'n' ? '\n' : d;
                    }
                    current.Text += d;
                }
                ++at;
            } else if (c == '/' && file.compare(at, 2, "//") == 0) {
                at = file.find('\n', at);
            } else if (c == ',' || c == ']') {
                // A comma right before the bracket ends the array.
                if (c == ',' || current.Kind != TElement::Hole)
                    elements.push_back(current);
                current = {};
                closed = c == ']';
                ++at;
            } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
                ++at;
            } else {
                current.Kind = TElement::Word;
                current.Text += c;
                ++at;
            }
        }
        EXPECT_TRUE(closed) << name;
        arrays[name] = elements;
    }
    return arrays;
}

// ---- Random menus ---------------------------------------------------------------------

std::string randomText(std::mt19937& random) {
    static const std::string alphabet = "aZ9 \"\\\r\n,]/\xE9\t'";
    std::string text;
    for (int n = std::uniform_int_distribution<int>(0, 6)(random); n > 0; --n)
        text += alphabet[std::uniform_int_distribution<size_t>(0, alphabet.size() - 1)(random)];
    return text;
}

std::vector<TMenuEntry> randomMenu(std::mt19937& random, int depth, int& budget) {
    std::vector<TMenuEntry> entries;
    for (int n = std::uniform_int_distribution<int>(1, 4)(random); n > 0 && budget > 0; --n, --budget) {
        TMenuEntry entry{.Caption = randomText(random), .Link = randomText(random),
                         .Width = std::uniform_int_distribution<int>(0, 1000)(random)};
        if (depth < 4 && std::uniform_int_distribution<int>(0, 2)(random) == 0)
            entry.Children = randomMenu(random, depth + 1, budget);
        entries.push_back(std::move(entry));
    }
    return entries;
}

TMenuLook randomLook(std::mt19937& random) {
    auto number = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    return {.FontSize = number(0, 100), .TextStyle = "italic", .TextWeight = "900", .LowBackground = "123456",
            .BorderWidth = number(0, 100), .DisappearDelay = number(0, 100000), .Top = number(-50, 50),
            .Left = number(-50, 50), .Position = number(0, 1) ? "middle" : "right", .Alignment = "center",
            .FontFamily = randomText(random), .FadeDuration = number(0, 100), .Horizontal = number(0, 1) == 1,
            .BorderBetweenItems = number(0, 1) == 1};
}

// Follows menu number from the arrays back to the tree it came from,
// recording the order in which submenus are announced.
std::vector<TMenuEntry> rebuild(const std::map<std::string, std::vector<TElement>>& arrays, int number,
                                const TMenuLook& look, std::vector<int>& announced, std::vector<int>& used) {
    const auto found = arrays.find("menu" + std::to_string(number));
    if (found == arrays.end()) {
        ADD_FAILURE() << "no menu" << number;
        return {};
    }
    ++used.at(static_cast<size_t>(number));
    const std::vector<TElement>& e = found->second;
    const bool first = number == 1;
    EXPECT_EQ((e.size() - 15) % 5, 0u) << "menu" << number;
    EXPECT_EQ(e[0], first ? word(std::to_string(look.Top)) : hole);
    EXPECT_EQ(e[1], first ? word(std::to_string(look.Left)) : hole);
    EXPECT_EQ(e[3], word(std::to_string(look.BorderWidth)));
    EXPECT_EQ(e[4], str(look.Position));
    EXPECT_EQ(e[5], word("config"));
    EXPECT_EQ(e[6], first ? word("1") : hole);
    EXPECT_EQ(e[7], str(look.Alignment));
    EXPECT_EQ(e[8], first ? hole : word("effect"));
    EXPECT_EQ(e[10], first ? word(look.Horizontal ? "1" : "0") : hole);
    for (size_t i : {9u, 11u, 12u, 13u, 14u})
        EXPECT_EQ(e[i], hole) << "menu" << number << " field " << i;
    std::vector<TMenuEntry> entries;
    for (size_t at = 15; at + 4 < e.size(); at += 5) {
        TMenuEntry entry{.Caption = e[at].Text};
        EXPECT_EQ(e[at + 2], hole);
        EXPECT_EQ(e[at + 4], word(look.BorderBetweenItems ? "1" : "0"));
        if (e[at + 3] == str("#")) {
            const std::string& link = e[at + 1].Text;
            EXPECT_EQ(link.rfind("show-menu", 0), 0u) << link;
            const int submenu = std::stoi(link.substr(9));
            announced.push_back(submenu);
            entry.Children = rebuild(arrays, submenu, look, announced, used);
        } else {
            EXPECT_EQ(e[at + 3], hole);
            entry.Link = e[at + 1].Text;
        }
        entries.push_back(std::move(entry));
    }
    if (!entries.empty()) {
        // The menu's width is its first item's.
        EXPECT_EQ(e[2].Kind, TElement::Word);
        entries.front().Width = std::stoi(e[2].Text);
    }
    return entries;
}

// The tree as the arrays can tell it: links of items with children and
// widths of items that do not open a menu are not written.
void expectSameMenu(const std::vector<TMenuEntry>& written, const std::vector<TMenuEntry>& read) {
    ASSERT_EQ(written.size(), read.size());
    for (size_t i = 0; i < written.size(); ++i) {
        EXPECT_EQ(read[i].Caption, written[i].Caption);
        if (written[i].Children.empty()) {
            EXPECT_EQ(read[i].Link, written[i].Link);
        }
        if (i == 0) {
            EXPECT_EQ(read[i].Width, written[i].Width);
        }
        expectSameMenu(written[i].Children, read[i].Children);
    }
}

int menusIn(const std::vector<TMenuEntry>& entries) {
    int count = 0;
    for (const TMenuEntry& entry : entries)
        count += entry.Children.empty() ? 0 : 1 + menusIn(entry.Children);
    return count;
}

} // namespace

TEST(DHTMLMenuScript, TheDefaultMenuGivesTheShippedArrayFileWordForWord) {
    const std::string expected =
        "timegap=500\r\nfollowspeed=5\r\nfollowrate=40\r\nsuboffset_top=10;\r\nsuboffset_left=10;\r\n\r\n"
        "effect = \"fade(duration=1);Shadow(color='#777777', Direction=135, Strength=5)\"\r\n\r\n"
        "function openwin(url)\r\n{\r\n"
        "\tnwin=window.open(url, \"nwin\",config=\"scrollbars=yes,resizable=yes,toolbar=yes,location=yes,status=yes,"
        "menubar=yes,\"); \r\n\tnwin.focus();\r\n}\r\n\r\n"
        "config=[\t\t\t\t\t// prop1 is an array of properties you can have as many property arrays as you need\r\n"
        "\"FFFFFF\",\t\t\t\t\t// Off Font Color\r\n"
        "\"808080\",\t\t\t\t\t// Off Back Color\r\n"
        "\"000000\",\t\t\t\t\t// On Font Color\r\n"
        "\"C0C0C0\",\t\t\t\t\t// On Back Color\r\n"
        "\"000000\",\t\t\t\t\t// Border Color\r\n"
        "9,\t\t\t\t\t\t// Font Size\r\n"
        "\"normal\",\t\t\t\t\t// Font Style\r\n"
        "\"normal\",\t\t\t\t\t// Font Weight\r\n"
        "\"verdana,tahoma,helvetica\",\t\t\t// Font\r\n"
        "3,\t\t\t\t\t\t// Padding\r\n"
        "\"arrow.gif\",\t\t\t\t\t// Sub Menu Image\r\n"
        "0,\t\t\t\t\t\t// 3D Border & Separator\r\n"
        "\"66ffff\",\t\t\t\t\t// 3D High Color \r\n"
        "\"000099\",\t\t\t\t\t// 3D Low Color\r\n"
        "\"\",\t\t\t\t\t\t// Referer item Font Color (leave this blank to disable)\r\n"
        "\"\",\t\t\t\t\t\t// Referer item Back Color (leave this blank to disable)\r\n"
        "]\r\n\r\n"
        "menu1=[0,0,80,1,\"left\",config,1,\"left\",,,1,,,,,\r\n\"Title\",\"\",,,1\r\n]\r\n\r\n";
    EXPECT_EQ(MenuArrayFileText({}, {{.Caption = "Title"}}), expected);
    EXPECT_EQ(ShippedFile("scripts/menu/newmenu_array.js"), expected);
}

TEST(DHTMLMenuScript, SubmenusAreNumberedAsADepthFirstWalkMeetsThem) {
    const std::vector<TMenuEntry> tree = {
        {.Caption = "A", .Children = {{.Caption = "A1", .Width = 120, .Children = {{.Caption = "A1a", .Link = "x.htm"}}},
                                      {.Caption = "A2", .Link = "a2.htm", .Width = 300}}},
        {.Caption = "B", .Children = {{.Caption = "B1", .Link = "b1.htm"}}}};
    TMenuLook look;
    look.Horizontal = false;
    look.BorderBetweenItems = false;
    EXPECT_EQ(MenuArraysText(look, tree),
              "menu1=[0,0,80,1,\"left\",config,1,\"left\",,,0,,,,,\r\n"
              "\"A\",\"show-menu2\",,\"#\",0,\r\n\"B\",\"show-menu4\",,\"#\",0\r\n]\r\n\r\n"
              "menu2=[,,120,1,\"left\",config,,\"left\",effect,,,,,,,\r\n"
              "\"A1\",\"show-menu3\",,\"#\",0,\r\n\"A2\",\"a2.htm\",,,0\r\n]\r\n\r\n"
              "menu3=[,,80,1,\"left\",config,,\"left\",effect,,,,,,,\r\n\"A1a\",\"x.htm\",,,0\r\n]\r\n\r\n"
              "menu4=[,,80,1,\"left\",config,,\"left\",effect,,,,,,,\r\n\"B1\",\"b1.htm\",,,0\r\n]\r\n\r\n");
    // An item without children before one with: the second announces menu 2.
    EXPECT_EQ(MenuArraysText({}, {{.Caption = "P"}, {.Caption = "Q", .Children = {{.Caption = "Q1"}}}}),
              "menu1=[0,0,80,1,\"left\",config,1,\"left\",,,1,,,,,\r\n\"P\",\"\",,,1,\r\n\"Q\",\"show-menu2\",,\"#\",1\r\n]"
              "\r\n\r\nmenu2=[,,80,1,\"left\",config,,\"left\",effect,,,,,,,\r\n\"Q1\",\"\",,,1\r\n]\r\n\r\n");
    EXPECT_EQ(MenuArraysText({}, {}), "");
}

TEST(DHTMLMenuScript, RandomMenusReadBackWholeThroughAJavaScriptReader) {
    std::mt19937 random(20240611);
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        int budget = std::uniform_int_distribution<int>(1, 30)(random);
        const std::vector<TMenuEntry> tree = randomMenu(random, 0, budget);
        const TMenuLook look = randomLook(random);
        const auto arrays = readArrays(MenuArrayFileText(look, tree));

        // The style array holds the looks, the font family as typed.
        const std::vector<TElement>& config = arrays.at("config");
        ASSERT_EQ(config.size(), 16u);
        EXPECT_EQ(config[1], str("123456"));
        EXPECT_EQ(config[5], word(std::to_string(look.FontSize)));
        EXPECT_EQ(config[6], str("italic"));
        EXPECT_EQ(config[7], str("900"));
        EXPECT_EQ(config[8], str(look.FontFamily));

        const int menus = 1 + menusIn(tree);
        EXPECT_EQ(static_cast<int>(arrays.size()), menus + 1); // and config
        std::vector<int> announced, used(static_cast<size_t>(menus) + 1, 0);
        expectSameMenu(tree, rebuild(arrays, 1, look, announced, used));
        // Each menu is announced once, in the order of a depth-first walk.
        for (size_t i = 0; i < announced.size(); ++i)
            EXPECT_EQ(announced[i], static_cast<int>(i) + 2);
        for (int n = 1; n <= menus; ++n)
            EXPECT_EQ(used[static_cast<size_t>(n)], 1) << "menu" << n;
    }
}

TEST(DHTMLMenuScript, TheBlockGoesRightBeforeTheFirstHeadEndOrAtTheStart) {
    EXPECT_EQ(kMenuScriptBlock.size(), 739u);
    EXPECT_EQ(kMenuScriptBlock.find("*/</SCRIPT>") + 11, 579u);
    EXPECT_EQ(kMenuScriptBlock.substr(kMenuScriptBlock.size() - 2), "T>");
    for (size_t at = kMenuScriptBlock.find('\n'); at != std::string_view::npos; at = kMenuScriptBlock.find('\n', at + 1))
        EXPECT_EQ(kMenuScriptBlock[at - 1], '\r') << at;

    EXPECT_EQ(MenuScriptBlockOffset("<HTML><HEAD><TITLE>t</TITLE></HEAD></HTML>"), 28u);
    EXPECT_EQ(MenuScriptBlockOffset("<html>\r\n<head>\r\n</head>\r\n</html>"), 16u);
    EXPECT_EQ(MenuScriptBlockOffset("</HeAd></HEAD>"), 0u);
    EXPECT_EQ(MenuScriptBlockOffset("x</hEaD"), 1u);
    EXPECT_EQ(MenuScriptBlockOffset("<P>no head here</P>"), 0u);
    EXPECT_EQ(MenuScriptBlockOffset(""), 0u);
}

TEST(DHTMLMenuScript, TheFilesAreCopiedWholeOrNotAtAll) {
    TTestProgramFolder program;
    CopyMenuScripts(program);
    const std::string site = program.File("site");
    std::filesystem::create_directories(site);
    // An old copy beside the page is replaced when the user says so.
    TTestProgramFolder::WriteFileBytes(site + "/mmenu.js", "old");
    SaveMenuArrayFile("menu1=[];");
    TScriptedUserInteraction user;
    user.AnswerMessage(mrYes);
    CopyMenuScriptFiles(site);
    for (const std::string& name : MenuScriptFiles())
        EXPECT_EQ(TTestProgramFolder::ReadFileBytes(site + "/" + name),
                  TTestProgramFolder::ReadFileBytes(MenuScriptPath(name)))
            << name;
    EXPECT_EQ(TTestProgramFolder::ReadFileBytes(site + "/newmenu_array.js"), "menu1=[];");
    EXPECT_EQ(TTestProgramFolder::ReadFileBytes(site + "/arrow.gif").substr(0, 6), "GIF89a");

    // A page in the menu folder itself: nothing is copied onto itself.
    const std::string script = TTestProgramFolder::ReadFileBytes(MenuScriptPath("mmenu.js"));
    EXPECT_NO_THROW(CopyMenuScriptFiles(program.File("scripts/menu")));
    EXPECT_EQ(TTestProgramFolder::ReadFileBytes(MenuScriptPath("mmenu.js")), script);

    // A missing source: nothing is written.
    const std::string other = program.File("other");
    std::filesystem::create_directories(other);
    std::filesystem::remove(MenuScriptPath("arrow.gif"));
    EXPECT_THROW(CopyMenuScriptFiles(other), EFOpenError);
    EXPECT_TRUE(std::filesystem::is_empty(other));
}

// Each of the menu's names beside a page is free, holds the menu's file,
// holds a file of the user's, or is a link or a folder; the user answers
// at random.  Model: a link or a folder refuses the whole copy before
// anything is asked or written; else each file of the user's is asked
// about in order until Yes to all, replaced after Yes or Yes to all and
// kept as it was otherwise; the menu's own file is not written again; one
// message names the files kept.
TEST(DHTMLMenuScript, TheUsersFilesBesideThePageAreReplacedOnlyAfterAQuestion) {
    // A folder reads as nothing (a stream would raise).
    auto read = [](const std::string& name) {
        return std::filesystem::is_directory(name) ? std::string() : TTestProgramFolder::ReadFileBytes(name);
    };
    namespace fs = std::filesystem;
    TTestProgramFolder program;
    CopyMenuScripts(program);
    SaveMenuArrayFile("menu1=[];");
    const std::string victim = program.File("victim.txt");
    TTestProgramFolder::WriteFileBytes(victim, "victim");
    TScriptedUserInteraction user;
    std::mt19937 random(42);
    const std::vector<std::string>& names = MenuScriptFiles();
    for (int round = 0; round < 80; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const std::string site = program.File("site" + std::to_string(round));
        fs::create_directories(site);
        enum TBeside { bFree, bMenus, bUsers, bLink, bFolder };
        std::vector<TBeside> beside;
        std::vector<std::string> target, before, menus;
        std::vector<fs::file_time_type> stamps;
        bool refused = false;
        for (const std::string& name : names) {
            beside.push_back(static_cast<TBeside>(random() % 10 < 8 ? random() % 3 : 3 + random() % 2));
            target.push_back(site + "/" + name);
            menus.push_back(TTestProgramFolder::ReadFileBytes(MenuScriptPath(name)));
            refused = refused || beside.back() >= bLink;
            if (beside.back() == bMenus || beside.back() == bUsers)
                TTestProgramFolder::WriteFileBytes(target.back(), beside.back() == bMenus ? menus.back() : "mine");
            else if (beside.back() == bLink)
                fs::create_symlink(random() % 2 ? victim : site + "/nowhere", target.back());
            else if (beside.back() == bFolder)
                fs::create_directory(target.back());
            before.push_back(read(target.back()));
            std::error_code none;
            stamps.push_back(fs::last_write_time(target.back(), none));
        }
        // The answers, and what the model makes of them.
        std::vector<bool> written(names.size());
        std::vector<size_t> asked, kept;
        bool yesToAll = false;
        for (size_t i = 0; i < names.size(); ++i) {
            written[i] = !refused && (beside[i] == bFree || (beside[i] == bUsers && yesToAll));
            if (refused || beside[i] != bUsers || yesToAll)
                continue;
            const int answer = std::vector{mrYes, mrNo, mrYesToAll, mrCancel}[random() % 4];
            user.AnswerMessage(answer);
            asked.push_back(i);
            yesToAll = answer == mrYesToAll;
            written[i] = answer == mrYes || yesToAll;
            if (!written[i])
                kept.push_back(i);
        }
        if (!kept.empty())
            user.AnswerMessage(mrOk);
        user.Calls.clear();
        if (refused) {
            EXPECT_THROW(CopyMenuScriptFiles(site), EFCreateError);
        } else {
            EXPECT_EQ(CopyMenuScriptFiles(site).size(), kept.size());
        }
        EXPECT_EQ(user.PendingAnswers(), 0u);
        ASSERT_EQ(user.Calls.size(), asked.size() + (kept.empty() ? 0 : 1));
        for (size_t q = 0; q < user.Calls.size(); ++q)
            for (size_t i = 0; i < names.size(); ++i) {
                // Each question names its file; the last message the kept ones.
                const bool named = q < asked.size() ? asked[q] == i : std::count(kept.begin(), kept.end(), i) > 0;
                EXPECT_EQ(user.Calls[q].Text.find(target[i]) != std::string::npos, named) << user.Calls[q].Text;
                EXPECT_EQ(user.Calls[q].Buttons, q < asked.size() ? mbYesYesToAllNo : mbOKOnly);
            }
        for (size_t i = 0; i < names.size(); ++i) {
            EXPECT_EQ(read(target[i]), written[i] ? menus[i] : before[i]) << names[i];
            std::error_code none;
            if (!written[i]) {
                EXPECT_EQ(fs::last_write_time(target[i], none), stamps[i]) << names[i] << " is left as it was";
            }
        }
        EXPECT_EQ(TTestProgramFolder::ReadFileBytes(victim), "victim");
    }
}
