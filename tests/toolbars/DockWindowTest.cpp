// Docks, toolbars and floating frames in real (offscreen) windows: pixels
// grabbed from a docked toolbar, a floating frame and a docked tool
// window, and a drag started by a real press on a drag handle.

#include "tests/toolbars/DockTestSupport.h"
#include "tests/toolbars/WindowTestSupport.h"

#include "platform/gfx/QtBridge.h"
#include "platform/gfx/TextDrawing.h"
#include "platform/ui/ExtControls.h"
#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"
#include "platform/ui/ModalLoop.h"
#include "platform/ui/NonClientMouse.h"
#include "platform/ui/TextControls.h"
#include "platform/ui/WindowNotices.h"
#include "platform/widgets/WidgetPeer.h"
#include "toolbars/TBEditItem.h"
#include "toolbars/TBPopupWindow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QWindow>

#include <algorithm>
#include <functional>
#include <random>

namespace {

// The whole window of a control: its frame included.
QImage grabWindow(TWinControl* control) {
    QWidget* client = ClientWidgetOf(control);
    QWidget* whole = client->parentWidget();
    return whole->grab().toImage();
}

TColor pixelAt(const QImage& image, int x, int y) { return FromQRgb(image.pixel(x, y)); }

struct TShownForm : TDockForm {
    TShownForm() {
        Form.SetColor(clAppWorkSpace);
        Form.Show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(ClientWidgetOf(&Form)->window()));
    }
    void Settle() {
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
    }
};

TEST(DockWindows, ADockedToolbarDrawsItsEdgeAndGripAroundItsItems) {
    TShownForm f;
    TTBToolbar* bar = f.Toolbar("Bar", f.Top, {"One", "Two"});
    f.Settle();
    QImage image = grabWindow(bar);
    ASSERT_EQ(image.width(), bar->Width());
    ASSERT_EQ(image.height(), bar->Height());
    int w = image.width(), h = image.height();
    // The raised edge: light at the top left, shadow at the bottom right.
    EXPECT_EQ(pixelAt(image, 0, 0), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(pixelAt(image, w - 1, h - 1), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(pixelAt(image, 1, 1), GetSysColor(COLOR_BTNFACE));
    // The single grip: a raised bar 3 pixels wide from x = 3, its far
    // end's leading pixel lit.
    EXPECT_EQ(pixelAt(image, 3, h / 2), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(pixelAt(image, 5, h / 2), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(pixelAt(image, 3, h - 4), GetSysColor(COLOR_BTNHIGHLIGHT));
    // The first item's caption is drawn in the client area, where the
    // view put it.
    TRect one = bar->View()->ViewerOf(bar->Items()->ItemAt(0))->BoundsRect;
    OffsetRect(one, bar->ClientOrigin().X, bar->ClientOrigin().Y);
    bool text = false;
    for (int y = one.Top; y < one.Bottom; ++y)
        for (int x = one.Left; x < one.Right; ++x)
            text |= pixelAt(image, x, y) == GetSysColor(COLOR_BTNTEXT);
    EXPECT_TRUE(text);
}

TEST(DockWindows, AFloatingFrameShowsItsCaptionAndCloseButtonAndTheCloseButtonHits) {
    TShownForm f;
    TTBToolbar* bar = f.Toolbar("Floating", f.Top, {"One", "Two"});
    bar->SetFloating(true);
    bar->PlaceFloatingFrame({300, 250});
    TTBFloatingWindowParent* frame = bar->FloatingFrame();
    ASSERT_TRUE(frame->HandleAllocated());
    f.Settle();
    QImage image = grabWindow(frame);
    ASSERT_EQ(image.width(), frame->Width());
    const int border = kTBSizingFrame;
    EXPECT_EQ(pixelAt(image, 1, 1), GetSysColor(COLOR_3DHIGHLIGHT));
    EXPECT_EQ(pixelAt(image, border + 1, border + kTBSmallCaption - 3), GetSysColor(COLOR_ACTIVECAPTION));
    // The band below the caption and the border are button face.
    EXPECT_EQ(pixelAt(image, border + 1, border + kTBSmallCaption - 1), GetSysColor(COLOR_BTNFACE));
    TRect close = frame->CloseButtonRect();
    EXPECT_EQ(pixelAt(image, close.Left + 1, close.Top + 1), GetSysColor(COLOR_ACTIVECAPTION));
    EXPECT_EQ(pixelAt(image, close.Left + 2, close.Top + 2), GetSysColor(COLOR_3DLIGHT));
    // Hit codes over the frame.
    EXPECT_EQ(frame->HitTest({close.Left + 3, close.Top + 3}), kHitCloseButton);
    EXPECT_EQ(frame->HitTest({border + 3, border + 3}), kHitCaption);
    // A toolbar's frame sizes by its sides only; with corner sizing the
    // ends of each side size two ways.
    EXPECT_EQ(frame->HitTest({0, frame->Height() / 2}), HTLEFT);
    EXPECT_EQ(frame->HitTest({0, 0}), HTTOP);
    EXPECT_EQ(frame->HitTest({frame->Width() - 1, frame->Height() - 1}), HTBOTTOM);
    bar->ResizeOptions |= roCornerSizing;
    EXPECT_EQ(frame->HitTest({0, 0}), HTTOPLEFT);
    EXPECT_EQ(frame->HitTest({frame->Width() - 1, frame->Height() - 1}), HTBOTTOMRIGHT);
    EXPECT_EQ(frame->HitTest({frame->Width() / 2, frame->Height() - 1}), HTBOTTOM);
    bar->SetResizable(false);
    EXPECT_EQ(frame->BorderSize(), kTBFixedFrame);
    EXPECT_EQ(frame->HitTest({0, frame->Height() / 2}), HTNOWHERE);
    // Without a caption the frame is only its border.
    bar->SetShowCaption(false);
    EXPECT_EQ(frame->Height(), bar->Height() + 2 * kTBFixedFrame);
    EXPECT_EQ(frame->HitTest({5, 2}), HTNOWHERE);
}

TEST(DockWindows, ADockedToolWindowKeepsItsClientSizeInsideItsFrame) {
    TShownForm f;
    auto* tool = new TTBToolWindow(&f.Form);
    tool->SetName("Tool");
    tool->SetParent(f.Right);
    tool->SizeClientArea(60, 90);
    f.Settle();
    EXPECT_EQ(tool->ClientWidth(), 60);
    EXPECT_EQ(tool->ClientHeight(), 90);
    QImage image = grabWindow(tool);
    EXPECT_EQ(image.size(), QSize(64, 100));
    // On a vertical dock the grip runs across the top.
    EXPECT_EQ(pixelAt(image, 30, 3), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(pixelAt(image, 30, 5), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(f.Right->Width(), 64);
}

TEST(DockWindows, APressOnTheDragHandleDragsTheToolbarOffItsDock) {
    TShownForm f;
    TTBToolbar* bar = f.Toolbar("Bar", f.Top, {"One", "Two"});
    f.Settle();
    QWidget* window = ClientWidgetOf(bar)->parentWidget();
    QPoint handle(4, bar->Height() / 2);
    QPoint target = window->mapToGlobal(handle) + QPoint(200, 250);
    QTimer::singleShot(0, qApp, [&] {
        QWidget* under = QApplication::widgetAt(target);
        QWidget* receiver = under != nullptr ? under : window;
        QPoint local = receiver->mapFromGlobal(target);
        QMouseEvent move(QEvent::MouseMove, local, target, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(receiver, &move);
        QMouseEvent release(QEvent::MouseButtonRelease, local, target, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(receiver, &release);
    });
    QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, handle);
    EXPECT_TRUE(bar->Floating());
    ASSERT_NE(bar->FloatingFrame(), nullptr);
    EXPECT_TRUE(bar->FloatingFrame()->BoundsRect().Contains(FromQPoint(target)));
    EXPECT_EQ(f.Top->Height(), 0);
    ReleaseCapture();
}

TEST(DockWindows, AnEditItemOnADockedToolbarEditsInTheStandardEditWithItsLetterCase) {
    TShownForm f;
    TTBToolbar* bar = f.Toolbar("Search", f.Top, {"Go"});
    auto* find = new TTBEditItem(&f.Form);
    find->SetEditCaption("Find");
    find->SetCharCase(ecUpperCase);
    find->SetText("old");
    bar->Items()->Insert(0, find);
    f.Settle();
    auto* viewer = dynamic_cast<TTBEditItemViewer*>(bar->View()->ViewerOf(find));
    ASSERT_NE(viewer, nullptr);
    TRect field = viewer->EditFieldRect();
    bool edited = false;
    QTimer::singleShot(0, qApp, [&] {
        QLineEdit* edit = ClientWidgetOf(bar)->findChild<QLineEdit*>();
        ASSERT_NE(edit, nullptr);
        edited = edit->isVisible();
        QTest::keyClick(edit, Qt::Key_End);
        QTest::keyClicks(edit, "er");
        // Typed in the middle, the caret stays behind the typing.
        QTest::keyClick(edit, Qt::Key_Home);
        QTest::keyClicks(edit, "go");
        QTest::keyClick(edit, Qt::Key_Return);
    });
    QTest::mouseClick(ClientWidgetOf(bar), Qt::LeftButton, Qt::NoModifier,
                      QPoint(field.Left + field.Width() / 2, field.Top + field.Height() / 2));
    EXPECT_TRUE(edited);
    EXPECT_EQ(find->Text(), "GOOLDER");
    EXPECT_EQ(TBPopupWindowCount(), 0);
    ReleaseCapture();
}

TEST(DockWindows, RealKeysReachTheMenuBarAndTheShortcutsOfAForm) {
    TTestSettings settings;
    SetTBSystemSettings(&settings);
    TForm form;
    form.SetBounds(80, 80, 500, 300);
    auto* dock = new TTBDock(&form);
    dock->SetParent(&form);
    auto* menu = MakeToolbar(&form, "Menu", {});
    menu->SetMenuBar(true);
    TTBCustomItem* file = AddSubmenu(*menu->Items(), "&File", {"&Open", "&Save"});
    TTBCustomItem* open = file->ItemAt(0);
    open->ShortCut = ShortCut('O', ssCtrl);
    int opened = 0;
    open->OnClick = [&](TTBCustomItem*) { ++opened; };
    menu->SetParent(dock);
    form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(ClientWidgetOf(&form)->window()));
    QWidget* target = ClientWidgetOf(&form);

    // Ctrl+O runs the item with that shortcut.
    QTest::keyClick(target, Qt::Key_O, Qt::ControlModifier);
    ProcessMessages();
    EXPECT_EQ(opened, 1);

    // Alt+F opens the File menu with its first item selected.
    TTBCustomItem* selected = nullptr;
    QTimer::singleShot(0, qApp, [&] {
        if (TTBView* popup = OpenedView(menu->View()); popup != nullptr && popup->Selected() != nullptr)
            selected = popup->Selected()->Item();
        QTest::keyClick(target, Qt::Key_Escape);
        QTest::keyClick(target, Qt::Key_Escape);
    });
    QTest::keyClick(target, Qt::Key_F, Qt::AltModifier);
    EXPECT_EQ(selected, open);
    EXPECT_EQ(TBPopupWindowCount(), 0);

    // Alt alone selects the first menu and waits.
    bool firstSelected = false;
    QTimer::singleShot(0, qApp, [&] {
        firstSelected = menu->View()->Selected() == menu->View()->ViewerOf(file) && TBPopupWindowCount() == 0;
        QTest::keyClick(target, Qt::Key_Escape);
    });
    QTest::keyPress(target, Qt::Key_Alt);
    QTest::keyRelease(target, Qt::Key_Alt);
    EXPECT_TRUE(firstSelected);
    EXPECT_EQ(RunningLoopCount(), 0);
    SetTBSystemSettings(nullptr);
}

TEST(DockWindows, AMenuBarStaysDockedWhenAPressElsewhereEndsItsMenu) {
    // Escape closes the open menu and leaves the menu bar tracking; a
    // press in another window then ends the tracking and reaches that
    // window.  The bar holds the mouse until then, so the press comes
    // to the bar first: it must not start a drag there.
    TShownForm f;
    TTBToolbar* menu = MakeToolbar(&f.Form, "Menu", {});
    menu->SetMenuBar(true);
    TTBCustomItem* file = AddSubmenu(*menu->Items(), "&File", {"&Open", "&Save"});
    menu->SetParent(f.Top);
    auto* editor = new TCustomControl(&f.Form);
    editor->SetParent(&f.Form);
    editor->SetBounds(100, 120, 300, 200);
    f.Settle();
    QWidget* bar = ClientWidgetOf(menu);
    TPoint fileCentre = CentreIn(menu->View(), file);
    QPoint press = bar->mapFromGlobal(ToQPoint(fileCentre));
    bool opened = false, dragging = false, looked = false;
    TRect placed = menu->BoundsRect();
    QTimer::singleShot(0, qApp, [&] {
        QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, press);
        opened = TBPopupWindowCount() == 1;
        QTest::keyClick(bar, Qt::Key_Escape);
        // On a desktop the bar holds the mouse (offscreen windows hold
        // none), so the press reaches the bar, at its place in the bar.
        QPoint elsewhere = ClientWidgetOf(editor)->mapToGlobal(QPoint(150, 100));
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->mapFromGlobal(elsewhere));
        // A drag started by that press would wait for a release: end it.
        QTimer::singleShot(50, qApp, [&, elsewhere] {
            dragging = RunningLoopCount() > 0;
            if (dragging)
                QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, bar->mapFromGlobal(elsewhere));
            looked = true;
        });
    });
    QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, press);
    // The look for a drag runs before the test's locals go.
    EXPECT_TRUE(QTest::qWaitFor([&] { return looked; }, 5000));
    f.Settle();
    EXPECT_TRUE(opened);
    EXPECT_EQ(RunningLoopCount(), 0);
    EXPECT_FALSE(dragging);
    EXPECT_FALSE(menu->Floating());
    EXPECT_EQ(menu->CurrentDock(), f.Top);
    EXPECT_EQ(menu->BoundsRect(), placed);
    ReleaseCapture();
}

TEST(DockWindows, AToolbarShowsTheHintOfTheItemUnderThePointer) {
    TShownForm f;
    f.Form.SetShowHint(true);
    TTBToolbar* bar = f.Toolbar("Bar", f.Top, {"One", "Two"});
    TTBCustomItem* one = bar->Items()->ItemAt(0);
    TTBCustomItem* two = bar->Items()->ItemAt(1);
    auto* gap = new TTBSeparatorItem(&f.Form);
    bar->Items()->Insert(1, gap);
    one->Hint = "First|The first item";
    two->Hint = "Second";
    f.Settle();
    QWidget* viewport = ClientWidgetOf(bar);
    std::vector<std::string> statusHints;
    Application().OnHint = [&](TPersistent*) { statusHints.push_back(Application().Hint()); };
    // What the window system does when the pointer rests: a tool-tip event.
    QString shown;
    auto rest = [&](QPoint at) {
        QTest::mouseMove(viewport, at);
        QMouseEvent move(QEvent::MouseMove, at, viewport->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
        QHelpEvent help(QEvent::ToolTip, at, viewport->mapToGlobal(at));
        QApplication::sendEvent(viewport, &help);
        // A tip told to go lingers a moment.
        if (QToolTip::isVisible())
            QTest::qWait(20);
        if (QToolTip::isVisible() && QToolTip::text() == shown)
            QTest::qWait(400);
        shown = QToolTip::isVisible() ? QToolTip::text() : QString();
        return shown.toStdString();
    };
    auto centre = [&](TTBCustomItem* item) {
        TRect r = bar->View()->ViewerOf(item)->BoundsRect;
        OffsetRect(r, bar->View()->WindowOrigin.X, bar->View()->WindowOrigin.Y);
        return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    };
    EXPECT_EQ(rest(centre(one)), "First");
    EXPECT_EQ(rest(centre(two)), "Second");
    // Between them the separator has none (the toolbar's own hint, the
    // item last under the pointer, is not shown there).
    EXPECT_EQ(rest(centre(gap)), "");
    // Without ShowHint, none at all.
    f.Form.SetShowHint(false);
    EXPECT_EQ(rest(centre(one)), "");
    Application().OnHint = nullptr;
    // The status bar followed the item under the pointer.
    ASSERT_GE(statusHints.size(), 3u);
    EXPECT_EQ(statusHints[0], "The first item");
    EXPECT_EQ(statusHints[1], "Second");
    EXPECT_EQ(statusHints[2], "");
    QToolTip::hideText();
}

TEST(DockWindows, APressOnAFloatingBarLeavesItsFormActive) {
    // A window manager activates a window on a press in it: the form the
    // bar floats over is made active again, as a press on one of its own
    // toolbars leaves it, whether the press lands on the frame's caption,
    // its border or the bar's items; with ActivateParent off the frame
    // keeps the activation.
    TTestSettings settings;
    SetTBSystemSettings(&settings);
    TForm form;
    form.SetBounds(80, 80, 500, 300);
    auto* dock = new TTBDock(&form);
    dock->SetParent(&form);
    TTBToolbar* bar = MakeToolbar(&form, "Bar", {"One", "Two"});
    int clicks = 0;
    bar->Items()->ItemAt(0)->OnClick = [&](TTBCustomItem*) { ++clicks; };
    bar->SetParent(dock);
    form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(ClientWidgetOf(&form)->window()));
    bar->SetFloating(true);
    bar->PlaceFloatingFrame({300, 250});
    TTBFloatingWindowParent* frame = bar->FloatingFrame();
    QWidget* frameWindow = ClientWidgetOf(frame)->window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frameWindow));
    auto settle = [] {
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
    };
    const int border = frame->BorderSize();
    const QPoint caption(border + 4, border + 4);
    const QPoint side(frame->Width() - 1, frame->Height() / 2);
    TRect one = bar->View()->ViewerOf(bar->Items()->ItemAt(0))->BoundsRect;
    const QPoint button = ClientWidgetOf(bar)->mapTo(frameWindow, QPoint(one.Left + 3, one.Top + 3));
    auto pressAt = [&](QPoint point) {
        // The window manager's part: the frame takes the activation with
        // the press (a manager that ignores that the frame takes none).
        QWindow* native = frameWindow->windowHandle();
        native->setFlag(Qt::WindowDoesNotAcceptFocus, false);
        native->requestActivate();
        QWidget* under = QApplication::widgetAt(frameWindow->mapToGlobal(point));
        ASSERT_NE(under, nullptr);
        QPoint local = under->mapFromGlobal(frameWindow->mapToGlobal(point));
        Later([under, local] { QTest::mouseRelease(under, Qt::LeftButton, Qt::NoModifier, local); });
        QTest::mousePress(under, Qt::LeftButton, Qt::NoModifier, local);
        settle();
    };
    for (QPoint point : {caption, side, button}) {
        pressAt(point);
        EXPECT_TRUE(form.Active()) << point.x() << "," << point.y();
        EXPECT_EQ(QApplication::activeWindow(), ClientWidgetOf(&form)->window()) << point.x() << "," << point.y();
        EXPECT_TRUE(bar->Floating());
    }
    EXPECT_EQ(clicks, 1);
    bar->ActivateParent = false;
    pressAt(caption);
    EXPECT_FALSE(form.Active());
    EXPECT_EQ(QApplication::activeWindow(), frameWindow);

    // A tool window whose field had the keyboard: the window system gives
    // it the keyboard again with the activation, and a press on the
    // frame's caption still leaves the form active.
    auto* tools = new TTBToolWindow(&form);
    tools->SetName("Tools");
    tools->SetParent(dock);
    auto* field = new TEdit(&form);
    field->SetBounds(2, 2, 60, 20);
    field->SetParent(tools);
    tools->SetFloating(true);
    tools->PlaceFloatingFrame({100, 250});
    TTBFloatingWindowParent* toolFrame = tools->FloatingFrame();
    QWidget* toolWindow = ClientWidgetOf(toolFrame)->window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(toolWindow));
    field->SetFocus();
    settle();
    ASSERT_TRUE(field->Focused());
    frameWindow = toolWindow;
    pressAt(QPoint(toolFrame->BorderSize() + 4, toolFrame->BorderSize() + 4));
    EXPECT_TRUE(form.Active());
    EXPECT_EQ(QApplication::activeWindow(), ClientWidgetOf(&form)->window());
    ReleaseCapture();
    SetTBSystemSettings(nullptr);
}

TEST(DockWindows, TabSkipsTheControlsHiddenBehindTheChevron) {
    TShownForm f;
    TTBToolbar* bar = f.Toolbar("Fields", f.Top, {});
    std::vector<TEdit*> edits;
    for (int i = 0; i < 4; ++i) {
        auto* edit = new TEdit(&f.Form);
        edit->SetBounds(0, 0, 80, 20);
        edit->SetParent(bar);
        bar->Items()->Add(new TTBControlItem(&f.Form, edit));
        edits.push_back(edit);
    }
    f.Settle();
    auto reachedByTab = [&] {
        // From the first field, Tab round the form: which fields it meets.
        std::vector<bool> met(edits.size(), false);
        edits[0]->SetFocus();
        QApplication::processEvents();
        for (int press = 0; press < 12; ++press) {
            QWidget* focus = QApplication::focusWidget();
            if (focus == nullptr)
                break;
            QTest::keyClick(focus, Qt::Key_Tab);
            QApplication::processEvents();
            for (size_t i = 0; i < edits.size(); ++i)
                met[i] = met[i] || edits[i]->Focused();
        }
        return met;
    };
    EXPECT_EQ(reachedByTab(), (std::vector<bool>{true, true, true, true}));
    // Narrowed, the form hides the last fields behind the chevron.
    f.SetWidth(200);
    f.Settle();
    std::vector<bool> shown;
    for (int i = 0; i < bar->Items()->Count(); ++i)
        shown.push_back(bar->View()->ViewerOf(bar->Items()->ItemAt(i))->Show);
    ASSERT_TRUE(shown[0]);
    ASSERT_FALSE(shown[3]);
    std::vector<bool> met = reachedByTab();
    EXPECT_EQ(met, shown);
    for (size_t i = 0; i < edits.size(); ++i)
        EXPECT_EQ(edits[i]->InTabOrder(), shown[i]) << i;
    // Widened again, they come back into the tab order.
    f.SetWidth(640);
    f.Settle();
    EXPECT_EQ(reachedByTab(), (std::vector<bool>{true, true, true, true}));
}

} // namespace

namespace {

TTBCustomItem* addMenu(TTBToolbar* bar, TComponent* owner, const std::string& caption, const std::string& entry) {
    auto* menu = new TTBCustomItem(owner);
    menu->ItemStyle |= isSubmenu;
    menu->SetCaption(caption);
    menu->Hint = StripAccessKeys(caption);
    auto* item = new TTBCustomItem(owner);
    item->SetCaption(entry);
    menu->Add(item);
    bar->Items()->Add(menu);
    return menu;
}

// The tip the bar shows once the pointer rests over an item ("" for none).
std::string tipOver(TTBToolbar* bar, TTBCustomItem* item) {
    // A tip told to go lingers a moment.
    QToolTip::hideText();
    for (int i = 0; i < 100 && QToolTip::isVisible(); ++i)
        QTest::qWait(20);
    EXPECT_FALSE(QToolTip::isVisible());
    TRect r = bar->View()->ViewerOf(item)->BoundsRect;
    QPoint at((r.Left + r.Right) / 2 + bar->View()->WindowOrigin.X, (r.Top + r.Bottom) / 2 + bar->View()->WindowOrigin.Y);
    QWidget* viewport = ClientWidgetOf(bar);
    QHelpEvent rest(QEvent::ToolTip, at, viewport->mapToGlobal(at));
    QApplication::sendEvent(viewport, &rest);
    return QToolTip::isVisible() ? QToolTip::text().toStdString() : std::string();
}

TEST(DockWindows, ABarShowsNoTipWhileItTracksAMenuOrHasOneOpen) {
    TShownForm f;
    TTBToolbar* bar = f.Toolbar("Menu", f.Top, {});
    TTBCustomItem* file = addMenu(bar, &f.Form, "&File", "&Open");
    TTBCustomItem* edit = addMenu(bar, &f.Form, "&Edit", "&Undo");
    bar->SetShowHint(true);
    f.Settle();
    EXPECT_EQ(tipOver(bar, edit), "Edit");
    std::string overEdit = "-", overFile = "-";
    bool opened = false;
    Later([&] {
        opened = bar->View()->OpenViewerWindow() != nullptr;
        overEdit = tipOver(bar, edit);
        overFile = tipOver(bar, file);
        QTest::keyClick(ClientWidgetOf(bar), Qt::Key_Escape);
        QTest::keyClick(ClientWidgetOf(bar), Qt::Key_Escape);
    });
    bar->View()->Select(bar->View()->ViewerOf(file));
    TrackMenu(bar->View(), tbtmMenuMode | tbtmSelectFirst);
    EXPECT_TRUE(opened);
    EXPECT_EQ(overEdit, "");
    EXPECT_EQ(overFile, "");
    // Once the menu is gone the tips come back.
    f.Settle();
    EXPECT_EQ(tipOver(bar, file), "File");
    QToolTip::hideText();
}

} // namespace

namespace {

// A frame that notes, each time it comes to the top, whether the form it
// floats over was active by then.
class TRaisedFrame : public TTBFloatingWindowParent {
public:
    std::vector<bool>* Raises = nullptr;
    TForm* Host = nullptr;
    void BringFrameToTop() override {
        if (Raises != nullptr)
            Raises->push_back(Host->Active());
        TTBFloatingWindowParent::BringFrameToTop();
    }
};

class TRaisedBar : public TTBToolbar {
public:
    using TTBToolbar::TTBToolbar;
    std::vector<bool> Raises;
    TForm* Host = nullptr;

protected:
    TTBFloatingWindowParent* MakeFloatingFrame() override {
        auto* frame = new TRaisedFrame;
        frame->Raises = &Raises;
        frame->Host = Host;
        return frame;
    }
};

TEST(DockWindows, APressOnAFloatingFrameBringsItAboveItsFormOnceTheFormIsActive) {
    TTestSettings settings;
    SetTBSystemSettings(&settings);
    TForm form;
    form.SetBounds(80, 80, 500, 300);
    auto* dock = new TTBDock(&form);
    dock->SetParent(&form);
    auto* bar = new TRaisedBar(&form);
    bar->SetName("Bar");
    bar->Host = &form;
    auto* item = new TTBCustomItem(&form);
    item->SetCaption("One");
    bar->Items()->Add(item);
    bar->SetParent(dock);
    form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(ClientWidgetOf(&form)->window()));
    bar->SetFloating(true);
    bar->PlaceFloatingFrame({300, 250});
    TTBFloatingWindowParent* frame = bar->FloatingFrame();
    QWidget* frameWindow = ClientWidgetOf(frame)->window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frameWindow));
    for (bool activateParent : {true, false}) {
        bar->ActivateParent = activateParent;
        bar->Raises.clear();
        // A press on the frame's border, where a resize starts.
        const QPoint side(frame->Width() - 1, frame->Height() / 2);
        QWidget* under = QApplication::widgetAt(frameWindow->mapToGlobal(side));
        ASSERT_NE(under, nullptr);
        QPoint local = under->mapFromGlobal(frameWindow->mapToGlobal(side));
        Later([under, local] { QTest::mouseRelease(under, Qt::LeftButton, Qt::NoModifier, local); });
        QTest::mousePress(under, Qt::LeftButton, Qt::NoModifier, local);
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
        // At once and again once the press is handled; above the form
        // after it was made active.
        ASSERT_GE(bar->Raises.size(), 2u) << activateParent;
        if (activateParent) {
            EXPECT_TRUE(bar->Raises.back());
        }
    }
    // The form shown again or the program made active (a form raised at
    // start-up): the frame comes above it again.
    bar->Raises.clear();
    NotifyWindowNotice(wnApplicationActivated, nullptr);
    EXPECT_EQ(bar->Raises.size(), 1u);
    bar->Raises.clear();
    form.Hide();
    form.Show();
    EXPECT_FALSE(bar->Raises.empty());
    SetTBSystemSettings(nullptr);
}

} // namespace

// Random sizes: a floating tool window's frame sized from outside (as the
// window system does without a window manager) lays the window out at
// once, within its limits; docked, the window takes no more than its
// dock's room across, so that the area between the docks keeps its room,
// and its own size when that fits; floating again it has the size it
// floated at.  A toolbar's frame sized from outside takes one of the
// toolbar's sizes.
TEST(DockWindows, AToolWindowSizedFromOutsideFollowsAndDocksWithinItsDocksRoom) {
    TShownForm f;
    auto* tool = new TTBToolWindow(&f.Form);
    tool->SetName("Tool");
    tool->SetParent(f.Right);
    auto* pane = new TPanel(&f.Form);
    pane->SetAlign(alClient);
    pane->SetParent(tool);
    TTBToolbar* bar = f.Toolbar("Bar", f.Top, {"One", "Two", "Three", "Four"});
    bar->SetFloating(true);
    std::mt19937 random(7);
    for (int round = 0; round < 12; ++round) {
        const int width = 40 + static_cast<int>(random() % 500);
        f.SetWidth(width + 300 + static_cast<int>(random() % 600));
        tool->SetFloating(true);
        TTBFloatingWindowParent* frame = tool->FloatingFrame();
        const TPoint extra = frame->FrameSize();
        QWidget* window = ClientWidgetOf(frame)->window();
        const int asked = 20 + static_cast<int>(random() % 400);
        window->resize(width + extra.X, asked);
        f.Settle();
        const int height = std::max(asked - extra.Y, tool->MinClientHeight);
        EXPECT_EQ(tool->ClientAreaWidth(), width) << round;
        EXPECT_EQ(tool->ClientAreaHeight(), height) << round;
        EXPECT_EQ(frame->Width(), width + extra.X) << round;
        EXPECT_EQ(frame->Height(), height + extra.Y) << round;
        EXPECT_EQ(pane->BoundsRect(), Bounds(0, 0, width, height)) << round;

        tool->SetCurrentDock(f.Right);
        f.Settle();
        const int room = f.Right->RoomAcross();
        const int own = width + kTBDockedFrameThickness + f.Right->NonClientWidth();
        EXPECT_EQ(f.Right->Width(), std::min(own, room)) << round;
        EXPECT_LE(f.Right->Width(), f.Form.ClientWidth() - f.Left->Width() - f.Right->Width() + 1) << round;
        EXPECT_EQ(pane->Width(), tool->ClientWidth()) << round;

        tool->SetFloating(true);
        f.Settle();
        EXPECT_EQ(tool->FloatingFrame()->ClientWidth(), width) << round;
        EXPECT_EQ(tool->ClientAreaWidth(), width) << round;
        EXPECT_EQ(tool->ClientAreaHeight(), height) << round;
        tool->SetCurrentDock(f.Right);

        TTBFloatingWindowParent* barFrame = bar->FloatingFrame();
        QWidget* barWindow = ClientWidgetOf(barFrame)->window();
        barWindow->resize(20 + static_cast<int>(random() % 300), 20 + static_cast<int>(random() % 200));
        f.Settle();
        EXPECT_EQ(barFrame->Width(), bar->Width() + barFrame->FrameSize().X) << round;
        EXPECT_EQ(barFrame->Height(), bar->Height() + barFrame->FrameSize().Y) << round;
        EXPECT_EQ(barWindow->size(), QSize(barFrame->Width(), barFrame->Height())) << round;
    }
}
