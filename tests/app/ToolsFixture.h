#pragma once
// The main window of the tools' suites, on offscreen windows: a program
// folder of the test's own with the shipped tag attribute file, answers
// to questions from a script, and documents made as the program makes
// them.  The editor's header and the standard controls' do not meet in
// one file: what the suites do to an editor goes through the functions
// below, made in a file of their own.

#include "app/EditForm.h"
#include "app/FrameForm.h"
#include "app/MDITab.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/MainWindowLifetime.h"

#include "platform/ui/Application.h"
#include "tests/platform/widgets/WidgetTestApp.h"
#include "tests/support/ScriptedUserInteraction.h"

#include <gtest/gtest.h>

class TCodeHighlighter;

// ---- The editor of a document (ToolsFixtureEditor.cpp) ----
std::string EditorText(TEditForm& document);
void SelectRange(TEditForm& document, int32_t start, int32_t length);
int32_t CaretOf(TEditForm& document);
TCodeHighlighter* HighlighterOf(TEditForm& document);
int FontSizeOf(TEditForm& document);
// Nothing to undo, nothing changed.
void StartClean(TEditForm& document);
// Switches the editor's encoding (no byte changes).
void SetEncodingOf(TEditForm& document, TTextEncoding encoding);
// Types text at the caret, one key a byte, as the keyboard does.
void TypeInto(TEditForm& document, const std::string& text);
// One Undo of the editor.
void UndoOnce(TEditForm& document);

class TToolsFixture : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::copy_file(std::string(ONDRILL_SOURCE_DIR) + "/resources/data/ondrill.dat",
                                   program.File("data/ondrill.dat"));
        Start();
    }
    void TearDown() override { Stop(); }

    void Start() { frame = StartMainWindow(); }
    // Closes the documents without questions, then frees the main window
    // (which writes the settings).
    void Stop() {
        if (frame == nullptr)
            return;
        FreeMainWindow();
        frame = nullptr;
    }

    TEditForm* Open(const std::string& text) {
        auto* document = new TEditForm(&Application());
        frame->MDINav->AddForm(document, nullptr);
        document->Text().SetText(text);
        StartClean(*document);
        return document;
    }

    TTestProgramFolder program;
    TScriptedUserInteraction user;
    Tframeform* frame = nullptr;
};
