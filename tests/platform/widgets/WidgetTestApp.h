#pragma once
// A QApplication with the widget peers installed, for test programs that
// show real (offscreen) windows.

#include "platform/widgets/WidgetPeer.h"
#include "tests/platform/gfx/TestApplication.h"

#include <gtest/gtest.h>

#include <QApplication>

class TWidgetTestEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        MakeTestApplication<QApplication>();
        InstallWidgetPeers();
    }
};

inline ::testing::Environment* const kWidgetTestEnvironment =
    ::testing::AddGlobalTestEnvironment(new TWidgetTestEnvironment);
