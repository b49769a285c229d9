#pragma once
// The tab bars of the tab and page controls' window.
//
// TTabRow is Qt's tab bar, one row that scrolls its tabs; it also holds
// the tabs (captions, pictures, the current tab) for TTabRows, which lays
// the same tabs out in as many rows as they need (a multi-line tab
// control).  Rows fill the tabs' edge from its start in the tabs' order;
// when there are several, each is stretched to the whole length of the
// edge.  The row holding the current tab stands next to the page, the
// rows after it (in the tabs' order, going round) further out, so that
// choosing a tab of another row turns the rows round.  Choosing a tab
// sets the row's current tab, whose change is reported as Qt's tab bar
// reports it.

#include <QRect>
#include <QString>
#include <QTabBar>
#include <QWidget>

#include <functional>
#include <vector>

// A tab bar that does not change tabs with the wheel, and shows each
// tab's hint (asked when it is to show) as its tool tip.
class TTabRow : public QTabBar {
public:
    using QTabBar::QTabBar;
    using QTabBar::initStyleOption;
    using QTabBar::tabSizeHint;

    std::function<QString(int index)> TabHint;
    // Shows the hint of tab index at a point of widget (global position).
    bool ShowHint(int index, QPoint global, QWidget* widget) const;

protected:
    void wheelEvent(QWheelEvent* event) override;
    bool event(QEvent* event) override;
};

class TTabRows : public QWidget {
public:
    TTabRows(TTabRow& tabs, QWidget* parent);

    // How thick the rows are when the tabs' edge is length long.
    int ThicknessFor(int length) const;
    // Lays the tabs out again (the tabs, the current one or the size
    // changed).
    void Relayout();

    int RowCount() const { return rowCount_; }
    // In the widget's coordinates; empty for a tab that is not there.
    QRect TabRect(int index) const;
    int TabAt(QPoint point) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    bool vertical() const;
    // The tabs of each row, first row first.
    std::vector<std::vector<int>> rowsFor(int length) const;
    int rowThickness() const;
    void setHover(int index);

    TTabRow& tabs_;
    std::vector<QRect> rects_;
    // Which row each tab lies in, counted out from the page.
    std::vector<int> rowOf_;
    int rowCount_ = 0;
    int hover_ = -1;
};
