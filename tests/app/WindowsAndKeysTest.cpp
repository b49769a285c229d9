// The main window's document windows and keys as a user meets them, on
// real offscreen windows: Ctrl+Tab and Ctrl+F6 visit every document in
// turn (with Shift backwards) and Ctrl+F4 closes the one in front,
// wherever the focus is, against a model of the activation order; a tab
// strip of several rows takes the arrow keys as one row does; the control
// with the keyboard keeps the shortcuts it handles itself; restored
// document windows cascade inside the client area; a dialog shown while a
// stay-on-top window shows stays above it; floating toolbars stay owned by
// a main window whose native window was made anew; the status bar's
// encoding panel keeps its width in a narrow window; a click that ends the
// menu bar's tracking reaches the editor whole and leaves no capture.

#include "app/EditForm.h"
#include "app/FrameForm.h"
#include "app/MDITab.h"
#include "app/MainStatusBar.h"
#include "tests/app/MainWindowTestSupport.h"

#include "editor/CodeMemo.h"
#include "platform/ui/Application.h"
#include "platform/ui/MDI.h"
#include "platform/ui/Screen.h"
#include "platform/ui/StatusBar.h"
#include "platform/ui/PageControls.h"
#include "platform/widgets/QtUserInteraction.h"
#include "platform/widgets/TabRows.h"
#include "platform/widgets/WidgetPeer.h"
#include "shell/ShellList.h"
#include "shell/ShellRecords.h"
#include "tests/platform/widgets/WidgetTestApp.h"
#include "toolbars/TBFloatingFrame.h"
#include "toolbars/TBItem.h"
#include "toolbars/TBPopupWindow.h"
#include "toolbars/TBToolbar.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <random>
#include <set>

namespace fs = std::filesystem;

namespace {

class WindowsAndKeys : public TTellingMainWindowTest {
protected:
    TEditForm* open(const std::string& name) { return TTellingMainWindowTest::open(name, "<P>" + name + "</P>"); }
    // A key typed where the focus is.
    static void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClick(focus, key, modifiers);
        Application().ProcessMessages();
    }
    std::string toolbarsShown() const {
        std::string shown;
        for (const char* bar : {"formToolbar", "linkToolbar", "framesToolbar", "formatToolbar"})
            shown += frame->Bar(bar)->Visible() ? '1' : '0';
        return shown;
    }
};

} // namespace

TEST_F(WindowsAndKeys, DocumentKeysVisitEveryDocumentInTurnWhereverTheFocusIs) {
    std::mt19937 random(11);
    for (int round = 0; round < 4; ++round) {
        FreeDocuments();
        // The model: the documents most recently in front first.
        std::deque<TEditForm*> order;
        const int count = 2 + round;
        for (int i = 0; i < count; ++i)
            order.push_front(open("d" + std::to_string(round) + std::to_string(i) + ".html"));
        const std::string bars = toolbarsShown();
        // From any document, as many steps forward as there are documents
        // show each once and come back.
        std::set<TEditForm*> seen;
        for (int i = 0; i < count; ++i) {
            frame->ActiveDocument()->Editor->SetFocus();
            press(Qt::Key_Tab, Qt::ControlModifier);
            seen.insert(frame->ActiveDocument());
        }
        EXPECT_EQ(static_cast<int>(seen.size()), count);
        ASSERT_EQ(frame->ActiveDocument(), order.front());
        for (int step = 0; step < 40; ++step) {
            // The focus in the document, on the tab strip or on the tool
            // window's tabs: the keys act on the documents alike.
            switch (random() % 3) {
            case 0: frame->ActiveDocument()->Editor->SetFocus(); break;
            case 1: frame->MDINav->SetFocus(); break;
            default: frame->toolsPgCtl->SetFocus(); break;
            }
            Application().ProcessMessages();
            const int action = static_cast<int>(random() % 5);
            if (action < 2) {
                press(random() % 2 ? Qt::Key_Tab : Qt::Key_F6, Qt::ControlModifier);
                order.push_back(order.front());
                order.pop_front();
            } else if (action < 4) {
                press(random() % 2 ? Qt::Key_Backtab : Qt::Key_F6, Qt::ControlModifier | Qt::ShiftModifier);
                order.push_front(order.back());
                order.pop_back();
            } else {
                // Picked on the tab strip.
                TEditForm* picked = order[random() % order.size()];
                frame->MDINav->SetTabIndex(frame->MDINav->IndexOfForm(picked));
                frame->MDINav->Change();
                Application().ProcessMessages();
                order.erase(std::find(order.begin(), order.end(), picked));
                order.push_front(picked);
            }
            ASSERT_EQ(frame->ActiveDocument(), order.front()) << "round " << round << " step " << step;
        }
        // Ctrl+F4 closes the document in front, even from the tool window.
        frame->toolsPgCtl->SetFocus();
        Application().ProcessMessages();
        press(Qt::Key_F4, Qt::ControlModifier);
        order.pop_front();
        ASSERT_EQ(frame->MDIChildCount(), count - 1);
        EXPECT_EQ(frame->ActiveDocument(), order.front());
        EXPECT_EQ(toolbarsShown(), bars) << "no toolbar's shortcut ran";
    }
}

TEST_F(WindowsAndKeys, ATabStripOfSeveralRowsTakesTheArrowsAsOneRowDoes) {
    for (int i = 0; i < 14; ++i)
        open("a document with a long name " + std::to_string(i) + ".html");
    TMDITab& tabs = *frame->MDINav;
    std::mt19937 random(5);
    for (bool multiLine : {false, true}) {
        tabs.SetMultiLine(multiLine);
        tabs.Parent()->SetHeight(multiLine ? 120 : 24); // the tab strip's panel
        tabs.SetHeight(multiLine ? 120 : 22);
        Application().ProcessMessages();
        if (multiLine) {
            TTabRows* rows = nullptr;
            // The rows stand beside the strip's area, in its window.
            for (QWidget* child : ClientWidgetOf(&tabs)->parentWidget()->findChildren<QWidget*>())
                if (auto* found = dynamic_cast<TTabRows*>(child))
                    rows = found;
            ASSERT_NE(rows, nullptr);
            ASSERT_GT(rows->RowCount(), 1);
        }
        int expected = tabs.TabIndex();
        for (int step = 0; step < 40; ++step) {
            tabs.SetFocus();
            Application().ProcessMessages();
            static const Qt::Key keys[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down};
            const Qt::Key key = keys[random() % 4];
            press(key);
            const int moved = expected + (key == Qt::Key_Left || key == Qt::Key_Up ? -1 : 1);
            expected = std::clamp(moved, 0, tabs.FormCount() - 1);
            ASSERT_EQ(tabs.TabIndex(), expected) << (multiLine ? "rows" : "one row") << " step " << step;
            ASSERT_EQ(frame->ActiveDocument(), tabs.FormAt(expected));
        }
    }
}

TEST_F(WindowsAndKeys, TheControlWithTheKeyboardKeepsTheShortcutsItHandles) {
    TEditForm* document = open("page.html");
    document->Editor->SelectAll();
    fs::create_directories(program.File("site"));
    TTestProgramFolder::WriteFileBytes(program.File("site/index.html"), "<P>index</P>");
    frame->toolsPgCtl->SetActivePageIndex(1);
    frame->shList->Folder().SetPath(program.File("site"));
    frame->shList->FlushPending();
    ASSERT_EQ(frame->shList->Model().Count(), 1);
    frame->shList->SetItemIndex(0);
    frame->shList->SetFocus();
    Application().ProcessMessages();
    // F5 refreshes the list (not the menus' help page); Ctrl+C copies the
    // file (not the document's selection).
    TTestProgramFolder::WriteFileBytes(program.File("site/new.html"), "<P>new</P>");
    press(Qt::Key_F5);
    frame->shList->FlushPending();
    EXPECT_EQ(frame->shList->Model().Count(), 2);
    QApplication::clipboard()->clear();
    frame->shList->SetItemIndex(0);
    press(Qt::Key_C, Qt::ControlModifier);
    const QMimeData* copied = QApplication::clipboard()->mimeData();
    ASSERT_NE(copied, nullptr);
    EXPECT_TRUE(copied->hasUrls()) << copied->formats().join(", ").toStdString();
    for (const auto& call : user.Calls)
        EXPECT_NE(call.Kind, TScriptedUserInteraction::kOpenDocument) << call.Text;

    // A text box inside a control (a grid's cell editor) pastes into
    // itself.
    QApplication::clipboard()->setText("pasted");
    const std::string text = document->Editor->Text();
    auto* cell = new QLineEdit(ClientWidgetOf(frame->MDINav));
    cell->show();
    cell->setFocus();
    press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(cell->text(), "pasted");
    EXPECT_EQ(document->Editor->Text(), text);
    delete cell;

    // In the source the menus keep their keys.
    document->Editor->SetFocus();
    document->Editor->SelectAll();
    Application().ProcessMessages();
    press(Qt::Key_G, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(document->Editor->Text(), "<B>" + text + "</B>");
}

TEST_F(WindowsAndKeys, RestoredDocumentWindowsCascadeInsideTheClientArea) {
    std::vector<TEditForm*> documents;
    frame->SetBounds(0, 0, 1280, 900);
    Application().ProcessMessages();
    for (int i = 0; i < 12; ++i)
        documents.push_back(open("c" + std::to_string(i) + ".html"));
    // Maximised, the one in front fills the area whatever its own bounds.
    const TRect client = frame->MDIClient()->ClientRect();
    for (TEditForm* shown : {documents.back(), documents[3]}) {
        frame->MDINav->SetTabIndex(frame->MDINav->IndexOfForm(shown));
        frame->MDINav->Change();
        Application().ProcessMessages();
        ASSERT_EQ(shown->WindowState(), wsMaximized);
        auto* peer = dynamic_cast<TWidgetPeer*>(shown->Peer());
        const QRect filled = peer->Widget()->FrameWidget()->geometry();
        EXPECT_EQ(filled.size(), QSize(client.Width(), client.Height()));
        // Its pages fill it too, though it stood restored at its own
        // bounds a moment ago.
        EXPECT_GT(shown->ClientWidth(), client.Width() - 8);
        EXPECT_EQ(shown->PageControl1->Width(), shown->ClientWidth());
        EXPECT_EQ(shown->PageControl1->Height(), shown->ClientHeight());
    }
    frame->ActiveDocument()->SetWindowState(wsNormal);
    Application().ProcessMessages();
    const TRect area = frame->MDIClient()->ClientRect();
    std::set<std::pair<int, int>> corners;
    for (size_t i = 0; i < documents.size(); ++i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(documents[i]->WindowState(), wsNormal);
        // Where the user sees it.
        auto* peer = dynamic_cast<TWidgetPeer*>(documents[i]->Peer());
        ASSERT_NE(peer, nullptr);
        const QRect shown = peer->Widget()->FrameWidget()->geometry();
        const TRect bounds = documents[i]->BoundsRect();
        EXPECT_EQ(shown.topLeft(), QPoint(bounds.Left, bounds.Top));
        EXPECT_GE(bounds.Left, area.Left);
        EXPECT_GE(bounds.Top, area.Top);
        EXPECT_LE(bounds.Right, area.Right);
        EXPECT_LE(bounds.Bottom, area.Bottom);
        EXPECT_GT(bounds.Width(), area.Width() / 2);
        corners.insert({bounds.Left, bounds.Top});
        // Each one stands below and right of the one made before it, its
        // caption in sight, until the area is used up and the steps start
        // again at the corner.
        if (i > 0) {
            const TRect before = documents[i - 1]->BoundsRect();
            EXPECT_TRUE((bounds.Left > before.Left && bounds.Top > before.Top) || (bounds.Left == area.Left))
                << bounds.Left << "," << bounds.Top << " after " << before.Left << "," << before.Top;
        }
    }
    EXPECT_GE(corners.size(), 4u);
}

TEST_F(WindowsAndKeys, DialogsShowAboveAStayOnTopWindow) {
    open("page.html");
    frame->Item("specCaracBtn")->Click();
    Application().ProcessMessages();
    TCustomForm* onTop = ShowingStayOnTopForm();
    ASSERT_NE(onTop, nullptr);
    QWidget* onTopWindow = ClientWidgetOf(onTop)->window();
    ASSERT_TRUE(onTopWindow->windowFlags() & Qt::WindowStaysOnTopHint);

    // A modal form of the program.
    bool flagged = false, looked = false;
    QTimer::singleShot(0, [&] {
        for (int i = 0; i < Screen().FormCount(); ++i)
            if (TCustomForm* form = Screen().Forms(i); form->Modal()) {
                looked = true;
                flagged = ClientWidgetOf(form)->window()->windowFlags() & Qt::WindowStaysOnTopHint;
                form->SetModalResult(mrCancel);
            }
    });
    frame->Item("tableBtn")->Click();
    Application().ProcessMessages();
    ASSERT_TRUE(looked);
    EXPECT_TRUE(flagged);

    // A message box of the window system, asked while the main window is
    // the active one.
    QApplication::setActiveWindow(ClientWidgetOf(frame)->window());
    TQtUserInteraction qtUser;
    QWidget* parent = nullptr;
    QTimer::singleShot(0, [&] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            parent = box->parentWidget();
            box->close();
        }
    });
    qtUser.MessageDlg("over the characters", mtInformation, mbOKOnly);
    ASSERT_NE(parent, nullptr);
    EXPECT_EQ(parent->window(), onTopWindow);
    onTop->Close();
    Application().ProcessMessages();
}

namespace {

// What the window system does when a window inside needs another kind of
// surface: the main window's native window is destroyed and made anew.
struct TWidgetAccess : QWidget {
    using QWidget::create;
    using QWidget::destroy;
};

} // namespace

TEST_F(WindowsAndKeys, FloatingToolbarsStayOwnedByAMainWindowMadeAnew) {
    QWidget* main = ClientWidgetOf(frame)->window();
    std::vector<TTBCustomToolbar*> floating;
    for (const char* name : {"fontToolbar", "tableToolbar"}) {
        floating.push_back(frame->Bar(name));
        floating.back()->SetFloating(true);
    }
    // One floats but is hidden meanwhile; it shows again afterwards.
    floating.back()->SetVisible(false);
    Application().ProcessMessages();
    auto windowOf = [](TTBCustomToolbar* bar) { return ClientWidgetOf(bar->FloatingFrame())->window(); };
    ASSERT_EQ(windowOf(floating[0])->windowHandle()->transientParent(), main->windowHandle());

    void (QWidget::*destroyWindow)(bool, bool) = &TWidgetAccess::destroy;
    void (QWidget::*createWindow)(WId, bool, bool) = &TWidgetAccess::create;
    (main->*destroyWindow)(true, true);
    (main->*createWindow)(0, true, true);
    main->show();
    for (int i = 0; i < 3; ++i)
        Application().ProcessMessages();
    floating.back()->SetVisible(true);
    Application().ProcessMessages();
    for (TTBCustomToolbar* bar : floating) {
        SCOPED_TRACE(bar->Name());
        ASSERT_NE(windowOf(bar)->windowHandle(), nullptr);
        EXPECT_EQ(windowOf(bar)->windowHandle()->transientParent(), main->windowHandle());
        EXPECT_TRUE(windowOf(bar)->isVisible());
    }
}

TEST_F(WindowsAndKeys, TheFindDialogsAccessKeysReachTheirBoxes) {
    TQtUserInteraction qtUser;
    TFindRequest request;
    request.FindText = "word";
    request.Options = frDown;
    qtUser.ShowReplaceDialog(request, [](const TFindRequest&) {});
    QDialog* dialog = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* found = qobject_cast<QDialog*>(window); found != nullptr && found->isVisible())
            dialog = found;
    ASSERT_NE(dialog, nullptr);
    // The window system gives it the keyboard (offscreen, the test does).
    QApplication::setActiveWindow(dialog);
    Application().ProcessMessages();
    // Each label names its box, so that its "&" marks a key and is not shown.
    int labels = 0;
    for (QLabel* label : dialog->findChildren<QLabel*>()) {
        ++labels;
        EXPECT_NE(qobject_cast<QLineEdit*>(label->buddy()), nullptr) << label->text().toStdString();
    }
    EXPECT_EQ(labels, 2);
    // A key taken by the main window's menus would open a menu that waits
    // for the user: it is ended, and the checks below fail.
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, [] {
        if (TModalLoop* loop = InnermostLoop(); loop != nullptr && !loop->IsMessageLoop())
            RequestQuit();
    });
    guard.start(500);
    const auto edits = dialog->findChildren<QLineEdit*>();
    ASSERT_EQ(edits.size(), 2);
    QTest::keyClick(dialog, Qt::Key_P, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), edits[1]);
    QTest::keyClick(dialog, Qt::Key_N, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), edits[0]);
    QCheckBox* matchCase = nullptr;
    for (QCheckBox* box : dialog->findChildren<QCheckBox*>())
        if (box->text() == "Match &case")
            matchCase = box;
    ASSERT_NE(matchCase, nullptr);
    QTest::keyClick(dialog, Qt::Key_C, Qt::AltModifier);
    // A button's access key presses it as a click shows, a moment later.
    QTest::qWait(300);
    EXPECT_TRUE(matchCase->isChecked());
    qtUser.CloseFindDialogs();
    Application().ProcessMessages();
}

TEST_F(WindowsAndKeys, TheEncodingPanelKeepsItsWidthInANarrowWindow) {
    TStatusBar& bar = *frame->StatusBar1;
    const int last = bar.Panels().Count() - 1;
    ASSERT_EQ(last, kEncodingPanel);
    int others = 0;
    for (int i = 0; i <= last; ++i)
        if (i != kHintPanel && i != last)
            others += bar.Panels().Items(i)->Width();
    const int encoding = bar.Panels().Items(last)->Width();
    std::mt19937 random(3);
    for (int round = 0; round < 30; ++round) {
        const int width = 300 + static_cast<int>(random() % 1200);
        frame->SetWindowState(wsNormal);
        frame->SetBounds(0, 0, width, 500);
        Application().ProcessMessages();
        const int hint = bar.Panels().Items(kHintPanel)->Width();
        EXPECT_GE(hint, kMinimumHintWidth);
        // Wide enough for every panel at its width: the encoding panel has
        // its whole width and the hint all that is left.
        if (bar.ClientWidth() >= others + kMinimumHintWidth + encoding + 16) {
            EXPECT_EQ(bar.PanelRect(last).Width(), encoding) << width;
            EXPECT_EQ(bar.PanelRect(last).Left, others + hint) << width;
        } else {
            EXPECT_EQ(hint, kMinimumHintWidth) << width;
        }
    }
}

TEST_F(WindowsAndKeys, AClickThatEndsTheMenuBarsTrackingLeavesNoCaptureBehind) {
    // A menu opened by a press, closed by Escape (the bar still
    // tracks and holds the mouse), then a click into the editor: the
    // press ends the tracking and is passed on to the editor, which places
    // the caret and captures the mouse until the button goes up.  On a
    // desktop both halves of that click come to the bar, the release once
    // the tracking is over; the editor must get it all the same, or it
    // keeps the mouse and takes every later click, those into a dialog
    // too.  Offscreen windows hold no mouse, so the click is sent to the
    // bar here as the desktop sends it, before and after the passed-on
    // press arrives.
    TEditForm* document = open("page.html");
    TTBCustomToolbar* bar = frame->Bar("menubar");
    QWidget* barWidget = ClientWidgetOf(bar);
    bar->View()->ValidatePositions();
    TRect r = bar->View()->ViewerOf(frame->Item("Insertion1"))->BoundsRect;
    const QPoint press = barWidget->mapFromGlobal(
        ToQPoint(bar->View()->ViewToScreen({(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2})));
    const QPoint inEditor = barWidget->mapFromGlobal(ClientWidgetOf(document->Editor)->mapToGlobal(QPoint(60, 5)));
    for (bool releaseFirst : {true, false}) {
        SCOPED_TRACE(releaseFirst ? "released before the passed-on press arrives" : "released after it");
        document->Editor->SetFocus();
        document->Editor->SetSelStart(0);
        Application().ProcessMessages();
        bool tracking = false;
        QTimer::singleShot(0, qApp, [&] {
            QTest::mouseRelease(barWidget, Qt::LeftButton, Qt::NoModifier, press);
            QTest::keyClick(barWidget, Qt::Key_Escape);
            tracking = RunningLoopCount() > 0 && TBPopupWindowCount() == 0;
            QTest::mousePress(barWidget, Qt::LeftButton, Qt::NoModifier, inEditor);
        });
        QTest::mousePress(barWidget, Qt::LeftButton, Qt::NoModifier, press);
        EXPECT_TRUE(tracking);
        EXPECT_EQ(RunningLoopCount(), 0);
        if (!releaseFirst)
            Application().ProcessMessages();
        QTest::mouseRelease(barWidget, Qt::LeftButton, Qt::NoModifier, inEditor);
        Application().ProcessMessages();
        EXPECT_EQ(GetCaptureControl(), nullptr);
        EXPECT_GT(document->Editor->SelStart(), 0) << "the click reached the editor";
        ReleaseCapture();
    }
}
