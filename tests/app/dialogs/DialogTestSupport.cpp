#include "tests/app/dialogs/DialogTestSupport.h"

#include "app/EditForm.h"
#include "app/FrameForm.h"
#include "app/MDITab.h"
#include "app/MainWindowItems.h"
#include "platform/ui/Application.h"
#include "platform/ui/ButtonControls.h"
#include "platform/ui/ComponentWatch.h"
#include "platform/ui/ListControls.h"
#include "platform/ui/Screen.h"
#include "platform/ui/SpinEdit.h"
#include "platform/ui/TextControls.h"
#include "tests/platform/widgets/WidgetTestApp.h"
#include "toolbars/TBItem.h"

#include <QTimer>

#include <filesystem>

void TDialogTest::SetUp() {
    frame = new Tframeform(&Application());
    Application().SetMainForm(frame);
    frame->Show();
    Application().ProcessMessages();
}

void TDialogTest::TearDown() {
    while (frame->MDIChildCount() > 0)
        delete frame->MDIChildren(frame->MDIChildCount() - 1);
    delete frame;
    frame = nullptr;
    Application().SetMainForm(nullptr);
    Application().ProcessMessages();
}

TEditForm* TDialogTest::NewDocument() {
    auto* document = new TEditForm(&Application());
    frame->MDINav->AddForm(document, nullptr);
    Application().ProcessMessages();
    return document;
}

TEditForm* TDialogTest::SavedDocument(const std::string& name) {
    const std::string path = program.File(name);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    TTestProgramFolder::WriteFileBytes(path, "<HTML></HTML>");
    return frame->OpenDocumentFile(path);
}

std::vector<TTBCustomItem*> TDialogTest::ItemsOf(const std::string& handler) {
    std::vector<TTBCustomItem*> items;
    std::function<void(const std::vector<TMainItem>&)> walk = [&](const std::vector<TMainItem>& entries) {
        for (const TMainItem& entry : entries) {
            walk(entry.Items);
            if (entry.Handler == handler)
                if (TTBCustomItem* item = frame->Item(entry.Name))
                    items.push_back(item);
        }
    };
    for (const TMainBar& bar : MainWindowBars())
        walk(bar.Items);
    return items;
}

bool TDialogTest::Click(TTBCustomItem* item, const std::function<void(TCustomForm&)>& drive) {
    const int formsBefore = Screen().FormCount();
    auto newest = [formsBefore]() -> TCustomForm* {
        return Screen().FormCount() > formsBefore ? Screen().Forms(Screen().FormCount() - 1) : nullptr;
    };
    bool made = false;
    bool driven = false;
    QTimer::singleShot(0, qApp, [&] {
        TCustomForm* form = newest();
        if (form == nullptr || !form->Modal())
            return;
        made = driven = true;
        TComponentWatch watch(form);
        drive(*form);
        if (watch.Alive() && form->Modal() && form->ModalResult() == 0) {
            ADD_FAILURE() << form->ClassName() << " is still open";
            form->SetModalResult(mrCancel);
        }
    });
    item->Click();
    if (!driven) {
        if (TCustomForm* form = newest()) {
            made = true;
            drive(*form);
        }
    }
    Application().ProcessMessages();
    return made;
}

bool TDialogTest::RunCommand(const std::string& handler, const std::function<void(TCustomForm&)>& drive) {
    std::vector<TTBCustomItem*> items = ItemsOf(handler);
    if (items.empty()) {
        ADD_FAILURE() << "no item runs " << handler;
        return false;
    }
    return Click(items.front(), drive);
}

namespace {

template <class T> T* control(TCustomForm& form, const std::string& name) {
    auto* found = dynamic_cast<T*>(form.FindComponent(name));
    if (found == nullptr)
        ADD_FAILURE() << form.ClassName() << " has no " << name;
    return found;
}

// A click as the mouse makes it: pressed and released over the control.
void clickControl(TControl& target) {
    if (auto* button = dynamic_cast<TButton*>(&target)) {
        button->Click();
        return;
    }
    if (auto* speed = dynamic_cast<TSpeedButton*>(&target)) {
        speed->Click();
        return;
    }
    target.Perform(WM_LBUTTONDOWN, MK_LBUTTON, 0);
    target.Perform(WM_LBUTTONUP, 0, 0);
}

} // namespace

void SetControl(TCustomForm& form, const std::string& name, const std::string& value) {
    auto* target = control<TControl>(form, name);
    if (target == nullptr)
        return;
    if (value == "click")
        clickControl(*target);
    else if (auto* spin = dynamic_cast<TSpinEdit*>(target))
        spin->SetValue(std::stoi(value));
    else if (auto* edit = dynamic_cast<TCustomEdit*>(target))
        edit->SetText(value);
    else if (auto* combo = dynamic_cast<TCustomComboBox*>(target))
        combo->SetText(value);
    else if (auto* check = dynamic_cast<TCustomCheckBox*>(target))
        check->SetChecked(value == "1");
    else if (auto* radio = dynamic_cast<TRadioButton*>(target))
        radio->SetChecked(true);
    else
        ADD_FAILURE() << name << " can not take " << value;
}

void SetControls(TCustomForm& form, const std::vector<std::pair<std::string, std::string>>& values) {
    for (const auto& [name, value] : values)
        SetControl(form, name, value);
}

void Press(TCustomForm& form, const std::string& name) {
    if (auto* button = control<TButton>(form, name))
        button->Click();
}

namespace {

void pressResult(TCustomForm& form, int result) {
    for (int i = 0; i < form.ComponentCount(); ++i)
        if (auto* button = dynamic_cast<TButton*>(form.Components(i)); button != nullptr && button->ModalResult() == result) {
            button->Click();
            return;
        }
    ADD_FAILURE() << form.ClassName() << " has no button for result " << result;
}

} // namespace

void PressOk(TCustomForm& form) { pressResult(form, mrOk); }
void PressCancel(TCustomForm& form) { pressResult(form, mrCancel); }
