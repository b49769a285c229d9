#pragma once
// A Qt item view (tree or list) as the window of a tree or list view
// control: it reports one selection per input event (TInputReportingView),
// asks before an in-place edit starts and tells when it ends, reports the
// start of a drag with either button, and sends the control's custom-draw
// notice before it paints (a control may paint everything itself).  Its
// delegate records the editor and lets the control custom draw each item.

#include "platform/gfx/QtBridge.h"
#include "platform/ui/ItemViews.h"
#include "platform/ui/StandardControl.h"
#include "platform/widgets/InputReportingView.h"
#include "platform/widgets/ItemViewPainting.h"

#include <QAbstractItemDelegate>
#include <QAbstractItemView>
#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QStyledItemDelegate>

#include <functional>

template <class TView>
class TNoticeItemView : public TInputReportingView<TView> {
    using TBase = TInputReportingView<TView>;

public:
    using TBase::TBase;

    // Asked before an edit starts (false refuses it).
    std::function<bool(const QModelIndex&)> OnBeginEdit;
    // An edit ended (its text reached the model first, unless cancelled).
    std::function<void()> OnEditClosed;
    std::function<void(const QModelIndex&, bool right)> OnBeginDrag;
    // Hands a notice to the control (custom draw).
    std::function<LRESULT(TMessage&)> Send;
    // Called before every paint.
    std::function<void()> OnPaintStart;

    QWidget* Editor() const { return editor_; }
    void SetEditor(QWidget* editor) { editor_ = editor; }
    bool EditNow(const QModelIndex& index) { return this->edit(index, QAbstractItemView::AllEditTriggers, nullptr); }
    void FinishEdit(bool cancel) {
        QWidget* editor = editor_;
        if (editor == nullptr)
            return;
        if (!cancel)
            this->commitData(editor);
        this->closeEditor(editor, cancel ? QAbstractItemDelegate::RevertModelCache : QAbstractItemDelegate::NoHint);
    }
    // The control asked for item notices in this paint.
    bool WantItems() const { return wantItems_; }

    // Where an item's picture (SE_ItemViewItemDecoration) or text
    // (SE_ItemViewItemText) lies, as the style lays out the cell it paints:
    // beside each other in rows, the picture over the text in large icons.
    QRect ItemPartRect(const QModelIndex& index, QStyle::SubElement part) const {
        QStyleOptionViewItem option;
        this->initViewItemOption(&option);
        option.rect = this->visualRect(index);
        if (auto* delegate = dynamic_cast<TItemOptions*>(this->itemDelegateForIndex(index)))
            delegate->InitOption(option, index);
        return this->style()->subElementRect(part, &option, this);
    }

    // The delegate's part: an item's look from its data.
    class TItemOptions {
    public:
        virtual ~TItemOptions() = default;
        virtual void InitOption(QStyleOptionViewItem& option, const QModelIndex& index) const = 0;
    };

    void Detach() {
        OnBeginEdit = nullptr;
        OnEditClosed = nullptr;
        OnBeginDrag = nullptr;
        Send = nullptr;
        OnPaintStart = nullptr;
        this->AfterInput = nullptr;
    }

protected:
    bool edit(const QModelIndex& index, QAbstractItemView::EditTrigger trigger, QEvent* event) override {
        if (!index.isValid() || (trigger & this->editTriggers()) == 0)
            return false;
        if (OnBeginEdit && !OnBeginEdit(index))
            return false;
        return TBase::edit(index, trigger, event);
    }
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override {
        TBase::closeEditor(editor, hint);
        editor_ = nullptr;
        if (OnEditClosed)
            OnEditClosed();
    }
    void mousePressEvent(QMouseEvent* event) override {
        pressAt_ = event->position().toPoint();
        pressIndex_ = this->indexAt(pressAt_);
        dragReported_ = false;
        TBase::mousePressEvent(event);
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        Qt::MouseButtons held = event->buttons() & (Qt::LeftButton | Qt::RightButton);
        if (held && !dragReported_ && pressIndex_.isValid() &&
            (event->position().toPoint() - pressAt_).manhattanLength() >= QApplication::startDragDistance()) {
            dragReported_ = true;
            if (OnBeginDrag)
                OnBeginDrag(pressIndex_, held == Qt::RightButton);
            return;
        }
        if (!dragReported_)
            TBase::mouseMoveEvent(event);
    }
    void paintEvent(QPaintEvent* event) override {
        if (OnPaintStart)
            OnPaintStart();
        wantItems_ = false;
        if (Send) {
            TCustomDrawInfo info;
            info.Stage = cdPrePaint;
            info.Rect = TRect{0, 0, this->viewport()->width(), this->viewport()->height()};
            LRESULT result = 0;
            {
                // What a handler paints goes on the viewport; its painter
                // ends before the view's own may begin.
                TDeviceCanvas canvas(this->viewport());
                info.Canvas = &canvas;
                TMessage message{CN_NOTIFY, static_cast<WPARAM>(static_cast<intptr_t>(NM_CUSTOMDRAW)),
                                 reinterpret_cast<LPARAM>(&info), 0};
                result = Send(message);
            }
            if (result & CDRF_SKIPDEFAULT)
                return;
            wantItems_ = (result & CDRF_NOTIFYITEMDRAW) != 0;
        }
        TBase::paintEvent(event);
    }

private:
    QPoint pressAt_;
    QPersistentModelIndex pressIndex_;
    bool dragReported_ = false;
    bool wantItems_ = false;
    QPointer<QWidget> editor_;
};

// The delegate of such a view: custom draw through the control, the
// ghosted and drop-target looks, and the editor recorded.
template <class TView>
class TNoticeDelegate : public QStyledItemDelegate, public TNoticeItemView<TView>::TItemOptions {
public:
    // What to paint an item with: its node or row, ghosted, a drop target.
    struct TItemLook {
        void* Node = nullptr;
        int Index = -1;
        bool Cut = false;
        bool DropTarget = false;
    };

    TNoticeDelegate(TNoticeItemView<TView>& view, TWinControl& control, std::function<TItemLook(const QModelIndex&)> look)
        : QStyledItemDelegate(&view), view_(view), control_(control), look_(std::move(look)) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem shown = option;
        TItemLook look = look_(index);
        if (look.DropTarget)
            shown.state |= QStyle::State_Selected;
        if (view_.WantItems() && view_.Send) {
            TCustomDrawStage stage = index.column() > 0 ? cdSubItemPrePaint : cdItemPrePaint;
            if (CustomDrawItem({control_, look.Node, look.Index, index.column(), stage}, painter, shown, view_.Send))
                return;
        }
        painter->save();
        if (look.Cut)
            painter->setOpacity(0.5);
        QStyledItemDelegate::paint(painter, shown, index);
        painter->restore();
    }

    void InitOption(QStyleOptionViewItem& option, const QModelIndex& index) const override {
        initStyleOption(&option, index);
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        view_.SetEditor(editor);
        return editor;
    }

private:
    TNoticeItemView<TView>& view_;
    TWinControl& control_;
    std::function<TItemLook(const QModelIndex&)> look_;
};
