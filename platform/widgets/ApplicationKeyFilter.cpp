// Offers the key presses of the program's windows to the menus first
// (platform/ui/ApplicationKeys.h): shortcuts, Alt with a character, and
// Alt pressed and released alone.  Modal loops (menus being tracked, drags)
// and Qt's own dialogs see their keys themselves.
#include "platform/ui/Application.h"
#include "platform/ui/ApplicationKeys.h"
#include "platform/ui/ButtonControls.h"
#include "platform/ui/ModalLoop.h"
#include "platform/ui/QtBridge.h"
#include "platform/widgets/WidgetPeer.h"

#include <QApplication>
#include <QKeyEvent>

namespace {

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
        if (IsShortCutKey(virtualKey, shift) && OfferShortCut(form, ShortCut(virtualKey, shift)))
            return true;
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
