#include "app/dialogs/TableTemplateDialog.h"

#include "app/dialogs/DialogLayout.h"
#include "app/dialogs/TableTemplates.h"

#include "platform/base/TextCodec.h"
#include "platform/ui/ListView.h"
#include "platform/webview/DHTMLEdit.h"

namespace {

const TFormDescription& description() {
    static const TFormDescription form = [] {
        TFormDescription form{.Properties = DialogProperties("Table templates", 507, 412)};
        auto& c = form.Components;
        c.push_back({.Name = "ListView1", .ClassName = "TListView",
                     .Bounds = Bounds(kDialogMargin, kDialogMargin, 130, 358),
                     .Properties = {{"ViewStyle", "vsList"}, {"ReadOnly", true}, {"HideSelection", false}},
                     .Events = {{"OnSelectItem", "ListView1SelectItem"}}});
        c.push_back({.Name = "tableEdit", .ClassName = "TDHTMLEdit",
                     .Bounds = Bounds(146, kDialogMargin, 353, 358)});
        AddDialogButtons(c, 499, 379, {.Help = {}});
        return form;
    }();
    return form;
}

} // namespace

Tmodtablefrm::Tmodtablefrm(TComponent* owner) : TElementDialog(owner) {
    THandlerTable handlers;
    handlers.Add("ListView1SelectItem", this, &Tmodtablefrm::ListView1SelectItem);
    handlers.Add("okbtnClick", this, &Tmodtablefrm::okbtnClick);
    Build(description(), handlers);
    ListView1 = Find<TListView>("ListView1");
    tableEdit = Find<TDHTMLEdit>("tableEdit");
    for (const TTableTemplate& table : TableTemplates())
        ListView1->Items().Add()->SetCaption(table.Caption);
    FormCreate(this);
}

void Tmodtablefrm::FormCreate(TPersistent*) { tableEdit->SetDocumentHTML(TableTemplates()[0].Text); }

void Tmodtablefrm::ListView1SelectItem(TPersistent*, TListItem* item, bool selected) {
    // The item losing the selection is reported too; the view shows the
    // one gaining it.
    if (!selected || item == nullptr)
        return;
    const int index = item->Index();
    if (index >= 0 && index < static_cast<int>(TableTemplates().size()))
        tableEdit->SetDocumentHTML(TableTemplates()[static_cast<size_t>(index)].Text);
}

std::string Tmodtablefrm::BodyOf(const std::string& page) {
    const std::string upper = UpperCase(page);
    const size_t body = upper.find("<BODY");
    const size_t start = body == std::string::npos ? body : page.find('>', body);
    const size_t end = start == std::string::npos ? start : upper.find("</BODY", start);
    if (end == std::string::npos)
        return page;
    return page.substr(start + 1, end - start - 1);
}

void Tmodtablefrm::okbtnClick(TPersistent*) { InsertMarkup(BodyOf(tableEdit->DocumentHTML())); }
