#include "platform/ui/NonClientMouse.h"

#include "platform/ui/Cursors.h"

int SizingCursorOfHitCode(int hitCode) {
    switch (hitCode) {
    case HTLEFT:
    case HTRIGHT:
        return crSizeWE;
    case HTTOP:
    case HTBOTTOM:
        return crSizeNS;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT:
        return crSizeNWSE;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT:
        return crSizeNESW;
    default:
        return crDefault;
    }
}
