#pragma once
// A QGuiApplication (offscreen platform) for the whole test program.

#include "tests/platform/gfx/TestApplication.h"

#include <gtest/gtest.h>

#include <QGuiApplication>

class TGuiTestEnvironment : public ::testing::Environment {
public:
    void SetUp() override { MakeTestApplication<QGuiApplication>(); }
};

inline ::testing::Environment* const kGuiTestEnvironment =
    ::testing::AddGlobalTestEnvironment(new TGuiTestEnvironment);
