// controlsdemo [page]: a window with pages of every standard control (text
// and buttons, lists, tree and list views, the value-list grid) and a
// status bar that shows what happens, to try the controls by hand; it
// opens on the page given (from 0).

#include "platform/ui/Application.h"
#include "platform/ui/ButtonControls.h"
#include "platform/ui/ExtControls.h"
#include "platform/ui/ListControls.h"
#include "platform/ui/ListView.h"
#include "platform/ui/PageControls.h"
#include "platform/ui/SpinEdit.h"
#include "platform/ui/StatusBar.h"
#include "platform/ui/TextControls.h"
#include "platform/ui/TreeView.h"
#include "platform/ui/ValueListEditor.h"

#include <cstdlib>
#include <string>

namespace {

class TDemoForm : public TCustomControl {
public:
    explicit TDemoForm(int firstPage) {
        SetColor(clBtnFace);
        SetCaption("Standard controls");
        SetBounds(60, 60, 640, 460);
        status_ = make<TStatusBar>(this);
        for (int width : {220, 180, 80})
            status_->Panels().Add()->SetWidth(width);
        auto* pages = make<TPageControl>(this);
        pages->SetAlign(alClient);
        pages->OnChange = [this, pages](TPersistent*) { say(0, "Page: " + pages->ActivePage()->Caption()); };
        textPage(page(pages, "Text and buttons"));
        listPage(page(pages, "Lists"));
        viewPage(page(pages, "Tree and list views"));
        gridPage(page(pages, "Grid"));
        pages->SetActivePageIndex(firstPage);
    }

private:
    template <class T>
    T* make(TWinControl* parent, int left = 0, int top = 0, int width = -1, int height = -1) {
        auto* control = new T(this);
        control->SetParent(parent);
        control->SetBounds(left, top, width < 0 ? control->Width() : width, height < 0 ? control->Height() : height);
        return control;
    }

    TTabSheet* page(TPageControl* pages, const std::string& caption) {
        auto* sheet = new TTabSheet(this);
        sheet->SetCaption(caption);
        sheet->SetPageControl(pages);
        return sheet;
    }

    void say(int panel, const std::string& text) { status_->Panels().Items(panel)->SetText(text); }

    void textPage(TTabSheet* sheet) {
        make<TLabel>(sheet, 12, 14)->SetCaption("&Name:");
        auto* edit = make<TEdit>(sheet, 80, 10, 200);
        edit->SetText("Korvane");
        edit->OnChange = [this, edit](TPersistent*) { say(1, "Edit: " + edit->Text()); };
        auto* memo = make<TMemo>(sheet, 12, 44, 268, 90);
        memo->Lines().Add("A plain memo,");
        memo->Lines().Add("two lines.");
        auto* ok = make<TButton>(sheet, 300, 10);
        ok->SetCaption("OK");
        ok->SetDefault(true);
        ok->OnClick = [this](TPersistent*) { say(1, "OK pressed"); };
        auto* cancel = make<TBitBtn>(sheet, 300, 42);
        cancel->SetKind(bkCancel);
        auto* browse = make<TSpeedButton>(sheet, 384, 10);
        browse->SetCaption("...");
        browse->SetHint("Browse...");
        auto* check = make<TCheckBox>(sheet, 12, 146, 180);
        check->SetCaption("A check box");
        check->SetChecked(true);
        auto* group = make<TGroupBox>(sheet, 12, 172, 268, 90);
        group->SetCaption("Radio buttons");
        for (int i = 0; i < 3; ++i) {
            auto* radio = make<TRadioButton>(group, 10, 20 + i * 22, 200);
            radio->SetCaption("Choice " + std::to_string(i + 1));
            radio->SetChecked(i == 1);
        }
        auto* spin = make<TSpinEdit>(sheet, 300, 80, 80);
        spin->SetMinValue(1);
        spin->SetMaxValue(1000);
        spin->SetValue(5);
        auto* panel = make<TPanel>(sheet, 300, 120, 180, 60);
        panel->SetCaption("A panel");
        panel->SetBevelInner(bvLowered);
        auto* bevel = make<TBevel>(sheet, 300, 190, 180, 4);
        bevel->SetShape(bsTopLine);
    }

    void listPage(TTabSheet* sheet) {
        auto* combo = make<TComboBox>(sheet, 12, 10, 200);
        combo->Items().SetText("Default\r\nArial\r\nTimes New Roman\r\nCourier New\r\n");
        combo->SetItemIndex(1);
        auto* list = make<TListBox>(sheet, 12, 40, 200, 200);
        for (int i = 1; i <= 40; ++i)
            list->Items().Add("<OPTION VALUE=\"" + std::to_string(i) + "\">Item " + std::to_string(i));
        list->OnClick = [this, list](TPersistent*) { say(1, "List: item " + std::to_string(list->ItemIndex() + 1)); };
        auto* tabs = make<TTabControl>(sheet, 230, 10, 280, 230);
        tabs->Tabs().SetText("One\r\nTwo\r\nThree\r\n");
        make<TLabel>(tabs, 20, 20)->SetCaption("The area under a tab control");
    }

    void viewPage(TTabSheet* sheet) {
        auto* tree = make<TTreeView>(sheet, 0, 0, 200);
        tree->SetAlign(alLeft);
        for (int i = 0; i < 5; ++i) {
            TTreeNode* folder = tree->Items().Add(nullptr, "Folder " + std::to_string(i + 1));
            for (int j = 0; j < 4; ++j)
                tree->Items().AddChild(folder, "Page " + std::to_string(j + 1) + ".html");
        }
        tree->Items().GetFirstNode()->Expand(false);
        make<TSplitter>(sheet, 200, 0);
        auto* list = make<TListView>(sheet);
        list->SetViewStyle(vsReport);
        list->SetAlign(alClient);
        for (const char* caption : {"File", "Modified", "Size", "Path"})
            list->Columns().Add()->SetCaption(caption);
        list->Columns().Items(0)->SetWidth(140);
        list->Columns().Items(2)->SetAlignment(taRightJustify);
        list->SetOwnerData(true);
        list->OnData = [](TPersistent*, TListItem* item) {
            item->SetCaption("page" + std::to_string(item->Index()) + ".html");
            item->SubItems().Add("2026-12-07");
            item->SubItems().Add(std::to_string(1024 + item->Index() * 37));
            item->SubItems().Add("/home/web/site");
        };
        list->Items().SetCount(1000);
        list->OnSelectItem = [this](TPersistent*, TListItem* item, bool selected) {
            if (selected)
                say(1, "Selected " + item->Caption());
        };
    }

    void gridPage(TTabSheet* sheet) {
        auto* grid = make<TValueListEditor>(sheet, 12, 12, 300, 220);
        grid->SetDisplayOptions(doAutoColResize | doKeyColFixed);
        grid->Strings().SetText("SRC=a.gif\r\nALIGN=middle\r\nCOLOR=#FF0000\r\nSTYLE=\r\n");
        grid->ItemProps(1).SetEditStyle(esPickList);
        grid->ItemProps(1).PickList().SetText("top\r\nmiddle\r\nbottom\r\n");
        grid->ItemProps(2).SetEditStyle(esEllipsis);
        grid->OnEditButtonClick = [this, grid](TPersistent*) { say(1, "Ellipsis of " + grid->Keys(grid->Row())); };
    }

    TStatusBar* status_ = nullptr;
};

} // namespace

int main(int argc, char** argv) {
    Application().Initialize(argc, argv);
    Application().SetTitle("Controls demo");
    TDemoForm form(argc > 1 ? std::atoi(argv[1]) : 0);
    form.Show();
    Application().Run();
    return 0;
}
