#pragma once
// The browser control: pages shown as a browser shows them, on a window of
// kind wk::Browser.  An address given before the control has its window is
// loaded once the window is made.  See TBrowserView for the members.

#include "platform/ui/Control.h"
#include "platform/webview/DesignView.h"

#include <string>

class TWebBrowser : public TWinControl, public TBrowserView {
public:
    explicit TWebBrowser(TComponent* owner = nullptr);
    std::string ClassName() const override { return "TWebBrowser"; }

    void Navigate(const std::string& url) override;
    void SetVisible(bool visible) override { TControl::SetVisible(visible); }

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;

private:
    std::string pending_; // the address to load once the window exists
};
