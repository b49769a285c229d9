#pragma once
// Between the web-view controls and their windows: the window kinds they
// name, what a control asks of its window, and the notice a window sends
// back.  Qt-free: the windows (DesignViewWindow.cpp, BrowserWindow.cpp)
// implement these on the web engine.

#include "platform/ui/Message.h"

#include <string>
#include <string_view>

namespace wk {
// A page shown for editing in place.
inline constexpr std::string_view DesignView = "DesignView";
// A page shown as a browser shows it.
inline constexpr std::string_view Browser = "Browser";
} // namespace wk

// Sent by a design view's window to its control when a document has loaded
// and can be edited.  Numbered apart from the class library's notices.
enum : unsigned { CM_DOCUMENTCOMPLETE = CM_BASE + 0x200 };

class TDesignViewWindow {
public:
    virtual ~TDesignViewWindow() = default;
    // As TDesignView; the read waits at most timeoutMs.
    virtual void SetDocument(const std::string& html, TTextEncoding encoding) = 0;
    virtual void SetBaseURL(const std::string& url) = 0;
    virtual std::string ReadDocument(int timeoutMs) = 0;
    virtual bool PageEdited(int timeoutMs) = 0;
    virtual bool InsertHTML(const std::string& html, TTextEncoding encoding, int timeoutMs) = 0;
};

class TBrowserWindow {
public:
    virtual ~TBrowserWindow() = default;
    virtual void Navigate(const std::string& url) = 0;
    virtual void SetTextEncoding(TTextEncoding encoding) = 0;
};
