// The shell tree and list in real offscreen windows, driven by real mouse
// and key events and by what other programs do on disk: a list whose
// window is made again still sees new files; a busy folder holds back no
// refresh past its bound; Open hands the desktop the name's bytes; the
// delete question of a long name fits on the screen; a drag from the tree
// leaves the list where it was; a long name added by a refresh keeps the
// icon grid; a refill misses nothing another program does meanwhile; the
// tree's rows stay put through refreshes, and its drags carry the pressed
// folder; the tree's fills miss nothing another program does meanwhile.

#include "platform/base/FileNameText.h"
#include "platform/shellns/DragDrop.h"
#include "platform/shellns/ShellClipboard.h"
#include "platform/shellns/ShellMenu.h"
#include "platform/ui/Forms.h"
#include "platform/ui/TickSource.h"
#include "shell/ShellUtils.h"
#include "platform/widgets/QtUserInteraction.h"
#include "tests/platform/widgets/WidgetTestApp.h"
#include "tests/shell/ShellControlSupport.h"
#include "tests/shell/ShellTestSupport.h"
#include "tests/support/ScriptedUserInteraction.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QDesktopServices>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QTest>
#include <QWindow>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <map>
#include <random>
#include <set>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace {

// Runs a small shell command line as a program of its own.
void runElsewhere(const std::string& command) {
    const char* argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(::posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command;
}

// Quoted for the shell.
std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// Delivers events until done() (the change thread works on its own time;
// nothing here measures it).
template <class Done> bool deliverUntil(Done done) {
    for (int i = 0; i < 2000 && !done(); ++i) {
        QApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return done();
}

QAbstractItemView* viewOf(TWinControl& control) {
    auto* widget = static_cast<QWidget*>(control.Peer()->NativeWidget());
    if (auto* view = qobject_cast<QAbstractItemView*>(widget))
        return view;
    return widget->findChild<QAbstractItemView*>();
}

// A control of the form, placed at `left` across `width` pixels.
template <class TControlKind> TControlKind* placed(TForm& form, int left, int width) {
    auto* control = new TControlKind(&form);
    control->SetParent(&form);
    control->SetBounds(left, 0, width, form.Height() - 20);
    return control;
}

// Where the middle of a rectangle of a view's viewport lies in its window.
QPoint middleInWindow(QAbstractItemView& view, const TRect& rect) {
    QWidget* viewport = view.viewport();
    return viewport->mapTo(viewport->window(), QPoint((rect.Left + rect.Right) / 2, (rect.Top + rect.Bottom) / 2));
}

// Moves the pressed pointer by `by` in four steps (past the drag
// distance) and lets go.
void dragAndRelease(QWindow* window, QPoint start, QPoint by) {
    for (int step = 1; step <= 4; ++step)
        QTest::mouseMove(window, start + by * step / 4);
    QTest::mouseRelease(window, Qt::LeftButton, {}, start + by);
}

// Stands in for the desktop's handler of file addresses.
class TDesktopStandIn : public QObject {
    Q_OBJECT
public:
    std::vector<std::string> Opened;
public slots:
    void open(const QUrl& url) { Opened.push_back(url.toEncoded().toStdString()); }
};

std::set<std::string> namesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

class ShellLiveWindowsTest : public ::testing::Test {
protected:
    void SetUp() override { SetTickSource(&clock); }
    void TearDown() override {
        SetTickSource(nullptr);
        SetDragDropService({});
    }
    // Delivers notices and runs the refreshes they ask for (unless
    // advance is 0) until the change thread has read nothing new for a
    // while.
    void settle(TChangeHandlerThread& changes, uint32_t advance = 2000) {
        for (int quiet = 0; quiet < 5;) {
            const uint64_t seen = changes.EventsSeen();
            QApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            clock.Advance(advance);
            quiet = changes.EventsSeen() == seen ? quiet + 1 : 0;
        }
    }
    // A tree over the home folder and the list it drives, side by side on
    // the form, shown with the home folder selected.
    struct TLinkedViews {
        TPTShellTree* Tree;
        TPTShellList* List;
        QAbstractItemView* TreeView;
        QWindow* Window;
    };
    TLinkedViews showLinkedViews(TForm& form) {
        auto* tree = placed<TPTShellTree>(form, 0, 300);
        auto* list = placed<TPTShellList>(form, 310, 300);
        tree->BaseFolder().SetPath(home.Files);
        tree->SetShellList(list);
        form.Show();
        tree->Fill();
        tree->SelectPath(home.Files);
        QApplication::processEvents();
        QAbstractItemView* view = viewOf(*tree);
        return {tree, list, view, view != nullptr ? view->viewport()->window()->windowHandle() : nullptr};
    }
    TShellTestHome home;
    TManualTickSource clock;
};

} // namespace

// Floated and docked again, a list's window is made anew each time; files
// another program makes afterwards show after the refresh delay.
TEST_F(ShellLiveWindowsTest, AListWatchesItsFolderAgainWhenItsWindowIsMadeAnew) {
    WriteFile(JoinPath(home.Files, "first.htm"), "1");
    TForm docked, floating;
    docked.SetBounds(0, 0, 400, 300);
    floating.SetBounds(420, 0, 400, 300);
    auto* list = placed<TPTShellList>(docked, 0, 380);
    list->Folder().SetPath(home.Files);
    docked.Show();
    floating.Show();
    QApplication::processEvents();
    ASSERT_GE(RowOf(list->Model(), "first.htm"), 0);
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE(round);
        list->SetParent(round % 2 == 0 ? &floating : &docked);
        QApplication::processEvents();
        ASSERT_TRUE(list->HandleAllocated());
        const std::string name = "made" + std::to_string(round) + ".htm";
        runElsewhere("echo x > " + quoted(JoinPath(home.Files, name)));
        ASSERT_TRUE(deliverUntil([&] { return list->TimerPending(); })) << "no notice of " << name;
        clock.Advance(2000);
        EXPECT_GE(RowOf(list->Model(), name), 0);
    }
}

// A folder that never rests (another program keeps making folders in it)
// holds back neither a rename beside it in the tree nor its own rows in
// the list: with the focus each shows the change at most a second after
// its first notice, without it no later than that notice's own delay,
// however many notices follow.
TEST_F(ShellLiveWindowsTest, ABusyFolderHoldsBackNoRefreshPastItsBound) {
    std::mt19937 random(3);
    for (bool focused : {true, false}) {
        SCOPED_TRACE(focused);
        const std::string root = JoinPath(home.Files, focused ? "focused" : "unfocused");
        const std::string busy = JoinPath(root, "busy");
        std::filesystem::create_directories(busy);
        std::filesystem::create_directories(JoinPath(root, "quiet/old"));
        TForm form;
        form.SetBounds(0, 0, 600, 400);
        auto* tree = placed<TPTShellTree>(form, 0, 280);
        tree->BaseFolder().SetPath(root);
        auto* list = placed<TPTShellList>(form, 300, 280);
        list->Folder().SetPath(busy);
        form.Show();
        tree->Fill();
        tree->SelectPath(JoinPath(root, "quiet/old"));
        tree->SelectPath(root);
        // The focus is the tree's or the list's in turn.
        if (focused)
            tree->SetFocus();
        else
            list->SetFocus();
        QApplication::processEvents();
        ASSERT_EQ(tree->Focused(), focused);
        ASSERT_EQ(list->Focused(), !focused);
        TTreeNode* quiet = ChildNamed(tree->Model(), tree->Model().Root(), "quiet");
        ASSERT_NE(quiet, nullptr);
        ASSERT_NE(ChildNamed(tree->Model(), quiet, "old"), nullptr);

        runElsewhere("mv " + quoted(JoinPath(root, "quiet/old")) + " " + quoted(JoinPath(root, "quiet/new")));
        ASSERT_TRUE(deliverUntil([&] { return tree->PendingJob() == 2; }));
        const uint64_t renameNoticed = GetTickCount64();
        uint64_t listNoticed = 0, renameShown = 0, rowShown = 0;
        for (int made = 0; GetTickCount64() - renameNoticed < 2600; ++made) {
            const uint64_t treeSeen = tree->ChangeThread()->EventsSeen();
            const uint64_t listSeen = list->ChangeThread()->EventsSeen();
            runElsewhere("mkdir " + quoted(JoinPath(busy, "d" + std::to_string(made))));
            ASSERT_TRUE(deliverUntil([&] {
                return tree->ChangeThread()->EventsSeen() > treeSeen && list->ChangeThread()->EventsSeen() > listSeen;
            }));
            for (int i = 0; i < 5; ++i)
                QApplication::processEvents();
            if (listNoticed == 0 && list->TimerPending())
                listNoticed = GetTickCount64();
            clock.Advance(50 + random() % 250);
            quiet = ChildNamed(tree->Model(), tree->Model().Root(), "quiet");
            if (renameShown == 0 && quiet != nullptr && ChildNamed(tree->Model(), quiet, "new") != nullptr)
                renameShown = GetTickCount64();
            if (rowShown == 0 && RowOf(list->Model(), "d0") >= 0)
                rowShown = GetTickCount64();
        }
        ASSERT_NE(renameShown, 0u) << "the rename never showed";
        EXPECT_LE(renameShown - renameNoticed, focused ? 1000u + 300u : 2000u + 300u);
        ASSERT_NE(listNoticed, 0u);
        ASSERT_NE(rowShown, 0u) << "the list never showed the first new folder";
        EXPECT_LE(rowShown - listNoticed, focused ? 2000u + 300u : 1000u + 300u);
    }
}

// "Open" from a row's context menu hands the desktop the address of the
// file's own bytes: a name that is not UTF-8 opens that file and no other.
// The desktop's handler of files is a stand-in that writes down what it
// was given.
TEST_F(ShellLiveWindowsTest, OpenFromTheMenuHandsTheDesktopTheNamesBytes) {
    TDesktopStandIn desktop;
    QDesktopServices::setUrlHandler("file", &desktop, "open");
    struct TRestore {
        ~TRestore() {
            QDesktopServices::unsetUrlHandler("file");
            SetShellMenuTracker({});
            SetUserInteraction(nullptr);
        }
    } restore;
    SetUserInteraction(&QtUserInteraction());
    const std::string name = "Zcaf\xE9.html";
    WriteFile(JoinPath(home.Files, name), "<p>z</p>");
    TForm form;
    form.SetBounds(0, 0, 420, 320);
    auto* list = placed<TPTShellList>(form, 0, 400);
    list->SetViewStyle(vsReport);
    list->Folder().SetPath(home.Files);
    form.Show();
    QApplication::processEvents();
    const int row = RowOf(list->Model(), name);
    ASSERT_GE(row, 0);
    unsigned chosen = 0;
    SetShellMenuTracker([&](TShellMenu& menu, unsigned, TPoint, TWinControl*) -> unsigned {
        for (int i = 0; i < menu.Count(); ++i)
            if (StripAccelerator(menu.ItemAt(i)->Caption) == "Open")
                chosen = menu.ItemAt(i)->Id;
        return chosen;
    });
    QAbstractItemView* view = viewOf(*list);
    ASSERT_NE(view, nullptr);
    QWindow* window = view->viewport()->window()->windowHandle();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    const QPoint at = middleInWindow(*view, list->Items().Item(row)->DisplayRect(TListItem::drLabel));
    QTest::mouseClick(window, Qt::LeftButton, {}, at);
    QTest::mousePress(window, Qt::RightButton, {}, at);
    QTest::mouseRelease(window, Qt::RightButton, {}, at);
    QApplication::processEvents();
    ASSERT_NE(chosen, 0u) << "no Open in the menu";
    ASSERT_EQ(desktop.Opened.size(), 1u);
    std::string path;
    ASSERT_TRUE(PathOfFileUri(desktop.Opened[0], path));
    EXPECT_EQ(path, JoinPath(home.Files, name));
}

// The question before a delete names the item; a long name (255 bytes,
// random words or one unbroken run) wraps, so the box fits on the screen
// and its buttons can be reached.
TEST_F(ShellLiveWindowsTest, TheDeleteQuestionForALongNameFitsOnTheScreen) {
    struct TRestore {
        ~TRestore() { SetUserInteraction(nullptr); }
    } restore;
    SetUserInteraction(&QtUserInteraction());
    std::mt19937 random(11);
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE(round);
        std::string name;
        while (name.size() < 250)
            name += round % 2 == 0 ? std::string(1, char('a' + random() % 26))
                                   : std::string(1 + random() % 40, char('a' + random() % 26)) + " ";
        name = name.substr(0, 250) + ".html";
        ASSERT_EQ(name.size(), 255u);
        WriteFile(JoinPath(home.Files, name), "x");
        TForm form;
        form.SetBounds(0, 0, 420, 320);
        auto* list = placed<TPTShellList>(form, 0, 400);
        list->SetViewStyle(vsReport);
        list->Folder().SetPath(home.Files);
        form.Show();
        list->SetFocus();
        QApplication::processEvents();
        const int row = RowOf(list->Model(), name);
        ASSERT_GE(row, 0);
        list->SetItemIndex(row);
        QRect box, screen;
        QString text;
        QTimer::singleShot(0, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr)
                return;
            box = modal->frameGeometry();
            screen = modal->screen()->availableGeometry();
            if (auto* message = qobject_cast<QMessageBox*>(modal)) {
                text = message->text();
                message->reject();
            } else {
                modal->close();
            }
        });
        QTest::keyClick(viewOf(*list), Qt::Key_Delete);
        QApplication::processEvents();
        ASSERT_FALSE(box.isEmpty()) << "no question";
        text.remove(QChar(0x200B));
        EXPECT_TRUE(text.contains(QString::fromStdString(name))) << "the name is there whole";
        // Wrapped as a long sentence is, well within the screen.
        EXPECT_LE(box.width(), screen.width() * 3 / 4);
        EXPECT_TRUE(std::filesystem::exists(JoinPath(home.Files, name))) << "the answer was no";
        std::filesystem::remove(JoinPath(home.Files, name));
    }
}

// A press on a folder in the tree changes nothing yet: dragged on, the
// folder goes out while the list still shows the folder it showed (so the
// folder can be dropped into it) and the tree's selection stays; released
// where it was pressed, the list follows.
TEST_F(ShellLiveWindowsTest, ADragFromTheTreeStartsWithoutMovingTheList) {
    for (const char* name : {"alpha", "beta", "gamma"})
        std::filesystem::create_directories(JoinPath(home.Files, name));
    TForm form;
    form.SetBounds(0, 0, 620, 400);
    const TLinkedViews views = showLinkedViews(form);
    TPTShellTree* tree = views.Tree;
    TPTShellList* list = views.List;
    ASSERT_EQ(list->Folder().GetPath(), home.Files);
    QAbstractItemView* view = views.TreeView;
    ASSERT_NE(view, nullptr);
    QWindow* window = views.Window;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    std::vector<std::string> listAtDrag, dragged;
    SetDragDropService({.DoDragDrop = [&](const std::shared_ptr<TDataObject>& data, const std::shared_ptr<TDropSource>&,
                                          uint32_t, uint32_t& effect) -> HRESULT {
                            listAtDrag.push_back(list->Folder().GetPath());
                            FilePathsOfDataObject(*data, dragged);
                            effect = DROPEFFECT_NONE;
                            return DRAGDROP_S_CANCEL;
                        },
                        .Register = nullptr,
                        .Revoke = nullptr});
    struct TRestore {
        ~TRestore() { SetDragDropService({}); }
    } restore;
    auto centreOf = [&](const char* name) {
        TTreeNode* node = ChildNamed(tree->Model(), tree->Model().Root(), name);
        EXPECT_NE(node, nullptr);
        return middleInWindow(*view, node->DisplayRect(true));
    };
    std::mt19937 random(17);
    std::string shown = home.Files;
    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE(round);
        const char* name = std::vector<const char*>{"alpha", "beta", "gamma"}[random() % 3];
        const QPoint start = centreOf(name);
        QTest::mousePress(window, Qt::LeftButton, {}, start);
        EXPECT_EQ(list->Folder().GetPath(), shown) << "a press alone moves nothing";
        if (random() % 2 == 0) {
            const size_t drags = listAtDrag.size();
            dragAndRelease(window, start, QPoint(32, 8));
            QApplication::processEvents();
            ASSERT_EQ(listAtDrag.size(), drags + 1) << "no drag";
            EXPECT_EQ(listAtDrag.back(), shown);
            ASSERT_FALSE(dragged.empty());
            EXPECT_EQ(dragged.back(), JoinPath(home.Files, name));
            EXPECT_EQ(list->Folder().GetPath(), shown);
            EXPECT_EQ(tree->GetSelectedPath(), shown);
        } else {
            QTest::mouseRelease(window, Qt::LeftButton, {}, start);
            QApplication::processEvents();
            shown = JoinPath(home.Files, name);
            EXPECT_EQ(list->Folder().GetPath(), shown);
            EXPECT_EQ(tree->GetSelectedPath(), shown);
        }
        // Back to the base folder for the next round, as a click does.
        tree->SelectPath(home.Files);
        shown = home.Files;
        QApplication::processEvents();
    }
}

// A long name (200 characters) made by another program joins the icons
// as a refill would lay it out: the icons keep their places in a grid of
// several columns, each as large as it was, whatever the names and their
// order.
TEST_F(ShellLiveWindowsTest, ALongNameAddedByARefreshKeepsTheIconGrid) {
    std::mt19937 random(23);
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE(round);
        const std::string folder = JoinPath(home.Files, "r" + std::to_string(round));
        std::filesystem::create_directories(folder);
        for (int i = 0; i < 12; ++i)
            WriteFile(JoinPath(folder, "page" + std::to_string(i) + ".htm"), "p");
        TForm form;
        form.SetBounds(0, 0, 520, 420);
        auto* list = placed<TPTShellList>(form, 0, 500);
        list->Folder().SetPath(folder);
        form.Show();
        QApplication::processEvents();
        ASSERT_EQ(list->ViewStyle(), vsIcon);
        ASSERT_EQ(list->Items().Count(), 12);
        auto sizes = [&] {
            QApplication::processEvents();
            std::map<std::string, std::pair<int, int>> seen;
            for (int i = 0; i < list->Items().Count(); ++i) {
                const TRect bounds = list->Items().Item(i)->DisplayRect(TListItem::drBounds);
                seen[list->Model().Data(i)->GetFileName()] = {bounds.Width(), bounds.Height()};
            }
            return seen;
        };
        auto columns = [&] {
            std::set<int> lefts;
            for (int i = 0; i < list->Items().Count(); ++i)
                lefts.insert(list->Items().Item(i)->DisplayRect(TListItem::drBounds).Left);
            return lefts.size();
        };
        const auto before = sizes();
        ASSERT_GT(columns(), 1u);
        // Sorted first, last or between the others.
        const char first = "aqz"[random() % 3];
        std::string name(1, first);
        while (name.size() < 195)
            name += char('a' + random() % 26);
        name += ".html";
        runElsewhere("echo x > " + quoted(JoinPath(folder, name)));
        ASSERT_TRUE(deliverUntil([&] { return list->TimerPending(); }));
        clock.Advance(2000);
        ASSERT_GE(RowOf(list->Model(), name), 0);
        auto refreshed = sizes();
        const auto added = refreshed[name];
        refreshed.erase(name);
        EXPECT_EQ(refreshed, before) << "after a refresh";
        EXPECT_GT(columns(), 1u);
        EXPECT_LE(added.first, list->Width() / 3) << "cut short";
        list->FullFill();
        auto refilled = sizes();
        EXPECT_EQ(refilled[name], added) << "as a refill lays it out";
        refilled.erase(name);
        EXPECT_EQ(refilled, before) << "after a refill";
        EXPECT_GT(columns(), 1u);
    }
}

// Another program makes files and removes others all the while a list of
// a large folder refills (a new list's first fill, F5 in the list, a change
// of folder; last, a burst of more files than a notice names): once
// the notices settle, the rows are the folder's files, none missing and
// none gone.
TEST_F(ShellLiveWindowsTest, ARefillMissesNothingAnotherProgramDoesMeanwhile) {
    const std::string folder = JoinPath(home.Files, "busy");
    std::filesystem::create_directories(folder);
    for (int i = 0; i < 1000; ++i)
        WriteFile(JoinPath(folder, "old" + std::to_string(i)), "");
    TForm form;
    form.SetBounds(0, 0, 420, 320);
    std::unique_ptr<TPTShellList> list;
    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE(round);
        std::atomic<int> made{0};
        std::atomic<bool> stop{false};
        std::thread writer([&] {
            for (; !stop; ++made) {
                WriteFile(JoinPath(folder, "new" + std::to_string(round) + "-" + std::to_string(made)), "");
                std::filesystem::remove(JoinPath(folder, "old" + std::to_string((made * 7919 + round) % 1000)));
                if (round < 5)
                    std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
        });
        auto waitForWrites = [&](int count) {
            for (const int from = made; made < from + count;)
                std::this_thread::yield();
        };
        waitForWrites(20);
        if (round % 3 == 0) {
            list.reset(placed<TPTShellList>(form, 0, 400));
            list->Folder().SetPath(folder);
            form.Show();
        } else if (round % 3 == 1) {
            list->SetFocus();
            QTest::keyClick(viewOf(*list), Qt::Key_F5);
        } else {
            list->Folder().SetPath(home.Files);
            list->Folder().SetPath(folder);
        }
        waitForWrites(round < 5 ? 20 : 600);
        stop = true;
        writer.join();
        settle(*list->ChangeThread());
        EXPECT_EQ(RowNames(list->Model()), namesIn(folder)) << made << " files made";
    }
}

// Other programs make and remove folders above and among the rows on
// screen while a folder of the tree is pressed and dragged: the rows on
// screen stay where they were through each refresh and when the drag
// starts (the tree's selection, the folder the linked list shows, is off
// screen), and the drag carries the folder that was pressed.
TEST_F(ShellLiveWindowsTest, TreeRowsStayPutAndADragCarriesThePressedFolder) {
    for (int i = 10; i < 60; ++i)
        std::filesystem::create_directories(JoinPath(home.Files, "m" + std::to_string(i)));
    TForm form;
    form.SetBounds(0, 0, 630, 300);
    const TLinkedViews views = showLinkedViews(form);
    TPTShellTree* tree = views.Tree;
    QAbstractItemView* view = views.TreeView;
    QWindow* window = views.Window;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    std::vector<std::string> dragged;
    TTreeNode* topAtDrag = nullptr;
    SetDragDropService({.DoDragDrop = [&](const std::shared_ptr<TDataObject>& data, const std::shared_ptr<TDropSource>&,
                                          uint32_t, uint32_t& effect) -> HRESULT {
                            std::vector<std::string> paths;
                            FilePathsOfDataObject(*data, paths);
                            dragged.push_back(paths.size() == 1 ? paths[0] : "");
                            topAtDrag = tree->TopItem();
                            effect = DROPEFFECT_NONE;
                            return DRAGDROP_S_CANCEL;
                        },
                        .Register = nullptr,
                        .Revoke = nullptr});
    std::mt19937 random(31);
    std::vector<std::string> made;
    for (int round = 0; round < 8; ++round) {
        SCOPED_TRACE(round);
        TTreeNode* root = tree->Model().Root();
        tree->SetTopItem(root->Item(5 + static_cast<int>(random() % 20)));
        QApplication::processEvents();
        const std::vector<TTreeNode*> rows = tree->RowsOnScreen();
        ASSERT_GT(rows.size(), 8u);
        const std::string pressed = PathOf(tree->Model(), rows[3 + random() % (rows.size() - 6)]);
        TTreeNode* node = ChildNamed(tree->Model(), root, FileNameOf(pressed).data());
        const QPoint start = middleInWindow(*view, node->DisplayRect(true));
        QTest::mousePress(window, Qt::LeftButton, {}, start);
        // Folders sorted above the screen ("a..") and among its rows (just
        // after one of them), and some of an earlier round's removed.
        std::string command = "cd " + quoted(std::as_const(home.Files));
        for (int i = 0; i < 4; ++i) {
            const std::string beside = FileNameOf(PathOf(tree->Model(), rows[random() % rows.size()])).data();
            made.push_back((random() % 2 == 0 ? "a" : beside + "x") + std::to_string(round * 10 + i));
            command += " && mkdir " + made.back();
        }
        for (int i = 0; i < 3 && made.size() > 8; ++i) {
            command += " && rmdir " + made.front();
            made.erase(made.begin());
        }
        runElsewhere(command);
        ASSERT_TRUE(deliverUntil([&] { return tree->PendingJob() == 2; }));
        clock.Advance(2000);
        ASSERT_EQ(ChildNames(tree->Model(), root), namesIn(home.Files)) << "refreshed";
        EXPECT_EQ(tree->TopItem(), rows[0]);
        const size_t drags = dragged.size();
        dragAndRelease(window, start, QPoint(32, 48)); // rows away: no click (and rename) follows
        QApplication::processEvents();
        ASSERT_EQ(dragged.size(), drags + 1) << "no drag";
        EXPECT_EQ(dragged.back(), pressed);
        EXPECT_EQ(topAtDrag, rows[0]) << "the rows moved when the drag started";
        EXPECT_EQ(tree->GetSelectedPath(), home.Files);
        // The new folders went to their places: sorting moves nothing.
        std::vector<TTreeNode*> order;
        for (int i = 0; i < root->Count(); ++i)
            order.push_back(root->Item(i));
        tree->Model().SortChildren(root);
        for (int i = 0; i < root->Count(); ++i)
            EXPECT_EQ(root->Item(i), order[static_cast<size_t>(i)]) << i;
    }
}

namespace {

// Stands in for another program that makes folders and removes others in
// one folder (inside: makes and removes folders in its folders), from a
// thread of its own, between Start and Stop.
struct TFolderWriter {
    TFolderWriter(std::string folder, bool inside) : Folder(std::move(folder)), Inside(inside) {}
    std::string Folder;
    bool Inside;
    std::atomic<int> Made{0};
    std::atomic<bool> Stopping{false};
    std::thread Thread;
    ~TFolderWriter() { Stop(0); }
    void Start() {
        if (Thread.joinable())
            return;
        Stopping = false;
        Thread = std::thread([this] {
            for (; !Stopping; ++Made) {
                auto old = [](int n) { return "old" + std::to_string((n + 300) * 7 % 300); };
                std::filesystem::create_directory(JoinPath(Folder, Inside ? old(Made) + "/in" : "new" + std::to_string(Made)));
                std::filesystem::remove(JoinPath(Folder, Inside ? old(Made - 9) + "/in" : old(Made)));
                std::this_thread::sleep_for(std::chrono::microseconds(100));
            }
        });
    }
    void Stop(int more) { // after `more` changes
        for (const int from = Made; Thread.joinable() && Made < from + more;)
            std::this_thread::yield();
        Stopping = true;
        if (Thread.joinable())
            Thread.join();
    }
};

} // namespace

// Another program makes and removes folders in a folder (or in its
// folders) while the tree reads it and stops before the fill is done: a
// first fill, a change of root, an expansion by key (then a key on), a
// window made again, F5.  Once the notices settle, every opened node holds
// exactly the folders on disk, and a node without expand button has none.
TEST_F(ShellLiveWindowsTest, TreeFillsMissNothingAnotherProgramDoesMeanwhile) {
    TForm docked, floating;
    docked.SetBounds(0, 0, 320, 300);
    floating.SetBounds(340, 0, 320, 300);
    floating.Show();
    TPTShellList list; // keys move a linked list after a pause
    std::unique_ptr<TPTShellTree> tree;
    const std::string elsewhere = JoinPath(home.Files, "elsewhere");
    std::filesystem::create_directories(JoinPath(elsewhere, "a"));
    for (int round = 0; round < 10; ++round) {
        const int kind = round % 5;
        SCOPED_TRACE(kind);
        TFolderWriter writer(JoinPath(home.Files, "t" + std::to_string(round)), round >= 5);
        const std::string& busy = writer.Folder;
        for (int i = 0; i < 300; ++i)
            std::filesystem::create_directories(JoinPath(busy, "old" + std::to_string(i)));
        if (kind == 0) {
            tree.reset(placed<TPTShellTree>(docked, 0, 300));
            tree->SetShellList(&list);
        } else { // shown before the other program starts
            tree->BaseFolder().SetPath(kind == 1 ? elsewhere : kind == 2 ? home.Files : busy);
        }
        // The program starts with a fill and stops while the fill, having
        // listed the folder, looks at its items (at a third of them).
        int looked = 0;
        tree->OnFillStart = [&](TPersistent*) { writer.Start(); };
        tree->OnAddItem = [&](TPersistent*, const std::shared_ptr<TShellFolder>&, PCItemIDList, PCItemIDList, uint32_t,
                              bool&) {
            if (++looked == 100)
                writer.Stop(5);
        };
        if (kind <= 1) {
            tree->BaseFolder().SetPath(busy);
            docked.Show();
        } else if (kind == 2) {
            TTreeNode* shut = ChildNamed(tree->Model(), tree->Model().Root(), FileNameOf(busy).data());
            ASSERT_NE(shut, nullptr);
            tree->SetFocus();
            tree->SetSelected(shut);
            QTest::keyClick(viewOf(*tree), Qt::Key_Right);
            ASSERT_TRUE(shut->Expanded());
            settle(*tree->ChangeThread(), 0); // every notice in, none acted on
            QTest::keyClick(viewOf(*tree), Qt::Key_Down);
        } else if (kind == 3) { // the program is busy while there is no window
            TForm* next = tree->Parent() == &docked ? &floating : &docked;
            tree->SetParent(nullptr);
            writer.Start();
            writer.Stop(20);
            tree->SetParent(next);
            QApplication::processEvents();
        } else {
            tree->SetFocus();
            QTest::keyClick(viewOf(*tree), Qt::Key_F5);
        }
        writer.Stop(0);
        tree->OnFillStart = nullptr;
        tree->OnAddItem = nullptr;
        settle(*tree->ChangeThread());
        for (TTreeNode* node : tree->Model().Nodes(false)) {
            std::set<std::string> folders; // none for a folder that went
            std::error_code error;
            for (const auto& entry : std::filesystem::directory_iterator(PathOf(tree->Model(), node), error))
                if (entry.is_directory(error))
                    folders.insert(entry.path().filename().string());
            if (node->Expanded() || !node->HasChildren()) {
                EXPECT_EQ(ChildNames(tree->Model(), node), folders) << PathOf(tree->Model(), node) << ", " << writer.Made;
            }
        }
    }
}

// While a name is edited in place, the refreshes that other programs'
// changes ask for wait; however the edit ends (Escape, Return on the same
// name, on no name or on a new one, the focus going to the other view, the
// program cancelling it), what waited runs, with no further notice or
// timer: the rows and nodes then show what the folders hold, and the list
// the folder it was moved to meanwhile.
TEST_F(ShellLiveWindowsTest, WhateverEndsARenameTheRefreshItHeldBackRuns) {
    const std::string other = JoinPath(home.Files, "other");
    std::filesystem::create_directories(other);
    std::filesystem::create_directories(JoinPath(home.Files, "keep"));
    // Every folder the list may show (the tree's edited node becomes its
    // selection) has rows to edit.
    for (const char* name : {"p1.html", "p2.html", "p3.html"})
        for (const std::string& folder : {home.Files, other, JoinPath(home.Files, "keep")})
            WriteFile(JoinPath(folder, name), "p");
    TScriptedUserInteraction user;
    TForm form;
    form.SetBounds(0, 0, 640, 400);
    TLinkedViews views = showLinkedViews(form);
    TPTShellTree& tree = *views.Tree;
    TPTShellList& list = *views.List;
    QAbstractItemView* listView = viewOf(list);
    ASSERT_NE(listView, nullptr);
    auto foldersIn = [](const std::string& folder) {
        std::set<std::string> folders;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            if (entry.is_directory())
                folders.insert(entry.path().filename().string());
        return folders;
    };
    auto openEditor = [](QAbstractItemView* view) -> QLineEdit* {
        QApplication::processEvents();
        for (QLineEdit* edit : view->findChildren<QLineEdit*>())
            if (edit->isVisible())
                return edit;
        return nullptr;
    };
    std::mt19937 random(44);
    int made = 0;
    std::set<int> endings;
    for (int round = 0; round < 36; ++round) {
        const bool inTree = random() % 2 == 0;
        const int ending = static_cast<int>(random() % 6);
        endings.insert(ending);
        SCOPED_TRACE(std::string(inTree ? "tree" : "list") + ", ending " + std::to_string(ending) + ", round " +
                     std::to_string(round));
        const std::string shown = list.Folder().GetPath();
        // The edit starts on a row of the list or a node below the tree's root.
        std::string edited;
        if (inTree) {
            TTreeNode* node = ChildNamed(tree.Model(), tree.Model().Root(), "keep");
            ASSERT_NE(node, nullptr);
            edited = "keep";
            ASSERT_TRUE(tree.EditLabel(node));
        } else {
            // Any row but the two folders the test goes back to.
            std::vector<int> rows;
            for (int row = 0; row < list.Model().Count(); ++row)
                if (list.Model().Data(row)->GetFileName() != "keep" && list.Model().Data(row)->GetFileName() != "other")
                    rows.push_back(row);
            ASSERT_FALSE(rows.empty()) << list.Folder().GetPath();
            const int row = rows[random() % rows.size()];
            edited = list.Model().Data(row)->GetFileName();
            ASSERT_TRUE(list.EditCaption(row));
        }
        QAbstractItemView* view = inTree ? views.TreeView : listView;
        QLineEdit* editor = openEditor(view);
        ASSERT_NE(editor, nullptr);
        ASSERT_TRUE(inTree ? tree.IsEditing() : list.IsEditing());

        // Meanwhile: files and folders made and removed beside the edited
        // one, in the list's folder and below the tree's root, and now and
        // then the list sent to another folder.
        const int changes = 1 + static_cast<int>(random() % 3);
        for (int i = 0; i < changes; ++i) {
            // The first in the folder the edited view shows.
            const bool inShown = i == 0 ? !inTree : random() % 2 == 0;
            const std::string name = JoinPath(inShown ? shown : home.Files, "m" + std::to_string(made++));
            if (random() % 2 == 0 || (i == 0 && inTree)) // the tree shows folders only
                std::filesystem::create_directories(name);
            else
                WriteFile(name + ".html", "m");
        }
        for (const std::string& folder : {shown, home.Files})
            for (const auto& entry : std::filesystem::directory_iterator(folder)) {
                const std::string name = entry.path().filename().string();
                if (name.starts_with("m") && name != edited && random() % 3 == 0)
                    std::filesystem::remove_all(entry.path());
            }
        settle(*tree.ChangeThread());
        settle(*list.ChangeThread());
        if (!inTree && random() % 4 == 0)
            list.Folder().SetPath(shown == other ? home.Files : other);
        // The notices come on the change thread's time: delivered until
        // the edited view has held a refresh back (a minute at most).
        for (int i = 0; i < 12000 && !(inTree ? tree.RefreshPending() : list.RefreshPending()); ++i) {
            QApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            clock.Advance(2000);
        }
        ASSERT_TRUE(inTree ? tree.RefreshPending() : list.RefreshPending()) << "nothing was held back";

        switch (ending) {
        case 0:
            QTest::keyClick(editor, Qt::Key_Escape);
            break;
        case 1: // the name as it was
            QTest::keyClick(editor, Qt::Key_Return);
            break;
        case 2: // no name: refused, and the user told why
            user.AnswerMessage(mrOk);
            editor->clear();
            QTest::keyClick(editor, Qt::Key_Return);
            break;
        case 3: // a new name, taken
            editor->setText(QString::fromStdString("r" + std::to_string(round) + "-" + edited));
            QTest::keyClick(editor, Qt::Key_Return);
            break;
        case 4: { // the focus goes to the other view: the text typed stays
            editor->setText(QString::fromStdString("f" + std::to_string(round) + "-" + edited));
            QWidget* otherView = inTree ? static_cast<QWidget*>(listView) : views.TreeView;
            otherView->window()->activateWindow();
            QApplication::processEvents();
            otherView->setFocus(Qt::MouseFocusReason);
            break;
        }
        default: // the program ends it
            if (inTree)
                ChildNamed(tree.Model(), tree.Model().Root(), "keep")->EndEdit(true);
            else
                list.Items().Item(list.EditingIndex())->CancelEdit();
            break;
        }
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents(); // the clock stands still: no timer fires
        ASSERT_FALSE(tree.IsEditing() || list.IsEditing());
        EXPECT_EQ(user.PendingAnswers(), 0u);
        // A folder renamed in the tree is put back for the next round.
        TTreeNode* renamed = nullptr;
        for (int i = 0; inTree && i < tree.Model().Root()->Count(); ++i)
            if (PathOf(tree.Model(), tree.Model().Root()->Item(i)).ends_with("-keep"))
                renamed = tree.Model().Root()->Item(i);
        // The view edited shows what its folder holds (the other view may
        // still wait for a late notice of the other program's changes).
        if (inTree)
            EXPECT_EQ(ChildNames(tree.Model(), tree.Model().Root()), foldersIn(home.Files));
        else
            EXPECT_EQ(RowNames(list.Model()), namesIn(list.Folder().GetPath()));
        if (renamed != nullptr) {
            ASSERT_TRUE(RenameNode(tree, renamed, "keep"));
        }
        settle(*tree.ChangeThread());
        settle(*list.ChangeThread());
    }
    EXPECT_EQ(endings.size(), 6u) << "every way of ending an edit was taken";
}

#include "ShellLiveWindowsTest.moc"
