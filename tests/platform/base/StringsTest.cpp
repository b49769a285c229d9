#include "platform/base/Exceptions.h"
#include "platform/base/Stream.h"
#include "platform/base/Strings.h"
#include "platform/base/TextCodec.h"

#include "BaseTestSupport.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <sstream>

namespace {

// ---- An independent oracle for the list's ordering rules ----

int oracleCompare(const std::string& a, const std::string& b, bool caseSensitive) {
    auto fold = [caseSensitive](unsigned char c) {
        return (!caseSensitive && c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c;
    };
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        int x = fold(static_cast<unsigned char>(a[i]));
        int y = fold(static_cast<unsigned char>(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::string randomItem(std::mt19937& random) {
    // A small alphabet, so that duplicates and case variants are frequent.
    static const char alphabet[] = {'a', 'A', 'b', 'B', '\0', '\xE9', '\xC9', '=', ' '};
    std::string s(random() % 4, ' ');
    for (char& c : s)
        c = alphabet[random() % sizeof alphabet];
    return s;
}

void* tagOf(int id) { return reinterpret_cast<void*>(static_cast<intptr_t>(id)); }

using TEntry = std::pair<std::string, void*>;

std::vector<TEntry> entriesOf(const TStringList& list) {
    std::vector<TEntry> entries;
    for (int i = 0; i < list.Count(); ++i)
        entries.emplace_back(list.Strings(i), list.Objects(i));
    return entries;
}

struct TListMode {
    bool sorted;
    TDuplicates duplicates;
    bool caseSensitive;
};

class StringListModel : public testing::TestWithParam<TListMode> {};

TEST_P(StringListModel, AgreesWithASimpleOracle) {
    const TListMode mode = GetParam();
    std::mt19937 random(1234 + mode.sorted * 7 + mode.duplicates * 3 + mode.caseSensitive);
    TStringList list;
    list.SetCaseSensitive(mode.caseSensitive);
    list.SetDuplicates(mode.duplicates);
    list.SetSorted(mode.sorted);
    // Unsorted: the exact sequence.  Sorted: the bag of entries; the order is
    // checked separately, since equal items may stand in any order.
    std::vector<TEntry> model;
    int nextId = 1;
    auto equalInModel = [&](const std::string& s) {
        return std::find_if(model.begin(), model.end(), [&](const TEntry& e) {
            return oracleCompare(e.first, s, mode.caseSensitive) == 0;
        });
    };

    for (int step = 0; step < 4000; ++step) {
        const std::string s = randomItem(random);
        const int count = list.Count();
        switch (random() % 8) {
        case 0:
        case 1:
        case 2: { // AddObject
            void* tag = tagOf(nextId++);
            bool present = equalInModel(s) != model.end();
            if (mode.sorted && present && mode.duplicates == dupError) {
                EXPECT_EQ(MessageOf<EStringListError>([&] { list.AddObject(s, tag); }),
                          "String list does not allow duplicates");
                break;
            }
            int index = list.AddObject(s, tag);
            ASSERT_GE(index, 0);
            ASSERT_LT(index, list.Count());
            if (mode.sorted && present && mode.duplicates == dupIgnore) {
                ASSERT_EQ(oracleCompare(list.Strings(index), s, mode.caseSensitive), 0);
                break;
            }
            ASSERT_EQ(list.Strings(index), s);
            ASSERT_EQ(list.Objects(index), tag);
            if (mode.sorted)
                model.emplace_back(s, tag);
            else {
                ASSERT_EQ(index, count);
                model.emplace_back(s, tag);
            }
            break;
        }
        case 3: { // Delete
            if (count == 0) {
                EXPECT_THROW(list.Delete(0), EListError);
                break;
            }
            int index = static_cast<int>(random() % count);
            TEntry gone{list.Strings(index), list.Objects(index)};
            list.Delete(index);
            if (mode.sorted)
                model.erase(std::find(model.begin(), model.end(), gone));
            else
                model.erase(model.begin() + index);
            break;
        }
        case 4: { // Insert / Put / Move / Exchange
            int index = static_cast<int>(random() % (count + 1));
            int what = static_cast<int>(random() % 4);
            if (mode.sorted) {
                auto before = entriesOf(list);
                EXPECT_THROW(
                    {
                        switch (what) {
                        case 0: list.Insert(index, s); break;
                        case 1: list.Put(0, s); break;
                        case 2: list.Move(0, 0); break;
                        default: list.Exchange(0, 0); break;
                        }
                    },
                    EStringListError);
                ASSERT_EQ(entriesOf(list), before);
                break;
            }
            if (what == 0) {
                list.Insert(index, s);
                model.insert(model.begin() + index, TEntry{s, nullptr});
            } else if (count == 0) {
                EXPECT_THROW(list.Put(0, s), EListError);
            } else if (what == 1) {
                index %= count;
                list.Put(index, s);
                model[index].first = s; // the object stays
            } else if (what == 2) {
                int from = static_cast<int>(random() % count);
                int to = static_cast<int>(random() % count);
                list.Move(from, to);
                TEntry moved = model[from];
                model.erase(model.begin() + from);
                model.insert(model.begin() + to, moved);
            } else {
                int a = static_cast<int>(random() % count);
                int b = static_cast<int>(random() % count);
                list.Exchange(a, b);
                std::swap(model[a], model[b]);
            }
            break;
        }
        case 5: { // IndexOf and Find
            int index = list.IndexOf(s);
            auto hit = equalInModel(s);
            if (hit == model.end()) {
                ASSERT_EQ(index, -1);
            } else if (mode.sorted) {
                ASSERT_GE(index, 0);
                ASSERT_EQ(oracleCompare(list.Strings(index), s, mode.caseSensitive), 0);
                // Find gives the first of the equal items.
                ASSERT_TRUE(index == 0 || oracleCompare(list.Strings(index - 1), s, mode.caseSensitive) < 0);
            } else {
                ASSERT_EQ(index, hit - model.begin());
            }
            if (mode.sorted) {
                int at = -1;
                bool found = list.Find(s, at);
                ASSERT_EQ(found, hit != model.end());
                // Everything before the position is smaller, the rest not.
                for (int i = 0; i < list.Count(); ++i)
                    ASSERT_EQ(oracleCompare(list.Strings(i), s, mode.caseSensitive) < 0, i < at);
            }
            break;
        }
        case 6: // out-of-range access
            EXPECT_THROW(list.Strings(count), EListError);
            EXPECT_THROW(list.Objects(-1), EListError);
            break;
        case 7:
            if (random() % 50 == 0) {
                list.Clear();
                model.clear();
            }
            break;
        }

        ASSERT_EQ(list.Count(), static_cast<int>(model.size())) << "step " << step;
        auto actual = entriesOf(list);
        if (mode.sorted) {
            for (size_t i = 1; i < actual.size(); ++i) {
                int order = oracleCompare(actual[i - 1].first, actual[i].first, mode.caseSensitive);
                ASSERT_LE(order, 0);
                if (mode.duplicates != dupAccept) {
                    ASSERT_NE(order, 0);
                }
            }
            auto expected = model;
            std::sort(actual.begin(), actual.end());
            std::sort(expected.begin(), expected.end());
            ASSERT_EQ(actual, expected) << "step " << step;
        } else {
            ASSERT_EQ(actual, model) << "step " << step;
        }
    }
}

std::string modeName(const testing::TestParamInfo<TListMode>& info) {
    static const char* duplicates[] = {"Ignore", "Accept", "Error"};
    return std::string(info.param.sorted ? "Sorted" : "Unsorted") + duplicates[info.param.duplicates] +
           (info.param.caseSensitive ? "CaseSensitive" : "IgnoringCase");
}

INSTANTIATE_TEST_SUITE_P(Modes, StringListModel,
                         testing::Values(TListMode{false, dupAccept, false}, TListMode{false, dupError, true},
                                         TListMode{true, dupIgnore, false}, TListMode{true, dupIgnore, true},
                                         TListMode{true, dupAccept, false}, TListMode{true, dupAccept, true},
                                         TListMode{true, dupError, false}, TListMode{true, dupError, true}),
                         modeName);

// ---- Large lists against a plain vector ----

bool oracleLess(const TEntry& a, const std::string& s, bool caseSensitive) {
    return oracleCompare(a.first, s, caseSensitive) < 0;
}

std::string randomWord(std::mt19937& random) {
    // Enough variety for thousands of items, with duplicates and case
    // variants still common.
    static const char alphabet[] = {'a', 'A', 'b', 'B', 'c', '\0', '\xE9', 'z', 'Z'};
    std::string s(random() % 6, ' ');
    for (char& c : s)
        c = alphabet[random() % sizeof alphabet];
    return s;
}

// A sorted list of thousands of items (its storage splits and joins
// blocks as it grows and shrinks) against a sorted vector with the same
// insertion rule: a new item goes in front of the items equal to it.
TEST(StringListLarge, SortedListAgreesWithASortedVectorItemForItem) {
    for (bool caseSensitive : {false, true})
        for (TDuplicates duplicates : {dupIgnore, dupAccept, dupError}) {
            std::mt19937 random(77 + caseSensitive * 5 + duplicates);
            TStringList list;
            list.SetCaseSensitive(caseSensitive);
            list.SetDuplicates(duplicates);
            list.SetSorted(true);
            std::vector<TEntry> model;
            int nextId = 1;
            for (int step = 0; step < 12000; ++step) {
                const std::string s = randomWord(random);
                auto at = std::lower_bound(model.begin(), model.end(), s, [&](const TEntry& e, const std::string& w) {
                    return oracleLess(e, w, caseSensitive);
                });
                const int position = static_cast<int>(at - model.begin());
                const bool present = at != model.end() && oracleCompare(at->first, s, caseSensitive) == 0;
                // Mostly adds while small, then as many deletions, so that
                // blocks both split and join.
                const bool growing = (step / 3000) % 2 == 0;
                const unsigned what = random() % 10;
                if (what < (growing ? 7u : 3u)) {
                    void* tag = tagOf(nextId++);
                    if (present && duplicates == dupError) {
                        ASSERT_THROW(list.AddObject(s, tag), EStringListError);
                    } else if (present && duplicates == dupIgnore) {
                        ASSERT_EQ(list.AddObject(s, tag), position);
                    } else {
                        ASSERT_EQ(list.AddObject(s, tag), position) << "step " << step;
                        model.insert(at, TEntry{s, tag});
                    }
                } else if (what < 9 && !model.empty()) {
                    const int index = static_cast<int>(random() % model.size());
                    list.Delete(index);
                    model.erase(model.begin() + index);
                } else {
                    int found = -1;
                    ASSERT_EQ(list.Find(s, found), present);
                    ASSERT_EQ(found, position);
                    ASSERT_EQ(list.IndexOf(s), present ? position : -1);
                }
                ASSERT_EQ(list.Count(), static_cast<int>(model.size()));
                if (!model.empty()) {
                    const size_t probe = random() % model.size();
                    ASSERT_EQ(list.Strings(static_cast<int>(probe)), model[probe].first);
                }
                if (step % 500 == 0) {
                    ASSERT_EQ(entriesOf(list), model) << "step " << step;
                }
            }
            EXPECT_EQ(entriesOf(list), model);
        }
}

// Positional edits of an unsorted list of thousands of items, and its
// sorts, against a vector.
TEST(StringListLarge, UnsortedEditsAndSortsAgreeWithAVector) {
    std::mt19937 random(91);
    TStringList list;
    std::vector<TEntry> model;
    int nextId = 1;
    auto less = [](const TEntry& a, const TEntry& b) { return oracleCompare(a.first, b.first, false) < 0; };
    for (int step = 0; step < 20000; ++step) {
        const int count = static_cast<int>(model.size());
        const int index = static_cast<int>(random() % (count + 1));
        const int other = count == 0 ? 0 : static_cast<int>(random() % count);
        const std::string s = randomWord(random);
        // Insertions outweigh deletions for the first half, deletions the second.
        switch (random() % (step < 10000 ? 7 : 12)) {
        case 0:
        case 1:
        case 2: {
            void* tag = tagOf(nextId++);
            list.InsertObject(index, s, tag);
            model.insert(model.begin() + index, TEntry{s, tag});
            break;
        }
        case 3:
            if (count > 0) {
                list.Move(index % count, other);
                TEntry moved = model[static_cast<size_t>(index % count)];
                model.erase(model.begin() + index % count);
                model.insert(model.begin() + other, moved);
            }
            break;
        case 4:
            if (count > 0) {
                list.Exchange(index % count, other);
                std::swap(model[static_cast<size_t>(index % count)], model[static_cast<size_t>(other)]);
            }
            break;
        case 5:
            if (count > 0) {
                list.Put(other, s);
                model[static_cast<size_t>(other)].first = s;
            }
            break;
        case 6:
            if (random() % 400 == 0) { // a stable sort, by the list's rule or the caller's
                if (random() % 2) {
                    list.Sort();
                    std::stable_sort(model.begin(), model.end(), less);
                } else {
                    list.CustomSort([](TStringList& l, int a, int b) {
                        return static_cast<int>(l.Strings(b).size()) - static_cast<int>(l.Strings(a).size());
                    });
                    std::stable_sort(model.begin(), model.end(), [](const TEntry& a, const TEntry& b) {
                        return a.first.size() > b.first.size();
                    });
                }
                ASSERT_EQ(entriesOf(list), model) << "step " << step;
            }
            break;
        default:
            if (count > 0) {
                list.Delete(other);
                model.erase(model.begin() + other);
            }
            break;
        }
        ASSERT_EQ(list.Count(), static_cast<int>(model.size()));
        if (step % 400 == 0) {
            ASSERT_EQ(entriesOf(list), model) << "step " << step;
        }
    }
    EXPECT_EQ(entriesOf(list), model);
    list.SetSorted(true);
    std::stable_sort(model.begin(), model.end(), less);
    EXPECT_EQ(entriesOf(list), model);
}

// ---- Text, line breaks and comma text ----

// Oracle: normalise every break to LF, then split.
std::vector<std::string> oracleLines(std::string text) {
    std::string normal;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            normal += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            normal += text[i];
        }
    }
    std::vector<std::string> lines;
    std::string line;
    std::istringstream in(normal);
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

TEST(StringsText, SetTextSplitsOnEveryKindOfBreakAsAnOracleDoes) {
    std::mt19937 random(7);
    const char alphabet[] = {'a', '\r', '\n', '\0', '\xFF'};
    for (int round = 0; round < 2000; ++round) {
        std::string text(random() % 12, ' ');
        for (char& c : text)
            c = alphabet[random() % sizeof alphabet];
        TStringList list;
        list.SetText(text);
        ASSERT_EQ(ItemsOf(list), oracleLines(text)) << "round " << round;
    }
    TStringList list;
    list.SetText("a\n\rb"); // LF CR is two breaks
    EXPECT_EQ(ItemsOf(list), (std::vector<std::string>{"a", "", "b"}));
}

TEST(StringsText, TextEndsEveryItemWithCrLfAndRoundTrips) {
    TStringList list;
    EXPECT_EQ(list.Text(), "");
    list.Add("");
    EXPECT_EQ(list.Text(), "\r\n");
    list.Add(std::string("x\0y", 3));
    EXPECT_EQ(list.Text(), std::string("\r\nx\0y\r\n", 7));
    std::mt19937 random(11);
    for (int round = 0; round < 300; ++round) {
        TStringList original;
        for (int i = static_cast<int>(random() % 6); i > 0; --i)
            original.Add(randomItem(random));
        TStringList copy;
        copy.SetText(original.Text());
        ASSERT_TRUE(copy.Equals(original)) << "round " << round;
    }
}

TEST(StringsText, CommaTextRoundTripsAnyBytes) {
    std::mt19937 random(3);
    const char alphabet[] = {'a', ',', '"', ' ', '\0', '\t', '\xE9', '='};
    for (int round = 0; round < 2000; ++round) {
        TStringList original;
        for (int i = static_cast<int>(random() % 5); i > 0; --i) {
            std::string s(random() % 5, ' ');
            for (char& c : s)
                c = alphabet[random() % sizeof alphabet];
            original.Add(s);
        }
        TStringList copy;
        copy.SetCommaText(original.CommaText());
        ASSERT_TRUE(copy.Equals(original)) << original.CommaText();
    }
}

TEST(StringsText, CommaTextReadsHandWrittenLists) {
    TStringList list;
    list.SetCommaText("Author, Description,Generator , Keywords");
    EXPECT_EQ(ItemsOf(list), (std::vector<std::string>{"Author", "Description", "Generator", "Keywords"}));
    list.SetCommaText("a,\"b \"\"c\"\"\",");
    EXPECT_EQ(ItemsOf(list), (std::vector<std::string>{"a", "b \"c\"", ""}));
    list.SetCommaText("  one two  ");
    EXPECT_EQ(ItemsOf(list), (std::vector<std::string>{"one", "two"}));
    list.SetCommaText(",x");
    EXPECT_EQ(ItemsOf(list), (std::vector<std::string>{"", "x"}));
    list.SetCommaText("\"unclosed, quote");
    EXPECT_EQ(ItemsOf(list), (std::vector<std::string>{"unclosed, quote"}));
    list.SetCommaText("");
    EXPECT_EQ(list.Count(), 0);
    list.Add("plain");
    list.Add("two words");
    list.Add("");
    EXPECT_EQ(list.CommaText(), "plain,\"two words\",\"\"");
}

// ---- Names and values ----

TEST(StringsNames, ValuesAreFoundIgnoringAsciiCaseAndEditedInPlace) {
    TStringList list;
    list.SetText("Width=10\r\nnocolon\r\nheight=\r\nAlt=a=b\r\n");
    EXPECT_EQ(list.Names(0), "Width");
    EXPECT_EQ(list.Names(1), "");
    EXPECT_EQ(list.IndexOfName("WIDTH"), 0);
    EXPECT_EQ(list.IndexOfName("nocolon"), -1);
    EXPECT_EQ(list.Values("alt"), "a=b");
    EXPECT_EQ(list.Values("height"), "");
    EXPECT_EQ(list.Values("missing"), "");
    list.SetValue("width", "20"); // replaced where it stands
    EXPECT_EQ(list.Strings(0), "width=20");
    list.SetValue("Border", "1"); // added at the end
    EXPECT_EQ(list.Strings(list.Count() - 1), "Border=1");
    list.SetValue("ALT", ""); // an empty value removes the item
    EXPECT_EQ(list.IndexOfName("alt"), -1);
    EXPECT_EQ(list.Count(), 4);

    TStringList exact;
    exact.SetCaseSensitive(true);
    exact.Add("Key=1");
    EXPECT_EQ(exact.IndexOfName("key"), -1);
    EXPECT_EQ(exact.Values("Key"), "1");
}

// ---- The base class's own algorithms, over a list of bare primitives ----

class TBareStrings : public TStrings {
public:
    std::vector<std::string> items;
    std::vector<bool> updates;
    std::string Get(int index) const override { return items.at(static_cast<size_t>(index)); }
    int GetCount() const override { return static_cast<int>(items.size()); }
    void Insert(int index, const std::string& s) override {
        if (index < 0 || index > GetCount())
            throw EListError();
        items.insert(items.begin() + index, s);
    }
    void Delete(int index) override {
        if (index < 0 || index >= GetCount())
            throw EListError();
        items.erase(items.begin() + index);
    }
    void Clear() override { items.clear(); }

protected:
    void SetUpdateState(bool updating) override { updates.push_back(updating); }
};

TEST(StringsBase, DefaultOperationsWorkThroughThePrimitives) {
    TBareStrings list;
    EXPECT_EQ(list.Add("a"), 0);
    EXPECT_EQ(list.Add("b"), 1);
    EXPECT_EQ(list.Add("c"), 2);
    list.Put(1, "B");
    EXPECT_EQ(list.items, (std::vector<std::string>{"a", "B", "c"}));
    list.Move(0, 2);
    EXPECT_EQ(list.items, (std::vector<std::string>{"B", "c", "a"}));
    list.Exchange(0, 2);
    EXPECT_EQ(list.items, (std::vector<std::string>{"a", "c", "B"}));
    EXPECT_EQ(list.IndexOf("b"), 2); // ASCII case ignored by default
    // A move to a place that does not exist leaves the item where it was.
    EXPECT_THROW(list.Move(0, 3), EListError);
    EXPECT_EQ(list.items, (std::vector<std::string>{"a", "c", "B"}));
}

TEST(StringsBase, UpdateStateChangesOnlyOnTheOuterBracket) {
    TBareStrings list;
    list.BeginUpdate();
    list.BeginUpdate();
    list.EndUpdate();
    EXPECT_EQ(list.updates, (std::vector<bool>{true}));
    list.EndUpdate();
    EXPECT_EQ(list.updates, (std::vector<bool>{true, false}));
    list.EndUpdate(); // unbalanced: ignored
    EXPECT_EQ(list.UpdateCount(), 0);
    EXPECT_EQ(list.updates.size(), 2u);
    // SetText, AddStrings and Assign each run inside one bracket.
    list.SetText("x\r\ny");
    EXPECT_EQ(list.updates.size(), 4u);
}

TEST(StringsBase, AssignCopiesStringsAndObjectsAndNeverEmptiesItself) {
    TStringList source;
    source.AddObject("one", tagOf(1));
    source.AddObject("two", tagOf(2));
    TStringList target;
    target.Add("old");
    target.Assign(&source);
    EXPECT_TRUE(target.Equals(source));
    EXPECT_EQ(target.Objects(1), tagOf(2));
    target.Assign(&target);
    EXPECT_EQ(target.Count(), 2);
    TBareStrings bare;
    bare.Assign(&source);
    EXPECT_EQ(bare.items, (std::vector<std::string>{"one", "two"}));
    TPersistent other;
    EXPECT_EQ(MessageOf<EConvertError>([&] { target.Assign(&other); }),
              "Cannot assign a TPersistent to a TStringList");
    target.AddStrings(target); // a list added to itself doubles once
    EXPECT_EQ(ItemsOf(target), (std::vector<std::string>{"one", "two", "one", "two"}));
}

// ---- TStringList specifics ----

TEST(StringList, EventsFireAroundChangesAndOnceAroundAnUpdate) {
    TStringList list;
    std::string log;
    list.OnChanging = [&](TStringList&) { log += '<'; };
    list.OnChange = [&](TStringList& sender) { log += '>' + std::to_string(sender.Count()); };
    list.Add("a");
    list.Delete(0);
    EXPECT_EQ(log, "<>1<>0");
    log.clear();
    list.SetText("a\r\nb\r\nc");
    EXPECT_EQ(log, "<>3");
    log.clear();
    list.Clear();
    list.Clear(); // nothing to clear: no event
    EXPECT_EQ(log, "<>0");
}

TEST(StringList, SortingFindAndCaseRules) {
    TStringList list;
    list.SetText("b\r\nB\r\na\r\nC\r\nA");
    list.Sort();
    EXPECT_EQ(ItemsOf(list), (std::vector<std::string>{"a", "A", "b", "B", "C"})); // stable
    list.SetCaseSensitive(true);
    list.SetSorted(true);
    EXPECT_EQ(ItemsOf(list), (std::vector<std::string>{"A", "B", "C", "a", "b"}));
    int index = -1;
    EXPECT_FALSE(list.Find("Ab", index));
    EXPECT_EQ(index, 1);
    list.SetCaseSensitive(false); // re-sorted under the new rule
    EXPECT_TRUE(list.Find("c", index));
    EXPECT_EQ(list.Strings(index), "C");
    for (int i = 1; i < list.Count(); ++i)
        EXPECT_LE(CompareText(list.Strings(i - 1), list.Strings(i)), 0);
    // Bytes above 0x7F order after ASCII and are never folded.
    list.Add("\xE9");
    list.Add("\xC9");
    EXPECT_EQ(list.Strings(list.Count() - 2), "\xC9");
}

TEST(StringList, CustomSortSeesTheListByIndex) {
    TStringList list;
    list.SetText("ccc\r\na\r\nbb\r\nzz");
    list.AddObject("", tagOf(9));
    list.CustomSort([](TStringList& l, int a, int b) {
        return static_cast<int>(l.Strings(a).size()) - static_cast<int>(l.Strings(b).size());
    });
    EXPECT_EQ(ItemsOf(list), (std::vector<std::string>{"", "a", "bb", "zz", "ccc"}));
    EXPECT_EQ(list.Objects(0), tagOf(9));
}

TEST(StringList, IndexErrorsCarryTheListMessage) {
    TStringList list;
    EXPECT_EQ(MessageOf<EListError>([&] { list.Strings(0); }), "List index out of bounds");
    EXPECT_THROW(list.Insert(1, "x"), EListError);
    EXPECT_THROW(list.Insert(-1, "x"), EListError);
    list.Insert(0, "x");
    EXPECT_THROW(list.PutObject(1, nullptr), EListError);
}

// ---- Streams and files ----

TEST(StringsFiles, LoadFromStreamTakesTheRestOfTheStream) {
    TMemoryStream stream;
    std::string bytes = std::string("skip|one\r\ntwo\0\xFF\nthree", 21);
    stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    stream.SetPosition(5);
    TStringList list;
    list.LoadFromStream(stream);
    EXPECT_EQ(ItemsOf(list), (std::vector<std::string>{"one", std::string("two\0\xFF", 5), "three"}));
    TMemoryStream out;
    list.SaveToStream(out);
    EXPECT_EQ(out.DataString(), std::string("one\r\ntwo\0\xFF\r\nthree\r\n", 19));
}

TEST(StringsFiles, SaveToFileReplacesAndAFailedSaveKeepsTheOldFile) {
    TTempFolder folder;
    const std::string name = folder.File("page.html");
    TStringList list;
    list.SetText("<p>\r\n\xE9t\xE9\r\n</p>");
    list.SaveToFile(name);
    TStringList back;
    back.LoadFromFile(name);
    EXPECT_TRUE(back.Equals(list));

    // A read-only target is refused, and its contents stay.
    std::filesystem::permissions(name, std::filesystem::perms::owner_read);
    list.Add("more");
    EXPECT_THROW(list.SaveToFile(name), EFCreateError);
    back.LoadFromFile(name);
    EXPECT_EQ(back.Count(), 3);
    EXPECT_THROW(list.SaveToFile(folder.File("page.html/inside")), EFCreateError);
    EXPECT_THROW(back.LoadFromFile(folder.File("missing.html")), EFOpenError);
    // No temporary file is left behind.
    int files = 0;
    for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(folder.Path()))
        ++files;
    EXPECT_EQ(files, 1);
}

} // namespace
