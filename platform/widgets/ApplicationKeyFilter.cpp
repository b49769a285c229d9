// Offers the key presses of the program's windows to the menus first
// (platform/ui/ApplicationKeys.h): shortcuts, Alt with a character, and
// Alt pressed and released alone.  Shortcuts the focused control handles
// itself stay with it.  Modal loops (menus being tracked, drags)
// and Qt's own dialogs see their keys themselves.
#include "platform/ui/Application.h"
#include "platform/ui/ApplicationKeys.h"
#include "platform/ui/ButtonControls.h"
#include "platform/ui/ModalLoop.h"
#include "platform/ui/QtBridge.h"
#include "platform/widgets/NativePeer.h"
#include "platform/widgets/WidgetPeer.h"

#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
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

class TApplicationKeyFilter : public QObject {
public:
    // Sees every object's events, the web engine's too, whose classes have
    // no type information: the sanitizer build leaves this file out of its
    // dynamic type check (CMakeLists.txt).
    bool eventFilter(QObject* receiver, QEvent* event) override {
        QEvent::Type type = event->type();
        if (type == QEvent::MouseButtonPress)
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
        if (key == last_ && type == lastType_ && key->timestamp() == lastTime_ && lastTime_ != 0)
            return false;
        last_ = key;
        lastType_ = type;
        lastTime_ = key->timestamp();
        // A window of Qt's own (the find dialog) takes its keys itself, its
        // access keys among them, though a form owns it.
        QWidget* window = static_cast<QWidget*>(receiver)->window();
        if (dynamic_cast<TPeerWidget*>(window) == nullptr && !window->property(kControlProperty).isValid())
            return false;
        TWinControl* control = ControlOfObject(receiver);
        TWinControl* form = control != nullptr ? TopLevelParent(*control) : nullptr;
        uint16_t virtualKey = 0;
        TShiftState shift = 0;
        if (form == nullptr || !TranslateQtKey(*key, virtualKey, shift))
            return false;
        if (type == QEvent::KeyRelease) {
            bool alone = virtualKey == VK_MENU && altAlone_ && !key->isAutoRepeat();
            altAlone_ = false;
            return alone && OfferMenuKey(form, 0);
        }
        if (key->isAutoRepeat() && virtualKey == VK_MENU)
            return false;
        altAlone_ = virtualKey == VK_MENU && (shift & ~ssAlt) == 0;
        if (IsShortCutKey(virtualKey, shift)) {
            const TShortCut shortCut = ShortCut(virtualKey, shift);
            if (keptByControl(receiver, *control, *key, shortCut))
                return false;
            if (OfferShortCut(form, shortCut))
                return true;
        }
        if ((shift & ssAlt) && !(shift & ssCtrl) && virtualKey != VK_MENU) {
            std::string typed = KeyPressCharacters(virtualKey, shift & ~ssAlt, key->text());
            char ch = !typed.empty() ? typed[0] : static_cast<char>(virtualKey);
            return ch != 0 && OfferMenuKey(form, ch);
        }
        return false;
    }

private:
    const QKeyEvent* last_ = nullptr;
    QEvent::Type lastType_ = QEvent::None;
    quint64 lastTime_ = 0;
    bool altAlone_ = false;
};

} // namespace

void InstallApplicationKeyFilter() {
    static TApplicationKeyFilter* filter = nullptr;
    if (filter != nullptr || QCoreApplication::instance() == nullptr)
        return;
    filter = new TApplicationKeyFilter;
    QCoreApplication::instance()->installEventFilter(filter);
}
