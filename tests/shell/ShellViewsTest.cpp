// The shell tree and list in real offscreen windows, their pixels grabbed:
// the tree's nodes with their icons and the selection; the list's header
// with its sort triangle, rows with icons and detail columns; a rename
// typed into the in-place edit box; links with their overlay.  The
// folder-browse dialog in its own window: its tree painted where the
// layout puts it, a minimum size the window keeps, and the restored size
// of a maximised run remembered.

#include "platform/gfx/ImageList.h"
#include "platform/shellns/DragDrop.h"
#include "platform/shellns/FileTypes.h"
#include "platform/shellns/ShellMenu.h"
#include "platform/widgets/NativePeer.h"
#include "platform/widgets/WidgetPeer.h"
#include "shell/FolderBrowseDlg.h"
#include "shell/PTSplitter.h"
#include "shell/ShellUtils.h"
#include "tests/platform/widgets/WidgetTestApp.h"
#include "tests/shell/ShellControlSupport.h"
#include "tests/shell/ShellTestSupport.h"
#include "platform/gfx/QtBridge.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QWindow>

namespace {

QWidget* widgetOf(TWinControl& control) { return static_cast<QWidget*>(control.Peer()->NativeWidget()); }

QAbstractItemView* viewOf(TWinControl& control) {
    QWidget* widget = widgetOf(control);
    if (auto* view = qobject_cast<QAbstractItemView*>(widget))
        return view;
    return widget->findChild<QAbstractItemView*>();
}

QImage shotOf(QWidget* widget) {
    QApplication::processEvents();
    return widget->grab().toImage();
}

QColor qt(TColor color) {
    TColor rgb = ColorToRGB(color);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

// Whether most opaque pixels of an image-list entry appear somewhere in a
// band of the image (the views place icons by their own style).
bool iconIn(const QImage& shot, TImageList& images, int index, const QRect& band) {
    QImage icon = ImageListImage(images, index);
    for (int y = band.top(); y + icon.height() <= band.bottom() + 1; ++y)
        for (int x = band.left(); x + icon.width() <= band.right() + 1; ++x) {
            int matching = 0, opaque = 0;
            for (int iy = 0; iy < icon.height(); ++iy)
                for (int ix = 0; ix < icon.width(); ++ix) {
                    QColor pixel = icon.pixelColor(ix, iy);
                    if (pixel.alpha() < 255)
                        continue;
                    ++opaque;
                    matching += shot.pixelColor(x + ix, y + iy) == pixel;
                }
            if (opaque > 0 && matching * 10 >= opaque * 9)
                return true;
        }
    return false;
}

int countPixels(const QImage& image, const QRect& area, const std::function<bool(const QColor&)>& test) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += test(image.pixelColor(x, y));
    return count;
}

} // namespace

TEST(ShellViewsTest, TreeAndListShowIconsColumnsAndTheSortTriangle) {
    TShellTestHome home;
    for (const char* path : {"web/img", "web/css", "docs"})
        std::filesystem::create_directories(JoinPath(home.Files, path));
    WriteFile(JoinPath(home.Files, "web/index.htm"), std::string(3000, 'x'));
    WriteFile(JoinPath(home.Files, "web/notes.txt"), "n");

    TComponent owner;
    auto* splitter = new TPTSplitter(&owner);
    splitter->SetBounds(0, 0, 700, 300);
    TPTPane* panes[2];
    for (int i = 0; i < 2; ++i) {
        panes[i] = new TPTPane(&owner);
        panes[i]->Index = i;
        panes[i]->SetParent(splitter);
    }
    splitter->Loaded();
    splitter->SetPosition(200);
    auto* tree = new TPTShellTree(&owner);
    auto* list = new TPTShellList(&owner);
    tree->SetParent(panes[0]);
    tree->SetAlign(alClient);
    list->SetParent(panes[1]);
    list->SetAlign(alClient);
    list->SetViewStyle(vsReport);
    tree->BaseFolder().SetPath(home.Files);
    tree->SetShellList(list);
    splitter->Show();
    tree->Fill();
    tree->SelectPath(JoinPath(home.Files, "web"));
    ASSERT_EQ(list->Folder().GetPath(), JoinPath(home.Files, "web"));
    tree->SetFocus();

    // The tree: the root, docs, and web selected; the others with their icons.
    QAbstractItemView* treeView = viewOf(*tree);
    ASSERT_NE(treeView, nullptr);
    QImage treeShot = shotOf(treeView->viewport());
    TImageList& small = SystemImageList(false);
    TTreeNode* web = tree->Selected();
    ASSERT_NE(web, nullptr);
    EXPECT_EQ(PathOf(tree->Model(), web), JoinPath(home.Files, "web"));
    TRect webRow = web->DisplayRect(false);
    ASSERT_FALSE(webRow.IsEmpty());
    TTreeNode* root = tree->Model().Root();
    EXPECT_TRUE(iconIn(treeShot, small, tree->Model().ImageIndexOf(root), ToQRect(root->DisplayRect(false))));
    TRect webText = web->DisplayRect(true);
    // The selected label stands out from the window's background.
    QColor background = treeShot.pixelColor(treeShot.width() - 2, treeShot.height() - 2);
    EXPECT_GT(countPixels(treeShot, ToQRect(webText), [&](const QColor& c) { return c != background; }),
              webText.Width() * webText.Height() / 2);
    TTreeNode* docs = ChildNamed(tree->Model(), tree->Model().Root(), "docs");
    TRect docsRow = docs->DisplayRect(false);
    EXPECT_TRUE(iconIn(treeShot, small, IconIndexOf("docs", true), ToQRect(docsRow)));

    // The list: its header with the sort triangle on the name column, rows
    // of folders then files with icons and sizes.
    QAbstractItemView* listView = viewOf(*list);
    ASSERT_NE(listView, nullptr);
    ASSERT_EQ(list->Model().Count(), 4);
    EXPECT_EQ(list->SortColumn(), 0);
    QHeaderView* header = listView->findChild<QHeaderView*>();
    ASSERT_NE(header, nullptr);
    QImage headerShot = shotOf(header);
    TCanvas measuring;
    measuring.SetFont(list->Font());
    int nameWidth = list->Columns().Items(0)->Width();
    QRect triangleBand(2 + 4 + measuring.TextWidth("Name") + 3, 0, 16, headerShot.height());
    EXPECT_GT(countPixels(headerShot, triangleBand, [&](const QColor& c) { return c == qt(clBtnShadow); }), 2);
    EXPECT_GT(countPixels(headerShot, triangleBand, [&](const QColor& c) { return c == qt(clBtnHighlight); }), 2);
    QRect sizeHeader(nameWidth + 4, 0, 20, headerShot.height());
    EXPECT_EQ(countPixels(headerShot, sizeHeader, [&](const QColor& c) { return c == qt(clBtnShadow); }) > 0, true);

    QImage listShot = shotOf(listView->viewport());
    int htmRow = RowOf(list->Model(), "index.htm");
    EXPECT_EQ(htmRow, 2); // css, img, index.htm, notes.txt
    TRect row = list->Items().Item(htmRow)->DisplayRect(TListItem::drBounds);
    EXPECT_TRUE(iconIn(listShot, small, IconIndexOf("index.htm", false), QRect(0, row.Top, 40, row.Height())));
    EXPECT_EQ(list->Model().RowText(htmRow, 1), "3KB");
    // The size column's text is right-aligned: dark pixels near its right
    // edge, none near its left.
    int sizeRight = nameWidth + list->Columns().Items(1)->Width();
    auto dark = [](const QColor& c) { return c.lightness() < 100; };
    EXPECT_GT(countPixels(listShot, QRect(sizeRight - 40, row.Top, 36, row.Height()), dark), 10);
    EXPECT_EQ(countPixels(listShot, QRect(nameWidth + 2, row.Top, 12, row.Height()), dark), 0);

    // Renaming in place: the edit box over the label takes typed text and
    // Enter.
    list->SetItemIndex(htmRow);
    ASSERT_TRUE(list->EditCaption(htmRow));
    QApplication::processEvents();
    QLineEdit* edit = listView->findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    edit->selectAll();
    QTest::keyClicks(edit, "home.htm");
    QTest::keyClick(edit, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_FALSE(list->IsEditing());
    EXPECT_TRUE(std::filesystem::exists(JoinPath(home.Files, "web/home.htm")));
    EXPECT_FALSE(std::filesystem::exists(JoinPath(home.Files, "web/index.htm")));
    EXPECT_EQ(list->Model().Data(htmRow)->GetFileName(), "home.htm");
}

TEST(ShellViewsTest, LinksWearTheLinkOverlayInTreeAndList) {
    TShellTestHome home;
    std::string real = JoinPath(home.Files, "real");
    std::filesystem::create_directories(real);
    std::filesystem::create_directory_symlink(real, JoinPath(home.Files, "shortcut"));
    WriteFile(JoinPath(real, "page.htm"), "p");
    std::filesystem::create_symlink(JoinPath(real, "page.htm"), JoinPath(real, "alias.htm"));

    TComponent owner;
    auto* tree = new TPTShellTree(&owner);
    auto* list = new TPTShellList(&owner);
    tree->SetBounds(0, 0, 200, 200);
    list->SetBounds(0, 0, 300, 200);
    list->SetViewStyle(vsReport);
    tree->BaseFolder().SetPath(home.Files);
    list->Folder().SetPath(real);
    tree->Show();
    list->Show();
    tree->Fill();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(widgetOf(*tree)));
    TImageList& small = SystemImageList(false);
    const int link = OverlayImageIndex(2);

    QImage treeShot = shotOf(viewOf(*tree)->viewport());
    TTreeNode* root = tree->Model().Root();
    TTreeNode* shortcut = ChildNamed(tree->Model(), root, "shortcut");
    TTreeNode* plain = ChildNamed(tree->Model(), root, "real");
    ASSERT_NE(shortcut, nullptr);
    ASSERT_NE(plain, nullptr);
    EXPECT_TRUE(iconIn(treeShot, small, link, ToQRect(shortcut->DisplayRect(false))));
    EXPECT_FALSE(iconIn(treeShot, small, link, ToQRect(plain->DisplayRect(false))));

    QImage listShot = shotOf(viewOf(*list)->viewport());
    auto band = [&](const std::string& name) {
        TRect row = list->Items().Item(RowOf(list->Model(), name))->DisplayRect(TListItem::drBounds);
        return QRect(0, row.Top, 40, row.Height());
    };
    EXPECT_TRUE(iconIn(listShot, small, link, band("alias.htm")));
    EXPECT_FALSE(iconIn(listShot, small, link, band("page.htm")));
}

TEST(ShellViewsTest, TheContextMenuKeyOpensTheSelectedItemsMenuAtItsIcon) {
    TShellTestHome home;
    struct TShown {
        std::string What;
        TPoint Where;
    };
    std::vector<TShown> shown;
    SetPopupMenuPresenter([&](TPopupMenu& menu, TPoint screen) -> TMenuItem* {
        shown.push_back({menu.Name(), screen});
        return nullptr;
    });
    TComponent owner;
    auto* menu = new TPopupMenu(&owner);
    menu->SetName("plain");
    menu->Add("Item");
    auto* list = new TPTCustomListView(&owner);
    list->SetBounds(20, 20, 300, 200);
    list->SetViewStyle(vsReport);
    list->Columns().Add()->SetWidth(150);
    list->SetSmallImages(&SystemImageList(false));
    for (const char* caption : {"one", "two", "three"}) {
        TListItem* item = list->Items().Add();
        item->SetCaption(caption);
        item->SetImageIndex(IconIndexOf(caption, false));
    }
    list->SetPopupMenu(menu);
    std::vector<std::pair<TListItem*, TPoint>> asked;
    bool suppress = false;
    list->OnItemContextMenu = [&](TPersistent*, TListItem* item, TPoint pos, TCustomPopupMenu*& m) {
        asked.emplace_back(item, pos);
        if (suppress)
            m = nullptr;
    };
    list->Show();
    QApplication::processEvents();
    auto menuKey = [&] {
        list->Perform(WM_KEYDOWN, VK_APPS, 0);
        list->Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), -1); // the window system's own request
    };

    // Nothing selected: the control's menu at its top-left corner.
    menuKey();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].Where, list->ClientToScreen({0, 0}));
    EXPECT_TRUE(asked.empty());

    // A selected row: its menu at the centre of its icon, once.
    list->SetItemIndex(1);
    menuKey();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].first, list->Items().Item(1));
    TRect icon = list->Items().Item(1)->DisplayRect(TListItem::drIcon);
    ASSERT_FALSE(icon.IsEmpty());
    EXPECT_EQ(asked[0].second, Point((icon.Left + icon.Right) / 2, (icon.Top + icon.Bottom) / 2));
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].Where, list->ClientToScreen(asked[0].second));

    // A handler that takes the menu away shows nothing, also not on the
    // right button's release that follows.
    suppress = true;
    menuKey();
    QPoint centre = ToQPoint(asked[0].second);
    list->Perform(WM_RBUTTONDOWN, MK_RBUTTON, PointToLParam(FromQPoint(centre)));
    list->Perform(WM_RBUTTONUP, 0, PointToLParam(FromQPoint(centre)));
    list->Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), PointToLParam(list->ClientToScreen(FromQPoint(centre))));
    EXPECT_EQ(asked.size(), 3u);
    EXPECT_EQ(shown.size(), 2u);
    SetPopupMenuPresenter({});
}

TEST(ShellViewsTest, TheFolderDialogKeepsItsMinimumAndRemembersTheRestoredSizeOfAMaximisedRun) {
    TShellTestHome home;
    std::filesystem::create_directories(JoinPath(home.Files, "site/img"));
    TComponent owner;
    auto* dialog = new TPTFolderBrowseDlg(&owner);
    dialog->BaseFolder().SetPath(home.Files);
    dialog->FormWidth = 500;
    dialog->FormHeight = 420;
    // Each run's checks go in the modal loop, once the window shows.
    std::function<void(TPTFrmFolderBrowseDlg&, QWidget*)> during;
    dialog->OnFormShow = [&](TPersistent*) {
        QTimer::singleShot(0, [&] {
            TPTFrmFolderBrowseDlg& form = *dialog->Form();
            QWidget* window = widgetOf(form)->window();
            EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
            during(form, window);
        });
    };

    during = [&](TPTFrmFolderBrowseDlg& form, QWidget* window) {
        EXPECT_EQ(form.Width(), 500);
        // The user cannot make it smaller than its minimum.
        window->resize(100, 100);
        QTest::qWait(50);
        EXPECT_EQ(form.Width(), 366);
        EXPECT_EQ(form.Height(), 340);
        window->resize(520, 430);
        QTest::qWait(50);
        EXPECT_EQ(form.Width(), 520);
        EXPECT_EQ(form.PTShellTree1->BoundsRect().Right, form.ClientWidth() - 16);
        EXPECT_EQ(form.CancelBtn->BoundsRect().Right, form.ClientWidth() - 16);
        form.PTShellTree1->SelectPath(JoinPath(home.Files, "site/img"));
        // Maximised by the user: the layout follows the window.
        window->setWindowState(Qt::WindowMaximized);
        QTest::qWait(50);
        EXPECT_EQ(form.WindowState(), wsMaximized);
        EXPECT_GT(form.Width(), 520);
        TRect tree = form.PTShellTree1->BoundsRect();
        EXPECT_EQ(tree.Right, form.ClientWidth() - 16);
        EXPECT_EQ(tree.Bottom, form.ButtonPanel->Top() - 8);
        // The tree's root, with its icon, where the layout says.
        QImage shot = shotOf(window);
        TTreeNode* root = form.PTShellTree1->Model().Root();
        TRect row = root->DisplayRect(false);
        ASSERT_FALSE(row.IsEmpty());
        OffsetRect(row, tree.Left, tree.Top);
        EXPECT_TRUE(iconIn(shot, SystemImageList(false), form.PTShellTree1->Model().ImageIndexOf(root),
                           ToQRect(row).adjusted(0, -2, 4, 2)));
        form.OkBtn->Click();
    };
    ASSERT_TRUE(dialog->Execute());
    EXPECT_EQ(dialog->GetSelectedPath(), JoinPath(home.Files, "site/img"));
    EXPECT_EQ(dialog->FormWidth, 520);
    EXPECT_EQ(dialog->FormHeight, 430);
    EXPECT_EQ(dialog->FormWindowState, wsMaximized);

    // The next run opens maximised on the folder chosen; cancelled, it
    // keeps that folder.
    during = [&](TPTFrmFolderBrowseDlg& form, QWidget* window) {
        EXPECT_TRUE(window->isMaximized());
        EXPECT_GT(form.Width(), 520);
        EXPECT_EQ(form.PTShellTree1->GetSelectedPath(), JoinPath(home.Files, "site/img"));
        window->setWindowState(Qt::WindowNoState);
        QTest::qWait(50);
        EXPECT_EQ(form.WindowState(), wsNormal);
        form.PTShellTree1->SelectPath(JoinPath(home.Files, "site"));
        form.CancelBtn->Click();
    };
    EXPECT_FALSE(dialog->Execute());
    EXPECT_EQ(dialog->GetSelectedPath(), JoinPath(home.Files, "site/img"));
    EXPECT_EQ(dialog->FormWidth, 520);
    EXPECT_EQ(dialog->FormWindowState, wsNormal);
}

TEST(ShellViewsTest, NamesShowAsTheirUtf8AndRenamesWriteTheirBytes) {
    TShellTestHome home;
    const std::string unicode = "\xC3\xBCn\xC3\xAF" "c\xC3\xB6" "d\xC3\xA9.html"; // ünïcödé.html
    const std::string invalid = "bad\xE9.htm";                                    // not UTF-8
    std::filesystem::create_directories(JoinPath(home.Files, "dossier-\xC3\xA9"));
    WriteFile(JoinPath(home.Files, unicode), "u");
    WriteFile(JoinPath(home.Files, invalid), "b");

    TComponent owner;
    auto* list = new TPTShellList(&owner);
    list->SetBounds(0, 0, 500, 300);
    list->SetViewStyle(vsReport);
    list->Folder().SetPath(home.Files);
    list->Show();
    QApplication::processEvents();
    QAbstractItemView* view = viewOf(*list);
    ASSERT_NE(view, nullptr);
    auto shown = [&](const std::string& name) {
        const int row = RowOf(list->Model(), name);
        return row < 0 ? QString() : view->model()->index(row, 0).data(Qt::DisplayRole).toString();
    };
    EXPECT_EQ(shown(unicode), QString::fromUtf8("\xC3\xBCn\xC3\xAF" "c\xC3\xB6" "d\xC3\xA9.html"));
    EXPECT_EQ(shown("dossier-\xC3\xA9"), QString::fromUtf8("dossier-\xC3\xA9"));
    // The stray byte shows escaped, as its hexadecimal digits.
    EXPECT_EQ(shown(invalid), QString("bad\\xE9.htm"));

    auto renameInPlace = [&](const std::string& name, const std::function<void(QLineEdit&)>& type) {
        const int row = RowOf(list->Model(), name);
        ASSERT_GE(row, 0);
        list->SetItemIndex(row);
        ASSERT_TRUE(list->EditCaption(row));
        QApplication::processEvents();
        QLineEdit* edit = view->findChild<QLineEdit*>();
        ASSERT_NE(edit, nullptr);
        type(*edit);
        QTest::keyClick(edit, Qt::Key_Return);
        QApplication::processEvents();
    };
    // A name typed in place is written as UTF-8.
    renameInPlace(unicode, [](QLineEdit& edit) { edit.setText(QString::fromUtf8("caf\xC3\xA9.htm")); });
    EXPECT_TRUE(std::filesystem::exists(JoinPath(home.Files, "caf\xC3\xA9.htm")));
    EXPECT_FALSE(std::filesystem::exists(JoinPath(home.Files, unicode)));
    // A name with a stray byte keeps it when only the rest is edited.
    renameInPlace(invalid, [](QLineEdit& edit) {
        edit.setCursorPosition(0);
        edit.insert("new-");
    });
    EXPECT_TRUE(std::filesystem::exists(JoinPath(home.Files, "new-bad\xE9.htm")));
    EXPECT_FALSE(std::filesystem::exists(JoinPath(home.Files, invalid)));
}

// A right click as the window system delivers it here: the press, the
// menu request that comes with the press, then the release.  On empty
// space the folder's own menu shows (with what only a folder offers:
// paste and a new folder), whatever row was selected before; on a row, that
// row's menu.
TEST(ShellViewsTest, ARightClickOnEmptySpaceShowsTheFoldersMenuWhateverWasSelected) {
    TShellTestHome home;
    for (const char* name : {"one.htm", "two.htm"})
        WriteFile(JoinPath(home.Files, name), name);
    TComponent owner;
    auto* list = new TPTShellList(&owner);
    list->SetBounds(0, 0, 400, 300);
    list->SetViewStyle(vsReport);
    list->Folder().SetPath(home.Files);
    list->Show();
    QApplication::processEvents();
    QAbstractItemView* view = viewOf(*list);
    ASSERT_NE(view, nullptr);
    QWidget* viewport = view->viewport();
    QWindow* window = viewport->window()->windowHandle();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));

    // What each tracked menu offers, by its verbs.
    std::vector<std::vector<std::string>> menus;
    SetShellMenuTracker([&](TShellMenu& menu, unsigned, TPoint, TWinControl*) -> unsigned {
        std::vector<std::string> captions;
        for (int i = 0; i < menu.Count(); ++i)
            if ((menu.ItemAt(i)->Flags & MF_SEPARATOR) == 0)
                captions.push_back(StripAccelerator(menu.ItemAt(i)->Caption));
        menus.push_back(std::move(captions));
        return 0;
    });
    auto rightClick = [&](QPoint inViewport) {
        QPoint at = viewport->mapTo(viewport->window(), inViewport);
        QTest::mousePress(window, Qt::RightButton, {}, at);
        QTest::mouseRelease(window, Qt::RightButton, {}, at);
        QApplication::processEvents();
    };
    auto offers = [](const std::vector<std::string>& menu, const std::string& caption) {
        return std::find(menu.begin(), menu.end(), caption) != menu.end();
    };

    const int one = RowOf(list->Model(), "one.htm");
    ASSERT_GE(one, 0);
    list->SetItemIndex(one);
    QPoint empty(200, viewport->height() - 10);
    ASSERT_LT(list->IndexAt(empty.x(), empty.y()), 0);
    rightClick(empty);
    ASSERT_EQ(menus.size(), 1u);
    EXPECT_TRUE(offers(menus[0], "New Folder")) << "the folder's menu";
    EXPECT_EQ(list->SelCount(), 0) << "a click on empty space leaves nothing selected";

    // On a row: that row's menu, once.
    QRect row = view->visualRect(view->model()->index(RowOf(list->Model(), "two.htm"), 0));
    rightClick(row.center());
    ASSERT_EQ(menus.size(), 2u);
    EXPECT_FALSE(offers(menus[1], "New Folder"));
    EXPECT_TRUE(offers(menus[1], "Open"));
    EXPECT_EQ(list->GetSelectedData()->GetFileName(), "two.htm");

    // A drag with the right button: no menu at the press nor at the release.
    int drags = 0;
    SetDragDropService({.DoDragDrop = [&](const std::shared_ptr<TDataObject>&, const std::shared_ptr<TDropSource>&,
                                          uint32_t, uint32_t& effect) -> HRESULT {
                            ++drags;
                            effect = DROPEFFECT_NONE;
                            return DRAGDROP_S_CANCEL;
                        },
                        .Register = nullptr,
                        .Revoke = nullptr});
    QPoint start = viewport->mapTo(viewport->window(), row.center());
    QTest::mousePress(window, Qt::RightButton, {}, start);
    EXPECT_EQ(menus.size(), 2u) << "no menu while the button is down";
    for (int step = 1; step <= 4; ++step)
        QTest::mouseMove(window, start + QPoint(0, step * 8));
    QTest::mouseRelease(window, Qt::RightButton, {}, start + QPoint(0, 32));
    QApplication::processEvents();
    EXPECT_EQ(drags, 1);
    EXPECT_EQ(menus.size(), 2u) << "the drag took the click";
    SetDragDropService({});
    SetShellMenuTracker({});
}

// The tree in the same order of messages: a right click on a node shows its
// menu once, at the release; a drag with the right button shows none.
TEST(ShellViewsTest, ARightDragOfANodeShowsNoMenuAndARightClickOne) {
    TShellTestHome home;
    for (const char* name : {"alpha", "beta"})
        std::filesystem::create_directories(JoinPath(home.Files, name));
    TComponent owner;
    auto* tree = new TPTShellTree(&owner);
    tree->SetBounds(0, 0, 300, 300);
    tree->BaseFolder().SetPath(home.Files);
    tree->Show();
    tree->Fill();
    QApplication::processEvents();
    QAbstractItemView* view = viewOf(*tree);
    ASSERT_NE(view, nullptr);
    QWidget* viewport = view->viewport();
    QWindow* window = viewport->window()->windowHandle();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    int menus = 0, drags = 0;
    SetShellMenuTracker([&](TShellMenu&, unsigned, TPoint, TWinControl*) -> unsigned {
        ++menus;
        return 0;
    });
    SetDragDropService({.DoDragDrop = [&](const std::shared_ptr<TDataObject>&, const std::shared_ptr<TDropSource>&,
                                          uint32_t, uint32_t& effect) -> HRESULT {
                            ++drags;
                            effect = DROPEFFECT_NONE;
                            return DRAGDROP_S_CANCEL;
                        },
                        .Register = nullptr,
                        .Revoke = nullptr});
    TTreeNode* beta = ChildNamed(tree->Model(), tree->Model().Root(), "beta");
    ASSERT_NE(beta, nullptr);
    TRect text = beta->DisplayRect(true);
    QPoint start = viewport->mapTo(viewport->window(), QPoint((text.Left + text.Right) / 2, (text.Top + text.Bottom) / 2));

    QTest::mousePress(window, Qt::RightButton, {}, start);
    for (int step = 1; step <= 4; ++step)
        QTest::mouseMove(window, start + QPoint(step * 8, 0));
    QTest::mouseRelease(window, Qt::RightButton, {}, start + QPoint(32, 0));
    QApplication::processEvents();
    EXPECT_EQ(drags, 1);
    EXPECT_EQ(menus, 0) << "the drag took the click";

    QTest::mousePress(window, Qt::RightButton, {}, start);
    EXPECT_EQ(menus, 0) << "no menu while the button is down";
    QTest::mouseRelease(window, Qt::RightButton, {}, start);
    QApplication::processEvents();
    EXPECT_EQ(menus, 1);
    SetDragDropService({});
    SetShellMenuTracker({});
}

// Return and Escape typed into the box of a rename in place end the
// rename (Return keeps the name, Escape drops it); they are not the
// dialog's keys for OK and Cancel while the box is open.
TEST(ShellViewsTest, ReturnAndEscapeEndARenameInTheFolderDialogWithoutClosingIt) {
    TShellTestHome home;
    std::filesystem::create_directories(JoinPath(home.Files, "old"));
    TComponent owner;
    auto* dialog = new TPTFolderBrowseDlg(&owner);
    dialog->BaseFolder().SetPath(home.Files);
    bool checked = false;
    dialog->OnFormShow = [&](TPersistent*) {
        QTimer::singleShot(0, [&] {
            TPTFrmFolderBrowseDlg& form = *dialog->Form();
            TPTShellTree& tree = *form.PTShellTree1;
            QAbstractItemView* view = viewOf(tree);
            auto renameTyping = [&](const std::string& from, const QString& to, Qt::Key key) {
                TTreeNode* node = ChildNamed(tree.Model(), tree.Model().Root(), from);
                ASSERT_NE(node, nullptr) << from;
                tree.SetSelected(node);
                ASSERT_TRUE(tree.EditLabel(node));
                QApplication::processEvents();
                auto* edit = view->findChild<QLineEdit*>();
                ASSERT_NE(edit, nullptr);
                edit->setText(to);
                QTest::keyClick(edit, key);
                QApplication::processEvents();
                EXPECT_FALSE(tree.IsEditing());
            };
            renameTyping("old", "new", Qt::Key_Return);
            EXPECT_TRUE(std::filesystem::exists(JoinPath(home.Files, "new")));
            EXPECT_TRUE(form.Showing()) << "Return ended the rename only";
            EXPECT_EQ(form.ModalResult(), mrNone);
            renameTyping("new", "other", Qt::Key_Escape);
            EXPECT_TRUE(std::filesystem::exists(JoinPath(home.Files, "new")));
            EXPECT_FALSE(std::filesystem::exists(JoinPath(home.Files, "other")));
            EXPECT_TRUE(form.Showing()) << "Escape ended the rename only";
            EXPECT_EQ(form.ModalResult(), mrNone);
            checked = true;
            // With no box open, Return is the dialog's OK.
            QTest::keyClick(viewOf(tree), Qt::Key_Return);
        });
    };
    EXPECT_TRUE(dialog->Execute());
    EXPECT_TRUE(checked);
    EXPECT_EQ(dialog->GetSelectedPath(), JoinPath(home.Files, "new"));
}

// The same for a list's rows on a form with a default button: Return ends
// the rename; with no box open it presses the button.
TEST(ShellViewsTest, ReturnEndsARenameOfARowBeforeItPressesTheDefaultButton) {
    TShellTestHome home;
    WriteFile(JoinPath(home.Files, "page.htm"), "p");
    TForm form;
    form.SetBounds(0, 0, 420, 320);
    auto* list = new TPTShellList(&form);
    list->SetParent(&form);
    list->SetBounds(0, 0, 400, 250);
    list->SetViewStyle(vsReport);
    auto* button = new TButton(&form);
    button->SetParent(&form);
    button->SetBounds(300, 260, 75, 25);
    button->SetDefault(true);
    int pressed = 0;
    button->OnClick = [&](TPersistent*) { ++pressed; };
    list->Folder().SetPath(home.Files);
    form.Show();
    list->SetFocus();
    QApplication::processEvents();
    QAbstractItemView* view = viewOf(*list);
    const int row = RowOf(list->Model(), "page.htm");
    ASSERT_GE(row, 0);
    list->SetItemIndex(row);
    ASSERT_TRUE(list->EditCaption(row));
    QApplication::processEvents();
    auto* edit = view->findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    edit->setText("renamed.htm");
    QTest::keyClick(edit, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_TRUE(std::filesystem::exists(JoinPath(home.Files, "renamed.htm")));
    EXPECT_EQ(pressed, 0);
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_EQ(pressed, 1);
}

// The folder dialog's size grip: its ridges drawn in the window's corner,
// and a drag on it sizes the form from its top-left corner, never below
// the form's minimum.
TEST(ShellViewsTest, DraggingTheFolderDialogsGripSizesItsForm) {
    TShellTestHome home;
    TComponent owner;
    auto* dialog = new TPTFolderBrowseDlg(&owner);
    dialog->BaseFolder().SetPath(home.Files);
    dialog->FormWidth = 400;
    dialog->FormHeight = 360;
    bool checked = false;
    dialog->OnFormShow = [&](TPersistent*) {
        QTimer::singleShot(0, [&] {
            TPTFrmFolderBrowseDlg& form = *dialog->Form();
            QWidget* panel = widgetOf(*form.ButtonPanel);
            ASSERT_TRUE(QTest::qWaitForWindowExposed(panel->window()));
            // Lit and shaded pixels along the corner's diagonals, none
            // elsewhere on the panel's face.
            QImage shot = shotOf(panel);
            auto ridges = [&](QRect area) {
                return countPixels(shot, area, [](const QColor& c) { return c == qt(clBtnHighlight); }) > 0 &&
                       countPixels(shot, area, [](const QColor& c) { return c == qt(clBtnShadow); }) > 0;
            };
            EXPECT_TRUE(ridges(QRect(shot.width() - 13, shot.height() - 13, 13, 13)));
            EXPECT_FALSE(ridges(QRect(0, shot.height() - 13, 13, 13)));

            // Dragged 60 right and 40 down, then far up and left.
            TRect grip = form.SizeGrip->BoundsRect();
            QPoint start((grip.Left + grip.Right) / 2, (grip.Top + grip.Bottom) / 2);
            int left = form.Left(), top = form.Top();
            QTest::mousePress(panel, Qt::LeftButton, {}, start);
            QMouseEvent move(QEvent::MouseMove, QPointF(start + QPoint(60, 40)),
                             panel->mapToGlobal(QPointF(start + QPoint(60, 40))), Qt::NoButton, Qt::LeftButton,
                             Qt::NoModifier);
            QApplication::sendEvent(panel, &move);
            QTest::qWait(20);
            EXPECT_EQ(form.Width(), 460);
            EXPECT_EQ(form.Height(), 400);
            EXPECT_EQ(form.Left(), left);
            EXPECT_EQ(form.Top(), top);
            // The grip went with the corner.
            EXPECT_EQ(form.SizeGrip->BoundsRect().Right, form.ButtonPanel->ClientWidth());
            QMouseEvent back(QEvent::MouseMove, QPointF(start - QPoint(300, 300)),
                             panel->mapToGlobal(QPointF(start - QPoint(300, 300))), Qt::NoButton, Qt::LeftButton,
                             Qt::NoModifier);
            QApplication::sendEvent(panel, &back);
            QTest::qWait(20);
            EXPECT_EQ(form.Width(), TPTFrmFolderBrowseDlg::MinimumSize.cx);
            EXPECT_EQ(form.Height(), TPTFrmFolderBrowseDlg::MinimumSize.cy);
            QTest::mouseRelease(panel, Qt::LeftButton, {}, start - QPoint(300, 300));
            checked = true;
            form.CancelBtn->Click();
        });
    };
    dialog->Execute();
    EXPECT_TRUE(checked);
    EXPECT_EQ(dialog->FormWidth, TPTFrmFolderBrowseDlg::MinimumSize.cx);
}
