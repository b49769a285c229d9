// The list view's window: a Qt tree view without branches for the report
// style (its header the columns), a Qt list view for icons and lists, over
// a model that reads the control's rows (or asks OnData for them) as they
// are painted.  The selection shown is always the control's; what the
// user selects, clicks, renames or drags is reported.
#include "platform/base/TextCodec.h"
#include "platform/gfx/Bitmap.h"
#include "platform/ui/ListView.h"
#include "platform/widgets/ItemViewPainting.h"
#include "platform/widgets/NativeConversions.h"
#include "platform/widgets/NativePeer.h"
#include "platform/widgets/NoticeItemView.h"
#include "platform/widgets/WindowKinds.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QListView>
#include <QPainter>
#include <QTreeView>

#include <algorithm>
#include <functional>
#include <type_traits>

namespace {

Qt::Alignment qtAlignment(TAlignment alignment) {
    Qt::Alignment horizontal = alignment == taRightJustify ? Qt::AlignRight
                               : alignment == taCenter    ? Qt::AlignHCenter
                                                          : Qt::AlignLeft;
    return horizontal | Qt::AlignVCenter;
}

class TListModel : public QAbstractTableModel {
public:
    TListModel(TCustomListView& list, QObject* parent) : QAbstractTableModel(parent), list_(list) {}

    std::function<bool(int index, const std::string& text)> OnRename;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : list_.Items().Count();
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override {
        if (parent.isValid())
            return 0;
        return list_.ViewStyle() == vsReport ? std::max(1, list_.ColumnCount()) : 1;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        int row = index.row();
        if (!index.isValid() || row >= list_.Items().Count())
            return {};
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return ProgramTextToQString(list_.DisplayText(row, index.column()));
        case Qt::DecorationRole: {
            if (index.column() != 0)
                return {};
            TImageList* images = list_.ViewStyle() == vsIcon ? list_.LargeImages() : list_.SmallImages();
            if (images == nullptr)
                return {};
            int image = list_.DisplayImage(row);
            return ImageListIcon(images, image, list_.Items().Item(row)->OverlayIndex());
        }
        case Qt::TextAlignmentRole:
            if (list_.ViewStyle() == vsReport && index.column() < list_.ColumnCount())
                return static_cast<int>(qtAlignment(list_.Columns().Items(index.column())->Alignment()));
            return {};
        default:
            return {};
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || section >= list_.ColumnCount())
            return {};
        TListColumn* column = list_.Columns().Items(section);
        if (role == Qt::DisplayRole)
            return ProgramTextToQString(column->Caption());
        if (role == Qt::TextAlignmentRole)
            return static_cast<int>(qtAlignment(column->Alignment()));
        return {};
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        if (!index.isValid())
            return Qt::NoItemFlags;
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (!list_.ReadOnly() && index.column() == 0)
            flags |= Qt::ItemIsEditable;
        return flags;
    }
    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        if (!index.isValid() || role != Qt::EditRole || !OnRename)
            return false;
        return OnRename(index.row(), QStringToProgramText(value.toString()));
    }

    void Inserting(int first, int count) { beginInsertRows({}, first, first + count - 1); }
    void Inserted() { endInsertRows(); }
    void Removing(int first, int count) { beginRemoveRows({}, first, first + count - 1); }
    void Removed() { endRemoveRows(); }
    void Reset() {
        beginResetModel();
        endResetModel();
    }
    void Changed(int row) { emit dataChanged(index(row, 0), index(row, std::max(0, columnCount() - 1))); }
    void ChangedAll() { emit layoutChanged(); }

private:
    TCustomListView& list_;
};

// A header that lets the control paint its items when it wants to.
class TListHeader : public QHeaderView {
public:
    TListHeader(TCustomListView& list, QWidget* parent) : QHeaderView(Qt::Horizontal, parent), list_(list) {}

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override {
        if (!list_.OwnerDrawHeader() || rect.isEmpty()) {
            QHeaderView::paintSection(painter, rect, logicalIndex);
            return;
        }
        TBitmap bitmap(rect.width(), rect.height());
        TCanvas& canvas = bitmap.Canvas();
        bool pressed = (sectionsClickable() && logicalIndex == pressedSection_);
        list_.DrawColumnHeader(canvas, logicalIndex, Rect(0, 0, rect.width(), rect.height()), pressed);
        canvas.Release();
        painter->drawImage(rect.topLeft(), QImageOf(bitmap));
    }
    void mousePressEvent(QMouseEvent* event) override {
        pressedSection_ = logicalIndexAt(event->position().toPoint());
        QHeaderView::mousePressEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        QHeaderView::mouseReleaseEvent(event);
        pressedSection_ = -1;
        viewport()->update();
    }

private:
    TCustomListView& list_;
    int pressedSection_ = -1;
};

template <class TView>
class TListViewWindow : public TNativePeer, public TListViewPeer {
public:
    using TWidget = TNoticeItemView<TView>;
    using TDelegate = TNoticeDelegate<TView>;

    explicit TListViewWindow(TCustomListView& list) : TNativePeer(list, new TWidget(ParentWidgetFor(list))), list_(list) {
        TWidget* view = widget();
        model_ = new TListModel(list, view);
        view->setModel(model_);
        view->setItemDelegate(new TDelegate(*view, list, [this](const QModelIndex& index) {
            typename TDelegate::TItemLook look;
            look.Index = index.row();
            if (!list_.OwnerData() && index.row() < list_.Items().Count()) {
                TListItem* item = list_.Items().Item(index.row());
                look.Cut = item->Cut();
                look.DropTarget = item->DropTarget();
            }
            return look;
        }));
        view->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
        setClientWidget(view->viewport());
        watch(view->viewport());
        view->Send = [this](TMessage& message) { return syncing() ? LRESULT{0} : notify(message.Msg, message.WParam, message.LParam); };
        view->OnPaintStart = [this] { list_.ForgetFetched(); };
        view->AfterInput = [this] { reportSelection(); };
        view->OnBeginEdit = [this](const QModelIndex& index) { return beginEdit(index); };
        view->OnEditClosed = [this] { editClosed(); };
        view->OnBeginDrag = [this](const QModelIndex& index, bool right) {
            notify(CN_NOTIFY, static_cast<WPARAM>(static_cast<intptr_t>(right ? LVN_BEGINRDRAG : LVN_BEGINDRAG)),
                   index.row());
        };
        model_->OnRename = [this](int index, const std::string& text) { return renamed(index, text); };
        connect(view->selectionModel(), &QItemSelectionModel::currentChanged, [this] {
            if (!syncing() && !widget()->InInput())
                reportSelection();
        });
        setUp();
        TSync sync(*this);
        changed(paOptions, -1);
        start();
        showSelection();
    }

    ~TListViewWindow() override {
        if (TWidget* view = widget())
            view->Detach();
        if (model_ != nullptr)
            model_->OnRename = nullptr;
    }

    // --- TListViewPeer ---------------------------------------------------
    void ItemsInserting(int first, int count) override {
        structural_ = std::make_unique<TSync>(*this);
        model_->Inserting(first, count);
    }
    void ItemsInserted() override {
        model_->Inserted();
        showSelection();
        structural_.reset();
    }
    void ItemsRemoving(int first, int count) override {
        structural_ = std::make_unique<TSync>(*this);
        model_->Removing(first, count);
    }
    void ItemsRemoved() override {
        model_->Removed();
        showSelection();
        structural_.reset();
    }
    void ItemsReset() override {
        TSync sync(*this);
        model_->Reset();
        showSelection();
    }
    void ItemChanged(int index) override { model_->Changed(index); }
    void ColumnsChanged() override {
        TSync sync(*this);
        model_->Reset();
        showColumns();
        showSelection();
    }
    void SelectionChanged() override {
        TSync sync(*this);
        showSelection();
    }
    void MakeVisible(int index) override { widget()->scrollTo(model_->index(index, 0)); }
    bool EditItem(int index) override {
        QModelIndex at = model_->index(index, 0);
        editRequested_ = true;
        bool started = widget()->EditNow(at);
        editRequested_ = false;
        return started;
    }
    void EndEdit(bool cancel) override { widget()->FinishEdit(cancel); }
    int ItemAtPoint(TPoint point) const override {
        QModelIndex at = widget()->indexAt(ToQPoint(point));
        return at.isValid() ? at.row() : -1;
    }
    TRect ItemRectangle(int index, TListItem::TDisplayCode code) const override {
        QRect rect = widget()->visualRect(model_->index(index, 0));
        if (rect.isEmpty())
            return {};
        if (code == TListItem::drBounds || code == TListItem::drSelectBounds) {
            // The whole row in a report.
            if (list_.ViewStyle() == vsReport)
                rect.setRight(widget()->viewport()->width() - 1);
            return FromQRect(rect);
        }
        const QModelIndex at = model_->index(index, 0);
        return FromQRect(widget()->ItemPartRect(
            at, code == TListItem::drIcon ? QStyle::SE_ItemViewItemDecoration : QStyle::SE_ItemViewItemText));
    }
    int TopIndex() const override { return ItemAtPoint({2, 2}); }
    int VisibleRows() const override {
        int top = TopIndex();
        if (top < 0)
            return 0;
        int height = widget()->visualRect(model_->index(top, 0)).height();
        return height > 0 ? widget()->viewport()->height() / height : 0;
    }

protected:
    TWidget* widget() const { return static_cast<TWidget*>(Widget()); }

    void setUp();
    void showColumns();

    void applyAppearance() override {
        TNativePeer::applyAppearance();
        TImageList* images = list_.ViewStyle() == vsIcon ? list_.LargeImages() : list_.SmallImages();
        if (images != nullptr)
            widget()->setIconSize(QSize(images->Width(), images->Height()));
        if constexpr (std::is_same_v<TView, QListView>)
            placeIcons();
        // Rows are measured again: pictures or a font of another size.
        model_->ChangedAll();
    }

    void changed(TPeerAspect aspect, int) override;

    // Large icons stand in cells of one size, whatever their names: a
    // name wider than its cell is cut short there, so a long one cannot
    // widen every cell (the view sizes them all from one row), and the
    // icons keep their places however the rows are ordered.
    void placeIcons() {
        TWidget* view = widget();
        if (list_.ViewStyle() != vsIcon)
            return;
        const QSize icon = view->iconSize().isValid() ? view->iconSize() : QSize(32, 32);
        view->setUniformItemSizes(false);
        view->setGridSize(QSize(std::max(kIconSpacing, icon.width() + 16),
                                icon.height() + view->fontMetrics().height() + 8));
    }
    static constexpr int kIconSpacing = 75;

private:
    // The control's selection and focused row, shown.
    void showSelection() {
        TWidget* view = widget();
        QItemSelectionModel* selection = view->selectionModel();
        QItemSelection wanted;
        int count = list_.Items().Count();
        int columns = model_->columnCount() - 1;
        for (int i = 0; i < count; ++i) {
            if (!list_.IsSelected(i))
                continue;
            int last = i;
            while (last + 1 < count && list_.IsSelected(last + 1))
                ++last;
            wanted.select(model_->index(i, 0), model_->index(last, columns));
            i = last;
        }
        selection->select(wanted, QItemSelectionModel::ClearAndSelect);
        int focused = list_.FocusedIndex();
        selection->setCurrentIndex(focused >= 0 ? model_->index(focused, 0) : QModelIndex(), QItemSelectionModel::NoUpdate);
    }

    void reportSelection() {
        if (syncing() || Widget() == nullptr)
            return;
        TWidget* view = widget();
        std::vector<int> rows;
        for (const QItemSelectionRange& range : view->selectionModel()->selection())
            for (int row = range.top(); row <= range.bottom(); ++row)
                rows.push_back(row);
        std::sort(rows.begin(), rows.end());
        rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
        QModelIndex current = view->selectionModel()->currentIndex();
        int focused = current.isValid() ? current.row() : -1;
        // Only a real change is reported.
        bool same = focused == list_.FocusedIndex() && static_cast<int>(rows.size()) == list_.SelCount();
        for (size_t i = 0; same && i < rows.size(); ++i)
            same = list_.IsSelected(rows[i]);
        if (same)
            return;
        TListSelectionChange change{focused, &rows};
        auto alive = Alive();
        notify(CN_NOTIFY, static_cast<WPARAM>(static_cast<intptr_t>(LVN_ITEMCHANGED)), reinterpret_cast<LPARAM>(&change));
        if (alive.expired())
            return;
        TSync sync(*this);
        showSelection();
    }

    bool beginEdit(const QModelIndex& index) {
        if (syncing() && !editRequested_)
            return false;
        return notify(CN_NOTIFY, static_cast<WPARAM>(static_cast<intptr_t>(LVN_BEGINLABELEDIT)), index.row()) == 0;
    }

    bool renamed(int index, const std::string& text) {
        TLabelEdit edit{nullptr, index, &text};
        return notify(CN_NOTIFY, static_cast<WPARAM>(static_cast<intptr_t>(LVN_ENDLABELEDIT)),
                      reinterpret_cast<LPARAM>(&edit)) != 0;
    }

    void editClosed() {
        if (!list_.IsEditing())
            return;
        TLabelEdit edit{nullptr, list_.EditingIndex(), nullptr};
        notify(CN_NOTIFY, static_cast<WPARAM>(static_cast<intptr_t>(LVN_ENDLABELEDIT)), reinterpret_cast<LPARAM>(&edit));
    }

    TCustomListView& list_;
    TListModel* model_ = nullptr;
    bool editRequested_ = false;
    std::unique_ptr<TSync> structural_;
};

// --- the report: a tree view without branches --------------------------------------

template <>
void TListViewWindow<QTreeView>::showColumns() {
    TWidget* view = widget();
    for (int i = 0; i < list_.ColumnCount(); ++i)
        view->header()->resizeSection(i, list_.Columns().Items(i)->Width());
}

template <>
void TListViewWindow<QTreeView>::setUp() {
    TWidget* view = widget();
    auto* header = new TListHeader(list_, view);
    view->setHeader(header);
    view->setRootIsDecorated(false);
    view->setUniformRowHeights(true);
    view->setItemsExpandable(false);
    header->setSectionsMovable(false);
    header->setStretchLastSection(false);
    connect(header, &QHeaderView::sectionClicked, [this](int section) {
        notify(CN_NOTIFY, static_cast<WPARAM>(static_cast<intptr_t>(LVN_COLUMNCLICK)), section);
    });
    connect(header, &QHeaderView::sectionResized, [this](int section, int, int width) {
        if (!syncing() && section < list_.ColumnCount())
            list_.Columns().Items(section)->SetWidth(width);
    });
    showColumns();
}

template <>
void TListViewWindow<QTreeView>::changed(TPeerAspect aspect, int) {
    if (aspect != paOptions)
        return;
    TWidget* view = widget();
    view->setHeaderHidden(!list_.ShowColumnHeaders());
    view->header()->setSectionsClickable(list_.ColumnClick());
    view->setSelectionMode(list_.MultiSelect() ? QAbstractItemView::ExtendedSelection
                                               : QAbstractItemView::SingleSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setAllColumnsShowFocus(true);
    view->setFrameShape(list_.BorderStyle() == bsSingle ? QFrame::StyledPanel : QFrame::NoFrame);
}

// --- icons and lists: a list view ----------------------------------------------------

template <>
void TListViewWindow<QListView>::showColumns() {}

template <>
void TListViewWindow<QListView>::setUp() {
    TWidget* view = widget();
    view->setUniformItemSizes(true);
    if (list_.ViewStyle() == vsList) {
        view->setViewMode(QListView::ListMode);
        view->setFlow(QListView::TopToBottom);
        view->setWrapping(true);
    } else {
        view->setViewMode(QListView::IconMode);
        view->setMovement(QListView::Static);
        if (list_.ViewStyle() == vsSmallIcon) {
            view->setFlow(QListView::LeftToRight);
            view->setWrapping(true);
        }
        placeIcons();
    }
}

template <>
void TListViewWindow<QListView>::changed(TPeerAspect aspect, int) {
    if (aspect != paOptions)
        return;
    TWidget* view = widget();
    view->setSelectionMode(list_.MultiSelect() ? QAbstractItemView::ExtendedSelection
                                               : QAbstractItemView::SingleSelection);
    view->setResizeMode(list_.AutoArrange() ? QListView::Adjust : QListView::Fixed);
    view->setFrameShape(list_.BorderStyle() == bsSingle ? QFrame::StyledPanel : QFrame::NoFrame);
}

const TWindowKindRegistration registration(wk::ListView, [](TWinControl& control) -> std::unique_ptr<TWindowPeer> {
    auto& list = dynamic_cast<TCustomListView&>(control);
    if (list.ViewStyle() == vsReport)
        return std::make_unique<TListViewWindow<QTreeView>>(list);
    return std::make_unique<TListViewWindow<QListView>>(list);
});

} // namespace
