#include "platform/widgets/TabRows.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionTab>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>

// ---------------------------------------------------------------------------
// TTabRow

bool TTabRow::ShowHint(int index, QPoint global, QWidget* widget) const {
    QString hint = TabHint && index >= 0 ? TabHint(index) : QString();
    if (hint.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(global, hint, widget);
    return true;
}

void TTabRow::wheelEvent(QWheelEvent* event) { event->ignore(); }

bool TTabRow::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip)
        return QTabBar::event(event);
    auto* help = static_cast<QHelpEvent*>(event);
    return ShowHint(tabAt(help->pos()), help->globalPos(), this);
}

// ---------------------------------------------------------------------------
// TTabRows

namespace {

enum TEdge { eTop, eBottom, eLeft, eRight };

TEdge edgeOf(QTabBar::Shape shape) {
    switch (shape) {
    case QTabBar::RoundedSouth:
    case QTabBar::TriangularSouth: return eBottom;
    case QTabBar::RoundedWest:
    case QTabBar::TriangularWest: return eLeft;
    case QTabBar::RoundedEast:
    case QTabBar::TriangularEast: return eRight;
    default: return eTop;
    }
}

} // namespace

TTabRows::TTabRows(TTabRow& tabs, QWidget* parent) : QWidget(parent), tabs_(tabs) {
    setMouseTracking(true);
    QObject::connect(&tabs_, &QTabBar::currentChanged, this, [this] { Relayout(); });
}

bool TTabRows::vertical() const {
    TEdge edge = edgeOf(tabs_.shape());
    return edge == eLeft || edge == eRight;
}

int TTabRows::rowThickness() const {
    int thickness = 0;
    for (int i = 0; i < tabs_.count(); ++i) {
        QSize hint = tabs_.tabSizeHint(i);
        thickness = std::max(thickness, vertical() ? hint.width() : hint.height());
    }
    return thickness;
}

std::vector<std::vector<int>> TTabRows::rowsFor(int length) const {
    std::vector<std::vector<int>> rows;
    int used = 0;
    for (int i = 0; i < tabs_.count(); ++i) {
        QSize hint = tabs_.tabSizeHint(i);
        int along = vertical() ? hint.height() : hint.width();
        // A tab longer than the edge still gets a row of its own.
        if (rows.empty() || (used + along > length && !rows.back().empty())) {
            rows.emplace_back();
            used = 0;
        }
        rows.back().push_back(i);
        used += along;
    }
    return rows;
}

int TTabRows::ThicknessFor(int length) const {
    return static_cast<int>(rowsFor(length).size()) * rowThickness();
}

void TTabRows::Relayout() {
    const bool down = vertical();
    const int length = down ? height() : width();
    const std::vector<std::vector<int>> rows = rowsFor(length);
    const int count = static_cast<int>(rows.size());
    const int thickness = rowThickness();
    rowCount_ = count;
    rects_.assign(static_cast<size_t>(tabs_.count()), QRect());
    rowOf_.assign(static_cast<size_t>(tabs_.count()), -1);
    int currentRow = 0;
    for (int r = 0; r < count; ++r)
        if (std::find(rows[r].begin(), rows[r].end(), tabs_.currentIndex()) != rows[r].end())
            currentRow = r;
    const TEdge edge = edgeOf(tabs_.shape());
    for (int r = 0; r < count; ++r) {
        const std::vector<int>& row = rows[static_cast<size_t>(r)];
        // Counted out from the page: the current tab's row first.
        const int place = (r - currentRow + count) % count;
        const int across = edge == eTop || edge == eLeft ? (count - 1 - place) * thickness : place * thickness;
        int total = 0;
        for (int tab : row) {
            QSize hint = tabs_.tabSizeHint(tab);
            total += down ? hint.height() : hint.width();
        }
        // Several rows each fill the edge; a single one keeps its tabs'
        // own lengths.
        const int extra = count > 1 ? std::max(0, length - total) : 0;
        const int tabsInRow = static_cast<int>(row.size());
        int along = 0;
        for (int k = 0; k < tabsInRow; ++k) {
            const int tab = row[static_cast<size_t>(k)];
            QSize hint = tabs_.tabSizeHint(tab);
            int size = (down ? hint.height() : hint.width()) + extra / tabsInRow + (k < extra % tabsInRow ? 1 : 0);
            rects_[static_cast<size_t>(tab)] =
                down ? QRect(across, along, thickness, size) : QRect(along, across, size, thickness);
            rowOf_[static_cast<size_t>(tab)] = place;
            along += size;
        }
    }
    update();
}

QRect TTabRows::TabRect(int index) const {
    return index >= 0 && index < static_cast<int>(rects_.size()) ? rects_[static_cast<size_t>(index)] : QRect();
}

int TTabRows::TabAt(QPoint point) const {
    for (size_t i = 0; i < rects_.size(); ++i)
        if (rects_[i].contains(point))
            return static_cast<int>(i);
    return -1;
}

void TTabRows::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int current = tabs_.currentIndex();
    const int count = static_cast<int>(rects_.size());
    if (tabs_.drawBase() && rowCount_ > 0) {
        // The line between the tabs and the page, broken by the current tab.
        QStyleOptionTabBarBase base;
        base.initFrom(this);
        base.shape = tabs_.shape();
        base.documentMode = tabs_.documentMode();
        const int overlap = style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, this);
        switch (edgeOf(tabs_.shape())) {
        case eTop: base.rect = QRect(0, height() - overlap, width(), overlap); break;
        case eBottom: base.rect = QRect(0, 0, width(), overlap); break;
        case eLeft: base.rect = QRect(width() - overlap, 0, overlap, height()); break;
        case eRight: base.rect = QRect(0, 0, overlap, height()); break;
        }
        base.selectedTabRect = TabRect(current);
        base.tabBarRect = rect();
        style()->drawPrimitive(QStyle::PE_FrameTabBarBase, &base, &painter, this);
    }
    auto paintTab = [&](int index) {
        if (rowOf_[static_cast<size_t>(index)] < 0)
            return;
        QStyleOptionTab option;
        tabs_.initStyleOption(&option, index);
        option.rect = rects_[static_cast<size_t>(index)];
        // The whole caption: the row holding the tabs is not on screen.
        option.text = tabs_.tabText(index);
        const int row = rowOf_[static_cast<size_t>(index)];
        const bool first = index == 0 || rowOf_[static_cast<size_t>(index - 1)] != row;
        const bool last = index + 1 == count || rowOf_[static_cast<size_t>(index + 1)] != row;
        option.position = first && last ? QStyleOptionTab::OnlyOneTab
                          : first       ? QStyleOptionTab::Beginning
                          : last        ? QStyleOptionTab::End
                                        : QStyleOptionTab::Middle;
        option.selectedPosition = !last && index + 1 == current   ? QStyleOptionTab::NextIsSelected
                                  : !first && index - 1 == current ? QStyleOptionTab::PreviousIsSelected
                                                                   : QStyleOptionTab::NotAdjacent;
        option.state.setFlag(QStyle::State_MouseOver, index == hover_);
        option.state.setFlag(QStyle::State_HasFocus, false);
        style()->drawControl(QStyle::CE_TabBarTab, &option, &painter, this);
    };
    // The current tab last: it may reach over its neighbours.
    for (int i = 0; i < count; ++i)
        if (i != current)
            paintTab(i);
    if (current >= 0 && current < count)
        paintTab(current);
}

void TTabRows::mousePressEvent(QMouseEvent* event) {
    const int index = TabAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || index < 0 || !tabs_.isTabEnabled(index)) {
        event->ignore();
        return;
    }
    event->accept();
    if (index != tabs_.currentIndex())
        tabs_.setCurrentIndex(index);
}

void TTabRows::setHover(int index) {
    if (index == hover_)
        return;
    hover_ = index;
    update();
}

void TTabRows::mouseMoveEvent(QMouseEvent* event) {
    setHover(TabAt(event->position().toPoint()));
    QWidget::mouseMoveEvent(event);
}

void TTabRows::leaveEvent(QEvent* event) {
    setHover(-1);
    QWidget::leaveEvent(event);
}

void TTabRows::wheelEvent(QWheelEvent* event) { event->ignore(); }

void TTabRows::resizeEvent(QResizeEvent*) { Relayout(); }

bool TTabRows::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    auto* help = static_cast<QHelpEvent*>(event);
    return tabs_.ShowHint(TabAt(help->pos()), help->globalPos(), this);
}
