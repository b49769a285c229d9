#pragma once
// The tag inspector: the attributes of the HTML tag around the caret of
// the active document, as rows of the main window's value grid
// (`TagInspector`), and the tag written back, rebuilt from the rows, when
// the user changes a value.
//
// The document side (TTagInspectorDocument, one per document window)
// reads the tag, fills the grid and writes the tag; the main window's side
// (TTagInspectorPane) answers the grid's events, with the colour, file and
// text dialogs behind the rows' buttons.  Before a tag is written, the
// text where it was read is checked to still be that tag; when it is not,
// the tag at the caret is read again and nothing is written.

#include "app/TagText.h"

#include "platform/base/Component.h"
#include "platform/ui/Forms.h"
#include "platform/ui/ValueListEditor.h"

#include <cstdint>
#include <string>
#include <vector>

class TCodeMemo;
class TColorDialog;
class TControl;
class TEditForm;
class TOpenDialog;
class TOpenPictureDialog;
class Tframeform;

class TTagInspectorDocument : public TComponent {
public:
    // Owned by the document window; makes its hidden carriers of the
    // tag's name (`lbltaginfo`, `stxttagobject`).
    explicit TTagInspectorDocument(TEditForm& document);
    ~TTagInspectorDocument() override;
    std::string ClassName() const override { return "TTagInspectorDocument"; }

    // Caption: the tag's name shown last, "!" or "No corresponding tag
    // found"; Tag: the 1-based index of the character after the tag's "<"
    // in the editor's whole text, -1 without a tag.
    TControl* lbltaginfo = nullptr;
    // Caption: the name whose attributes fill the grid.
    TControl* stxttagobject = nullptr;

    // Reads the tag at the caret into the grid (while the grid shows).
    void UpdateTagInfo();
    // The grid to one empty row, disabled (when this document filled it).
    void ClearTagInspector();
    // Fills the rows for a tag name from the tag's text (between "<" and
    // ">"); the grid is enabled only when the tag has attributes listed.
    void FillTagInspector(const std::string& name, const std::string& tagText);
    TEditStyle AttributeEditStyle(const std::string& attribute) const;
    // The value of an attribute in a tag's text (names match exactly,
    // ignoring case); empty when the tag lacks it.
    static std::string GetAttributeValue(const std::string& attribute, const std::string& tagText);
    // The tag as the grid's values make it.
    std::string BuildTagFromInspector();
    // Writes the rebuilt tag over the one that was read (one undo step),
    // when a value differs from what was read.
    void ApplyTagInspector();

    // Where the tag was read (Start: the "<"), and its text there.
    const TTagSpan& Span() const { return span_; }
    const std::string& TagRead() const { return tagRead_; }

private:
    TValueListEditor* grid() const;
    bool ownsGrid() const;
    // Keeps what the document now holds as the tag read.
    void remember(const TTagSpan& span, const std::string& fullText);

    TEditForm& document_;
    TTagSpan span_;
    std::string tagRead_;
    std::vector<std::string> listed_;
    TTagRows rows_;
};

// The document side of a document window (nullptr before it is made).
TTagInspectorDocument* TagInspectorOf(TEditForm& document);

// The text dialog for scripts and styles: "Insert", a source editor on the
// value of the grid's current row; "Ok" puts its text back into the row.
class TtxtInsFrm : public TForm {
public:
    TtxtInsFrm(TComponent* owner, TValueListEditor& grid);
    std::string ClassName() const override { return "TtxtInsFrm"; }

    TCodeMemo* txtEdit = nullptr;
    TControl* okbtn = nullptr;
    TControl* cancelbtn = nullptr;

    void FormCreate(TPersistent* sender);
    void okbtnClick(TPersistent* sender);

private:
    TValueListEditor& grid_;
};

class TTagInspectorPane : public TComponent {
public:
    // Owned by the main window; sets up its grid and takes its events.
    explicit TTagInspectorPane(Tframeform& frame);
    std::string ClassName() const override { return "TTagInspectorPane"; }

    void TagInspectorSelectCell(TPersistent* sender, int col, int row, bool& canSelect);
    void TagInspectorSetEditText(TPersistent* sender, int col, int row, const std::string& value);
    void TagInspectorGetPickList(TPersistent* sender, const std::string& keyName, TStrings& values);
    void TagInspectorEditButtonClick(TPersistent* sender);
    void TagInspectorValidate(TPersistent* sender, int col, int row, const std::string& keyName,
                              const std::string& keyValue);
    void TagInspectorKeyUp(TPersistent* sender, uint16_t& key, TShiftState shift);
    // The fixed values for a row's attribute of the active document's tag.
    const std::vector<std::string>& GetAttributePickList(int row);

    // The dialogs: the main window's own when it has them, else the pane's.
    TColorDialog& ColorDialog();
    TOpenDialog& OpenDialog();
    TOpenPictureDialog& PictureDialog();

private:
    void markEdited();
    void applyEdits();
    // The main window's dialog of that name, or the pane's own, made once.
    template <class TDialog> TDialog& dialog(const char* shared, TDialog*& own, void (*setUp)(TDialog&));
    // The value of a file relative to the document, or nothing.
    bool chooseFile(TEditForm& document, const std::string& attribute, std::string& value);

    Tframeform& frame_;
    TColorDialog* colorDialog_ = nullptr;
    TOpenDialog* openDialog_ = nullptr;
    TOpenPictureDialog* pictureDialog_ = nullptr;
};
