// The open and save dialogs as the user meets them: every file of a folder
// is listed, whatever bytes its name holds, shown as the program shows
// names ("caf\xE9.html"), and what the user picks or types comes back as
// the name's bytes; each column of the list shows its whole text.

#include "platform/base/FileNameText.h"
#include "platform/base/QtBridge.h"
#include "platform/widgets/FileDialogWindow.h"
#include "platform/widgets/QtUserInteraction.h"
#include "tests/platform/base/TempFolder.h"
#include "tests/platform/widgets/WidgetTestApp.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <set>

namespace {

// Runs the dialog the seam shows for the call, handing it to look once it
// shows; look accepts or rejects it.  A message box over it goes to
// answer.
void whileShown(const std::function<void()>& call, const std::function<void(TFileDialogWindow&)>& look,
                const std::function<void(QMessageBox&)>& answer = {}) {
    bool looked = false;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible())
            return;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            if (answer)
                answer(*box);
            else
                box->reject();
            return;
        }
        auto* dialog = dynamic_cast<TFileDialogWindow*>(modal);
        if (dialog == nullptr || looked)
            return;
        looked = true;
        look(*dialog);
    });
    poll.start();
    call();
    poll.stop();
    EXPECT_TRUE(looked);
}

std::set<std::string> listed(const TFileDialogWindow& dialog) {
    std::set<std::string> names;
    for (int i = 0; i < dialog.List()->topLevelItemCount(); ++i)
        names.insert(QStringToProgramText(dialog.List()->topLevelItem(i)->text(0)));
    return names;
}

void write(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

TEST(FileDialogWindow, ListsEveryNameAsItReadsAndAnswersWithItsBytes) {
    std::mt19937 random(32);
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE(round);
        TTempFolder folder;
        // Names of letters, valid UTF-8 and bytes that are not, one with
        // the byte 0xE9 always; a folder among them.
        std::set<std::string> files = {"caf\xE9.html"}, folders;
        for (int i = 0; i < 8; ++i) {
            std::string name;
            for (int length = 1 + static_cast<int>(random() % 8); length > 0; --length) {
                switch (random() % 4) {
                case 0: name += static_cast<char>(0x80 + random() % 0x80); break;
                case 1: name += "\xC3\xA9"; break;
                default: name += static_cast<char>('a' + random() % 26); break;
                }
            }
            (i == 7 ? folders : files).insert(name + (i == 7 ? "" : random() % 2 ? ".html" : ".txt"));
        }
        for (const std::string& name : files)
            write(folder.File(name), "<P>" + name + "</P>");
        for (const std::string& name : folders)
            std::filesystem::create_directory(folder.File(name));
        write(folder.File(".hidden.html"), "");

        TFileDialogRequest request;
        request.Filter = "Web pages|*.HTML|All Files|*.*";
        request.FilterIndex = 1 + round % 2;
        request.InitialDir = folder.Path().string();
        request.MultiSelect = true;
        std::set<std::string> expected;
        for (const std::string& name : folders)
            expected.insert(DisplayTextOfName(name));
        std::set<std::string> wanted;
        for (const std::string& name : files)
            if (request.FilterIndex == 2 || name.ends_with(".html")) {
                expected.insert(DisplayTextOfName(name));
                wanted.insert(folder.File(name));
            }

        TFileDialogResult result;
        whileShown([&] { result = QtUserInteraction().OpenFileDialog(request); },
                   [&](TFileDialogWindow& dialog) {
                       EXPECT_EQ(listed(dialog), expected);
                       dialog.List()->selectAll();
                       dialog.accept();
                   });
        ASSERT_TRUE(result.Accepted);
        EXPECT_EQ(std::set<std::string>(result.FileNames.begin(), result.FileNames.end()), wanted);
        EXPECT_EQ(result.FilterIndex, request.FilterIndex);

        // The folder opens on a double-click: its name is its bytes too.
        const std::string inner = *folders.begin();
        write(folder.File(inner) + "/in\xFF.html", "x");
        whileShown([&] { result = QtUserInteraction().OpenFileDialog(request); },
                   [&](TFileDialogWindow& dialog) {
                       QTreeWidgetItem* item = dialog.List()->topLevelItem(0);
                       ASSERT_NE(item, nullptr);
                       emit dialog.List()->itemActivated(item, 0);
                       EXPECT_EQ(dialog.Folder(), folder.File(inner));
                       EXPECT_EQ(listed(dialog), std::set<std::string>{"in\\xFF.html"});
                       emit dialog.List()->itemActivated(dialog.List()->topLevelItem(0), 0);
                   });
        EXPECT_EQ(result.FileNames, std::vector<std::string>{folder.File(inner) + "/in\xFF.html"});
    }
}

TEST(FileDialogWindow, SavesUnderTheBytesTypedAndAsksBeforeReplacing) {
    TTempFolder folder;
    write(folder.File("caf\xE9.html"), "old");
    TFileDialogRequest request;
    request.Filter = "HTML|*.html";
    request.InitialDir = folder.Path().string();
    request.DefaultExt = "html";
    request.FileMustExist = false;
    TFileDialogResult result;
    // A name typed with the escape names the byte; the extension is added.
    whileShown([&] { result = QtUserInteraction().SaveFileDialog(request); },
               [&](TFileDialogWindow& dialog) {
                   dialog.NameEdit()->setText("new\\xE9");
                   dialog.accept();
               });
    EXPECT_EQ(result.FileNames, std::vector<std::string>{folder.File("new\xE9.html")});

    // Replacing a file is asked first: No keeps the dialog open.
    int asked = 0;
    bool stayed = false;
    whileShown([&] { result = QtUserInteraction().SaveFileDialog(request); },
               [&](TFileDialogWindow& dialog) {
                   dialog.NameEdit()->setText("caf\\xE9.html");
                   // Queued: the question is answered by the poll in turn.
                   QMetaObject::invokeMethod(
                       &dialog,
                       [&] {
                           dialog.accept();
                           stayed = dialog.isVisible();
                           dialog.reject();
                       },
                       Qt::QueuedConnection);
               },
               [&](QMessageBox& box) {
                   ++asked;
                   EXPECT_NE(box.text().indexOf("caf\\xE9.html"), -1) << box.text().toStdString();
                   box.button(QMessageBox::No)->click();
               });
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(stayed);
    EXPECT_FALSE(result.Accepted);
}

// Return on a folder of the list opens it, whatever the name box holds;
// on a file it opens the file.
TEST(FileDialogWindow, ReturnInTheListOpensTheFolderOrFileItIsOn) {
    TTempFolder folder;
    write(folder.File("a.html"), "a");
    std::filesystem::create_directory(folder.File("sub"));
    write(folder.File("sub/b.html"), "b");
    TFileDialogRequest request;
    request.InitialDir = folder.Path().string();
    request.Filter = "All|*.*";
    request.FileName = "a.html";
    int boxes = 0;
    TFileDialogResult result;
    whileShown([&] { result = QtUserInteraction().OpenFileDialog(request); },
               [&](TFileDialogWindow& dialog) {
                   QTreeWidget& list = *dialog.List();
                   ASSERT_EQ(list.topLevelItemCount(), 2);
                   EXPECT_EQ(dialog.NameEdit()->text(), "a.html");
                   // Queued: a box it shows is answered by the poll in turn.
                   QMetaObject::invokeMethod(
                       &dialog,
                       [&] {
                           list.setFocus();
                           list.setCurrentItem(list.topLevelItem(0));
                           QTest::keyClick(&list, Qt::Key_Return);
                           EXPECT_TRUE(dialog.isVisible());
                           EXPECT_EQ(dialog.Folder(), folder.File("sub"));
                           if (!dialog.isVisible() || list.topLevelItemCount() == 0)
                               return;
                           list.setCurrentItem(list.topLevelItem(0));
                           QTest::keyClick(&list, Qt::Key_Return);
                           if (dialog.isVisible())
                               dialog.reject();
                       },
                       Qt::QueuedConnection);
               },
               [&](QMessageBox& box) {
                   ++boxes;
                   box.reject();
               });
    EXPECT_EQ(boxes, 0);
    EXPECT_EQ(result.FileNames, std::vector<std::string>{folder.File("sub/b.html")});
}

// Each column is as wide as its widest text and its header, and the list
// shows them all side by side.
TEST(FileDialogWindow, EveryColumnShowsItsWholeText) {
    TTempFolder folder;
    write(folder.File("a page with a rather long name of its own.html"), std::string(243, 'x'));
    write(folder.File("big.html"), std::string(123456, 'x'));
    std::filesystem::create_directory(folder.File("pictures"));
    TFileDialogRequest request;
    request.InitialDir = folder.Path().string();
    request.Filter = "All|*.*";
    whileShown([&] { QtUserInteraction().OpenFileDialog(request); },
               [&](TFileDialogWindow& dialog) {
                   QTreeWidget& list = *dialog.List();
                   QApplication::processEvents();
                   int total = 0;
                   for (int column = 0; column < list.columnCount(); ++column) {
                       int widest = list.header()->sectionSizeHint(column);
                       for (int i = 0; i < list.topLevelItemCount(); ++i) {
                           QTreeWidgetItem* item = list.topLevelItem(i);
                           int icon = item->icon(column).isNull() ? 0 : list.iconSize().width() + 4;
                           widest = std::max(widest,
                                             list.fontMetrics().horizontalAdvance(item->text(column)) + icon);
                       }
                       EXPECT_GE(list.columnWidth(column), widest) << column;
                       total += list.columnWidth(column);
                   }
                   EXPECT_LE(total, list.viewport()->width());
                   EXPECT_NE(list.topLevelItem(1)->text(1).indexOf("243"), -1);
                   dialog.reject();
               });
}

} // namespace
