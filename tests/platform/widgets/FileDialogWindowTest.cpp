// The open and save dialogs as the user meets them: every file of a folder
// is listed, whatever bytes its name holds, shown as the program shows
// names ("caf\xE9.html"), and what the user picks or types comes back as
// the name's bytes; each column of the list shows its whole text.  Keys and
// clicks go to the dialog's own widgets, as the user's would.

#include "platform/base/FileNameText.h"
#include "platform/base/QtBridge.h"
#include "platform/widgets/FileDialogWindow.h"
#include "platform/widgets/QtUserInteraction.h"
#include "tests/platform/base/TempFolder.h"
#include "tests/platform/widgets/WidgetTestApp.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <filesystem>
#include <fstream>
#include <functional>
#include <linux/capability.h>
#include <random>
#include <set>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// Runs the dialog the seam shows for the call, handing it to look once it
// shows; look accepts or rejects it.  A message box over it goes to
// answer.  Any other window, or one that stays, is closed after a while.
void whileShown(const std::function<void()>& call, const std::function<void(TFileDialogWindow&)>& look,
                const std::function<void(QMessageBox&)>& answer = {}) {
    bool looked = false;
    int ticks = 0;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible())
            return;
        if (++ticks > 500) {
            ADD_FAILURE() << "still shown: " << modal->metaObject()->className();
            modal->close();
            return;
        }
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

// Types into a box as the user does and presses Return there.
void typeAndReturn(QLineEdit& box, const QString& text) {
    box.setFocus();
    box.selectAll();
    QTest::keyClicks(&box, text);
    QTest::keyClick(&box, Qt::Key_Return);
}

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
// on files it opens every file selected, as the Open button does.
TEST(FileDialogWindow, ReturnInTheListOpensTheFolderOrFileItIsOn) {
    TTempFolder folder;
    write(folder.File("a.html"), "a");
    std::filesystem::create_directory(folder.File("sub"));
    for (const char* name : {"sub/b.html", "sub/c.html", "sub/d.html"})
        write(folder.File(name), name);
    TFileDialogRequest request;
    request.InitialDir = folder.Path().string();
    request.Filter = "All|*.*";
    request.FileName = "a.html";
    request.MultiSelect = true;
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
                           if (!dialog.isVisible() || list.topLevelItemCount() != 3)
                               return;
                           auto row = [&](int i) { return list.visualItemRect(list.topLevelItem(i)).center(); };
                           QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, row(0));
                           QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ControlModifier, row(2));
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
    EXPECT_EQ(result.FileNames, (std::vector<std::string>{folder.File("sub/b.html"), folder.File("sub/d.html")}));
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


// A name typed with "*" or "?" that names no file filters the list, in
// the folder it names if any, and saves nothing; a type picked again
// ends it.  Going from folder to folder keeps the dialog's width, and each
// folder's columns are as wide as its own texts.
TEST(FileDialogWindow, AWildcardFiltersAndFoldersKeepTheWidth) {
    TTempFolder folder;
    for (const char* name : {"a.html", "b.css", "c.CSS", "sub/e.txt", "sub/f.txt", "sub/g.html"}) {
        std::filesystem::create_directories(std::filesystem::path(folder.File(name)).parent_path());
        write(folder.File(name), name);
    }
    write(folder.File("sub/" + std::string(60, 'w') + ".css"), "x");
    TFileDialogRequest request;
    request.InitialDir = folder.Path().string();
    request.Filter = "Web|*.html|Other|*.txt";
    whileShown([&] { QtUserInteraction().SaveFileDialog(request); },
               [&](TFileDialogWindow& dialog) {
                   const int width = dialog.width();
                   int nameColumn = 0;
                   for (int pass = 0; pass < 4; ++pass) {
                       typeAndReturn(*dialog.NameEdit(), "*.css");
                       EXPECT_EQ(listed(dialog), (std::set<std::string>{"sub", "b.css", "c.CSS"}));
                       if (pass == 0)
                           nameColumn = dialog.List()->columnWidth(0);
                       EXPECT_EQ(dialog.List()->columnWidth(0), nameColumn);
                       typeAndReturn(*dialog.NameEdit(), "sub/?.txt;*.css");
                       EXPECT_EQ(listed(dialog).size(), 3u);
                       EXPECT_GT(dialog.List()->columnWidth(0), nameColumn);
                       auto* types = dialog.findChild<QComboBox*>("fileTypeCombo");
                       QTest::keyClick(types, Qt::Key_Down);
                       QTest::keyClick(types, Qt::Key_Up);
                       EXPECT_EQ(listed(dialog), std::set<std::string>{"g.html"});
                       QTest::mouseClick(dialog.findChild<QPushButton*>("up"), Qt::LeftButton);
                       EXPECT_EQ(dialog.width(), width);
                   }
                   EXPECT_TRUE(dialog.isVisible());
                   dialog.reject();
               });
}

// A folder that can not be read says so in its list, with its name, and a
// file typed there is refused for that reason rather than as not found.
// The superuser is held to the permission bits meanwhile by putting its
// override capabilities aside on this thread.
TEST(FileDialogWindow, AFolderThatCannotBeReadSaysWhy) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved[2] = {}, lowered[2] = {};
    ASSERT_EQ(::syscall(SYS_capget, &header, saved), 0);
    lowered[0] = saved[0];
    lowered[1] = saved[1];
    lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
    ASSERT_EQ(::syscall(SYS_capset, &header, lowered), 0);
    TTempFolder folder;
    const std::string locked = folder.File("lock\xE9");
    std::filesystem::create_directory(locked);
    std::filesystem::permissions(locked, std::filesystem::perms::none);
    TFileDialogRequest request;
    request.InitialDir = locked;
    QString row, said;
    whileShown([&] { QtUserInteraction().OpenFileDialog(request); },
               [&](TFileDialogWindow& dialog) {
                   if (dialog.List()->topLevelItemCount() == 1)
                       row = dialog.List()->topLevelItem(0)->text(0);
                   QMetaObject::invokeMethod(
                       &dialog, [&] { typeAndReturn(*dialog.NameEdit(), "a.html"), dialog.reject(); },
                       Qt::QueuedConnection);
               },
               [&](QMessageBox& box) { said = box.text(), box.accept(); });
    ::syscall(SYS_capset, &header, saved);
    EXPECT_TRUE(row.contains("lock\\xE9") && row.contains("Permission denied")) << row.toStdString();
    EXPECT_TRUE(said.contains("lock\\xE9/a.html\nPermission denied")) << said.toStdString();
}

// The folder chooser lists folders alone, by their bytes, and answers with
// the folder picked.
TEST(FileDialogWindow, ChoosesAFolderByItsBytes) {
    TTempFolder folder;
    std::filesystem::create_directory(folder.File("caf\xE9"));
    write(folder.File("page.html"), "x");
    std::string chosen = folder.Path().string();
    whileShown([&] { EXPECT_TRUE(QtUserInteraction().ChooseFolder("Add a folder", chosen)); },
               [&](TFileDialogWindow& dialog) {
                   EXPECT_EQ(listed(dialog), std::set<std::string>{"caf\\xE9"});
                   QTest::mouseClick(dialog.List()->viewport(), Qt::LeftButton, {},
                                     dialog.List()->visualItemRect(dialog.List()->topLevelItem(0)).center());
                   dialog.accept();
               });
    EXPECT_EQ(chosen, folder.File("caf\xE9"));
}

// Folders reached by typing relative names ("..", ".", "a/../b", a link
// and then "..") into the name box or the "Look in" box show and are
// answered as plain paths, without "." or ".." steps, and are the folders
// the system reaches through what was typed.
TEST(FileDialogWindow, LookInShowsThePlainPathOfTheFolderReached) {
    TTempFolder folder;
    const std::string root = folder.Path().string();
    for (const char* made : {"sub", "sub2", "locked", "a/b"})
        std::filesystem::create_directories(folder.File(made));
    write(folder.File("sub2/page.html"), "x");
    std::filesystem::create_directory_symlink(folder.File("a/b"), folder.File("link"));
    TFileDialogRequest request;
    request.InitialDir = root;
    request.Filter = "All|*.*";
    TFileDialogWindow dialog(nullptr, request, TFileDialogWindow::fdOpen);
    dialog.show();
    auto* lookIn = dialog.findChild<QLineEdit*>("lookIn");
    ASSERT_NE(lookIn, nullptr);
    auto sameFolder = [](const std::string& a, const std::string& b) {
        struct stat first {}, second {};
        return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
               first.st_ino == second.st_ino;
    };
    const std::vector<std::string> steps = {"..", ".", "sub", "sub2", "../sub", "./sub2/..", "link/..", "link",
                                            "sub/../sub2/../locked", "a//b/../.", "../locked"};
    std::mt19937 random(9);
    for (int round = 0; round < 60; ++round) {
        const std::string from = dialog.Folder();
        const std::string step = steps[random() % steps.size()];
        const std::string typed = from + "/" + step;
        struct stat reached {};
        // Only folders below the test's own are visited.
        if (::stat(typed.c_str(), &reached) != 0 || !S_ISDIR(reached.st_mode) ||
            !std::filesystem::canonical(typed).string().starts_with(std::filesystem::canonical(root).string()))
            continue;
        SCOPED_TRACE(typed);
        if (random() % 2 == 0)
            typeAndReturn(*dialog.NameEdit(), QString::fromStdString(step));
        else
            typeAndReturn(*lookIn, QString::fromStdString(typed));
        const std::string shown = QStringToProgramText(lookIn->text());
        EXPECT_EQ(shown, dialog.Folder());
        EXPECT_TRUE(sameFolder(shown, typed));
        std::filesystem::path path(shown);
        EXPECT_TRUE(path.is_absolute());
        EXPECT_EQ(path, path.lexically_normal());
        EXPECT_FALSE(shown.ends_with("/") || shown.find("//") != std::string::npos);
        for (const auto& part : path)
            EXPECT_TRUE(part != "." && part != "..");
    }
}
