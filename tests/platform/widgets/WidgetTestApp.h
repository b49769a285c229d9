#pragma once
// A QApplication with the widget peers installed, for test programs that
// show real (offscreen) windows.  Made before the first test and never
// destroyed: process exit tears down Qt's own statics, and an application
// destroyed after them crashes.

#include "platform/widgets/WidgetPeer.h"

#include <gtest/gtest.h>

#include <QApplication>

class TWidgetTestEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (QCoreApplication::instance() == nullptr) {
            static int argc = 1;
            static char name[] = "widget-tests";
            static char* argv[] = {name, nullptr};
            new QApplication(argc, argv);
        }
        InstallWidgetPeers();
    }
};

inline ::testing::Environment* const kWidgetTestEnvironment =
    ::testing::AddGlobalTestEnvironment(new TWidgetTestEnvironment);
