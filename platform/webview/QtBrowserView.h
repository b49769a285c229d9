#pragma once
// The browser view on the web engine (platform code only: Qt types): pages
// shown as a browser shows them, their scripts on, in the program's
// profile (nothing cached, nothing written to disk, no network: see
// EngineNetwork.h).
//
// The view shows local pages and goes to no network address, whoever asks:
// a script, a refresh, a form, a link.  A web link the user follows, by a
// click or a key, goes to the desktop's browser instead, once: the
// engine's request must come within a few seconds of the user's press, as
// a browser lets only a page the user just acted on open a window, so that
// a script alone never sends an address out.

#include "platform/base/TextCodec.h"

#include <QObject>
#include <QPointer>

#include <string>

class QWebEngineView;
class QWidget;

class TQtBrowserView : public QObject {
public:
    explicit TQtBrowserView(QWidget* parent = nullptr);
    ~TQtBrowserView() override;

    QWebEngineView* View() const { return view_; }

    // See TBrowserView.
    void Navigate(const std::string& address);
    // Pages that declare no charset are read in this encoding.
    void SetTextEncoding(TTextEncoding encoding);

private:
    QPointer<QWebEngineView> view_;
};
