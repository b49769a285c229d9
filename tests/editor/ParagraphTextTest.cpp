// A paragraph's text against a plain std::string: random edits that mostly
// stay near one place (as typing does) with jumps, in short texts kept in
// the record and long ones that keep a gap, read back every way a reader
// reads them (by offset, in pieces, whole) after every step.

#include "editor/model/ParagraphText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

namespace {

std::string RandomBytes(std::mt19937& random, size_t count) {
    // Few different bytes, so that searches find something; NUL among them.
    static const char kBytes[] = {'a', 'b', '<', '>', ' ', '\0', '\xC3', '\xA9'};
    std::string bytes;
    for (size_t i = 0; i < count; ++i)
        bytes += kBytes[random() % sizeof kBytes];
    return bytes;
}

void ExpectSame(const TParagraphText& text, const std::string& model, size_t place, std::mt19937& random, int step) {
    ASSERT_EQ(text.size(), model.size()) << "step " << step;
    ASSERT_TRUE(text == model) << "step " << step;
    for (int probe = 0; probe < 8 && !model.empty(); ++probe) {
        const size_t at = random() % model.size();
        ASSERT_EQ(text[at], model[at]) << "step " << step << " at " << at;
    }
    // Often just before the last edit, where a long text keeps its gap.
    size_t from = model.empty() ? 0 : random() % (model.size() + 1);
    if (random() % 2 == 0)
        from = std::min(model.size(), place - std::min<size_t>(place, random() % 4));
    const size_t to = std::min(model.size(), from + random() % 300);
    std::string scratch;
    ASSERT_EQ(text.Piece(from, to, scratch), std::string_view(model).substr(from, to - from)) << "step " << step;
    const TParagraphText::TPieces pieces = text.Pieces(from, to);
    ASSERT_EQ(std::string(pieces.First) + std::string(pieces.Second), model.substr(from, to - from)) << "step " << step;
    if (!pieces.Second.empty()) {
        ASSERT_EQ(pieces.SecondAt, from + pieces.First.size());
    }
    ASSERT_EQ(text.substr(from, to - from), model.substr(from, to - from)) << "step " << step;
    const char c = "ab<\0"[random() % 4];
    ASSERT_EQ(text.find(c, from), model.find(c, from)) << "step " << step;
    for (std::string_view key : {"<a", "b>", "a b", "\xC3\xA9"}) {
        const size_t expected = model.substr(0, to).find(key, from);
        ASSERT_EQ(text.Find(key, from, to), expected) << "step " << step << " key " << key;
    }
}

} // namespace

TEST(ParagraphText, FollowsAStringThroughRandomEditsAndReads) {
    std::mt19937 random(31337);
    for (int round = 0; round < 12; ++round) {
        // Short texts in the record, medium ones in a block, long ones with
        // a gap; each round starts at one size and is free to cross the others.
        const size_t start = round % 3 == 0 ? 10 : round % 3 == 1 ? 600 : 9000 + random() % 20000;
        std::string model = RandomBytes(random, start);
        TParagraphText text(model);
        size_t place = random() % (model.size() + 1);
        for (int step = 0; step < 600; ++step) {
            if (random() % 10 == 0)
                place = random() % (model.size() + 1);
            place = std::min(model.size(), static_cast<size_t>(std::max<int64_t>(0, static_cast<int64_t>(place) +
                                                                                      static_cast<int>(random() % 7) - 3)));
            const int kind = static_cast<int>(random() % 20);
            if (kind < 8) {
                // Typing, deleting, replacing a little.
                const size_t removed = std::min(model.size() - place, static_cast<size_t>(random() % 3));
                const std::string inserted = RandomBytes(random, random() % 3 == 0 ? 0 : random() % 4);
                model.replace(place, removed, inserted);
                text.replace(place, removed, inserted);
                place += inserted.size();
            } else if (kind < 10) {
                // A paste larger than any gap.
                const std::string inserted = RandomBytes(random, random() % 70000);
                model.insert(place, inserted);
                text.insert(place, inserted);
            } else if (kind < 12) {
                const size_t removed = random() % 5000;
                model.erase(place, removed);
                text.erase(place, removed);
            } else if (kind < 13) {
                // Text taken from itself (a view into its own bytes).
                const size_t from = model.empty() ? 0 : random() % model.size();
                const size_t count = std::min<size_t>(model.size() - from, random() % 40);
                const std::string copy = model.substr(from, count);
                model.replace(place, 1, copy);
                text.replace(place, 1, text.View().substr(from, count));
            } else if (kind < 14) {
                model += "tail";
                text += "tail";
                text.push_back('!');
                model.push_back('!');
            } else if (kind < 15) {
                const size_t n = random() % (model.size() + 50);
                model.resize(n, 'z');
                text.resize(n, 'z');
                place = std::min(place, model.size());
            } else if (kind < 16) {
                // Read whole: the gap closes, and the next edits go on.
                ASSERT_EQ(text.View(), model) << "round " << round << " step " << step;
                ASSERT_EQ(std::string(text.c_str(), text.size()), model);
                ASSERT_EQ(text.c_str()[text.size()], '\0');
            } else if (kind < 17) {
                TParagraphText copy(text);
                TParagraphText moved(std::move(copy));
                text = moved;
                TParagraphText other("other");
                other.swap(text);
                text.swap(other);
            } else if (kind < 18) {
                TParagraphText moved;
                moved = std::move(text);
                text = std::move(moved);
            } else if (kind < 19 && random() % 8 == 0) {
                model = RandomBytes(random, random() % 20);
                text = model;
                place = 0;
            }
            ExpectSame(text, model, place, random, step);
            if (::testing::Test::HasFatalFailure())
                return;
        }
    }
}

TEST(ParagraphText, TypingInTheMiddleOfALongTextKeepsAGapThereAndNoneInShortOnes) {
    std::string model(100000, 'x');
    TParagraphText text(model);
    for (int i = 0; i < 1000; ++i) {
        text.insert(50000 + static_cast<size_t>(i), "k");
        model.insert(50000 + static_cast<size_t>(i), "k");
    }
    EXPECT_TRUE(text.HasGap());
    EXPECT_TRUE(text == model);
    // Reading it whole closes the gap; the text stays the same.
    EXPECT_EQ(text.View(), model);
    EXPECT_FALSE(text.HasGap());
    TParagraphText shortText("abc");
    shortText.insert(1, "zz");
    EXPECT_FALSE(shortText.HasGap());
    EXPECT_TRUE(shortText == "azzbc");
}
