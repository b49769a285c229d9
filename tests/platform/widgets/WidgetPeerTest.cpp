// The widget peer: Qt events in, messages out; painting, the caret, scroll
// bars, focus and the exception guard on real (offscreen) widgets.

#include "platform/base/Exceptions.h"
#include "tests/support/ScriptedUserInteraction.h"
#include "platform/widgets/QtUserInteraction.h"
#include "platform/widgets/WidgetPeer.h"
#include "tests/platform/base/TempFolder.h"
#include "tests/platform/ui/RecordingControls.h"
#include "tests/platform/widgets/WidgetTestApp.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QWindow>
#include <QPrintDialog>
#include <QScrollBar>
#include <QTimer>
#include <QToolTip>
#include <QTest>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QWheelEvent>

namespace {

TPeerWidget* widgetOf(TWinControl& control) {
    return static_cast<TWidgetPeer*>(control.Peer())->Widget();
}

std::vector<TMessage> only(const std::vector<TMessage>& messages, std::initializer_list<unsigned> kinds) {
    std::vector<TMessage> picked;
    for (const TMessage& m : messages)
        for (unsigned kind : kinds)
            if (m.Msg == kind)
                picked.push_back(m);
    return picked;
}

struct Window {
    TRecordingWindow control;
    Window(unsigned style = 0) : control(nullptr, style) {
        control.SetBounds(10, 10, 200, 120);
        control.SetTabStop(true);
        control.Show();
        EXPECT_TRUE(control.HandleAllocated());
        EXPECT_TRUE(QTest::qWaitForWindowExposed(widgetOf(control)));
        control.Messages.clear();
    }
    QWidget* client() { return widgetOf(control)->viewport(); }
};

TEST(WidgetPeer, ExistsOnlyForShownTopLevelsAndTheirChildren) {
    TRecordingWindow top;
    auto* child = new TRecordingWindow;
    child->SetParent(&top);
    EXPECT_FALSE(top.HandleAllocated());
    EXPECT_FALSE(child->HandleAllocated());
    top.SetBounds(0, 0, 100, 100);
    top.Show();
    EXPECT_TRUE(top.HandleAllocated());
    EXPECT_TRUE(child->HandleAllocated()) << "children follow their parent";
    EXPECT_EQ(widgetOf(*child)->parentWidget(), widgetOf(top)->viewport());
    auto* late = new TRecordingWindow;
    late->SetParent(child);
    EXPECT_TRUE(late->HandleAllocated()) << "parented to a control with a window";
    late->SetParent(nullptr);
    EXPECT_FALSE(late->HandleAllocated());
    delete late;
    top.RecreateWnd();
    EXPECT_TRUE(child->HandleAllocated());
}

TEST(WidgetPeer, KeysBecomeKeyDownCharAndKeyUpMessages) {
    Window window;
    window.control.SetFocus();
    QWidget* widget = widgetOf(window.control);
    auto keyMessages = [&] {
        // The modifier keys come as keys of their own, as on any keyboard.
        std::vector<TMessage> keys;
        for (const TMessage& m : only(window.control.Messages, {WM_KEYDOWN, WM_KEYUP, WM_CHAR, WM_SYSKEYDOWN, WM_SYSKEYUP, WM_SYSCHAR}))
            if ((m.Msg == WM_CHAR || m.Msg == WM_SYSCHAR) ||
                (m.WParam != VK_CONTROL && m.WParam != VK_SHIFT && m.WParam != VK_MENU))
                keys.push_back(m);
        window.control.Messages.clear();
        return keys;
    };
    QTest::keyClick(widget, Qt::Key_A, Qt::ControlModifier);
    auto keys = keyMessages();
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0].Msg, WM_KEYDOWN);
    EXPECT_EQ(keys[0].WParam, 'A');
    EXPECT_EQ(keys[1].Msg, WM_CHAR);
    EXPECT_EQ(keys[1].WParam, 1u) << "Ctrl+A types character 1";
    EXPECT_EQ(keys[2].Msg, WM_KEYUP);
    EXPECT_TRUE(static_cast<uint32_t>(keys[2].LParam) & KF_UP_BIT);
    ASSERT_FALSE(window.control.Inputs.empty());
    bool sawCtrlA = false;
    for (const TRecordedInput& input : window.control.Inputs)
        sawCtrlA |= input.What == "down" && input.Key == 'A' && input.Shift == ssCtrl;
    EXPECT_TRUE(sawCtrlA) << "KeyDown saw Ctrl held";

    QKeyEvent accented(QEvent::KeyPress, Qt::Key_Eacute, Qt::NoModifier, QString::fromUtf8("\xC3\xA9"));
    QApplication::sendEvent(widget, &accented);
    keys = keyMessages();
    bool typedEAcute = false;
    for (const TMessage& m : keys)
        typedEAcute |= m.Msg == WM_CHAR && m.WParam == 0xE9u;
    EXPECT_TRUE(typedEAcute) << "text goes through the code page";

    QTest::keyClick(widget, Qt::Key_3, Qt::ControlModifier);
    keys = keyMessages();
    ASSERT_EQ(keys.size(), 2u) << "Ctrl+3 types nothing";
    EXPECT_EQ(keys[0].WParam, '3');
    EXPECT_EQ(keys[1].Msg, WM_KEYUP);

    QTest::keyClick(widget, Qt::Key_Right, Qt::ShiftModifier);
    keys = keyMessages();
    ASSERT_EQ(keys.size(), 2u) << "arrows type nothing";
    EXPECT_EQ(keys[0].WParam, VK_RIGHT);

    QTest::keyClick(widget, Qt::Key_X, Qt::AltModifier);
    keys = keyMessages();
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0].Msg, WM_SYSKEYDOWN);
    EXPECT_EQ(keys[0].WParam, 'X');
    EXPECT_TRUE(static_cast<uint32_t>(keys[0].LParam) & KF_ALTDOWN_BIT);
    EXPECT_EQ(keys[1].Msg, WM_SYSCHAR);
    EXPECT_EQ(keys[1].WParam, static_cast<unsigned>('x'));
    EXPECT_EQ(keys[2].Msg, WM_SYSKEYUP);

    QTest::keyClick(widget, Qt::Key_Return);
    keys = keyMessages();
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0].WParam, VK_RETURN);
    EXPECT_EQ(keys[1].Msg, WM_CHAR);
    EXPECT_EQ(keys[1].WParam, 13u);
}

TEST(WidgetPeer, MouseBecomesButtonMessagesWithKeyFlagsAndClientCoordinates) {
    Window window;
    QWidget* client = window.client();
    QTest::mouseClick(client, Qt::LeftButton, Qt::ShiftModifier, QPoint(5, 7));
    QTest::mouseDClick(client, Qt::LeftButton, Qt::NoModifier, QPoint(20, 30));
    QTest::mouseClick(client, Qt::RightButton, Qt::ControlModifier, QPoint(40, 50));
    auto buttons = only(window.control.Messages,
                        {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONUP,
                         WM_CONTEXTMENU});
    ASSERT_GE(buttons.size(), 6u);
    EXPECT_EQ(buttons[0].Msg, WM_LBUTTONDOWN);
    EXPECT_EQ(buttons[0].WParam, MK_LBUTTON | MK_SHIFT);
    EXPECT_EQ(PointFromLParam(buttons[0].LParam), (TPoint{5, 7}));
    EXPECT_EQ(buttons[1].Msg, WM_LBUTTONUP);
    int doubleClicks = 0;
    for (const TMessage& m : buttons)
        if (m.Msg == WM_LBUTTONDBLCLK) {
            ++doubleClicks;
            EXPECT_EQ(PointFromLParam(m.LParam), (TPoint{20, 30}));
        }
    EXPECT_EQ(doubleClicks, 1);
    // A right click ends with the context-menu request at the screen point.
    size_t n = buttons.size();
    EXPECT_EQ(buttons[n - 3].Msg, WM_RBUTTONDOWN);
    EXPECT_EQ(buttons[n - 3].WParam & (MK_RBUTTON | MK_CONTROL | MK_SHIFT), MK_RBUTTON | MK_CONTROL);
    EXPECT_EQ(buttons[n - 2].Msg, WM_RBUTTONUP);
    EXPECT_EQ(buttons[n - 1].Msg, WM_CONTEXTMENU);
    TPoint screen = window.control.ClientToScreen({40, 50});
    EXPECT_EQ(PointFromLParam(buttons[n - 1].LParam), screen) << "the menu point is on the screen";
    // The window base turned them into clicks.
    int clicks = 0, doubles = 0;
    for (const TRecordedInput& input : window.control.Inputs) {
        clicks += input.What == "click";
        doubles += input.What == "dblclick";
    }
    EXPECT_GE(clicks, 1);
    EXPECT_EQ(doubles, 1);

    QTest::mouseMove(client, QPoint(60, 61));
    auto moves = only(window.control.Messages, {WM_MOUSEMOVE, WM_SETCURSOR});
    ASSERT_GE(moves.size(), 2u);
    EXPECT_EQ(moves[moves.size() - 2].Msg, WM_MOUSEMOVE);
    EXPECT_EQ(PointFromLParam(moves[moves.size() - 2].LParam), (TPoint{60, 61}));
    EXPECT_EQ(moves.back().Msg, WM_SETCURSOR);
    EXPECT_EQ(LOWORD(static_cast<uintptr_t>(moves.back().LParam)), HTCLIENT);

    QWheelEvent wheel(QPointF(10, 10), client->mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(client, &wheel);
    auto wheels = only(window.control.Messages, {WM_MOUSEWHEEL});
    ASSERT_EQ(wheels.size(), 1u);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheels[0].WParam), -WHEEL_DELTA);
    EXPECT_EQ(GET_KEYSTATE_WPARAM(wheels[0].WParam), MK_CONTROL);
}

TEST(WidgetPeer, PaintsThroughTheCanvasAndDrawsTheCaretInverted) {
    Window window;
    window.control.OnMessage = [&](TMessage& m) {
        if (m.Msg == WM_PAINT)
            window.control.Invalidate(); // no effect on what is being painted
    };
    // Paint: fill the client area red through the control's canvas.
    struct RedWindow : TCustomControl {
        using TCustomControl::TCustomControl;
        void Paint() override {
            Canvas().Brush().SetColor(clRed);
            Canvas().FillRect(ClientRect());
        }
    };
    RedWindow red;
    red.SetBounds(0, 0, 60, 40);
    red.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(widgetOf(red)));
    QImage shot = widgetOf(red)->viewport()->grab().toImage();
    EXPECT_EQ(shot.pixelColor(10, 10), QColor(Qt::red));
    red.SetFocus();
    QApplication::processEvents();
    red.CreateCaret(2, 15);
    red.SetCaretPos(20, 5);
    red.ShowCaret();
    shot = widgetOf(red)->viewport()->grab().toImage();
    EXPECT_EQ(shot.pixelColor(20, 5), QColor(Qt::cyan)) << "red inverted";
    EXPECT_EQ(shot.pixelColor(22, 5), QColor(Qt::red));
    red.HideCaret();
    shot = widgetOf(red)->viewport()->grab().toImage();
    EXPECT_EQ(shot.pixelColor(20, 5), QColor(Qt::red));
}

TEST(WidgetPeer, ScrollBarsMirrorTheControlAndSendScrollRequests) {
    Window window(WS_VSCROLL);
    TPeerWidget* widget = widgetOf(window.control);
    int before = window.control.ClientWidth();
    TScrollInfo info;
    info.Max = 99;
    info.Page = 10;
    info.Pos = 30;
    window.control.SetScrollInfo(SB_VERT, info, SIF_ALL);
    QScrollBar* bar = widget->verticalScrollBar();
    EXPECT_EQ(widget->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(bar->maximum(), 90);
    EXPECT_EQ(bar->pageStep(), 10);
    EXPECT_EQ(bar->value(), 30);
    EXPECT_LT(window.control.ClientWidth(), before) << "the bar takes client width";
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    auto scrolls = only(window.control.Messages, {WM_VSCROLL});
    ASSERT_EQ(scrolls.size(), 2u);
    EXPECT_EQ(LOWORD(scrolls[0].WParam), SB_LINEDOWN);
    EXPECT_EQ(LOWORD(scrolls[1].WParam), SB_PAGEUP);
    EXPECT_EQ(bar->value(), 30) << "the control, which did not move, decides";
    info.Page = 200;
    window.control.SetScrollInfo(SB_VERT, info, SIF_PAGE);
    EXPECT_EQ(widget->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}

TEST(WidgetPeer, ResizingSendsTheClientSize) {
    Window window;
    window.control.SetBounds(10, 10, 300, 150);
    QApplication::processEvents();
    auto sizes = only(window.control.Messages, {WM_SIZE});
    ASSERT_FALSE(sizes.empty());
    EXPECT_EQ(LOWORD(static_cast<uintptr_t>(sizes.back().LParam)), 300);
    EXPECT_EQ(HIWORD(static_cast<uintptr_t>(sizes.back().LParam)), 150);
    EXPECT_EQ(window.control.ClientWidth(), 300);
    EXPECT_EQ(window.control.Width(), 300);
}

TEST(WidgetPeer, FocusNoticesComeOnceEach) {
    Window first;
    TRecordingWindow second;
    second.SetParent(&first.control);
    second.SetBounds(0, 0, 50, 50);
    second.SetTabStop(true);
    first.control.SetFocus();
    QApplication::processEvents();
    EXPECT_TRUE(first.control.Focused());
    first.control.Messages.clear();
    second.SetFocus();
    QApplication::processEvents();
    EXPECT_EQ(countMessages(first.control.Messages, WM_SETFOCUS), 0);
    EXPECT_EQ(countMessages(first.control.Messages, WM_KILLFOCUS), 1);
    EXPECT_EQ(countMessages(second.Messages, WM_SETFOCUS), 1);
    EXPECT_TRUE(second.Focused());
    EXPECT_FALSE(first.control.Focused());
}

// A window the system makes anew (as when a web view first shows in it)
// takes the windows it owns back; a dialog waiting for an answer over it
// stays and goes on waiting, whatever kind it is.
TEST(WidgetPeer, AWindowMadeAnewLeavesTheDialogsOverItWaiting) {
    for (bool applicationModal : {false, true}) {
        Window owner;
        QWidget* main = widgetOf(owner.control);
        QDialog dialog(main);
        dialog.setWindowModality(applicationModal ? Qt::ApplicationModal : Qt::WindowModal);
        QWindow* before = main->windowHandle();
        bool remade = false, stillUp = false;
        QObject::connect(before, &QObject::destroyed, [&] { remade = true; });
        QTimer::singleShot(0, [&] { RemakeNativeWindow(main); });
        // The answer once the owner's new window is there and its windows
        // were taken back (queued after the new window's notice); a broken
        // run still ends.
        QTimer answer;
        int ticks = 0;
        QObject::connect(&answer, &QTimer::timeout, [&] {
            if ((!remade || ++ticks < 3) && ticks < 50)
                return;
            answer.stop();
            stillUp = dialog.isVisible() && dialog.windowHandle()->transientParent() == main->windowHandle();
            dialog.accept();
        });
        answer.start(20);
        EXPECT_EQ(dialog.exec(), QDialog::Accepted) << "the dialog ended before it was answered";
        EXPECT_TRUE(remade);
        EXPECT_TRUE(stillUp) << "the dialog is up over the new window";
    }
}

TEST(WidgetPeer, AHandlerExceptionIsShownAndDoesNotEscapeTheEventLoop) {
    TScriptedUserInteraction seam;
    Window window;
    window.control.OnKeyDown = [](TPersistent*, uint16_t& key, TShiftState) {
        if (key == 'Q')
            throw EConvertError("'Q' is not a valid key here");
    };
    window.control.SetFocus();
    QTest::keyClick(widgetOf(window.control), Qt::Key_Q);
    QTest::keyClick(widgetOf(window.control), Qt::Key_W);
    EXPECT_EQ(seam.Exceptions(), (std::vector<std::string>{"'Q' is not a valid key here"}));
    auto downs = only(window.control.Messages, {WM_KEYDOWN});
    ASSERT_EQ(downs.size(), 2u) << "the next key was handled as usual";
    EXPECT_EQ(downs[1].WParam, 'W');
}

// In a test program nobody answers a box: an error or a question that a
// test did not script fails that test at once and is answered as
// cancelled, instead of a modal box waiting for ever.  A scripted seam
// takes over while it lives and gives the unattended one back.
TEST(UnattendedUserInteraction, WhatNobodyScriptedFailsTheTestWithoutWaiting) {
    Window window;
    window.control.OnKeyDown = [](TPersistent*, uint16_t&, TShiftState) {
        throw EConvertError("no such key");
    };
    window.control.SetFocus();
    EXPECT_NONFATAL_FAILURE(QTest::keyClick(widgetOf(window.control), Qt::Key_Q), "error box \"no such key\"");
    int answer = mrNone;
    EXPECT_NONFATAL_FAILURE(answer = UserInteraction().MessageDlg("Save?", mtConfirmation, mbYesNoCancel),
                            "message box \"Save?\"");
    EXPECT_EQ(answer, mrCancel);
    {
        TScriptedUserInteraction seam;
        seam.AnswerMessage(mrYes);
        EXPECT_EQ(UserInteraction().MessageDlg("Save?", mtConfirmation, mbYesNoCancel), mrYes);
    }
    EXPECT_EQ(&UserInteraction(), &UnattendedUserInteraction());
}

// The hint of a window the program paints itself is the program's text
// (UTF-8), shown as such: its short part, accents and all.
TEST(WidgetPeer, AHintShowsAsTheProgramsText) {
    Window window;
    window.control.SetShowHint(true);
    window.control.SetHint("Caf\xC3\xA9 \xE4\xB8\xAD|The long part");
    QWidget* viewport = widgetOf(window.control)->viewport();
    const QPoint at(20, 20);
    QHelpEvent help(QEvent::ToolTip, at, viewport->mapToGlobal(at));
    QApplication::sendEvent(viewport, &help);
    EXPECT_EQ(QToolTip::text(), QString::fromUtf8("Caf\xC3\xA9 \xE4\xB8\xAD"));
    QToolTip::hideText();
}

TEST(QtUserInteraction, FileFiltersTranslateToQtsForm) {
    EXPECT_EQ(QtFileFilter("HTML files|*.htm;*.html|All files|*.*"),
              "HTML files (*.htm *.html);;All files (*.*)");
    EXPECT_EQ(QtFileFilter(""), "");
    EXPECT_EQ(QtFileFilter("Projects|*.ond"), "Projects (*.ond)");
}

// The printer-setup dialog chooses settings; it prints nothing, so its
// accepting button says OK (not "Print"), and accepting it hands the
// choices back.
TEST(QtUserInteraction, ThePrinterSetupDialogIsAcceptedWithOKNotPrint) {
    TTempFolder folder;
    TPrinterSetup setup;
    setup.Landscape = true;
    setup.Copies = 3;
    // Where no printer is at hand the dialog offers a file.
    setup.OutputFileName = folder.File("setup.pdf");
    QStringList captions;
    QString title;
    QString unexpected;
    // The dialog is answered once it shows (looked for until then).
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible())
            return;
        auto* dialog = qobject_cast<QPrintDialog*>(modal);
        if (dialog == nullptr) {
            unexpected = modal->windowTitle();
            modal->close();
            return;
        }
        if (!title.isNull())
            return;
        title = dialog->windowTitle();
        QAbstractButton* accept = nullptr;
        for (QDialogButtonBox* box : dialog->findChildren<QDialogButtonBox*>())
            for (QAbstractButton* button : box->buttons()) {
                if (!button->isVisible())
                    continue;
                captions << button->text().remove('&');
                if (box->buttonRole(button) == QDialogButtonBox::AcceptRole)
                    accept = button;
            }
        // Queued: what accepting may open is answered by this poll in turn.
        if (accept != nullptr)
            QMetaObject::invokeMethod(accept, &QAbstractButton::click, Qt::QueuedConnection);
        else
            QMetaObject::invokeMethod(dialog, &QDialog::reject, Qt::QueuedConnection);
    });
    poll.start();
    const bool accepted = QtUserInteraction().PrinterSetupDialog(setup);
    poll.stop();
    EXPECT_FALSE(title.isNull()) << "the dialog showed";
    EXPECT_TRUE(unexpected.isNull()) << "nothing else showed: " << unexpected.toStdString();
    EXPECT_FALSE(captions.contains("Print")) << captions.join(", ").toStdString();
    EXPECT_TRUE(captions.contains("OK")) << captions.join(", ").toStdString();
    EXPECT_EQ(title, "Print Setup");
    EXPECT_TRUE(accepted);
    EXPECT_TRUE(setup.Landscape);
    EXPECT_EQ(setup.Copies, 3);
    EXPECT_EQ(setup.OutputFileName, folder.File("setup.pdf"));
}

// The find and replace dialogs' labels name their fields: each shows its
// access key underlined, not as a literal "&", and takes the user to its
// field.  A label's ink is that of its caption without the marker (the
// underline may reach a column further; an "&" takes several).
TEST(QtUserInteraction, TheFindDialogsLabelsShowTheirAccessKeysForTheirFields) {
    QtUserInteraction().ShowReplaceDialog({"abc", "def", frDown}, [](const TFindRequest&) {});
    QDialog* dialog = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* found = qobject_cast<QDialog*>(window); found != nullptr && found->isVisible())
            dialog = found;
    ASSERT_NE(dialog, nullptr);
    const QList<QLabel*> labels = dialog->findChildren<QLabel*>();
    ASSERT_EQ(labels.size(), 2);
    auto inkColumns = [](QLabel& label) {
        QImage image = label.grab().toImage();
        int columns = 0;
        for (int x = 0; x < image.width(); ++x)
            for (int y = 0; y < image.height(); ++y)
                if (qGray(image.pixel(x, y)) < 128) {
                    ++columns;
                    break;
                }
        return columns;
    };
    for (QLabel* label : labels) {
        EXPECT_NE(qobject_cast<QLineEdit*>(label->buddy()), nullptr) << label->text().toStdString();
        QLabel plain(QString(label->text()).remove('&'));
        plain.setFont(label->font());
        plain.resize(label->size());
        EXPECT_LE(std::abs(inkColumns(*label) - inkColumns(plain)), 1) << label->text().toStdString();
    }
    QtUserInteraction().CloseFindDialogs();
    QApplication::processEvents();
}

// A dialog the seam shows in one size offers no maximise button: its
// frame asks for the title, system menu and close button alone (a window
// manager that decorates by the flags would otherwise add one).
TEST(QtUserInteraction, DialogsOfOneSizeAskForNoMaximiseButton) {
    struct TSeen {
        QString Kind;
        bool Fixed = false;
        Qt::WindowFlags Flags;
    };
    std::vector<TSeen> seen;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible())
            return;
        seen.push_back({modal->metaObject()->className(), modal->minimumSize() == modal->maximumSize(),
                        modal->windowFlags()});
        QMetaObject::invokeMethod(qobject_cast<QDialog*>(modal), &QDialog::reject, Qt::QueuedConnection);
    });
    poll.start();
    TFont font;
    TColor color = clRed;
    for (TMsgDlgType type : {mtWarning, mtError, mtInformation, mtConfirmation, mtCustom})
        QtUserInteraction().MessageDlg("A question with a long line of text to lay out", type, mbYesNoCancel, "");
    QtUserInteraction().ShowException("An error");
    QtUserInteraction().ChooseColor(color);
    QtUserInteraction().ChooseFont(font);
    poll.stop();
    int fixed = 0;
    for (const TSeen& dialog : seen) {
        SCOPED_TRACE(dialog.Kind.toStdString());
        if (!dialog.Fixed)
            continue;
        ++fixed;
        EXPECT_TRUE(dialog.Flags & Qt::CustomizeWindowHint);
        EXPECT_FALSE(dialog.Flags & Qt::WindowMaximizeButtonHint);
        EXPECT_FALSE(dialog.Flags & Qt::WindowMinimizeButtonHint);
        EXPECT_TRUE(dialog.Flags & Qt::WindowCloseButtonHint);
    }
    EXPECT_EQ(seen.size(), 8u);
    EXPECT_GE(fixed, 7) << "the message boxes and the colour dialog";
}

} // namespace
