// Item-list arithmetic and the transfer layouts, checked against a plain
// model (a vector of item byte strings) on random lists, and the lossless
// name and address encodings on random bytes.

#include "platform/shellns/ShellDataFormats.h"
#include "shell/ShellUtils.h"
#include "tests/shell/ShellTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <set>

namespace {

using TModel = std::vector<std::string>; // one entry per item, count bytes included

TModel randomModel(std::mt19937& random, int maxItems = 6) {
    TModel model;
    int count = static_cast<int>(random() % (maxItems + 1));
    for (int i = 0; i < count; ++i) {
        auto kind = std::array{TItemKind::FileSystem, TItemKind::Home, TItemKind::Computer, TItemKind::Mount}[random() % 4];
        model.push_back(MakeItem(kind, static_cast<uint8_t>(random() % 2), RandomFileName(random, 40)));
    }
    return model;
}

std::string joined(const TModel& model, size_t from = 0, size_t to = std::string::npos) {
    std::string bytes;
    for (size_t i = from; i < std::min(to, model.size()); ++i)
        bytes += model[i];
    return bytes;
}

std::string withTerminator(const std::string& items) { return items + std::string(2, '\0'); }

class TCountingMalloc : public TMalloc {
public:
    void* Alloc(size_t size) override {
        if (FailNext) {
            FailNext = false;
            return nullptr;
        }
        ++Live;
        return ShellMalloc().Alloc(size);
    }
    void Free(void* block) override {
        --Live;
        ShellMalloc().Free(block);
    }
    int Live = 0;
    bool FailNext = false;
};

} // namespace

TEST(ItemListTest, ArithmeticFollowsTheModelOnRandomLists) {
    std::mt19937 random(11);
    for (int round = 0; round < 400; ++round) {
        TModel a = randomModel(random), b = randomModel(random);
        TIdListPtr listA(IdListFromItems(joined(a))), listB(IdListFromItems(joined(b)));
        ASSERT_EQ(ItemBytes(listA.get()), withTerminator(joined(a)));
        EXPECT_EQ(PidlSize(listA.get()), joined(a).size() + 2);
        EXPECT_EQ(IdListItemCount(listA.get()), static_cast<int>(a.size()));
        EXPECT_EQ(ValidIdListSize(listA.get(), PidlSize(listA.get())), PidlSize(listA.get()));

        TIdListPtr both(ConcatPidls(nullptr, listA.get(), listB.get()));
        EXPECT_EQ(ItemBytes(both.get()), withTerminator(joined(a) + joined(b)));
        TIdListPtr copy(CopyPidl(nullptr, listA.get()));
        EXPECT_EQ(ItemBytes(copy.get()), ItemBytes(listA.get()));

        // The chain walked by index and by ancestors.
        TModel whole = a;
        whole.insert(whole.end(), b.begin(), b.end());
        TPTIdListArray chain(both.get());
        ASSERT_EQ(chain.Count(), static_cast<int>(whole.size()));
        for (int i = 0; i < chain.Count(); ++i)
            EXPECT_EQ(ItemBytes(chain.Item(i)), withTerminator(whole[static_cast<size_t>(i)]));
        for (int levels = 0; levels <= chain.Count(); ++levels)
            EXPECT_EQ(ItemBytes(chain.Ancestor(levels)), withTerminator(joined(whole, 0, whole.size() - levels)));
        EXPECT_EQ(chain.Ancestor(chain.Count() + 1), nullptr);
        if (chain.Count() > 0) {
            EXPECT_THROW(chain.Item(chain.Count()), Exception);
        }
        EXPECT_THROW(chain.Item(-1), Exception);

        // Byte order is the order of the whole byte strings.
        int order = ComparePidlBytes(listA.get(), listB.get());
        int expected = ItemBytes(listA.get()).compare(ItemBytes(listB.get()));
        EXPECT_EQ(order < 0, expected < 0);
        EXPECT_EQ(order == 0, expected == 0);

        // A list cut anywhere short of its end is never taken for a list.
        std::string bytes = ItemBytes(both.get());
        for (size_t cut = 0; cut < bytes.size(); ++cut)
            EXPECT_EQ(ValidIdListSize(bytes.data(), cut), 0u) << "cut at " << cut;
    }
}

TEST(ItemListTest, NullEmptyAndAllocationEdges) {
    TIdListPtr empty(IdListFromItems({}));
    EXPECT_EQ(ComparePidls(nullptr, empty.get()), 0); // both name the desktop
    EXPECT_EQ(ComparePidls(nullptr, nullptr), 0);
    EXPECT_EQ(ComparePidls(empty.get(), empty.get()), 0);
    EXPECT_EQ(PidlSize(nullptr), 0u);
    TIdListPtr copyOfNull(CopyPidl(nullptr, nullptr));
    EXPECT_EQ(PidlSize(copyOfNull.get()), 2u);
    TPTIdListArray emptyChain(empty.get());
    EXPECT_EQ(ItemBytes(emptyChain.Item(0)), std::string(2, '\0'));
    TPTIdListArray nullChain(nullptr);
    EXPECT_THROW(nullChain.Item(0), Exception);

    TCountingMalloc malloc;
    malloc.FailNext = true;
    EXPECT_EQ(CopyPidl(&malloc, empty.get()), nullptr);
    PItemIDList made = CopyPidl(&malloc, empty.get());
    EXPECT_EQ(malloc.Live, 1);
    {
        TPTPidlList list;
        list.Malloc = &malloc;
        list.Add(made);
    }
    EXPECT_EQ(malloc.Live, 0) << "a list that owns its items frees them";
}

TEST(ItemListTest, SortedSetsAgreeWithAStandardSet) {
    std::mt19937 random(5);
    for (int round = 0; round < 60; ++round) {
        TPTPidlList list;
        list.Malloc = &ShellMalloc();
        list.Duplicates = TPTPidlList::dupIgnore;
        list.SetSorted(true);
        std::set<std::string> model;
        for (int i = 0; i < 80; ++i) {
            // Few distinct names, so duplicates come often.
            std::string item = MakeItem(TItemKind::FileSystem, 0, std::string(1, static_cast<char>('a' + random() % 20)));
            PItemIDList pidl = IdListFromItems(item);
            int countBefore = list.Count();
            int index = list.AddObject(pidl, nullptr);
            bool isNew = model.insert(ItemBytes(pidl)).second;
            EXPECT_EQ(list.Count(), countBefore + (isNew ? 1 : 0));
            EXPECT_EQ(ItemBytes(list.Pidls(index)), ItemBytes(pidl));
            if (!isNew)
                ShellFree(pidl);
        }
        ASSERT_EQ(list.Count(), static_cast<int>(model.size()));
        int i = 0;
        for (const std::string& bytes : model) {
            EXPECT_EQ(ItemBytes(list.Pidls(i)), bytes);
            EXPECT_EQ(list.IndexOf(list.Pidls(i)), i);
            ++i;
        }
    }
    TPTPidlList strict;
    strict.SetSorted(true);
    TIdListPtr one(IdListFromItems(MakeItem(TItemKind::FileSystem, 0, "x")));
    strict.Add(one.get());
    EXPECT_THROW(strict.Add(one.get()), Exception);
}

TEST(ItemListTest, ItemListArraysRoundTripAndRejectBadOffsets) {
    std::mt19937 random(7);
    TIdListPtr item(IdListFromItems(MakeItem(TItemKind::FileSystem, 0, "")));
    // The documented layout: a null parent and one item sit at 12 and 14.
    std::string single = BuildIdListArray(nullptr, {item.get()});
    EXPECT_EQ(single.substr(0, 12), std::string("\x01\0\0\0\x0c\0\0\0\x0e\0\0\0", 12));
    for (int round = 0; round < 300; ++round) {
        TIdListPtr parent(IdListFromItems(joined(randomModel(random, 3))));
        std::vector<TIdListPtr> items;
        std::vector<PCItemIDList> raw;
        for (int i = 0, n = static_cast<int>(random() % 5); i < n; ++i) {
            items.emplace_back(IdListFromItems(joined(randomModel(random, 2))));
            raw.push_back(items.back().get());
        }
        std::string block = BuildIdListArray(round % 4 == 0 ? nullptr : parent.get(), raw);
        TIdListArrayView view;
        ASSERT_TRUE(ParseIdListArray(block, view));
        EXPECT_EQ(ItemBytes(view.Parent), round % 4 == 0 ? std::string(2, '\0') : ItemBytes(parent.get()));
        ASSERT_EQ(view.Items.size(), raw.size());
        for (size_t i = 0; i < raw.size(); ++i)
            EXPECT_EQ(ItemBytes(view.Items[i]), ItemBytes(raw[i]));
        // Cut short or with an offset bent past the end, it is refused.
        EXPECT_FALSE(ParseIdListArray(block.substr(0, block.size() - 1), view));
        std::string bent = block;
        size_t field = 4 + 4 * (random() % (raw.size() + 1));
        uint32_t past = static_cast<uint32_t>(block.size() - 1 + random() % 3);
        for (int i = 0; i < 4; ++i)
            bent[field + i] = static_cast<char>((past >> (8 * i)) & 0xFF);
        EXPECT_FALSE(ParseIdListArray(bent, view));
        EXPECT_TRUE(view.Items.empty());
    }
}

TEST(ItemListTest, DroppedFileListsKeepEveryNameWhole) {
    std::mt19937 random(3);
    EXPECT_EQ(BuildDropFiles({}).size(), 21u);
    // Other programs may hand over UTF-16 names: they arrive as UTF-8.
    std::u16string wide = u"/tmp/\u00e9t\u00e9.htm";
    wide += u'\0';
    wide += u"/x/\U0001F600";
    wide += u'\0';
    wide += u'\0';
    std::string block = BuildDropFiles({});
    block.resize(20);
    block[16] = 1;
    for (char16_t unit : wide) {
        block.push_back(static_cast<char>(unit & 0xFF));
        block.push_back(static_cast<char>(unit >> 8));
    }
    std::vector<std::string> wideNames;
    ASSERT_TRUE(ParseDropFiles(block, wideNames));
    EXPECT_EQ(wideNames, (std::vector<std::string>{"/tmp/\xC3\xA9t\xC3\xA9.htm", "/x/\xF0\x9F\x98\x80"}));
    EXPECT_FALSE(ParseDropFiles(block.substr(0, block.size() - 1), wideNames));
    for (int round = 0; round < 200; ++round) {
        std::vector<std::string> names;
        for (int i = 0, n = static_cast<int>(random() % 6); i < n; ++i)
            names.push_back(JoinPath("/", RandomFileName(random, round % 10 == 0 ? 600 : 30)));
        std::string block = BuildDropFiles(names);
        std::vector<std::string> back;
        ASSERT_TRUE(ParseDropFiles(block, back));
        EXPECT_EQ(back, names);
        EXPECT_FALSE(ParseDropFiles(block.substr(0, block.size() - 1), back));
    }
}

// The private-use characters of valid sequences in text.
size_t privateCharacters(const std::string& text) {
    size_t count = 0;
    for (size_t i = 0; i < text.size(); i = Utf8NextChar(text, i)) {
        char32_t character = 0;
        if (Utf8SequenceLength(std::string_view(text).substr(i), character) > 0 && character >= 0xE000 &&
            character <= 0xF8FF)
            ++count;
    }
    return count;
}

// A name that is not UTF-8 reads plainly: each stray byte as "\xHH", no
// private or replacement character, and a backslash escaped only where it
// would read as an escape; typing an escape gives the byte.
TEST(ItemListTest, StrayBytesOfNamesShowAsReadableEscapes) {
    std::mt19937 random(19);
    for (int round = 0; round < 2000; ++round) {
        const std::string name = RandomFileName(random, 30);
        const std::string text = DisplayTextOfName(name);
        ASSERT_TRUE(IsValidUtf8(text));
        // No private character stands for a byte: those shown are the
        // name's own.
        ASSERT_EQ(privateCharacters(text), privateCharacters(name)) << text;
        // The escapes are as many as the stray bytes and the backslashes
        // that would read as escapes.
        size_t stray = 0;
        for (size_t i = 0; i < name.size(); i = Utf8NextChar(name, i)) {
            char32_t character = 0;
            if (Utf8SequenceLength(std::string_view(name).substr(i), character) == 0)
                ++stray;
        }
        size_t escapes = 0;
        for (size_t at = text.find("\\x"); at != std::string::npos; at = text.find("\\x", at + 1))
            if (at + 4 <= text.size() && std::isxdigit(static_cast<unsigned char>(text[at + 2])) &&
                std::isxdigit(static_cast<unsigned char>(text[at + 3])) &&
                (std::stoi(text.substr(at + 2, 2), nullptr, 16) >= 0x80 || text.compare(at + 2, 2, "5C") == 0))
                ++escapes;
        size_t backslashes = 0;
        for (size_t at = text.find("\\x5C"); at != std::string::npos; at = text.find("\\x5C", at + 1))
            ++backslashes;
        ASSERT_EQ(escapes, stray + backslashes) << text;
        ASSERT_LE(backslashes, static_cast<size_t>(std::count(name.begin(), name.end(), '\\')));
    }
    EXPECT_EQ(DisplayTextOfName("caf\xE9.htm"), "caf\\xE9.htm");
    EXPECT_EQ(DisplayTextOfName("a\\xE9 b\\x41 c\\"), "a\\x5CxE9 b\\x41 c\\");
    EXPECT_EQ(NameOfDisplayText("caf\\xe9 \\x41 \\x5C"), "caf\xE9 \\x41 \\");
}

TEST(ItemListTest, NamesAndAddressesSurviveEncodingByteForByte) {
    std::mt19937 random(9);
    for (int round = 0; round < 2000; ++round) {
        std::string name = RandomFileName(random, 40);
        std::string text = DisplayTextOfName(name);
        EXPECT_TRUE(IsValidUtf8(text));
        EXPECT_EQ(NameOfDisplayText(text), name);
        if (IsValidUtf8(name) && name.find('\\') == std::string::npos) {
            EXPECT_EQ(text, name) << "valid names are shown as they are";
        }
        std::string path = JoinPath(JoinPath("/", name), RandomFileName(random));
        std::string back;
        ASSERT_TRUE(PathOfFileUri(FileUriOfPath(path), back));
        EXPECT_EQ(back, path);
    }
    std::vector<std::string> paths = {"/tmp/a b/c d.htm", std::string("/tmp/caf\xE9.htm"), "/x/100%.txt"};
    EXPECT_EQ(PathsOfUriList("# comment\r\n" + UriListOfPaths(paths) + "http://elsewhere/x\r\n"), paths);
    std::string path;
    EXPECT_FALSE(PathOfFileUri("file://otherhost/etc/passwd", path));
    EXPECT_FALSE(PathOfFileUri("file:///a%00b", path));
    EXPECT_FALSE(PathOfFileUri("file:///a%4", path));
    EXPECT_TRUE(PathOfFileUri("FILE://localhost/a%2fb", path));
    EXPECT_EQ(path, "/a/b");
}

TEST(ItemListTest, PositionalFormatsAndTextHelpers) {
    std::vector<std::string> fifty;
    for (int i = 1; i <= 50; ++i)
        fifty.push_back(std::to_string(i));
    EXPECT_EQ(FormatStrPos("%50-%1-%10%%", fifty), "50-1-10%");
    fifty.push_back("51");
    EXPECT_THROW(FormatStrPos("%1", fifty), Exception);
    EXPECT_EQ(FormatStrPos("", fifty), "");
    EXPECT_EQ(FormatStrPos("Unable to create the folder '%2'\n\n%1", {"Permission denied", "x"}),
              "Unable to create the folder 'x'\n\nPermission denied");
    EXPECT_EQ(AppendCharIfMissing("", '/'), "");
    EXPECT_EQ(AppendCharIfMissing("/a/", '/'), "/a/");
    EXPECT_EQ(AppendCharIfMissing("/a", '/'), "/a/");
    std::string out;
    size_t index = 0;
    std::string text = "a\xE2\x82\xAC\xFF";
    while (index < text.size())
        NextMbcsChar(index, text, out += "|");
    EXPECT_EQ(out, "|a|\xE2\x82\xAC|\xFF");
}
