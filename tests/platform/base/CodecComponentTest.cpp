#include "platform/base/Component.h"
#include "platform/base/Exceptions.h"
#include "platform/base/TextCodec.h"
#include "platform/base/QtBridge.h"

#include <gtest/gtest.h>

#include <QString>

namespace {

TEST(TextCodec, EveryByteSurvivesARoundTripThroughUnicode) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    QString text = AnsiToQString(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(QStringToAnsi(text), all);
    // The printable high half decodes to the characters a reader expects.
    EXPECT_EQ(text[0x80], QChar(0x20AC));
    EXPECT_EQ(text[0xE9], QChar(0x00E9));
    EXPECT_EQ(QStringToAnsi(QString::fromUtf8("\xE2\x82\xAC caf\xC3\xA9 \xE4\xB8\xAD")), "\x80 caf\xE9 ?");
}

TEST(TextCodec, CaseRulesAgreeWithUnicodeForEveryLetterOfTheCodePage) {
    for (int b = 0; b < 256; ++b) {
        auto byte = static_cast<unsigned char>(b);
        QChar ch(AnsiCharToUnicode(byte));
        // Oracle: Qt's Unicode case mapping, wherever the result is in the
        // code page and is a single character.
        int expectedUpper = UnicodeToAnsiChar(ch.toUpper().unicode());
        if (expectedUpper >= 0 && ch.toUpper() != ch && b != 0xB5)
            EXPECT_EQ(AnsiUpperChar(byte), expectedUpper) << "byte " << b;
        else
            EXPECT_EQ(AnsiUpperChar(byte), byte) << "byte " << b;
        int expectedLower = UnicodeToAnsiChar(ch.toLower().unicode());
        if (expectedLower >= 0 && ch.toLower() != ch)
            EXPECT_EQ(AnsiLowerChar(byte), expectedLower) << "byte " << b;
        else
            EXPECT_EQ(AnsiLowerChar(byte), byte) << "byte " << b;
    }
    EXPECT_EQ(AnsiCompareText("\xE9t\xE9", "\xC9T\xC9"), 0);
    EXPECT_TRUE(SameText("Arial", "ARIAL"));
    EXPECT_FALSE(SameText("\xE9", "\xC9")); // ASCII rule leaves accents alone
    EXPECT_LT(CompareText("abc", "ABD"), 0);
    EXPECT_GT(CompareText("abcd", "ABC"), 0);
}

struct Recorder : TComponent {
    using TComponent::TComponent;
    std::vector<std::pair<TComponent*, TOperation>>* log = nullptr;
    void Notification(TComponent* component, TOperation operation) override {
        if (log)
            log->push_back({component, operation});
    }
};

TEST(Component, OwnerFreesChildrenAndSubscribersHearOfIt) {
    std::vector<std::pair<TComponent*, TOperation>> log;
    Recorder watcher;
    watcher.log = &log;
    auto* owner = new TComponent();
    auto* child = new TComponent(owner);
    child->SetName("Gutter");
    EXPECT_EQ(owner->ComponentCount(), 1);
    EXPECT_EQ(owner->FindComponent("gutter"), child);
    EXPECT_THROW(owner->Components(1), EListError);
    child->FreeNotification(&watcher);
    delete owner; // frees the child, which tells the watcher
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].first, child);
    EXPECT_EQ(log[0].second, opRemove);
}

TEST(Component, SubscriberFreedFirstIsForgotten) {
    std::vector<std::pair<TComponent*, TOperation>> log;
    Recorder target;
    target.log = &log;
    {
        Recorder subscriber;
        target.FreeNotification(&subscriber);
    }
    // The target heard that its subscriber went; it must not call it later.
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].second, opRemove);
}

} // namespace
