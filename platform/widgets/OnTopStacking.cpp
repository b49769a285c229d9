#include "platform/widgets/OnTopStacking.h"

#include "platform/widgets/ApplicationFilter.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>

#include <vector>

namespace {

class TOnTopStacking : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if ((event->type() != QEvent::ZOrderChange && event->type() != QEvent::Show) ||
            !watched->isWidgetType())
            return false;
        auto* window = static_cast<QWidget*>(watched);
        if (window->isWindow() && isStacked(*window) && !onTop(window))
            restackOnceRaised();
        return false;
    }

private:
    static bool isStacked(const QWidget& window) {
        const Qt::WindowType kind = window.windowType();
        return window.isVisible() && kind != Qt::Popup && kind != Qt::ToolTip && kind != Qt::Desktop;
    }

    // Stays on top, or was shown over a window that does (its dialogs).
    static bool onTop(const QWidget* window) {
        for (; window != nullptr; window = window->parentWidget() ? window->parentWidget()->window() : nullptr)
            if (window->windowFlags() & Qt::WindowStaysOnTopHint)
                return true;
        return false;
    }

    // Once the raise (and the window manager's or the owner's own answers
    // to it) is done.
    void restackOnceRaised() {
        if (pending_)
            return;
        pending_ = true;
        QMetaObject::invokeMethod(this, [this] { restack(); }, Qt::QueuedConnection);
    }

    // The windows on top, each followed by the windows shown over it.
    void restack() {
        pending_ = false;
        std::vector<QPointer<QWidget>> raised;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (isStacked(*window) && (window->windowFlags() & Qt::WindowStaysOnTopHint))
                raised.emplace_back(window);
        for (QWidget* window : QApplication::topLevelWidgets())
            if (isStacked(*window) && !(window->windowFlags() & Qt::WindowStaysOnTopHint) && onTop(window))
                raised.emplace_back(window);
        for (const QPointer<QWidget>& window : raised)
            if (window)
                window->raise();
    }

    bool pending_ = false;
};

} // namespace

void InstallOnTopStacking() {
    InstallApplicationFilter<TOnTopStacking>();
}
