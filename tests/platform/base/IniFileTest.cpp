#include "platform/base/Exceptions.h"
#include "platform/base/IniDocument.h"
#include "platform/base/IniFile.h"
#include "platform/base/Strings.h"
#include "platform/base/TextCodec.h"

#include "BaseTestSupport.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cinttypes>
#include <map>
#include <random>
#include <regex>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

// Puts the file's times two minutes back, as for a file that has been
// quiet for a while (and so may be served from the cache).
void ageFile(const std::string& name) {
    struct stat info {};
    ASSERT_EQ(::stat(name.c_str(), &info), 0);
    timespec times[2] = {{info.st_atim.tv_sec - 120, 0}, {info.st_mtim.tv_sec - 120, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, name.c_str(), times, 0), 0);
}

std::string refusalOf(const std::function<void()>& write) { return MessageOf<EIniFileException>(write); }

class IniFileTest : public testing::Test {
protected:
    TTempFolder folder;
    std::string name = folder.File("zozed.dat");
};

TEST_F(IniFileTest, LookupIgnoresAsciiCaseAndTheFirstMatchWins) {
    WriteFile(name, "; settings\r\n"
                    "[Startup]\r\n"
                    "Mode=2\r\n"
                    "mode=3\r\n"
                    "\r\n"
                    "[editeur]\r\n"
                    "  Colorer  =  custom  \r\n"
                    "name=Courier New\r\n"
                    "[STARTUP]\r\n"
                    "newstandard=1\r\n");
    TIniFile ini(name);
    EXPECT_EQ(ini.ReadInteger("startup", "MODE", 1), 2);
    EXPECT_EQ(ini.ReadString("EDITEUR", "colorer", "default"), "custom");
    EXPECT_EQ(ini.ReadString(" editeur ", " Name ", ""), "Courier New");
    // The second "STARTUP" section is hidden behind the first.
    EXPECT_FALSE(ini.ReadBool("startup", "newstandard", false));
    EXPECT_FALSE(ini.ValueExists("startup", "newstandard"));
    EXPECT_TRUE(ini.ValueExists("STARTUP", "mode"));
    EXPECT_TRUE(ini.SectionExists("Editeur"));
    EXPECT_FALSE(ini.SectionExists("Affichage"));
    EXPECT_EQ(ini.ReadString("Affichage", "statusbar", "fallback"), "fallback");

    TStringList list;
    list.Add("stale");
    ini.ReadSection("startup", list);
    EXPECT_EQ(ItemsOf(list), (std::vector<std::string>{"Mode"}));
    ini.ReadSections(list);
    EXPECT_EQ(ItemsOf(list), (std::vector<std::string>{"Startup", "editeur"}));
    ini.ReadSectionValues("editeur", list);
    EXPECT_EQ(ItemsOf(list), (std::vector<std::string>{"Colorer=custom", "name=Courier New"}));
}

TEST_F(IniFileTest, IntegersAcceptDecimalDollarHexAndZeroXHex) {
    WriteFile(name, "[s]\n"
                    "size=0x0C\nsize2=$C\nupper=0X1f\nneg=-12\nplus=+7\nword=yes\nempty=\nbare0x=0x\n"
                    "dollar=$\ntrailing=12abc\ntoobig=2147483648\nsmallest=-2147483648\nallbits=$FFFFFFFF\n"
                    "toowide=$100000000\nspaced=  0x10  \nquoted=\"5\"\nnegdollar=-$10\nnegzerox=-0x10\n"
                    "colour=-2147483640\ntwo=2\n");
    TIniFile ini(name);
    EXPECT_EQ(ini.ReadInteger("s", "size", 9), 12);
    EXPECT_EQ(ini.ReadInteger("s", "size2", 9), 12);
    EXPECT_EQ(ini.ReadInteger("s", "upper", 9), 31);
    EXPECT_EQ(ini.ReadInteger("s", "neg", 9), -12);
    EXPECT_EQ(ini.ReadInteger("s", "plus", 9), 7);
    EXPECT_EQ(ini.ReadInteger("s", "word", 9), 9);
    EXPECT_EQ(ini.ReadInteger("s", "empty", 9), 9);
    EXPECT_EQ(ini.ReadInteger("s", "bare0x", 9), 9);
    EXPECT_EQ(ini.ReadInteger("s", "dollar", 9), 9);
    EXPECT_EQ(ini.ReadInteger("s", "trailing", 9), 9);
    EXPECT_EQ(ini.ReadInteger("s", "toobig", 9), 9);
    EXPECT_EQ(ini.ReadInteger("s", "smallest", 9), INT32_MIN);
    EXPECT_EQ(ini.ReadInteger("s", "allbits", 9), -1);
    EXPECT_EQ(ini.ReadInteger("s", "toowide", 9), 9);
    EXPECT_EQ(ini.ReadInteger("s", "spaced", 9), 16);
    EXPECT_EQ(ini.ReadInteger("s", "quoted", 9), 5);
    EXPECT_EQ(ini.ReadInteger("s", "negdollar", 9), -16);
    EXPECT_EQ(ini.ReadInteger("s", "negzerox", 9), 9);
    EXPECT_EQ(ini.ReadInteger("s", "colour", 9), static_cast<int32_t>(0x80000008));
    EXPECT_FALSE(ini.ReadBool("s", "word", false));
    EXPECT_TRUE(ini.ReadBool("s", "two", false));
    EXPECT_TRUE(ini.ReadBool("s", "missing", true));
}

// Oracle for the integer rule, built on a regular expression and strtoll.
bool oracleInteger(std::string text, int32_t& value) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text = "$" + text.substr(2);
    static const std::regex shape("([+-]?)(\\$[0-9a-fA-F]+|[0-9]+)");
    std::smatch match;
    if (!std::regex_match(text, match, shape))
        return false;
    bool negative = match[1] == "-";
    std::string digits = match[2];
    bool hex = digits[0] == '$';
    std::string plain = hex ? digits.substr(1) : digits;
    plain.erase(0, std::min(plain.find_first_not_of('0'), plain.size() - 1));
    if (plain.size() > 10)
        return false;
    unsigned long long magnitude = std::strtoull(plain.c_str(), nullptr, hex ? 16 : 10);
    if (hex ? magnitude > 0xFFFFFFFFull : magnitude > (negative ? 2147483648ull : 2147483647ull))
        return false;
    uint32_t bits = static_cast<uint32_t>(magnitude);
    value = static_cast<int32_t>(negative ? 0u - bits : bits);
    return true;
}

TEST(IniInteger, AgreesWithAnOracleOnRandomText) {
    std::mt19937 random(17);
    const std::string alphabet = "0123456789abcdefxX$+- F";
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        switch (round % 3) {
        case 0: text = std::to_string(static_cast<int32_t>(random())); break;
        case 1: {
            char buffer[16];
            std::snprintf(buffer, sizeof buffer, round % 2 ? "$%" PRIX32 : "0x%" PRIx32,
                          static_cast<uint32_t>(random() >> (random() % 32)));
            text = buffer;
            break;
        }
        default:
            for (int n = static_cast<int>(random() % 12); n > 0; --n)
                text += alphabet[random() % alphabet.size()];
        }
        int32_t expected = 0;
        int32_t actual = 0;
        bool expectedOk = oracleInteger(text, expected);
        ASSERT_EQ(TryParseIniInteger(text, actual), expectedOk) << "\"" << text << "\"";
        if (expectedOk) {
            ASSERT_EQ(actual, expected) << "\"" << text << "\"";
        }
    }
}

TEST_F(IniFileTest, QuotedValuesLoseTheirQuotesAndWrittenValuesReadBackExactly) {
    WriteFile(name, "[q]\na=\"quoted value\"\nb='single'\nc=\"mismatch'\nd=\"\ne= \" padded \" \n");
    TIniFile ini(name);
    EXPECT_EQ(ini.ReadString("q", "a", ""), "quoted value");
    EXPECT_EQ(ini.ReadString("q", "b", ""), "single");
    EXPECT_EQ(ini.ReadString("q", "c", ""), "\"mismatch'");
    EXPECT_EQ(ini.ReadString("q", "d", ""), "\"");
    EXPECT_EQ(ini.ReadString("q", "e", ""), " padded ");

    const std::vector<std::string> values = {
        "  padded  ", "'q'", "\"dq\"", "", "a=b", "x;y", std::string("\xE9\0\xFF", 3), "\"", "''",
        std::string(100000, 'v'), "[not a section]", "\t"};
    for (size_t i = 0; i < values.size(); ++i)
        ini.WriteString("round", "k" + std::to_string(i), values[i]);
    // Read back through the file itself, not through any cache.
    TIniDocument onDisk(ReadFile(name));
    for (size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(ini.ReadString("round", "k" + std::to_string(i), "?"), values[i]) << i;
        const std::string* stored = onDisk.FindValue("round", "k" + std::to_string(i));
        ASSERT_NE(stored, nullptr);
        EXPECT_EQ(*stored, values[i]) << i;
    }
}

TEST_F(IniFileTest, RewritingKeepsEveryOtherLineAsItWas) {
    const std::string original = "\xEF\xBB\xBF; written by hand\r\n"
                                 "orphan=before any section\r\n"
                                 "[MRU]\r\n"
                                 "mru1=/home/a.html\r\n"
                                 "this line means nothing\r\n"
                                 "  Mru2 =  /home/b.html\r\n"
                                 "; trailing comment\r\n"
                                 "\r\n"
                                 "[Other]\r\n"
                                 "x=1";
    WriteFile(name, original);
    TIniFile ini(name);
    ini.WriteString("mru", "MRU2", "/home/c.html"); // replaced in place, spelling kept
    ini.WriteString("MRU", "mru3", "/home/d.html"); // after the section's last entry
    ini.WriteString("Fresh", "k", "v");             // a new section at the end
    ini.WriteString("other", "x", "1");             // unchanged: no write
    EXPECT_EQ(ReadFile(name), "\xEF\xBB\xBF; written by hand\r\n"
                              "orphan=before any section\r\n"
                              "[MRU]\r\n"
                              "mru1=/home/a.html\r\n"
                              "this line means nothing\r\n"
                              "Mru2=/home/c.html\r\n"
                              "mru3=/home/d.html\r\n"
                              "; trailing comment\r\n"
                              "\r\n"
                              "[Other]\r\n"
                              "x=1\r\n"
                              "\r\n"
                              "[Fresh]\r\n"
                              "k=v\r\n");
    // The byte-order mark does not hide the first line.
    WriteFile(name, "\xEF\xBB\xBF[First]\nkey=value\n");
    EXPECT_EQ(ini.ReadString("first", "key", ""), "value");
}

TEST_F(IniFileTest, EveryWriteReachesTheFileAtOnce) {
    TIniFile writer(name);
    TIniFile reader(name);
    EXPECT_FALSE(std::filesystem::exists(name));
    writer.WriteBool("startup", "newstandard", true);
    EXPECT_EQ(ReadFile(name), "[startup]\nnewstandard=1\n");
    EXPECT_TRUE(reader.ReadBool("STARTUP", "NewStandard", false));
    writer.WriteInteger("editeur", "color", -2147483640);
    EXPECT_EQ(reader.ReadString("editeur", "color", ""), "-2147483640");
    writer.WriteBool("startup", "newstandard", false);
    EXPECT_EQ(reader.ReadString("startup", "newstandard", ""), "0");
    writer.DeleteKey("startup", "newstandard");
    EXPECT_FALSE(reader.ValueExists("startup", "newstandard"));
    EXPECT_TRUE(reader.SectionExists("startup")); // the header stays
}

TEST_F(IniFileTest, ChangesMadeByOthersAreSeenEvenWhenTheFileLooksTheSame) {
    WriteFile(name, "[s]\nk=1\n");
    ageFile(name);
    TIniFile ini(name);
    EXPECT_EQ(ini.ReadString("s", "k", ""), "1");
    EXPECT_EQ(ini.ReadString("s", "k", ""), "1"); // served from the cache
    // Rewritten in place with the same size, then given the same old times.
    struct stat before {};
    ::stat(name.c_str(), &before);
    WriteFile(name, "[s]\nk=2\n");
    timespec times[2] = {before.st_atim, before.st_mtim};
    ::utimensat(AT_FDCWD, name.c_str(), times, 0);
    // The change time still moved on, which is enough.
    EXPECT_EQ(ini.ReadString("s", "k", ""), "2");
    std::filesystem::remove(name);
    EXPECT_EQ(ini.ReadString("s", "k", "gone"), "gone");
}

TEST_F(IniFileTest, QuickInPlaceRewritesAreNeverMissed) {
    // Rewrites within one tick of the file system's clock keep size and
    // times; a fresh file must therefore be read again every time.
    TIniFile ini(name);
    for (int i = 0; i < 50; ++i) {
        WriteFile(name, "[s]\nk=" + std::to_string(i % 10) + "\n");
        ASSERT_EQ(ini.ReadInteger("s", "k", -1), i % 10) << "rewrite " << i;
    }
}

TEST_F(IniFileTest, MissingFilesReadAsEmptyAndDeletionsDoNotCreateThem) {
    TIniFile ini(name);
    EXPECT_EQ(ini.ReadString("a", "b", "default"), "default");
    TStringList list;
    ini.ReadSections(list);
    EXPECT_EQ(list.Count(), 0);
    ini.DeleteKey("a", "b");
    ini.EraseSection("a");
    EXPECT_FALSE(std::filesystem::exists(name));
    TIniFile folderInstead(folder.Path().string());
    EXPECT_EQ(folderInstead.ReadString("a", "b", "default"), "default");
}

TEST_F(IniFileTest, EraseSectionRemovesEveryCopyWithItsLines) {
    WriteFile(name, "[Fichiers]\n1=/a\n; note\n\n[keep]\nx=1\n[FICHIERS]\n4=/stale\n");
    TIniFile ini(name);
    ini.EraseSection("fichiers");
    EXPECT_FALSE(ini.SectionExists("Fichiers"));
    EXPECT_EQ(ReadFile(name), "[keep]\nx=1\n");
    ini.WriteString("Fichiers", "1", "/b");
    EXPECT_EQ(ini.ReadString("fichiers", "4", "#"), "#");
    EXPECT_EQ(ReadFile(name), "[keep]\nx=1\n\n[Fichiers]\n1=/b\n");
    // Erasing and writing again does not pile up blank lines.
    ini.EraseSection("Fichiers");
    ini.WriteString("Fichiers", "1", "/b");
    EXPECT_EQ(ReadFile(name), "[keep]\nx=1\n\n[Fichiers]\n1=/b\n");
}

TEST_F(IniFileTest, RefusedWritesRaiseUnableToWriteAndChangeNothing) {
    // A path whose folder is a file (refused even for the superuser).
    WriteFile(folder.File("data"), "not a folder");
    const std::string inside = folder.File("data/zozed.dat");
    TIniFile blocked(inside);
    EXPECT_EQ(refusalOf([&] { blocked.WriteString("s", "k", "v"); }), "Unable to write to " + inside);
    EXPECT_NO_THROW(blocked.DeleteKey("s", "k"));

    // A missing folder.
    const std::string missing = folder.File("nofolder/zozed.dat");
    TIniFile lost(missing);
    EXPECT_EQ(refusalOf([&] { lost.WriteInteger("s", "k", 1); }), "Unable to write to " + missing);

    // A read-only file keeps its contents; deleting a key stays silent.
    WriteFile(name, "[s]\nk=old\n");
    std::filesystem::permissions(name, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    TIniFile readOnly(name);
    EXPECT_EQ(refusalOf([&] { readOnly.WriteString("s", "k", "new"); }), "Unable to write to " + name);
    EXPECT_EQ(refusalOf([&] { readOnly.EraseSection("s"); }), "Unable to write to " + name);
    EXPECT_NO_THROW(readOnly.DeleteKey("s", "k"));
    EXPECT_EQ(ReadFile(name), "[s]\nk=old\n");
    EXPECT_EQ(readOnly.ReadString("s", "k", ""), "old");
    // Writing the value it already has needs no write, so no refusal.
    EXPECT_NO_THROW(readOnly.WriteString("s", "k", "old"));
}

TEST_F(IniFileTest, NamesAndValuesThatCanNotBeStoredAreRefused) {
    TIniFile ini(name);
    ini.WriteString("s", "k", "v");
    const std::string before = ReadFile(name);
    EXPECT_NE(refusalOf([&] { ini.WriteString("s", "k", "two\r\nlines"); }).find("line break"), std::string::npos);
    EXPECT_NE(refusalOf([&] { ini.WriteString("s", "a=b", "v"); }), "no error");
    EXPECT_NE(refusalOf([&] { ini.WriteString("s", ";k", "v"); }), "no error");
    EXPECT_NE(refusalOf([&] { ini.WriteString("s", "[k]", "v"); }), "no error");
    EXPECT_NE(refusalOf([&] { ini.WriteString("s", "  ", "v"); }), "no error");
    EXPECT_NE(refusalOf([&] { ini.WriteString("a\nb", "k", "v"); }), "no error");
    EXPECT_EQ(ReadFile(name), before);
    // Blanks around names are dropped, as lookups drop them.
    ini.WriteString(" s ", " k ", "w");
    EXPECT_EQ(ReadFile(name), "[s]\nk=w\n");
}

TEST_F(IniFileTest, RandomEditsAgreeWithAMapOfMaps) {
    std::mt19937 random(2024);
    const std::vector<std::string> sections = {"MRU", "mru", "Startup", "editeur", "EDITEUR", "x y"};
    const std::vector<std::string> keys = {"mru1", "MRU1", "mode", "Mode", "name", "a b", "1"};
    auto randomValue = [&] {
        static const char alphabet[] = {'a', ' ', '"', '\'', '=', ';', '[', '\0', '\xE9', '\t'};
        std::string v(random() % 6, ' ');
        for (char& c : v)
            c = alphabet[random() % sizeof alphabet];
        return v;
    };
    std::map<std::string, std::map<std::string, std::string>> model; // folded names
    TIniFile ini(name);
    for (int step = 0; step < 600; ++step) {
        const std::string& section = sections[random() % sections.size()];
        const std::string& key = keys[random() % keys.size()];
        const std::string s = UpperCase(section);
        switch (random() % 6) {
        case 0:
        case 1:
        case 2: {
            std::string value = randomValue();
            ini.WriteString(section, key, value);
            model[s][UpperCase(key)] = value;
            break;
        }
        case 3:
            ini.DeleteKey(section, key);
            if (model.count(s))
                model[s].erase(UpperCase(key));
            break;
        case 4:
            if (random() % 4 == 0) {
                ini.EraseSection(section);
                model.erase(s);
            }
            break;
        case 5: {
            TStringList names;
            ini.ReadSections(names);
            ASSERT_EQ(names.Count(), static_cast<int>(model.size()));
            break;
        }
        }
        TIniDocument onDisk(ReadFile(name));
        for (const std::string& sec : sections) {
            const std::string f = UpperCase(sec);
            ASSERT_EQ(onDisk.SectionExists(sec), model.count(f) > 0) << "step " << step;
            for (const std::string& k : keys) {
                auto sit = model.find(f);
                bool present = sit != model.end() && sit->second.count(UpperCase(k));
                const std::string* stored = onDisk.FindValue(sec, k);
                ASSERT_EQ(stored != nullptr, present) << "step " << step << " [" << sec << "] " << k;
                if (present) {
                    ASSERT_EQ(*stored, sit->second.at(UpperCase(k)));
                    ASSERT_EQ(ini.ReadString(sec, k, "?"), *stored);
                }
            }
        }
    }
}

} // namespace
