// Forms freed again while they are being freed: from their own OnDestroy,
// or by freeing an owner (or a frame) that frees them in turn.  Random
// forests of shown forms with controls on them, against the rule that
// every form and control is destroyed exactly once.

#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"
#include "platform/ui/MDI.h"
#include "tests/platform/widgets/WidgetTestApp.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <map>
#include <random>
#include <vector>

namespace {

std::map<int, int> destroyed;

class TCountedForm : public TForm {
public:
    TCountedForm(TComponent* owner, int id) : TForm(owner), id_(id) {}
    ~TCountedForm() override { ++destroyed[id_]; }

private:
    int id_;
};

class TCountedControl : public TCustomControl {
public:
    TCountedControl(TComponent* owner, int id) : TCustomControl(owner), id_(id) {}
    ~TCountedControl() override { ++destroyed[id_]; }

private:
    int id_;
};

// What a form's OnDestroy frees: nothing, the form itself, or its owner
// (which is alive or being freed, never gone: it frees the form before it
// goes).
enum TAction { kNothing, kItself, kOwner, kActionCount };

TEST(FormFreeing, AFormFreedAgainWhileItGoesIsDestroyedOnce) {
    std::mt19937 random(29);
    for (int round = 0; round < 60; ++round) {
        destroyed.clear();
        constexpr int kForms = 8;
        std::vector<TCountedForm*> forms;
        std::vector<int> ownerOf;
        for (int i = 0; i < kForms; ++i) {
            const int owner = i == 0 || random() % 3 == 0 ? -1 : static_cast<int>(random() % i);
            ownerOf.push_back(owner);
            auto* form = new TCountedForm(owner < 0 ? nullptr : forms[static_cast<size_t>(owner)], i);
            form->SetBounds(20 * i, 20 * i, 200, 150);
            // A control on it, owned and parented by it.
            auto* control = new TCountedControl(form, 100 + i);
            control->SetParent(form);
            control->SetAlign(alClient);
            if (random() % 2 == 0)
                form->Show();
            forms.push_back(form);
        }
        for (int i = 0; i < kForms; ++i) {
            TCountedForm* form = forms[static_cast<size_t>(i)];
            const int owner = ownerOf[static_cast<size_t>(i)];
            switch (static_cast<TAction>(random() % kActionCount)) {
            case kItself:
                form->OnDestroy = [form](TPersistent*) { delete form; };
                break;
            case kOwner:
                if (owner >= 0)
                    form->OnDestroy = [target = forms[static_cast<size_t>(owner)]](TPersistent*) { delete target; };
                break;
            default:
                break;
            }
        }
        // One form is freed; then every form nobody freed yet, roots
        // first (they free what they own).
        delete forms[random() % kForms];
        for (int i = 0; i < kForms; ++i)
            if (ownerOf[static_cast<size_t>(i)] < 0 && destroyed[i] == 0)
                delete forms[static_cast<size_t>(i)];
        QApplication::processEvents();
        for (int i = 0; i < kForms; ++i) {
            ASSERT_EQ(destroyed[i], 1) << "round " << round << " form " << i;
            ASSERT_EQ(destroyed[100 + i], 1) << "round " << round << " control " << i;
        }
    }
}

// A document window that frees its frame as it goes (its OnDestroy): the
// frame frees its other documents and itself once, and the document
// finishes going.
TEST(FormFreeing, ADocumentWindowThatFreesItsFrameAsItGoes) {
    destroyed.clear();
    auto* frame = new TCountedForm(nullptr, 0);
    Application().SetMainForm(frame);
    frame->SetFormStyle(fsMDIForm);
    frame->SetBounds(50, 50, 600, 400);
    frame->Show();
    std::vector<TCountedForm*> documents;
    for (int i = 1; i <= 3; ++i) {
        auto* document = new TCountedForm(nullptr, i);
        document->SetFormStyle(fsMDIChild);
        document->Show();
        documents.push_back(document);
    }
    documents[1]->OnDestroy = [frame](TPersistent*) { delete frame; };
    delete documents[1];
    QApplication::processEvents();
    for (int i = 0; i <= 3; ++i)
        EXPECT_EQ(destroyed[i], 1) << "form " << i;
    EXPECT_EQ(Application().MainForm(), nullptr);
}

} // namespace
