// Buttons driven as a user drives them (mouse clicks and keys on their
// offscreen windows) and through their wrappers: which events run, how
// often, in what order, and what the windows show afterwards.

#include "platform/ui/ButtonControls.h"
#include "platform/ui/TextControls.h"
#include "platform/ui/UserInteraction.h"
#include "tests/platform/controls/ControlsTestSupport.h"

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
