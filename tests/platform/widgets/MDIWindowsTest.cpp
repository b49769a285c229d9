// The MDI windows on real (offscreen) widgets: a maximised child fills the
// client without a frame (pixel probes), the user's activation, maximising
// and closing of a subwindow reach the forms, and a refused close keeps the
// child.

#include "platform/gfx/Picture.h"
#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"
#include "platform/ui/MDI.h"
#include "platform/ui/ModalLoop.h"
#include "platform/ui/QtBridge.h"
#include "tests/platform/base/TempFolder.h"
#include "tests/platform/widgets/WidgetTestApp.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>
#include <QTest>

#include <random>

namespace {

// A child painted in one colour.
class TPaintedChild : public TForm {
public:
    TPaintedChild(TColor color, int x) {
        SetColor(color);
        SetBounds(x, 10, 160, 100);
        SetFormStyle(fsMDIChild);
        OnCloseQuery = [this](TPersistent*, bool& canClose) { canClose = !Refuse; };
        OnClose = [](TPersistent*, TCloseAction& action) { action = caFree; };
    }
    bool Refuse = false;
};

class MDIWindows : public ::testing::Test {
protected:
    void SetUp() override {
        Application().SetMainForm(&frame);
        frame.SetFormStyle(fsMDIForm);
        frame.SetBounds(50, 50, 600, 400);
        frame.Show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(ClientWidgetOf(&frame)->window()));
    }
    void TearDown() override {
        while (frame.MDIChildCount() > 0)
            delete frame.MDIChildren(frame.MDIChildCount() - 1);
        Application().SetMainForm(nullptr);
        ClearQuitRequest();
    }
    QMdiArea* area() { return qobject_cast<QMdiArea*>(ClientWidgetOf(frame.MDIClient())->parentWidget()); }
    QMdiSubWindow* subWindowOf(TCustomForm& child) {
        for (QMdiSubWindow* window : area()->subWindowList())
            if (ControlOfObject(window->widget()) == &child)
                return window;
        return nullptr;
    }
    // The client's pixels.
    QImage client() {
        QApplication::processEvents();
        return area()->grab().toImage();
    }

    TForm frame;
};

// A restored child's title bar shows the program's icon, or none: never
// the toolkit's own logo (green).  Probed left of the caption.
TEST_F(MDIWindows, AChildsTitleBarShowsTheProgramsIconOrNone) {
    ClientWidgetOf(&frame)->window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(ClientWidgetOf(&frame)->window()));
    auto iconArea = [&](TCustomForm& child) {
        QMdiSubWindow* window = subWindowOf(child);
        EXPECT_NE(window, nullptr);
        if (window == nullptr)
            return QImage();
        QApplication::processEvents();
        const QImage shown = window->grab().toImage();
        const int titleHeight = window->widget()->mapTo(window, QPoint(0, 0)).y();
        return shown.copy(0, 0, titleHeight + 4, titleHeight);
    };
    auto count = [](const QImage& area, auto test) {
        int n = 0;
        for (int y = 0; y < area.height(); ++y)
            for (int x = 0; x < area.width(); ++x)
                n += test(QColor(area.pixel(x, y))) ? 1 : 0;
        return n;
    };
    auto green = [](QColor c) { return c.green() > c.red() + 60 && c.green() > c.blue() + 60; };
    auto red = [](QColor c) { return c.red() > 200 && c.green() < 60 && c.blue() < 60; };
    auto makeChild = [&](int x) {
        auto* child = new TPaintedChild(clWhite, x);
        child->SetCaption("page.html");
        child->SetWidth(300);
        return child;
    };
    const QImage none = iconArea(*makeChild(10));
    ASSERT_GT(none.height(), 8);
    EXPECT_EQ(count(none, green), 0) << "the toolkit's logo";
    // The program's icon, a red square, set at start as the program does.
    TTempFolder folder;
    QImage square(16, 16, QImage::Format_RGB32);
    square.fill(Qt::red);
    ASSERT_TRUE(square.save(QString::fromStdString(folder.File("icon.png"))));
    Application().Icon().LoadFromFile(folder.File("icon.png"));
    const QImage program = iconArea(*makeChild(40));
    Application().Icon().Assign(nullptr);
    EXPECT_GT(count(program, red), 30);
    EXPECT_EQ(count(program, green), 0);
}

TEST_F(MDIWindows, AMaximisedChildFillsTheClientWithoutAFrame) {
    auto* red = new TPaintedChild(clRed, 10);
    auto* blue = new TPaintedChild(clBlue, 200);
    ASSERT_NE(subWindowOf(*red), nullptr);
    QImage before = client();
    EXPECT_EQ(QColor(before.pixel(400, 300)), QColor(ToQColor(clAppWorkSpace))) << "the empty client";
    red->SetWindowState(wsMaximized);
    EXPECT_EQ(frame.ActiveMDIChild(), red);
    QImage maximised = client();
    for (QPoint probe : {QPoint(2, 2), QPoint(300, 200), QPoint(maximised.width() - 3, maximised.height() - 3)})
        EXPECT_EQ(QColor(maximised.pixel(probe)), QColor(Qt::red)) << probe.x() << "," << probe.y();
    EXPECT_TRUE(subWindowOf(*red)->windowFlags() & Qt::FramelessWindowHint);
    // Activating the other child hands the maximised state over.
    blue->SetFocus();
    EXPECT_EQ(blue->WindowState(), wsMaximized);
    EXPECT_EQ(red->WindowState(), wsNormal);
    EXPECT_EQ(QColor(client().pixel(300, 200)), QColor(Qt::blue));
    blue->SetWindowState(wsNormal);
    EXPECT_FALSE(frame.MDIClient()->Maximized());
    EXPECT_FALSE(subWindowOf(*blue)->windowFlags() & Qt::FramelessWindowHint);
}

TEST_F(MDIWindows, TheUsersActivationMaximisingAndClosingReachTheForms) {
    auto* first = new TPaintedChild(clRed, 10);
    auto* second = new TPaintedChild(clLime, 200);
    EXPECT_EQ(frame.ActiveMDIChild(), second);
    // The user activates the first subwindow.
    area()->setActiveSubWindow(subWindowOf(*first));
    QApplication::processEvents();
    EXPECT_EQ(frame.ActiveMDIChild(), first);
    EXPECT_EQ(frame.MDIClient()->ActivationOrder(), (std::vector<TCustomForm*>{first, second}));
    // The user maximises it with the subwindow's own button.
    subWindowOf(*first)->showMaximized();
    QApplication::processEvents();
    EXPECT_EQ(first->WindowState(), wsMaximized);
    EXPECT_TRUE(frame.MDIClient()->Maximized());
    // The user closes it: refused, it stays; allowed, it goes once the
    // close's message has been handled, and the other child takes over,
    // maximised.
    first->Refuse = true;
    subWindowOf(*first)->close();
    QApplication::processEvents();
    ASSERT_EQ(frame.MDIChildCount(), 2);
    EXPECT_NE(subWindowOf(*first), nullptr);
    first->Refuse = false;
    subWindowOf(*first)->close();
    QApplication::processEvents();
    EXPECT_EQ(frame.MDIChildCount(), 1);
    EXPECT_EQ(frame.ActiveMDIChild(), second);
    EXPECT_EQ(second->WindowState(), wsMaximized);
    EXPECT_EQ(area()->subWindowList().size(), 1);
}

// Children freed at random while maximised, each as the user would see it:
// the window of a child being freed has left the client area before the
// next child takes over the activation and the maximised state (the area,
// rearranging its windows, would otherwise show and size the window of a
// form that is half gone), and the child that takes over fills the client.
TEST_F(MDIWindows, AFreedMaximisedChildLeavesTheAreaBeforeTheNextTakesOver) {
    std::mt19937 random(8);
    const TColor colours[] = {clRed, clLime, clBlue, clYellow, clFuchsia, clAqua};
    std::vector<std::string> faults;
    TMDISubscription watch = frame.MDIClient()->Subscribe([&](TMDINotice notice, TCustomForm* child) {
        if ((notice == mdiActivated || notice == mdiStateChanged) &&
            area()->subWindowList().size() != frame.MDIChildCount())
            faults.push_back("the area had " + std::to_string(area()->subWindowList().size()) + " windows for " +
                             std::to_string(frame.MDIChildCount()) + " children");
    });
    for (int step = 0; step < 40; ++step) {
        if (frame.MDIChildCount() < 2 || random() % 3 == 0) {
            auto* child = new TPaintedChild(colours[random() % std::size(colours)], static_cast<int>(random() % 300));
            if (random() % 2)
                child->SetWindowState(wsMaximized);
            continue;
        }
        auto* active = static_cast<TPaintedChild*>(frame.ActiveMDIChild());
        ASSERT_NE(active, nullptr);
        active->SetWindowState(wsMaximized);
        // The one freed is the active child or, now and then, another.
        TCustomForm* freed = random() % 4 ? active : frame.MDIChildren(static_cast<int>(random() % frame.MDIChildCount()));
        delete freed;
        QApplication::processEvents();
        TCustomForm* next = frame.ActiveMDIChild();
        ASSERT_NE(next, nullptr) << "step " << step;
        EXPECT_EQ(next->WindowState(), wsMaximized) << "step " << step;
        EXPECT_EQ(area()->subWindowList().size(), frame.MDIChildCount()) << "step " << step;
        const QImage pixels = client();
        EXPECT_EQ(QColor(pixels.pixel(pixels.width() / 2, pixels.height() / 2)), QColor(ToQColor(next->Color())))
            << "step " << step;
    }
    EXPECT_EQ(faults, std::vector<std::string>{});
}

} // namespace

// The user minimises the active child: the other one takes the keys; the
// minimised one, restored in whatever way and after any round of
// maximising, comes back at the place and size it had.
TEST_F(MDIWindows, AMinimisedChildHandsOnTheActivationAndComesBackAtItsPlace) {
    auto* red = new TPaintedChild(clRed, 10);
    auto* blue = new TPaintedChild(clBlue, 200);
    QApplication::processEvents();
    const QRect redPlace = subWindowOf(*red)->geometry();
    const QRect bluePlace = subWindowOf(*blue)->geometry();
    red->SetFocus();
    ASSERT_EQ(frame.ActiveMDIChild(), red);
    subWindowOf(*red)->showMinimized();
    QApplication::processEvents();
    EXPECT_EQ(red->WindowState(), wsMinimized);
    EXPECT_EQ(frame.ActiveMDIChild(), blue) << "keys go to a child in sight";
    EXPECT_EQ(area()->activeSubWindow(), subWindowOf(*blue));
    red->SetWindowState(wsNormal);
    QApplication::processEvents();
    EXPECT_EQ(subWindowOf(*red)->geometry(), redPlace);

    // Maximised, minimised, then restored as the tab strip does and
    // maximised again by the activation: the restore command still finds
    // the child's own place.
    red->SetFocus();
    red->SetWindowState(wsMaximized);
    subWindowOf(*red)->showMinimized();
    QApplication::processEvents();
    EXPECT_EQ(frame.ActiveMDIChild(), blue);
    red->SetWindowState(wsNormal);
    red->SetFocus();
    red->SetWindowState(wsMaximized);
    QApplication::processEvents();
    red->Perform(WM_SYSCOMMAND, SC_RESTORE);
    QApplication::processEvents();
    EXPECT_EQ(red->WindowState(), wsNormal);
    EXPECT_EQ(subWindowOf(*red)->geometry(), redPlace);
    EXPECT_EQ(subWindowOf(*blue)->geometry(), bluePlace);

    // Minimised while maximised, the restore command brings it back maximised.
    subWindowOf(*red)->showMaximized();
    QApplication::processEvents();
    ASSERT_EQ(red->WindowState(), wsMaximized);
    red->Perform(WM_SYSCOMMAND, SC_MINIMIZE);
    QApplication::processEvents();
    EXPECT_EQ(red->WindowState(), wsMinimized);
    red->Perform(WM_SYSCOMMAND, SC_RESTORE);
    QApplication::processEvents();
    EXPECT_EQ(red->WindowState(), wsMaximized);
    EXPECT_TRUE(subWindowOf(*red)->isMaximized());
}
