#pragma once
// The element dialogs' suites: a main window with a document window over
// offscreen windows, the main window's commands run as a user would run
// them (the dialog driven from inside its modal loop), and controls set
// by their names.

#include "tests/app/AppTestSupport.h"
#include "tests/support/ScriptedUserInteraction.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

class TCustomForm;
class TEditForm;
class TTBCustomItem;
class Tframeform;

class TDialogTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A new, untitled document window, active.
    TEditForm* NewDocument();
    // A document window saved as name in the test's folder (made with its
    // folders), active.
    TEditForm* SavedDocument(const std::string& name);
    // The main window's items whose click runs handler.
    std::vector<TTBCustomItem*> ItemsOf(const std::string& handler);
    // Clicks item.  When it makes a form, drive runs with it: inside its
    // modal loop for a modal one (a loop drive leaves running fails the
    // test and is cancelled), else once the click has returned.  Returns
    // whether a form was made.
    bool Click(TTBCustomItem* item, const std::function<void(TCustomForm&)>& drive);
    // The same through the first item of a handler.
    bool RunCommand(const std::string& handler, const std::function<void(TCustomForm&)>& drive);

    TTestProgramFolder program;
    TScriptedUserInteraction user;
    Tframeform* frame = nullptr;
};

// Sets a control of form by name: a spin edit takes the number, an edit
// box, memo or combo box the text, a check box "1" (ticked) or "0", a
// radio button is checked whatever the value; a value of "click" clicks
// the control instead (buttons, swatches).
void SetControl(TCustomForm& form, const std::string& name, const std::string& value);
void SetControls(TCustomForm& form, const std::vector<std::pair<std::string, std::string>>& values);
// Presses a button (its click, then its modal result).
void Press(TCustomForm& form, const std::string& name);
// The form's first button with the modal result mrOk / mrCancel.
void PressOk(TCustomForm& form);
void PressCancel(TCustomForm& form);
