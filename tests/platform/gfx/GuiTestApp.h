#pragma once
// A QGuiApplication for the whole test program (offscreen platform), made
// before the first test and never destroyed: process exit tears down Qt's
// own statics, and an application destroyed after them crashes.

#include <gtest/gtest.h>

#include <QGuiApplication>


class TGuiTestEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (QCoreApplication::instance() == nullptr) {
            static int argc = 1;
            static char name[] = "platform-tests";
            static char* argv[] = {name, nullptr};
            new QGuiApplication(argc, argv);
        }
    }
};

inline ::testing::Environment* const kGuiTestEnvironment =
    ::testing::AddGlobalTestEnvironment(new TGuiTestEnvironment);
