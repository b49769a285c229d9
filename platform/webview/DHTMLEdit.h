#pragma once
// The design view control: a page shown for editing in place, on a window
// of kind wk::DesignView (the web engine, with the page's own scripts off).
// Until it has its window, the control keeps the document and base it was
// given and hands them over when the window is made; a window made again
// (new parent, new style) keeps the user's edits.  See TDesignView for the
// members.

#include "platform/ui/Control.h"
#include "platform/webview/DesignView.h"

#include <string>

class TDHTMLEdit : public TWinControl, public TDesignView {
public:
    explicit TDHTMLEdit(TComponent* owner = nullptr);
    std::string ClassName() const override { return "TDHTMLEdit"; }

    void SetDocumentHTML(const std::string& html) override;
    std::string DocumentHTML() override;
    bool Edited() override;
    // Without a window there is no page to put the markup in: false.
    bool InsertHTML(const std::string& html) override;
    void SetBaseURL(const std::string& url) override;
    const std::string& BaseURL() const { return base_; }

    // The longest a read of the page may keep the program waiting.
    int ReadTimeout() const { return readTimeout_; }
    void SetReadTimeout(int milliseconds) { readTimeout_ = milliseconds; }

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void Dispatch(TMessage& message) override;

private:
    std::string document_; // as set; the window has it once it exists
    std::string base_;
    bool haveDocument_ = false;
    int readTimeout_ = 5000;
};
