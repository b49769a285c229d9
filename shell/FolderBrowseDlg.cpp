#include "shell/FolderBrowseDlg.h"

#include "platform/base/Exceptions.h"
#include "platform/gfx/Bitmap.h"
#include "platform/ui/FormBuilder.h"
#include "platform/ui/WindowPeer.h"
#include "shell/ShellConsts.h"
#include "shell/ShellProperties.h"
#include "shell/ShellScopes.h"

#include <algorithm>

namespace {

constexpr int kMargin = 8;
constexpr int kEdge = 16;          // from the right edge to the last control
constexpr int kButtonGap = 4;      // between OK and Cancel
constexpr int kIconGap = 8;        // between the two speed buttons
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kButtonTop = 5;
constexpr int kIconWidth = 23;
constexpr int kIconHeight = 22;
constexpr int kPanelHeight = 35;
constexpr int kStatusHeight = 22;

// The tree of the form: folders, virtual ones too, with menus and kept
// current; filled once the form shows.
constexpr TPTShellTreeOptions kFormTreeOptions = TreeOption(ptstoVirtualFolders) | TreeOption(ptstoDesignInteractive) |
                                                 TreeOption(ptstoContextMenus) | TreeOption(ptstoDynamicRefresh);

const TFormDescription& formDescription() {
    static const TFormDescription description{
        .Components = {
            {.Name = "StatusTxt", .ClassName = "TPTFrame",
             .Bounds = Bounds(kMargin, kMargin, 276, kStatusHeight),
             .Properties = {{"FrameStyle", "ptfsNone"}, {"Alignment", "taLeftJustify"}}},
            {.Name = "CreateNewFolderBtn", .ClassName = "TSpeedButton",
             .Bounds = Bounds(288, kMargin, kIconWidth, kIconHeight),
             .Properties = {{"NumGlyphs", 2}, {"ShowHint", true}},
             .Events = {{"OnClick", "createClick"}}},
            {.Name = "DeleteFolderBtn", .ClassName = "TSpeedButton",
             .Bounds = Bounds(319, kMargin, kIconWidth, kIconHeight),
             .Properties = {{"NumGlyphs", 2}, {"ShowHint", true}},
             .Events = {{"OnClick", "deleteClick"}}},
            {.Name = "PTShellTree1", .ClassName = "TPTShellTree",
             .Bounds = Bounds(kMargin, 38, 334, 232),
             .Properties = {{"Options", static_cast<long long>(kFormTreeOptions)},
                            {"ShowRoot", false},
                            {"HideSelection", false},
                            {"Indent", 19}},
             .Events = {{"OnChange", "treeChange"}}},
            {.Name = "ButtonPanel", .ClassName = "TPanel",
             .Bounds = Bounds(0, 278, 358, kPanelHeight),
             .Properties = {{"Align", "alBottom"}, {"BevelOuter", "bvNone"}, {"Caption", ""}}},
            {.Name = "OkBtn", .ClassName = "TButton", .Parent = "ButtonPanel",
             .Bounds = Bounds(188, kButtonTop, kButtonWidth, kButtonHeight),
             .Properties = {{"Caption", "OK"}, {"Default", true}, {"ModalResult", "mrOk"}}},
            {.Name = "CancelBtn", .ClassName = "TButton", .Parent = "ButtonPanel",
             .Bounds = Bounds(267, kButtonTop, kButtonWidth, kButtonHeight),
             .Properties = {{"Caption", "Cancel"}, {"Cancel", true}, {"ModalResult", "mrCancel"}}},
            {.Name = "CreateBtn", .ClassName = "TButton", .Parent = "ButtonPanel",
             .Bounds = Bounds(188, kButtonTop, kButtonWidth, kButtonHeight),
             .Properties = {{"Caption", "&Create..."}, {"Visible", false}},
             .Events = {{"OnClick", "createClick"}}},
            {.Name = "DeleteBtn", .ClassName = "TButton", .Parent = "ButtonPanel",
             .Bounds = Bounds(267, kButtonTop, kButtonWidth, kButtonHeight),
             .Properties = {{"Caption", "&Delete..."}, {"Visible", false}},
             .Events = {{"OnClick", "deleteClick"}}},
        }};
    return description;
}

// Two 16 x 16 pictures side by side, the second greyed; olive is the
// transparent colour (the bottom left pixel).
enum class TGlyph { NewFolder, Delete };
void drawGlyph(TBitmap& bitmap, TGlyph glyph) {
    constexpr TColor background = clOlive;
    bitmap.SetSize(32, 16);
    TCanvas& canvas = bitmap.Canvas();
    canvas.FillRect(Rect(0, 0, 32, 16), background);
    for (int index = 0; index < 2; ++index) {
        int x = index * 16;
        bool grey = index == 1;
        if (glyph == TGlyph::NewFolder) {
            // A folder with a tab and a sparkle at its top right.
            canvas.Brush().SetColor(grey ? clBtnShadow : clYellow);
            canvas.Pen().SetColor(grey ? clGrayText : clBlack);
            canvas.Rectangle(x + 1, 5, x + 14, 15);
            canvas.Rectangle(x + 2, 3, x + 7, 6);
            canvas.Pen().SetColor(grey ? clGrayText : clNavy);
            canvas.MoveTo(x + 12, 0);
            canvas.LineTo(x + 12, 5);
            canvas.MoveTo(x + 10, 2);
            canvas.LineTo(x + 15, 2);
        } else {
            // A cross.
            canvas.Pen().SetColor(grey ? clGrayText : clMaroon);
            for (int d = 0; d < 2; ++d) {
                canvas.MoveTo(x + 3 + d, 3);
                canvas.LineTo(x + 13 + d, 13);
                canvas.MoveTo(x + 12 + d, 3);
                canvas.LineTo(x + 2 + d, 13);
            }
        }
    }
}

bool has(TPTFolderBrowseDlgOptions options, TPTFolderBrowseDlgOption option) {
    return (options & FolderBrowseOption(option)) != 0;
}

} // namespace

TPTFolderBrowseLayout FolderBrowseLayout(TSize client, const TRect& status, int panelHeight, bool createDeleteButtons,
                                         bool createIcon, bool deleteIcon) {
    TPTFolderBrowseLayout layout;
    // The speed buttons, right to left.
    int right = client.cx - kEdge;
    if (deleteIcon) {
        layout.DeleteIcon = Rect(right - kIconWidth, status.Top, right, status.Top + kIconHeight);
        right = layout.DeleteIcon.Left - kIconGap;
    }
    if (createIcon) {
        layout.CreateIcon = Rect(right - kIconWidth, status.Top, right, status.Top + kIconHeight);
        right = layout.CreateIcon.Left - kButtonGap;
    }
    layout.Status = Rect(status.Left, status.Top, std::max(status.Left, right), status.Bottom);
    layout.Panel = Rect(0, client.cy - panelHeight, client.cx, client.cy);
    layout.Tree = Rect(kMargin, status.Bottom + kMargin, kMargin + std::max(0, client.cx - 24),
                       std::max(status.Bottom + kMargin, layout.Panel.Top - kMargin));
    // The panel's buttons, in its own coordinates.
    if (createDeleteButtons) {
        layout.Ok = Bounds(layout.Tree.Left, kButtonTop, kButtonWidth, kButtonHeight);
        layout.Cancel = Bounds(layout.Ok.Right + kButtonGap, kButtonTop, kButtonWidth, kButtonHeight);
    } else {
        layout.Cancel = Bounds(client.cx - kEdge - kButtonWidth, kButtonTop, kButtonWidth, kButtonHeight);
        layout.Ok = Bounds(layout.Cancel.Left - kButtonGap - kButtonWidth, kButtonTop, kButtonWidth, kButtonHeight);
    }
    layout.Grip = Rect(client.cx - TPTSizeGrip::Size, client.cy - TPTSizeGrip::Size, client.cx, client.cy);
    return layout;
}

// ---------------------------------------------------------------------------
// TPTFrmFolderBrowseDlg

TPTFrmFolderBrowseDlg::TPTFrmFolderBrowseDlg(TComponent* owner) : TForm(owner) {
    RegisterShellClasses();
    SetBounds(0, 0, MinimumSize.cx, MinimumSize.cy);
    SetPosition(poScreenCenter);
    SetCaption(LoadResString(SBrowseForFolder));
    THandlerTable handlers;
    handlers.Add("createClick", this, &TPTFrmFolderBrowseDlg::createClick);
    handlers.Add("deleteClick", this, &TPTFrmFolderBrowseDlg::deleteClick);
    handlers.Add("treeChange", this, &TPTFrmFolderBrowseDlg::treeChange);
    BuildForm(*this, formDescription(), handlers);
    StatusTxt = dynamic_cast<TPTFrame*>(FindComponent("StatusTxt"));
    CreateNewFolderBtn = dynamic_cast<TSpeedButton*>(FindComponent("CreateNewFolderBtn"));
    DeleteFolderBtn = dynamic_cast<TSpeedButton*>(FindComponent("DeleteFolderBtn"));
    PTShellTree1 = dynamic_cast<TPTShellTree*>(FindComponent("PTShellTree1"));
    ButtonPanel = dynamic_cast<TPanel*>(FindComponent("ButtonPanel"));
    OkBtn = dynamic_cast<TButton*>(FindComponent("OkBtn"));
    CancelBtn = dynamic_cast<TButton*>(FindComponent("CancelBtn"));
    CreateBtn = dynamic_cast<TButton*>(FindComponent("CreateBtn"));
    DeleteBtn = dynamic_cast<TButton*>(FindComponent("DeleteBtn"));
    SizeGrip = new TPTSizeGrip(this);
    SizeGrip->SetName("SizeGrip");
    SizeGrip->SetParent(ButtonPanel);
    TBitmap glyph;
    drawGlyph(glyph, TGlyph::NewFolder);
    CreateNewFolderBtn->SetGlyph(glyph);
    drawGlyph(glyph, TGlyph::Delete);
    DeleteFolderBtn->SetGlyph(glyph);
    // The tree fills once the form shows, with the folders the dialog
    // asked for.
    fillWhenShown_ = true;
    OnShow = [this](TPersistent* sender) { shown(sender); };
    OnHide = [this](TPersistent* sender) { hidden(sender); };
    SetOptions(DefaultFolderBrowseOptions);
}

void TPTFrmFolderBrowseDlg::SetOptions(TPTFolderBrowseDlgOptions options) {
    options_ = options;
    struct TMapping {
        TPTFolderBrowseDlgOption Dialog;
        TPTShellTreeOption Tree;
    };
    static constexpr TMapping mappings[] = {
        {ptfbOleDrag, ptstoOleDrag},
        {ptfbOleDrop, ptstoOleDrop},
        {ptfbIncludeNonFolders, ptstoIncludeNonFolders},
        {ptfbVirtualFolders, ptstoVirtualFolders},
        {ptfbContextMenus, ptstoContextMenus},
        {ptfbShowHidden, ptstoShowHidden},
    };
    TPTShellTreeOptions tree = PTShellTree1->Options();
    for (const TMapping& mapping : mappings) {
        if (has(options, mapping.Dialog))
            tree |= TreeOption(mapping.Tree);
        else
            tree &= static_cast<TPTShellTreeOptions>(~TreeOption(mapping.Tree));
    }
    PTShellTree1->SetOptions(tree);
    PTShellTree1->SetReadOnly(has(options, ptfbReadOnly));
    CreateBtn->SetVisible(has(options, ptfbCreateDeleteButtons));
    DeleteBtn->SetVisible(has(options, ptfbCreateDeleteButtons));
    CreateNewFolderBtn->SetVisible(has(options, ptfbCreateFolderIcon));
    DeleteFolderBtn->SetVisible(has(options, ptfbDeleteFolderIcon));
    layout();
}

void TPTFrmFolderBrowseDlg::SetBounds(int left, int top, int width, int height) {
    TForm::SetBounds(left, top, std::max(width, MinimumSize.cx), std::max(height, MinimumSize.cy));
}

TSize TPTFrmFolderBrowseDlg::NormalSize() const {
    TRect normal = Peer() != nullptr ? Peer()->NormalBounds() : TRect{};
    if (normal.Width() > 0 && normal.Height() > 0)
        return {normal.Width(), normal.Height()};
    return {Width(), Height()};
}

void TPTFrmFolderBrowseDlg::AlignControls(TRect& rect) {
    TForm::AlignControls(rect);
    layout();
}

void TPTFrmFolderBrowseDlg::CreateWnd() {
    TForm::CreateWnd();
    // The window's client area may be smaller than its bounds.
    Realign();
}

void TPTFrmFolderBrowseDlg::Dispatch(TMessage& message) {
    if (message.Msg == WM_GETMINMAXINFO) {
        auto* info = reinterpret_cast<TMinMaxInfo*>(message.LParam);
        info->MinTrackSize = MinimumSize;
        message.Result = 0;
        return;
    }
    TForm::Dispatch(message);
}

void TPTFrmFolderBrowseDlg::layout() {
    if (StatusTxt == nullptr || ButtonPanel == nullptr || SizeGrip == nullptr || IsLoading())
        return;
    TPTFolderBrowseLayout at =
        FolderBrowseLayout({ClientWidth(), ClientHeight()}, StatusTxt->BoundsRect(), ButtonPanel->Height(),
                           CreateBtn->Visible(), CreateNewFolderBtn->Visible(), DeleteFolderBtn->Visible());
    auto place = [](TControl* control, const TRect& r) { control->SetBounds(r.Left, r.Top, r.Width(), r.Height()); };
    place(StatusTxt, at.Status);
    if (CreateNewFolderBtn->Visible())
        place(CreateNewFolderBtn, at.CreateIcon);
    if (DeleteFolderBtn->Visible())
        place(DeleteFolderBtn, at.DeleteIcon);
    place(PTShellTree1, at.Tree);
    place(OkBtn, at.Ok);
    place(CancelBtn, at.Cancel);
    // The create and delete buttons stand where OK and Cancel stand
    // without them.
    TPTFolderBrowseLayout plain = FolderBrowseLayout({ClientWidth(), ClientHeight()}, StatusTxt->BoundsRect(),
                                                     ButtonPanel->Height(), false, false, false);
    place(CreateBtn, plain.Ok);
    place(DeleteBtn, plain.Cancel);
    TRect grip = at.Grip;
    OffsetRect(grip, 0, -at.Panel.Top); // in the panel
    place(SizeGrip, grip);
}

void TPTFrmFolderBrowseDlg::shown(TPersistent*) {
    Font().SetName(LoadResString(SDialogFontName));
    if (fillWhenShown_) {
        fillWhenShown_ = false;
        PTShellTree1->SetOptions(PTShellTree1->Options() | TreeOption(ptstoAutoFill));
        PTShellTree1->Fill();
    }
    OkBtn->SetCaption(LoadResString(SOKCaption));
    CancelBtn->SetCaption(LoadResString(SCancelCaption));
    CreateNewFolderBtn->SetHint(LoadResString(SCreateFolderHint) + "|" + LoadResString(SCreateFolderLongHint));
    DeleteFolderBtn->SetHint(LoadResString(SDeleteButtonHint) + "|" + LoadResString(SDeleteHint));
    if (Caption().empty())
        SetCaption(LoadResString(SBrowseForFolder));
    if (OnFormShow)
        OnFormShow(this);
}

void TPTFrmFolderBrowseDlg::hidden(TPersistent*) {
    if (OnFormClose)
        OnFormClose(this);
}

void TPTFrmFolderBrowseDlg::treeChange(TPersistent*, TTreeNode* node) {
    TPTShTreeData* record = PTShellTree1->Model().RecordOf(node);
    if (record == nullptr)
        return;
    bool hasPath = !record->GetPath().empty();
    bool deletable = hasPath && node->Parent() != nullptr;
    // Only a folder with a path can be handed back.
    OkBtn->SetEnabled(hasPath);
    CreateBtn->SetEnabled(hasPath);
    CreateNewFolderBtn->SetEnabled(hasPath);
    DeleteBtn->SetEnabled(deletable);
    DeleteFolderBtn->SetEnabled(deletable);
    if (OnSelChange)
        OnSelChange(this, record->GetAbsolutePidl());
}

void TPTFrmFolderBrowseDlg::createClick(TPersistent*) { PTShellTree1->CreateFolder(); }

void TPTFrmFolderBrowseDlg::deleteClick(TPersistent*) {
    // Deleting refreshes the tree.
    PTShellTree1->InvokeVerb(PTShellTree1->Selected(), "delete");
}

// ---------------------------------------------------------------------------
// TPTCustomFolderBrowseDlg

TPTCustomFolderBrowseDlg::TPTCustomFolderBrowseDlg(TComponent* owner) : TPTDialog(owner) {}

TPTCustomFolderBrowseDlg::~TPTCustomFolderBrowseDlg() = default;

bool TPTCustomFolderBrowseDlg::DoExecute() {
    if (form_)
        throw Exception("TPTFolderBrowseDlg form already active");
    struct TForget {
        std::unique_ptr<TPTFrmFolderBrowseDlg>& Form;
        ~TForget() { Form.reset(); }
    } forget{form_};
    {
        // The hourglass shows while the form is made; the user's own time
        // with it is not a wait.
        THourglassScope hourglass;
        form_ = CreateForm();
        InitForm(*form_);
    }
    DoInitialized();
    bool confirmed = form_->ShowModal() == mrOk;
    ReadBack(*form_);
    return confirmed;
}

std::unique_ptr<TPTFrmFolderBrowseDlg> TPTCustomFolderBrowseDlg::CreateForm() {
    return std::make_unique<TPTFrmFolderBrowseDlg>();
}

void TPTCustomFolderBrowseDlg::InitForm(TPTFrmFolderBrowseDlg& form) {
    form.OnSelChange = OnSelChange;
    form.OnFormShow = OnFormShow;
    form.OnFormClose = OnFormClose;
    TPTShellTree& tree = *form.PTShellTree1;
    tree.OnAddItem = OnAddItem;
    tree.OnCustomDrawSh = OnTvCustomDrawSh;
    tree.OnCustomDrawShEx = OnTvCustomDrawShEx;
    form.StatusTxt->SetCaption(StatusText);
    form.SetBounds(form.Left(), form.Top(), FormWidth > 0 ? FormWidth : form.Width(),
                   FormHeight > 0 ? FormHeight : form.Height());
    form.SetWindowState(FormWindowState);
    form.SetOptions(Options);
    form.SetCaption(Title.empty() ? LoadResString(SBrowseForFolder) : Title);
    tree.SetBaseFolder(baseFolder_);
    tree.SetSelectedFolder(selectedFolder_);
}

void TPTCustomFolderBrowseDlg::ReadBack(TPTFrmFolderBrowseDlg& form) {
    TSize normal = form.NormalSize();
    FormWidth = normal.cx;
    FormHeight = normal.cy;
    FormWindowState = form.WindowState();
    if (form.ModalResult() == mrOk)
        selectedFolder_.Assign(&form.PTShellTree1->SelectedFolder());
}
