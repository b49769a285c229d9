#pragma once
// A QApplication with the widget peers installed, for test programs that
// show real (offscreen) windows.  The user-interaction seam is the
// unattended one: a message box the program would show is a test failure
// at once, never a modal window that waits for a user.

#include "platform/widgets/WidgetPeer.h"
#include "tests/platform/gfx/TestApplication.h"
#include "tests/support/UnattendedUserInteraction.h"

#include <gtest/gtest.h>

#include <QApplication>

class TWidgetTestEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        MakeTestApplication<QApplication>();
        InstallWidgetPeers();
        SetUserInteraction(&UnattendedUserInteraction());
    }
};

inline ::testing::Environment* const kWidgetTestEnvironment =
    ::testing::AddGlobalTestEnvironment(new TWidgetTestEnvironment);

// Makes a top-level window's native window anew, as Qt does when a widget
// inside it first asks for another kind of surface (a web view's).
inline void RemakeNativeWindow(QWidget* window) {
    struct TRemaker : QWidget {
        static void Remake(QWidget* window) {
            void (QWidget::*destroy)(bool, bool) = &TRemaker::destroy;
            window->hide();
            (window->*destroy)(true, true);
            window->show();
        }
    };
    TRemaker::Remake(window);
}
