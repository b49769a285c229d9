// Tag-wrap and insertion commands on random texts and selections (forward,
// backward, over several paragraphs, empty), against splicing a string:
// the text, the selection afterwards, and one undo step back.

#include "app/TagWrapCommands.h"
#include "tests/support/ScriptedUserInteraction.h"

#include "editor/CodeMemo.h"
#include "platform/ui/CommonDialogs.h"

#include <gtest/gtest.h>

#include <random>

namespace {

const char* const kHandlers[] = {
    "grasbuttonClick",     "italiquebuttonClick", "soulignebuttonClick", "strikebuttonClick",
    "blinkbuttonClick",    "Grandeur5Click",      "Grandeur4Click",      "Grandeur3Click",
    "Grandeur2Click",      "Grandeur1Click",      "Grandeur11Click",     "Grandeur22Click",
    "Grandeur33Click",     "Grandeur44Click",     "Grandeur55Click",     "alignleftbuttonClick",
    "centerbuttonClick",   "alignrightbuttonClick", "prebuttonClick",    "blocbuttonClick",
    "supbuttonClick",      "subbuttonClick",      "StyledetitreClick",   "Styledetitre11Click",
    "Styledetitre12Click", "Styledetitre13Click", "Styledetitre51Click", "Styledetitre61Click",
    "headbuttonClick",     "titrebuttonClick",    "trbuttonClick",       "TDbuttonClick",
    "thbuttonClick",       "prbuttonClick",       "brbuttonClick",       "brBtnClick",
    "nbspbuttonClick",     "libuttonClick",       "dtbuttonClick",
};

// Offsets the editor can stand at: never between CR and LF.
int32_t place(const std::string& text, size_t at) {
    if (at > 0 && at < text.size() && text[at - 1] == '\r')
        --at;
    return static_cast<int32_t>(at);
}

} // namespace

TEST(TagWrap, CommandsSpliceTheSelectionAndUndoInOneStep) {
    std::mt19937 random(9);
    TCodeMemo memo;
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        for (size_t n = random() % 60; n > 0; --n)
            text += random() % 8 == 0 ? std::string("\r\n") : std::string(1, "abc <>&"[random() % 7]);
        memo.SetTextBuf(text);
        memo.ClearUndo();
        int32_t a = place(text, random() % (text.size() + 1));
        int32_t b = round % 4 == 0 ? a : place(text, random() % (text.size() + 1));
        // Before the command: the user's typing, which it must not join.
        memo.SetSelStart(a);
        memo.SetSelText("t");
        text.insert(static_cast<size_t>(a), "t");
        const std::string typed = text;
        if (b >= a)
            ++b;
        ++a;
        // Selected from a to b (backward when b < a); with b = a the caret
        // stays right after the typing.
        if (b != a) {
            memo.SetSelStart(b);
            memo.SetSelLength(a - b);
        }
        const auto from = static_cast<size_t>(std::min(a, b)), to = static_cast<size_t>(std::max(a, b));
        const std::string selected = text.substr(from, to - from);

        const char* handler = kHandlers[random() % std::size(kHandlers)];
        const TTagCommand* command = FindTagCommand(handler);
        ASSERT_NE(command, nullptr) << handler;
        SCOPED_TRACE(testing::Message() << "round " << round << " " << handler << " on \"" << text << "\" " << a
                                        << ".." << b);
        RunTagCommand(*command, &memo);

        const std::string opening = command->Opening, closing = command->Closing;
        std::string inserted;
        switch (command->Kind) {
        case TTagCommandKind::Wrap:
        case TTagCommandKind::Surround:
            inserted = opening + selected + closing;
            break;
        case TTagCommandKind::Replace:
            inserted = opening;
            break;
        }
        text.replace(from, to - from, inserted);
        ASSERT_EQ(memo.Text(), text);
        if (command->Kind == TTagCommandKind::Wrap) {
            // The same text selected again, forwards, between the tags.
            ASSERT_EQ(memo.SelStart(), static_cast<int32_t>(from + opening.size()));
            ASSERT_EQ(memo.SelLength(), static_cast<int32_t>(selected.size()));
        } else {
            ASSERT_EQ(memo.SelStart(), static_cast<int32_t>(from + inserted.size()));
            ASSERT_EQ(memo.SelLength(), 0);
        }
        memo.Undo();
        ASSERT_EQ(memo.Text(), typed);
    }
}

TEST(TagWrap, FontColorWrapsInTheChosenColourOrLeavesTheDocumentAlone) {
    TScriptedUserInteraction user;
    TColorDialog dialog;
    TCodeMemo memo;
    memo.SetTextBuf("red text");
    memo.SetSelStart(0);
    memo.SetSelLength(3);
    memo.Modified = false;

    user.Cancel(TScriptedUserInteraction::kColor);
    WrapInFontColor(&memo, dialog);
    EXPECT_EQ(memo.Text(), "red text");
    EXPECT_FALSE(memo.Modified);

    user.AnswerColor(RGB(0x12, 0x34, 0xAB));
    WrapInFontColor(&memo, dialog);
    EXPECT_EQ(memo.Text(), "<FONT COLOR=\"#1234AB\">red</FONT> text");
    EXPECT_EQ(memo.SelText(), "red");

    // No document: nothing is asked and nothing happens.
    WrapInFontColor(nullptr, dialog);
    RunTagCommand(*FindTagCommand("grasbuttonClick"), nullptr);
    EXPECT_EQ(user.Calls.size(), 2u);
    EXPECT_EQ(FindTagCommand("FileOpenItemClick"), nullptr);
}
