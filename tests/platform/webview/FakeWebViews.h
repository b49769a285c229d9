#pragma once
// Fakes of the two web views for tests of the code that uses them: no
// engine, no window, and each asynchronous step of the real views taken
// only when the test says so.  They keep the real views' rules, which the
// web-view suite checks against the real controls: a read while a load is
// pending waits for it (so the load completes then); each completed load
// fires one OnDocumentComplete; the base in force when the load completes is the
// one it gets; a page that does not answer raises EWebViewError until the
// next document is set.

#include "platform/webview/DesignView.h"

#include <functional>
#include <string>
#include <vector>

class TFakeDesignView : public TDesignView {
public:
    void SetDocumentHTML(const std::string& html) override;
    std::string DocumentHTML() override;
    bool Edited() override;
    // The markup goes into the page shown at Caret (its end when npos) as
    // an edit of the user's, after a pending load completes.
    bool InsertHTML(const std::string& html) override;
    void SetBaseURL(const std::string& url) override;

    // The load of the document set last completes now: the page becomes
    // the document as the view writes it back, and OnDocumentComplete
    // fires.  Does nothing while no load is pending.  A read calls it.
    void CompleteLoad();
    bool Loading() const { return loading_; }

    // The page shown once a load completed.
    std::string Page;
    // Where the user's caret stands in Page.
    size_t Caret = std::string::npos;
    // The user edits the page shown: it becomes page, and Edited answers
    // true while it differs from the page as it loaded (until the next load
    // completes).
    void UserEdits(const std::string& page);
    // How the view writes a page back; unchanged when not set.
    std::function<std::string(const std::string& html)> Serialise;
    // While true, reads raise EWebViewError as a page that stopped
    // answering does; the next document set clears it, as it does for the
    // real view.
    bool Hung = false;

    struct TLoad {
        std::string Html;
        std::string BaseURL;
    };
    // Each completed load, in order.
    std::vector<TLoad> Loads;

private:
    std::string document_;
    std::string base_;
    bool loading_ = false;
    std::string loaded_; // the page as its load left it
};

class TFakeBrowserView : public TBrowserView {
public:
    // Records the address; raises EWebViewError for an empty one, or for
    // any while Failing.
    void Navigate(const std::string& url) override;
    void SetVisible(bool visible) override { Visible = visible; }

    std::vector<std::string> Navigations;
    bool Visible = true;
    bool Failing = false;
};
