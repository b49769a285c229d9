// A walk over the running main window's menus and toolbars.  For a
// document in the source view (fresh, then with a selection, an undo and
// a redo step and changes), in the design view, for no document, and for
// an open project, the
// enabled state of every item is compared with the state the commands
// document: the file, edit, view, option and insertion commands follow the
// document, the selection, the undo list and the modified state.  Then
// every enabled command is run once from a fresh state, as a click would,
// and must raise nothing and change something the user can see: the text,
// the selection, the windows, the bars, the settings, a dialog asked or a
// page handed to the desktop.  An item the commands enable that is
// disabled or bound to nothing fails the walk.  Every shortcut a menu shows
// is then typed as the user types it, with a document and without one: it
// must run the item that shows it and nothing else.

#include "app/EditForm.h"
#include "app/FrameForm.h"
#include "app/MainWindowItems.h"
#include "app/MDITab.h"
#include "app/Projects.h"
#include "tests/app/MainWindowTestSupport.h"

#include "editor/CodeGutter.h"
#include "editor/CodeMemo.h"
#include "platform/gfx/Clipboard.h"
#include "platform/ui/Application.h"
#include "platform/ui/ListView.h"
#include "platform/ui/Keys.h"
#include "platform/ui/ModalLoop.h"
#include "platform/ui/PageControls.h"
#include "platform/ui/Printers.h"
#include "platform/ui/Screen.h"
#include "platform/widgets/WidgetPeer.h"
#include "tests/platform/widgets/WidgetTestApp.h"
#include "tests/support/ScriptedUserInteraction.h"
#include "toolbars/TBItem.h"
#include "toolbars/TBToolbar.h"
#include "toolbars/themes/TBKToolbar.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QTimer>

#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <sstream>

namespace {

namespace fs = std::filesystem;

// The commands whose dialogs other parts of the program bring (the element
// dialogs, the special-characters window, the options dialog): they bind
// their own handlers.  Until then their items stay disabled; once bound
// they are checked and run like every other command.
const std::set<std::string> kBoundElsewhere = {
    "policebuttonClick",    "caracbuttonClick",   "specCaracBtnClick",     "hrbuttonClick",
    "Cadres3Click",         "cadrebuttonClick",   "metabuttonClick",       "bodybuttonClick",
    "commentbuttonClick",   "Tableaux4Click",     "tablobuttonClick",      "lienbuttonClick",
    "lienibuttonClick",     "ancrebuttonClick",   "mapbuttonClick",        "listbuttonClick",
    "formbutton1Click",     "scrolllistbuttonClick", "boxlistbuttonClick", "radiobuttonClick",
    "checkbuttonClick",     "hiddenbuttonClick",  "fileboxButtonClick",    "textboxbuttonClick",
    "btextboxbuttonClick",  "buttonbuttonClick",  "FormpicbuttonClick",    "imagebuttonClick",
    "java2buttonClick",     "embedbuttonClick",   "objectBtnClick",        "qtBtnClick",
    "realBtnClick",         "flashBtnClick",      "dhtmlMenuBtnClick",     "Prfrences1Click",
};

// One item of the tables with where it stands.
struct TWalkItem {
    const TMainItem* Entry;
    std::string Parent;
};

void collect(const std::vector<TMainItem>& entries, const std::string& parent, std::vector<TWalkItem>& out) {
    for (const TMainItem& entry : entries) {
        if (entry.Flags & (miSeparator | miRecentList))
            continue;
        out.push_back({&entry, parent});
        collect(entry.Items, entry.Name, out);
    }
}

std::vector<TWalkItem> allItems() {
    std::vector<TWalkItem> items;
    for (const TMainBar& bar : MainWindowBars())
        collect(bar.Items, bar.Name, items);
    return items;
}

// What the commands say of the document in front.
struct TState {
    bool Document = false;
    bool Selection = false;
    bool CanUndo = false;
    bool CanRedo = false;
    bool Modified = false;
    bool ProjectOpen = false;
    // The document shows its design page: only its file commands work.
    bool Design = false;
};

constexpr const char* kPage = "<HTML>\r\n<BODY>\r\nwalk text\r\n</BODY>\r\n";

const std::set<std::string> kSelectionItems = {"Copier1", "Couper1", "Supprimer2", "copyBtn", "cutBtn"};
const std::set<std::string> kUndoItems = {"Annuler1", "undoBtn"};
const std::set<std::string> kRedoItems = {"Refaire1", "redoBtn"};
const std::set<std::string> kSaveItems = {"Sauvegarder1", "saveBtn"};
const std::set<std::string> kProjectItems = {"saveProjetItem", "saveProjetAsItem", "closeprojetItem"};
const std::set<std::string> kDesignFileItems = {"closeBtn",         "closeallBtn", "saveallBtn",
                                                "Sauvegardertout2", "Fermertout2", "Fermer2"};

// The enabled state the commands give an item, once its menu was opened.
bool expectedEnabled(const TWalkItem& item, const TState& state) {
    const std::string& name = item.Entry->Name;
    if (state.Design) {
        // Save stays at hand (the view tells of no edit as it is made).
        if (kDesignFileItems.count(name) || kSaveItems.count(name))
            return true;
        const auto& documentItems = DocumentCommandItems();
        if (kSelectionItems.count(name) || kUndoItems.count(name) || kRedoItems.count(name) ||
            std::find(documentItems.begin(), documentItems.end(), name) != documentItems.end() ||
            item.Parent == "Insertion1")
            return false;
    }
    if (kSelectionItems.count(name))
        return state.Document && state.Selection;
    if (kUndoItems.count(name))
        return state.Document && state.CanUndo;
    if (kRedoItems.count(name))
        return state.Document && state.CanRedo;
    if (kSaveItems.count(name))
        return state.Document && state.Modified;
    if (kProjectItems.count(name))
        return state.ProjectOpen;
    const auto& documentItems = DocumentCommandItems();
    if (std::find(documentItems.begin(), documentItems.end(), name) != documentItems.end() ||
        item.Parent == "Insertion1")
        return state.Document;
    return true;
}

class MainWindowWalk : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* page : {"help/ondrill/index.htm", "help/html reference/index.html", "help/css/css.hlp",
                                 "help/ondrill/liens.htm"}) {
            fs::create_directories(fs::path(program.File(page)).parent_path());
            TTestProgramFolder::WriteFileBytes(program.File(page), "<HTML></HTML>");
        }
        fs::create_directories(program.File("templates"));
        TTestProgramFolder::WriteFileBytes(program.File("templates/blank.html"), "<HTML>\r\n</HTML>\r\n");
        TTestProgramFolder::WriteFileBytes(program.File("page.html"), kPage);
        Printer().SetOutputFileName(program.File("printed.pdf"));
        user.OnUnscripted = [this](const std::string& question) { unscripted.push_back(question); };
        frame = StartMainWindow();
    }
    void TearDown() override {
        FreeMainWindow();
        ClearQuitRequest();
        Printer().SetOutputFileName({});
    }

    // Closes every document as its close box does, its changes dropped.
    void closeDocuments() {
        for (int i = frame != nullptr ? frame->MDIChildCount() - 1 : -1; i >= 0; --i)
            if (auto* child = dynamic_cast<TEditForm*>(frame->MDIChildren(i))) {
                child->Editor->Modified = false;
                child->Close();
            }
        Application().ProcessMessages();
    }

    TEditForm* document() { return frame->ActiveDocument(); }
    TCodeMemo& editor() { return *document()->Editor; }

    // Opening a menu runs its handler, as the menu framework does before
    // it shows the menu.
    void openMenus() {
        for (const char* menu : {"Projet1", "Options1", "Insertion1", "Affichage1", "Barresdoutils1"})
            frame->Item(menu)->Click();
    }

    // Every item of the tables against the state the commands document.
    void checkItems(const TState& state, const std::string& when) {
        openMenus();
        int enabled = 0;
        for (const TWalkItem& item : allItems()) {
            const TMainItem& entry = *item.Entry;
            TTBCustomItem* made = frame->Item(entry.Name);
            ASSERT_NE(made, nullptr) << entry.Name;
            const bool submenu = (entry.Flags & miSubmenu) != 0;
            const bool elsewhere = kBoundElsewhere.count(entry.Handler) != 0;
            if (!submenu && !made->OnClick) {
                EXPECT_TRUE(elsewhere) << when << ": " << entry.Name << " (" << entry.Handler << ") is bound to nothing";
                EXPECT_FALSE(made->Enabled()) << when << ": " << entry.Name << " is enabled but bound to nothing";
                continue;
            }
            const bool expected = expectedEnabled(item, state);
            EXPECT_EQ(made->Enabled(), expected) << when << ": " << entry.Name << " (" << entry.Caption << ")";
            enabled += made->Enabled();
        }
        // A walk over nothing enabled proves nothing.
        EXPECT_GT(enabled, state.Document && !state.Design ? 100 : 40) << when;
        EXPECT_TRUE(frame->Item("openprojectBtn")->Enabled()) << when;
        for (const char* button : {"adddir2pmBtn", "addFile2pmBtn", "closeprojectBtn"})
            EXPECT_EQ(frame->Item(button)->Enabled(), state.ProjectOpen) << when << ": " << button;
    }

    // A named page with a selection, one undo and one redo step, changed.
    void busyDocument() {
        frame->OpenDocumentFile(program.File("page.html"));
        editor().SetSelStart(8);
        editor().SetSelText("x");
        frame->Item("Gras1")->Click();
        frame->Item("Italique1")->Click();
        frame->Item("Annuler1")->Click();
        // Four characters selected from the keyboard.
        editor().SetSelStart(16);
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(ClientWidgetOf(&editor()), Qt::Key_Right, Qt::ShiftModifier);
        Application().ProcessMessages();
        ASSERT_EQ(std::abs(editor().SelLength()), 4);
    }

    // What a user could see change.
    std::string fingerprint() {
        std::ostringstream out;
        out << frame->MDIChildCount() << "|" << Application().Terminated() << "|" << user.Calls.size() << "|"
            << modalForms.size() << "|" << Screen().FormCount() << "|" << Clipboard().AsText() << "|";
        if (TEditForm* active = document()) {
            TCodeMemo& memo = *active->Editor;
            out << active->Caption() << "|" << memo.Text() << "|" << memo.SelStart() << "," << memo.SelLength() << "|"
                << memo.Modified << memo.CanUndo() << memo.CanRedo() << memo.WordWrap() << "|"
                << memo.Options().Bits() << "|" << active->EditorGutter->Visible()
                << active->EditorGutter->LineNumbers() << "|" << active->FileName << "|";
        }
        for (const TMainBar& bar : MainWindowBars())
            out << frame->Bar(bar.Name)->Visible();
        out << frame->ToolsToolWindow->Visible() << "|";
        for (const TWalkItem& item : allItems())
            out << frame->Item(item.Entry->Name)->Checked();
        out << "|" << program.SettingsText() << "|" << frame->ProjectOpen << frame->ProjectFileName << "|"
            << frame->pmListView->Items().Count() << "|";
        std::error_code error;
        out << fs::exists(program.File("printed.pdf"), error) << "|"
            << TTestProgramFolder::ReadFileBytes(program.File("site.ond"));
        return out.str();
    }

    // Runs a command as a click does, closing a modal form it shows (and
    // noting it) from inside that form's loop.
    void run(TTBCustomItem* item) {
        runClosingModalForms([&] { item->Click(); });
    }

    // Every command item notes that it ran before it runs.
    void noteClicks() {
        for (const TWalkItem& item : allItems()) {
            TTBCustomItem* made = frame->Item(item.Entry->Name);
            if (!(item.Entry->Flags & miSubmenu) && made->OnClick)
                made->OnClick = [this, made, original = made->OnClick](TTBCustomItem* sender) {
                    clicked.push_back(made);
                    original(sender);
                };
        }
    }

    // An item a user can reach: itself and every menu on the way enabled.
    static bool reachable(TTBCustomItem* item) {
        for (; item != nullptr; item = item->Parent())
            if (!item->Enabled())
                return false;
        return true;
    }

    // The shortcut an item shows typed through the window system where the
    // keyboard is (the main window when no control has it): the item that
    // shows it, and only that, must run.  A control with the keyboard may
    // keep a key it handles itself (the source's Delete): then it must do
    // what the item does, which keptByControl is told of.
    void typeShownShortCut(TTBCustomItem* item, const std::string& name, const std::string& when,
                           std::function<void()> keptByControl = {}) {
        const std::string shown = item->ShortCutCaption();
        const TShortCut shortCut = TextToShortCut(shown);
        ASSERT_NE(shortCut, 0) << name << " shows " << shown;
        uint16_t code = 0;
        TShiftState shift = 0;
        ShortCutToKey(shortCut, code, shift);
        Qt::Key key = Qt::Key(code);
        if (code >= VK_F1 && code <= VK_F1 + 11)
            key = Qt::Key(Qt::Key_F1 + (code - VK_F1));
        else if (code == VK_DELETE)
            key = Qt::Key_Delete;
        else if (code == VK_INSERT)
            key = Qt::Key_Insert;
        ASSERT_TRUE(key == Qt::Key_Space || key == Qt::Key_Delete || key == Qt::Key_Insert ||
                    (key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_F1 && key <= Qt::Key_F12))
            << name << " shows " << shown;
        Qt::KeyboardModifiers modifiers;
        if (shift & ssShift)
            modifiers |= Qt::ShiftModifier;
        if (shift & ssCtrl)
            modifiers |= Qt::ControlModifier;
        if (shift & ssAlt)
            modifiers |= Qt::AltModifier;
        QWidget* target = QApplication::focusWidget();
        if (target == nullptr)
            target = ClientWidgetOf(frame);
        clicked.clear();
        ++typed;
        runClosingModalForms([&] { QTest::keyClick(target, key, modifiers); });
        if (clicked.empty() && keptByControl && QApplication::focusWidget() == target &&
            target != ClientWidgetOf(frame)) {
            keptByControl();
            return;
        }
        std::string ran;
        for (TTBCustomItem* item : clicked)
            ran += " " + item->Name();
        EXPECT_EQ(clicked, std::vector<TTBCustomItem*>{item})
            << when << ": " << name << " shows " << shown << ", which ran" << (ran.empty() ? " nothing" : ran);
    }

    void runClosingModalForms(const std::function<void()>& action) {
        QTimer::singleShot(0, [this] {
            for (int i = 0; i < Screen().FormCount(); ++i)
                if (TCustomForm* form = Screen().Forms(i); form->Modal()) {
                    modalForms.push_back(form->ClassName());
                    form->SetModalResult(mrCancel);
                    return;
                }
        });
        RunGuarded(action);
        Application().ProcessMessages();
    }

    TTestProgramFolder program;
    TScriptedUserInteraction user;
    std::vector<std::string> unscripted;
    std::vector<std::string> modalForms;
    std::vector<TTBCustomItem*> clicked;
    int typed = 0;
    Tframeform* frame = nullptr;
};

} // namespace

TEST_F(MainWindowWalk, EveryItemHasTheStateItsCommandDocuments) {
    TState none;
    checkItems(none, "no document");

    frame->Item("Nouveaustandard1")->Click();
    Application().ProcessMessages();
    ASSERT_NE(document(), nullptr);
    TState fresh;
    fresh.Document = true;
    checkItems(fresh, "a new document");

    busyDocument();
    TState busy = fresh;
    busy.Selection = busy.CanUndo = busy.CanRedo = busy.Modified = true;
    checkItems(busy, "a changed document with a selection");

    frame->LoadProject(program.File("site.ond"));
    busy.ProjectOpen = true;
    checkItems(busy, "a project open");

    // The user picks the design page.
    TEditForm* shown = document();
    bool allow = true;
    shown->PageControl1Changing(shown->PageControl1, allow);
    ASSERT_TRUE(allow);
    shown->PageControl1->SetActivePageIndex(1);
    shown->PageControl1Change(shown->PageControl1);
    Application().ProcessMessages();
    TState design = busy;
    design.Design = true;
    checkItems(design, "the design view");

    closeDocuments();
    TState closed;
    closed.ProjectOpen = true;
    checkItems(closed, "after the last document closed");
    EXPECT_EQ(user.Exceptions(), std::vector<std::string>{});
}

TEST_F(MainWindowWalk, EveryEnabledCommandRunsAndChangesWhatTheUserSees) {
    // The pane's buttons join the tables' items; Quit goes last.
    std::vector<TTBCustomItem*> commands;
    std::map<TTBCustomItem*, std::string> names;
    for (const TWalkItem& item : allItems()) {
        if (item.Entry->Flags & miSubmenu)
            continue;
        TTBCustomItem* made = frame->Item(item.Entry->Name);
        if (item.Entry->Name != "FileExitItem" && made->OnClick) {
            commands.push_back(made);
            names[made] = item.Entry->Name;
        }
    }
    for (const char* button : {"adddir2pmBtn", "addFile2pmBtn", "rmFromPmBtn", "openprojectBtn", "closeprojectBtn"}) {
        commands.push_back(frame->Item(button));
        names[frame->Item(button)] = button;
    }
    commands.push_back(frame->Item("FileExitItem"));
    names[frame->Item("FileExitItem")] = "FileExitItem";
    ASSERT_GT(commands.size(), 120u);
    noteClicks();

    // Without a document: each shortcut shown on an item the user can
    // reach, typed from a fresh state.
    for (TTBCustomItem* command : commands) {
        const std::string& name = names[command];
        closeDocuments();
        if (frame->ProjectOpen)
            frame->CloseProject();
        openMenus();
        if (name != "FileExitItem" && reachable(command) && !command->ShortCutCaption().empty())
            typeShownShortCut(command, name, "no document");
    }
    EXPECT_GT(typed, 5);

    int ran = 0;
    uintmax_t printedSize = 0;
    for (TTBCustomItem* command : commands) {
        const std::string& name = names[command];
        // A fresh state for each: one changed document with a selection,
        // a project with one row selected, a search text given.
        const auto freshState = [&](bool declineSaving) {
            closeDocuments();
            if (frame->ProjectOpen)
                frame->CloseProject();
            fs::remove(program.File("site.ond"));
            fs::remove(program.File("printed.pdf"));
            TTestProgramFolder::WriteFileBytes(program.File("page.html"), kPage);
            busyDocument();
            frame->LoadProject(program.File("site.ond"));
            frame->AddFileToProject(program.File("page.html"));
            frame->pmListView->SetItemIndex(0);
            frame->Projects().SelectionChanged();
            Clipboard().SetAsText("clipboard text");
            if (name == "Rpterrecherche1")
                document()->Rechercher1Click(nullptr);
            openMenus();
            // Closing asks to save the change: the walk declines.
            if (declineSaving && (name == "Fermer2" || name == "closeBtn" || name == "Fermertout2" ||
                                  name == "closeallBtn" || name == "FileExitItem"))
                user.AnswerMessage(mrNo);
        };
        // The shortcut the item shows, typed with the document in front.
        std::string typedOutcome;
        if (name != "FileExitItem" && !command->ShortCutCaption().empty()) {
            freshState(false);
            ASSERT_TRUE(reachable(command)) << name;
            typeShownShortCut(command, name, "a document", [&] { typedOutcome = fingerprint(); });
        }
        freshState(true);
        ASSERT_TRUE(command->Enabled()) << name << " is disabled in a state that enables it";

        const size_t exceptions = user.Exceptions().size();
        const std::string before = fingerprint();
        run(command);
        ++ran;
        EXPECT_EQ(user.Exceptions().size(), exceptions)
            << name << " raised " << (user.Exceptions().empty() ? "" : user.Exceptions().back());
        EXPECT_NE(fingerprint(), before) << name << " changed nothing the user can see";
        std::error_code noFile;
        if (const auto size = fs::file_size(program.File("printed.pdf"), noFile); !noFile)
            printedSize = std::max<uintmax_t>(printedSize, size);
        if (!typedOutcome.empty()) {
            EXPECT_EQ(fingerprint(), typedOutcome) << name << ": its key, kept by the control, did otherwise";
        }
        EXPECT_EQ(user.PendingAnswers(), 0u) << name;
    }
    EXPECT_EQ(ran, static_cast<int>(commands.size()));
    EXPECT_TRUE(Application().Terminated()) << "Quit ends the program";

    // What some of them showed: their own forms, the common dialogs, the
    // help pages, the printed pages.
    for (const char* form : {"Tnewfrm", "TAboutBox", "TPTFrmFolderBrowseDlg"})
        EXPECT_NE(std::find(modalForms.begin(), modalForms.end(), form), modalForms.end()) << form;
    std::set<std::string> opened;
    std::set<TScriptedUserInteraction::TKind> kinds;
    for (const auto& call : user.Calls) {
        kinds.insert(call.Kind);
        if (call.Kind == TScriptedUserInteraction::kOpenDocument)
            opened.insert(call.Text);
    }
    EXPECT_EQ(opened, (std::set<std::string>{program.File("help/ondrill/index.htm"),
                                             program.File("help/html reference/index.html"),
                                             program.File("help/css/css.hlp"), program.File("help/ondrill/liens.htm")}));
    for (auto kind : {TScriptedUserInteraction::kOpenFile, TScriptedUserInteraction::kSaveFile,
                      TScriptedUserInteraction::kColor, TScriptedUserInteraction::kPrinterSetup,
                      TScriptedUserInteraction::kFind, TScriptedUserInteraction::kReplace,
                      TScriptedUserInteraction::kOpenURL})
        EXPECT_TRUE(kinds.count(kind)) << "dialog kind " << kind;
    EXPECT_GT(printedSize, 1000u);
}

// The status bar shows an item's hint while the pointer rests on it: an
// item without a hint of its own shows its caption as a user reads it,
// without the marks of its access key.
TEST_F(MainWindowWalk, HintsTakenFromCaptionsShowNoAccessKeyMarks) {
    int checked = 0;
    std::function<void(const std::vector<TMainItem>&)> walk = [&](const std::vector<TMainItem>& entries) {
        for (const TMainItem& entry : entries) {
            walk(entry.Items);
            TTBCustomItem* item = entry.Name.empty() ? nullptr : frame->Item(entry.Name);
            if (item == nullptr || !entry.Hint.empty() || entry.Caption.find('&') == std::string::npos)
                continue;
            ++checked;
            std::string expected;
            // A single "&" marks the next character; "&&" stands for "&".
            for (size_t i = 0; i < entry.Caption.size(); ++i) {
                if (entry.Caption[i] == '&' && ++i == entry.Caption.size())
                    break;
                expected += entry.Caption[i];
            }
            EXPECT_EQ(item->Hint, expected) << entry.Name;
        }
    };
    for (const TMainBar& bar : MainWindowBars())
        walk(bar.Items);
    EXPECT_GT(checked, 10);
}
