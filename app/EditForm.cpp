#include "app/EditForm.h"

#include "app/ApplicationClasses.h"
#include "app/DocumentTools.h"

#include "app/FrameForm.h"
#include "app/MainWindowItems.h"
#include "app/MDITab.h"
#include "app/SettingsFile.h"
#include "app/SyntaxColors.h"
#include "app/ToolbarIcons.h"

#include "editor/CodeGutter.h"
#include "editor/CodeMemo.h"
#include "editor/highlight/HtmlHighlighter.h"
#include "platform/base/Exceptions.h"
#include "platform/gfx/ImageList.h"
#include "platform/shellns/FileNames.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/PageControls.h"
#include "platform/ui/Screen.h"
#include "platform/ui/StatusBar.h"
#include "toolbars/TBMRUList.h"
#include "platform/ui/FormBuilder.h"
#include "platform/ui/Keys.h"
#include "platform/ui/PopupMenu.h"
#include "platform/ui/UserInteraction.h"
#include "platform/webview/DHTMLEdit.h"
#include "platform/webview/WebBrowser.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>

namespace {

constexpr int kSourcePage = 0;
constexpr int kDesignPage = 1;
constexpr int kPreviewPage = 2;

// The maker's page named in a new document's comment.
constexpr const char* kMakerAddress = "https://ondrill.korvane.example/";

// The status bar's word while the web engine loads a document's page.
constexpr const char* kLoadingText = "Loading the page...";

// Documents whose design view is loading: the hourglass shows while there
// is one, and the pointer it replaced comes back after the last.
int loadingDocuments = 0;
int cursorBeforeLoading = crDefault;

// Runs work whose failure the user need not hear of (the view switch
// goes on).
template <class TWork> void quietly(TWork&& work) {
    try {
        work();
    } catch (...) {
    }
}

template <class T> T* found(TComponent& owner, const char* name) {
    auto* component = dynamic_cast<T*>(owner.FindComponent(name));
    if (component == nullptr)
        throw EComponentError(std::string("Component ") + name + " not found");
    return component;
}

std::string skeleton() {
    return std::string("<HTML>\r\n<!-- Created with Korvane Ondrill 3.2 * ") + kMakerAddress +
           " -->\r\n<HEAD>\r\n<TITLE></TITLE>\r\n<META NAME=\"Generator\" CONTENT=\"Korvane Ondrill 3.2\">\r\n"
           "<META NAME=\"Description\" CONTENT=\"\">\r\n<META NAME=\"Keywords\" CONTENT=\"\">\r\n"
           "<META NAME=\"Author\" CONTENT=\"\">\r\n</HEAD>\r\n<BODY> \r\n\r\n\r\n\r\n\r\n</BODY>\r\n</HTML>";
}

std::string folderOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The web views' address of a file or folder: "file://" and the path as
// it stands, which the views take literally (a blank, "#" or "%" in a
// folder's name is part of the name, not an escape).
std::string fileAddress(const std::string& path) { return "file://" + path; }

std::string upperCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

// Replaces "%s" in a message by a value.
std::string format(std::string text, const std::string& value) {
    size_t at = text.find("%s");
    if (at != std::string::npos)
        text.replace(at, 2, value);
    return text;
}

const TFormDescription& description() {
    static const TFormDescription form{
        .Components = {
            {.Name = "PageControl1", .ClassName = "TPageControl",
             .Properties = {{"Align", std::string("alClient")}, {"TabPosition", std::string("tpBottom")},
                            {"HotTrack", true}},
             .Events = {{"OnChanging", "PageControl1Changing"}, {"OnChange", "PageControl1Change"}}},
            {.Name = "edittab", .ClassName = "TTabSheet", .Parent = "PageControl1",
             .Properties = {{"Caption", std::string("Edit")}, {"ImageIndex", 0}}},
            {.Name = "designTab", .ClassName = "TTabSheet", .Parent = "PageControl1",
             .Properties = {{"Caption", std::string("Design")}, {"ImageIndex", 2}}},
            {.Name = "previewtab", .ClassName = "TTabSheet", .Parent = "PageControl1",
             .Properties = {{"Caption", std::string("Preview")}, {"ImageIndex", 1}}},
            {.Name = "EditorGutter", .ClassName = "TCodeGutter", .Parent = "edittab", .Bounds = Bounds(0, 0, 30, 100),
             .Properties = {{"Align", std::string("alLeft")}, {"Color", std::string("clGray")},
                            {"Font.Name", std::string("Times New Roman")}, {"Font.Color", std::string("clWhite")}}},
            {.Name = "Editor", .ClassName = "TCodeMemo", .Parent = "edittab",
             .Properties = {{"Align", std::string("alClient")}, {"Font.Name", std::string("Courier New")},
                            {"Font.Height", -12}, {"Color", std::string("clWhite")},
                            {"ScrollBars", std::string("ssBoth")}, {"WordWrap", false}, {"Justified", true},
                            {"LeftMargin", 2}, {"TabStops", 3}, {"CaretWidth", 2}, {"HideSelection", false},
                            {"EnableHotKeys", false}, {"StaticFormat", false}, {"UndoMaxSpace", 65536}},
             .Events = {{"OnChange", "EditorChange"}, {"OnSelMove", "EditorSelMove"}, {"OnClick", "editorClick"},
                        {"OnEnter", "EditorEnter"}, {"OnKeyUp", "EditorKeyUp"}}},
            {.Name = "dhtmledit", .ClassName = "TDHTMLEdit", .Parent = "designTab",
             .Properties = {{"Align", std::string("alClient")}},
             .Events = {{"OnDocumentComplete", "dhtmleditDocumentComplete"}}},
            {.Name = "WebBrowser1", .ClassName = "TWebBrowser", .Parent = "previewtab",
             .Properties = {{"Align", std::string("alClient")}}},
        }};
    return form;
}

} // namespace

TEditForm::TEditForm(TComponent* owner) : TForm(owner) {
    RegisterApplicationClasses();
    SetCaption(kUntitled);
    // Restored, the document windows cascade in the main window's area.
    SetPosition(poDefault);
    SetFormStyle(fsMDIChild);
    SetWindowState(wsMaximized);
    THandlerTable handlers;
    handlers.Add("PageControl1Changing", this, &TEditForm::PageControl1Changing);
    handlers.Add("PageControl1Change", this, &TEditForm::PageControl1Change);
    handlers.Add("EditorChange", this, &TEditForm::EditorChange);
    handlers.Add("EditorSelMove", this, &TEditForm::EditorSelMove);
    handlers.Add("editorClick", this, &TEditForm::editorClick);
    handlers.Add("EditorEnter", this, &TEditForm::EditorEnter);
    handlers.Add("EditorKeyUp", this, &TEditForm::EditorKeyUp);
    handlers.Add("dhtmleditDocumentComplete", this, &TEditForm::dhtmleditDocumentComplete);
    BuildForm(*this, description(), handlers);

    PageControl1 = found<TPageControl>(*this, "PageControl1");
    edittab = found<TTabSheet>(*this, "edittab");
    designTab = found<TTabSheet>(*this, "designTab");
    previewtab = found<TTabSheet>(*this, "previewtab");
    EditorGutter = found<TCodeGutter>(*this, "EditorGutter");
    Editor = found<TCodeMemo>(*this, "Editor");
    dhtmledit = found<TDHTMLEdit>(*this, "dhtmledit");
    WebBrowser1 = found<TWebBrowser>(*this, "WebBrowser1");
    // The tabs' pictures.
    ImageList1 = new TImageList(this);
    ImageList1->SetName("ImageList1");
    DrawPageTabIcons(*ImageList1);
    PageControl1->SetImages(ImageList1);
    EditorGutter->SetCodeMemo(Editor);
    Editor->SetSeparators(std::string("\t \"#,.:;<=>"));
    Editor->SetOptions({pmoKeepColumnPos, pmoPutExtraSpaces, pmoWrapCaret, pmoInsertKeyActive, pmoWideOverwriteCaret,
                        pmoAutoScrollBars, pmoAutoIndent, pmoBackIndent, pmoBlockSelection});
    Editor->SetHighlighter(&*frameform->htmlcoder);

    // The editor's context menu.
    PopupMenu1 = new TPopupMenu(this);
    PopupMenu1->SetName("PopupMenu1");
    auto item = [this](const char* name, const char* caption, TNotifyEvent click, bool enabled = true) {
        TMenuItem* menuItem = PopupMenu1->Add(caption, std::move(click));
        menuItem->SetName(name);
        menuItem->Enabled = enabled;
        return menuItem;
    };
    Cut2 = item("Cut2", "&Cut\tCtrl+X", [this](TPersistent* s) { EditCutItemClick(s); }, false);
    Copy2 = item("Copy2", "Cop&y\tCtrl+C", [this](TPersistent* s) { EditCopyItemClick(s); }, false);
    Paste2 = item("Paste2", "&Paste\tCtrl+V", [this](TPersistent*) { Editor->PasteFromClipboard(); });
    Supprimer2 = item("Supprimer2", "Delete", [this](TPersistent* s) { Supprimer1Click(s); }, false);
    PopupMenu1->Add("-");
    Slectionnertout2 = item("Slectionnertout2", "&Select all", [this](TPersistent* s) { Slectionnertout1Click(s); });
    PopupMenu1->Add("-");
    // The quick-code dialog comes with the quick-code pane.
    createOqcItem = item("createOqcItem", "Create a Ondrill Quick Code", {}, false);
    PopupMenu1->Add("-");
    encodingItem = item("encodingItem", "", [this](TPersistent*) { SwitchEncoding(); });
    PopupMenu1->OnPopup = [this](TPersistent* s) { PopupMenu1Popup(s); };
    Editor->SetPopupMenu(PopupMenu1);
    // The source takes the keyboard when the window is made and shown.
    SetActiveControl(Editor);

    text_ = std::make_unique<TDocumentText>(*Editor);
    link_ = std::make_unique<TDesignLink>(*dhtmledit, *text_);
    // New documents are UTF-8; a loaded one takes the encoding its page asks for.
    Editor->SetEncoding(teUtf8);
    text_->SetText(skeleton());
    Editor->Modified = false;
    AttachDocumentTools(*this);

    OnActivate = [this](TPersistent* s) { FormActivate(s); };
    OnCloseQuery = [this](TPersistent* s, bool& canClose) { FormCloseQuery(s, canClose); };
    OnClose = [this](TPersistent* s, TCloseAction& action) { FormClose(s, action); };
    OnDestroy = [this](TPersistent* s) { FormDestroy(s); };
    FormCreate(this);
}

TEditForm::~TEditForm() {
    // The destruction handlers (the tab strip's, then FormDestroy) need
    // this window whole: they run before its members go, once, however the
    // window is freed.
    BeforeDestruction();
    // The text and the link watch the editor and the design view, which
    // the form frees after this.
    link_.reset();
    text_.reset();
}

bool TEditForm::isActive() const { return frameform != nullptr && frameform->ActiveMDIChild() == this; }

// ---- Creation and settings ----------------------------------------------------

void TEditForm::FormCreate(TPersistent*) {
    FileName = kUntitled;
    SetCaption(std::string(kUntitled) + std::to_string(frameform->MDIChildCount()) + ".html");
    Editor->Modified = false;
    ReadFont();
    SetModifiedState(false);
    enablebtns();
    ShowStatus();
}

void TEditForm::ReadFont() {
    Editor->SetWordWrap(frameform->OptionChecked("wordwrapitem"));
    TCodeMemoOptions options = Editor->Options();
    frameform->OptionChecked("autoindentitem") ? options.Include(pmoAutoIndent) : options.Exclude(pmoAutoIndent);
    frameform->OptionChecked("backindentitem") ? options.Include(pmoBackIndent) : options.Exclude(pmoBackIndent);
    Editor->SetOptions(options);

    auto settings = OpenSettings();
    TFont& font = Editor->Font();
    font.SetName(settings->ReadString(settings::Editor, "name", font.Name()));
    font.SetSize(settings->ReadInteger(settings::Editor, "size", font.Size()));
    font.SetColor(settings->ReadInteger(settings::Editor, "fcolor", font.Color()));
    Editor->SetColor(settings->ReadInteger(settings::Editor, "color", Editor->Color()));
    const std::string colorer = settings->ReadString(settings::Editor, "colorer", "default");
    EditorGutter->SetVisible(settings->ReadBool(settings::Editor, "gutter", true));
    EditorGutter->SetLineNumbers(settings->ReadBool(settings::Editor, "gutternumbers", true));
    ApplyHighlighting(*Editor, *frameform->htmlcoder, colorer, *settings);
}

// ---- Loading and saving ----------------------------------------------------------

void TEditForm::LoadFile(const std::string& path) {
    text_->LoadFromFile(path);
    FileName = path;
    SetCaption(DisplayTextOfName(FileNameOf(path)));
    Editor->SetSelStart(0);
    Editor->Modified = false;
    ShowEncoding();
}

void TEditForm::FileSaveItemClick(TPersistent* sender) {
    if (FileName == kUntitled) {
        FileSaveAsitemClick(sender);
        return;
    }
    // Edits made in the design view are part of what is saved.
    if (PageControl1->ActivePageIndex() == kDesignPage)
        link_->TakeBack();
    text_->SaveToFile(FileName);
    Editor->Modified = false;
    SetModifiedState(false);
}

void TEditForm::FileSaveAsitemClick(TPersistent* sender) {
    TFileDialogRequest request;
    request.Filter = "All Web Files|*.html;*.htm;*.shtml;*.js;*.asp|HTML Files (*.html,*.htm,*.shtml)|*.html;*.htm;"
                     "*.shtml|Javascripts Files (*.js)|*.js|ASP  Files(*.asp)|*.asp|CSS Files (*.css)|*.css|Text "
                     "Files(*.txt,*.doc;*.rtf)|*.txt;*.doc;*.rtf|All Files|*.*";
    request.DefaultExt = "html";
    request.FileName = FileName;
    // The question below is the program's own.
    request.OverwritePrompt = false;
    TFileDialogResult chosen = UserInteraction().SaveFileDialog(request);
    if (!chosen.Accepted || chosen.FileNames.empty())
        return;
    const std::string name = chosen.FileNames.front();
    std::error_code error;
    if (std::filesystem::exists(name, error) &&
        UserInteraction().MessageDlg(format("File %s already exists. Overwrite ?", DisplayTextOfName(name)),
                                     mtConfirmation, mbYesNo) != mrYes)
        return;
    // The new name holds only once the file is written: a save that fails
    // leaves the document under its old name.
    const std::string previous = FileName;
    FileName = name;
    try {
        FileSaveItemClick(sender);
    } catch (...) {
        FileName = previous;
        throw;
    }
    SetCaption(DisplayTextOfName(FileNameOf(name)));
    TMDITab& tabs = *frameform->MDINav;
    tabs.SetTabCaption(tabs.IndexOfForm(this), Caption());
}

void TEditForm::SetModifiedState(bool modified) {
    if (!isActive() && frameform->ActiveMDIChild() != nullptr)
        return;
    // The design view tells of no edit as it is made: Save stays at hand
    // there, and takes the page back first.
    frameform->EnableItems({"saveBtn", "Sauvegarder1"},
                           modified || PageControl1->ActivePageIndex() == kDesignPage);
    frameform->StatusBar1->Panels().Items(3)->SetText(modified ? "Modified" : "");
}

// ---- Closing -------------------------------------------------------------------------

bool TEditForm::confirmSave() {
    if (PageControl1->ActivePageIndex() == kDesignPage)
        link_->TakeBack();
    if (!Editor->Modified)
        return true;
    // Closing all or quitting asks about each document in turn: the one
    // asked about comes to the front, so the user sees which page it is.
    if (!isActive())
        quietly([&] { Show(); });
    // A page never saved is named as its tab names it ("Untitled2.html").
    const std::string name = FileName == kUntitled ? Caption() : DisplayTextOfName(FileName);
    int answer = UserInteraction().MessageDlg(format("Save changes to %s?", name), mtConfirmation, mbYesNoCancel);
    if (answer == mrNo)
        return true;
    if (answer != mrYes)
        return false;
    try {
        FileSaveItemClick(this);
    } catch (...) {
        ShowCurrentException();
        return false;
    }
    // A Save As cancelled or refused keeps the window and its changes.
    return !Editor->Modified;
}

void TEditForm::ShowStatus() {
    SetModifiedState(Editor->Modified);
    EditorSelMove(this);
    ShowEncoding();
    if (isActive())
        frameform->StatusBar1->Panels().Items(kInsertPanel)->SetText("Insert");
    showLoading();
}

void TEditForm::FormCloseQuery(TPersistent*, bool& canClose) { canClose = confirmSave(); }

void TEditForm::FormClose(TPersistent*, TCloseAction& action) {
    action = caFree;
    // A document closed behind the one in front leaves that one's commands
    // and status alone; the one in front hands them to the next.
    if (!isActive())
        return;
    SetModifiedState(false);
    disablebtns();
    frameform->ClearDocumentStatus();
}

void TEditForm::FormDestroy(TPersistent*) {
    // A page still loading into a window that goes never completes.
    setLoading(false);
    if (FileName != kUntitled && frameform != nullptr)
        frameform->mrulist->Add(FileName);
    // Only this window's editor leaves the shared highlighter.
    Editor->SetHighlighter(nullptr);
    ClearTagInspector(*this);
}

void TEditForm::Fermer1Click(TPersistent*) { Close(); }

void TEditForm::Fermertout1Click(TPersistent*) {
    for (int i = frameform->MDIChildCount() - 1; i >= 0; --i)
        frameform->MDIChildren(i)->Close();
}

void TEditForm::Sauvegardertout1Click(TPersistent* sender) {
    // A document that can not be written stops nothing: the others are
    // saved all the same, and every failure is told at the end, at once.
    std::string failures;
    for (int i = frameform->MDIChildCount() - 1; i >= 0; --i) {
        auto* document = dynamic_cast<TEditForm*>(frameform->MDIChildren(i));
        if (document == nullptr)
            continue;
        try {
            document->FileSaveItemClick(sender);
        } catch (const std::exception& error) {
            failures += "\n" + std::string(error.what());
        }
    }
    if (!failures.empty())
        throw EWriteError("Some documents could not be saved:" + failures);
}

// ---- Editing commands ------------------------------------------------------------------

void TEditForm::EditCutItemClick(TPersistent*) { Editor->CutToClipboard(); }
void TEditForm::EditCopyItemClick(TPersistent*) { Editor->CopyToClipboard(); }
void TEditForm::EditPasteItemClick(TPersistent*) {
    if (frameform->MDIChildCount() > 0)
        Editor->PasteFromClipboard();
}
void TEditForm::EditUndoItemClick(TPersistent*) { Editor->Undo(); }
void TEditForm::redoitemClick(TPersistent*) { Editor->Redo(); }
void TEditForm::Slectionnertout1Click(TPersistent*) { Editor->SelectAll(); }
void TEditForm::Supprimer1Click(TPersistent*) { SendMessage(Editor, WM_KEYDOWN, VK_DELETE, 0); }

void TEditForm::PopupMenu1Popup(TPersistent*) {
    // The quick-code dialog comes with the quick-code pane: without its
    // handler the item stays disabled.
    // A selection made towards the end has the caret there and a negative
    // length: two characters either way make a quick code.
    createOqcItem->Enabled = createOqcItem->OnClick && std::abs(Editor->SelLength()) >= 2;
    encodingItem->Caption = std::string("Switch Encoding to ") +
                            TextEncodingName(Editor->Encoding() == teUtf8 ? teAnsi : teUtf8);
}

void TEditForm::SwitchEncoding() {
    Editor->SetEncoding(Editor->Encoding() == teUtf8 ? teAnsi : teUtf8);
    // The caret keeps its byte, but its column counts other characters.
    EditorSelMove(this);
    ShowEncoding();
}

void TEditForm::ShowEncoding() {
    if (isActive())
        frameform->StatusBar1->Panels().Items(kEncodingPanel)->SetText(TextEncodingName(Editor->Encoding()));
}

// ---- Views -----------------------------------------------------------------------------

void TEditForm::PageControl1Changing(TPersistent*, bool& allowChange) {
    switch (PageControl1->ActivePageIndex()) {
    case kSourcePage:
        quietly([&] {
            const std::string base = FileName == kUntitled ? "file://" : fileAddress(folderOf(FileName));
            link_->Show(base);
            setLoading(true);
        });
        break;
    case kDesignPage:
        if (!link_->Ready()) {
            allowChange = false;
            return;
        }
        link_->TakeBack();
        break;
    default:
        break;
    }
}

void TEditForm::InsertIntoShownPage(const std::string& text) {
    // The source is hidden behind the design view, whose page replaces it
    // once edited there: text put into the source now would be lost.
    if (PageControl1->ActivePageIndex() == kDesignPage)
        link_->Insert(text);
    else
        ReplaceSelection(*this, text);
}

void TEditForm::dhtmleditDocumentComplete(TPersistent*) {
    link_->DocumentComplete();
    setLoading(false);
}

void TEditForm::setLoading(bool loading) {
    if (loading == loading_)
        return;
    loading_ = loading;
    // The engine loads in a process of its own: the window answers all
    // the while, and the user sees that the page is on its way.
    if (loading && loadingDocuments++ == 0) {
        cursorBeforeLoading = Screen().Cursor();
        Screen().SetCursor(crHourGlass);
    } else if (!loading && --loadingDocuments == 0) {
        Screen().SetCursor(cursorBeforeLoading);
    }
    showLoading();
}

void TEditForm::showLoading() {
    if (!isActive())
        return;
    TStatusBar* status = frameform->StatusBar1;
    status->SetSimpleText(kLoadingText);
    status->SetSimplePanel(loading_);
}

void TEditForm::returnToSource() {
    PageControl1->SetActivePageIndex(kSourcePage);
    focusPage();
    enablebtns();
    frameform->SetTagInspectorEnabled(true);
}

void TEditForm::PageControl1Change(TPersistent*) {
    switch (PageControl1->ActivePageIndex()) {
    case kSourcePage:
        enablebtns();
        frameform->SetTagInspectorEnabled(true);
        preview_.Remove();
        focusPage();
        break;
    case kDesignPage: {
        enablefilebtns();
        frameform->SetTagInspectorEnabled(false);
        // The page takes the keyboard now: the first click into it then
        // places the caret where the typing goes, instead of giving the
        // window back its focus.
        focusPage();
        const std::string upper = upperCase(Editor->Text());
        if (upper.find("<FRAMESET") != std::string::npos || upper.find("<FRAME") != std::string::npos ||
            upper.find("<IFRAME") != std::string::npos) {
            UserInteraction().MessageDlg("It is impossible to edit pages with frames.", mtWarning, mbOKOnly);
            returnToSource();
        }
        break;
    }
    case kPreviewPage:
        frameform->SetTagInspectorEnabled(false);
        enablefilebtns();
        if (FileName == kUntitled) {
            int answer = UserInteraction().MessageDlg(
                "You need to first save this document before you can see it. Would you like to save it now?",
                mtConfirmation, mbYesNo);
            if (answer != mrYes) {
                returnToSource();
                return;
            }
            FileSaveItemClick(this);
            if (FileName == kUntitled) {
                returnToSource();
                return;
            }
        }
        // A folder that takes no new file has no preview to show: the
        // source stays, and the reason is told as the outside browsers'
        // button tells it.
        try {
            preview_.Write(FileName, text_->Bytes());
        } catch (...) {
            returnToSource();
            throw;
        }
        WebBrowser1->SetVisible(true);
        WebBrowser1->SetTextEncoding(Editor->Encoding());
        focusPage();
        quietly([&] { WebBrowser1->Navigate(fileAddress(preview_.Written())); });
        break;
    default:
        break;
    }
}

// ---- Activation and command states ---------------------------------------------------

void TEditForm::focusPage() {
    TWinControl* view = nullptr;
    switch (PageControl1->ActivePageIndex()) {
    case kSourcePage: view = Editor; break;
    case kDesignPage: view = dhtmledit; break;
    case kPreviewPage: view = WebBrowser1; break;
    default: break;
    }
    quietly([&] {
        if (view != nullptr && view->CanFocus())
            view->SetFocus();
    });
}

void TEditForm::FormActivate(TPersistent*) {
    // The view of the page shown takes the keyboard (the editor's
    // selection stays as it was).
    focusPage();
    if (!frameform->ItemEnabled("boldBtn"))
        enablebtns();
    if (Editor->Modified)
        frameform->EnableItems({"saveallBtn", "Sauvegardertout2"}, true);
    // The status bar and the save commands tell this document's state, not
    // the last one's.
    ShowStatus();
    if (PageControl1->ActivePageIndex() > kSourcePage) {
        frameform->SetTagInspectorEnabled(false);
        enablefilebtns();
    }
}

void TEditForm::UpdateMenuItems() {
    const bool selection = Editor->SelLength() != 0;
    Cut2->Enabled = selection;
    Copy2->Enabled = selection;
    Supprimer2->Enabled = selection;
    if (!isActive())
        return;
    frameform->EnableItems({"Copier1", "Couper1", "Supprimer2", "copyBtn", "cutBtn"}, selection);
    frameform->EnableItems({"Refaire1", "redoBtn"}, Editor->CanRedo());
    frameform->EnableItems({"Annuler1", "undoBtn"}, Editor->CanUndo());
}

void TEditForm::enablebtns() {
    frameform->EnableItems(DocumentCommandItems(), true);
    Supprimer2->Enabled = true;
    // Save, among them, follows the document's changes.
    SetModifiedState(Editor->Modified);
}

void TEditForm::disablebtns() {
    frameform->EnableItems(DocumentCommandItems(), false);
    frameform->EnableItems(SelectionAndUndoItems(), false);
    Cut2->Enabled = false;
    Copy2->Enabled = false;
    Supprimer2->Enabled = false;
}

void TEditForm::enablefilebtns() {
    disablebtns();
    frameform->EnableItems({"closeBtn", "closeallBtn", "saveallBtn", "Sauvegardertout2", "Fermertout2", "Fermer2"},
                           true);
    SetModifiedState(Editor->Modified);
}

// ---- Editor events ---------------------------------------------------------------------

void TEditForm::EditorChange(TPersistent*) {
    if (!isActive())
        return;
    SetModifiedState(Editor->Modified);
    frameform->EnableItems({"Annuler1", "undoBtn"}, Editor->CanUndo());
    frameform->EnableItems({"Refaire1", "redoBtn"}, Editor->CanRedo());
    frameform->EnableItems({"saveallBtn", "Sauvegardertout2"}, true);
    UpdateMenuItems();
}

void TEditForm::EditorSelMove(TPersistent*) {
    UpdateMenuItems();
    showCaretPosition();
}

void TEditForm::showCaretPosition() {
    if (!isActive())
        return;
    shownCaret_ = {Editor->SelStart(), Editor->VirtualColumns()};
    TStatusBar* status = frameform->StatusBar1;
    status->Panels().Items(0)->SetText("Offset: " + std::to_string(Editor->SelStart()));
    status->Panels().Items(1)->SetText("Line: " + std::to_string(Editor->SelLine() + 1) +
                              "    Col: " + std::to_string(Editor->SelCharacterColumn() + 1));
}

void TEditForm::showMovedColumn() {
    // Measuring the column costs as much as the line is long: only when the
    // caret moved without the editor saying so.
    if (shownCaret_ != std::pair{Editor->SelStart(), Editor->VirtualColumns()})
        showCaretPosition();
}

void TEditForm::editorClick(TPersistent*) {
    UpdateMenuItems();
    // A click past the end of the line the caret already ends moves the
    // caret's column only, which the editor does not report as a move.
    showMovedColumn();
    UpdateTagInfo(*this);
}

void TEditForm::EditorEnter(TPersistent*) {
    UpdateMenuItems();
    UpdateTagInfo(*this);
}

void TEditForm::EditorKeyUp(TPersistent*, uint16_t& key, TShiftState) {
    UpdateMenuItems();
    // End (or Home, an arrow) from beyond the end of a line brings the
    // caret back onto the text at the same offset: only its column moved.
    if (KeyMovesCaret(key))
        showMovedColumn();
    UpdateTagInfoAfterKey(*this, key);
}
