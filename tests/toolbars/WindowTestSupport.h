#pragma once
// What the suites of real (offscreen) windows share: the widget peers
// installed once for the whole program, and a step run by the event loop
// once control is back in it (inside a menu or drag loop, say).

#include "platform/widgets/WidgetPeer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

#include <functional>

class TWidgetsEnvironment : public ::testing::Environment {
public:
    void SetUp() override { InstallWidgetPeers(); }
};
inline ::testing::Environment* const kWidgetsEnvironment =
    ::testing::AddGlobalTestEnvironment(new TWidgetsEnvironment);

inline void Later(std::function<void()> step) { QTimer::singleShot(0, qApp, std::move(step)); }
