// The pieces the shell tree's and list's refresh stand on, checked against
// plain models: the difference of a shown and a present enumeration (by
// bytes and by the folder's comparison) on random name sets full of
// letter-case twins; file masks against the C library's own matcher; the
// enumeration of a real folder; and the program-wide column memory.

#include "platform/base/Registry.h"
#include "platform/shellns/NamespaceItems.h"
#include "shell/ShellColumns.h"
#include "shell/ShellEnumeration.h"
#include "shell/ShellListFilter.h"
#include "shell/ShellUtils.h"
#include "tests/shell/ShellTestSupport.h"

#include <fnmatch.h>
#include <gtest/gtest.h>

#include <set>

namespace {

TIdListPtr itemOf(const std::string& name, bool folder) { return TIdListPtr(IdListFromItems(FileItem(name, folder))); }

std::string nameOfItem(PCItemIDList item) {
    TItemPayload payload;
    EXPECT_TRUE(DecodeItem(item, payload));
    return std::string(payload.Name) + ((payload.Flags & itemIsFolder) != 0 ? "/" : "");
}

// Names from a small alphabet, so that sets overlap and case twins abound.
std::string smallName(std::mt19937& random) {
    static const std::vector<std::string> names = {"a.htm", "A.htm", "a.HTM", "b", "B", "index.html", "x y", "\xC3\xA9t\xC3\xA9",
                                                   "\xC3\x89T\xC3\x89", "z", "Z.txt", "z.txt", "\xFF"};
    return names[random() % names.size()];
}

} // namespace

TEST(ShellRefreshTest, DiffIsTheSetDifferenceByBytesAndByTheFolder) {
    TShellTestHome home;
    std::shared_ptr<TShellFolder> folder;
    ASSERT_EQ(BindToFolder(nullptr, folder), S_OK);
    PItemIDList homeList = nullptr;
    ASSERT_EQ(SHParseDisplayName(home.Files, &homeList), S_OK);
    TIdListPtr homeOwned(homeList);
    std::shared_ptr<TShellFolder> files;
    ASSERT_EQ(BindToFolder(homeList, files), S_OK);

    std::mt19937 random(5);
    for (int round = 0; round < 300; ++round) {
        std::set<std::string> shownSet, presentSet;
        int shownCount = static_cast<int>(random() % 10), presentCount = static_cast<int>(random() % 10);
        for (int i = 0; i < shownCount; ++i)
            shownSet.insert(smallName(random) + (random() % 5 == 0 ? "/" : ""));
        for (int i = 0; i < presentCount; ++i)
            presentSet.insert(smallName(random) + (random() % 5 == 0 ? "/" : ""));
        std::vector<std::string> shownNames(shownSet.begin(), shownSet.end());
        std::shuffle(shownNames.begin(), shownNames.end(), random);
        std::vector<TIdListPtr> shownItems;
        std::vector<PCItemIDList> shown;
        for (const std::string& name : shownNames) {
            bool isFolder = name.ends_with('/');
            shownItems.push_back(itemOf(isFolder ? name.substr(0, name.size() - 1) : name, isFolder));
            shown.push_back(shownItems.back().get());
        }
        std::vector<std::string> presentNames(presentSet.begin(), presentSet.end());
        std::shuffle(presentNames.begin(), presentNames.end(), random);
        for (bool byFolder : {false, true}) {
            std::vector<TIdListPtr> present;
            for (const std::string& name : presentNames) {
                bool isFolder = name.ends_with('/');
                present.push_back(itemOf(isFolder ? name.substr(0, name.size() - 1) : name, isFolder));
            }
            TPTEnumerationDiff diff = DiffEnumeration(byFolder ? files : nullptr, shown, std::move(present));
            std::vector<std::string> gone, added, expectedGone, expectedAdded;
            for (int index : diff.Gone)
                gone.push_back(shownNames[static_cast<size_t>(index)]);
            for (const TIdListPtr& item : diff.Added)
                added.push_back(nameOfItem(item.get()));
            for (const std::string& name : shownNames)
                if (!presentSet.contains(name))
                    expectedGone.push_back(name);
            for (const std::string& name : presentNames)
                if (!shownSet.contains(name))
                    expectedAdded.push_back(name);
            EXPECT_TRUE(std::is_sorted(diff.Gone.begin(), diff.Gone.end()));
            EXPECT_EQ(gone, expectedGone) << "round " << round << " by folder " << byFolder;
            EXPECT_EQ(added, expectedAdded) << "round " << round << " by folder " << byFolder;
        }
    }
}

TEST(ShellRefreshTest, EnumerationOfARealFolderKeepsCaseTwinsAndHonoursHidden) {
    TShellTestHome home;
    for (const char* name : {"a.htm", "A.htm", ".hidden"})
        WriteFile(JoinPath(home.Files, name), "x");
    std::filesystem::create_directories(JoinPath(home.Files, "sub"));
    PItemIDList list = nullptr;
    ASSERT_EQ(SHParseDisplayName(home.Files, &list), S_OK);
    TIdListPtr owned(list);
    std::shared_ptr<TShellFolder> folder;
    ASSERT_EQ(BindToFolder(list, folder), S_OK);
    auto names = [&](unsigned flags) {
        std::vector<TIdListPtr> items;
        EXPECT_EQ(EnumerateFolder(*folder, flags, items), S_OK);
        std::set<std::string> result;
        for (const TIdListPtr& item : items)
            result.insert(nameOfItem(item.get()));
        return result;
    };
    EXPECT_EQ(names(SHCONTF_FOLDERS | SHCONTF_NONFOLDERS), (std::set<std::string>{"a.htm", "A.htm", "sub/"}));
    EXPECT_EQ(names(SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN),
              (std::set<std::string>{"a.htm", "A.htm", "sub/", ".hidden"}));
    EXPECT_EQ(names(SHCONTF_FOLDERS), (std::set<std::string>{"sub/"}));
}

TEST(ShellRefreshTest, MasksMatchAsTheCLibraryMatcherIgnoringCase) {
    // Any mask of letters, dots, "*" and "?" against ASCII names: the same
    // answer as fnmatch with case folding.
    std::mt19937 random(17);
    const std::string maskAlphabet = "aAbB.*?x", nameAlphabet = "aAbBx.";
    for (int round = 0; round < 5000; ++round) {
        std::string mask, name;
        for (size_t n = random() % 6; n > 0; --n)
            mask += maskAlphabet[random() % maskAlphabet.size()];
        for (size_t n = random() % 7; n > 0; --n)
            name += nameAlphabet[random() % nameAlphabet.size()];
        if (mask.ends_with(".*"))
            continue; // names without an extension match these as well (below)
        bool expected = ::fnmatch(mask.c_str(), name.c_str(), FNM_CASEFOLD) == 0;
        EXPECT_EQ(MatchesMask(name, mask), expected) << "mask '" << mask << "' name '" << name << "'";
    }
    // "?" takes one whole UTF-8 character; ".*" also takes no extension.
    EXPECT_TRUE(MatchesMask("\xC3\xA9.htm", "?.HTM"));
    EXPECT_FALSE(MatchesMask("\xC3\xA9\xC3\xA9.htm", "?.htm"));
    EXPECT_TRUE(MatchesMask("README", "*.*"));
    EXPECT_TRUE(MatchesMask("README", "READ*.*"));
    EXPECT_FALSE(MatchesMask("README", "*.htm"));

    EXPECT_EQ(SplitFileFilter("*.htm;;*.html;"), (std::vector<std::string>{"*.htm", "*.html"}));
    EXPECT_EQ(SplitFileFilter(" *.a ; b"), (std::vector<std::string>{" *.a ", " b"}));
    EXPECT_EQ(SplitFileFilter(";;"), std::vector<std::string>{});
    for (const char* all : {"", "*", "*.*"})
        EXPECT_TRUE(FilterShowsAll(all)) << all;
    EXPECT_FALSE(FilterShowsAll("*.htm"));
    EXPECT_TRUE(MatchesAnyMask("PAGE.HTML", SplitFileFilter("*.htm;*.html")));
    EXPECT_FALSE(MatchesAnyMask("page.txt", SplitFileFilter("*.htm;*.html")));
}

TEST(ShellRefreshTest, ColumnMemoryHandsTheLastSavedWidthsToTheNextList) {
    TShellTestHome home;
    TPTColumnMemory::Reset();
    std::vector<TPTColumnSpec> first = StandardColumns();
    ASSERT_EQ(first.size(), 4u);
    EXPECT_EQ((std::vector<int>{first[0].Width, first[1].Width, first[2].Width, first[3].Width}),
              (std::vector<int>{200, 60, 100, 120}));
    EXPECT_EQ(first[1].Format, 1);
    EXPECT_EQ(first[0].Caption, "Name");

    // The first list closes with its own widths: the next one starts there.
    TPTColumnMemory::Save({150, 70});
    std::vector<TPTColumnSpec> second = StandardColumns();
    EXPECT_EQ((std::vector<int>{second[0].Width, second[1].Width, second[2].Width, second[3].Width}),
              (std::vector<int>{150, 70, 100, 120}));

    // A registry value changes the defaults and, being new, outranks the
    // saved widths once; read unchanged again, the saved widths win.
    {
        TRegistry registry(HKEY_CURRENT_USER);
        ASSERT_TRUE(registry.OpenKey(DirectoryColsKey, true));
        std::string value;
        for (uint16_t width : {111, 22, 33, 44})
            AppendLittleEndian(value, width);
        registry.WriteBinaryData(DirectoryColsValue, value.data(), static_cast<int>(value.size()));
    }
    std::vector<TPTColumnSpec> third = StandardColumns();
    EXPECT_EQ((std::vector<int>{third[0].Width, third[1].Width, third[2].Width, third[3].Width}),
              (std::vector<int>{111, 22, 33, 44}));
    std::vector<TPTColumnSpec> fourth = StandardColumns();
    EXPECT_EQ((std::vector<int>{fourth[0].Width, fourth[1].Width, fourth[2].Width, fourth[3].Width}),
              (std::vector<int>{150, 70, 33, 44}));
    TPTColumnMemory::Reset();
}
