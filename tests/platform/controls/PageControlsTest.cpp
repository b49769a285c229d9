// Page controls, tab controls and the status bar: tabs chosen by clicks
// with the pre-change veto, pages filling the area under the tabs,
// changes made in code running no event, and panels by their pixels.

#include "platform/ui/PageControls.h"
#include "platform/gfx/QtBridge.h"
#include "platform/ui/ExtControls.h"
#include "platform/ui/StatusBar.h"
#include "tests/platform/controls/ControlsTestSupport.h"

#include <gtest/gtest.h>

#include <QHelpEvent>
#include <QTabBar>
#include <QToolTip>

#include <memory>

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
