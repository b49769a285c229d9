#pragma once
// The common dialogs as components a form owns: open and save (and open
// for pictures), colour, font, find and replace, printer setup and folder.
// Each keeps its settings between runs and shows the dialog through the
// user-interaction seam (UserInteraction.h), so that tests answer it from
// a script.
//
// Execute shows a modal dialog and answers whether the user accepted it;
// the chosen file, colour or font is then in the component.  The find and
// replace dialogs stay open beside the program: Execute shows one, and
// each of the user's requests sets FindText, ReplaceText and Options and
// runs OnFind (or OnReplace).  Only one such dialog is open at a time; a
// component freed while its dialog is open closes it, and a request that
// comes for a freed component is dropped.

#include "platform/base/Component.h"
#include "platform/base/Strings.h"
#include "platform/gfx/Font.h"
#include "platform/ui/UserInteraction.h"

#include <functional>
#include <memory>
#include <string>

using TNotifyEvent = std::function<void(TPersistent* sender)>;

class TCommonDialog : public TComponent {
public:
    explicit TCommonDialog(TComponent* owner = nullptr) : TComponent(owner) {}
    std::string ClassName() const override { return "TCommonDialog"; }
    virtual bool Execute() = 0;

    TNotifyEvent OnShow;
    TNotifyEvent OnClose;

protected:
    // Runs show around the dialog, with OnShow before and OnClose after.
    template <class TShow>
    bool showing(TShow show) {
        if (OnShow)
            OnShow(this);
        bool accepted = false;
        try {
            accepted = show();
        } catch (...) {
            if (OnClose)
                OnClose(this);
            throw;
        }
        if (OnClose)
            OnClose(this);
        return accepted;
    }
};

// Options of the file dialogs (bits).
enum : unsigned {
    ofReadOnly = 0x00000001,
    ofOverwritePrompt = 0x00000002,
    ofHideReadOnly = 0x00000004,
    ofNoChangeDir = 0x00000008,
    ofShowHelp = 0x00000010,
    ofNoValidate = 0x00000020,
    ofAllowMultiSelect = 0x00000040,
    ofExtensionDifferent = 0x00000080,
    ofPathMustExist = 0x00000100,
    ofFileMustExist = 0x00000200,
    ofCreatePrompt = 0x00000400,
    ofEnableSizing = 0x00000800,
};
using TOpenOptions = unsigned;

class TOpenDialog : public TCommonDialog {
public:
    explicit TOpenDialog(TComponent* owner = nullptr);
    ~TOpenDialog() override;
    std::string ClassName() const override { return "TOpenDialog"; }

    const std::string& FileName() const { return fileName_; }
    void SetFileName(const std::string& value) { fileName_ = value; }
    // Every file chosen (several with ofAllowMultiSelect).
    TStrings& Files() { return *files_; }
    // "Description|*.ext;*.ext2|..."
    const std::string& Filter() const { return filter_; }
    void SetFilter(const std::string& value) { filter_ = value; }
    // From 1.
    int FilterIndex() const { return filterIndex_; }
    void SetFilterIndex(int value) { filterIndex_ = value; }
    const std::string& InitialDir() const { return initialDir_; }
    void SetInitialDir(const std::string& value) { initialDir_ = value; }
    // Given to a name typed without an extension.
    const std::string& DefaultExt() const { return defaultExt_; }
    void SetDefaultExt(const std::string& value) { defaultExt_ = value; }
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& value) { title_ = value; }
    TOpenOptions Options() const { return options_; }
    void SetOptions(TOpenOptions value) { options_ = value; }

    bool Execute() override;

protected:
    virtual bool saving() const { return false; }
    virtual bool previewsPictures() const { return false; }

private:
    std::string fileName_;
    std::unique_ptr<TStringList> files_;
    std::string filter_;
    int filterIndex_ = 1;
    std::string initialDir_;
    std::string defaultExt_;
    std::string title_;
    TOpenOptions options_ = ofHideReadOnly | ofEnableSizing;
};

class TSaveDialog : public TOpenDialog {
public:
    explicit TSaveDialog(TComponent* owner = nullptr) : TOpenDialog(owner) {}
    std::string ClassName() const override { return "TSaveDialog"; }

protected:
    bool saving() const override { return true; }
};

// An open dialog for pictures: its filter starts as every picture format
// registered (TPicture::GraphicFilter), and it shows the picture of the
// file chosen, with its size, beside the list.
class TOpenPictureDialog : public TOpenDialog {
public:
    explicit TOpenPictureDialog(TComponent* owner = nullptr);
    std::string ClassName() const override { return "TOpenPictureDialog"; }

protected:
    bool previewsPictures() const override { return true; }
};

enum : unsigned { cdFullOpen = 0x01, cdPreventFullOpen = 0x02, cdShowHelp = 0x04, cdSolidColor = 0x08, cdAnyColor = 0x10 };
using TColorDialogOptions = unsigned;

// Starts on Color, which holds the choice afterwards.
class TColorDialog : public TCommonDialog {
public:
    explicit TColorDialog(TComponent* owner = nullptr);
    ~TColorDialog() override;
    std::string ClassName() const override { return "TColorDialog"; }

    TColor Color() const { return color_; }
    void SetColor(TColor value) { color_ = value; }
    TColorDialogOptions Options() const { return options_; }
    void SetOptions(TColorDialogOptions value) { options_ = value; }
    // "ColorA=RRGGBB" lines of the user's own colours.
    TStrings& CustomColors() { return *customColors_; }

    bool Execute() override;

private:
    TColor color_ = clBlack;
    TColorDialogOptions options_ = 0;
    std::unique_ptr<TStringList> customColors_;
};

class TFontDialog : public TCommonDialog {
public:
    explicit TFontDialog(TComponent* owner = nullptr) : TCommonDialog(owner) {}
    std::string ClassName() const override { return "TFontDialog"; }

    TFont& Font() { return font_; }
    void SetFont(const TFont& font) { font_.Assign(&font); }

    bool Execute() override;

private:
    TFont font_;
};

// Options of the find and replace dialogs: the request's frDown,
// frWholeWord, frMatchCase, frFindNext, frReplace, frReplaceAll
// (UserInteraction.h), and these of their own.
using TFindOptions = unsigned;
constexpr TFindOptions frHideMatchCase = 0x0100;
constexpr TFindOptions frHideWholeWord = 0x0200;
constexpr TFindOptions frHideUpDown = 0x0400;

class TFindDialog : public TCommonDialog {
public:
    explicit TFindDialog(TComponent* owner = nullptr);
    ~TFindDialog() override;
    std::string ClassName() const override { return "TFindDialog"; }

    const std::string& FindText() const { return findText_; }
    void SetFindText(const std::string& value) { findText_ = value; }
    TFindOptions Options() const { return options_; }
    void SetOptions(TFindOptions value) { options_ = value; }
    // Whether this component's dialog is the one open.
    bool Showing() const;

    // Shows the dialog (closing another one); true.
    bool Execute() override;
    void CloseDialog();

    TNotifyEvent OnFind;

protected:
    virtual bool replacing() const { return false; }
    // A request of the user's reached the component.
    virtual void request(const TFindRequest& request);

    std::string replaceText_;

private:
    TFindOptions options_ = frDown;
    std::string findText_;
    // Lives as long as the component: a request for a freed one finds it
    // gone.
    std::shared_ptr<TFindDialog*> self_;
};

class TReplaceDialog : public TFindDialog {
public:
    explicit TReplaceDialog(TComponent* owner = nullptr) : TFindDialog(owner) {}
    std::string ClassName() const override { return "TReplaceDialog"; }

    const std::string& ReplaceText() const { return replaceText_; }
    void SetReplaceText(const std::string& value) { replaceText_ = value; }

    // Replace and Replace All run OnReplace; Find Next runs OnFind.
    TNotifyEvent OnReplace;

protected:
    bool replacing() const override { return true; }
    void request(const TFindRequest& request) override;
};

class TPrinterSetupDialog : public TCommonDialog {
public:
    explicit TPrinterSetupDialog(TComponent* owner = nullptr) : TCommonDialog(owner) {}
    std::string ClassName() const override { return "TPrinterSetupDialog"; }

    // The printer and page chosen last.
    const TPrinterSetup& Setup() const { return setup_; }
    void SetSetup(const TPrinterSetup& setup) { setup_ = setup; }

    bool Execute() override;

private:
    TPrinterSetup setup_;
};

class TFolderDialog : public TCommonDialog {
public:
    explicit TFolderDialog(TComponent* owner = nullptr) : TCommonDialog(owner) {}
    std::string ClassName() const override { return "TFolderDialog"; }

    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& value) { title_ = value; }
    // Where the dialog starts, and the folder chosen.
    const std::string& Directory() const { return directory_; }
    void SetDirectory(const std::string& value) { directory_ = value; }

    bool Execute() override;

private:
    std::string title_;
    std::string directory_;
};
