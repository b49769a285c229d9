// The value-list editor's window: a table view of names and values whose
// editors follow each row's edit style: a line edit, a drop-down of the
// pick list (asked for as it opens), or a line edit with an ellipsis
// button.  Every change of the text being typed, the button, the end of
// an edit (or a value picked from a list) and every move of the current
// cell are reported.
#include "platform/base/TextCodec.h"
#include "platform/ui/ValueListEditor.h"
#include "platform/widgets/NativeConversions.h"
#include "platform/widgets/NativePeer.h"
#include "platform/widgets/WindowKinds.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolButton>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

class TValueModel : public QAbstractTableModel {
public:
    TValueModel(TValueListEditor& grid, QObject* parent) : QAbstractTableModel(parent), grid_(grid) {}

    // One row per line.  The grid's empty row shows only where a name may
    // be typed into it: otherwise an empty grid would show a row (and a
    // shaded current cell) that holds nothing and takes nothing.
    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        if (parent.isValid())
            return 0;
        const bool namesTyped = (grid_.Options() & goEditing) && !(grid_.DisplayOptions() & doKeyColFixed);
        return namesTyped ? grid_.RowCount() - grid_.FixedRows() : grid_.Strings().Count();
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override { return parent.isValid() ? 0 : 2; }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
            return {};
        return ProgramTextToQString(grid_.Cells(index.column(), index.row() + grid_.FixedRows()));
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section >= grid_.TitleCaptions().Count())
            return {};
        return ProgramTextToQString(grid_.TitleCaptions().Strings(section));
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        if (!index.isValid())
            return Qt::NoItemFlags;
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        bool keyFixed = index.column() == 0 && (grid_.DisplayOptions() & doKeyColFixed);
        if ((grid_.Options() & goEditing) && !keyFixed)
            flags |= Qt::ItemIsEditable;
        return flags;
    }
    // The text is the control's already (told as it was typed).
    bool setData(const QModelIndex&, const QVariant&, int) override { return true; }

    void Reset() {
        beginResetModel();
        endResetModel();
    }

private:
    TValueListEditor& grid_;
};

// A line edit with a "..." button beside it.
class TEllipsisEditor : public QWidget {
public:
    explicit TEllipsisEditor(QWidget* parent) : QWidget(parent), line(new QLineEdit(this)), button(new QToolButton(this)) {
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        layout->addWidget(line);
        layout->addWidget(button);
        button->setText("...");
        setFocusProxy(line);
    }
    QLineEdit* line;
    QToolButton* button;
};

// What the peer does for the delegate.
struct TValueEditing {
    std::function<void(QWidget* editor, QObject* part)> Watch;
    std::function<void(int row, const std::string& text)> Typed;
    std::function<void(int row, TStrings& values)> PickList;
    std::function<void()> Ellipsis;
    std::function<void(int row)> Ended;
};

class TValueDelegate : public QStyledItemDelegate {
public:
    TValueDelegate(TValueListEditor& grid, std::shared_ptr<TValueEditing> editing, QObject* parent)
        : QStyledItemDelegate(parent), grid_(grid), editing_(std::move(editing)) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const override {
        int row = index.row() + grid_.FixedRows();
        int col = index.column();
        // Only read: making a line's properties here would change the lines
        // (and so reset the view) while the view opens this editor.
        const TItemProp* props = col == 1 ? grid_.FindItemProps(row) : nullptr;
        TEditStyle style = props != nullptr ? props->EditStyle() : esSimple;
        QWidget* editor = nullptr;
        QLineEdit* line = nullptr;
        if (style == esPickList) {
            auto* combo = new QComboBox(parent);
            combo->setEditable(true);
            combo->setInsertPolicy(QComboBox::NoInsert);
            TStringList values;
            values.Assign(&grid_.ItemProps(row).PickList());
            if (editing_->PickList)
                editing_->PickList(row, values);
            for (int i = 0; i < values.Count(); ++i)
                combo->addItem(ProgramTextToQString(values.Strings(i)));
            line = combo->lineEdit();
            editor = combo;
            // A value picked from the list, with the mouse or the keyboard,
            // is a finished edit: told, then validated at once, as a typed
            // value is when its edit ends.  (A mouse pick has no key to
            // release after it, and the editor may stay open long after.)
            QObject::connect(combo, &QComboBox::activated, combo, [editing = editing_, combo, row](int) {
                if (editing->Typed)
                    editing->Typed(row, QStringToProgramText(combo->currentText()));
                if (editing->Ended)
                    editing->Ended(row);
            });
        } else if (style == esEllipsis) {
            auto* ellipsis = new TEllipsisEditor(parent);
            line = ellipsis->line;
            editor = ellipsis;
            QObject::connect(ellipsis->button, &QToolButton::clicked, ellipsis, [editing = editing_] {
                if (editing->Ellipsis)
                    editing->Ellipsis();
            });
        } else {
            line = new QLineEdit(parent);
            editor = line;
        }
        line->setText(ProgramTextToQString(grid_.Cells(col, row)));
        QObject::connect(line, &QLineEdit::textEdited, line, [editing = editing_, row](const QString& text) {
            if (editing->Typed)
                editing->Typed(row, QStringToProgramText(text));
        });
        editor->setProperty("valueRow", row);
        if (editing_->Watch) {
            editing_->Watch(editor, editor);
            if (line != editor)
                editing_->Watch(editor, line);
        }
        return editor;
    }
    void setEditorData(QWidget*, const QModelIndex&) const override {}
    void setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const override {}

private:
    TValueListEditor& grid_;
    // Shared with the window, which empties it when it goes: editors that
    // outlive it tell nobody.
    std::shared_ptr<TValueEditing> editing_;
};

// A table view that tells when an editor closes, however it closes.
class TValueTable : public QTableView {
public:
    using QTableView::QTableView;
    std::function<void(QWidget* editor)> OnEditorClosed;
    void CloseEditor(QWidget* editor) {
        if (state() == EditingState)
            closeEditor(editor, QAbstractItemDelegate::NoHint);
    }

protected:
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override {
        QTableView::closeEditor(editor, hint);
        if (OnEditorClosed)
            OnEditorClosed(editor);
    }
};

class TValueListWindow : public TNativePeer {
public:
    explicit TValueListWindow(TValueListEditor& grid)
        : TNativePeer(grid, new TValueTable(ParentWidgetFor(grid))), grid_(grid) {
        QTableView* view = table();
        model_ = new TValueModel(grid, view);
        view->setModel(model_);
        editing_->Watch = [this](QWidget* editor, QObject* part) {
            editor_ = editor;
            watch(part);
        };
        editing_->Typed = [this](int row, const std::string& text) {
            TGridCellNotice notice{1, row, &text};
            notify(CN_NOTIFY, static_cast<WPARAM>(static_cast<intptr_t>(GN_SETEDITTEXT)), reinterpret_cast<LPARAM>(&notice));
        };
        editing_->PickList = [this](int row, TStrings& values) {
            TGridPickListNotice notice{row, &values};
            ask(CN_NOTIFY, static_cast<WPARAM>(static_cast<intptr_t>(GN_GETPICKLIST)), reinterpret_cast<LPARAM>(&notice));
        };
        editing_->Ellipsis = [this] {
            notify(CN_NOTIFY, static_cast<WPARAM>(static_cast<intptr_t>(GN_EDITBUTTONCLICK)), grid_.Row());
        };
        editing_->Ended = [this](int row) {
            TGridCellNotice notice{1, row, nullptr};
            ask(CN_NOTIFY, static_cast<WPARAM>(static_cast<intptr_t>(GN_VALIDATE)), reinterpret_cast<LPARAM>(&notice));
        };
        view->setItemDelegate(new TValueDelegate(grid, editing_, view));
        // An edit ends once, whatever ends it.
        static_cast<TValueTable*>(view)->OnEditorClosed = [this](QWidget* editor) {
            if (editor_ == editor)
                editor_ = nullptr;
            if (editing_->Ended && editor != nullptr)
                editing_->Ended(editor->property("valueRow").toInt());
        };
        view->verticalHeader()->hide();
        view->setSelectionMode(QAbstractItemView::SingleSelection);
        setClientWidget(view->viewport());
        watch(view->viewport());
        connect(view->selectionModel(), &QItemSelectionModel::currentChanged,
                [this](const QModelIndex& current, const QModelIndex&) { cellChosen(current); });
        TSync sync(*this);
        changed(paOptions, -1);
        start();
        showCurrent();
    }

    ~TValueListWindow() override {
        *editing_ = TValueEditing{};
        if (auto* view = static_cast<TValueTable*>(Widget()))
            view->OnEditorClosed = nullptr;
    }

protected:
    QTableView* table() const { return static_cast<QTableView*>(Widget()); }

    void changed(TPeerAspect aspect, int) override {
        QTableView* view = table();
        switch (aspect) {
        case paItemsReset:
            refreshCells();
            break;
        case paItemIndex:
            showCurrent();
            break;
        case paOptions: {
            TGridOptions options = grid_.Options();
            view->setShowGrid((options & (goVertLine | goHorzLine)) != 0);
            view->horizontalHeader()->setVisible((grid_.DisplayOptions() & doColumnTitles) != 0);
            // With doAutoColResize the values take what the names leave.
            bool fit = (grid_.DisplayOptions() & doAutoColResize) != 0;
            view->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Interactive);
            view->horizontalHeader()->setSectionResizeMode(1, fit ? QHeaderView::Stretch : QHeaderView::Interactive);
            view->setColumnWidth(0, grid_.ColWidths(0));
            if (!fit)
                view->setColumnWidth(1, grid_.ColWidths(1));
            view->verticalHeader()->setDefaultSectionSize(grid_.DefaultRowHeight());
            view->setEditTriggers((options & goEditing) ? QAbstractItemView::AllEditTriggers
                                                        : QAbstractItemView::NoEditTriggers);
            model_->Reset();
            shownKeys_ = keysNow();
            showCurrent();
            break;
        }
        default:
            break;
        }
    }

private:
    // The cells again; an open editor shows what its cell now holds (a
    // handler may have set it).
    void refreshCells() {
        QTableView* view = table();
        // Other rows (lines replaced by another set of names) end the open
        // edit: its row and its kind of editor may be gone.
        if (editor_ != nullptr && keysNow() != shownKeys_) {
            static_cast<TValueTable*>(view)->CloseEditor(editor_);
            editor_ = nullptr;
        }
        if (editor_ != nullptr) {
            QLineEdit* line = qobject_cast<QLineEdit*>(editor_);
            if (line == nullptr)
                line = editor_->findChild<QLineEdit*>();
            QString now = ProgramTextToQString(grid_.Cells(1, grid_.Row()));
            if (line != nullptr && line->text() != now)
                line->setText(now);
            view->viewport()->update();
            return;
        }
        model_->Reset();
        shownKeys_ = keysNow();
        showCurrent();
    }

    std::vector<std::string> keysNow() const {
        std::vector<std::string> keys;
        for (int row = grid_.FixedRows(); row < grid_.RowCount(); ++row)
            keys.push_back(grid_.Keys(row));
        return keys;
    }

    void showCurrent() {
        QTableView* view = table();
        QModelIndex wanted = model_->index(grid_.Row() - grid_.FixedRows(), grid_.Col());
        if (view->currentIndex() == wanted)
            return;
        // Unless the editor is always to show, a cell the program makes
        // current opens none: it would take the keyboard from wherever the
        // user is typing.
        const QAbstractItemView::EditTriggers triggers = view->editTriggers();
        if (!(grid_.Options() & goAlwaysShowEditor))
            view->setEditTriggers(triggers & ~QAbstractItemView::CurrentChanged);
        view->selectionModel()->setCurrentIndex(wanted, QItemSelectionModel::ClearAndSelect);
        view->setEditTriggers(triggers);
    }

    void cellChosen(const QModelIndex& current) {
        if (syncing() || !current.isValid())
            return;
        TGridCellNotice notice{current.column(), current.row() + grid_.FixedRows(), nullptr};
        auto alive = Alive();
        LRESULT refused = notify(CN_NOTIFY, static_cast<WPARAM>(static_cast<intptr_t>(GN_SELECTCELL)),
                                 reinterpret_cast<LPARAM>(&notice));
        if (alive.expired() || refused == 0)
            return;
        TSync sync(*this);
        showCurrent();
    }

    TValueListEditor& grid_;
    TValueModel* model_ = nullptr;
    std::shared_ptr<TValueEditing> editing_ = std::make_shared<TValueEditing>();
    QPointer<QWidget> editor_;
    // The names of the rows the view was last reset with.
    std::vector<std::string> shownKeys_;
};

const TWindowKindRegistration registration(wk::ValueList, [](TWinControl& control) -> std::unique_ptr<TWindowPeer> {
    return std::make_unique<TValueListWindow>(dynamic_cast<TValueListEditor&>(control));
});

} // namespace
