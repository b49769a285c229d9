#pragma once
// The design view on the web engine (platform code only: Qt types).
//
// A page shown with its own scripts off and its document made editable in
// place by switching design mode on from the application world, a script
// world of the program's own that runs while the page's scripts are off.
// The document and its base are properties; setting them schedules one
// load for the next turn of the event loop.  Loads run one at a time: a
// document set while another loads waits for that load to end.  The page
// leaves its document only for the program's loads (no refresh or link can
// take the user's edits away).
//
// Reading the document back is synchronous with a timeout (see
// ScriptCall.h), and waits for a document still loading.  The completion
// goes out from the event loop, never from inside the engine's answers,
// so that its handler may read the page; one that comes while a read waits
// for the load goes out when that wait is over, before the read goes on.  A page that let
// a read time out may hang for good; the next document gets a fresh page,
// and so a fresh renderer.

#include "platform/webview/ScriptCall.h"

#include "platform/base/TextCodec.h"

#include <QObject>
#include <QPointer>
#include <QUrl>
#include <QVariant>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

class QEventLoop;
class QWebEngineView;
class QWebEnginePage;
class QWidget;
class TDesignPage;
class TPageServer;

class TQtDesignView : public QObject {
public:
    // Documents whose UTF-8 form is longer go through the page server.  The
    // engine takes a page given as text in a data: URL of at most 2 MB
    // (2,097,152 characters) and fails a longer one without a word; the
    // page goes into the URL percent-encoded, three characters for a byte
    // at worst (markup, blanks, line breaks, anything not ASCII), so only
    // pages of up to a third of that, less the URL's header, surely fit.
    static constexpr qsizetype kLongestDataUrl = 2 * 1024 * 1024;
    static constexpr qsizetype kLargestInlinePage = (kLongestDataUrl - 64) / 3;

    explicit TQtDesignView(QWidget* parent = nullptr);
    ~TQtDesignView() override;

    QWebEngineView* View() const { return view_; }
    QWebEnginePage* Page() const;

    // See TDesignView.
    void SetDocumentHTML(std::string html, TTextEncoding encoding = teAnsi);
    void SetBaseURL(const std::string& url);
    std::string DocumentHTML();
    bool Edited();
    bool InsertHTML(const std::string& html, TTextEncoding encoding);
    // A document was set and is not yet complete.
    bool Loading() const;
    // Navigations the page asked for on its own and was refused.
    int RefusedNavigations() const;

    std::chrono::milliseconds ReadTimeout{5000};
    std::function<void()> OnDocumentComplete;

private:
    enum class TState { Empty, Loading, Preparing, Ready };

    void scheduleLoad();
    void startLoad();
    void loadFinished(bool succeeded);
    // Runs the event loop until the document stands, at most ReadTimeout;
    // true when it does.
    bool waitForLoad();
    void prepared(unsigned generation);
    void completed(unsigned generation);
    // Asks the page, waiting at most ReadTimeout; a page that does not
    // answer counts as hung.
    QVariant askPage(const std::function<void(TPageAnswer answer)>& ask);
    void makePage();
    void withdrawServed();

    QPointer<QWebEngineView> view_;
    QPointer<TDesignPage> page_;
    std::string document_;
    TTextEncoding encoding_ = teAnsi;
    QUrl base_;
    bool changed_ = false; // document_ set, its load not yet started
    bool loadScheduled_ = false;
    TState state_ = TState::Empty;
    bool loadSucceeded_ = false;
    QEventLoop* loadWaiter_ = nullptr; // the wait of a read for the load
    bool completionDue_ = false;       // the load that wait saw complete
    unsigned generation_ = 0;
    QPointer<TPageServer> server_;
    QUrl served_; // the document's address on server_, while it serves it
    // True while a read that timed out has had no answer: the renderer may
    // hang.  Shared with that read's late-answer callback.
    std::shared_ptr<bool> unanswered_;
};
