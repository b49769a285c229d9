// The recently used list against a model of its rules under random use,
// its captions, and its settings-file round trip through the INI class.

#include "toolbars/TBMRUList.h"

#include "platform/base/FileNameText.h"
#include "platform/base/IniFile.h"
#include "platform/base/Utf8.h"
#include "tests/support/ScriptedUserInteraction.h"
#include "tests/platform/base/TempFolder.h"
#include "toolbars/TBCommon.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>

namespace {

std::vector<std::string> namesOf(const TTBMRUList& list) {
    std::vector<std::string> names;
    for (int i = 0; i < list.Items().Count(); ++i)
        names.push_back(list.Items().Strings(i));
    return names;
}

// The caption rule written out independently: "&1 " .. "&9 ", "&A " ..
// "&Z ", then the bare name as file names show (bytes that are not UTF-8
// escaped); the name's own ampersands doubled.
std::string expectedCaption(int index, const std::string& fileName) {
    std::string title = DisplayTextOfName(std::filesystem::path(fileName).filename().string());
    std::string shown;
    for (char c : title)
        shown += c == '&' ? std::string("&&") : std::string(1, c);
    if (index < 9)
        return "&" + std::to_string(index + 1) + " " + shown;
    if (index < 35)
        return std::string("&") + static_cast<char>('A' + index - 9) + " " + shown;
    return shown;
}

TEST(MRUList, RandomUseFollowsTheMostRecentFirstRules) {
    TTempFolder folder;
    TScriptedUserInteraction interaction;
    // Files that exist, and two names that do not.
    std::vector<std::string> pool;
    // Names are bytes: some are not UTF-8, one holds what reads as an escape.
    for (std::string name : {"a.htm", "A.htm", "b&c.html", "page.htm", "deep/x.htm", "deep/y.htm", "z",
                             "caf\xE9.htm", "deep/\xFF\xC3&.htm", "back\\x41slash.htm"}) {
        std::filesystem::path path = folder.Path() / name;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path) << "x";
        pool.push_back(path.string());
    }
    pool.push_back((folder.Path() / "gone.htm").string());
    pool.push_back((folder.Path() / "deep" / ".." / "gone too.htm").string());
    pool.push_back((folder.Path() / "gone \xE9t\xE9.htm").string());

    std::mt19937 random(42);
    TTBMRUList list;
    list.SetMaxItems(4);
    std::vector<std::string> model;
    int changes = 0;
    std::vector<std::string> clicked;
    list.OnChange = [&](TPersistent*) { ++changes; };
    list.OnClick = [&](TTBMRUList*, const std::string& name) { clicked.push_back(name); };
    for (int step = 0; step < 2000; ++step) {
        int action = static_cast<int>(random() % 10);
        if (action < 6) {
            std::string name = pool[random() % pool.size()];
            list.Add(name);
            std::string full = std::filesystem::absolute(name).lexically_normal().string();
            model.erase(std::remove(model.begin(), model.end(), full), model.end());
            model.insert(model.begin(), full);
        } else if (action < 7) {
            int max = static_cast<int>(random() % 12);
            list.SetMaxItems(max);
        } else if (!model.empty()) {
            // Choosing an entry: an existing file moves to the top and is
            // handed on; a missing one is reported and stays where it is.
            size_t index = random() % model.size();
            size_t callsBefore = interaction.Calls.size();
            if (!std::filesystem::exists(model[index]))
                interaction.AnswerMessage(mrOk);
            list.Container()->ItemAt(static_cast<int>(index))->Click();
            std::string name = model[index];
            if (std::filesystem::exists(name)) {
                model.erase(model.begin() + static_cast<long>(index));
                model.insert(model.begin(), name);
                ASSERT_FALSE(clicked.empty());
                ASSERT_EQ(clicked.back(), name);
            } else {
                ASSERT_EQ(interaction.Calls.size(), callsBefore + 1);
                ASSERT_NE(interaction.Calls.back().Text.find(DisplayTextOfName(name)), std::string::npos);
                ASSERT_TRUE(IsValidUtf8(interaction.Calls.back().Text));
            }
        }
        if (static_cast<int>(model.size()) > list.MaxItems())
            model.resize(static_cast<size_t>(std::max(0, list.MaxItems())));
        ASSERT_EQ(namesOf(list), model) << "step " << step;
        ASSERT_EQ(list.Container()->Count(), static_cast<int>(model.size()));
        for (size_t i = 0; i < model.size(); ++i) {
            const std::string caption = list.Container()->ItemAt(static_cast<int>(i))->Caption();
            ASSERT_EQ(caption, expectedCaption(static_cast<int>(i), model[i]));
            ASSERT_TRUE(IsValidUtf8(caption)) << caption;
        }
    }
    EXPECT_GT(changes, 0);
}

TEST(MRUList, AccessKeysRunFromOneToNineThenAToZ) {
    TTBMRUList list;
    list.AddFullPath = false;
    list.SetMaxItems(40);
    for (int i = 0; i < 40; ++i)
        list.Add("/f" + std::to_string(39 - i));
    for (int i = 0; i < 40; ++i) {
        std::string caption = list.Container()->ItemAt(i)->Caption();
        ASSERT_EQ(caption, expectedCaption(i, "/f" + std::to_string(i)));
        char key = AccessKeyOf(caption);
        ASSERT_EQ(key, i < 9 ? '1' + i : i < 35 ? 'A' + i - 9 : 0);
    }
    list.SetHidePathExtension(false);
    EXPECT_EQ(list.Container()->ItemAt(0)->Caption(), "&1 /f0");
}

TEST(MRUList, SettingsRoundTripSkipsGapsAndDeletesStaleKeys) {
    TTempFolder folder;
    std::string file = folder.File("zozed.dat");
    {
        std::ofstream out(file);
        out << "[MRU]\nmru1=/one.htm\nmru2=\nmru3=/three.htm\nmru11=/beyond.htm\n[Other]\nmru1=/x\n";
    }
    TIniFile ini(file);
    TTBMRUList list;
    list.Prefix = "mru";
    list.SetMaxItems(10);
    list.AddFullPath = false;
    list.LoadFromIni(ini, "MRU");
    EXPECT_EQ(namesOf(list), (std::vector<std::string>{"/one.htm", "/three.htm"}));

    list.Add("/new.htm");
    list.SaveToIni(ini, "MRU");
    TIniFile again(file);
    EXPECT_EQ(again.ReadString("MRU", "mru1", ""), "/new.htm");
    EXPECT_EQ(again.ReadString("MRU", "mru2", ""), "/one.htm");
    EXPECT_EQ(again.ReadString("MRU", "mru3", ""), "/three.htm");
    for (int i = 4; i <= 10; ++i)
        EXPECT_FALSE(again.ValueExists("MRU", "mru" + std::to_string(i))) << i;
    EXPECT_EQ(again.ReadString("MRU", "mru11", ""), "/beyond.htm"); // beyond MaxItems: left alone
    EXPECT_EQ(again.ReadString("Other", "mru1", ""), "/x");

    TTBMRUList loaded;
    loaded.Prefix = "mru";
    loaded.SetMaxItems(10);
    loaded.LoadFromIni(again, "MRU");
    EXPECT_EQ(namesOf(loaded), namesOf(list));

    // A refused write raises the settings file's error (a file can not be
    // written below another file, whoever runs the test).
    TIniFile unwritable(file + "/below.ini");
    try {
        list.SaveToIni(unwritable, "MRU");
        FAIL() << "the write went through";
    } catch (const EIniFileException& e) {
        EXPECT_NE(e.Message().find("Unable to write to"), std::string::npos);
    }
}

// Names hold whatever bytes a file name may hold: line breaks, quotes,
// blanks at either end, '=', ';', '[', '%', "file:" and bytes that are not
// UTF-8.  Saved into the settings file among other sections and read back,
// a list of such names is the same list (but for relative names with line
// breaks or that read as a file address, which a file can not hold), and
// the file's other values stay.
TEST(MRUList, AnyFileNameSurvivesTheSettingsFile) {
    static const std::vector<std::string> pieces = {
        "a", "/", " ", "\n",  "\r", "\r\n",     "\"",   "'",  "=",     ";",
        "[", "]", "%", "%0A", "\\", "\xC3\xA9", "\xFF", "\t", "file:", "file://"};
    std::mt19937 random(4242);
    TTempFolder folder;
    const std::string file = folder.File("zozed.dat");
    for (int round = 0; round < 300; ++round) {
        {
            std::ofstream out(file, std::ios::binary);
            out << "[Before]\nkey=kept\n[MRU]\nmru1=/old.htm\n[After]\nother= spaced \n";
        }
        TTBMRUList list;
        list.Prefix = "mru";
        list.SetMaxItems(1 + static_cast<int>(random() % 6));
        list.AddFullPath = false;
        for (int n = 1 + static_cast<int>(random() % 8); n > 0; --n) {
            std::string name = random() % 2 == 0 ? "/" : "";
            for (int parts = 1 + static_cast<int>(random() % 10); parts > 0; --parts)
                name += pieces[random() % pieces.size()];
            list.Add(name);
        }
        TIniFile ini(file);
        list.SaveToIni(ini, "MRU");

        TTBMRUList loaded;
        loaded.Prefix = "mru";
        loaded.SetMaxItems(list.MaxItems());
        loaded.LoadFromIni(TIniFile(file), "MRU");
        std::vector<std::string> kept = namesOf(list);
        std::erase_if(kept, [](const std::string& name) {
            std::string path;
            return !name.starts_with('/') &&
                   (name.find_first_of("\r\n") != std::string::npos ||
                    (name.starts_with("file://") && PathOfFileUri(name, path)));
        });
        ASSERT_EQ(namesOf(loaded), kept) << "round " << round;
        TIniFile again(file);
        EXPECT_EQ(again.ReadString("Before", "key", ""), "kept");
        EXPECT_EQ(again.ReadString("After", "other", ""), "spaced");
    }
}

} // namespace
