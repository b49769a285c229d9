// Buttons driven as a user drives them (mouse clicks and keys on their
// offscreen windows) and through their wrappers: which events run, how
// often, in what order, and what the windows show afterwards.

#include "platform/ui/ButtonControls.h"
#include "platform/ui/TextControls.h"
#include "platform/ui/UserInteraction.h"
#include "tests/platform/controls/ControlsTestSupport.h"
#include "tests/support/ScriptedInput.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <memory>
#include <random>

namespace {

TEST(CheckBox, ClicksCycleTheStatesAndCodeRunsOnClickOncePerChange) {
    TTestHost host;
    TCheckBox box(&host.Form);
    box.SetParent(&host.Form);
    TEventLog log;
    box.OnClick = log.Note("click");
    auto* widget = WidgetOf<QCheckBox>(box);
    ASSERT_NE(widget, nullptr);
    // On the box itself.
    const QPoint onBox(6, box.Height() / 2);
    QTest::mouseClick(widget, Qt::LeftButton, {}, onBox);
    EXPECT_TRUE(box.Checked());
    EXPECT_TRUE(widget->isChecked());
    box.SetAllowGrayed(true);
    QTest::mouseClick(widget, Qt::LeftButton, {}, onBox);
    EXPECT_EQ(box.State(), cbUnchecked);
    QTest::mouseClick(widget, Qt::LeftButton, {}, onBox);
    EXPECT_EQ(box.State(), cbGrayed);
    EXPECT_EQ(widget->checkState(), Qt::PartiallyChecked);
    QTest::keyClick(widget, Qt::Key_Space);
    EXPECT_EQ(box.State(), cbChecked);
    EXPECT_EQ(log.Take().size(), 4u);
    // In code: once per change, never for the same value.
    box.SetChecked(true);
    EXPECT_TRUE(log.Take().empty());
    box.SetChecked(false);
    EXPECT_EQ(log.Take().size(), 1u);
    EXPECT_EQ(widget->checkState(), Qt::Unchecked);
    // Nothing runs while a form is being built.
    box.BeginLoading();
    box.SetChecked(true);
    box.Loaded();
    EXPECT_TRUE(log.Take().empty());
    EXPECT_TRUE(widget->isChecked());
}

// A parent with radio buttons, and what the events said.
struct TRadioGroup {
    std::vector<std::unique_ptr<TRadioButton>> Buttons;
    std::vector<int> Clicks;
};

TEST(RadioButton, RandomClicksAndCodeKeepOneCheckedPerParentAndRunOnClickAsTold) {
    TTestHost host(500, 300);
    TGroupBox left(&host.Form), right(&host.Form);
    left.SetParent(&host.Form);
    right.SetParent(&host.Form);
    right.SetLeft(220);
    std::vector<TRadioGroup> groups(2);
    TWinControl* parents[] = {&left, &right};
    for (int g = 0; g < 2; ++g)
        for (int i = 0; i < 4; ++i) {
            auto button = std::make_unique<TRadioButton>(&host.Form);
            button->SetParent(parents[g]);
            button->SetBounds(8, 20 + i * 20, 100, 18);
            button->SetCaption(std::to_string(i));
            groups[g].Clicks.push_back(0);
            button->OnClick = [&groups, g, i](TPersistent*) { ++groups[g].Clicks[static_cast<size_t>(i)]; };
            groups[g].Buttons.push_back(std::move(button));
        }
    std::vector<int> checked{-1, -1};
    std::mt19937 random(3);
    for (int step = 0; step < 80; ++step) {
        int g = static_cast<int>(random() % 2);
        int i = static_cast<int>(random() % 4);
        TRadioButton& button = *groups[static_cast<size_t>(g)].Buttons[static_cast<size_t>(i)];
        std::vector<int> expectedClicks = groups[static_cast<size_t>(g)].Clicks;
        switch (random() % 3) {
        case 0:
            // A click checks it, or runs its handler again when it is checked.
            QTest::mouseClick(WidgetOf<QRadioButton>(button), Qt::LeftButton, {}, QPoint(6, button.Height() / 2));
            ++expectedClicks[static_cast<size_t>(i)];
            checked[static_cast<size_t>(g)] = i;
            break;
        case 1:
            if (checked[static_cast<size_t>(g)] != i)
                ++expectedClicks[static_cast<size_t>(i)];
            button.SetChecked(true);
            checked[static_cast<size_t>(g)] = i;
            break;
        case 2:
            button.SetChecked(false);
            if (checked[static_cast<size_t>(g)] == i)
                checked[static_cast<size_t>(g)] = -1;
            break;
        }
        ASSERT_EQ(groups[static_cast<size_t>(g)].Clicks, expectedClicks) << "step " << step;
        for (int h = 0; h < 2; ++h)
            for (int j = 0; j < 4; ++j) {
                TRadioButton& b = *groups[static_cast<size_t>(h)].Buttons[static_cast<size_t>(j)];
                bool on = checked[static_cast<size_t>(h)] == j;
                ASSERT_EQ(b.Checked(), on) << "step " << step << " group " << h << " button " << j;
                ASSERT_EQ(WidgetOf<QRadioButton>(b)->isChecked(), on) << "step " << step;
            }
    }
}

// Random Tab, Shift+Tab and arrow keys, and changes made in code, over
// an edit, a group of radio buttons and another edit, against a model:
// Tab reaches the group once, at its checked button (its first usable one
// while none is), and the arrows move round the group's usable buttons,
// checking the one they reach.
TEST(RadioButton, TabReachesAGroupAtItsCheckedButtonAndArrowsCheckTheNext) {
    TTestHost host(400, 300);
    TEdit first(&host.Form), last(&host.Form);
    first.SetParent(&host.Form);
    TGroupBox box(&host.Form);
    box.SetParent(&host.Form);
    box.SetBounds(10, 40, 200, 150);
    constexpr int kCount = 5;
    std::vector<std::unique_ptr<TRadioButton>> radios;
    std::vector<int> clicks(kCount, 0);
    for (int i = 0; i < kCount; ++i) {
        radios.push_back(std::make_unique<TRadioButton>(&host.Form));
        radios.back()->SetParent(&box);
        radios.back()->SetBounds(8, 16 + i * 24, 150, 20);
        radios.back()->SetCaption("choice " + std::to_string(i));
        radios.back()->OnClick = [&clicks, i](TPersistent*) { ++clicks[static_cast<size_t>(i)]; };
    }
    last.SetParent(&host.Form);
    last.SetTop(200);
    first.SetFocus();
    QApplication::processEvents();

    // The model: focus -1 first edit, 0..4 a radio button, 5 last edit.
    int focus = -1, checked = -1;
    std::vector<bool> enabled(kCount, true);
    auto stop = [&] {
        if (checked >= 0 && enabled[static_cast<size_t>(checked)])
            return checked;
        for (int i = 0; i < kCount; ++i)
            if (enabled[static_cast<size_t>(i)])
                return i;
        return -2; // none: Tab passes the group
    };
    auto focusedIndex = [&] {
        TWinControl* now = GetFocusControl();
        if (now == &first)
            return -1;
        if (now == &last)
            return kCount;
        for (int i = 0; i < kCount; ++i)
            if (now == radios[static_cast<size_t>(i)].get())
                return i;
        return -3;
    };
    std::mt19937 random(5);
    for (int step = 0; step < 300; ++step) {
        std::vector<int> expectedClicks = clicks;
        const int choice = static_cast<int>(random() % 8);
        if (choice <= 1) {
            const bool back = choice == 1;
            QTest::keyClick(TScriptedInput::FocusWidget(), back ? Qt::Key_Backtab : Qt::Key_Tab,
                            back ? Qt::ShiftModifier : Qt::NoModifier);
            const int group = stop();
            const bool inGroup = focus >= 0 && focus < kCount;
            if (!back)
                focus = focus == -1 ? (group >= 0 ? group : kCount) : inGroup ? kCount : -1;
            else
                focus = focus == kCount ? (group >= 0 ? group : -1) : inGroup ? -1 : kCount;
        } else if (choice <= 4) {
            const Qt::Key arrows[] = {Qt::Key_Up, Qt::Key_Down, Qt::Key_Left, Qt::Key_Right};
            const Qt::Key arrow = arrows[random() % 4];
            QTest::keyClick(TScriptedInput::FocusWidget(), arrow);
            if (focus >= 0 && focus < kCount) {
                const int direction = arrow == Qt::Key_Up || arrow == Qt::Key_Left ? -1 : 1;
                for (int n = 1; n < kCount; ++n) {
                    const int next = ((focus + direction * n) % kCount + kCount) % kCount;
                    if (!enabled[static_cast<size_t>(next)])
                        continue;
                    if (checked != next)
                        ++expectedClicks[static_cast<size_t>(next)];
                    focus = checked = next;
                    break;
                }
            }
        } else if (focus >= 0 && focus < kCount) {
            // Changes in code while the group has the focus would leave it
            // on a button that is no stop, which no key can do.
            continue;
        } else if (choice == 5) {
            const int i = static_cast<int>(random() % kCount);
            if (checked != i)
                ++expectedClicks[static_cast<size_t>(i)];
            radios[static_cast<size_t>(i)]->SetChecked(true);
            checked = i;
        } else if (choice == 6 && checked >= 0) {
            radios[static_cast<size_t>(checked)]->SetChecked(false);
            checked = -1;
        } else {
            const int i = static_cast<int>(random() % kCount);
            enabled[static_cast<size_t>(i)] = !enabled[static_cast<size_t>(i)];
            radios[static_cast<size_t>(i)]->SetEnabled(enabled[static_cast<size_t>(i)]);
        }
        QApplication::processEvents();
        ASSERT_EQ(focusedIndex(), focus) << "step " << step << " choice " << choice;
        ASSERT_EQ(clicks, expectedClicks) << "step " << step;
        for (int i = 0; i < kCount; ++i)
            ASSERT_EQ(radios[static_cast<size_t>(i)]->Checked(), i == checked) << "step " << step << " button " << i;
    }
}

// The captions of check boxes and radio buttons, drawn over their parent's
// face, stay readable when disabled: their darkest ink stands well apart
// from the face (grey on grey could not be read), and enabled ones are
// darker still.
TEST(CheckBox, ADisabledCaptionStandsOutFromTheFaceItIsDrawnOn) {
    TTestHost host(400, 200);
    std::vector<std::unique_ptr<TButtonControl>> marks;
    for (int i = 0; i < 4; ++i) {
        std::unique_ptr<TButtonControl> mark;
        if (i % 2 == 0)
            mark = std::make_unique<TCheckBox>(&host.Form);
        else
            mark = std::make_unique<TRadioButton>(&host.Form);
        mark->SetParent(&host.Form);
        mark->SetBounds(10, 10 + i * 30, 180, 20);
        mark->SetCaption("Default highlighting");
        mark->SetEnabled(i < 2);
        marks.push_back(std::move(mark));
    }
    QApplication::processEvents();
    const QImage shown = ClientWidgetOf(&host.Form)->grab().toImage();
    const int face = qGray(shown.pixel(300, 150));
    // The darkest pixel of a caption (right of its mark) against the face.
    auto contrast = [&](const TButtonControl& mark) {
        int darkest = 255;
        for (int y = mark.Top(); y < mark.Top() + mark.Height(); ++y)
            for (int x = mark.Left() + 24; x < mark.Left() + mark.Width(); ++x)
                darkest = std::min(darkest, qGray(shown.pixel(x, y)));
        return face - darkest;
    };
    for (size_t i = 0; i < marks.size(); ++i) {
        const int minimum = marks[i]->Enabled() ? 96 : 48;
        EXPECT_GE(contrast(*marks[i]), minimum) << "mark " << i << " on a face of grey " << face;
    }
}

// A form that hears the modal results its buttons hand it.
class TResultForm : public TPanel {
public:
    std::vector<int> Results;

protected:
    void Dispatch(TMessage& message) override {
        if (message.Msg == CM_MODALRESULT)
            Results.push_back(static_cast<int>(message.WParam));
        TPanel::Dispatch(message);
    }
};

TEST(Button, ReturnAndEscapePressTheDefaultAndCancelButtonsOfTheirForm) {
    TResultForm form;
    form.SetBounds(30, 30, 300, 200);
    form.Show();
    TEdit edit(&form);
    edit.SetParent(&form);
    TButton ok(&form), cancel(&form), other(&form);
    for (TButton* button : {&ok, &cancel, &other})
        button->SetParent(&form);
    ok.SetDefault(true);
    ok.SetModalResult(mrOk);
    cancel.SetCancel(true);
    cancel.SetModalResult(mrCancel);
    TEventLog log;
    ok.OnClick = log.Note("ok");
    cancel.OnClick = log.Note("cancel");
    other.OnClick = log.Note("other");
    auto* line = WidgetOf<QLineEdit>(edit);
    QTest::keyClick(line, Qt::Key_Return);
    QTest::keyClick(line, Qt::Key_Escape);
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"ok", "cancel"}));
    EXPECT_EQ(form.Results, (std::vector<int>{mrOk, mrCancel}));
    // A focused button takes Return itself.
    other.SetFocus();
    QTest::keyClick(WidgetOf<QPushButton>(other), Qt::Key_Return);
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"other"}));
    // A disabled default button is not pressed.
    ok.SetEnabled(false);
    edit.SetFocus();
    QTest::keyClick(line, Qt::Key_Return);
    EXPECT_TRUE(log.Take().empty());
    EXPECT_TRUE(WidgetOf<QPushButton>(ok)->isDefault());
    // A mouse click: the event once, then the result.
    ok.SetEnabled(true);
    form.Results.clear();
    QTest::mouseClick(WidgetOf<QPushButton>(ok), Qt::LeftButton);
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"ok"}));
    EXPECT_EQ(form.Results, (std::vector<int>{mrOk}));
}

TEST(Button, AHandlerMayFreeTheFormItsButtonSitsOn) {
    auto* form = new TPanel;
    form->SetBounds(30, 30, 200, 100);
    form->Show();
    auto* button = new TButton(form);
    button->SetParent(form);
    int clicks = 0;
    button->OnClick = [&](TPersistent*) {
        ++clicks;
        delete form;
    };
    QPointer<QPushButton> widget = WidgetOf<QPushButton>(*button);
    QTest::mouseClick(widget, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
    // The window goes once Qt is done with it; nothing reaches the freed
    // control meanwhile.
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(widget.isNull());
    EXPECT_EQ(clicks, 1);
}

TEST(BitBtn, AKindGivesCaptionResultAndRoleAndTheGlyphShows) {
    TTestHost host;
    TBitBtn button(&host.Form);
    button.SetParent(&host.Form);
    button.SetKind(bkCancel);
    EXPECT_EQ(button.Caption(), "Cancel");
    EXPECT_EQ(button.ModalResult(), mrCancel);
    EXPECT_TRUE(button.Cancel());
    auto* widget = WidgetOf<QPushButton>(button);
    EXPECT_EQ(widget->text(), "Cancel");
    EXPECT_TRUE(widget->icon().isNull());
    // Two pictures side by side: the first is the button's.
    TBitmap glyph(32, 16);
    glyph.Canvas().FillRect(Rect(0, 0, 16, 16), clRed);
    glyph.Canvas().FillRect(Rect(16, 0, 32, 16), clBlue);
    button.SetNumGlyphs(2);
    button.SetGlyph(glyph);
    ASSERT_FALSE(widget->icon().isNull());
    QImage shown = widget->icon().pixmap(16, 16).toImage();
    EXPECT_EQ(shown.size(), QSize(16, 16));
    EXPECT_EQ(QColor(shown.pixel(8, 8)), QColor(Qt::red));
}

TEST(SpeedButton, GroupedButtonsStayDownOneAtATime) {
    TTestHost host;
    TSpeedButton a(&host.Form), b(&host.Form), loose(&host.Form);
    int x = 10;
    for (TSpeedButton* button : {&a, &b, &loose}) {
        button->SetParent(&host.Form);
        button->SetLeft(x);
        button->SetTop(10);
        x += 30;
    }
    a.SetGroupIndex(1);
    b.SetGroupIndex(1);
    TEventLog log;
    a.OnClick = log.Note("a");
    b.OnClick = log.Note("b");
    loose.OnClick = log.Note("loose");
    QWidget* client = ClientWidgetOf(&host.Form);
    auto click = [&](TSpeedButton& button) {
        QTest::mouseClick(client, Qt::LeftButton, {}, QPoint(button.Left() + 5, button.Top() + 5));
    };
    click(a);
    EXPECT_TRUE(a.Down());
    click(b);
    EXPECT_TRUE(b.Down());
    EXPECT_FALSE(a.Down());
    click(b);
    EXPECT_TRUE(b.Down()) << "the last button of a group stays down";
    b.SetAllowAllUp(true);
    a.SetAllowAllUp(true);
    click(b);
    EXPECT_FALSE(b.Down());
    click(loose);
    EXPECT_FALSE(loose.Down()) << "without a group a button springs back";
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"a", "b", "b", "b", "loose"}));
    // A press that leaves the button before the release clicks nothing.
    QTest::mousePress(client, Qt::LeftButton, {}, QPoint(a.Left() + 5, a.Top() + 5));
    QMouseEvent move(QEvent::MouseMove, QPointF(a.Left() + 200, a.Top() + 5), client->mapToGlobal(QPointF(a.Left() + 200, a.Top() + 5)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(client, &move);
    EXPECT_FALSE(a.Pressed());
    QTest::mouseRelease(client, Qt::LeftButton, {}, QPoint(a.Left() + 200, a.Top() + 5));
    EXPECT_TRUE(log.Take().empty());
}

} // namespace
