#pragma once
// Keeps a document's source and its design view in step.
//
// The source goes to the design view when the user leaves the source page;
// the view's page comes back only when it stands (loaded) and the user
// really edited it there.  The view writes pages its own way (lower-case
// tags, no DOCTYPE, server code rewritten), so a page that was only looked
// at keeps its source byte for byte.  Whether it was edited is told by
// comparing the page with the view's own writing of it as it loaded, read
// once the view's document-complete notice is over (the view can not be
// read from inside it).

#include <functional>
#include <memory>
#include <string>

class TDesignView;
class TDocumentText;

class TDesignLink {
public:
    // Runs a task once control is back in the event loop.
    using TDeferral = std::function<void(std::function<void()> task)>;

    // Without a deferral the view is read at once.
    TDesignLink(TDesignView& view, TDocumentText& text, TDeferral defer = {});
    ~TDesignLink();
    TDesignLink(const TDesignLink&) = delete;
    TDesignLink& operator=(const TDesignLink&) = delete;

    // Hands the editor's whole text to the view; relative references
    // resolve against baseURL.  Not ready until the view has loaded it.
    void Show(const std::string& baseURL);
    // The view reports the document complete: it is ready, and its writing
    // of the unedited page is remembered (through the deferral).  A page
    // that can not be read leaves the link without one, so nothing will be
    // taken back.
    void DocumentComplete();
    // The view has loaded what it was given (true before the first Show).
    bool Ready() const { return ready_; }
    // The view's page replaces the editor's text when it is ready and was
    // edited since it loaded; true when it did.  A page that can not be
    // read leaves the text as it is.
    bool TakeBack();

private:
    void readBaseline();

    TDesignView& view_;
    TDocumentText& text_;
    TDeferral defer_;
    // Tells a deferred read whether the link still exists and the document
    // it was meant for is still shown.
    std::shared_ptr<unsigned> generation_ = std::make_shared<unsigned>(0);
    bool ready_ = true;
    bool haveBaseline_ = false;
    std::string baseline_;
};
