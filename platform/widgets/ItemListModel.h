#pragma once
// The items of a list control as a Qt model, read from the control's list
// as views ask for them (so a long list costs nothing until shown).  The
// model keeps its own row count, changed only by the control's notices, so
// that views always see a count that matches what they were told.

#include "platform/ui/ListControls.h"
#include "platform/ui/StandardControl.h"

#include <QAbstractListModel>

class TItemListModel : public QAbstractListModel {
public:
    TItemListModel(const TListControlItems& items, QObject* parent);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // Follows one notice of the control's items.
    void ItemsChanged(TPeerAspect aspect, int index);
    // The control goes: the model is empty from now on.  Its window may
    // outlive the control for a moment (freed from one of its own events)
    // and must not read the items meanwhile.
    void Detach();

private:
    const TListControlItems* items_;
    int rows_ = 0;
};
