#pragma once
// TEditForm: the document window, one MDI child of the main window per
// open document.  It holds the source editor with its gutter and, on a
// page control, the design view and the preview of the same page; it owns
// the document's file name, loads and saves the text byte for byte, asks
// before losing changes, and keeps the main window's commands and status
// bar in step with the active document.

#include "app/DesignLink.h"
#include "app/DocumentText.h"
#include "app/PreviewFile.h"

#include "platform/ui/Forms.h"

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class TCodeGutter;
class TCodeMemo;
class TDHTMLEdit;
class TImageList;
class TMenuItem;
class TPageControl;
class TPopupMenu;
class TTabSheet;
class TWebBrowser;

// The file name of a document that was never saved.
inline constexpr const char* kUntitled = "Untitled";

class TEditForm : public TForm {
public:
    explicit TEditForm(TComponent* owner);
    ~TEditForm() override;
    std::string ClassName() const override { return "TEditForm"; }

    // ---- Components (made from the form's description) ----
    TPageControl* PageControl1 = nullptr;
    TTabSheet* edittab = nullptr;
    TTabSheet* designTab = nullptr;
    TTabSheet* previewtab = nullptr;
    TCodeGutter* EditorGutter = nullptr;
    TCodeMemo* Editor = nullptr;
    TDHTMLEdit* dhtmledit = nullptr;
    TWebBrowser* WebBrowser1 = nullptr;
    TPopupMenu* PopupMenu1 = nullptr;
    TImageList* ImageList1 = nullptr; // the page tabs' pictures
    TMenuItem* Cut2 = nullptr;
    TMenuItem* Copy2 = nullptr;
    TMenuItem* Paste2 = nullptr;
    TMenuItem* Supprimer2 = nullptr;
    TMenuItem* Slectionnertout2 = nullptr;
    TMenuItem* createOqcItem = nullptr;
    TMenuItem* encodingItem = nullptr;

    // ---- State that others read ----
    // The document's full path; "Untitled" while it was never saved.
    std::string FileName = kUntitled;
    bool TagInspectorEdited = false;
    std::string CurrentTagText;
    std::string TagTail;
    // Puts the program's text where the user edits the page: in place of
    // the source's selection (ReplaceSelection), or, while the design page
    // shows, at the design view's selection, from where it comes back to
    // the source with the view's other edits.
    void InsertIntoShownPage(const std::string& text);
    // The design view has loaded what it was given.
    bool DesignReady() const { return link_->Ready(); }
    TDocumentText& Text() { return *text_; }
    // The copy of the page beside it that the previews show (the preview
    // page and the outside browsers); it goes when the source page is
    // shown again.
    TPreviewFile& PreviewCopy() { return preview_; }

    // ---- Operations ----
    // Reads a file: name, caption, text, caret at the start, not modified.
    // The window is unchanged when the file can not be read.
    void LoadFile(const std::string& path);
    void FileSaveItemClick(TPersistent* sender);
    void FileSaveAsitemClick(TPersistent* sender);
    // The save commands and the "Modified" panel follow the flag.
    void SetModifiedState(bool modified);
    // The encoding command: the document is read in the other encoding,
    // every byte as it was.
    void SwitchEncoding();
    // The status bar's encoding panel shows the document's, when active.
    void ShowEncoding();
    // Writes its modified state, caret and encoding into the status bar.
    void ShowStatus();
    void Fermer1Click(TPersistent* sender);
    void Fermertout1Click(TPersistent* sender);
    void Sauvegardertout1Click(TPersistent* sender);
    void EditCutItemClick(TPersistent* sender);
    void EditCopyItemClick(TPersistent* sender);
    void EditPasteItemClick(TPersistent* sender);
    void EditUndoItemClick(TPersistent* sender);
    void redoitemClick(TPersistent* sender);
    void Slectionnertout1Click(TPersistent* sender);
    void Supprimer1Click(TPersistent* sender);
    // Find, replace, character conversion and printing (EditFormCommands.cpp).
    void Rechercher1Click(TPersistent* sender);
    void Rpter1Click(TPersistent* sender);
    void Remplacer1Click(TPersistent* sender);
    void rephtmlcaracitemClick(TPersistent* sender);
    void Configurerlimprimante1Click(TPersistent* sender);
    void FilePrintSetupItemClick(TPersistent* sender);
    // The editing settings: options from the main window, font, colours,
    // gutter and highlighting from the settings file.
    void ReadFont();
    void disablebtns();
    void enablebtns();
    void enablefilebtns();
    void UpdateMenuItems();

    // ---- Handlers, bound by name ----
    void FormCreate(TPersistent* sender);
    void FormActivate(TPersistent* sender);
    void FormCloseQuery(TPersistent* sender, bool& canClose);
    void FormClose(TPersistent* sender, TCloseAction& action);
    void FormDestroy(TPersistent* sender);
    void PageControl1Changing(TPersistent* sender, bool& allowChange);
    void PageControl1Change(TPersistent* sender);
    void dhtmleditDocumentComplete(TPersistent* sender);
    void EditorChange(TPersistent* sender);
    void EditorSelMove(TPersistent* sender);
    void editorClick(TPersistent* sender);
    void EditorEnter(TPersistent* sender);
    void EditorKeyUp(TPersistent* sender, uint16_t& key, TShiftState shift);
    void PopupMenu1Popup(TPersistent* sender);

private:
    // Whether the window may close: takes the design view's page back when
    // it was edited there, then asks to save changes.  False when the user
    // cancels, or a save is cancelled or fails (the failure is shown).
    bool confirmSave();
    // This window is the main window's active document.
    bool isActive() const;
    // The caret's offset, line and column in the main window's status bar;
    // the second only when the caret's offset or its columns past the end
    // of the line differ from those shown.
    void showCaretPosition();
    void showMovedColumn();
    // Goes back to the source page without running the page handlers.
    void returnToSource();
    // While the design view loads the page (seconds for a page of some
    // megabytes): the hourglass, and the status bar says so while this
    // window is the active document.
    void setLoading(bool loading);
    void showLoading();
    // The view of the page shown takes the keyboard focus (when it can).
    void focusPage();

    // Made once the editor and the design view exist.
    std::unique_ptr<TDocumentText> text_;
    std::unique_ptr<TDesignLink> link_;
    TPreviewFile preview_;
    bool loading_ = false;
    // The caret's offset and columns past the line's end last shown.
    std::pair<int32_t, int32_t> shownCaret_{-1, 0};
};
