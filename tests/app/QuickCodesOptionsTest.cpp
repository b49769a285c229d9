// Quick codes and the preferences in the running main window (offscreen):
// codes created from a selection, listed without the folder's other files,
// shown, inserted with CR LF breaks and deleted on Yes only; names that
// could leave the folder refused with nothing written, and the two files
// written both or neither; the folder made again at start.  Random
// preferences survive "Ok", reopening and a restart; a wrong font size or
// "Cancel" writes nothing; the highlighting choice reaches every open
// document; each tab of the nine style pages shows whole and opens its
// page when clicked.

#include "app/OptionsDialog.h"
#include "app/QuickCodeDialog.h"
#include "app/QuickCodePane.h"
#include "app/QuickCodes.h"
#include "app/SettingsFile.h"
#include "tests/app/FileDialogFilters.h"
#include "tests/app/ToolsFixture.h"

#include "editor/highlight/HtmlHighlighter.h"
#include "platform/base/ProgramFolder.h"
#include "platform/ui/ButtonControls.h"
#include "platform/ui/ListControls.h"
#include "platform/ui/PageControls.h"
#include "platform/ui/TextControls.h"
#include "platform/widgets/TabRows.h"
#include "platform/widgets/WidgetPeer.h"
#include "shell/ShellList.h"

#include <QTabBar>
#include <QTest>

#include <array>
#include <random>
#include <set>

namespace {

class QuickCodes : public TToolsFixture {
protected:
    TQuickCodePane& Pane() { return *dynamic_cast<TQuickCodePane*>(frame->FindComponent("quickCodePane")); }
    TPTShellList& List() { return *frame->oqcList; }
    // The list's captions, once it has caught up with the folder.
    std::vector<std::string> Listed() {
        List().RefreshList();
        std::vector<std::string> captions;
        for (int i = 0; i < List().Items().Count(); ++i)
            captions.push_back(List().Items().Item(i)->Caption());
        std::sort(captions.begin(), captions.end());
        return captions;
    }
    void Select(const std::string& caption) {
        List().RefreshList();
        for (int i = 0; i < List().Items().Count(); ++i)
            if (List().Items().Item(i)->Caption() == caption) {
                List().ClearSelection();
                List().SelectIndex(i, true);
                return;
            }
        ADD_FAILURE() << "not listed: " << caption;
    }
    // "Create" pressed in the dialog over a document's selection.
    int Create(TEditForm& document, const std::string& name, const std::string& description) {
        ToqcFrm dialog(&document, document);
        dialog.codeNameEdit->SetText(name);
        dialog.codeDescriptionMemo->SetText(description);
        dialog.okbtnClick(dialog.okbtn);
        return dialog.ModalResult();
    }
    static std::string Read(const std::string& name) {
        return TTestProgramFolder::ReadFileBytes(QuickCodeFolder() + name);
    }
    static bool Exists(const std::string& name) { return std::filesystem::exists(QuickCodeFolder() + name); }
    std::set<std::string> FolderFiles() {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(QuickCodeFolder()))
            names.insert(entry.path().filename().string());
        return names;
    }
};

TEST_F(QuickCodes, ACodeIsCreatedListedShownAndInsertedWithCrLfBreaks) {
    TTestProgramFolder::WriteFileBytes(QuickCodeFolder() + ".keep", "");
    TEditForm* page = Open("<HEAD><TITLE>x</TITLE></HEAD>\r\nbody");
    // Selected towards the end: the caret stands after it.
    SelectRange(*page, 22, -16);
    EXPECT_EQ(Create(*page, "Header", "Page head"), mrOk);
    EXPECT_EQ(Read("Header.oqs"), "<TITLE>x</TITLE>");
    EXPECT_EQ(Read("Header.oqc"), "Page head");
    EXPECT_EQ(Listed(), std::vector<std::string>{"Header.oqc"}) << "the folder's other files are not listed";
    Select("Header.oqc");
    EXPECT_EQ(frame->oqcMemo->Text(), "Description:\r\n\r\n\r\nPage head");

    TEditForm* other = Open("<BODY></BODY>");
    SelectRange(*other, 6, 0);
    Pane().oqcInsertItemClick(Pane().oqcInsertItem);
    EXPECT_EQ(EditorText(*other), "<BODY><TITLE>x</TITLE></BODY>");
    // A code written elsewhere with LF alone comes in with CR LF.
    TTestProgramFolder::WriteFileBytes(QuickCodeFolder() + "Lines.oqs", "<UL>\n<LI>a\r<LI>b\n</UL>");
    TTestProgramFolder::WriteFileBytes(QuickCodeFolder() + "Lines.oqc", "two\nlines");
    Select("Lines.oqc");
    EXPECT_EQ(frame->oqcMemo->Text(), "Description:\r\n\r\n\r\ntwo\r\nlines");
    SelectRange(*other, 0, 0);
    bool handled = false;
    Pane().oqcListDblClickOpen(&List(), handled);
    EXPECT_TRUE(handled) << "the list opens nothing itself";
    EXPECT_EQ(EditorText(*other), "<UL>\r\n<LI>a\r\n<LI>b\r\n</UL><BODY><TITLE>x</TITLE></BODY>");

    // The same name again replaces both files once the user agrees.
    SelectRange(*page, 0, 6);
    user.AnswerMessage(mrYes);
    EXPECT_EQ(Create(*page, "Header", "Head tag"), mrOk);
    EXPECT_EQ(Read("Header.oqs"), "<HEAD>");
    EXPECT_EQ(Read("Header.oqc"), "Head tag");

    // No document in its source view: nothing is inserted.
    other->PageControl1->SetActivePageIndex(2);
    const std::string before = EditorText(*other);
    Select("Header.oqc");
    Pane().oqcInsertItemClick(Pane().oqcInsertItem);
    EXPECT_EQ(EditorText(*other), before);
}

// A code goes in as an undo step of its own: Undo takes back the code and
// nothing the user typed before or after it.
TEST_F(QuickCodes, AnInsertedCodeIsOneUndoStepBetweenTheTypingAroundIt) {
    TTestProgramFolder::WriteFileBytes(QuickCodeFolder() + "Rule.oqs", "<HR>\n<BR>");
    TTestProgramFolder::WriteFileBytes(QuickCodeFolder() + "Rule.oqc", "a rule");
    TEditForm* page = Open("");
    TypeInto(*page, "ab");
    Select("Rule.oqc");
    Pane().oqcInsertItemClick(Pane().oqcInsertItem);
    TypeInto(*page, "cd");
    ASSERT_EQ(EditorText(*page), "ab<HR>\r\n<BR>cd");
    for (const char* before : {"ab<HR>\r\n<BR>", "ab", ""}) {
        UndoOnce(*page);
        EXPECT_EQ(EditorText(*page), before);
    }
}

// Quick codes are the program's text: written in UTF-8 from a page in
// either encoding and inserted in the page's own; a file written in the
// code page (not valid UTF-8) is read as such.
TEST_F(QuickCodes, CodesAreKeptInUtf8AndGoInInTheDocumentsEncoding) {
    TEditForm* latin = Open("<P>caf\xE9 \x80</P>");
    SetEncodingOf(*latin, teAnsi);
    SelectRange(*latin, 3, 6);
    EXPECT_EQ(Create(*latin, "caf\xC3\xA9", "d\xC3\xA9j\xC3\xA0"), mrOk);
    EXPECT_EQ(Read("caf\xC3\xA9.oqs"), "caf\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(Read("caf\xC3\xA9.oqc"), "d\xC3\xA9j\xC3\xA0");
    Select("caf\xC3\xA9.oqc");
    EXPECT_EQ(frame->oqcMemo->Text(), "Description:\r\n\r\n\r\nd\xC3\xA9j\xC3\xA0");

    TEditForm* utf8 = Open("");
    SelectRange(*utf8, 0, 0);
    Pane().oqcInsertItemClick(Pane().oqcInsertItem);
    EXPECT_EQ(EditorText(*utf8), "caf\xC3\xA9 \xE2\x82\xAC");
    latin->SetFocus();
    SelectRange(*latin, 0, 0);
    Pane().oqcInsertItemClick(Pane().oqcInsertItem);
    EXPECT_EQ(EditorText(*latin), "caf\xE9 \x80<P>caf\xE9 \x80</P>");

    // Written in the code page by an older version: read as such.  A
    // character the code page lacks goes into it as a reference.
    TTestProgramFolder::WriteFileBytes(QuickCodeFolder() + "Old.oqs", "\xE9t\xE9");
    TTestProgramFolder::WriteFileBytes(QuickCodeFolder() + "Old.oqc", "\xE0 voir");
    TTestProgramFolder::WriteFileBytes(QuickCodeFolder() + "Han.oqs", "\xE4\xB8\xAD");
    TTestProgramFolder::WriteFileBytes(QuickCodeFolder() + "Han.oqc", "");
    Select("Old.oqc");
    EXPECT_EQ(frame->oqcMemo->Text(), "Description:\r\n\r\n\r\n\xC3\xA0 voir");
    utf8->SetFocus();
    SelectRange(*utf8, 0, 0);
    Pane().oqcInsertItemClick(Pane().oqcInsertItem);
    EXPECT_EQ(EditorText(*utf8), "\xC3\xA9t\xC3\xA9" "caf\xC3\xA9 \xE2\x82\xAC");
    Select("Han.oqc");
    latin->SetFocus();
    SelectRange(*latin, 0, 0);
    Pane().oqcInsertItemClick(Pane().oqcInsertItem);
    EXPECT_EQ(EditorText(*latin), "&#20013;caf\xE9 \x80<P>caf\xE9 \x80</P>");
}

TEST_F(QuickCodes, NamesThatCouldLeaveTheFolderAreRefusedAndPairsAreWholeOrAbsent) {
    TEditForm* page = Open("<P>text</P>");
    SelectRange(*page, 0, 3);
    const std::set<std::string> before = FolderFiles();
    for (const std::string& name : {std::string(), std::string("a/b"), std::string(".."), std::string("x..y"),
                                    std::string("a\\b"), std::string("../up"), std::string("a\0b", 3)}) {
        EXPECT_EQ(Create(*page, name, "d"), 0) << "the dialog stays open for " << name;
        EXPECT_EQ(FolderFiles(), before) << name;
    }
    EXPECT_EQ(user.Exceptions().size(), 7u);
    EXPECT_FALSE(std::filesystem::exists(program.File("up.oqs")));

    // The description can not be written: the code file is put back.
    std::filesystem::create_directory(QuickCodeFolder() + "Pair.oqc");
    EXPECT_EQ(Create(*page, "Pair", "d"), 0);
    EXPECT_FALSE(Exists("Pair.oqs")) << "no code without its description";
    TTestProgramFolder::WriteFileBytes(QuickCodeFolder() + "Pair.oqs", "old code");
    EXPECT_EQ(Create(*page, "Pair", "d"), 0);
    EXPECT_EQ(Read("Pair.oqs"), "old code");
    EXPECT_EQ(user.Exceptions().size(), 9u);
}

// Whatever the user types as a name, "Create" either makes a code the
// list then shows (and inserts), or refuses and writes nothing: a code is
// never written where the list can not show it.
TEST_F(QuickCodes, EveryNameTakenShowsInTheListAndEveryOtherWritesNothing) {
    TEditForm* page = Open("<P>text</P>");
    static const char* const kPieces[] = {"a", "Z", "1", " ", ".", "-", "_", "~", "#", "\xC3\xA9", "\xE4\xB8\xAD"};
    std::mt19937 random(31);
    for (int round = 0; round < 60; ++round) {
        std::string name;
        for (int length = 1 + static_cast<int>(random() % 4); length > 0; --length)
            name += kPieces[random() % std::size(kPieces)];
        SCOPED_TRACE("name \"" + name + "\"");
        SelectRange(*page, 3, 4);
        const std::set<std::string> before = FolderFiles();
        if (Create(*page, name, "d") != mrOk) {
            EXPECT_EQ(FolderFiles(), before);
            continue;
        }
        const std::vector<std::string> listed = Listed();
        EXPECT_NE(std::find(listed.begin(), listed.end(), name + ".oqc"), listed.end()) << "not listed";
        Select(name + ".oqc");
        SelectRange(*page, 0, 0);
        Pane().oqcInsertItemClick(Pane().oqcInsertItem);
        EXPECT_EQ(EditorText(*page), "text<P>text</P>");
        UndoOnce(*page);
        user.AnswerMessage(mrYes);
        Pane().oqcDeleteItemClick(Pane().oqcDeleteItem);
        EXPECT_EQ(FolderFiles(), before) << "deleted whole";
    }
}

// A code made under a name whose files are there already: each file is
// free, holds what would be written, holds other text of the user's, or is
// a link or a folder; the user answers at random.  Model: a link or a
// folder is refused with a message before anything is asked or written;
// else other text asks once, naming the files that differ: Yes writes and
// closes the dialog, No keeps both files as they were, says so and keeps
// the dialog open; a file holding its new text already is not written.
TEST_F(QuickCodes, AQuickCodeOfTheUsersIsReplacedOnlyAfterAQuestion) {
    // A folder reads as nothing (a stream would raise).
    auto read = [](const std::string& name) {
        return std::filesystem::is_directory(name) ? std::string() : TTestProgramFolder::ReadFileBytes(name);
    };
    enum TThere { tFree, tSame, tUsers, tLink, tFolder };
    TEditForm* page = Open("<P>text</P>");
    const std::string victim = program.File("victim.txt");
    TTestProgramFolder::WriteFileBytes(victim, "victim");
    std::mt19937 random(77);
    for (int round = 0; round < 40; ++round) {
        const std::string name = "Byline" + std::to_string(round % 7);
        const std::string description = "by " + std::to_string(round % 3);
        SCOPED_TRACE("round " + std::to_string(round));
        const std::string files[] = {QuickCodeFolder() + name + ".oqs", QuickCodeFolder() + name + ".oqc"};
        const std::string wanted[] = {"text", description};
        std::filesystem::remove_all(files[0]);
        std::filesystem::remove_all(files[1]);
        TThere there[2];
        std::string before[2];
        std::filesystem::file_time_type stamps[2];
        bool refused = false, differs = false;
        for (int f = 0; f < 2; ++f) {
            there[f] = static_cast<TThere>(random() % 10 < 8 ? random() % 3 : 3 + random() % 2);
            if (there[f] == tSame)
                TTestProgramFolder::WriteFileBytes(files[f], wanted[f]);
            else if (there[f] == tUsers)
                TTestProgramFolder::WriteFileBytes(files[f], "mine " + std::to_string(round));
            else if (there[f] == tLink)
                std::filesystem::create_symlink(victim, files[f]);
            else if (there[f] == tFolder)
                std::filesystem::create_directory(files[f]);
            refused = refused || there[f] == tLink || there[f] == tFolder;
            differs = differs || there[f] == tUsers;
            before[f] = read(files[f]);
            std::error_code ignored;
            stamps[f] = std::filesystem::last_write_time(files[f], ignored);
        }
        const bool asked = !refused && differs;
        const bool yes = asked && random() % 2 == 0;
        if (asked) {
            user.AnswerMessage(yes ? mrYes : mrNo);
            if (!yes)
                user.AnswerMessage(mrOk);
        }
        user.Calls.clear();
        SelectRange(*page, 3, 4);
        const bool written = !refused && (!differs || yes);
        EXPECT_EQ(Create(*page, name, description), written ? mrOk : 0);
        EXPECT_EQ(user.PendingAnswers(), 0u);
        EXPECT_EQ(user.Exceptions().size(), refused ? 1u : 0u);
        if (asked) {
            ASSERT_GE(user.Calls.size(), 1u);
            EXPECT_EQ(user.Calls[0].Buttons, mbYesNo);
            for (int f = 0; f < 2; ++f)
                EXPECT_EQ(user.Calls[0].Text.find(files[f]) != std::string::npos, there[f] == tUsers)
                    << user.Calls[0].Text;
            if (!yes) {
                ASSERT_EQ(user.Calls.size(), 2u);
                EXPECT_NE(user.Calls[1].Text.find(name), std::string::npos) << user.Calls[1].Text;
            }
        } else {
            EXPECT_EQ(user.Calls.size(), refused ? 1u : 0u) << "only the refusal is told";
        }
        for (int f = 0; f < 2; ++f) {
            EXPECT_EQ(read(files[f]), written ? wanted[f] : before[f]) << files[f];
            if (there[f] == tSame || !written) {
                std::error_code ignored;
                EXPECT_EQ(std::filesystem::last_write_time(files[f], ignored), stamps[f]) << files[f];
            }
        }
        EXPECT_EQ(TTestProgramFolder::ReadFileBytes(victim), "victim");
        user.Calls.clear();
    }
}

TEST_F(QuickCodes, DeletingAsksAndRemovesBothFilesOnlyOnYes) {
    TEditForm* page = Open("<HR>");
    SelectRange(*page, 0, 4);
    ASSERT_EQ(Create(*page, "Rule", "a rule"), mrOk);
    Select("Rule.oqc");
    user.AnswerMessage(mrNo);
    Pane().oqcDeleteItemClick(Pane().oqcDeleteItem);
    EXPECT_TRUE(Exists("Rule.oqs"));
    EXPECT_TRUE(Exists("Rule.oqc"));
    EXPECT_EQ(user.Calls.back().Text, "Do you really want to delete this Ondrill Quick Code ? \r\nCode: Rule.oqc");
    user.AnswerMessage(mrYes);
    Pane().oqcDeleteItemClick(Pane().oqcDeleteItem);
    EXPECT_FALSE(Exists("Rule.oqs"));
    EXPECT_FALSE(Exists("Rule.oqc"));
    EXPECT_TRUE(Listed().empty());
    // Nothing selected: nothing asked.
    const size_t calls = user.Calls.size();
    Pane().oqcDeleteItemClick(Pane().oqcDeleteItem);
    EXPECT_EQ(user.Calls.size(), calls);
}

TEST_F(QuickCodes, AMissingFolderIsMadeAtStart) {
    Stop();
    std::filesystem::remove_all(QuickCodeFolder());
    Start();
    EXPECT_TRUE(std::filesystem::is_directory(QuickCodeFolder()));
    EXPECT_EQ(List().Folder().GetPath() + "/", QuickCodeFolder()) << "the list shows it, not the desktop";
}

// ---------------------------------------------------------------------------

class Preferences : public TToolsFixture {
protected:
    // What the user can set, as one record.
    struct TChoice {
        int Mode = 1; // 1 new, 2 open, 0 nothing
        bool Standard = false;
        std::string FontName;
        int FontSize = 9;
        TColor Text = clBlack, Background = clWhite;
        bool Syntax = true, BuiltIn = true;
        std::array<TColor, 18> Colors{};
        std::array<bool, 36> Styles{};
        std::string Netscape, Explorer;
    };

    static TChoice Random(std::mt19937& random) {
        auto color = [&] { return static_cast<TColor>(random() & 0xFFFFFF); };
        TChoice c;
        c.Mode = static_cast<int>(random() % 3);
        c.Standard = random() % 2;
        c.FontName = std::vector<std::string>{"Courier New", "Arial", "DejaVu Sans Mono"}[random() % 3];
        c.FontSize = 1 + static_cast<int>(random() % 72);
        c.Text = color();
        c.Background = color();
        c.Syntax = random() % 2;
        c.BuiltIn = random() % 2;
        for (TColor& each : c.Colors)
            each = color();
        for (size_t i = 0; i < c.Styles.size(); ++i)
            c.Styles[i] = random() % 2;
        c.Netscape = "/opt/browser " + std::to_string(random() % 100);
        c.Explorer = random() % 2 ? "" : "/usr/bin/other";
        return c;
    }

    static void Put(Toptionfrm& dialog, const TChoice& c) {
        (c.Mode == 1 ? dialog.newRadio : c.Mode == 2 ? dialog.openRadio : dialog.noneRadio)->SetChecked(true);
        dialog.standardcb->SetChecked(c.Standard);
        dialog.ComboBox1->SetText(c.FontName);
        dialog.ComboBox2->SetText(std::to_string(c.FontSize));
        dialog.textfcolor->SetColor(c.Text);
        dialog.Editbgcolor->SetColor(c.Background);
        dialog.CheckBox1->SetChecked(c.Syntax);
        dialog.CheckBox2->SetChecked(c.BuiltIn);
        for (size_t i = 0; i < dialog.StylePages.size(); ++i) {
            const Toptionfrm::TStylePage& page = dialog.StylePages[i];
            page.Foreground->SetColor(c.Colors[2 * i]);
            page.Background->SetColor(c.Colors[2 * i + 1]);
            TCheckBox* boxes[] = {page.Bold, page.Italic, page.Underline, page.Strike};
            for (size_t b = 0; b < 4; ++b)
                boxes[b]->SetChecked(c.Styles[4 * i + b]);
        }
        dialog.Edit1->SetText(c.Netscape);
        dialog.Edit2->SetText(c.Explorer);
    }

    static void ExpectShows(Toptionfrm& dialog, const TChoice& c, const std::string& when) {
        EXPECT_EQ(dialog.newRadio->Checked(), c.Mode == 1) << when;
        EXPECT_EQ(dialog.openRadio->Checked(), c.Mode == 2) << when;
        EXPECT_EQ(dialog.noneRadio->Checked(), c.Mode == 0) << when;
        EXPECT_EQ(dialog.standardcb->Visible(), c.Mode == 0) << when;
        EXPECT_EQ(dialog.standardcb->Checked(), c.Standard) << when;
        EXPECT_EQ(dialog.ComboBox1->Text(), c.FontName) << when;
        EXPECT_EQ(dialog.ComboBox2->Text(), std::to_string(c.FontSize)) << when;
        EXPECT_EQ(dialog.textfcolor->Color(), c.Text) << when;
        EXPECT_EQ(dialog.Editbgcolor->Color(), c.Background) << when;
        // Without highlighting the second box says nothing: both read clear.
        EXPECT_EQ(dialog.CheckBox1->Checked(), c.Syntax) << when;
        EXPECT_EQ(dialog.CheckBox2->Checked(), c.Syntax && c.BuiltIn) << when;
        EXPECT_EQ(dialog.CheckBox2->Enabled(), c.Syntax) << when;
        EXPECT_EQ(dialog.PageControl2->Visible(), c.Syntax && !c.BuiltIn) << when;
        for (size_t i = 0; i < dialog.StylePages.size(); ++i) {
            const Toptionfrm::TStylePage& page = dialog.StylePages[i];
            EXPECT_EQ(page.Foreground->Color(), c.Colors[2 * i]) << when << " " << page.Prefix;
            EXPECT_EQ(page.Background->Color(), c.Colors[2 * i + 1]) << when << " " << page.Prefix;
            TCheckBox* boxes[] = {page.Bold, page.Italic, page.Underline, page.Strike};
            for (size_t b = 0; b < 4; ++b)
                EXPECT_EQ(boxes[b]->Checked(), c.Styles[4 * i + b]) << when << " " << page.Prefix << b;
        }
        EXPECT_EQ(dialog.Edit1->Text(), c.Netscape) << when;
        EXPECT_EQ(dialog.Edit2->Text(), c.Explorer) << when;
    }
};

TEST_F(Preferences, RandomChoicesSurviveOkReopeningAndARestart) {
    std::mt19937 random(2024);
    for (int round = 0; round < 6; ++round) {
        const TChoice choice = Random(random);
        {
            Toptionfrm dialog(frame);
            Put(dialog, choice);
            dialog.okbtnClick(dialog.okbtn);
            EXPECT_EQ(dialog.ModalResult(), mrOk);
        }
        if (round % 2 == 1) {
            Stop();
            Start();
        }
        Toptionfrm again(frame);
        ExpectShows(again, choice, "round " + std::to_string(round));
    }
    // A colour box takes the colour dialog's choice, and keeps its own on
    // Cancel.
    Toptionfrm dialog(frame);
    user.AnswerColor(RGB(1, 2, 3));
    dialog.balisefcolorClick(dialog.StylePages[4].Foreground);
    EXPECT_EQ(dialog.StylePages[4].Foreground->Color(), RGB(1, 2, 3));
    user.Cancel(TScriptedUserInteraction::kColor);
    dialog.textfcolorClick(dialog.textfcolor);
    EXPECT_EQ(dialog.StylePages[4].Foreground->Color(), RGB(1, 2, 3));
}

TEST_F(Preferences, AWrongFontSizeOrCancelWritesNothing) {
    {
        Toptionfrm dialog(frame);
        dialog.okbtnClick(dialog.okbtn);
    }
    const std::string settings = program.SettingsText();
    ASSERT_FALSE(settings.empty());
    for (const char* size : {"abc", "0", "-3", "12.5", "", " ", "99999", "0x0C"}) {
        Toptionfrm dialog(frame);
        std::mt19937 random(7);
        Put(dialog, Random(random));
        dialog.ComboBox2->SetText(size);
        user.AnswerMessage(mrOk);
        dialog.okbtnClick(dialog.okbtn);
        EXPECT_EQ(dialog.ModalResult(), 0) << "the dialog stays open for '" << size << "'";
        EXPECT_EQ(program.SettingsText(), settings) << size;
        EXPECT_NE(user.Calls.back().Text.find(std::string("'") + size + "'"), std::string::npos);
    }
    // Cancel: changes made, nothing written.
    {
        Toptionfrm dialog(frame);
        std::mt19937 random(8);
        Put(dialog, Random(random));
    }
    EXPECT_EQ(program.SettingsText(), settings);
    // A size the list lacks is taken, and a new document uses it.
    {
        Toptionfrm dialog(frame);
        dialog.ComboBox2->SetText(" 13 ");
        dialog.okbtnClick(dialog.okbtn);
    }
    EXPECT_EQ(OpenSettings()->ReadInteger(settings::Editor, "size", 0), 13);
    EXPECT_EQ(FontSizeOf(*Open("")), 13);
}

// The browsers are programs of this system, whose names carry no
// extension: the dialog behind each Browse button opens on an entry that
// shows them, and the chosen program's full path goes into its field.
TEST_F(Preferences, BrowseOffersTheSystemsProgramsForEachBrowser) {
    Toptionfrm dialog(frame);
    const std::pair<TButton*, TEdit*> rows[] = {{dialog.Button1, dialog.Edit1}, {dialog.Button2, dialog.Edit2}};
    for (const auto& [button, field] : rows) {
        user.AnswerFiles({"/usr/bin/firefox-esr"});
        button->Click();
        const TFileDialogRequest& request = user.Calls.back().FileRequest;
        for (const char* program : {"firefox-esr", "chromium", "konqueror", "browser.exe"})
            EXPECT_TRUE(FilterEntryTakes(request.Filter, request.FilterIndex, program))
                << program << " in " << request.Filter;
        EXPECT_EQ(field->Text(), "/usr/bin/firefox-esr");
    }
    // Cancel keeps what the field held.
    user.Cancel(TScriptedUserInteraction::kOpenFile);
    dialog.Button1->Click();
    EXPECT_EQ(dialog.Edit1->Text(), "/usr/bin/firefox-esr");
}

TEST_F(Preferences, TheHighlightingChoiceReachesEveryOpenDocument) {
    TEditForm* first = Open("<P>one</P>");
    TEditForm* second = Open("<B>two</B>");
    THtmlHighlighter& shared = *frame->htmlcoder;
    auto choose = [&](bool syntax, bool builtIn, TColor tagColor) {
        Toptionfrm dialog(frame);
        dialog.CheckBox1->SetChecked(syntax);
        dialog.CheckBox2->SetChecked(builtIn);
        dialog.StylePages[5].Foreground->SetColor(tagColor);
        dialog.okbtnClick(dialog.okbtn);
    };
    choose(true, false, RGB(9, 8, 7));
    EXPECT_EQ(OpenSettings()->ReadString(settings::Editor, "colorer", ""), "custom");
    EXPECT_EQ(shared.HtmlTag().Foreground(), RGB(9, 8, 7));
    EXPECT_EQ(HighlighterOf(*first), &shared);
    EXPECT_EQ(HighlighterOf(*second), &shared);
    choose(false, false, RGB(1, 1, 1));
    EXPECT_EQ(OpenSettings()->ReadString(settings::Editor, "colorer", ""), "none");
    EXPECT_EQ(HighlighterOf(*first), nullptr);
    EXPECT_EQ(HighlighterOf(*second), nullptr);
    choose(true, true, RGB(1, 1, 1));
    EXPECT_EQ(HighlighterOf(*first), &shared);
    EXPECT_EQ(HighlighterOf(*second), &shared);
    EXPECT_EQ(shared.HtmlTag().Foreground(), clNavy) << "the built-in colours";
}

} // namespace

TEST_F(Preferences, EveryStylePageTabCanBeReachedWithTheMouse) {
    // Nine style pages do not fit the dialog's width side by side: each
    // tab still shows whole inside the control, and a click on it opens
    // its page.
    Toptionfrm dialog(frame);
    dialog.Show();
    dialog.PageControl1->SetActivePageIndex(2);
    dialog.CheckBox2->SetChecked(false);
    Application().ProcessMessages();
    TPageControl& pages = *dialog.PageControl2;
    ASSERT_TRUE(pages.Visible());
    QWidget* window = ClientWidgetOf(&pages);
    ASSERT_NE(window, nullptr);
    QWidget* frameWidget = window->parentWidget();
    ASSERT_NE(frameWidget, nullptr);
    // The rows widget has no meta-object of its own: looked for by type.
    TTabRows* rows = nullptr;
    for (QObject* child : frameWidget->children())
        if (auto* found = dynamic_cast<TTabRows*>(child))
            rows = found;
    auto* row = frameWidget->findChild<QTabBar*>();
    for (int page = pages.PageCount() - 1; page >= 0; --page) {
        QWidget* bar = rows != nullptr && rows->isVisible() ? static_cast<QWidget*>(rows) : row;
        ASSERT_NE(bar, nullptr);
        const QRect tab = bar == rows ? rows->TabRect(page) : row->tabRect(page);
        ASSERT_FALSE(tab.isEmpty()) << page;
        EXPECT_TRUE(bar->rect().contains(tab)) << "tab " << page << " cut off by the control's edge";
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, tab.center());
        Application().ProcessMessages();
        EXPECT_EQ(pages.ActivePageIndex(), page);
    }
    dialog.Hide();
}
