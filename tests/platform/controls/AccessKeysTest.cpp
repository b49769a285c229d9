// Access keys typed with Alt into real (offscreen) windows, against a
// model: the first shown and enabled label, button, check box or radio
// button whose caption marks the typed character answers, whatever the
// character's case and however many bytes it takes in UTF-8; a label
// gives the focus to its FocusControl, a button is pressed once.

#include "platform/base/Utf8.h"
#include "platform/ui/ButtonControls.h"
#include "platform/ui/TextControls.h"
#include "tests/platform/controls/ControlsTestSupport.h"
#include "tests/support/ScriptedInput.h"

#include <gtest/gtest.h>

#include <QTest>

#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

// Characters as the keyboard types them in either case: ASCII, Latin with
// accents, Cyrillic and Greek, and a digit (the same in both).
struct TCasePair {
    char32_t Lower;
    char32_t Upper;
};
constexpr TCasePair kKeys[] = {{U'a', U'A'}, {U'n', U'N'}, {U'\u00E9', U'\u00C9'}, {U'\u00F8', U'\u00D8'},
                               {U'\u0436', U'\u0416'}, {U'\u03C3', U'\u03A3'}, {U'7', U'7'}};

std::string utf8(char32_t c) {
    std::string text;
    AppendUtf8(text, c);
    return text;
}

enum TKind { kLabel, kButton, kCheckBox, kRadio };

struct TKeyed {
    TKind Kind;
    size_t Key; // index into kKeys
    TControl* Control;
    TEdit* Target = nullptr; // a label's FocusControl
    int Clicks = 0;
};

// Alt with a character, as the keyboard sends it (shortcut requests
// included), to the window that has the focus.
void typeWithAlt(char32_t c) {
    const QString text = QString::fromUcs4(&c, 1);
    QTest::sendKeyEvent(QTest::Click, TScriptedInput::FocusWidget(), Qt::Key(text.toUpper().at(0).unicode()), text,
                        Qt::AltModifier);
}

TEST(AccessKeys, TheFirstUsableControlMarkingTheTypedCharacterAnswersInAnyCase) {
    std::mt19937 random(11);
    for (int round = 0; round < 6; ++round) {
        TTestHost host(600, 420);
        auto* typing = new TEdit(&host.Form);
        typing->SetParent(&host.Form);
        typing->SetBounds(400, 10, 150, 24);
        std::vector<TKeyed> keyed;
        for (int i = 0; i < 12; ++i) {
            TKeyed entry{static_cast<TKind>(random() % 4), random() % std::size(kKeys), nullptr};
            const TCasePair& pair = kKeys[entry.Key];
            std::string caption = "x&" + utf8(random() % 2 ? pair.Upper : pair.Lower) + "yz";
            const int top = 10 + i * 30;
            if (entry.Kind == kLabel) {
                auto* label = new TLabel(&host.Form);
                label->SetParent(&host.Form);
                label->SetBounds(10, top, 100, 20);
                entry.Target = new TEdit(&host.Form);
                entry.Target->SetParent(&host.Form);
                entry.Target->SetBounds(120, top, 100, 24);
                label->SetFocusControl(entry.Target);
                entry.Control = label;
            } else {
                TButtonControl* button = entry.Kind == kButton     ? static_cast<TButtonControl*>(new TButton(&host.Form))
                                         : entry.Kind == kCheckBox ? static_cast<TButtonControl*>(new TCheckBox(&host.Form))
                                                                   : static_cast<TButtonControl*>(new TRadioButton(&host.Form));
                button->SetParent(&host.Form);
                button->SetBounds(10, top, 150, 24);
                entry.Control = button;
            }
            entry.Control->SetCaption(caption);
            keyed.push_back(entry);
        }
        for (TKeyed& entry : keyed)
            if (auto* button = dynamic_cast<TButtonControl*>(entry.Control))
                button->OnClick = [&entry](TPersistent*) { ++entry.Clicks; };
        // Some are out of use: hidden or disabled controls have no key.
        for (TKeyed& entry : keyed) {
            if (random() % 6 == 0)
                entry.Control->SetEnabled(false);
            else if (random() % 8 == 0)
                entry.Control->SetVisible(false);
        }
        typing->SetFocus();
        QApplication::processEvents();

        std::vector<bool> checked(keyed.size(), false);
        for (int step = 0; step < 40; ++step) {
            const size_t key = random() % std::size(kKeys);
            const char32_t typed = random() % 2 ? kKeys[key].Upper : kKeys[key].Lower;
            TWinControl* focusBefore = GetFocusControl();
            // The model: the first usable control in its parent's order.
            TKeyed* answer = nullptr;
            for (TKeyed& entry : keyed)
                if (entry.Key == key && entry.Control->Visible() && entry.Control->Enabled()) {
                    answer = &entry;
                    break;
                }
            std::vector<int> clicks;
            for (const TKeyed& entry : keyed)
                clicks.push_back(entry.Clicks);
            std::vector<bool> expectedChecked = checked;
            if (answer != nullptr && answer->Kind != kLabel) {
                const size_t at = static_cast<size_t>(answer - keyed.data());
                ++clicks[at];
                if (answer->Kind == kCheckBox)
                    expectedChecked[at] = !checked[at];
                if (answer->Kind == kRadio)
                    for (size_t i = 0; i < keyed.size(); ++i)
                        if (keyed[i].Kind == kRadio)
                            expectedChecked[i] = i == at;
            }
            typeWithAlt(typed);
            QApplication::processEvents();

            const std::string what = "round " + std::to_string(round) + " step " + std::to_string(step) + " typed U+" +
                                     std::to_string(static_cast<unsigned>(typed));
            TWinControl* expectedFocus = answer == nullptr         ? focusBefore
                                         : answer->Kind == kLabel ? answer->Target
                                                                  : static_cast<TWinControl*>(answer->Control);
            ASSERT_EQ(GetFocusControl(), expectedFocus) << what;
            for (size_t i = 0; i < keyed.size(); ++i) {
                ASSERT_EQ(keyed[i].Clicks, clicks[i]) << what << ", control " << i;
                if (auto* box = dynamic_cast<TCheckBox*>(keyed[i].Control))
                    checked[i] = box->Checked();
                else if (auto* radio = dynamic_cast<TRadioButton*>(keyed[i].Control))
                    checked[i] = radio->Checked();
                ASSERT_EQ(checked[i], expectedChecked[i]) << what << ", control " << i;
            }
        }
    }
}

} // namespace
