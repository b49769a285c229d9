// The Qt presenter of plain popup menus: a real menu, chosen by keys.

#include "platform/ui/PopupMenu.h"
#include "platform/widgets/WidgetPeer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>

TEST(PopupMenuPresenter, ShowsTheItemsAndAnswersWithTheChosenOne) {
    ASSERT_TRUE(HasPopupMenuPresenter()) << "installed with the widget peers";
    TPopupMenu menu;
    int clicked = -1;
    menu.Add("&Alpha", [&](TPersistent*) { clicked = 0; });
    menu.Add("&Beta", [&](TPersistent*) { clicked = 1; });
    menu.Items(0)->Enabled = false;
    QStringList shown;
    bool firstEnabled = true;
    // Once the menu is up: read it, then take the first enabled item.
    QTimer::singleShot(0, [&] {
        auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(popup, nullptr);
        for (QAction* action : popup->actions())
            shown << action->text();
        firstEnabled = popup->actions().value(0)->isEnabled();
        QTest::keyClick(popup, Qt::Key_Down);
        QTest::keyClick(popup, Qt::Key_Return);
    });
    TMenuItem* chosen = menu.Popup({10, 10});
    EXPECT_EQ(shown, (QStringList{"&Alpha", "&Beta"}));
    EXPECT_FALSE(firstEnabled);
    EXPECT_EQ(chosen, menu.Items(1));
    EXPECT_EQ(clicked, 1);
}
