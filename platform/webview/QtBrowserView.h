#pragma once
// The browser view on the web engine (platform code only: Qt types): pages
// shown as a browser shows them, their scripts on, in the program's
// profile (nothing cached, nothing written to disk).

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
