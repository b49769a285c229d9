#include "platform/widgets/ItemListModel.h"

#include "platform/base/TextCodec.h"
#include "platform/ui/QtBridge.h"

TItemListModel::TItemListModel(const TListControlItems& items, QObject* parent)
    : QAbstractListModel(parent), items_(&items), rows_(items.GetCount()) {}

int TItemListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

QVariant TItemListModel::data(const QModelIndex& index, int role) const {
    int row = index.row();
    if (items_ == nullptr || !index.isValid() || row >= items_->GetCount() ||
        (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return ProgramTextToQString(items_->Get(row));
}

void TItemListModel::Detach() {
    beginResetModel();
    items_ = nullptr;
    rows_ = 0;
    endResetModel();
}

void TItemListModel::ItemsChanged(TPeerAspect aspect, int index) {
    if (items_ == nullptr)
        return;
    switch (aspect) {
    case paItemInserted:
        beginInsertRows({}, index, index);
        ++rows_;
        endInsertRows();
        break;
    case paItemDeleted:
        beginRemoveRows({}, index, index);
        --rows_;
        endRemoveRows();
        break;
    case paItemChanged:
        emit dataChanged(this->index(index), this->index(index));
        break;
    case paItemsReset:
        beginResetModel();
        rows_ = items_->GetCount();
        endResetModel();
        break;
    default:
        break;
    }
}
