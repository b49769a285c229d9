// The extended highlighter framework: styles with change callbacks, lists
// whose entries carry levels, required contexts and end modes, and the
// chain of SubHighlighters.

#include "editor/model/CodeDocument.h"
#include "editor/model/TextSelection.h"
#include "editor/model/ContextEditing.h"
#include "editor/highlight/CustomExtHighlighter.h"
#include "editor/highlight/HighlightInfo.h"
#include "HighlightTestSupport.h"

#include "platform/base/Filer.h"
#include "platform/base/Stream.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// Opens a context (its first identifier, number 7) at every "x" and closes
// it at the next "y"; records the identifiers it is handed.
class TRecordingHighlighter : public TCodeHighlighter {
public:
    std::vector<int32_t> StartIdentifiers;
    std::vector<int32_t> StopIdentifiers;
    std::vector<int32_t> KeywordIdentifiers;
    int Notices = 0;

    bool StartKeyHook(TCodeNavigator& position, TCodeNavigator& limit, int32_t first) override {
        StartIdentifiers.push_back(first);
        return findAndWrite(position, limit, 'x', [&](TContextState& record) {
            record.Depth = static_cast<int8_t>(ContextDepthOf(record) + 1);
            record.KeyStack[record.Depth] = static_cast<uint16_t>(0x8000 | first);
            record.Flags = 0xC0;
            record.ContextNumber = 7;
        });
    }
    bool StopKeyHook(TCodeNavigator& position, TCodeNavigator& limit, int32_t first) override {
        StopIdentifiers.push_back(first);
        if (TopKeyEntry(ContextInForce(*position.Paragraph(), position.ParOffset())) != (0x8000 | first))
            return false;
        return findAndWrite(position, limit, 'y', [](TContextState& record) { record = PlainContext(); }, 1);
    }
    void KeywordHook(TCodeNavigator& from, TCodeNavigator& to, int32_t first) override {
        KeywordIdentifiers.push_back(first);
    }

protected:
    void Notification(TComponent* component, TOperation operation) override {
        if (operation == kMemoMessage)
            ++Notices;
        TCodeHighlighter::Notification(component, operation);
    }

private:
    template <class F>
    bool findAndWrite(TCodeNavigator& position, TCodeNavigator& limit, char c, F make, int after = 0) {
        TParagraph& p = *position.Paragraph();
        int32_t from = position.ParOffset();
        int32_t to = limit.ParNumber() == position.ParNumber() ? limit.ParOffset() : p.Length();
        for (int32_t i = from; i < to && i < p.Length(); ++i) {
            if (p.Text[static_cast<size_t>(i)] != c)
                continue;
            TContextState record = ContextInForce(p, i);
            make(record);
            PutContext(p, i + after, record);
            limit.SetPos(position.Pos() - from + i + 1);
            return true;
        }
        return false;
    }
};

TKeywordAttributes Keyword(int32_t number, int16_t level, int16_t required = 0) {
    TKeywordAttributes attributes;
    attributes.ContextNumber = number;
    attributes.Level = level;
    attributes.RequiredContext = required;
    attributes.Style = kStyleBold;
    return attributes;
}

class ExtHighlighter : public ::testing::Test {
protected:
    void SetUp() override {
        document.Layout().SetUpdateMode(umImmediate);
        document.Layout().SetMeasure(&measure, 2000);
    }
    void TearDown() override { document.Highlighting().SetHighlighter(nullptr); }
    std::string Colours(const std::string& text) {
        LoadText(document, text);
        HighlightAll(document);
        return NumbersOf(document, 0);
    }

    TFixedMeasure measure{10, 2};
    TCodeDocument document;
    TTextSelection selection{document};
};

}  // namespace

TEST(HighlightInfo, ChangesAreReportedOnlyWhenAValueChanges) {
    int calls = 0;
    THighlightInfo info(0x21, clWhite, clBlack, [&](THighlightInfo*) { ++calls; });
    EXPECT_TRUE(info.AltFont());
    EXPECT_EQ(info.Style(), fsBold);
    EXPECT_EQ(info.StyleByte(), 0x21);
    info.SetForeground(clBlack);
    info.SetBackground(clWhite);
    info.SetStyle(fsBold);
    info.SetAltFont(true);
    EXPECT_EQ(calls, 0);
    info.SetForeground(clRed);
    info.SetStyle(fsItalic | fsUnderline);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(info.StyleByte(), 0x26);

    THighlightInfo other(0, -1, clBlue);
    info.Assign(&other);
    EXPECT_EQ(calls, 3);  // one call for all four values
    EXPECT_EQ(info.Foreground(), clBlue);
    EXPECT_EQ(info.Background(), -1);
    EXPECT_FALSE(info.AltFont());
    TStringList strings;
    EXPECT_THROW(info.Assign(&strings), EConvertError);
}

TEST(ExtLists, KeywordsFromAPlainListGetNoLevelsAndTheExtendedFieldsStream) {
    TKeywordList plain;
    TKeywordAttributes attributes = Keyword(4, 9, 3);
    plain.AddKeyword("k", attributes);
    TExtKeywordList ext;
    ext.Assign(&plain);
    EXPECT_EQ(ext.AttributesOf(0).Level, 0);
    EXPECT_EQ(ext.AttributesOf(0).RequiredContext, 0);
    EXPECT_EQ(ext.AttributesOf(0).ContextNumber, 4);

    ext.SetAttributes(0, attributes);
    TExtKeywordList copy;
    copy.Assign(&ext);
    EXPECT_EQ(copy.AttributesOf(0).Level, 9);
    TMemoryStream stream;
    WritePersistentProperties(stream, ext);
    stream.SetPosition(0);
    TExtKeywordList back;
    ReadPersistentProperties(stream, back);
    EXPECT_EQ(back.AttributesOf(0).Level, 9);
    EXPECT_EQ(back.AttributesOf(0).RequiredContext, 3);
    EXPECT_EQ(back.AttributesOf(0).ContextNumber, 4);

    TExtStartStopList keys;
    keys.Add("(", ")", true, 1, 2, 3, 4, 5, 0, kEndAtSeparator, 6);
    TMemoryStream keyStream;
    WritePersistentProperties(keyStream, keys);
    keyStream.SetPosition(0);
    TExtStartStopList keysBack;
    ReadPersistentProperties(keyStream, keysBack);
    ASSERT_EQ(keysBack.Count(), 1);
    EXPECT_EQ(keysBack[0].EndMode, kEndAtSeparator);
    EXPECT_EQ(keysBack[0].Level, 6);
    EXPECT_EQ(keysBack[0].Foreground, 1);
    EXPECT_TRUE(keysBack[0].EndsAtParagraphEnd);
}

TEST_F(ExtHighlighter, KeywordsFollowLevelsAndRequiredContexts) {
    TCustomExtHighlighter ext;
    ext.StartStopKeys().Add("(", ")", false, 0, -1, 0, 5, 0, 0, 0, 2);
    ext.StartStopKeys().Add("$", "", false, 0, -1, 0, 6, 0, 0, kEndAtSeparator, 0);
    ext.Keywords().AddKeyword("k1", Keyword(7, 3));
    ext.Keywords().AddKeyword("k2", Keyword(8, 1));
    ext.Keywords().AddKeyword("k3", Keyword(9, 0, 5));
    ext.Keywords().AddKeyword("k4", Keyword(3, 32767));
    document.Highlighting().SetHighlighter(&ext);
    EXPECT_EQ(Colours("k1 k2 k3 k4 (k1 k2 k3 k4) $abc def"),
              "77" "0" "88" "0" "00" "0" "33" "0" "5" "77" "5" "55" "5" "99" "5" "33" "5" "0" "6666" "0" "000");

    // A veto keeps an occurrence plain.
    ext.OnKeywordVeto = [](TCustomExtHighlighter*, TCodeNavigator& start, bool& accept, int keyword,
                           TCodeNavigator& end) {
        accept = !(keyword == 3 && start.Pos() > 2);
        EXPECT_EQ(end.Pos() - start.Pos(), 2);
    };
    EXPECT_EQ(Colours("k4 (k4)"), "33" "0" "5" "55" "5");
    ext.OnKeywordVeto = nullptr;

    // Only keyword contexts may begin inside an occurrence.
    ext.Keywords().AddKeyword("a(b", Keyword(1, 32767));
    EXPECT_EQ(Colours("a(b)"), "0555");

    // Switched off, the highlighter's own lists do nothing.
    ext.SetEnabled(false);
    EXPECT_EQ(Colours("k4 (k4)"), "0000000");
}

TEST_F(ExtHighlighter, AFollowOnEntryMustHaveTheSameEndModeAndLevel) {
    TCustomExtHighlighter ext;
    ext.StartStopKeys().Add("<<", ">>", false, 0, -1, 0, 1, 0, 0, 0, 0);
    ext.StartStopKeys().Add("<<", "!", false, 0, -1, 0, 2, 0, 0, 0, 5);
    ext.StartStopKeys().Add("<<", "?", false, 0, -1, 0, 3, 0, 0, 0, 0);
    document.Highlighting().SetHighlighter(&ext);
    EXPECT_EQ(Colours("<<a>>b?c"), "11111330");
}

TEST_F(ExtHighlighter, WithoutOwnKeysEveryQuestionGoesToTheSubHighlighter) {
    document.Highlighting().StartStopKeys().AddStartStopKey("[", "]", false, 0, -1, 0, 1, 0, 0);
    document.Highlighting().StartStopKeys().AddStartStopKey("{", "}", false, 0, -1, 0, 2, 0, 0);
    document.Highlighting().Keywords().AddKeyword("if", Keyword(3, 0));
    TCustomExtHighlighter ext;
    TRecordingHighlighter sub;
    ext.SetSubHighlighter(&sub);
    document.Highlighting().SetHighlighter(&ext);
    EXPECT_EQ(Colours("a x b y c"), "007777700");
    ASSERT_FALSE(sub.StartIdentifiers.empty());
    ASSERT_FALSE(sub.StopIdentifiers.empty());
    ASSERT_FALSE(sub.KeywordIdentifiers.empty());
    for (int32_t identifier : sub.StartIdentifiers)
        EXPECT_EQ(identifier, 2);
    for (int32_t identifier : sub.StopIdentifiers)
        EXPECT_EQ(identifier, 2);
    for (int32_t identifier : sub.KeywordIdentifiers)
        EXPECT_EQ(identifier, 1);
    EXPECT_EQ(TopKeyEntry(ContextInForce(*document.Paragraph(0), 3)), 0x8002);

    // With own entries the identifiers behind them go to the SubHighlighter.
    ext.StartStopKeys().Add("(", ")", false, 0, -1, 0, 5, 0, 0, 0, 0);
    document.ReApplyKeywords();
    sub.StartIdentifiers.clear();
    EXPECT_EQ(Colours("(a) x y"), "5550777");
    for (int32_t identifier : sub.StartIdentifiers)
        EXPECT_EQ(identifier, 3);
}

TEST_F(ExtHighlighter, TheSubHighlighterChainStaysSoundAndHearsTheMemo) {
    TCustomExtHighlighter first;
    TCustomExtHighlighter second;
    first.SetSubHighlighter(&second);
    EXPECT_THROW(second.SetSubHighlighter(&first), EInvalidOperation);
    EXPECT_THROW(first.SetSubHighlighter(&first), EInvalidOperation);
    EXPECT_EQ(second.SubHighlighter(), nullptr);

    auto sub = std::make_unique<TRecordingHighlighter>();
    second.SetSubHighlighter(sub.get());
    // A memo message reaches the end of the chain.
    TComponent memo;
    first.Notify(&memo, kMemoMessage);
    EXPECT_EQ(sub->Notices, 1);
    sub.reset();
    EXPECT_EQ(second.SubHighlighter(), nullptr);
    EXPECT_EQ(first.SubHighlighter(), &second);
}
