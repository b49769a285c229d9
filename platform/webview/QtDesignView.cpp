#include "platform/webview/QtDesignView.h"

#include "platform/webview/DesignView.h"
#include "platform/webview/PageServer.h"
#include "platform/webview/PageText.h"
#include "platform/webview/ScriptCall.h"
#include "platform/webview/WebAddress.h"
#include "platform/webview/WebProfile.h"

#include <QEventLoop>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineView>

// The page of a design view: its own scripts off, and it goes where the
// program loads it and nowhere else.
class TDesignPage : public QWebEnginePage {
public:
    explicit TDesignPage(QObject* parent) : QWebEnginePage(&WebProfile(), parent) {
        settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    }

    // The program is about to load a document.
    void ExpectLoad() { expectedLoads_++; }
    int Refused() const { return refused_; }

protected:
    bool acceptNavigationRequest(const QUrl&, NavigationType, bool isMainFrame) override {
        if (!isMainFrame)
            return true;
        if (expectedLoads_ > 0) {
            expectedLoads_--;
            return true;
        }
        // A refresh, a link, a dropped file, Back or Reload from the context
        // menu: each would replace the document and the user's edits.
        refused_++;
        return false;
    }

    // Scripts of the page do not run; what the engine reports of its own
    // is of no use to the user.
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int,
                                  const QString&) override {}

private:
    int expectedLoads_ = 0;
    int refused_ = 0;
};

namespace {

// Design mode on, the document as it loaded, and a watch for any change
// of the document from now on (the user's edits, the engine's editing
// commands, dropped content).  It lives in the application world, which
// the page's own scripts never see.
const QString kDesignModeOn = QStringLiteral(R"(
document.designMode = 'on';
window.ondrillEdited = false;
window.ondrillLoaded = document.documentElement ? document.documentElement.outerHTML : '';
new MutationObserver(function () { window.ondrillEdited = true; })
    .observe(document, {subtree: true, childList: true, attributes: true, characterData: true});
)");

// Changed, and not back to what it loaded as: an edit undone (or typed
// away again) is no edit.
const QString kEdited = QStringLiteral(
    "window.ondrillEdited === true &&"
    " (document.documentElement ? document.documentElement.outerHTML : '') !== window.ondrillLoaded");

// The engine's own editing command puts markup where the user's selection
// is, as typing would.  A page the user never clicked into holds no
// selection (or one outside its body): the markup then goes at the end of
// the body, where the user sees it.
const QString kInsertHTML = QStringLiteral(R"((function (markup) {
  var root = document.body || document.documentElement;
  if (!root)
    return false;
  var selection = getSelection();
  if (selection.rangeCount === 0 || !root.contains(selection.getRangeAt(0).commonAncestorContainer)) {
    var range = document.createRange();
    range.selectNodeContents(root);
    range.collapse(false);
    selection.removeAllRanges();
    selection.addRange(range);
  }
  return document.execCommand('insertHTML', false, markup);
})(%1))");

// Text as a script's string literal: every character that is not plain
// printable ASCII, and the quote and backslash, escaped by its code, so that
// nothing in the text can end the literal.
QString scriptStringLiteral(const QString& text) {
    QString literal;
    literal.reserve(text.size() + 2);
    literal += u'"';
    for (const QChar character : text) {
        const char16_t unit = character.unicode();
        if (unit >= 0x20 && unit < 0x7F && unit != u'"' && unit != u'\\') {
            literal += character;
        } else {
            literal +=
                QStringLiteral("\\u%1").arg(static_cast<unsigned>(unit), 4, 16, QLatin1Char('0'));
        }
    }
    literal += u'"';
    return literal;
}

} // namespace

TQtDesignView::TQtDesignView(QWidget* parent)
    : view_(new QWebEngineView(parent)), unanswered_(std::make_shared<bool>(false)) {
    makePage();
}

TQtDesignView::~TQtDesignView() {
    // The page answers the scripts it still owes as it goes, from inside
    // the view's destruction: those answers must find no load to go on
    // with (startLoad would reach the half-destroyed view).
    ++generation_;
    changed_ = false;
    state_ = TState::Empty;
    withdrawServed();
    delete view_.data();
}

QWebEnginePage* TQtDesignView::Page() const {
    return page_;
}

void TQtDesignView::SetDocumentHTML(std::string html, TTextEncoding encoding) {
    document_ = std::move(html);
    encoding_ = encoding;
    changed_ = true;
    scheduleLoad();
}

void TQtDesignView::SetBaseURL(const std::string& url) {
    base_ = WebAddressToUrl(url);
}

bool TQtDesignView::Loading() const {
    return changed_ || state_ == TState::Loading || state_ == TState::Preparing;
}

int TQtDesignView::RefusedNavigations() const {
    return page_ ? page_->Refused() : 0;
}

std::string TQtDesignView::DocumentHTML() {
    QPointer<TQtDesignView> self(this);
    // A document still loading is waited for, so that the answer is always
    // the page as the view writes it.  One that does not stand in time, or
    // failed to load, is answered as it was set: nobody can have edited it,
    // and the page would answer with whatever it showed instead.
    if (Loading() && !waitForLoad())
        return document_;
    if (state_ != TState::Ready || !loadSucceeded_ || !page_)
        return document_;
    // The engine's own serialiser: the whole document, doctype and comments
    // around the root included.
    const QVariant answer = askPage([page = page_](TPageAnswer reply) {
        page->toHtml([reply](const QString& html) { reply(html); });
    });
    // A parsed page is never empty: a renderer that crashed answers
    // nothing, and an empty document here would replace the user's text.
    if (answer.toString().isEmpty())
        throw EWebViewError("The design view could not read its page");
    return PageTextToDocument(answer.toString(), encoding_);
}

bool TQtDesignView::Edited() {
    // A document not yet standing can not have been edited.
    if (Loading() || state_ != TState::Ready || !loadSucceeded_ || !page_)
        return false;
    const QVariant answer = askPage([page = page_](TPageAnswer reply) {
        page->runJavaScript(kEdited, QWebEngineScript::ApplicationWorld, reply);
    });
    return answer.toBool();
}

bool TQtDesignView::InsertHTML(const std::string& html, TTextEncoding encoding) {
    // As a read: a document still loading is waited for, and one that
    // failed takes nothing.
    if (Loading() && !waitForLoad())
        return false;
    if (state_ != TState::Ready || !loadSucceeded_ || !page_)
        return false;
    const QString script = kInsertHTML.arg(scriptStringLiteral(DocumentToPageText(html, encoding)));
    const QVariant answer = askPage([page = page_, script](TPageAnswer reply) {
        page->runJavaScript(script, QWebEngineScript::ApplicationWorld, reply);
    });
    return answer.toBool();
}

QVariant TQtDesignView::askPage(const std::function<void(TPageAnswer answer)>& ask) {
    QPointer<TQtDesignView> self(this);
    std::shared_ptr<bool> unanswered = unanswered_;
    QVariant answer;
    try {
        answer = AskPageAndWait(ask, ReadTimeout, "The design view is not responding",
                                [unanswered] { *unanswered = false; });
    } catch (const EWebViewError&) {
        *unanswered = true;
        throw;
    }
    // The wait ran the event loop: the view may be gone.
    if (!self)
        throw EWebViewError("The design view was closed while its page was read");
    return answer;
}

bool TQtDesignView::waitForLoad() {
    QPointer<TQtDesignView> self(this);
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    loadWaiter_ = &loop;
    timer.start(ReadTimeout);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!self)
        throw EWebViewError("The design view was closed while its page was read");
    loadWaiter_ = nullptr;
    // The completion that ended the wait goes out now, from the reader's
    // own level: a handler that reads the page from inside this wait's
    // loop may wait in vain, the engine holding its answer until that loop
    // has returned.
    if (completionDue_) {
        completionDue_ = false;
        if (OnDocumentComplete)
            OnDocumentComplete();
        if (!self)
            throw EWebViewError("The design view was closed while its page was read");
    }
    if (!Loading())
        return true;
    // A page that does not finish may never do: the next document gets a
    // fresh one.
    *unanswered_ = true;
    return false;
}

void TQtDesignView::scheduleLoad() {
    if (loadScheduled_)
        return;
    loadScheduled_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            loadScheduled_ = false;
            startLoad();
        },
        Qt::QueuedConnection);
}

void TQtDesignView::startLoad() {
    if (!changed_ || !view_)
        return;
    // One load at a time: the one running ends first (loadFinished or
    // prepared start the next), unless the page stopped answering, which
    // the fresh page below leaves behind.
    if ((state_ == TState::Loading || state_ == TState::Preparing) && !*unanswered_)
        return;
    changed_ = false;
    ++generation_;
    if (!page_ || *unanswered_)
        makePage();
    withdrawServed();
    QByteArray page = DocumentToPageText(document_, encoding_).toUtf8();
    state_ = TState::Loading;
    page_->ExpectLoad();
    if (page.size() <= kLargestInlinePage) {
        page_->setContent(page, QByteArrayLiteral("text/html;charset=UTF-8"), base_);
    } else {
        server_ = &WebPageServer();
        served_ = server_->Serve(std::move(page), base_);
        page_->load(served_);
    }
}

void TQtDesignView::loadFinished(bool succeeded) {
    if (state_ != TState::Loading)
        return;
    loadSucceeded_ = succeeded;
    if (changed_) {
        state_ = TState::Empty;
        startLoad();
        return;
    }
    // Also after a failed load: the view has finished with the document,
    // and whoever waits for it must not wait for ever.
    state_ = TState::Preparing;
    QPointer<TQtDesignView> self(this);
    const unsigned generation = generation_;
    page_->runJavaScript(kDesignModeOn, QWebEngineScript::ApplicationWorld,
                         [self, generation](const QVariant&) {
                             if (self)
                                 self->prepared(generation);
                         });
}

void TQtDesignView::prepared(unsigned generation) {
    if (generation != generation_ || state_ != TState::Preparing)
        return;
    if (changed_) {
        state_ = TState::Empty;
        startLoad();
        return;
    }
    state_ = TState::Ready;
    // This runs inside the engine's answer to a script, where the engine
    // answers nothing else: a handler that read the page here would wait
    // in vain.  The completion goes out from the event loop instead.
    QMetaObject::invokeMethod(
        this, [this, generation] { completed(generation); }, Qt::QueuedConnection);
}

void TQtDesignView::completed(unsigned generation) {
    // A document set since then has its own completion coming.
    if (generation != generation_ || state_ != TState::Ready || changed_)
        return;
    // A read waiting for this document sends the completion itself once
    // its wait is over.
    if (loadWaiter_ != nullptr) {
        completionDue_ = true;
        loadWaiter_->quit();
        return;
    }
    if (OnDocumentComplete)
        OnDocumentComplete();
}

void TQtDesignView::makePage() {
    // The view deletes the page it owned when it gets another.
    auto* page = new TDesignPage(view_);
    connect(page, &QWebEnginePage::loadFinished, this, [this, page](bool succeeded) {
        if (page == page_)
            loadFinished(succeeded);
    });
    view_->setPage(page);
    page_ = page;
    unanswered_ = std::make_shared<bool>(false);
    state_ = TState::Empty;
}

void TQtDesignView::withdrawServed() {
    if (server_ && !served_.isEmpty())
        server_->Withdraw(served_);
    served_.clear();
}
