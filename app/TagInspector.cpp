#include "app/TagInspector.h"

#include "app/DocumentSource.h"
#include "app/DocumentTextEncoding.h"
#include "app/dialogs/DocumentPaths.h"
#include "app/EditForm.h"
#include "app/FileFilters.h"
#include "app/FrameForm.h"
#include "app/HtmlColor.h"
#include "app/TagAttributes.h"
#include "app/TagInspectorRules.h"

#include "editor/CodeMemo.h"
#include "editor/highlight/HtmlHighlighter.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/FormBuilder.h"
#include "platform/ui/UserInteraction.h"

#include <algorithm>

namespace {

constexpr const char* kNoTag = "No corresponding tag found";

// The document whose tag the grid shows (the grid is the main window's,
// one for all documents).
TTagInspectorDocument* gridOwner = nullptr;

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

template <class T> T* named(TComponent& owner, const char* name) {
    return dynamic_cast<T*>(owner.FindComponent(name));
}

} // namespace

// ---- The document side -------------------------------------------------------------

TTagInspectorDocument::TTagInspectorDocument(TEditForm& document) : TComponent(&document), document_(document) {
    SetName("tagInspectorDocument");
    lbltaginfo = named<TControl>(document, "lbltaginfo");
    stxttagobject = named<TControl>(document, "stxttagobject");
    if (lbltaginfo == nullptr || stxttagobject == nullptr)
        throw EComponentError("The tag inspector's labels are missing");
    lbltaginfo->Tag = -1;
}

TTagInspectorDocument::~TTagInspectorDocument() {
    if (gridOwner == this)
        gridOwner = nullptr;
}

TTagInspectorDocument* TagInspectorOf(TEditForm& document) {
    return dynamic_cast<TTagInspectorDocument*>(document.FindComponent("tagInspectorDocument"));
}

TValueListEditor* TTagInspectorDocument::grid() const {
    return frameform != nullptr ? frameform->TagInspector : nullptr;
}

bool TTagInspectorDocument::ownsGrid() const { return gridOwner == this; }

void TTagInspectorDocument::UpdateTagInfo() {
    TValueListEditor* inspector = grid();
    if (inspector == nullptr || !inspector->Visible())
        return;
    gridOwner = this;
    ClearTagInspector();
    TDocumentSource source(document_.Editor->Document());
    const TTagSpan span = FindTagAt(source, document_.Editor->SelStart());
    std::string name;
    std::string tagText;
    std::string fullText;
    if (span.Found()) {
        fullText = TextOfSpan(source, span.Start, span.End + 1);
        tagText = ReplaceAll(fullText.substr(1, fullText.size() - 2), "\r\n", " ");
        name = UpperCaseName(ParseTagText(tagText).Name);
    }
    lbltaginfo->Tag = span.Start + 2;
    if (name.empty()) {
        lbltaginfo->Tag = -1;
        name = kNoTag;
    }
    if (lbltaginfo->Caption() != name)
        lbltaginfo->SetCaption(name);
    remember(name == kNoTag ? TTagSpan{} : span, fullText);
    FillTagInspector(name, tagText);
    document_.CurrentTagText = tagText;
    inspector->Refresh();
}

void TTagInspectorDocument::remember(const TTagSpan& span, const std::string& fullText) {
    span_ = span;
    tagRead_ = span.Found() ? fullText : std::string();
}

void TTagInspectorDocument::ClearTagInspector() {
    TValueListEditor* inspector = grid();
    if (inspector == nullptr || (gridOwner != nullptr && gridOwner != this))
        return;
    inspector->Strings().Clear();
    inspector->SetEnabled(false);
    inspector->Refresh();
}

void TTagInspectorDocument::FillTagInspector(const std::string& name, const std::string& tagText) {
    const std::string tag = trimmed(name);
    stxttagobject->SetCaption(tag);
    listed_ = tag == "!" || tag == kNoTag ? std::vector<std::string>() : ListedAttributes(tag);
    TValueListEditor* inspector = grid();
    // Comments, unknown tags and places without a tag leave the grid
    // empty and disabled.
    if (listed_.empty() || inspector == nullptr || !span_.Found()) {
        rows_ = {};
        return;
    }
    rows_ = RowsOfTag(ParseTagText(tagText), listed_);
    gridOwner = this;
    TStrings& lines = inspector->Strings();
    lines.BeginUpdate();
    lines.Clear();
    for (const TAttributeRow& row : rows_.Rows)
        lines.Add(row.Name + "=" + ProgramTextOf(*document_.Editor, row.Value));
    for (size_t i = 0; i < rows_.Rows.size(); ++i) {
        const std::string& attribute = rows_.Rows[i].Name;
        TItemProp& props = inspector->ItemProps(static_cast<int>(i) + inspector->FixedRows());
        props.SetEditStyle(AttributeEditStyle(attribute));
        props.PickList().Clear();
        if (props.EditStyle() == esPickList)
            for (const std::string& value : AttributePickList(tag, attribute))
                props.PickList().Add(value);
    }
    lines.EndUpdate();
    inspector->SetEnabled(true);
    inspector->Refresh();
    document_.TagInspectorEdited = false;
    const std::string tail = rows_.TailText();
    document_.TagTail = tail.empty() ? std::string() : " " + tail;
}

TEditStyle TTagInspectorDocument::AttributeEditStyle(const std::string& attribute) const {
    return ::AttributeEditStyle(stxttagobject->Caption(), attribute);
}

std::string TTagInspectorDocument::GetAttributeValue(const std::string& attribute, const std::string& tagText) {
    const std::string wanted = UpperCaseName(attribute);
    for (const TTagToken& token : ParseTagText(tagText).Tokens)
        if (token.HasValue && UpperCaseName(token.Name) == wanted)
            return token.Value;
    return {};
}

std::string TTagInspectorDocument::BuildTagFromInspector() {
    TValueListEditor* inspector = grid();
    if (inspector != nullptr && ownsGrid() && inspector->Strings().Count() == static_cast<int>(rows_.Rows.size()))
        for (size_t i = 0; i < rows_.Rows.size(); ++i)
            rows_.Rows[i].Value =
                DocumentTextOf(*document_.Editor, inspector->Cells(1, static_cast<int>(i) + inspector->FixedRows()));
    return BuildTag(stxttagobject->Caption(), rows_.Rows, rows_.Tail);
}

void TTagInspectorDocument::ApplyTagInspector() {
    document_.TagInspectorEdited = false;
    if (!span_.Found() || rows_.Rows.empty() || !ownsGrid())
        return;
    TCodeMemo& editor = *document_.Editor;
    TDocumentSource source(editor.Document());
    // The text may have changed since the tag was read (typing, undo,
    // another command): then the grid is refilled and nothing written.
    if (span_.End >= source.Length() || TagEndFrom(source, span_.Start) != span_.End ||
        TextOfSpan(source, span_.Start, span_.End + 1) != tagRead_) {
        UpdateTagInfo();
        return;
    }
    const std::string tag = BuildTagFromInspector();
    const bool valueChanged = std::any_of(rows_.Rows.begin(), rows_.Rows.end(),
                                          [](const TAttributeRow& row) { return row.Value != row.ValueRead; });
    if (!valueChanged || tag == tagRead_)
        return;
    editor.SetSelStart(span_.Start);
    editor.SetSelLength(span_.Length());
    editor.SetSelText(tag);
    editor.SetSelStart(span_.Start + 1);
    editor.Modified = true;
    // The document now holds the tag as written; the grid keeps what the
    // user typed.
    const std::string tagText = ReplaceAll(tag.substr(1, tag.size() - 2), "\r\n", " ");
    remember(TTagSpan{span_.Start, span_.Start + static_cast<int32_t>(tag.size()) - 1}, tag);
    rows_ = RowsOfTag(ParseTagText(tagText), listed_);
    document_.CurrentTagText = tagText;
    const std::string tail = rows_.TailText();
    document_.TagTail = tail.empty() ? std::string() : " " + tail;
}

// ---- The text dialog ----------------------------------------------------------------

namespace {

const TFormDescription& textDialogDescription() {
    static const TFormDescription form{
        .Properties = {{"Caption", std::string("Insert")}},
        .Components = {
            {.Name = "Bevel1", .ClassName = "TBevel", .Bounds = Bounds(4, 4, 314, 201),
             .Properties = {{"Shape", std::string("bsFrame")}}},
            {.Name = "txtEdit", .ClassName = "TCodeMemo", .Bounds = Bounds(8, 8, 305, 193),
             .Properties = {{"ScrollBars", std::string("ssVertical")}}},
            {.Name = "okbtn", .ClassName = "TButton", .Bounds = Bounds(160, 208, 75, 25),
             .Properties = {{"Caption", std::string("Ok")}, {"Default", true}, {"ModalResult", std::string("mrOk")}},
             .Events = {{"OnClick", "okbtnClick"}}},
            {.Name = "cancelbtn", .ClassName = "TButton", .Bounds = Bounds(240, 208, 75, 25),
             .Properties = {{"Caption", std::string("Cancel")}, {"Cancel", true},
                            {"ModalResult", std::string("mrCancel")}}},
        }};
    return form;
}

} // namespace

TtxtInsFrm::TtxtInsFrm(TComponent* owner, TValueListEditor& grid) : TForm(owner), grid_(grid) {
    SetBorderStyle(bsDialog);
    SetPosition(poOwnerFormCenter);
    SetBounds(0, 0, 322, 235);
    THandlerTable handlers;
    handlers.Add("okbtnClick", this, &TtxtInsFrm::okbtnClick);
    BuildForm(*this, textDialogDescription(), handlers);
    txtEdit = named<TCodeMemo>(*this, "txtEdit");
    okbtn = named<TControl>(*this, "okbtn");
    cancelbtn = named<TControl>(*this, "cancelbtn");
    txtEdit->SetSeparators(std::string("\t $%&,./:;<=>"));
    // It edits the grid's value, which is the program's text.
    txtEdit->SetEncoding(teUtf8);
    if (frameform != nullptr)
        txtEdit->SetHighlighter(frameform->htmlcoder);
    SetActiveControl(txtEdit);
    FormCreate(this);
}

void TtxtInsFrm::FormCreate(TPersistent*) { txtEdit->SetTextBuf(grid_.Cells(1, grid_.Row())); }

void TtxtInsFrm::okbtnClick(TPersistent*) { grid_.SetCells(1, grid_.Row(), txtEdit->Text()); }

// ---- The main window's side ----------------------------------------------------------

TTagInspectorPane::TTagInspectorPane(Tframeform& frame) : TComponent(&frame), frame_(frame) {
    SetName("tagInspectorPane");
    TValueListEditor& grid = *frame.TagInspector;
    grid.SetDisplayOptions(doAutoColResize | doKeyColFixed);
    grid.SetOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goColSizing | goEditing |
                    goThumbTracking);
    grid.SetColor(static_cast<TColor>(0xD8D8D8));
    grid.Font().SetName("Times New Roman");
    grid.SetColWidths(0, 100);
    grid.SetColWidths(1, 80);
    grid.SetDefaultRowHeight(16);
    grid.SetEnabled(false);
    grid.OnSelectCell = [this](TPersistent* s, int col, int row, bool& can) { TagInspectorSelectCell(s, col, row, can); };
    grid.OnSetEditText = [this](TPersistent* s, int col, int row, const std::string& value) {
        TagInspectorSetEditText(s, col, row, value);
    };
    grid.OnGetPickList = [this](TPersistent* s, const std::string& key, TStrings& values) {
        TagInspectorGetPickList(s, key, values);
    };
    grid.OnEditButtonClick = [this](TPersistent* s) { TagInspectorEditButtonClick(s); };
    grid.OnValidate = [this](TPersistent* s, int col, int row, const std::string& key, const std::string& value) {
        TagInspectorValidate(s, col, row, key, value);
    };
    grid.OnKeyUp = [this](TPersistent* s, uint16_t& key, TShiftState shift) { TagInspectorKeyUp(s, key, shift); };
}

void TTagInspectorPane::markEdited() {
    if (TEditForm* document = frame_.ActiveDocument())
        document->TagInspectorEdited = true;
}

void TTagInspectorPane::applyEdits() {
    TEditForm* document = frame_.ActiveDocument();
    if (document == nullptr || !document->TagInspectorEdited)
        return;
    if (TTagInspectorDocument* inspector = TagInspectorOf(*document))
        inspector->ApplyTagInspector();
}

void TTagInspectorPane::TagInspectorSelectCell(TPersistent*, int col, int, bool& canSelect) { canSelect = col == 1; }

void TTagInspectorPane::TagInspectorSetEditText(TPersistent*, int, int, const std::string&) { markEdited(); }

void TTagInspectorPane::TagInspectorGetPickList(TPersistent*, const std::string&, TStrings&) { markEdited(); }

void TTagInspectorPane::TagInspectorValidate(TPersistent*, int, int, const std::string&, const std::string&) {
    applyEdits();
}

void TTagInspectorPane::TagInspectorKeyUp(TPersistent*, uint16_t&, TShiftState) { applyEdits(); }

const std::vector<std::string>& TTagInspectorPane::GetAttributePickList(int row) {
    std::string tag;
    if (TEditForm* document = frame_.ActiveDocument())
        if (TTagInspectorDocument* inspector = TagInspectorOf(*document))
            tag = inspector->stxttagobject->Caption();
    return AttributePickList(tag, frame_.TagInspector->Keys(row));
}

template <class TDialog>
TDialog& TTagInspectorPane::dialog(const char* shared, TDialog*& own, void (*setUp)(TDialog&)) {
    if (auto* found = named<TDialog>(frame_, shared))
        return *found;
    if (own == nullptr) {
        own = new TDialog(this);
        setUp(*own);
    }
    return *own;
}

TColorDialog& TTagInspectorPane::ColorDialog() {
    return dialog<TColorDialog>("ColorDialog1", colorDialog_, [](TColorDialog&) {});
}

TOpenDialog& TTagInspectorPane::OpenDialog() {
    return dialog<TOpenDialog>("OpenDlg", openDialog_, [](TOpenDialog& made) {
        made.SetOptions(ofHideReadOnly | ofPathMustExist | ofFileMustExist | ofEnableSizing);
    });
}

TOpenPictureDialog& TTagInspectorPane::PictureDialog() {
    return dialog<TOpenPictureDialog>("OpenPictureDialog1", pictureDialog_, [](TOpenPictureDialog& made) {
        made.SetFilter(kPictureFileFilter);
    });
}

bool TTagInspectorPane::chooseFile(TEditForm& document, const std::string& attribute, std::string& value) {
    const std::string tag = TagInspectorOf(document)->stxttagobject->Caption();
    TOpenDialog* dialog = nullptr;
    if (attribute == "BACKGROUND" || tag == "IMG") {
        dialog = &PictureDialog();
    } else {
        dialog = &OpenDialog();
        dialog->SetFilter(Tframeform::GetFileFilter("object"));
    }
    if (!dialog->Execute())
        return false;
    value = RelativeDocumentPath(dialog->FileName(), document.FileName);
    return true;
}

void TTagInspectorPane::TagInspectorEditButtonClick(TPersistent*) {
    TEditForm* document = frame_.ActiveDocument();
    TTagInspectorDocument* inspector = document != nullptr ? TagInspectorOf(*document) : nullptr;
    if (inspector == nullptr)
        return;
    TValueListEditor& grid = *frame_.TagInspector;
    const int row = grid.Row();
    const std::string attribute = grid.Keys(row);
    switch (AttributeDialogOf(inspector->stxttagobject->Caption(), attribute)) {
    case TAttributeDialog::Color: {
        TColorDialog& dialog = ColorDialog();
        if (dialog.Execute()) {
            grid.SetCells(1, row, ColorToHtml(dialog.Color()));
            document->TagInspectorEdited = true;
        }
        break;
    }
    case TAttributeDialog::File: {
        if (document->FileName == kUntitled) {
            const int answer = UserInteraction().MessageDlg(
                "You need to first save this document before you can assign an other file to it. Would you like "
                "to save it now?",
                mtConfirmation, mbYesNo);
            if (answer != mrYes)
                return;
            document->FileSaveItemClick(document);
            if (document->FileName == kUntitled)
                break;
        }
        std::string value;
        if (chooseFile(*document, attribute, value)) {
            grid.SetCells(1, row, value);
            document->TagInspectorEdited = true;
        }
        break;
    }
    case TAttributeDialog::Text: {
        TtxtInsFrm dialog(&frame_, grid);
        // Cancel leaves the value as it was.
        if (dialog.ShowModal() == mrOk)
            document->TagInspectorEdited = true;
        break;
    }
    case TAttributeDialog::None:
        break;
    }
    if (document->TagInspectorEdited)
        inspector->ApplyTagInspector();
}
