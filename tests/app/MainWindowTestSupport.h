#pragma once
// A main window of the test's own on offscreen windows, with a program
// folder and a configuration folder of the test's own and the scripted
// user interaction, freed with its documents at the end.

#include "tests/app/AppTestSupport.h"
#include "tests/app/MainWindowLifetime.h"

#include "platform/ui/ModalLoop.h"
#include "tests/support/ScriptedUserInteraction.h"

#include <gtest/gtest.h>

class TMainWindowTest : public ::testing::Test {
protected:
    void SetUp() override { frame = StartMainWindow(); }
    void TearDown() override {
        FreeMainWindow();
        frame = nullptr;
        ClearQuitRequest();
    }

    TTestProgramFolder program;
    TScriptedUserInteraction user;
    Tframeform* frame = nullptr;
};
