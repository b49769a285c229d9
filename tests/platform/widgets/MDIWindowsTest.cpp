// The MDI windows on real (offscreen) widgets: a maximised child fills the
// client without a frame (pixel probes), the user's activation, maximising
// and closing of a subwindow reach the forms, and a refused close keeps the
// child.

#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"
#include "platform/ui/MDI.h"
#include "platform/ui/ModalLoop.h"
#include "platform/ui/QtBridge.h"
#include "tests/platform/widgets/WidgetTestApp.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>

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

} // namespace
