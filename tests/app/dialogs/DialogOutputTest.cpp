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
        // ---- Forms ----
        {"form, defaults", "formbutton1Click", "",
         {},
         "<FORM ACTION=\"http://www.example.com/cgi-bin/form.cgi\" METHOD=GET></FORM>"},
        {"form, POST and text around a selection", "formbutton1Click", "<INPUT>\r\n<INPUT>",
         {{"Edit1", "/cgi"}, {"RadioButton5", "1"}, {"RadioButton3", "1"}},
         "<FORM ACTION=\"/cgi\" METHOD=POST ENCTYPE=\"text/plain\"><INPUT>\r\n<INPUT></FORM>"},
        {"form, MIME", "formbutton1Click", "", {{"Edit1", ""}, {"RadioButton2", "1"}},
         "<FORM ACTION=\"\" METHOD=GET ENCTYPE=\"application/x-www-form-urlencoded\"></FORM>"},
        {"hidden, defaults", "hiddenbuttonClick", "", {}, "<INPUT TYPE=\"hidden\" NAME=\"\" VALUE=\"\">"},
        {"hidden", "hiddenbuttonClick", "x", {{"Edit1", "id"}, {"Edit2", "\"7\""}},
         "<INPUT TYPE=\"hidden\" NAME=\"id\" VALUE=\"\"7\"\">"},
        {"text area, defaults", "btextboxbuttonClick", "", {}, "<TEXTAREA NAME=\"\" COLS=30 ROWS=5></TEXTAREA>"},
        {"text area with two lines of text", "btextboxbuttonClick", "",
         {{"Edit1", "t"}, {"SpinEdit1", "3"}, {"SpinEdit2", "40"}, {"Memo1", "one\r\ntwo"}},
         "<TEXTAREA NAME=\"t\" COLS=40 ROWS=3>one\r\ntwo</TEXTAREA>"},
        {"button, defaults", "buttonbuttonClick", "", {}, "<INPUT TYPE=\"SUBMIT\" VALUE=\"\">"},
        {"reset button", "buttonbuttonClick", "", {{"RadioButton2", "1"}, {"Edit1", "Clear"}},
         "<INPUT TYPE=\"RESET\" VALUE=\"Clear\">"},
        {"plain button", "buttonbuttonClick", "", {{"RadioButton3", "1"}, {"Edit1", "Go"}},
         "<INPUT TYPE=\"BUTTON\" VALUE=\"Go\">"},
        {"text box, defaults", "textboxbuttonClick", "", {},
         "<INPUT TYPE=\"TEXT\" NAME=\"\" SIZE=30 MAXLENGTH=30 VALUE=\"\">"},
        {"password box", "textboxbuttonClick", "",
         {{"Edit1", "pw"}, {"edit2", "x"}, {"RadioButton2", "1"}, {"SpinEdit1", "8"}, {"SpinEdit2", "12"}},
         "<INPUT TYPE=\"PASSWORD\" NAME=\"pw\" SIZE=12 MAXLENGTH=8 VALUE=\"x\">"},
        {"drop-down list, no options", "scrolllistbuttonClick", "", {}, "<SELECT NAME=\"\">\r\n</SELECT>"},
        {"drop-down list, two options", "scrolllistbuttonClick", "",
         {{"Edit1", "s"},
          {"Edit2", "1"},
          {"Edit3", "One"},
          {"Button1", "click"},
          {"Button2", "click"},
          {"Edit2", "2"},
          {"Edit3", "Two"},
          {"Button1", "click"},
          {"Button1", "click"}},
         "<SELECT NAME=\"s\">\r\n<OPTION VALUE=\"1\">One\r\n<OPTION VALUE=\"2\">Two\r\n<OPTION VALUE=\"\">\r\n"
         "</SELECT>"},
        {"list box, defaults", "boxlistbuttonClick", "", {}, "<SELECT NAME=\"\" SIZE=5>\r\n</SELECT>"},
        {"list box, multiple", "boxlistbuttonClick", "",
         {{"Edit1", "l"}, {"SpinEdit1", "5"}, {"CheckBox1", "1"}, {"Edit2", "a"}, {"Edit3", "A"}, {"Button1", "click"}},
         "<SELECT NAME=\"l\" SIZE=5 MULTIPLE>\r\n<OPTION VALUE=\"a\">A\r\n</SELECT>"},
        {"radio button, defaults", "radiobuttonClick", "", {}, "<INPUT TYPE=\"radio\" NAME=\"\" VALUE=\"\">"},
        {"radio button, selected", "radiobuttonClick", "", {{"Edit1", "r"}, {"Edit2", "v"}, {"Checkbox1", "1"}},
         "<INPUT TYPE=\"radio\" NAME=\"r\" VALUE=\"v\" CHECKED>"},
        {"check box, defaults", "checkbuttonClick", "", {}, "<INPUT TYPE=\"checkbox\" NAME=\"\" VALUE=\"\">"},
        {"check box, checked", "checkbuttonClick", "", {{"Edit1", "c"}, {"Edit2", "on"}, {"Checkbox1", "1"}},
         "<INPUT TYPE=\"checkbox\" NAME=\"c\" VALUE=\"on\" CHECKED>"},
        // ---- Lists and tables ----
        {"list, defaults", "listbuttonClick", "", {}, "<UL>\r\n  <LI>\r\n</UL>\r\n"},
        {"list, menu of 3", "listbuttonClick", "old", {{"SpinEdit1", "3"}},
         "<UL>\r\n  <LI>\r\n  <LI>\r\n  <LI>\r\n</UL>\r\n"},
        {"list, ordered", "listbuttonClick", "", {{"RadioButton2", "1"}, {"SpinEdit1", "2"}},
         "<OL>\r\n  <LI>\r\n  <LI>\r\n</OL>\r\n"},
        {"list, A-B-C", "listbuttonClick", "", {{"RadioButton2", "1"}, {"RadioButton7", "1"}},
         "<OL TYPE=A>\r\n  <LI>\r\n</OL>\r\n"},
        {"list, a-b-c", "listbuttonClick", "", {{"RadioButton2", "1"}, {"RadioButton3", "1"}},
         "<OL TYPE=a>\r\n  <LI>\r\n</OL>\r\n"},
        {"list, I-II-III", "listbuttonClick", "", {{"RadioButton2", "1"}, {"RadioButton11", "1"}},
         "<OL TYPE=I>\r\n  <LI>\r\n</OL>\r\n"},
        {"list, i-ii-iii", "listbuttonClick", "", {{"RadioButton2", "1"}, {"RadioButton8", "1"}},
         "<OL TYPE=i>\r\n  <LI>\r\n</OL>\r\n"},
        {"list, numbering chosen but menu style", "listbuttonClick", "",
         {{"RadioButton2", "1"}, {"RadioButton8", "1"}, {"RadioButton1", "1"}}, "<UL>\r\n  <LI>\r\n</UL>\r\n"},
        {"list, tree of 1", "listbuttonClick", "", {{"RadioButton5", "1"}},
         "<DL>\r\n  <DT>Item<DD>Definition\r\n</DL>\r\n"},
        {"table, defaults", "tablobuttonClick", "", {},
         "<TABLE WIDTH=\"100%\" BORDER=\"1\" BGCOLOR=\"#FFFFFF\" BORDERCOLOR=\"#C0C0C0\">\r\n"
         "    <TR>\r\n        <TD>&nbsp;<!-- Ran:1, Col:1 --></TD>\r\n        <TD>&nbsp;<!-- Ran:1, Col:2 --></TD>\r\n"
         "    </TR>\r\n    <TR>\r\n        <TD>&nbsp;<!-- Ran:2, Col:1 --></TD>\r\n"
         "        <TD>&nbsp;<!-- Ran:2, Col:2 --></TD>\r\n    </TR>\r\n</TABLE>"},
        {"table, everything", "tablobuttonClick", "x",
         {{"SpinEdit1", "1"},
          {"SpinEdit2", "3"},
          {"SpinEdit3", "0"},
          {"SpinEdit4", "0"},
          {"SpinEdit5", "2"},
          {"CheckBox1", "0"},
          {"SpinEdit6", "640"},
          {"SpinEdit7", "50"},
          {"CheckBox2", "1"},
          {"Edit1", "Prices"},
          {"Edit2", "bg.gif"},
          {"CheckBox3", "1"}},
         "<TABLE WIDTH=\"640\" HEIGHT=\"50%\" BORDER=\"2\" CELLPADDING=\"0\" CELLSPACING=\"0\" BGCOLOR=\"#FFFFFF\" "
         "BORDERCOLOR=\"#C0C0C0\" BACKGROUND=\"bg.gif\">\r\n  <CAPTION>Prices</CAPTION>\r\n    <TR>\r\n"
         "        <TH><!-- En-t\xEAte --></TH>\r\n        <TH><!-- En-t\xEAte --></TH>\r\n"
         "        <TH><!-- En-t\xEAte --></TH>\r\n    </TR>\r\n    <TR>\r\n"
         "        <TD>&nbsp;<!-- Ran:1, Col:1 --></TD>\r\n        <TD>&nbsp;<!-- Ran:1, Col:2 --></TD>\r\n"
         "        <TD>&nbsp;<!-- Ran:1, Col:3 --></TD>\r\n    </TR>\r\n</TABLE>"},
        {"table, 150 in % is lowered to 100", "tablobuttonClick", "",
         {{"SpinEdit1", "1"}, {"SpinEdit2", "1"}, {"SpinEdit6", "150"}, {"SpinEdit7", "7"}},
         "<TABLE WIDTH=\"100%\" HEIGHT=\"7\" BORDER=\"1\" BGCOLOR=\"#FFFFFF\" BORDERCOLOR=\"#C0C0C0\">\r\n"
         "    <TR>\r\n        <TD>&nbsp;<!-- Ran:1, Col:1 --></TD>\r\n    </TR>\r\n</TABLE>"},
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
