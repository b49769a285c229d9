// The conventions every element dialog shares: paths relative to the
// document against the standard library's lexical paths, the Browse steps
// with their save question answered every way, help pages opened (a page
// missing or that the desktop can not show reported), the caret and selection after wrapping, "Default" left out,
// the table's width rule and the zone and option lists against a model.

#include "tests/app/dialogs/DialogTestSupport.h"
#include "tests/app/dialogs/EditorProbe.h"
#include "tests/app/FileDialogFilters.h"

#include "app/EditForm.h"
#include "app/FileFilters.h"
#include "app/FrameForm.h"
#include "app/dialogs/DocumentPaths.h"
#include "app/dialogs/ElementCommands.h"
#include "app/dialogs/ElementDialog.h"
#include "app/dialogs/ListTableDialogs.h"
#include "platform/base/ProgramFolder.h"
#include "platform/gfx/Picture.h"
#include "platform/ui/ButtonControls.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/ListControls.h"
#include "platform/ui/SpinEdit.h"
#include "platform/ui/TextControls.h"

#include <filesystem>
#include <map>
#include <random>

namespace {

namespace fs = std::filesystem;

// ---- Relative paths ----------------------------------------------------------------

TEST(RelativeDocumentPath, AgreesWithLexicalRelativePathsOnRandomTrees) {
    std::mt19937 random(23);
    const char* folders[] = {"a", "b", "Pics", "pics", "x y", "."};
    auto randomFolder = [&](int depth) {
        std::string path;
        for (int i = 0; i < depth; ++i)
            path += std::string("/") + (random() % 9 == 0 ? ".." : folders[random() % 6]);
        return path;
    };
    for (int round = 0; round < 2000; ++round) {
        const std::string document = randomFolder(static_cast<int>(random() % 5)) + "/page.html";
        const std::string file = randomFolder(static_cast<int>(random() % 5)) + "/pic" +
                                 std::to_string(random() % 3) + ".gif";
        const fs::path folder = fs::path(document).lexically_normal().parent_path();
        const std::string expected = fs::path(file).lexically_normal().lexically_relative(folder).generic_string();
        ASSERT_EQ(RelativeDocumentPath(file, document), expected) << file << " from " << document;
    }
}

TEST(RelativeDocumentPath, BelowBesideHereAndElsewhere) {
    const std::string page = "/home/me/site/page.html";
    EXPECT_EQ(RelativeDocumentPath("/home/me/site/pics/a.gif", page), "pics/a.gif");
    EXPECT_EQ(RelativeDocumentPath("/home/me/pics/a.gif", page), "../pics/a.gif");
    EXPECT_EQ(RelativeDocumentPath("/home/me/site/a.gif", page), "a.gif");
    EXPECT_EQ(RelativeDocumentPath("/tmp/x/a.gif", page), "../../../tmp/x/a.gif");
    EXPECT_EQ(RelativeDocumentPath("/a.gif", "/page.html"), "a.gif");
    // Case counts in file names here; a backslash is part of a name.
    EXPECT_EQ(RelativeDocumentPath("/home/me/Site/a.gif", page), "../Site/a.gif");
    EXPECT_EQ(RelativeDocumentPath("/home/me/site/a\\b.gif", page), "a\\b.gif");
    EXPECT_EQ(RelativeDocumentPath("pics/a.gif", page), "pics/a.gif") << "not absolute: as it is";
}

TEST(ElementDialogValues, DefaultLeavesTheAttributeOut) {
    EXPECT_EQ(AttributeUnlessDefault("ALIGN", "Default"), "");
    EXPECT_EQ(AttributeUnlessDefault("ALIGN", "default"), " ALIGN=\"default\"");
    EXPECT_EQ(AttributeUnlessDefault("ALIGN", "Default "), " ALIGN=\"Default \"");
    EXPECT_EQ(AttributeUnlessDefault("ALIGN", ""), " ALIGN=\"\"");
    EXPECT_EQ(HtmlColor(RGB(0x12, 0x34, 0x56)), "#123456");
    EXPECT_EQ(HexColor(clRed), "FF0000");
}

// ---- Browse ---------------------------------------------------------------------------

class DialogConventions : public TDialogTest {
protected:
    // Opens the link dialog, presses its Browse button and gives what the
    // address field then holds.
    std::string BrowseInLink() {
        std::string address;
        RunCommand("lienbuttonClick", [&](TCustomForm& dialog) {
            SetControl(dialog, "SpeedButton1", "click");
            address = dynamic_cast<TEdit*>(dialog.FindComponent("Edit1"))->Text();
            EXPECT_TRUE(dialog.Modal());
            PressCancel(dialog);
        });
        return address;
    }
    size_t Count(TScriptedUserInteraction::TKind kind) const {
        return static_cast<size_t>(std::count_if(user.Calls.begin(), user.Calls.end(),
                                                 [&](const auto& call) { return call.Kind == kind; }));
    }
};

TEST_F(DialogConventions, FilesBelowBesideInAndOutsideTheDocumentsFolder) {
    TEditForm* document = SavedDocument("site/sub/page.html");
    ASSERT_EQ(frame->ActiveDocument(), document);
    const std::map<std::string, std::string> cases = {
        {program.File("site/sub/pics/a.gif"), "pics/a.gif"},
        {program.File("site/pics/a.gif"), "../pics/a.gif"},
        {program.File("site/sub/a.gif"), "a.gif"},
        {"/usr/share/pics/a.gif",
         fs::path("/usr/share/pics/a.gif").lexically_relative(fs::path(program.File("site/sub"))).generic_string()},
    };
    for (const auto& [file, expected] : cases) {
        user.AnswerFiles({file});
        EXPECT_EQ(BrowseInLink(), expected);
        const auto& request = user.Calls.back().FileRequest;
        EXPECT_EQ(request.Filter, GetFileFilter("")) << "the web-files filter";
        EXPECT_EQ(request.InitialDir, program.File("site/sub")) << "it starts in the document's folder";
    }
    EXPECT_EQ(Count(TScriptedUserInteraction::kMessage), 0u) << "a saved document is not asked about";
    // A cancelled open dialog changes nothing.
    user.Cancel(TScriptedUserInteraction::kOpenFile);
    EXPECT_EQ(BrowseInLink(), "http://");
}

TEST_F(DialogConventions, AnUntitledDocumentIsSavedFirstOrNothingHappens) {
    TEditForm* document = NewDocument();
    const std::string question = "You need to first save this document before you can assign an other file to it. "
                                 "Would you like to save it now?";
    // No: nothing, and no file dialog.
    user.AnswerMessage(mrNo);
    EXPECT_EQ(BrowseInLink(), "http://");
    ASSERT_EQ(user.Calls.size(), 1u);
    EXPECT_EQ(user.Calls[0].Text, question);
    EXPECT_EQ(user.Calls[0].Buttons, mbYesNo);
    // Yes, then a cancelled Save As: nothing, and no open dialog.
    user.AnswerMessage(mrYes);
    user.Cancel(TScriptedUserInteraction::kSaveFile);
    EXPECT_EQ(BrowseInLink(), "http://");
    EXPECT_EQ(document->FileName, "Untitled");
    EXPECT_EQ(Count(TScriptedUserInteraction::kOpenFile), 0u);
    // Yes, then saved: the path is relative to where it was saved.
    std::filesystem::create_directories(program.File("site"));
    user.AnswerMessage(mrYes);
    user.AnswerSaveFile(program.File("site/new.html"));
    user.AnswerFiles({program.File("img/a.png")});
    EXPECT_EQ(BrowseInLink(), "../img/a.png");
    EXPECT_EQ(document->FileName, program.File("site/new.html"));
    EXPECT_TRUE(fs::exists(program.File("site/new.html")));
    EXPECT_EQ(user.PendingAnswers(), 0u);
}

// Every kind of picture the program reads the size of passes the first
// entry ("All") of each picture dialog's filter, so that the user sees it
// when browsing.  A dialog without a filter of its own lists every kind
// the picture registry reads.
TEST_F(DialogConventions, EveryPictureKindTheProgramMeasuresIsOfferedByThePictureDialogs) {
    NewDocument();
    std::vector<std::string> kinds;
    for (const TPictureFileFormat& format : TPicture::FileFormats())
        kinds.push_back(format.Extension);
    ASSERT_GE(kinds.size(), 5u) << "bmp, png, jpg, jpeg and gif";
    int dialogs = 0;
    std::vector<std::string> handlers = {"Assistant1Click"};
    for (const TElementCommand& command : ElementDialogCommands())
        handlers.push_back(command.Handler);
    for (const std::string& handler : handlers)
        RunCommand(handler, [&](TCustomForm& dialog) {
            for (int i = 0; i < dialog.ComponentCount(); ++i)
                if (auto* pictures = dynamic_cast<TOpenPictureDialog*>(dialog.Components(i))) {
                    ++dialogs;
                    const std::string filter =
                        pictures->Filter().empty() ? TPicture::GraphicFilter() : pictures->Filter();
                    for (const std::string& kind : kinds)
                        EXPECT_TRUE(FilterEntryTakes(filter, 1, "picture." + kind))
                            << dialog.ClassName() << " hides ." << kind << " in " << filter;
                }
            dialog.Close();
        });
    EXPECT_EQ(dialogs, 6) << "image map, table, body, image, form image and the wizard";
}

// ---- Help --------------------------------------------------------------------------------

TEST_F(DialogConventions, HelpOpensTheDialogsPageAndTheDialogStaysOpenEvenWhenThePageIsMissing) {
    // Help that can not be shown says so instead of doing nothing.
    NewDocument();
    // Each command's dialog, its help button and its page.
    const std::tuple<const char*, const char*, const char*> pages[] = {
        {"ancrebuttonClick", "Button3", "ancre.htm"},        {"lienibuttonClick", "helpbtn", "ilink.htm"},
        {"lienbuttonClick", "helpbtn", "link.htm"},          {"mapbuttonClick", "helpbtn", "imagemap.htm"},
        {"FormpicbuttonClick", "helpbtn", "imgform.htm"},    {"hiddenbuttonClick", "helpbtn", "hidden.htm"},
        {"btextboxbuttonClick", "helpbtn", "mtextbox.htm"},  {"buttonbuttonClick", "helpbtn", "button.htm"},
        {"textboxbuttonClick", "helpbtn", "textbox.htm"},    {"scrolllistbuttonClick", "helpbtn", "slistbox.htm"},
        {"boxlistbuttonClick", "helpbtn", "listbox.htm"},    {"radiobuttonClick", "helpbtn", "radio.htm"},
        {"checkbuttonClick", "helpbtn", "checkbox.htm"},     {"formbutton1Click", "helpbtn", "form.htm"},
        {"listbuttonClick", "helpbtn", "list.htm"},          {"tablobuttonClick", "helpbtn", "tables.htm"},
        {"specCaracBtnClick", "helpbtn", "carac.htm"},       {"embedbuttonClick", "helpbtn", "embed.htm"},
        {"hrbuttonClick", "helpbtn", "rule.htm"},            {"metabuttonClick", "helpbtn", "metas.htm"},
        {"imagebuttonClick", "helpbtn", "image.htm"},        {"bodybuttonClick", "helpbtn", "body.htm"},
        {"policebuttonClick", "helpbtn", "police.htm"},      {"flashBtnClick", "helpbtn", "flash.htm"},
        {"realBtnClick", "helpbtn", "real.htm"},             {"qtBtnClick", "helpbtn", "qt.htm"},
        {"objectBtnClick", "helpbtn", "object.htm"},         {"java2buttonClick", "helpbtn", "java.htm"},
        {"cadrebuttonClick", "Button3", "cadres.htm"},       {"fileboxButtonClick", "helpbtn", "filebox.htm"},
        {"dhtmlMenuBtnClick", "helpbtn", "menudhtml.htm"},
    };
    int round = 0;
    for (const auto& [handler, button, page] : pages) {
        SCOPED_TRACE(handler);
        // In turn: the page shown; the page beside the program but nothing
        // on the desktop to show it; the page missing.
        const int kind = round++ % 3;
        const std::string path = ProgramFolder() + "help/ondrill/" + page;
        fs::create_directories(fs::path(path).parent_path());
        if (kind < 2)
            fs::copy_file(std::string(ONDRILL_HELP_SOURCE) + page, path, fs::copy_options::overwrite_existing);
        else
            fs::remove(path);
        user.DesktopSucceeds = kind == 0;
        if (kind > 0)
            user.AnswerMessage(mrOk);
        const size_t calls = user.Calls.size();
        ASSERT_TRUE(RunCommand(handler, [&, button = button](TCustomForm& dialog) {
            Press(dialog, button);
            EXPECT_EQ(dialog.ModalResult(), 0) << "help does not close the dialog";
            EXPECT_TRUE(dialog.Visible());
            dialog.Close();
        }));
        ASSERT_EQ(user.Calls.size(), calls + (kind == 1 ? 2 : 1));
        const auto& opened = user.Calls[calls];
        if (kind < 2) {
            EXPECT_EQ(opened.Kind, TScriptedUserInteraction::kOpenDocument);
            EXPECT_EQ(opened.Text, path);
        }
        if (kind > 0) {
            EXPECT_EQ(user.Calls.back().Kind, TScriptedUserInteraction::kMessage);
            EXPECT_NE(user.Calls.back().Text.find(kind == 1 ? "could not be opened" : "could not be found"),
                      std::string::npos)
                << user.Calls.back().Text;
        }
        EXPECT_EQ(user.PendingAnswers(), 0u);
        EXPECT_TRUE(fs::exists(std::string(ONDRILL_HELP_SOURCE) + page)) << "the page is shipped";
    }
    // The comment dialog has no help.
    RunCommand("commentbuttonClick", [](TCustomForm& dialog) {
        EXPECT_EQ(dialog.FindComponent("helpbtn"), nullptr);
        PressCancel(dialog);
    });
}

// ---- Caret and selection after wrapping ----------------------------------------------------

TEST_F(DialogConventions, WrappingLeavesTheCaretOrSelectionWhereEachDialogPutsIt) {
    TEditForm* document = NewDocument();
    struct TCase {
        const char* Handler;
        std::string Selected;
        std::string Opening; // what stands before the selection afterwards
        int CaretBack;       // the caret's distance from the end of the insertion
        bool Selects;        // the wrapped text is selected again
        std::string Closing;
    };
    const TCase cases[] = {
        {"ancrebuttonClick", "", "<A NAME=\"\">", 4, false, "</A>"},
        {"ancrebuttonClick", "Top\r\nof page", "<A NAME=\"\">", 4, false, "</A>"},
        {"policebuttonClick", "", "<FONT>", 7, false, "</FONT>"},
        {"policebuttonClick", "one\r\n\r\ntwo", "<FONT>", 7, true, "</FONT>"},
        {"lienbuttonClick", "x\r\ny", "<A HREF=\"http://\">", 0, false, "</A>"},
        {"lienibuttonClick", "x", "<A HREF=\"#\">", 0, false, "</A>"},
        {"formbutton1Click", "x", "<FORM ACTION=\"http://www.example.com/cgi-bin/form.cgi\" METHOD=GET>", 0, false,
         "</FORM>"},
    };
    for (const TCase& test : cases) {
        SCOPED_TRACE(std::string(test.Handler) + " with " + test.Selected);
        const std::string before = "ab\r\n";
        SetEditorText(*document, before + test.Selected + "\r\ncd", 4, static_cast<int>(test.Selected.size()));
        ASSERT_EQ(EditorSelText(*document), test.Selected);
        RunCommand(test.Handler, [](TCustomForm& dialog) { PressOk(dialog); });
        const std::string inserted = test.Opening + test.Selected + test.Closing;
        ASSERT_EQ(EditorText(*document), before + inserted + "\r\ncd");
        const int end = static_cast<int>((before + inserted).size());
        if (test.Selects) {
            // A paragraph break counts 2 in the selection as in the text.
            EXPECT_EQ(EditorSelStart(*document), end - test.CaretBack - static_cast<int>(test.Selected.size()));
            EXPECT_EQ(EditorSelText(*document), test.Selected);
        } else {
            EXPECT_EQ(EditorSelStart(*document), end - test.CaretBack);
            EXPECT_EQ(EditorSelLength(*document), 0);
        }
    }
}

// ---- Table width rule, zones and options --------------------------------------------------

TEST_F(DialogConventions, TheTablesWidthRuleHoldsFromTheStartAndCloseEnablesTheMainWindow) {
    NewDocument();
    std::mt19937 random(3);
    for (const char* handler : {"tablobuttonClick", "metabuttonClick"}) {
        ASSERT_TRUE(RunCommand(handler, [&](TCustomForm& form) {
            frame->SetEnabled(false);
            if (auto* table = dynamic_cast<Ttablefrm*>(&form)) {
                table->SpinEdit6->SetValue(150);
                EXPECT_EQ(table->SpinEdit6->Value(), 100) << "% limits the width from the start";
                // Random values and ticks against the rule.
                for (int step = 0; step < 200; ++step) {
                    switch (random() % 3) {
                    case 0: table->SpinEdit6->SetValue(static_cast<int>(random() % 6000)); break;
                    case 1: SetControl(*table, "CheckBox1", random() % 2 ? "1" : "0"); break;
                    default:
                        SetControl(*table, "CheckBox2", random() % 2 ? "1" : "0");
                        table->SpinEdit7->SetValue(static_cast<int>(random() % 6000));
                        break;
                    }
                    const int limit = table->CheckBox1->Checked() ? 100 : 1000;
                    ASSERT_EQ(table->SpinEdit6->MaxValue(), limit) << "step " << step;
                    ASSERT_GE(table->SpinEdit6->Value(), 1);
                    ASSERT_LE(table->SpinEdit6->Value(), limit);
                    ASSERT_LE(table->SpinEdit7->Value(), 5000) << "the height keeps its range";
                }
            }
            form.Close();
        }));
        EXPECT_TRUE(frame->Enabled()) << handler;
    }
}

TEST_F(DialogConventions, ZonesAndOptionsFollowAddsAndDeletesAsAListModelDoes) {
    TEditForm* document = NewDocument();
    std::mt19937 random(41);
    struct TList {
        const char* Handler;
        const char* Add;
        const char* Delete;
        const char* Start;
        const char* End;
    };
    for (const TList& list : {TList{"mapbuttonClick", "Button3", "Button4", "<MAP NAME=\"\">", "</MAP><IMG SRC=\"\" USEMAP=\"#\">"},
                              TList{"scrolllistbuttonClick", "Button1", "Button2", "<SELECT NAME=\"\">\r\n", "</SELECT>"}}) {
        SCOPED_TRACE(list.Handler);
        SetEditorText(*document, "", 0, 0);
        std::vector<std::string> model;
        RunCommand(list.Handler, [&](TCustomForm& dialog) {
            auto* lines = dynamic_cast<TListBox*>(dialog.FindComponent("ListBox1"));
            for (int step = 0; step < 60; ++step) {
                const std::string value = std::to_string(random() % 1000);
                if (random() % 3 != 0) {
                    if (std::string(list.Handler) == "mapbuttonClick") {
                        SetControls(dialog, {{"SpinEdit4", value}, {"Edit4", "z" + value}});
                        model.push_back("<AREA SHAPE=\"RECT\" COORDS=\"" + value + ",0,0,0\" HREF=\"z" + value + "\">");
                    } else {
                        SetControls(dialog, {{"Edit2", value}, {"Edit3", "v" + value}});
                        model.push_back("<OPTION VALUE=\"" + value + "\">v" + value);
                    }
                    SetControl(dialog, list.Add, "click");
                } else {
                    const int selected = static_cast<int>(random() % (model.size() + 2)) - 1;
                    lines->SetItemIndex(selected);
                    if (selected >= 0 && selected < static_cast<int>(model.size()))
                        model.erase(model.begin() + selected);
                    SetControl(dialog, list.Delete, "click");
                }
                ASSERT_EQ(lines->Items().Count(), static_cast<int>(model.size())) << "step " << step;
            }
            PressOk(dialog);
        });
        std::string expected = list.Start;
        for (const std::string& line : model)
            expected += line + "\r\n";
        EXPECT_EQ(EditorText(*document), expected + list.End);
    }
}

} // namespace
