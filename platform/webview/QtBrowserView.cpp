#include "platform/webview/QtBrowserView.h"

#include "platform/ui/UserInteraction.h"
#include "platform/webview/EngineNetwork.h"
#include "platform/webview/WebAddress.h"
#include "platform/webview/WebProfile.h"

#include <QEvent>
#include <QKeyEvent>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <chrono>
#include <optional>

namespace {

using TClock = std::chrono::steady_clock;

// How long after the user's press the engine may ask for the link
// followed: the time a browser gives a page to open a window after a click.
constexpr std::chrono::seconds kUserActionLasts{5};

// The page of the browser view: it stays with local pages, and hands the
// web link the user just followed to the desktop.
class TBrowserPage : public QWebEnginePage {
public:
    explicit TBrowserPage(QObject* parent) : QWebEnginePage(&WebProfile(), parent) {
        connect(this, &QWebEnginePage::newWindowRequested, this,
                [this](QWebEngineNewWindowRequest& request) {
                    // A window the page opens is never made; a link the user opens
                    // in one goes to the desktop.
                    if (request.isUserInitiated() && IsWebAddress(request.requestedUrl()))
                        handToDesktop(request.requestedUrl());
                });
    }

    // The user pressed a button or key in the view.
    void UserActed() { userActed_ = TClock::now(); }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool) override {
        if (!IsNetworkUrl(url))
            return true;
        if (type == NavigationTypeLinkClicked && IsWebAddress(url))
            handToDesktop(url);
        return false;
    }

private:
    void handToDesktop(const QUrl& url) {
        if (!userActed_ || TClock::now() - *userActed_ > kUserActionLasts)
            return;
        // One press, one address.
        userActed_.reset();
        // Not from inside the engine's question: the desktop's answer may
        // be an error box.
        QMetaObject::invokeMethod(
            this,
            [address = url.toString(QUrl::FullyEncoded).toStdString()] { OpenWebAddress(address); },
            Qt::QueuedConnection);
    }

    std::optional<TClock::time_point> userActed_;
};

// Tells the page of the user's presses in the view: in the widget the
// engine draws into, which the view makes anew now and then.
class TUserActionWatch : public QObject {
public:
    TUserActionWatch(QWebEngineView* view, TBrowserPage* page) : QObject(view), page_(page) {
        view->installEventFilter(this);
        for (QObject* child : view->children())
            child->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::ChildAdded:
            static_cast<QChildEvent*>(event)->child()->installEventFilter(this);
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
            if (page_)
                page_->UserActed();
            break;
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (page_ && (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space))
                page_->UserActed();
            break;
        }
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QPointer<TBrowserPage> page_;
};

} // namespace

TQtBrowserView::TQtBrowserView(QWidget* parent) : view_(new QWebEngineView(parent)) {
    auto* page = new TBrowserPage(view_);
    view_->setPage(page);
    new TUserActionWatch(view_, page);
}

TQtBrowserView::~TQtBrowserView() {
    delete view_.data();
}

void TQtBrowserView::SetTextEncoding(TTextEncoding encoding) {
    if (view_)
        view_->settings()->setDefaultTextEncoding(encoding == teUtf8 ? "UTF-8" : "windows-1252");
}

void TQtBrowserView::Navigate(const std::string& address) {
    const QUrl url = RequireWebAddress(address);
    if (!view_)
        return;
    // Loading the address the page shows already reloads it, and the
    // profile keeps no cache, so the page comes from its source again.
    view_->page()->load(url);
}
