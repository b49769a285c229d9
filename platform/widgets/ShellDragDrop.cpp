#include "platform/widgets/ShellDragDrop.h"

#include "platform/shellns/DragDrop.h"
#include "platform/shellns/ShellClipboard.h"
#include "platform/ui/Control.h"
#include "platform/ui/Message.h"
#include "platform/ui/UserInteraction.h"
#include "platform/ui/WindowPeer.h"
#include "platform/ui/QtBridge.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QPointer>
#include <QWidget>

#include <map>

namespace {

uint32_t effectsOf(Qt::DropActions actions) {
    uint32_t effects = DROPEFFECT_NONE;
    if (actions & Qt::CopyAction)
        effects |= DROPEFFECT_COPY;
    if (actions & Qt::MoveAction)
        effects |= DROPEFFECT_MOVE;
    if (actions & Qt::LinkAction)
        effects |= DROPEFFECT_LINK;
    return effects;
}

Qt::DropActions actionsOf(uint32_t effects) {
    Qt::DropActions actions = Qt::IgnoreAction;
    if (effects & DROPEFFECT_COPY)
        actions |= Qt::CopyAction;
    if (effects & DROPEFFECT_MOVE)
        actions |= Qt::MoveAction;
    if (effects & DROPEFFECT_LINK)
        actions |= Qt::LinkAction;
    return actions;
}

Qt::DropAction actionOf(uint32_t effect) {
    if (effect & DROPEFFECT_MOVE)
        return Qt::MoveAction;
    if (effect & DROPEFFECT_COPY)
        return Qt::CopyAction;
    if (effect & DROPEFFECT_LINK)
        return Qt::LinkAction;
    return Qt::IgnoreAction;
}

uint32_t keyStateOf(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    uint32_t state = 0;
    if (buttons & Qt::LeftButton)
        state |= MK_LBUTTON;
    if (buttons & Qt::RightButton)
        state |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton)
        state |= MK_MBUTTON;
    if (modifiers & Qt::ShiftModifier)
        state |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        state |= MK_CONTROL;
    if (modifiers & Qt::AltModifier)
        state |= MK_ALT;
    return state;
}

std::shared_ptr<TDataObject> dataOf(const QMimeData* mime) {
    TMimeBlocks blocks;
    if (mime != nullptr)
        for (const QString& type : mime->formats()) {
            QByteArray bytes = mime->data(type);
            blocks.emplace_back(type.toStdString(), std::string(bytes.constData(), static_cast<size_t>(bytes.size())));
        }
    return DataObjectOfMimeBlocks(blocks);
}

// Hands a widget's drag events to its drop target.
class TDropFilter : public QObject {
public:
    TDropFilter(QWidget& widget, std::shared_ptr<TDropTarget> target) : QObject(&widget), target_(std::move(target)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = static_cast<QWidget*>(watched);
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop: {
            auto* drag = static_cast<QDropEvent*>(event);
            TPoint screen = FromQPoint(widget->mapToGlobal(drag->position().toPoint()));
            uint32_t keys = keyStateOf(drag->buttons(), drag->modifiers());
            uint32_t effect = effectsOf(drag->possibleActions());
            bool handled = RunGuarded([&] {
                if (event->type() == QEvent::DragEnter) {
                    data_ = dataOf(drag->mimeData());
                    target_->DragEnter(data_, keys, screen, effect);
                } else if (event->type() == QEvent::DragMove) {
                    target_->DragOver(keys, screen, effect);
                } else {
                    // The buttons are up by now; the drop sees those held at
                    // the start, so a right drag still asks what to do.
                    target_->Drop(data_ ? data_ : dataOf(drag->mimeData()), keys | enterButtons_, screen, effect);
                    data_.reset();
                }
            });
            if (!handled)
                effect = DROPEFFECT_NONE; // a failing target takes nothing
            if (event->type() == QEvent::DragEnter)
                enterButtons_ = keys & (MK_LBUTTON | MK_RBUTTON);
            Qt::DropAction action = actionOf(effect & ~DROPEFFECT_SCROLL);
            if (action == Qt::IgnoreAction) {
                drag->ignore();
                if (event->type() == QEvent::DragEnter)
                    drag->accept(); // keep getting moves: another spot may take it
                drag->setDropAction(Qt::IgnoreAction);
            } else {
                drag->setDropAction(action);
                drag->accept();
            }
            return true;
        }
        case QEvent::DragLeave:
            RunGuarded([&] { target_->DragLeave(); });
            data_.reset();
            return true;
        default:
            return false;
        }
    }

private:
    std::shared_ptr<TDropTarget> target_;
    std::shared_ptr<TDataObject> data_;
    uint32_t enterButtons_ = 0;
};

std::map<TWinControl*, QPointer<TDropFilter>>& registered() {
    static std::map<TWinControl*, QPointer<TDropFilter>> filters;
    return filters;
}

QWidget* widgetOf(TWinControl* control) {
    if (control == nullptr || control->Peer() == nullptr)
        return nullptr;
    return static_cast<QWidget*>(control->Peer()->NativeWidget());
}

HRESULT revokeTarget(TWinControl* control) {
    auto it = registered().find(control);
    if (it == registered().end())
        return E_INVALIDARG;
    if (TDropFilter* filter = it->second) {
        if (auto* widget = qobject_cast<QWidget*>(filter->parent())) {
            widget->removeEventFilter(filter);
            widget->setAcceptDrops(false);
        }
        delete filter;
    }
    registered().erase(it);
    return S_OK;
}

HRESULT registerTarget(TWinControl* control, std::shared_ptr<TDropTarget> target) {
    QWidget* widget = widgetOf(control);
    if (widget == nullptr)
        return E_FAIL;
    revokeTarget(control);
    auto* filter = new TDropFilter(*widget, std::move(target));
    widget->installEventFilter(filter);
    widget->setAcceptDrops(true);
    registered()[control] = filter;
    return S_OK;
}

HRESULT runDrag(const std::shared_ptr<TDataObject>& data, const std::shared_ptr<TDropSource>&, uint32_t allowed,
                uint32_t& effect) {
    effect = DROPEFFECT_NONE;
    if (qGuiApp == nullptr)
        return E_FAIL;
    static QObject* source = new QObject;
    auto* mime = new QMimeData;
    for (const auto& [type, bytes] : MimeBlocksOfDataObject(*data))
        mime->setData(QString::fromStdString(type), QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    QDrag drag(source);
    drag.setMimeData(mime);
    // Qt ends the drag on Escape and on the buttons itself, as the drop
    // source would.
    Qt::DropAction done = drag.exec(actionsOf(allowed), actionOf(allowed));
    effect = effectsOf(done);
    return done == Qt::IgnoreAction ? DRAGDROP_S_CANCEL : DRAGDROP_S_DROP;
}

} // namespace

void InstallShellDragDrop() { SetDragDropService({runDrag, registerTarget, revokeTarget}); }
