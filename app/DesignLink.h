#pragma once
// Keeps a document's source and its design view in step.
//
// The source goes to the design view when the user leaves the source page;
// the view's page comes back only when it stands (loaded) and the user
// really edited it there.  The view writes pages its own way (lower-case
// tags, no DOCTYPE, server code rewritten), so a page that was only looked
// at keeps its source byte for byte.

#include <string>

class TDesignView;
class TDocumentText;

class TDesignLink {
public:
    TDesignLink(TDesignView& view, TDocumentText& text) : view_(view), text_(text) {}

    // Hands the editor's whole text to the view; relative references
    // resolve against baseURL.  Not ready until the view has loaded it.
    void Show(const std::string& baseURL);
    // The view reports the document complete.
    void DocumentComplete() { ready_ = true; }
    // The view has loaded what it was given (true before the first Show).
    bool Ready() const { return ready_; }
    // The view's page replaces the editor's text when it is ready and was
    // edited there since it loaded (and is not what was taken back last);
    // true when it did.  A page that can not be read leaves the text as it
    // is.
    bool TakeBack();
    // Puts the program's text (markup) into the view's page at the user's
    // selection there, in the document's encoding; it comes back to the
    // source with the view's other edits.  False when the page took
    // nothing (it failed to load or does not answer).
    bool Insert(const std::string& markup);

private:
    TDesignView& view_;
    TDocumentText& text_;
    bool ready_ = true;
    // The page taken back since the view last loaded a document.
    std::string taken_;
};
