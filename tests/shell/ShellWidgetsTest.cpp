// The shell menus and drag and drop in real (offscreen) Qt windows: a
// context menu with its Send To submenu filled, measured and drawn by its
// owner and chosen by a typed letter; and drops from other programs handed
// to a window's drop target with their files and keys.

#include "platform/gfx/Bitmap.h"
#include "platform/shellns/DragDrop.h"
#include "platform/shellns/ShellClipboard.h"
#include "platform/shellns/ShellDataFormats.h"
#include "platform/shellns/SpecialFolders.h"
#include "tests/support/ScriptedUserInteraction.h"
#include "shell/ShellContextMenus.h"
#include "shell/ShellUtils.h"
#include "tests/platform/widgets/WidgetTestApp.h"
#include "tests/shell/ShellTestSupport.h"

#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <QWidgetAction>

namespace {

// A window that hands the menu messages to the shell's handling and keeps
// a log of them.
class TMenuOwner : public TWinControl {
public:
    void WndProc(TMessage& message) override {
        Seen.push_back(message.Msg);
        if (!HandleShellMenuMessage(message, Context))
            TWinControl::WndProc(message);
    }
    TShellMenuContext Context;
    std::vector<unsigned> Seen;
};

// Records what a drop target is told.
class TRecordingTarget : public TDropTarget {
public:
    HRESULT DragEnter(const std::shared_ptr<TDataObject>& data, uint32_t keys, TPoint, uint32_t& effect) override {
        Calls.push_back("enter");
        FilePathsOfDataObject(*data, Paths);
        effect &= DROPEFFECT_COPY;
        return S_OK;
    }
    HRESULT DragOver(uint32_t, TPoint, uint32_t& effect) override {
        Calls.push_back("over");
        effect &= DROPEFFECT_COPY;
        return S_OK;
    }
    HRESULT DragLeave() override {
        Calls.push_back("leave");
        return S_OK;
    }
    HRESULT Drop(const std::shared_ptr<TDataObject>& data, uint32_t keys, TPoint, uint32_t& effect) override {
        Calls.push_back("drop");
        DropKeys = keys;
        FilePathsOfDataObject(*data, Paths);
        if (ThrowOnDrop)
            throw Exception("the target failed");
        effect &= DROPEFFECT_COPY;
        return S_OK;
    }
    std::vector<std::string> Calls, Paths;
    uint32_t DropKeys = 0;
    bool ThrowOnDrop = false;
};

} // namespace

TEST(ShellWidgetsTest, SendToEntriesAreDrawnByTheOwnerAndChosenByALetter) {
    TShellTestHome home;
    std::filesystem::create_directories(SendToFolderPath());
    for (const char* name : {"Archive.sh", "Backup.sh", "Boxes.sh"})
        WriteFile(JoinPath(SendToFolderPath(), name), "");
    std::string item = JoinPath(home.Files, "doc.htm");
    WriteFile(item, "doc");
    TItemInFolder doc = ItemInFolder(item);
    TMenuOwner owner;
    HMENU menu;
    ASSERT_EQ(BuildContextMenu(&owner, *doc.Parent, 1, &doc.Last, menu, owner.Context.ContextMenu, CMF_EXPLORE), S_OK);
    owner.Context.SmallImages = GetSystemImageList(0);

    QStringList topCaptions, entries;
    int measuredWidth = 0, widgetWidth = -1;
    QTimer::singleShot(0, [&] {
        auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(popup, nullptr);
        QAction* sendTo = nullptr;
        for (QAction* action : popup->actions()) {
            topCaptions << action->text();
            if (action->menu() != nullptr)
                sendTo = action;
        }
        ASSERT_NE(sendTo, nullptr);
        popup->setActiveAction(sendTo);
        QTest::keyClick(popup, Qt::Key_Right);
        QTimer::singleShot(0, [&] {
            auto* submenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(submenu, nullptr);
            for (QAction* action : submenu->actions())
                if (auto* drawn = qobject_cast<QWidgetAction*>(action)) {
                    entries << "drawn";
                    widgetWidth = drawn->defaultWidget()->sizeHint().width();
                }
            TBitmap probe(1, 1);
            probe.Canvas().Font().SetName(submenu->font().family().toStdString());
            probe.Canvas().Font().SetSize(submenu->font().pointSize());
            measuredWidth = probe.Canvas().TextWidth("Boxes") + 32;
            QTest::keyClick(submenu, Qt::Key_A);
        });
    });
    unsigned chosen = TrackPopupMenu(*menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, {20, 20}, &owner);
    EXPECT_EQ(chosen, 1u) << "'a' starts one entry only, which runs";
    EXPECT_TRUE(topCaptions.contains("&Open"));
    EXPECT_EQ(entries, (QStringList{"drawn", "drawn", "drawn"}));
    EXPECT_EQ(widgetWidth, measuredWidth);
    for (unsigned message : {WM_INITMENUPOPUP, WM_MEASUREITEM, WM_MENUCHAR})
        EXPECT_NE(std::find(owner.Seen.begin(), owner.Seen.end(), message), owner.Seen.end()) << message;
}

TEST(ShellWidgetsTest, DropsReachTheRegisteredTargetWithFilesAndKeys) {
    TScriptedUserInteraction user;
    TWinControl window;
    window.SetBounds(0, 0, 200, 100);
    window.HandleNeeded();
    auto target = std::make_shared<TRecordingTarget>();
    ASSERT_EQ(RegisterDragDrop(&window, target), S_OK);
    auto* widget = static_cast<QWidget*>(window.Peer()->NativeWidget());
    EXPECT_TRUE(widget->acceptDrops());

    std::vector<std::string> paths = {"/tmp/a b.htm", std::string("/tmp/caf\xE9.htm")};
    QMimeData mime;
    mime.setData("text/uri-list", QByteArray::fromStdString(UriListOfPaths(paths)));
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction | Qt::MoveAction, &mime, Qt::RightButton, Qt::ControlModifier);
    QApplication::sendEvent(widget, &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(enter.dropAction(), Qt::CopyAction);
    QDragMoveEvent move(QPoint(12, 12), Qt::CopyAction | Qt::MoveAction, &mime, Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
    QDropEvent drop(QPointF(12, 12), Qt::CopyAction | Qt::MoveAction, &mime, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &drop);
    EXPECT_EQ(target->Calls, (std::vector<std::string>{"enter", "over", "drop"}));
    EXPECT_EQ(target->Paths, paths);
    EXPECT_EQ(target->DropKeys & MK_RBUTTON, static_cast<uint32_t>(MK_RBUTTON)) << "a right drag stays one at the drop";

    // A target that fails shows the error and takes nothing.
    target->ThrowOnDrop = true;
    QApplication::sendEvent(widget, &enter);
    QDropEvent failing(QPointF(12, 12), Qt::CopyAction, &mime, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &failing);
    EXPECT_EQ(failing.dropAction(), Qt::IgnoreAction);
    EXPECT_EQ(user.Exceptions(), std::vector<std::string>{"the target failed"});

    EXPECT_EQ(RevokeDragDrop(&window), S_OK);
    EXPECT_FALSE(widget->acceptDrops());
    EXPECT_EQ(RevokeDragDrop(&window), E_INVALIDARG);
    TWinControl windowless;
    EXPECT_EQ(RegisterDragDrop(&windowless, target), E_FAIL);
}
