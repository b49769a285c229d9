// Every element dialog driven as a user drives it: opened by its main-window
// command over a document, controls set by name, OK pressed, and the exact
// text the document holds afterwards compared (CR LF breaks, upper-case
// tags, quoted values), for the defaults and for filled-in fields; one undo
// takes the insertion back, and Cancel or the title bar write nothing.

#include "tests/app/dialogs/DialogTestSupport.h"
#include "tests/app/dialogs/EditorProbe.h"

#include "app/EditForm.h"
#include "platform/ui/Forms.h"

namespace {

struct TDialogCase {
    const char* Name;
    const char* Handler;
    // The text selected when the dialog opens ("" leaves the caret there).
    std::string Selected;
    std::vector<std::pair<std::string, std::string>> Controls;
    // What takes the selection's place.
    std::string Expected;
};

// Text around the selection, to see that nothing else moves.
constexpr const char* kBefore = "<P>before\r\n";
constexpr const char* kAfter = "\r\nafter</P>";

const std::vector<TDialogCase>& cases() {
    static const std::vector<TDialogCase> all = {
        // ---- Links ----
        {"anchor, nothing selected", "ancrebuttonClick", "", {}, "<A NAME=\"\"></A>"},
        {"anchor around a selection", "ancrebuttonClick", "Top", {{"edit1", "top"}}, "<A NAME=\"top\">Top</A>"},
        {"internal link, defaults", "lienibuttonClick", "", {}, "<A HREF=\"#\"></A>"},
        {"internal link", "lienibuttonClick", "see", {{"Edit1", "page.htm"}, {"Edit2", "part2"}},
         "<A HREF=\"page.htm#part2\">see</A>"},
        {"link, defaults", "lienbuttonClick", "", {}, "<A HREF=\"http://\"></A>"},
        {"link with target, message and title", "lienbuttonClick", "here",
         {{"Edit1", "http://x.org/"}, {"edit3", "_top"}, {"Edit2", "Go \"now\""}, {"titreTxt", "T's"}},
         "<A HREF=\"http://x.org/\" target=\"_top\" OnMouseOver=\"window.status='Go \"now\"'; return true;\" "
         "OnMouseOut=\"window.status=''\" title=\"T's\">here</A>"},
        {"link, e-mail discards the address typed", "lienbuttonClick", "me",
         {{"Edit1", "typed"}, {"RadioButton3", "1"}}, "<A HREF=\"mailto:\">me</A>"},
        {"link, none then telnet", "lienbuttonClick", "",
         {{"RadioButton1", "1"}, {"Edit1", "x"}, {"RadioButton7", "1"}}, "<A HREF=\"telnet://\"></A>"},
        {"image map, no zones", "mapbuttonClick", "", {}, "<MAP NAME=\"\"></MAP><IMG SRC=\"\" USEMAP=\"#\">"},
        {"image map, two zones in order", "mapbuttonClick", "old",
         {{"Edit1", "m"},
          {"Edit2", "pics/m.gif"},
          {"SpinEdit1", "10"},
          {"SpinEdit2", "-20"},
          {"SpinEdit3", "5"},
          {"Edit3", "a.htm"},
          {"Button2", "click"},
          {"SpinEdit4", "30"},
          {"SpinEdit5", "40"},
          {"SpinEdit7", "1"},
          {"SpinEdit6", "2"},
          {"Edit4", "b.htm"},
          {"Button3", "click"},
          {"Button4", "click"}},
         "<MAP NAME=\"m\"><AREA SHAPE=\"CIRCLE\" COORDS=\"10,-20,5\" HREF=\"a.htm\">\r\n"
         "<AREA SHAPE=\"RECT\" COORDS=\"30,40,1,2\" HREF=\"b.htm\">\r\n</MAP><IMG SRC=\"pics/m.gif\" USEMAP=\"#m\">"},
    };
    return all;
}

class DialogOutput : public TDialogTest {};

TEST_F(DialogOutput, OkWritesTheMarkupInPlaceOfTheSelectionAndOneUndoTakesItBack) {
    TEditForm* document = NewDocument();
    for (const TDialogCase& test : cases()) {
        SCOPED_TRACE(test.Name);
        const std::string original = kBefore + test.Selected + kAfter;
        const int start = static_cast<int>(std::string(kBefore).size());
        SetEditorText(*document, original, start, static_cast<int>(test.Selected.size()));
        std::string dialogClass;
        ASSERT_TRUE(RunCommand(test.Handler, [&](TCustomForm& dialog) {
            dialogClass = dialog.ClassName();
            SetControls(dialog, test.Controls);
            PressOk(dialog);
        }));
        EXPECT_EQ(EditorText(*document), kBefore + test.Expected + kAfter) << dialogClass;
        EditorUndo(*document);
        EXPECT_EQ(EditorText(*document), original) << "one undo";
    }
}

TEST_F(DialogOutput, CancelAndTheTitleBarWriteNothing) {
    TEditForm* document = NewDocument();
    std::vector<std::string> handlers;
    for (const TDialogCase& test : cases())
        if (handlers.empty() || handlers.back() != test.Handler)
            handlers.push_back(test.Handler);
    for (const std::string& handler : handlers) {
        SCOPED_TRACE(handler);
        for (bool byTitleBar : {false, true}) {
            SetEditorText(*document, "<P>text</P>", 3, 4);
            ASSERT_TRUE(RunCommand(handler, [&](TCustomForm& dialog) {
                if (byTitleBar)
                    dialog.Close();
                else
                    PressCancel(dialog);
            }));
            EXPECT_EQ(EditorText(*document), "<P>text</P>");
            EXPECT_FALSE(EditorCanUndo(*document));
        }
    }
}

} // namespace
