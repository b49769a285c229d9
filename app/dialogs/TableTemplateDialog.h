#pragma once
// "Table templates": ten ready-made tables, the chosen one shown in a
// design view where the author may edit it before it goes into the
// document as the design view writes it.

#include "app/dialogs/ElementDialog.h"

class TDHTMLEdit;
class TListItem;
class TListView;

class Tmodtablefrm : public TElementDialog {
public:
    explicit Tmodtablefrm(TComponent* owner);
    std::string ClassName() const override { return "Tmodtablefrm"; }

    TListView* ListView1 = nullptr;
    TDHTMLEdit* tableEdit = nullptr;

    // Shows the first template.
    void FormCreate(TPersistent* sender);
    // Shows the template of the item selected.
    void ListView1SelectItem(TPersistent* sender, TListItem* item, bool selected);
    // Writes the table as the design view holds it, edits included.  A
    // design view that does not answer is reported; the dialog stays open.
    void okbtnClick(TPersistent* sender);

    // The part of a serialised page that goes into the document: what
    // lies between the BODY start tag and "</BODY" (in any case), or the
    // whole page when it has no such body.
    static std::string BodyOf(const std::string& page);
};
