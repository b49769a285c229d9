// Offers the key presses of the program's windows to the menus first
// (platform/ui/ApplicationKeys.h): shortcuts, Alt with a character (to the
// access keys of the form's controls first), and Alt pressed and released
// alone.  Shortcuts the focused control handles itself stay with it.  Modal
// loops (menus being tracked, drags) and Qt's own dialogs see their keys
// themselves.
#include "platform/ui/Application.h"
#include "platform/ui/ApplicationKeys.h"
#include "platform/ui/DialogKeys.h"
#include "platform/ui/ModalLoop.h"
#include "platform/ui/QtBridge.h"
#include "platform/ui/UserInteraction.h"
#include "platform/widgets/ApplicationFilter.h"
#include "platform/widgets/NativePeer.h"
#include "platform/widgets/WidgetPeer.h"

#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QPointer>
#include <QPlainTextEdit>
#include <QTextEdit>

#include <algorithm>
#include <iterator>

namespace {

// The keys a text box edits its text with.
bool isTextEditingKey(const QKeyEvent& key) {
    static constexpr QKeySequence::StandardKey keys[] = {
        QKeySequence::Copy, QKeySequence::Cut,       QKeySequence::Paste,     QKeySequence::Undo,
        QKeySequence::Redo, QKeySequence::SelectAll, QKeySequence::Delete,
    };
    return std::any_of(std::begin(keys), std::end(keys), [&](QKeySequence::StandardKey k) { return key.matches(k); });
}

// The control with the keyboard keeps the shortcuts it handles itself: a
// text box (of any control: an edit box, a grid's cell editor) its editing
// keys, and any control those it claims.
bool keptByControl(QObject* receiver, TWinControl& control, const QKeyEvent& key, TShortCut shortCut) {
    const bool textBox = qobject_cast<QLineEdit*>(receiver) != nullptr ||
                         qobject_cast<QTextEdit*>(receiver) != nullptr ||
                         qobject_cast<QPlainTextEdit*>(receiver) != nullptr;
    if (textBox && isTextEditingKey(key))
        return true;
    return control.Perform(CM_WANTSPECIALKEY, shortCut) != 0;
}

// The program's form whose window the receiver is in; nullptr for a
// window of Qt's own (a standard dialog), which is no part of the program
// window it was opened over and keeps its keys.
TWinControl* formOfReceiver(QObject* receiver) {
    auto* widget = static_cast<QWidget*>(receiver);
    TWinControl* control = ControlOfObject(widget);
    TWinControl* form = control != nullptr ? TopLevelParent(*control) : nullptr;
    QWidget* formWidget = form != nullptr ? ClientWidgetOf(form) : nullptr;
    return formWidget != nullptr && formWidget->window() == widget->window() ? form : nullptr;
}

// The character Alt was typed with, for access keys; 0 for keys that type
// none (arrows, function keys), which are no access keys.
char32_t accessCharacter(uint16_t virtualKey, TShiftState shift, const QString& text) {
    std::u32string typed = KeyPressText(virtualKey, shift & ~ssAlt, text);
    if (!typed.empty())
        return typed[0];
    if (virtualKey >= 'A' && virtualKey <= 'Z')
        return static_cast<char32_t>(virtualKey - 'A' + 'a');
    if (virtualKey >= '0' && virtualKey <= '9')
        return virtualKey;
    return 0;
}

class TApplicationKeyFilter : public QObject {
public:
    // Sees every object's events, the web engine's too, whose classes have
    // no type information: the sanitizer build leaves this file out of its
    // dynamic type check (CMakeLists.txt).
    bool eventFilter(QObject* receiver, QEvent* event) override {
        QEvent::Type type = event->type();
        if (type == QEvent::MouseButtonPress)
            altAlone_ = false;
        // A key Qt takes as a shortcut of its own (a mnemonic of one of its
        // dialogs) comes as no press: its override request is all there
        // is, and Alt was not pressed alone.
        if (type == QEvent::ShortcutOverride && !isAlt(static_cast<QKeyEvent*>(event)->key()))
            altAlone_ = false;
        if ((type != QEvent::KeyPress && type != QEvent::KeyRelease) || !receiver->isWidgetType())
            return false;
        // The program's own message loop is no modal state: the menus take
        // their keys while it runs.
        const TModalLoop* loop = InnermostLoop();
        if ((loop != nullptr && !loop->IsMessageLoop()) || QApplication::activeModalWidget() != nullptr ||
            QApplication::activePopupWidget() != nullptr)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        // Qt offers an ignored key to each parent again: once is enough.
        // Only a parent of the window offered it last sees the same event
        // again: a next key may come in the same event object and the same
        // millisecond (typed at once, or all read after a busy moment).
        auto* widget = static_cast<QWidget*>(receiver);
        if (key == last_ && type == lastType_ && key->timestamp() == lastTime_ && lastTime_ != 0 &&
            lastReceiver_ != nullptr && widget->isAncestorOf(lastReceiver_))
            return false;
        last_ = key;
        lastType_ = type;
        lastTime_ = key->timestamp();
        lastReceiver_ = widget;
        uint16_t virtualKey = 0;
        TShiftState shift = 0;
        // Letters of national keyboards have no key code, but are typed.
        if (!TranslateQtKey(*key, virtualKey, shift))
            virtualKey = 0;
        TWinControl* form = formOfReceiver(receiver);
        if (type == QEvent::KeyRelease) {
            bool alone = virtualKey == VK_MENU && altAlone_ && !key->isAutoRepeat();
            altAlone_ = false;
            return alone && form != nullptr && OfferMenuKey(form, 0);
        }
        if (key->isAutoRepeat() && virtualKey == VK_MENU)
            return false;
        altAlone_ = virtualKey == VK_MENU && (shift & ~ssAlt) == 0;
        if (form == nullptr)
            return false;
        if (virtualKey != 0 && IsShortCutKey(virtualKey, shift)) {
            const TShortCut shortCut = ShortCut(virtualKey, shift);
            if (keptByControl(receiver, *ControlOfObject(receiver), *key, shortCut))
                return false;
            if (OfferShortCut(form, shortCut))
                return true;
        }
        if ((shift & ssAlt) && !(shift & ssCtrl) && virtualKey != VK_MENU) {
            // Alt with a character: the access key of a control on the form
            // (a label, a button), else of its menu bar.
            char32_t ch = accessCharacter(virtualKey, shift, key->text());
            if (ch == 0)
                return false;
            // As taken from the queue, before anybody handles it.
            TQueuedMessage typed;
            typed.Window = ControlOfObject(receiver);
            typed.Msg = WM_SYSCHAR;
            typed.WParam = ch;
            if (OfferQueuedMessage(typed))
                return true;
            bool taken = false;
            // A handler that raised has had the key.
            if (!RunGuarded([&] { taken = SendDialogChar(*form, ch); }))
                return true;
            return taken || OfferMenuKey(form, ch);
        }
        return false;
    }

private:
    static bool isAlt(int key) { return key == Qt::Key_Alt || key == Qt::Key_AltGr; }

    const QKeyEvent* last_ = nullptr;
    QEvent::Type lastType_ = QEvent::None;
    quint64 lastTime_ = 0;
    QPointer<QWidget> lastReceiver_;
    bool altAlone_ = false;
};

} // namespace

void InstallApplicationKeyFilter() {
    InstallApplicationFilter<TApplicationKeyFilter>();
}
