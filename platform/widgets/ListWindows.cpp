// The windows of the combo box and the list box: a combo box and a list
// view over the control's items.  The selection shown is always the
// control's; the user's choice is reported.
#include "platform/base/TextCodec.h"
#include "platform/ui/ListControls.h"
#include "platform/widgets/InputReportingView.h"
#include "platform/widgets/ItemListModel.h"
#include "platform/widgets/NativePeer.h"
#include "platform/widgets/CharacterLimit.h"
#include "platform/widgets/TextLimit.h"
#include "platform/widgets/WindowKinds.h"
#include "platform/ui/QtBridge.h"

#include <QComboBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListView>

#include <functional>
#include <limits>

namespace {

// A combo box that tells when its list opens (before it shows, so that a
// handler may still fill it) and closes.
class TNoticeComboBox : public QComboBox {
public:
    using QComboBox::QComboBox;
    std::function<void()> OnShowPopup;
    std::function<void()> OnHidePopup;

    void showPopup() override {
        if (OnShowPopup)
            OnShowPopup();
        QComboBox::showPopup();
    }
    void hidePopup() override {
        QComboBox::hidePopup();
        if (OnHidePopup)
            OnHidePopup();
    }
};

bool isItemAspect(TPeerAspect aspect) {
    return aspect == paItemInserted || aspect == paItemDeleted || aspect == paItemChanged || aspect == paItemsReset;
}

class TComboBoxPeer : public TNativePeer {
public:
    explicit TComboBoxPeer(TCustomComboBox& combo)
        : TNativePeer(combo, new TNoticeComboBox(ParentWidgetFor(combo))), combo_(combo) {
        auto* box = comboBox();
        // The model first: an edit field made afterwards gets its completer
        // over it once, instead of over the default model and then again.
        model_ = new TItemListModel(combo.ItemList(), box);
        box->setModel(model_);
        box->setEditable(combo.Style() != csDropDownList);
        box->setInsertPolicy(QComboBox::NoInsert);
        if (QLineEdit* line = box->lineEdit()) {
            watch(line);
            limit_ = new TCharacterLimit(line);
            // An item picked from the list shows whole.
            limit_->SetPasses([box](const QString& text) { return box->findText(text, Qt::MatchExactly) >= 0; });
            line->setValidator(limit_);
            connect(line, &QLineEdit::textEdited, [this](const QString& text) {
                std::string bytes = QStringToProgramText(text);
                notify(CN_COMMAND, CBN_EDITCHANGE, reinterpret_cast<LPARAM>(&bytes));
            });
        }
        connect(box, &QComboBox::activated, [this](int index) { chosen(index); });
        box->OnShowPopup = [this] { notify(CN_COMMAND, CBN_DROPDOWN, 0); };
        box->OnHidePopup = [this] { notify(CN_COMMAND, CBN_CLOSEUP, 0); };
        TSync sync(*this);
        changed(paOptions, -1);
        changed(paMaxLength, -1);
        start();
        showSelection();
    }

    ~TComboBoxPeer() override {
        if (TNoticeComboBox* box = comboBox()) {
            model_->Detach();
            box->OnShowPopup = nullptr;
            box->OnHidePopup = nullptr;
        }
    }

protected:
    TNoticeComboBox* comboBox() const { return static_cast<TNoticeComboBox*>(Widget()); }

    void textChanged() override {
        if (QLineEdit* line = comboBox()->lineEdit()) {
            QString text = ProgramTextToQString(combo_.Text());
            if (line->text() != text)
                setProgramText(*line, text);
        } else {
            showSelection();
        }
    }

    void changed(TPeerAspect aspect, int index) override {
        auto* box = comboBox();
        if (isItemAspect(aspect)) {
            model_->ItemsChanged(aspect, index);
            showSelection();
            return;
        }
        switch (aspect) {
        case paItemIndex:
            showSelection();
            break;
        case paOptions:
            box->setMaxVisibleItems(combo_.DropDownCount());
            break;
        case paMaxLength:
            // Qt's own limit counts halves of characters: the validator
            // counts whole ones.
            if (QLineEdit* line = box->lineEdit()) {
                limit_->SetLimit(typingLimit(combo_.MaxLength()));
                line->setMaxLength(std::numeric_limits<int>::max());
            }
            break;
        default:
            break;
        }
    }

private:
    // The control's selected item and text, shown.
    void showSelection() {
        auto* box = comboBox();
        if (box == nullptr)
            return;
        if (box->currentIndex() != combo_.ItemIndex())
            box->setCurrentIndex(combo_.ItemIndex());
        if (QLineEdit* line = box->lineEdit()) {
            QString text = ProgramTextToQString(combo_.Text());
            if (line->text() != text)
                setProgramText(*line, text);
        }
    }

    // The program's text shows whole, whatever the limit.
    void setProgramText(QLineEdit& line, const QString& text) {
        limit_->SetProgramText(text);
        line.setText(text);
    }

    void chosen(int index) {
        auto alive = Alive();
        notify(CN_COMMAND, CBN_SELCHANGE, index);
        if (alive.expired())
            return;
        TSync sync(*this);
        showSelection();
    }

    TCustomComboBox& combo_;
    TCharacterLimit* limit_ = nullptr; // owned by the edit field, when there is one
    TItemListModel* model_ = nullptr;
};

using TListBoxView = TInputReportingView<QListView>;

class TListBoxPeer : public TNativePeer {
public:
    explicit TListBoxPeer(TCustomListBox& list)
        : TNativePeer(list, new TListBoxView(ParentWidgetFor(list))), list_(list) {
        auto* view = listView();
        view->AfterInput = [this] { report(); };
        view->setUniformItemSizes(true);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        model_ = new TItemListModel(list.ItemList(), view);
        view->setModel(model_);
        setClientWidget(view->viewport());
        watch(view->viewport());
        connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, [this] { selectionMoved(); });
        connect(view->selectionModel(), &QItemSelectionModel::currentChanged, [this] { selectionMoved(); });
        connect(view, &QListView::doubleClicked, [this](const QModelIndex& index) {
            notify(CN_COMMAND, LBN_DBLCLK, index.row());
        });
        TSync sync(*this);
        changed(paOptions, -1);
        start();
        showSelection();
    }

    ~TListBoxPeer() override {
        if (TListBoxView* view = listView())
            view->AfterInput = nullptr;
    }

    bool ItemAt(TPoint point, int& index) const override {
        QModelIndex at = listView()->indexAt(QPoint(point.X, point.Y));
        index = at.isValid() ? at.row() : -1;
        return true;
    }

    bool ItemRect(int index, TRect& rect) const override {
        QRect visual = listView()->visualRect(model_->index(index));
        if (!visual.isValid())
            return false;
        rect = Rect(visual.left(), visual.top(), visual.right() + 1, visual.bottom() + 1);
        return true;
    }

protected:
    TListBoxView* listView() const { return static_cast<TListBoxView*>(Widget()); }

    void changed(TPeerAspect aspect, int index) override {
        if (isItemAspect(aspect)) {
            model_->ItemsChanged(aspect, index);
            showSelection();
            return;
        }
        auto* view = listView();
        switch (aspect) {
        case paItemIndex:
            showSelection();
            break;
        case paOptions:
            view->setSelectionMode(!list_.MultiSelect()       ? QAbstractItemView::SingleSelection
                                   : list_.ExtendedSelect() ? QAbstractItemView::ExtendedSelection
                                                            : QAbstractItemView::MultiSelection);
            view->setFrameShape(list_.BorderStyle() == bsSingle ? QFrame::StyledPanel : QFrame::NoFrame);
            showSelection();
            break;
        case paRange: {
            // Laid out now, so that the window scrolls (and answers) at once.
            int top = list_.WantedTopIndex();
            view->doItemsLayout();
            if (top < model_->rowCount())
                view->scrollTo(model_->index(top), QAbstractItemView::PositionAtTop);
            break;
        }
        default:
            break;
        }
    }

private:
    void showSelection() {
        auto* view = listView();
        QItemSelectionModel* selection = view->selectionModel();
        QItemSelection wanted;
        int count = model_->rowCount();
        for (int i = 0; i < count; ++i)
            if (list_.Selected(i))
                wanted.select(model_->index(i), model_->index(i));
        selection->select(wanted, QItemSelectionModel::ClearAndSelect);
        int current = list_.ItemIndex();
        selection->setCurrentIndex(current >= 0 ? model_->index(current) : QModelIndex(), QItemSelectionModel::NoUpdate);
    }

    bool sameAsControl(const TListBoxSelection& selection) const {
        if (selection.ItemIndex != list_.ItemIndex())
            return false;
        if (!list_.MultiSelect())
            return true;
        std::vector<bool> marked(static_cast<size_t>(list_.ItemList().GetCount()), false);
        for (int row : selection.Selected)
            if (row >= 0 && row < static_cast<int>(marked.size()))
                marked[static_cast<size_t>(row)] = true;
        for (size_t i = 0; i < marked.size(); ++i)
            if (marked[i] != list_.Selected(static_cast<int>(i)))
                return false;
        return true;
    }

    // A change of selection or current item: reported at once when code
    // made it, after the event when input did.
    void selectionMoved() {
        if (!syncing() && !listView()->InInput())
            report();
    }

    void report() {
        if (syncing() || Widget() == nullptr)
            return;
        auto* view = listView();
        TListBoxSelection selection;
        QModelIndex current = view->selectionModel()->currentIndex();
        for (const QModelIndex& index : view->selectionModel()->selectedRows())
            selection.Selected.push_back(index.row());
        if (list_.MultiSelect())
            selection.ItemIndex = current.isValid() ? current.row() : -1;
        else
            selection.ItemIndex = selection.Selected.empty() ? -1 : selection.Selected.front();
        if (sameAsControl(selection))
            return; // one change reported by two signals
        auto alive = Alive();
        notify(CN_COMMAND, LBN_SELCHANGE, reinterpret_cast<LPARAM>(&selection));
        if (alive.expired())
            return;
        TSync sync(*this);
        showSelection();
    }

    TCustomListBox& list_;
    TItemListModel* model_ = nullptr;
};

const TWindowKindRegistration comboKind(wk::ComboBox, [](TWinControl& control) -> std::unique_ptr<TWindowPeer> {
    return std::make_unique<TComboBoxPeer>(dynamic_cast<TCustomComboBox&>(control));
});
const TWindowKindRegistration listKind(wk::ListBox, [](TWinControl& control) -> std::unique_ptr<TWindowPeer> {
    return std::make_unique<TListBoxPeer>(dynamic_cast<TCustomListBox&>(control));
});

} // namespace
