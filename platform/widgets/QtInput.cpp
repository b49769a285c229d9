#include "platform/widgets/QtInput.h"
#include "platform/ui/QtBridge.h"

unsigned MouseKeysOf(const QSinglePointEvent& event, bool record) {
    Qt::KeyboardModifiers modifiers = event.modifiers();
    if (record)
        SetModifierKeys(ShiftStateFromQt(modifiers));
    Qt::MouseButtons buttons = event.buttons();
    unsigned keys = 0;
    if (buttons & Qt::LeftButton)
        keys |= MK_LBUTTON;
    if (buttons & Qt::RightButton)
        keys |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton)
        keys |= MK_MBUTTON;
    if (modifiers & Qt::ShiftModifier)
        keys |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        keys |= MK_CONTROL;
    return keys;
}

unsigned MouseButtonMessage(Qt::MouseButton button, bool down, bool doubleClick) {
    switch (button) {
    case Qt::LeftButton:
        return down ? (doubleClick ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN) : WM_LBUTTONUP;
    case Qt::RightButton:
        return down ? (doubleClick ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN) : WM_RBUTTONUP;
    case Qt::MiddleButton:
        return down ? (doubleClick ? WM_MBUTTONDBLCLK : WM_MBUTTONDOWN) : WM_MBUTTONUP;
    default:
        return 0;
    }
}

TKeyMessage KeyMessageOf(const QKeyEvent& event) {
    TKeyMessage result;
    result.Known = TranslateQtKey(event, result.Key, result.Shift);
    if (event.type() == QEvent::KeyPress) {
        bool alt = (result.Shift & ssAlt) != 0;
        result.Data = 1u | (event.isAutoRepeat() ? KF_PREVIOUS_BIT : 0u) | (alt ? KF_ALTDOWN_BIT : 0u);
        result.Msg = alt || result.Key == VK_F10 ? WM_SYSKEYDOWN : WM_KEYDOWN;
        return result;
    }
    // Releasing a modifier reports the modifiers still held.
    if (result.Key == VK_SHIFT)
        result.Shift &= ~ssShift;
    if (result.Key == VK_CONTROL)
        result.Shift &= ~ssCtrl;
    if (result.Key == VK_MENU)
        result.Shift &= ~ssAlt;
    bool alt = (result.Shift & ssAlt) != 0 || result.Key == VK_MENU;
    result.Data = 1u | KF_PREVIOUS_BIT | KF_UP_BIT | (alt ? KF_ALTDOWN_BIT : 0u);
    result.Msg = alt || result.Key == VK_F10 ? WM_SYSKEYUP : WM_KEYUP;
    return result;
}
