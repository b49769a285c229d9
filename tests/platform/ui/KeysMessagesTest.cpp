#include "platform/ui/Keys.h"
#include "platform/ui/Message.h"
#include "tests/platform/gfx/GuiTestApp.h"
#include "platform/ui/QtBridge.h"

#include <gtest/gtest.h>

#include <QKeyEvent>

namespace {

TEST(ShortCut, WordsCombineTheKeyWithModifierBits) {
    EXPECT_EQ(ShortCut('C', ssCtrl), 0x4043);
    EXPECT_EQ(ShortCut('A', ssCtrl | ssShift), 0x6041);
    EXPECT_EQ(ShortCut(VK_F5, 0), VK_F5);
    EXPECT_EQ(ShortCut(VK_DELETE, ssAlt | ssShift | ssCtrl), 0xE02E);
    uint16_t key = 0;
    TShiftState shift = 0;
    ShortCutToKey(0xA026, key, shift);
    EXPECT_EQ(key, VK_UP);
    EXPECT_EQ(shift, ssShift | ssAlt);
}

TEST(ShortCut, TextNamesModifiersInFixedOrderAndReadsBackIgnoringCase) {
    EXPECT_EQ(ShortCutToText(0x4043), "Ctrl+C");
    EXPECT_EQ(ShortCutToText(ShortCut('A', ssCtrl | ssShift)), "Shift+Ctrl+A");
    EXPECT_EQ(ShortCutToText(ShortCut(VK_NEXT, ssAlt)), "Alt+PgDn");
    EXPECT_EQ(ShortCutToText(VK_BACK), "BkSp");
    EXPECT_EQ(ShortCutToText(VK_NUMPAD7), "7");
    EXPECT_EQ(ShortCutToText(VK_F1 + 11), "F12");
    EXPECT_EQ(ShortCutToText(0xBA), "#186");
    EXPECT_EQ(ShortCutToText(0), "");
    EXPECT_EQ(TextToShortCut("Ctrl+C"), 0x4043);
    EXPECT_EQ(TextToShortCut("^C"), 0x4043);
    EXPECT_EQ(TextToShortCut("ctrl+c"), 0x4043);
    EXPECT_EQ(TextToShortCut("alt+shift+del"), 0xA02E);
    EXPECT_EQ(TextToShortCut("F5"), VK_F5);
    EXPECT_EQ(TextToShortCut("Ctrl+NoSuchKey"), 0);
    EXPECT_EQ(TextToShortCut(""), 0);
    // Every shortcut reads back as itself, except that a keypad digit
    // shares its name with the digit key, which comes first.
    for (unsigned key = 8; key < 256; ++key)
        for (unsigned modifiers : {0u, 0x2000u, 0x4000u, 0x8000u, 0xE000u}) {
            auto shortCut = static_cast<TShortCut>(key | modifiers);
            TShortCut back = TextToShortCut(ShortCutToText(shortCut));
            unsigned expectedKey = key >= VK_NUMPAD0 && key <= VK_NUMPAD9 ? '0' + key - VK_NUMPAD0 : key;
            EXPECT_EQ(back, expectedKey | modifiers) << ShortCutToText(shortCut);
        }
}

TEST(KeyCharacters, ControlLettersGiveControlCodesAndDigitsGiveNothing) {
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        std::string typed = KeyPressCharacters(letter, ssCtrl, QString(QChar(letter).toLower()));
        ASSERT_EQ(typed.size(), 1u);
        EXPECT_EQ(typed[0], letter - 'A' + 1);
    }
    for (char digit = '0'; digit <= '9'; ++digit)
        EXPECT_EQ(KeyPressCharacters(digit, ssCtrl, QString(QChar(digit))), "");
    EXPECT_EQ(KeyPressCharacters('3', ssCtrl | ssShift, "#"), "");
    EXPECT_EQ(KeyPressCharacters(VK_RETURN, 0, "\r"), "\r");
    EXPECT_EQ(KeyPressCharacters(VK_RETURN, ssShift, "\r"), "\r");
    EXPECT_EQ(KeyPressCharacters(VK_BACK, 0, "\b"), "\b");
    EXPECT_EQ(KeyPressCharacters(VK_BACK, ssCtrl, ""), "\x7F");
    EXPECT_EQ(KeyPressCharacters(VK_TAB, 0, "\t"), "\t");
    EXPECT_EQ(KeyPressCharacters(VK_ESCAPE, 0, "\x1B"), "\x1B");
    EXPECT_EQ(KeyPressCharacters(VK_OEM_4, ssCtrl, "["), "\x1B");
    // Text goes through the code page; what it lacks gives nothing, and so
    // do the control characters keys like Delete carry.
    EXPECT_EQ(KeyPressCharacters('E', 0, QString::fromUtf8("\xC3\xA9")), "\xE9");
    EXPECT_EQ(KeyPressCharacters('E', ssAlt | ssCtrl, QString::fromUtf8("\xE2\x82\xAC")), "\x80");
    EXPECT_EQ(KeyPressCharacters(0, 0, QString::fromUtf8("\xE4\xB8\xAD")), "");
    EXPECT_EQ(KeyPressCharacters(VK_DELETE, 0, "\x7F"), "");
    EXPECT_EQ(KeyPressCharacters('A', ssShift, "A"), "A");
}

TEST(KeyCharacters, QtKeysTranslateToVirtualKeysAsOnAUsKeyboard) {
    struct Case {
        int qtKey;
        Qt::KeyboardModifiers modifiers;
        uint16_t key;
        TShiftState shift;
    };
    for (Case c : {Case{Qt::Key_A, Qt::NoModifier, 'A', 0},
                   Case{Qt::Key_NumberSign, Qt::ControlModifier | Qt::ShiftModifier, '3', ssCtrl | ssShift},
                   Case{Qt::Key_5, Qt::KeypadModifier, VK_NUMPAD5, 0},
                   Case{Qt::Key_Enter, Qt::KeypadModifier, VK_RETURN, 0},
                   Case{Qt::Key_Backtab, Qt::ShiftModifier, VK_TAB, ssShift},
                   Case{Qt::Key_PageDown, Qt::AltModifier, VK_NEXT, ssAlt},
                   Case{Qt::Key_BraceLeft, Qt::ShiftModifier, VK_OEM_4, ssShift},
                   Case{Qt::Key_F10, Qt::NoModifier, VK_F10, 0}}) {
        QKeyEvent event(QEvent::KeyPress, c.qtKey, c.modifiers);
        uint16_t key = 0;
        TShiftState shift = 0;
        ASSERT_TRUE(TranslateQtKey(event, key, shift)) << c.qtKey;
        EXPECT_EQ(key, c.key) << c.qtKey;
        EXPECT_EQ(shift, c.shift) << c.qtKey;
    }
    QKeyEvent unknown(QEvent::KeyPress, Qt::Key_Eacute, Qt::NoModifier);
    uint16_t key = 1;
    TShiftState shift = 0;
    EXPECT_FALSE(TranslateQtKey(unknown, key, shift));
}

TEST(KeyState, FollowsWhatInputEventsReport) {
    SetModifierKeys(ssCtrl);
    EXPECT_LT(GetKeyState(VK_CONTROL), 0);
    EXPECT_EQ(GetKeyState(VK_SHIFT), 0);
    EXPECT_EQ(CurrentShiftState(), ssCtrl);
    SetKeyDown('Q', true);
    EXPECT_LT(GetKeyState('Q'), 0);
    SetKeyDown('Q', false);
    SetModifierKeys(0);
    EXPECT_EQ(CurrentShiftState(), 0u);
    EXPECT_EQ(GetKeyState(9999), 0);
}

TEST(Message, PackingKeepsSignedCoordinatesAndWheelDeltas) {
    for (TPoint p : {TPoint{0, 0}, TPoint{-5, 300}, TPoint{32767, -32768}, TPoint{-1, -1}})
        EXPECT_EQ(PointFromLParam(PointToLParam(p)), p);
    EXPECT_EQ(PointFromLParam(PointToLParam({40000, -40000})), (TPoint{32767, -32768}));
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(MAKEWPARAM(MK_CONTROL, static_cast<uint16_t>(-240))), -240);
    EXPECT_EQ(GET_KEYSTATE_WPARAM(MAKEWPARAM(MK_CONTROL, 120)), MK_CONTROL);
    EXPECT_EQ(LOWORD(MAKELONG(SB_THUMBTRACK, 1234)), SB_THUMBTRACK);
    EXPECT_EQ(static_cast<int16_t>(HIWORD(MAKELONG(SB_THUMBTRACK, static_cast<uint16_t>(-3)))), -3);
    EXPECT_EQ(CM_FONTCHANGED, 0xB00Eu);
    EXPECT_EQ(CM_CTL3DCHANGED, 0xB010u);
    EXPECT_EQ(CM_TEXTCHANGED, 0xB012u);
}

} // namespace
