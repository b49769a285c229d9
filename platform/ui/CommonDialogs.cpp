#include "platform/ui/CommonDialogs.h"

#include "platform/gfx/Picture.h"

namespace {

// The find or replace component whose dialog is open, or none.
TFindDialog* showingFind = nullptr;

} // namespace

// ---------------------------------------------------------------------------
// Files

TOpenDialog::TOpenDialog(TComponent* owner) : TCommonDialog(owner), files_(std::make_unique<TStringList>()) {}

TOpenDialog::~TOpenDialog() = default;

bool TOpenDialog::Execute() {
    TFileDialogRequest request;
    request.Title = title_;
    request.Filter = filter_;
    request.FilterIndex = filterIndex_;
    request.InitialDir = initialDir_;
    request.FileName = fileName_;
    request.DefaultExt = defaultExt_;
    request.MultiSelect = (options_ & ofAllowMultiSelect) != 0;
    request.FileMustExist = (options_ & ofFileMustExist) != 0;
    request.OverwritePrompt = (options_ & ofOverwritePrompt) != 0;
    request.PicturePreview = previewsPictures();
    TFileDialogResult result;
    bool accepted = showing([&] {
        result = saving() ? UserInteraction().SaveFileDialog(request) : UserInteraction().OpenFileDialog(request);
        return result.Accepted && !result.FileNames.empty();
    });
    if (!accepted)
        return false;
    files_->BeginUpdate();
    files_->Clear();
    for (const std::string& name : result.FileNames)
        files_->Add(name);
    files_->EndUpdate();
    fileName_ = result.FileNames.front();
    filterIndex_ = result.FilterIndex;
    return true;
}

TOpenPictureDialog::TOpenPictureDialog(TComponent* owner) : TOpenDialog(owner) { SetFilter(TPicture::GraphicFilter()); }

// ---------------------------------------------------------------------------
// Colour, font, printer, folder

TColorDialog::TColorDialog(TComponent* owner) : TCommonDialog(owner), customColors_(std::make_unique<TStringList>()) {}

TColorDialog::~TColorDialog() = default;

bool TColorDialog::Execute() {
    TColor chosen = color_;
    bool accepted = showing([&] { return UserInteraction().ChooseColor(chosen); });
    if (accepted)
        color_ = chosen;
    return accepted;
}

bool TFontDialog::Execute() {
    TFont chosen(font_);
    bool accepted = showing([&] { return UserInteraction().ChooseFont(chosen); });
    if (accepted)
        font_.Assign(&chosen);
    return accepted;
}

bool TPrinterSetupDialog::Execute() {
    TPrinterSetup chosen = setup_;
    bool accepted = showing([&] { return UserInteraction().PrinterSetupDialog(chosen); });
    if (accepted)
        setup_ = chosen;
    return accepted;
}

bool TFolderDialog::Execute() {
    std::string chosen = directory_;
    bool accepted = showing([&] { return UserInteraction().ChooseFolder(title_, chosen); });
    if (accepted)
        directory_ = chosen;
    return accepted;
}

// ---------------------------------------------------------------------------
// Find and replace

TFindDialog::TFindDialog(TComponent* owner) : TCommonDialog(owner), self_(std::make_shared<TFindDialog*>(this)) {}

TFindDialog::~TFindDialog() {
    *self_ = nullptr;
    CloseDialog();
}

bool TFindDialog::Showing() const { return showingFind == this; }

bool TFindDialog::Execute() {
    TFindRequest initial;
    initial.FindText = findText_;
    initial.ReplaceText = replaceText_;
    initial.Options = options_;
    std::weak_ptr<TFindDialog*> self = self_;
    TFindHandler handler = [self](const TFindRequest& request) {
        std::shared_ptr<TFindDialog*> alive = self.lock();
        if (alive && *alive != nullptr)
            (*alive)->request(request);
    };
    if (OnShow)
        OnShow(this);
    showingFind = this;
    if (replacing())
        UserInteraction().ShowReplaceDialog(initial, std::move(handler));
    else
        UserInteraction().ShowFindDialog(initial, std::move(handler));
    return true;
}

void TFindDialog::CloseDialog() {
    if (showingFind != this)
        return;
    showingFind = nullptr;
    UserInteraction().CloseFindDialogs();
    if (OnClose && !IsDestroying())
        OnClose(this);
}

void TFindDialog::request(const TFindRequest& request) {
    findText_ = request.FindText;
    replaceText_ = request.ReplaceText;
    // The request's own bits replace the dialog's; the hiding ones stay.
    options_ = (options_ & (frHideMatchCase | frHideWholeWord | frHideUpDown)) | request.Options;
    if (OnFind)
        OnFind(this);
}

void TReplaceDialog::request(const TFindRequest& request) {
    if (!(request.Options & (frReplace | frReplaceAll))) {
        TFindDialog::request(request);
        return;
    }
    SetFindText(request.FindText);
    replaceText_ = request.ReplaceText;
    SetOptions((Options() & (frHideMatchCase | frHideWholeWord | frHideUpDown)) | request.Options);
    if (OnReplace)
        OnReplace(this);
}
