// Every element command of the main window, through every menu item and
// toolbar button that carries it: with a document it opens its own dialog,
// owned by the main window, and OK writes into the active document; with
// none it opens nothing.

#include "tests/app/dialogs/DialogTestFiles.h"
#include "tests/app/dialogs/DialogTestSupport.h"
#include "tests/app/dialogs/EditorProbe.h"

#include "app/EditForm.h"
#include "app/FrameForm.h"
#include "app/MainWindowItems.h"
#include "app/dialogs/ElementCommands.h"
#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"
#include "toolbars/TBItem.h"

#include <map>
#include <set>

namespace {

// The dialog each command of the main window opens.
const std::map<std::string, std::string>& expectedDialogs() {
    static const std::map<std::string, std::string> dialogs = {
        {"policebuttonClick", "TFontForm"},      {"caracbuttonClick", "TCaracfrm"},
        {"specCaracBtnClick", "TCaracfrm"},      {"hrbuttonClick", "Thrdlg"},
        {"metabuttonClick", "Tmetafrm"},         {"bodybuttonClick", "Tbodydialog"},
        {"commentbuttonClick", "Tcommentfrm"},   {"tablobuttonClick", "Ttablefrm"},
        {"lienbuttonClick", "Tlinkfrm"},         {"lienibuttonClick", "Tlienifrm"},
        {"ancrebuttonClick", "Tancrefrm"},       {"mapbuttonClick", "Tmapfrm"},
        {"listbuttonClick", "Tlistfrm"},         {"formbutton1Click", "Tformfrm"},
        {"scrolllistbuttonClick", "Tscrlistboxfrm"}, {"boxlistbuttonClick", "Tlistboxfrm"},
        {"radiobuttonClick", "Tradiofrm"},       {"checkbuttonClick", "Tcheckboxfrm"},
        {"hiddenbuttonClick", "Thiddenfrm"},     {"textboxbuttonClick", "Ttextboxfrm"},
        {"btextboxbuttonClick", "Tbtboxfrm"},    {"buttonbuttonClick", "Tbuttonfrm"},
        {"FormpicbuttonClick", "Tformpicfrm"},   {"imagebuttonClick", "Timagefrm"},
        {"embedbuttonClick", "Tembedfrm"},
        {"Cadres3Click", "Tmodframefrm"},        {"cadrebuttonClick", "Tframefrm"},
        {"Tableaux4Click", "Tmodtablefrm"},      {"fileboxButtonClick", "Tfileboxfrm"},
        {"java2buttonClick", "Tjava2frm"},       {"objectBtnClick", "Tobjectfrm"},
        {"qtBtnClick", "Tqtfrm"},                {"realBtnClick", "Trealfrm"},
        {"flashBtnClick", "Tflashfrm"},          {"dhtmlMenuBtnClick", "Tdhtmlmenufrm"},
    };
    return dialogs;
}

// The item and every menu above it are enabled.
bool reachable(const TTBCustomItem* item) {
    for (; item != nullptr; item = item->Parent())
        if (!item->Enabled())
            return false;
    return true;
}

class ElementCommands : public TDialogTest {};

TEST_F(ElementCommands, EveryItemOpensItsDialogWhoseOkWritesIntoTheActiveDocument) {
    std::set<std::string> bound;
    for (const TElementCommand& command : ElementDialogCommands())
        bound.insert(command.Handler);
    std::set<std::string> expected;
    for (const auto& [handler, dialog] : expectedDialogs())
        expected.insert(handler);
    EXPECT_EQ(bound, expected);

    // Two documents: the active one takes the markup.
    TEditForm* other = NewDocument();
    SetEditorText(*other, "other", 0, 0);
    TEditForm* document = NewDocument();
    ASSERT_EQ(frame->ActiveDocument(), document);
    CopyMenuScripts(program);
    int items = 0;
    for (const auto& [handler, dialogClass] : expectedDialogs()) {
        const std::vector<TTBCustomItem*> carriers = ItemsOf(handler);
        EXPECT_FALSE(carriers.empty()) << handler;
        for (TTBCustomItem* item : carriers) {
            SCOPED_TRACE(handler + " on " + item->Name());
            ++items;
            EXPECT_TRUE(item->Enabled());
            SetEditorText(*document, "", 0, 0);
            // The menu builder installs beside a saved page: the first
            // time, the untitled document is saved as it asks.
            if (handler == "dhtmlMenuBtnClick" && document->FileName == kUntitled) {
                user.AnswerMessage(mrYes);
                user.AnswerSaveFile(program.File("walk.htm"));
            }
            std::string made;
            TComponent* owner = nullptr;
            ASSERT_TRUE(Click(item, [&](TCustomForm& dialog) {
                made = dialog.ClassName();
                owner = dialog.Owner();
                if (made == "TCaracfrm") {
                    Press(dialog, "BitBtn1");
                    dialog.Close();
                } else if (made == "Tdhtmlmenufrm") {
                    Press(dialog, "okbtn");
                } else {
                    PressOk(dialog);
                }
            }));
            EXPECT_EQ(made, dialogClass);
            EXPECT_EQ(owner, frame);
            EXPECT_FALSE(EditorText(*document).empty()) << "OK wrote nothing";
            EXPECT_EQ(EditorText(*other), "other");
        }
    }
    // Each dialog command sits on a menu item, most on a button too.
    EXPECT_GE(items, static_cast<int>(expectedDialogs().size()) + 20);
    // No dialog stays behind.
    Application().ProcessMessages();
    for (int i = 0; i < frame->ComponentCount(); ++i)
        EXPECT_EQ(dynamic_cast<TCustomForm*>(frame->Components(i)), nullptr) << frame->Components(i)->ClassName();
}

TEST_F(ElementCommands, WithoutADocumentNoCommandOpensAnything) {
    for (const TElementCommand& command : ElementDialogCommands())
        for (TTBCustomItem* item : ItemsOf(command.Handler)) {
            EXPECT_FALSE(Click(item, [](TCustomForm& dialog) { dialog.Close(); })) << command.Handler;
            // The commands wait for a document: their items, or the
            // menus they sit in, are off.
            EXPECT_FALSE(reachable(item)) << command.Handler << " on " << item->Name();
        }
}

} // namespace
