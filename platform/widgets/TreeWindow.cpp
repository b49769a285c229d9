// The tree view's window: a Qt tree view over a model that reads the
// control's nodes as they are painted.  What the user does (select, open,
// close, rename, start a drag) is reported; what is shown is always the
// control's state, set back after every report.
#include "platform/base/TextCodec.h"
#include "platform/ui/TreeView.h"
#include "platform/widgets/ItemViewPainting.h"
#include "platform/widgets/NativeConversions.h"
#include "platform/widgets/NativePeer.h"
#include "platform/widgets/NoticeItemView.h"
#include "platform/widgets/WindowKinds.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTreeView>

#include <functional>

namespace {

class TTreeModel : public QAbstractItemModel {
public:
    TTreeModel(TCustomTreeView& tree, QObject* parent) : QAbstractItemModel(parent), tree_(tree) {}

    // Called with the edited text; answers whether the control took it.
    std::function<bool(TTreeNode*, const std::string&)> OnRename;

    TTreeNode* NodeOf(const QModelIndex& index) const {
        return index.isValid() ? static_cast<TTreeNode*>(index.internalPointer()) : nullptr;
    }
    QModelIndex IndexOf(TTreeNode* node) const {
        return node == nullptr ? QModelIndex() : createIndex(node->Index(), 0, node);
    }
    TTreeNode* under(const QModelIndex& parent) const {
        return parent.isValid() ? NodeOf(parent) : tree_.Items().Root();
    }

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override {
        TTreeNode* node = under(parent);
        if (column != 0 || row < 0 || row >= node->Count())
            return {};
        return createIndex(row, 0, node->Item(row));
    }
    QModelIndex parent(const QModelIndex& index) const override {
        TTreeNode* node = NodeOf(index);
        return node == nullptr ? QModelIndex() : IndexOf(node->Parent());
    }
    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        if (parent.column() > 0)
            return 0;
        return under(parent)->Count();
    }
    int columnCount(const QModelIndex& = QModelIndex()) const override { return 1; }
    bool hasChildren(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? NodeOf(parent)->HasChildren() : tree_.Items().TopLevelCount() > 0;
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        if (!index.isValid())
            return Qt::NoItemFlags;
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (!tree_.ReadOnly())
            flags |= Qt::ItemIsEditable;
        return flags;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        TTreeNode* node = NodeOf(index);
        if (node == nullptr)
            return {};
        switch (role) {
        case Qt::DisplayRole:
            return ProgramTextToQString(tree_.DisplayText(node));
        case Qt::EditRole:
            return ProgramTextToQString(node->Text());
        case Qt::DecorationRole:
            if (tree_.Images() == nullptr)
                return {};
            return ImageListIcon(tree_.Images(), tree_.DisplayImage(node), node->OverlayIndex());
        default:
            return {};
        }
    }
    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        TTreeNode* node = NodeOf(index);
        if (node == nullptr || role != Qt::EditRole || !OnRename)
            return false;
        return OnRename(node, QStringToProgramText(value.toString()));
    }

    // Announcements of the control's changes.
    void Inserting(TTreeNode* parent, int first, int count) { beginInsertRows(IndexOf(parent), first, first + count - 1); }
    void Inserted() { endInsertRows(); }
    void Removing(TTreeNode* parent, int first, int count) { beginRemoveRows(IndexOf(parent), first, first + count - 1); }
    void Removed() { endRemoveRows(); }
    void Reset() {
        beginResetModel();
        endResetModel();
    }
    void Changed(TTreeNode* node) {
        QModelIndex index = IndexOf(node);
        emit dataChanged(index, index);
    }
    void ChangedAll() {
        // Pictures or colours of everything: the view repaints.
        emit layoutChanged();
    }

private:
    TCustomTreeView& tree_;
};

using TTreeWidget = TNoticeItemView<QTreeView>;
using TTreeDelegate = TNoticeDelegate<QTreeView>;

class TTreeViewWindow : public TNativePeer, public TTreeViewPeer {
public:
    explicit TTreeViewWindow(TCustomTreeView& tree)
        : TNativePeer(tree, new TTreeWidget(ParentWidgetFor(tree))), tree_(tree) {
        TTreeWidget* view = widget();
        model_ = new TTreeModel(tree, view);
        view->setModel(model_);
        view->setItemDelegate(new TTreeDelegate(*view, tree, [this](const QModelIndex& index) {
            TTreeNode* node = model_->NodeOf(index);
            return TTreeDelegate::TItemLook{node, -1, node != nullptr && node->Cut(),
                                            node != nullptr && node->DropTarget()};
        }));
        view->setHeaderHidden(true);
        view->setUniformRowHeights(true);
        view->setSelectionMode(QAbstractItemView::SingleSelection);
        view->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
        view->setExpandsOnDoubleClick(true);
        setClientWidget(view->viewport());
        watch(view->viewport());
        view->Send = [this](TMessage& message) { return sendNotice(message); };
        view->AfterInput = [this] { reportSelection(); };
        model_->OnRename = [this](TTreeNode* node, const std::string& text) { return renamed(node, text); };
        view->OnBeginEdit = [this](const QModelIndex& index) { return beginEdit(index); };
        view->OnEditClosed = [this] { editClosed(); };
        view->OnBeginDrag = [this](const QModelIndex& index, bool right) {
            notify(CN_NOTIFY, static_cast<WPARAM>(static_cast<intptr_t>(right ? TVN_BEGINRDRAG : TVN_BEGINDRAG)),
                   reinterpret_cast<LPARAM>(model_->NodeOf(index)));
        };
        connect(view, &QTreeView::expanded, [this](const QModelIndex& index) { expansionAsked(index, true); });
        connect(view, &QTreeView::collapsed, [this](const QModelIndex& index) { expansionAsked(index, false); });
        connect(view->selectionModel(), &QItemSelectionModel::currentChanged, [this] {
            if (!syncing() && !widget()->InInput())
                reportSelection();
        });
        TSync sync(*this);
        changed(paOptions, -1);
        start();
        showAll();
    }

    ~TTreeViewWindow() override {
        if (TTreeWidget* view = widget())
            view->Detach();
        if (model_ != nullptr)
            model_->OnRename = nullptr;
    }

    // --- TTreeViewPeer ---------------------------------------------------
    // While rows come and go, the view moves its current row itself: that
    // is no choice of the user's.
    void NodesInserting(TTreeNode* parent, int first, int count) override {
        structural_ = std::make_unique<TSync>(*this);
        model_->Inserting(parent, first, count);
    }
    void NodesInserted() override {
        model_->Inserted();
        showSelection();
        structural_.reset();
    }
    void NodesRemoving(TTreeNode* parent, int first, int count) override {
        structural_ = std::make_unique<TSync>(*this);
        model_->Removing(parent, first, count);
    }
    void NodesRemoved() override {
        model_->Removed();
        showSelection();
        structural_.reset();
    }
    void NodesReordered(TTreeNode*) override { NodesReset(); }
    void NodesReset() override {
        TSync sync(*this);
        model_->Reset();
        showAll();
    }
    void NodeChanged(TTreeNode* node) override { model_->Changed(node); }
    void NodeExpanded(TTreeNode* node) override {
        TSync sync(*this);
        showExpansion(node);
    }
    void SelectionChanged() override {
        TSync sync(*this);
        showSelection();
    }
    void MakeVisible(TTreeNode* node) override { widget()->scrollTo(model_->IndexOf(node)); }
    bool EditNode(TTreeNode* node) override {
        QModelIndex index = model_->IndexOf(node);
        widget()->setCurrentIndex(index);
        return beginEditNow(index);
    }
    void EndEdit(bool cancel) override { widget()->FinishEdit(cancel); }
    TTreeNode* NodeAt(TPoint point) const override { return model_->NodeOf(widget()->indexAt(ToQPoint(point))); }
    TRect NodeRect(TTreeNode* node, bool textOnly) const override {
        QRect rect = widget()->visualRect(model_->IndexOf(node));
        if (rect.isEmpty())
            return {};
        if (textOnly && tree_.Images() != nullptr)
            rect.setLeft(rect.left() + widget()->iconSize().width() + 4);
        return FromQRect(rect);
    }
    TTreeNode* TopNode() const override { return model_->NodeOf(widget()->indexAt(QPoint(1, 1))); }
    void SetTopNode(TTreeNode* node) override {
        // Only the rows move: scrolling to an item may also move across.
        QScrollBar* across = widget()->horizontalScrollBar();
        const int left = across->value();
        widget()->scrollTo(model_->IndexOf(node), QAbstractItemView::PositionAtTop);
        across->setValue(left);
    }

protected:
    TTreeWidget* widget() const { return static_cast<TTreeWidget*>(Widget()); }

    void applyAppearance() override {
        TNativePeer::applyAppearance();
        TTreeWidget* view = widget();
        if (tree_.Images() != nullptr)
            view->setIconSize(QSize(tree_.Images()->Width(), tree_.Images()->Height()));
        model_->ChangedAll();
    }

    void changed(TPeerAspect aspect, int) override {
        if (aspect != paOptions)
            return;
        TTreeWidget* view = widget();
        view->setRootIsDecorated(tree_.ShowRoot() && tree_.ShowButtons());
        view->setIndentation(tree_.Indent());
        view->setAllColumnsShowFocus(tree_.RowSelect());
        view->setMouseTracking(true);
        view->setFrameShape(tree_.BorderStyle() == bsSingle ? QFrame::StyledPanel : QFrame::NoFrame);
        QPalette palette = view->palette();
        if (tree_.HideSelection()) {
            // Without the focus the selection does not show.
            palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Inactive, QPalette::Base));
            palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                             palette.color(QPalette::Inactive, QPalette::Text));
        } else {
            palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
            palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                             palette.color(QPalette::Active, QPalette::HighlightedText));
        }
        view->setPalette(palette);
    }

private:
    LRESULT sendNotice(TMessage& message) {
        if (syncing())
            return 0;
        return notify(message.Msg, message.WParam, message.LParam);
    }

    void showExpansion(TTreeNode* node) {
        QModelIndex index = model_->IndexOf(node);
        if (widget()->isExpanded(index) != node->Expanded())
            widget()->setExpanded(index, node->Expanded());
    }

    // Every expanded node and the selection, as the control holds them.
    void showAll() {
        for (TTreeNode* node = tree_.Items().GetFirstNode(); node != nullptr;) {
            if (node->Expanded()) {
                showExpansion(node);
                node = node->GetNext();
            } else {
                // Nothing below a closed node shows.
                TTreeNode* next = nullptr;
                for (TTreeNode* n = node; n != nullptr && next == nullptr; n = n->Parent())
                    next = n->GetNextSibling();
                node = next;
            }
        }
        showSelection();
    }

    void showSelection() {
        TTreeWidget* view = widget();
        QModelIndex wanted = model_->IndexOf(tree_.Selected());
        if (view->currentIndex() != wanted || (wanted.isValid() && !view->selectionModel()->isSelected(wanted)))
            view->selectionModel()->setCurrentIndex(wanted, QItemSelectionModel::ClearAndSelect);
        if (!wanted.isValid())
            view->selectionModel()->clearSelection();
    }

    void reportSelection() {
        if (syncing() || Widget() == nullptr)
            return;
        TTreeNode* chosen = model_->NodeOf(widget()->currentIndex());
        if (chosen == tree_.Selected())
            return;
        auto alive = Alive();
        notify(CN_NOTIFY, static_cast<WPARAM>(static_cast<intptr_t>(TVN_SELCHANGED)), reinterpret_cast<LPARAM>(chosen));
        if (alive.expired())
            return;
        TSync sync(*this);
        showSelection();
    }

    void expansionAsked(const QModelIndex& index, bool expand) {
        if (syncing())
            return;
        TTreeNode* node = model_->NodeOf(index);
        TTreeExpandNotice notice{node, expand};
        auto alive = Alive();
        notify(CN_NOTIFY, static_cast<WPARAM>(static_cast<intptr_t>(TVN_ITEMEXPANDING)), reinterpret_cast<LPARAM>(&notice));
        if (alive.expired())
            return;
        TSync sync(*this);
        showExpansion(node);
        showSelection();
    }

    bool beginEdit(const QModelIndex& index) {
        if (syncing() && !editRequested_)
            return false;
        return notify(CN_NOTIFY, static_cast<WPARAM>(static_cast<intptr_t>(TVN_BEGINLABELEDIT)),
                      reinterpret_cast<LPARAM>(model_->NodeOf(index))) == 0;
    }

    bool beginEditNow(const QModelIndex& index) {
        editRequested_ = true;
        bool started = widget()->EditNow(index);
        editRequested_ = false;
        return started;
    }

    bool renamed(TTreeNode* node, const std::string& text) {
        TLabelEdit edit{node, -1, &text};
        return notify(CN_NOTIFY, static_cast<WPARAM>(static_cast<intptr_t>(TVN_ENDLABELEDIT)),
                      reinterpret_cast<LPARAM>(&edit)) != 0;
    }

    void editClosed() {
        if (tree_.EditingNode() == nullptr)
            return;
        TLabelEdit edit{tree_.EditingNode(), -1, nullptr};
        notify(CN_NOTIFY, static_cast<WPARAM>(static_cast<intptr_t>(TVN_ENDLABELEDIT)), reinterpret_cast<LPARAM>(&edit));
    }

    TCustomTreeView& tree_;
    TTreeModel* model_ = nullptr;
    bool editRequested_ = false;
    std::unique_ptr<TSync> structural_;
};

const TWindowKindRegistration registration(wk::TreeView, [](TWinControl& control) -> std::unique_ptr<TWindowPeer> {
    return std::make_unique<TTreeViewWindow>(dynamic_cast<TCustomTreeView&>(control));
});

} // namespace
