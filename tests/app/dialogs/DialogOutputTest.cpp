// The element dialogs that write their element on OK (all but the
// special-characters window, the menu builder and the table templates,
// whose suites are their own), driven as a user drives them: opened by
// their main-window command over a document, controls set by name, OK
// pressed, and the exact text the document holds afterwards compared (CR
// LF breaks, upper-case tags, quoted values), for the defaults and for
// filled-in fields; one undo takes the insertion back, and Cancel or the
// title bar write nothing.

#include "tests/app/dialogs/DialogTestSupport.h"
#include "tests/app/dialogs/EditorProbe.h"

#include "app/EditForm.h"
#include "platform/gfx/Color.h"
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
    // The answers of the colour dialogs the swatches open, in order.
    std::vector<TColor> Colors = {};
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
         "        <TH><!-- En-t\xC3\xAAte --></TH>\r\n        <TH><!-- En-t\xC3\xAAte --></TH>\r\n"
         "        <TH><!-- En-t\xC3\xAAte --></TH>\r\n    </TR>\r\n    <TR>\r\n"
         "        <TD>&nbsp;<!-- Ran:1, Col:1 --></TD>\r\n        <TD>&nbsp;<!-- Ran:1, Col:2 --></TD>\r\n"
         "        <TD>&nbsp;<!-- Ran:1, Col:3 --></TD>\r\n    </TR>\r\n</TABLE>"},
        {"table, 150 in % is lowered to 100", "tablobuttonClick", "",
         {{"SpinEdit1", "1"}, {"SpinEdit2", "1"}, {"SpinEdit6", "150"}, {"SpinEdit7", "7"}},
         "<TABLE WIDTH=\"100%\" HEIGHT=\"7\" BORDER=\"1\" BGCOLOR=\"#FFFFFF\" BORDERCOLOR=\"#C0C0C0\">\r\n"
         "    <TR>\r\n        <TD>&nbsp;<!-- Ran:1, Col:1 --></TD>\r\n    </TR>\r\n</TABLE>"},
        // ---- Page and text formats ----
        {"body, defaults", "bodybuttonClick", "", {},
         "<BODY BGCOLOR=\"#FFFFFF\" BACKGROUND=\"\" TEXT=\"#000000\" LINK=\"#0000FF\" ALINK=\"#800080\" "
         "VLINK=\"#000080\">"},
        {"body, watermark, picture and no margins", "bodybuttonClick", "<BODY>",
         {{"Edit1", "img/bg.jpg"}, {"CheckBox1", "1"}, {"SpinEdit1", "0"}, {"SpinEdit2", "0"}},
         "<BODY BGCOLOR=\"#FFFFFF\" BACKGROUND=\"img/bg.jpg\" TEXT=\"#000000\" LINK=\"#0000FF\" ALINK=\"#800080\" "
         "VLINK=\"#000080\" BGPROPERTIES=\"FIXED\" TOPMARGIN=\"0\" LEFTMARGIN=\"0\">"},
        {"body, every colour chosen", "bodybuttonClick", "",
         {{"Memo4", "click"}, {"Memo1", "click"}, {"Memo2", "click"}, {"Memo5", "click"}, {"Memo3", "click"},
          {"SpinEdit1", "-3"}},
         "<BODY BGCOLOR=\"#010203\" BACKGROUND=\"\" TEXT=\"#A0B0C0\" LINK=\"#123456\" ALINK=\"#FEDCBA\" "
         "VLINK=\"#00FF00\" TOPMARGIN=\"-3\">",
         {RGB(1, 2, 3), RGB(0xA0, 0xB0, 0xC0), RGB(0x12, 0x34, 0x56), RGB(0xFE, 0xDC, 0xBA), clLime}},
        {"meta, empty", "metabuttonClick", "", {},
         "<META NAME=\"Description\" CONTENT=\"\">\r\n<META NAME=\"Keywords\" CONTENT=\"\">\r\n"
         "<META NAME=\"Author\" CONTENT=\"\">\r\n"},
        {"meta", "metabuttonClick", "", {{"Edit1", "A page"}, {"Edit2", "a, b"}, {"Edit3", "Me"}},
         "<META NAME=\"Description\" CONTENT=\"A page\">\r\n<META NAME=\"Keywords\" CONTENT=\"a, b\">\r\n"
         "<META NAME=\"Author\" CONTENT=\"Me\">\r\n"},
        {"comment, empty", "commentbuttonClick", "", {}, "<!--  -->"},
        {"comment of two lines", "commentbuttonClick", "x", {{"Memo1", "one\r\ntwo"}}, "<!-- one\r\ntwo -->"},
        {"rule, defaults", "hrbuttonClick", "", {}, "<HR WIDTH=100% size=1 COLOR=\"#000000\">"},
        {"rule without 3D", "hrbuttonClick", "",
         {{"SpinEdit1", "4"}, {"SpinEdit2", "50"}, {"CheckBox1", "0"}, {"Memo1", "click"}},
         "<HR WIDTH=50% size=4 COLOR=\"#FF8000\" NOSHADE>", {RGB(0xFF, 0x80, 0)}},
        {"font, nothing ticked", "policebuttonClick", "abc", {}, "<FONT>abc</FONT>"},
        {"font, size and the first and third faces", "policebuttonClick", "abc",
         {{"cb1", "1"}, {"SpinEdit1", "3"}, {"CheckBox1", "1"}, {"CheckBox3", "1"}, {"ComboBox3", "Courier New"}},
         "<FONT SIZE=3 FACE=\"Arial, Courier New\">abc</FONT>"},
        {"font, only the second face", "policebuttonClick", "",
         {{"CheckBox2", "1"}, {"ComboBox2", "Verdana"}}, "<FONT></FONT>"},
        {"font, colour, size and three faces", "policebuttonClick", "a\r\nb",
         {{"cb2", "1"}, {"Memo2", "click"}, {"cb1", "1"}, {"SpinEdit1", "9"}, {"CheckBox1", "1"},
          {"ComboBox1", "Times New Roman"}, {"CheckBox2", "1"}, {"CheckBox3", "1"}},
         "<FONT COLOR=\"#0080FF\" SIZE=7 FACE=\"Times New Roman, Arial, Arial\">a\r\nb</FONT>", {RGB(0, 0x80, 0xFF)}},
        {"font, colour chosen but not ticked", "policebuttonClick", "", {{"Memo2", "click"}}, "<FONT></FONT>",
         {clRed}},
        // ---- Images and embedded media ----
        {"image, defaults", "imagebuttonClick", "",
         {},
         "<IMG SRC=\"\" BORDER=\"0\" HEIGHT=\"0\" WIDTH=\"0\" ALT=\"\" HSPACE=\"0\" VSPACE=\"0\">"},
        {"image, every field and texttop", "imagebuttonClick", "old",
         {{"Edit1", "a b.gif"}, {"Edit2", "Logo"}, {"SpinEdit1", "20"}, {"SpinEdit2", "30"}, {"SpinEdit3", "1"},
          {"SpinEdit5", "4"}, {"SpinEdit4", "5"}, {"RadioButton9", "1"}},
         "<IMG SRC=\"a b.gif\" BORDER=\"1\" HEIGHT=\"20\" WIDTH=\"30\" ALT=\"Logo\" HSPACE=\"4\" VSPACE=\"5\" "
         "ALIGN=\"texttop\">"},
        {"image, middle", "imagebuttonClick", "", {{"RadioButton2", "1"}},
         "<IMG SRC=\"\" BORDER=\"0\" HEIGHT=\"0\" WIDTH=\"0\" ALT=\"\" HSPACE=\"0\" VSPACE=\"0\" ALIGN=\"middle\">"},
        {"image, back to bottom", "imagebuttonClick", "", {{"RadioButton6", "1"}, {"RadioButton1", "1"}},
         "<IMG SRC=\"\" BORDER=\"0\" HEIGHT=\"0\" WIDTH=\"0\" ALT=\"\" HSPACE=\"0\" VSPACE=\"0\">"},
        {"form image, defaults", "FormpicbuttonClick", "",
         {},
         "<INPUT TYPE=\"image\" NAME=\"\" SRC=\"\" BORDER=\"0\" HEIGHT=\"0\" WIDTH=\"0\" ALT=\"\" HSPACE=\"0\" "
         "VSPACE=\"0\">"},
        {"form image, absbottom", "FormpicbuttonClick", "",
         {{"Edit3", "go"}, {"Edit1", "go.png"}, {"Edit2", "Go"}, {"RadioButton7", "1"}},
         "<INPUT TYPE=\"image\" NAME=\"go\" SRC=\"go.png\" BORDER=\"0\" HEIGHT=\"0\" WIDTH=\"0\" ALT=\"Go\" "
         "HSPACE=\"0\" VSPACE=\"0\" ALIGN=\"absbottom\">"},
        {"embed, defaults", "embedbuttonClick", "", {},
         "<EMBED SRC=\"\" LOOP=true WIDTH=145 HEIGHT=60 CONTROLS=largeconsole>"},
        {"embed, once, hidden panel, border 2", "embedbuttonClick", "",
         {{"Edit1", "s.wav"}, {"RadioButton1", "1"}, {"CheckBox1", "1"}, {"borderSpin", "2"}, {"VolumeSpin", "60"}},
         "<EMBED SRC=\"s.wav\" HIDDEN=true BORDER=\"2\">"},
        {"embed, small console, autostart, silent", "embedbuttonClick", "",
         {{"Edit1", "m.mid"}, {"RadioButton3", "1"}, {"CheckBox2", "1"}, {"VolumeSpin", "0"}},
         "<EMBED SRC=\"m.mid\" LOOP=true AUTOSTART=true WIDTH=145 HEIGHT=16 CONTROLS=smallconsole VOLUME=\"0\">"},
        // ---- Player plug-ins, objects and applets ----
        {"flash, defaults", "flashBtnClick", "", {},
         "<EMBED SRC=\"\" NAME=\"\" type=\"application/x-shockwave-flash\" LOOP=\"false\" PLAY=\"false\">"},
        {"flash, every field and two parameters", "flashBtnClick", "old",
         {{"Edit1", "movies/a.swf"}, {"Edit3", "m"}, {"SpinEdit2", "100"}, {"aligneCombo", "Middle"},
          {"CheckBox3", "1"}, {"CheckBox5", "1"}, {"ComboBox1", "high"}, {"ComboBox2", "exactfit"},
          {"Edit5", "bgcolor"}, {"Edit6", "#FFFFFF"}, {"Button2", "click"}, {"Edit5", "menu"}, {"Edit6", "false"},
          {"Button2", "click"}},
         "<EMBED SRC=\"movies/a.swf\" NAME=\"m\" type=\"application/x-shockwave-flash\" ALIGN=\"Middle\" "
         "WIDTH=\"100\" LOOP=\"true\" PLAY=\"true\" QUALITY=\"high\" SCALE=\"exactfit\" bgcolor=\"#FFFFFF\" "
         "menu=\"false\">"},
        {"flash, only \"Default\" itself leaves an attribute out", "flashBtnClick", "",
         {{"ComboBox1", "default"}, {"ComboBox2", "Default"}},
         "<EMBED SRC=\"\" NAME=\"\" type=\"application/x-shockwave-flash\" LOOP=\"false\" PLAY=\"false\" "
         "QUALITY=\"default\">"},
        {"real, defaults", "realBtnClick", "", {},
         "<EMBED SRC=\"\" NAME=\"\" type=\"audio/x-pn-realaudio-plugin\" CONTROLS=\"all\" NOLABELS=\"false\" "
         "AUTOSTART=\"false\">"},
        {"real, last control, console, negative height", "realBtnClick", "",
         {{"Edit1", "a.rm"}, {"SpinEdit1", "-5"}, {"ComboBox1", "Volume Info Panel"}, {"ComboBox2", "_master"},
          {"CheckBox5", "1"}, {"CheckBox3", "1"}, {"Edit5", "x"}, {"Button2", "click"}},
         "<EMBED SRC=\"a.rm\" NAME=\"\" type=\"audio/x-pn-realaudio-plugin\" HEIGHT=\"-5\" "
         "CONTROLS=\"infovolumepanel\" CONSOLE=\"_master\" NOLABELS=\"true\" AUTOSTART=\"true\" x=\"\">"},
        {"real, status field", "realBtnClick", "", {{"ComboBox1", "Status Field"}},
         "<EMBED SRC=\"\" NAME=\"\" type=\"audio/x-pn-realaudio-plugin\" CONTROLS=\"statusfield\" "
         "NOLABELS=\"false\" AUTOSTART=\"false\">"},
        {"quicktime, defaults", "qtBtnClick", "", {},
         "<EMBED SRC=\"\" NAME=\"\" type=\"video/quicktime\" CONTROLLER=\"false\" CACHE=\"false\" "
         "AUTOPLAY=\"false\" LOOP=\"false\">"},
        {"quicktime, colour ticked but never chosen", "qtBtnClick", "", {{"CheckBox5", "1"}},
         "<EMBED SRC=\"\" NAME=\"\" type=\"video/quicktime\" CONTROLLER=\"false\" CACHE=\"false\" "
         "AUTOPLAY=\"false\" LOOP=\"false\" BGCOLOR=\"#FFFFFF\">"},
        {"quicktime, everything", "qtBtnClick", "",
         {{"Edit1", "q.mov"}, {"SpinEdit1", "240"}, {"SpinEdit2", "320"}, {"aligneCombo", "TextTop"},
          {"volEdit", "80%"}, {"CheckBox1", "1"}, {"CheckBox2", "1"}, {"CheckBox3", "1"}, {"CheckBox4", "1"},
          {"CheckBox5", "1"}, {"Memo2", "click"}},
         "<EMBED SRC=\"q.mov\" NAME=\"\" type=\"video/quicktime\" ALIGN=\"TextTop\" HEIGHT=\"240\" WIDTH=\"320\" "
         "VOLUME=\"80%\" CONTROLLER=\"true\" CACHE=\"true\" AUTOPLAY=\"true\" LOOP=\"true\" BGCOLOR=\"#102030\">",
         {RGB(0x10, 0x20, 0x30)}},
        {"object, defaults", "objectBtnClick", "", {}, "<OBJECT CODEBASE=\"\" NAME=\"\">\r\n</OBJECT>"},
        {"object, class and two parameters", "objectBtnClick", "",
         {{"Edit1", "x.cab"}, {"Edit3", "o"}, {"idCombo", "clsid:1234"}, {"aligneCombo", "Left"}, {"SpinEdit1", "10"},
          {"Edit5", "a"}, {"Edit6", "1"}, {"Button2", "click"}, {"Edit5", "b"}, {"Edit6", "2"}, {"Button2", "click"}, {"Button3", "click"}},
         "<OBJECT CODEBASE=\"x.cab\" NAME=\"o\" CLASSID=\"clsid:1234\" ALIGN=\"Left\" HEIGHT=\"10\">\r\n"
         "<PARAM NAME=\"a\" VALUE=\"1\">\r\n<PARAM NAME=\"b\" VALUE=\"2\">\r\n</OBJECT>"},
        {"applet, defaults", "java2buttonClick", "",
         {}, "<APPLET CODEBASE=\"\" CODE=\"\" ALT=\"\" NAME=\"\">\r\n</APPLET>"},
        {"applet with one parameter", "java2buttonClick", "",
         {{"Edit1", "A.class"}, {"Edit2", "classes/"}, {"Edit4", "No Java"}, {"Edit3", "a"}, {"SpinEdit2", "50"},
          {"Edit5", "speed"}, {"Edit6", "3"}, {"Button2", "click"}},
         "<APPLET CODEBASE=\"classes/\" CODE=\"A.class\" ALT=\"No Java\" NAME=\"a\" WIDTH=\"50\">\r\n"
         "<PARAM NAME=\"speed\" VALUE=\"3\">\r\n</APPLET>"},
        // ---- Frames and file fields ----
        {"frame templates, the first", "Cadres3Click", "", {},
         "<FRAMESET COLS=\"20%,* \"> <!-- Specify your frame sizes --> \r\n"
         "   <FRAME NAME=\"menu\" SRC=\"Src file\"> \r\n   <FRAME NAME=\"main\" SRC=\"Src file\"> \r\n"
         "<NOFRAMES>\r\n<BODY>\r\nThis site uses frames but your browser doesn't support them\r\n</BODY>\r\n"
         "</NOFRAMES>\r\n</FRAMESET>\r\n"},
        {"frame templates, the eighth", "Cadres3Click", "", {{"RadioButton8", "1"}},
         "<FRAMESET ROWS=\"50%,* \" FRAMESPACING=2> <!-- Specify your frame sizes --> \r\n"
         "   <FRAMESET COLS=\"50%,* \"> <!-- Specify your frame sizes --> \r\n"
         "     <FRAME NAME=\"left\" SRC=\"Src file\"> \r\n     <FRAME NAME=\"main\" SRC=\"Src file\"> \r\n"
         "     <FRAME NAME=\"right\" SRC=\"Src file\"> \r\n   </FRAMESET>\r\n"
         "   <FRAME NAME=\"bottom\" SRC=\"Src file\"> \r\n"
         "<NOFRAMES>\r\n<BODY>\r\nThis site uses frames but your browser doesn't support them\r\n</BODY>\r\n"
         "</NOFRAMES>\r\n</FRAMESET>\r\n"},
        {"frameset, defaults", "cadrebuttonClick", "", {},
         "<FRAMESET COLS=\"50%,* \"> <!-- Specify your frame sizes --> \r\n"
         "   <FRAME NAME=\"frame name\" SRC=\"src file\"> \r\n</FRAMESET>"},
        {"frameset, 3 rows without spacing", "cadrebuttonClick", "",
         {{"RadioButton2", "1"}, {"SpinEdit1", "3"}, {"SpinEdit2", "0"}},
         "<FRAMESET ROWS=\"50%,* \" FRAMESPACING=0> <!-- Specify your frame sizes --> \r\n"
         "   <FRAME NAME=\"frame name\" SRC=\"src file\"> \r\n   <FRAME NAME=\"frame name\" SRC=\"src file\"> \r\n"
         "   <FRAME NAME=\"frame name\" SRC=\"src file\"> \r\n</FRAMESET>"},
        {"frameset, columns keep no spacing; no scrolling, border or resizing", "cadrebuttonClick", "",
         {{"SpinEdit2", "7"}, {"RadioButton5", "1"}, {"CheckBox1", "0"}, {"CheckBox2", "1"}},
         "<FRAMESET COLS=\"50%,* \" SCROLLING=\"NO\" FRAMEBORDER=0 BORDER=0 NORESIZE> "
         "<!-- Specify your frame sizes --> \r\n   <FRAME NAME=\"frame name\" SRC=\"src file\"> \r\n</FRAMESET>"},
        {"frameset, scrolling", "cadrebuttonClick", "", {{"RadioButton4", "1"}},
         "<FRAMESET COLS=\"50%,* \" SCROLLING=\"YES\"> <!-- Specify your frame sizes --> \r\n"
         "   <FRAME NAME=\"frame name\" SRC=\"src file\"> \r\n</FRAMESET>"},
        {"file field, defaults", "fileboxButtonClick", "", {}, "<INPUT TYPE=\"FILE\" NAME=\"\" SIZE=30>"},
        {"file field", "fileboxButtonClick", "x", {{"Edit1", "upload"}, {"SpinEdit2", "45"}},
         "<INPUT TYPE=\"FILE\" NAME=\"upload\" SIZE=45>"},
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
        for (TColor color : test.Colors)
            user.AnswerColor(color);
        std::string dialogClass;
        ASSERT_TRUE(RunCommand(test.Handler, [&](TCustomForm& dialog) {
            dialogClass = dialog.ClassName();
            SetControls(dialog, test.Controls);
            PressOk(dialog);
        }));
        EXPECT_EQ(EditorText(*document), kBefore + test.Expected + kAfter) << dialogClass;
        EXPECT_EQ(user.PendingAnswers(), 0u) << "every colour dialog ran";
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
