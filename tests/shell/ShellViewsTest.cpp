// The shell tree and list in real offscreen windows, their pixels grabbed:
// the tree's nodes with their icons, buttons and selection; the list's
// header with its sort triangle, rows with icons and detail columns; a
// rename typed into the in-place edit box.

#include "platform/gfx/ImageList.h"
#include "platform/shellns/FileTypes.h"
#include "platform/widgets/WidgetPeer.h"
#include "shell/PTSplitter.h"
#include "shell/ShellList.h"
#include "shell/ShellTree.h"
#include "shell/ShellUtils.h"
#include "tests/platform/widgets/WidgetTestApp.h"
#include "tests/shell/ShellTestSupport.h"
#include "platform/gfx/QtBridge.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

namespace {

TPeerWidget* widgetOf(TWinControl& control) { return static_cast<TWidgetPeer*>(control.Peer())->Widget(); }

QImage clientShot(TWinControl& control) {
    QApplication::processEvents();
    return widgetOf(control)->viewport()->grab().toImage();
}

QColor qt(TColor color) {
    TColor rgb = ColorToRGB(color);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

// Whether the pixels of an image-list entry appear at a place.
bool iconAt(const QImage& shot, TImageList& images, int index, QPoint at) {
    QImage icon = ImageListImage(images, index);
    int matching = 0, opaque = 0;
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x) {
            QColor pixel = icon.pixelColor(x, y);
            if (pixel.alpha() < 255)
                continue;
            ++opaque;
            matching += shot.pixelColor(at.x() + x, at.y() + y) == pixel;
        }
    return opaque > 0 && matching * 10 >= opaque * 9;
}

int countPixels(const QImage& image, const QRect& area, const QColor& colour) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixelColor(x, y) == colour;
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
    splitter->SetBounds(0, 0, 640, 300);
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
    tree->BaseFolder().SetPath(home.Files);
    tree->SetShellList(list);
    splitter->Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(widgetOf(*splitter)));
    tree->Fill();
    tree->SelectPath(JoinPath(home.Files, "web"));
    ASSERT_EQ(list->Folder().GetPath(), JoinPath(home.Files, "web"));
    tree->SetFocus();

    QImage treeShot = clientShot(*tree);
    // The root (its own open-folder icon) on the first row, the selected
    // folder "web" highlighted on its row.
    TImageList& small = SystemImageList(false);
    int rowHeight = tree->RowHeight();
    const auto& rows = tree->Rows();
    ASSERT_EQ(rows.size(), 3u); // files, docs, web (the last level stays closed)
    EXPECT_EQ(rows[2], tree->Selected());
    TRect webText = tree->NodeTextRect(rows[2]);
    EXPECT_GT(countPixels(treeShot, ToQRect(webText), qt(clHighlight)), webText.Width() * 4);
    EXPECT_TRUE(iconAt(treeShot, small, tree->Model().SelectedIndexOf(rows[2]), QPoint(webText.Left - 19, webText.Top + (rowHeight - 16) / 2)));
    TRect docsText = tree->NodeTextRect(rows[1]);
    EXPECT_TRUE(iconAt(treeShot, small, IconIndexOf("docs", true), QPoint(docsText.Left - 19, docsText.Top + (rowHeight - 16) / 2)));
    EXPECT_EQ(countPixels(treeShot, ToQRect(docsText), qt(clHighlight)), 0);

    // The list: its header, the sort triangle on the name column, rows of
    // folders then files with icons and sizes.
    QImage listShot = clientShot(*list);
    ASSERT_EQ(list->Model().Count(), 4);
    int header = list->HeaderHeight();
    EXPECT_GT(header, 10);
    EXPECT_EQ(listShot.pixelColor(150, header / 2), qt(clBtnFace));
    EXPECT_EQ(list->SortColumn(), 0);
    // The triangle: button-face pixels framed by highlight and shadow, in
    // the name column to the right of its caption.
    TCanvas measuring;
    measuring.SetFont(list->Font());
    int triangleLeft = 2 + 4 + measuring.TextWidth("Name") + 5;
    EXPECT_GT(countPixels(listShot, QRect(triangleLeft, 0, 12, header), qt(clBtnShadow)), 2);
    EXPECT_GT(countPixels(listShot, QRect(triangleLeft, 0, 12, header), qt(clBtnHighlight)), 2);
    int htmRow = 2; // css, img, index.htm, notes.txt
    EXPECT_EQ(list->Model().Data(htmRow)->GetFileName(), "index.htm");
    TRect icon = list->ItemIconRect(htmRow);
    EXPECT_TRUE(iconAt(listShot, small, IconIndexOf("index.htm", false), QPoint(icon.Left, icon.Top)));
    // The size column shows "3KB", right-aligned: dark text near its right edge.
    int sizeRight = list->Model().Columns()[0].Width + list->Model().Columns()[1].Width;
    QRect sizeArea(sizeRight - 40, icon.Top, 34, 16);
    int dark = 0;
    for (int y = sizeArea.top(); y <= sizeArea.bottom(); ++y)
        for (int x = sizeArea.left(); x <= sizeArea.right(); ++x)
            dark += listShot.pixelColor(x, y).lightness() < 100;
    EXPECT_GT(dark, 10);
    EXPECT_EQ(list->Model().RowText(htmRow, 1), "3KB");

    // Renaming in place: the edit box over the label takes typed text and
    // Enter.
    list->SetSelected(htmRow);
    ASSERT_TRUE(list->EditCaption(htmRow));
    QApplication::processEvents();
    QLineEdit* edit = widgetOf(*list)->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), "index.htm");
    edit->selectAll();
    QTest::keyClicks(edit, "home.htm");
    QTest::keyClick(edit, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_FALSE(list->IsEditing());
    EXPECT_TRUE(std::filesystem::exists(JoinPath(home.Files, "web/home.htm")));
    EXPECT_FALSE(std::filesystem::exists(JoinPath(home.Files, "web/index.htm")));
    EXPECT_EQ(list->Model().Data(htmRow)->GetFileName(), "home.htm");
}
