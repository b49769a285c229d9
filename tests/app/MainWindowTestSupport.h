#pragma once
// A main window of the test's own on offscreen windows, with a program
// folder and a configuration folder of the test's own and the scripted
// user interaction, freed with its documents at the end.

#include "tests/app/AppTestSupport.h"
#include "tests/app/MainWindowLifetime.h"

#include "platform/ui/ModalLoop.h"
#include "platform/ui/UserInteraction.h"
#include "tests/support/ScriptedUserInteraction.h"
#include "toolbars/TBItem.h"

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

// The same where boxes that only tell something are recorded and closed;
// the questions a test cares about are scripted.
class TTellingMainWindowTest : public TMainWindowTest {
protected:
    void SetUp() override {
        user.OnUnscripted = [](const std::string&) {};
        TMainWindowTest::SetUp();
    }
    // A page of the program folder opened as a document.
    TEditForm* open(const std::string& name, const std::string& text) {
        TTestProgramFolder::WriteFileBytes(program.File(name), text);
        TEditForm* document = frame->OpenDocumentFile(program.File(name));
        Application().ProcessMessages();
        return document;
    }
    // Runs a command as its item's click does; what it raises is shown.
    void click(const char* item) {
        RunGuarded([&] { frame->Item(item)->Click(); });
        Application().ProcessMessages();
    }
};
