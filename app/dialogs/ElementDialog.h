#pragma once
// The element dialogs' shared kernel: what every dialog that writes a piece
// of HTML into the active document has in common.  The dialogs of this
// folder are built on it; a further dialog needs nothing else.
//
// Writing a dialog.  A dialog is a TElementDialog made from one
// TFormDescription (DialogLayout.h writes most of one).  Its constructor
// fills a handler table with its member functions and calls Build:
//
//   Thrdlg::Thrdlg(TComponent* owner) : TElementDialog(owner) {
//       THandlerTable handlers;
//       handlers.Add("okbtnClick", this, &Thrdlg::okbtnClick);
//       Build(description(), handlers);
//       SpinEdit1 = Find<TSpinEdit>("SpinEdit1");
//   }
//
// Its OK handler builds the markup and writes it with InsertMarkup, Help
// opens its page with OpenDialogHelpPage, a "..." button fills a path field with
// BrowseForFile, and a main-window command opens it with
// ShowElementDialog<Thrdlg>() (ElementCommands.h binds them).
//
// The conventions, once for all dialogs:
// - A dialog is made for one use with the main window as owner, shown
//   modally and freed when its loop ends, also when an error escapes;
//   nothing is remembered from one opening to the next.  While no document
//   window is active a command opens nothing.  Cancel and the title bar's
//   close button write nothing.
// - Markup replaces the selection of the active document's editor (or goes
//   in at the caret) as one edit and one undo step; the caret ends behind
//   it.  Markup a dialog builds "in pieces" (a tag, then each optional
//   attribute, then the bracket) is joined first and written as one edit,
//   so that one undo takes the whole element away.  Wrapping dialogs read
//   SelectedText first and put it between their tags.
// - HTML as the dialogs write it: tag and attribute names in upper case
//   unless a dialog says otherwise, values in double quotes, CR LF line
//   breaks, what the user typed written as typed (no escaping); spin-edit
//   values as plain decimal numbers (SpinText); colours as "#RRGGBB"
//   (HtmlColor) or as the six digits alone after a literal "#" (HexColor);
//   a combo box whose text is exactly "Default" leaves its attribute out
//   (AttributeUnlessDefault).
// - Help pages lie in the folder "help/ondrill/" of the program folder and
//   open in the desktop's program for their type; a missing page is not
//   reported and the dialog stays open.
// - A Browse button asks to save an untitled document first, runs the
//   dialog's open dialog and puts the chosen file into its path field,
//   relative to the document (DocumentPaths.h).

#include "app/FileFilters.h"

#include "platform/base/EventHandlers.h"
#include "platform/base/Exceptions.h"
#include "platform/gfx/Color.h"
#include "platform/ui/FormBuilder.h"
#include "platform/ui/Forms.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>

class TCodeMemo;
class TColorDialog;
class TCustomEdit;
class TEditForm;
class TOpenDialog;
class TSpinEdit;

class TElementDialog : public TForm {
public:
    explicit TElementDialog(TComponent* owner);
    std::string ClassName() const override { return "TElementDialog"; }

protected:
    // Makes the dialog's components from its description, binds their
    // events to handlers, and gives the form a dialog's fixed border,
    // centred on the screen.
    void Build(const TFormDescription& description, const THandlerTable& handlers);
    // A component of the description; EComponentError when it is missing
    // or of another class.
    template <class T> T* Find(std::string_view name) const {
        auto* component = dynamic_cast<T*>(FindComponent(std::string(name)));
        if (component == nullptr)
            throw EComponentError("Component " + std::string(name) + " not found");
        return component;
    }
};

// ---- The document ----------------------------------------------------------------

// The main window's active document window and its editor; nullptr while
// none is active.
TEditForm* ActiveDocumentWindow();
TCodeMemo* ActiveEditor();
// The dialogs work in the program's text (UTF-8); the document's own
// encoding is taken where the text crosses (DocumentTextEncoding.h).
// The text selected in the active document ("" when nothing is, or there
// is no document).
std::string SelectedText();
// Puts markup in place of the selection of the active document's editor,
// as one edit that one undo removes; the caret ends behind it.  Nothing
// happens while no document window is active.
void InsertMarkup(std::string_view markup);
// Moves the active document's caret back by back bytes of the program's
// text and selects length bytes from there (a paragraph break counts 2):
// (4, 0) puts the caret in front of a closing "</A>" just written;
// (7 + L, L) selects again the L bytes wrapped in front of "</FONT>".
void SelectBeforeCaret(int back, int length);

// ---- Help and files --------------------------------------------------------------

// Opens "help/ondrill/<page>" of the program folder with the desktop; a
// page that is missing or that the desktop can not show is reported.
void OpenDialogHelpPage(std::string_view page);
// A document that was never saved is asked to be saved now: true when it
// has a file of its own (at once, or once saved); false on No or a
// cancelled Save As.
bool SaveDocumentFirst(TEditForm& document);
// The Browse steps: SaveDocumentFirst for the active document; then runs dialog
// (prepare runs just before it, for a filter set late), which starts in
// the document's folder unless it names another; then puts the
// chosen file, relative to the document, into field.  True when the field
// was filled; chosen then holds the file's full path.
bool BrowseForFile(TOpenDialog& dialog, TCustomEdit& field, std::string* chosen = nullptr,
                   const std::function<void()>& prepare = {});


// ---- Values as HTML writes them ----------------------------------------------------

// "#RRGGBB" (a system colour resolved to its value now), and the six
// digits alone.
std::string HtmlColor(TColor color);
std::string HexColor(TColor color);
// A colour swatch's click: the colour dialog starts on the swatch's
// colour; on OK the swatch takes the colour chosen.  True on OK.
bool ChooseSwatchColor(TColorDialog& dialog, TControl& swatch);
// A spin edit's value in plain decimal.
std::string SpinText(const TSpinEdit& spin);
// ` NAME="value"`, or nothing when value is exactly "Default".
std::string AttributeUnlessDefault(std::string_view name, std::string_view value);

// ---- Opening ---------------------------------------------------------------------

// Shows a dialog modally and frees it when its loop ends (also when an
// error escapes, which goes on to the caller).
void RunElementDialog(std::unique_ptr<TCustomForm> dialog);
// The main window's command for a dialog: nothing while no document window
// is active, else the dialog, owned by the main window, for one use.
template <class TDialog> void ShowElementDialog();
// The main window (the dialogs' owner), or nullptr.
TComponent* ElementDialogOwner();
// Enables the main window (the table and meta dialogs do so when they
// close, however they close).
void EnableMainWindow();

template <class TDialog> void ShowElementDialog() {
    if (ActiveDocumentWindow() == nullptr)
        return;
    RunElementDialog(std::make_unique<TDialog>(ElementDialogOwner()));
}
