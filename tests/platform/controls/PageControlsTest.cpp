// Page controls, tab controls and the status bar: tabs chosen by clicks
// with the pre-change veto, pages filling the area under the tabs, tabs
// in several rows, changes made in code running no event, and panels by
// their pixels.

#include "platform/ui/PageControls.h"
#include "platform/gfx/QtBridge.h"
#include "platform/ui/ExtControls.h"
#include "platform/ui/StatusBar.h"
#include "platform/widgets/TabRows.h"
#include "tests/platform/controls/ControlsTestSupport.h"

#include <gtest/gtest.h>

#include <QHelpEvent>
#include <QTabBar>
#include <QToolTip>

#include <memory>
#include <random>
#include <set>

namespace {

QTabBar* tabRowOf(TCustomTabControl& control) { return WidgetOf(control)->findChild<QTabBar*>(); }

void clickTab(TCustomTabControl& control, int index) {
    QTabBar* row = tabRowOf(control);
    QTest::mouseClick(row, Qt::LeftButton, {}, row->tabRect(index).center());
}

struct TPages {
    TTestHost Host{400, 300};
    TPageControl Control{&Host.Form};
    std::vector<std::unique_ptr<TTabSheet>> Sheets;
    TPages() {
        Control.SetParent(&Host.Form);
        Control.SetBounds(10, 10, 300, 200);
        for (const char* caption : {"Edit", "Design", "Preview"}) {
            auto sheet = std::make_unique<TTabSheet>(&Host.Form);
            sheet->SetCaption(caption);
            sheet->SetPageControl(&Control);
            Sheets.push_back(std::move(sheet));
        }
    }
};

TEST(PageControl, AClickAsksFirstThenChangesAndARefusalKeepsThePage) {
    TPages pages;
    TPageControl& control = pages.Control;
    EXPECT_EQ(control.ActivePage(), pages.Sheets[0].get()) << "the first page is active";
    TEventLog log;
    bool refuse = false;
    control.OnChanging = [&](TPersistent*, bool& allow) {
        log.Events.push_back(std::string("changing ") + control.ActivePage()->Caption());
        allow = !refuse;
    };
    control.OnChange = [&](TPersistent*) { log.Events.push_back(std::string("change ") + control.ActivePage()->Caption()); };
    clickTab(control, 2);
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"changing Edit", "change Preview"}));
    EXPECT_EQ(control.ActivePageIndex(), 2);
    EXPECT_TRUE(pages.Sheets[2]->Visible());
    EXPECT_FALSE(pages.Sheets[0]->Visible());
    refuse = true;
    clickTab(control, 1);
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"changing Preview"}));
    EXPECT_EQ(control.ActivePageIndex(), 2);
    EXPECT_EQ(tabRowOf(control)->currentIndex(), 2) << "the refused tab is put back";
    // Code changes run nothing; a handler may send the user back.
    refuse = false;
    control.SetActivePageIndex(0);
    EXPECT_TRUE(log.Take().empty());
    EXPECT_EQ(tabRowOf(control)->currentIndex(), 0);
    control.OnChange = [&](TPersistent*) {
        log.Events.push_back(std::string("change ") + control.ActivePage()->Caption());
        if (control.ActivePageIndex() == 1)
            control.SetActivePageIndex(0);
    };
    clickTab(control, 1);
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"changing Edit", "change Design"}));
    EXPECT_EQ(control.ActivePageIndex(), 0);
    EXPECT_EQ(tabRowOf(control)->currentIndex(), 0);
}

TEST(PageControl, PagesFillTheAreaUnderTheTabsWhereverTheTabsAre) {
    TPages pages;
    TPageControl& control = pages.Control;
    QTabBar* row = tabRowOf(control);
    for (TTabPosition position : {tpTop, tpBottom, tpLeft}) {
        control.SetTabPosition(position);
        QApplication::processEvents();
        TTabSheet& page = *pages.Sheets[0];
        EXPECT_EQ(page.BoundsRect(), control.ClientRect());
        // On screen: the page beside the tab row, inside the control.
        QRect tabs(row->mapToGlobal(QPoint(0, 0)), row->size());
        TPoint pageAt = page.ClientToScreen({0, 0});
        TPoint controlAt = control.Parent()->ClientToScreen({control.Left(), control.Top()});
        switch (position) {
        case tpTop: EXPECT_EQ(pageAt.Y, tabs.bottom() + 1); break;
        case tpBottom:
            EXPECT_EQ(pageAt.Y, controlAt.Y);
            EXPECT_EQ(pageAt.Y + page.Height(), tabs.top());
            break;
        default: EXPECT_EQ(pageAt.X, tabs.right() + 1); break;
        }
        EXPECT_EQ(control.DisplayRect().Left, pageAt.X - controlAt.X);
    }
}

TEST(PageControl, HiddenTabsAndRemovedPagesKeepTabsAndPagesInStep) {
    TPages pages;
    TPageControl& control = pages.Control;
    pages.Sheets[1]->SetTabVisible(false);
    EXPECT_EQ(control.TabCount(), 2);
    EXPECT_EQ(tabRowOf(control)->count(), 2);
    EXPECT_EQ(control.PageOfTab(1), pages.Sheets[2].get());
    EXPECT_EQ(pages.Sheets[2]->TabIndex(), 1);
    // A tab's tool tip is its page's hint (the short part), as it is when
    // the tip shows.
    pages.Sheets[2]->SetHint("Browser preview|Shows the page");
    QTabBar* row = tabRowOf(control);
    QPoint onTab = row->tabRect(1).center();
    QHelpEvent help(QEvent::ToolTip, onTab, row->mapToGlobal(onTab));
    QApplication::sendEvent(row, &help);
    EXPECT_EQ(QToolTip::text(), "Browser preview");
    // The active page goes: the next page with a tab takes its place.
    control.SetActivePage(pages.Sheets[0].get());
    pages.Sheets[0].reset();
    EXPECT_EQ(control.ActivePage(), pages.Sheets[2].get());
    EXPECT_EQ(control.PageCount(), 2);
    EXPECT_EQ(tabRowOf(control)->count(), 1);
    pages.Sheets[2]->SetPageIndex(0);
    EXPECT_EQ(control.Pages(0), pages.Sheets[2].get());
}

TEST(TabControl, ItsTabsAreAStringListAndItsAreaHoldsItsControls) {
    TTestHost host(400, 300);
    TTabControl tabs(&host.Form);
    tabs.SetParent(&host.Form);
    tabs.SetBounds(0, 0, 300, 200);
    tabs.Tabs().SetText("one\r\ntwo\r\nthree\r\n");
    EXPECT_EQ(tabs.TabIndex(), 0);
    EXPECT_EQ(tabRowOf(tabs)->count(), 3);
    int changes = 0;
    tabs.OnChange = [&](TPersistent*) { ++changes; };
    clickTab(tabs, 2);
    EXPECT_EQ(tabs.TabIndex(), 2);
    EXPECT_EQ(changes, 1);
    tabs.Tabs().Delete(2);
    EXPECT_EQ(tabs.TabIndex(), 1);
    EXPECT_EQ(tabRowOf(tabs)->currentIndex(), 1);
    TPanel inside(&host.Form);
    inside.SetParent(&tabs);
    inside.SetAlign(alClient);
    EXPECT_EQ(inside.BoundsRect(), tabs.ClientRect());
    EXPECT_LT(tabs.ClientHeight(), tabs.Height());
}

// A page control shown only after its window was made (under a hidden
// parent) shows its active page alone, not every page's controls stacked.
TEST(PageControl, PagesMadeWhileHiddenStayHiddenWhenTheControlShows) {
    TTestHost host;
    TPageControl control(&host.Form);
    control.SetVisible(false);
    control.SetParent(&host.Form);
    control.SetBounds(10, 10, 300, 200);
    std::vector<std::unique_ptr<TTabSheet>> sheets;
    std::vector<std::unique_ptr<TPanel>> panels;
    for (int i = 0; i < 3; ++i) {
        sheets.push_back(std::make_unique<TTabSheet>(&host.Form));
        sheets.back()->SetPageControl(&control);
        panels.push_back(std::make_unique<TPanel>(&host.Form));
        panels.back()->SetParent(sheets.back().get());
    }
    control.SetActivePageIndex(1);
    QApplication::processEvents();
    control.SetVisible(true);
    QApplication::processEvents();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(ClientWidgetOf(panels[static_cast<size_t>(i)].get())->isVisible(), i == 1) << "page " << i;
}

// A multi-line page control with more tabs than one row holds, its tabs
// along each edge in turn, chosen at random by clicks (some refused): the
// tabs lie in rows of consecutive tabs that fill the edge without
// overlapping, every tab is painted, the current tab's row stands next to
// the page, and the page (red) fills what the rows leave.
TEST(PageControl, MultiLineTabsWrapIntoFullRowsWithTheCurrentRowNextToThePage) {
    TTestHost host(420, 320);
    TPageControl control(&host.Form);
    control.SetParent(&host.Form);
    control.SetBounds(10, 10, 300, 220);
    control.SetMultiLine(true);
    std::mt19937 random(23);
    std::vector<std::unique_ptr<TTabSheet>> sheets;
    for (int i = 0; i < 9; ++i) {
        auto sheet = std::make_unique<TTabSheet>(&host.Form);
        sheet->SetCaption(std::string(3 + random() % 14, static_cast<char>('a' + i)));
        sheet->SetHint("page " + std::to_string(i));
        sheet->SetParentColor(false);
        sheet->SetColor(clRed);
        sheet->SetPageControl(&control);
        sheets.push_back(std::move(sheet));
    }
    TTabRows* rows = nullptr;
    for (QWidget* child : WidgetOf(control)->findChildren<QWidget*>())
        if (auto* found = dynamic_cast<TTabRows*>(child))
            rows = found;
    ASSERT_NE(rows, nullptr);
    bool refuse = false;
    int changes = 0;
    control.OnChanging = [&](TPersistent*, bool& allow) { allow = !refuse; };
    control.OnChange = [&](TPersistent*) { ++changes; };
    for (TTabPosition position : {tpTop, tpBottom, tpLeft, tpRight}) {
        control.SetTabPosition(position);
        QApplication::processEvents();
        const bool across = position == tpTop || position == tpBottom;
        SCOPED_TRACE("position " + std::to_string(position));
        for (int step = 0; step < 12; ++step) {
            const int wanted = static_cast<int>(random() % 9);
            const int before = control.ActivePageIndex();
            refuse = random() % 4 == 0;
            const int changesBefore = changes;
            QTest::mouseClick(rows, Qt::LeftButton, {}, rows->TabRect(wanted).center());
            QApplication::processEvents();
            const int now = refuse ? before : wanted;
            ASSERT_EQ(control.ActivePageIndex(), now) << "step " << step;
            EXPECT_EQ(changes, changesBefore + (now != before ? 1 : 0));
            EXPECT_TRUE(rows->isVisible());
            EXPECT_GE(rows->RowCount(), 2);
            // Rows of consecutive tabs, filling the edge, none overlapping.
            long long area = 0;
            for (int i = 0; i < 9; ++i) {
                const QRect tab = rows->TabRect(i);
                ASSERT_FALSE(tab.isEmpty()) << i;
                EXPECT_TRUE(rows->rect().contains(tab)) << i;
                area += static_cast<long long>(tab.width()) * tab.height();
                for (int j = i + 1; j < 9; ++j)
                    EXPECT_FALSE(tab.intersects(rows->TabRect(j))) << i << " " << j;
                const QRect next = rows->TabRect(i + 1);
                const bool sameRow = i + 1 < 9 && (across ? next.top() == tab.top() : next.left() == tab.left());
                if (sameRow)
                    EXPECT_EQ(across ? next.left() : next.top(), across ? tab.right() + 1 : tab.bottom() + 1);
                else
                    EXPECT_EQ(across ? tab.right() : tab.bottom(), across ? rows->width() - 1 : rows->height() - 1)
                        << "the row ends at the end of the edge";
            }
            EXPECT_EQ(area, static_cast<long long>(rows->width()) * rows->height());
            // The current row is next to the page, which begins where the
            // rows end.
            const QRect current = rows->TabRect(now);
            const TRect page = control.DisplayRect();
            switch (position) {
            case tpTop:
                EXPECT_EQ(current.bottom(), rows->height() - 1);
                EXPECT_EQ(page.Top, rows->height());
                break;
            case tpBottom:
                EXPECT_EQ(current.top(), 0);
                EXPECT_EQ(page.Bottom, control.Height() - rows->height());
                break;
            case tpLeft:
                EXPECT_EQ(current.right(), rows->width() - 1);
                EXPECT_EQ(page.Left, rows->width());
                break;
            case tpRight:
                EXPECT_EQ(current.left(), 0);
                EXPECT_EQ(page.Right, control.Width() - rows->width());
                break;
            }
            // Every tab painted (not one colour), the page red beside them.
            const QImage shown = WidgetOf(control)->grab().toImage();
            const QPoint origin = rows->mapTo(WidgetOf(control), QPoint(0, 0));
            for (int i = 0; i < 9; ++i) {
                const QRect tab = rows->TabRect(i).translated(origin);
                std::set<QRgb> colours;
                for (int y = tab.top(); y <= tab.bottom(); y += 2)
                    for (int x = tab.left(); x <= tab.right(); x += 2)
                        colours.insert(shown.pixel(x, y));
                EXPECT_GE(colours.size(), 2u) << "tab " << i;
                EXPECT_EQ(colours.count(qRgb(255, 0, 0)), 0u) << "tab " << i << " is covered by the page";
            }
            const QPoint inPage((page.Left + page.Right) / 2, (page.Top + page.Bottom) / 2);
            EXPECT_EQ(QColor(shown.pixel(inPage)), QColor(Qt::red));
        }
    }
    // A tab's tool tip is its page's hint.
    control.SetTabPosition(tpTop);
    QPoint onTab = rows->TabRect(4).center();
    QHelpEvent help(QEvent::ToolTip, onTab, rows->mapToGlobal(onTab));
    QApplication::sendEvent(rows, &help);
    EXPECT_EQ(QToolTip::text(), "page 4");
    // One scrolling row again without MultiLine.
    control.SetMultiLine(false);
    QApplication::processEvents();
    EXPECT_FALSE(rows->isVisible());
    EXPECT_TRUE(tabRowOf(control)->isVisible());
    EXPECT_EQ(control.DisplayRect().Top, tabRowOf(control)->height());
}

// ---------------------------------------------------------------------------

TEST(StatusBar, PanelsSitSideBySideWithTheirBevelsAndTheLastTakesTheRest) {
    TTestHost host(400, 200);
    host.Form.SetBevelOuter(bvNone);
    TStatusBar bar(&host.Form);
    bar.SetParent(&host.Form);
    EXPECT_EQ(bar.Top() + bar.Height(), host.Form.ClientHeight()) << "along the bottom";
    EXPECT_EQ(bar.Width(), host.Form.ClientWidth());
    for (int width : {90, 140, 10}) {
        TStatusPanel* panel = bar.Panels().Add();
        panel->SetWidth(width);
    }
    bar.Panels().Items(2)->SetBevel(pbNone);
    bar.Panels().Items(0)->SetText("Offset: 0");
    EXPECT_EQ(bar.PanelRect(1).Left, 90);
    EXPECT_EQ(bar.PanelRect(2).Right, bar.ClientWidth() - 14 - 2) << "up to the grip, less the gap";
    // The third panel paints itself.
    bar.Panels().Items(2)->SetStyle(psOwnerDraw);
    bar.OnDrawPanel = [](TStatusBar* sender, TStatusPanel*, const TRect& rect) {
        sender->Canvas().FillRect(rect, clRed);
    };
    QApplication::processEvents();
    QImage shown = ClientWidgetOf(&host.Form)->grab().toImage();
    auto at = [&](int x, int y) { return QColor(shown.pixel(bar.Left() + x, bar.Top() + y)); };
    TRect second = bar.PanelRect(1);
    EXPECT_EQ(at(second.Left, second.Top), ToQColor(clBtnShadow)) << "lowered: dark at the top left";
    EXPECT_EQ(at(second.Right - 1, second.Bottom - 1), ToQColor(clBtnHighlight));
    TRect third = bar.PanelRect(2);
    EXPECT_EQ(at((third.Left + third.Right) / 2, (third.Top + third.Bottom) / 2), QColor(Qt::red));
    // Text of the first panel shows in it, none spills into the second.
    auto darkIn = [&](const TRect& rect) {
        int dark = 0;
        for (int y = rect.Top + 1; y < rect.Bottom - 1; ++y)
            for (int x = rect.Left + 1; x < rect.Right - 1; ++x)
                dark += at(x, y).lightness() < 80;
        return dark;
    };
    EXPECT_GT(darkIn(bar.PanelRect(0)), 10);
    EXPECT_EQ(darkIn(second), 0);
}

} // namespace
