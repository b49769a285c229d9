// The default keys come from the translatable texts: "Ctrl+C", "^C" and
// "ctrl+c" give the same key, an unknown name none, and a translated text
// moves the command.

#include "shell/ShellConsts.h"

#include <gtest/gtest.h>

TEST(ShellConstsTest, KeyTextsBecomeShortcutsAndFollowTranslations) {
    EXPECT_EQ(TextToShortCut("Ctrl+C"), 0x4043);
    EXPECT_EQ(TextToShortCut("^C"), 0x4043);
    EXPECT_EQ(TextToShortCut("ctrl+c"), 0x4043);
    EXPECT_EQ(TextToShortCut("Hyper+Q"), 0);
    EXPECT_EQ(DefaultKeyCommand(ShortCut(VK_F5, 0)), dkRefresh);
    EXPECT_EQ(DefaultKeyCommand(ShortCut('X', ssCtrl)), dkCut);
    EXPECT_EQ(DefaultKeyCommand(ShortCut(VK_DELETE, 0)), dkDelete);

    SetResourceString(SKeyRefresh, "F6");
    EXPECT_EQ(DefaultKeyCommand(ShortCut(VK_F6, 0)), dkRefresh);
    EXPECT_EQ(DefaultKeyCommand(ShortCut(VK_F5, 0)), -1);
    SetResourceString(SKeyRefresh, "Nonsense");
    InitDefaultKeys();
    EXPECT_EQ(DefaultKeys()[dkRefresh].ShortCut, 0);
    EXPECT_EQ(DefaultKeyCommand(0), -1) << "an unnamed key matches nothing";
    SetResourceString(SKeyRefresh, "F5");

    std::string text = "cTrL+Shift+A";
    EXPECT_TRUE(StripPrefix(text, "Ctrl+"));
    EXPECT_EQ(text, "Shift+A");
    EXPECT_FALSE(StripPrefix(text, "Shift+A+"));
    EXPECT_EQ(text, "Shift+A");
}
