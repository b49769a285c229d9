#pragma once
// What the program asks of its two web views, as small interfaces, so that
// code using them runs in tests against fakes (tests/platform/webview) and
// in the program against the web-engine controls TDHTMLEdit and TWebBrowser.
//
// Text crosses as document bytes in the document's encoding (UTF-8 or the
// 8-bit code page, see platform/base/TextCodec.h; the code page unless told
// otherwise); addresses are "file://" followed by a path in the file
// system's bytes, or any other URL.

#include "platform/base/Exceptions.h"
#include "platform/base/TextCodec.h"
#include "platform/gfx/Font.h" // TNotifyEvent

#include <string>

// Raised when a web view can not do what it was asked: a page that does not
// answer in time, a page that can not be read, an address that is no URL.
class EWebViewError : public Exception {
public:
    using Exception::Exception;
};

// A page shown for editing in place (the design view).
class TDesignView {
public:
    virtual ~TDesignView() = default;

    // Shows a document.  Loading starts once control returns to the event
    // loop, so that a document and its base set one after the other make one
    // load; OnDocumentComplete follows when the page stands and can be
    // edited.
    virtual void SetDocumentHTML(const std::string& html) = 0;
    // The page as it stands, with the user's edits, serialised by the view
    // (its spelling of tags and attributes, CR LF line breaks).  Characters
    // the code page does not have come back as numeric character
    // references.  A document still loading is waited for (its completion
    // fires during the wait); one that does not stand within the view's
    // read timeout, or failed to load, is answered as it was set.  Raises
    // EWebViewError when the page does not answer within the timeout.
    virtual std::string DocumentHTML() = 0;
    // Whether the page differs from the document as it loaded: the user's
    // edits, or anything else that changed the document, and not undone
    // since.  False while a document is loading.  Raises EWebViewError as
    // DocumentHTML does.
    virtual bool Edited() = 0;
    // Puts markup (document bytes in the view's encoding) in place of the
    // page's selection, or at the end of its body when the page holds no
    // selection, as an edit of the user's: Edited answers true while it
    // stays.  A document still loading is waited for as a read waits.  False
    // when the page took nothing (no document stands, or it failed to
    // load).  Raises EWebViewError as DocumentHTML does.
    virtual bool InsertHTML(const std::string& html) = 0;
    // The address relative references of the next document resolve
    // against ("file:///folder/"); "file://" alone or "" means none.
    virtual void SetBaseURL(const std::string& url) = 0;
    // The encoding of the documents set and read from now on.
    virtual void SetTextEncoding(TTextEncoding encoding) { encoding_ = encoding; }
    TTextEncoding TextEncoding() const { return encoding_; }

    // A document set through SetDocumentHTML has loaded and can be edited.
    // Fires once per load; a document replaced before it finished loading
    // fires nothing.
    TNotifyEvent OnDocumentComplete;

protected:
    TTextEncoding encoding_ = teAnsi;
};

// A page shown as a browser shows it (the preview).
class TBrowserView {
public:
    virtual ~TBrowserView() = default;

    // Loads the address, also when it is the one already shown, and always
    // from its source, never from a cache.  Raises EWebViewError for text
    // that is no address.
    virtual void Navigate(const std::string& url) = 0;
    virtual void SetVisible(bool visible) = 0;
    // The encoding of pages that declare none (the document's).
    virtual void SetTextEncoding(TTextEncoding encoding) { encoding_ = encoding; }
    TTextEncoding TextEncoding() const { return encoding_; }

protected:
    TTextEncoding encoding_ = teAnsi;
};
