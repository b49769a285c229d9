#pragma once
// The folder-browse dialog: a component that lets the user pick a folder
// from a shell tree in a sizeable modal form, with optional buttons to
// create and delete folders.  The application runs it with Execute and
// then reads GetSelectedPath; the chosen folder is kept between runs, so
// that the next run starts on it.  OK is enabled only on a folder with a
// file-system path (not on Computer or the desktop).

#include "platform/ui/ButtonControls.h"
#include "platform/ui/ExtControls.h"
#include "shell/PTDialog.h"
#include "shell/PTFrame.h"
#include "shell/PTSizeGrip.h"
#include "shell/ShellTree.h"

#include <memory>
#include <string>

// The dialog's options, bit n = value n.
enum TPTFolderBrowseDlgOption : unsigned {
    ptfbCreateDeleteButtons,
    ptfbContextMenus,
    ptfbReadOnly,
    ptfbIncludeNonFolders,
    ptfbOleDrag,
    ptfbOleDrop,
    ptfbCreateFolderIcon,
    ptfbDeleteFolderIcon,
    ptfbVirtualFolders,
    ptfbShowHidden,
};
using TPTFolderBrowseDlgOptions = uint16_t;
constexpr TPTFolderBrowseDlgOptions FolderBrowseOption(TPTFolderBrowseDlgOption option) {
    return static_cast<TPTFolderBrowseDlgOptions>(1u << option);
}
// Context menus, the create and delete icons, hidden folders shown.
constexpr TPTFolderBrowseDlgOptions DefaultFolderBrowseOptions = 0x2C2;

using TPTFolderBrowseSelChangeEvent = std::function<void(TPersistent* sender, PCItemIDList newSelection)>;

// Where the form's controls go for a client size (the visible ones).
struct TPTFolderBrowseLayout {
    TRect Status, CreateIcon, DeleteIcon, Tree, Panel, Ok, Cancel, Grip;
};
// Worked out from the client size, the status area's top and height, the
// button panel's height, and which buttons show.
TPTFolderBrowseLayout FolderBrowseLayout(TSize client, const TRect& status, int panelHeight, bool createDeleteButtons,
                                         bool createIcon, bool deleteIcon);

// The dialog's form.
class TPTFrmFolderBrowseDlg : public TForm {
public:
    explicit TPTFrmFolderBrowseDlg(TComponent* owner = nullptr);
    std::string ClassName() const override { return "TPTFrmFolderBrowseDlg"; }

    // The smallest size the form can be given.
    static constexpr TSize MinimumSize = {366, 340};

    TPTFrame* StatusTxt = nullptr;
    TSpeedButton* CreateNewFolderBtn = nullptr;
    TSpeedButton* DeleteFolderBtn = nullptr;
    TPTShellTree* PTShellTree1 = nullptr;
    TPanel* ButtonPanel = nullptr;
    TButton* OkBtn = nullptr;
    TButton* CancelBtn = nullptr;
    TButton* CreateBtn = nullptr;
    TButton* DeleteBtn = nullptr;
    // In the bottom-right corner, over the button panel.
    TPTSizeGrip* SizeGrip = nullptr;

    // The dialog's options, applied to the tree and the buttons.
    TPTFolderBrowseDlgOptions Options() const { return options_; }
    void SetOptions(TPTFolderBrowseDlgOptions options);
    // The size the form has when it is neither maximised nor minimised.
    TSize NormalSize() const;

    TPTFolderBrowseSelChangeEvent OnSelChange;
    TNotifyEvent OnFormShow;
    TNotifyEvent OnFormClose;

    void SetBounds(int left, int top, int width, int height) override;

protected:
    void Dispatch(TMessage& message) override;
    void AlignControls(TRect& rect) override;
    void CreateWnd() override;

private:
    void layout();
    void shown(TPersistent* sender);
    void hidden(TPersistent* sender);
    void treeChange(TPersistent* sender, TTreeNode* node);
    void createClick(TPersistent* sender);
    void deleteClick(TPersistent* sender);

    TPTFolderBrowseDlgOptions options_ = DefaultFolderBrowseOptions;
    bool fillWhenShown_ = false;
};

class TPTCustomFolderBrowseDlg : public TPTDialog {
public:
    explicit TPTCustomFolderBrowseDlg(TComponent* owner = nullptr);
    ~TPTCustomFolderBrowseDlg() override;
    std::string ClassName() const override { return "TPTCustomFolderBrowseDlg"; }

    // The folder confirmed in the last run; empty when it has no path or
    // none was ever confirmed.
    std::string GetSelectedPath() { return selectedFolder_.GetPath(); }
    TPTShellLocator& SelectedFolder() { return selectedFolder_; }
    TPTShellLocator& BaseFolder() { return baseFolder_; }
    void SetBaseFolder(const TPTShellLocator& folder) { baseFolder_.Assign(&folder); }
    TPTFolderBrowseDlgOptions Options = DefaultFolderBrowseOptions;
    // A text shown above the tree.
    std::string StatusText;
    // The form while it runs, else nullptr.
    TPTFrmFolderBrowseDlg* Form() const { return form_.get(); }

    TPTShAddItemEvent OnAddItem;
    TPTFolderBrowseSelChangeEvent OnSelChange;
    TPTShTvCustomDrawEvent OnTvCustomDrawSh;
    TPTShTvCustomDrawEvent OnTvCustomDrawShEx;

protected:
    bool DoExecute() override;
    virtual std::unique_ptr<TPTFrmFolderBrowseDlg> CreateForm();
    virtual void InitForm(TPTFrmFolderBrowseDlg& form);
    virtual void ReadBack(TPTFrmFolderBrowseDlg& form);

private:
    TPTShellLocator baseFolder_;
    TPTShellLocator selectedFolder_;
    std::unique_ptr<TPTFrmFolderBrowseDlg> form_;
};

class TPTFolderBrowseDlg : public TPTCustomFolderBrowseDlg {
public:
    using TPTCustomFolderBrowseDlg::TPTCustomFolderBrowseDlg;
    std::string ClassName() const override { return "TPTFolderBrowseDlg"; }
};
