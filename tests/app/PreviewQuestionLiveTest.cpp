// The preview of a page never saved asks, through the program's real
// message box, whether to save it first; the question waits for the
// user's answer also when the main window's own window is made anew while
// it is up (as the first web view in it makes it, on a display with
// OpenGL, which the offscreen platform is not: the test makes it anew
// itself, as Qt does).

#include "app/EditForm.h"
#include "app/FrameForm.h"
#include "app/MDITab.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/MainWindowLifetime.h"

#include "editor/CodeMemo.h"
#include "platform/ui/Application.h"
#include "platform/ui/PageControls.h"
#include "platform/ui/UserInteraction.h"
#include "platform/widgets/QtUserInteraction.h"
#include "platform/widgets/WidgetPeer.h"
#include "tests/platform/webview/WebEngineTestApp.h"
#include "tests/platform/widgets/WidgetTestApp.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

// Makes the window system's window of a shown top-level window anew, with
// a new QWindow, as Qt does when a window needs a surface of another kind:
// through QWidget's own destroy and create.
struct TWindowRemaker : QWidget {
    static void Remake(QWidget* window) {
        void (QWidget::*destroy)(bool, bool) = &TWindowRemaker::destroy;
        window->hide();
        (window->*destroy)(true, true);
        window->show();
    }
};

QMessageBox* shownBox() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    return box != nullptr && box->isVisible() ? box : nullptr;
}

} // namespace

TEST(PreviewQuestion, WaitsForItsAnswerWhileTheMainWindowIsMadeAnew) {
    TTestProgramFolder program;
    TUserInteraction& unattended = UserInteraction();
    SetUserInteraction(&QtUserInteraction());
    Tframeform* frame = StartMainWindow();
    auto* document = new TEditForm(&Application());
    frame->MDINav->AddForm(document, nullptr);
    document->Editor->SetSelText("x");
    QWidget* main = ClientWidgetOf(frame)->window();
    bool remade = false;
    QObject::connect(main->windowHandle(), &QObject::destroyed, [&] { remade = true; });

    // While the question is up the main window is made anew; once that has
    // settled, the user answers No to the question still shown.
    std::string asked;
    bool answered = false;
    QTimer remake;
    remake.setSingleShot(true);
    QObject::connect(&remake, &QTimer::timeout, [&] {
        if (QMessageBox* box = shownBox())
            asked = box->text().toStdString();
        TWindowRemaker::Remake(main);
    });
    QTimer answer;
    int ticks = 0;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        QMessageBox* box = shownBox();
        // A question that never shows again after its window was made anew
        // is given its answer anyway after a while, so that the test ends.
        if (box == nullptr || (!remade && ++ticks < 50))
            return;
        answer.stop();
        answered = remade;
        box->button(QMessageBox::No)->click();
    });
    remake.start(0);
    answer.start(100);
    PickDocumentPage(document, 2);
    remake.stop();
    answer.stop();

    EXPECT_NE(asked.find("You need to first save this document"), std::string::npos) << asked;
    EXPECT_TRUE(remade);
    EXPECT_TRUE(answered) << "the question ended before it was answered";
    EXPECT_EQ(document->PageControl1->ActivePageIndex(), 0);
    EXPECT_EQ(document->FileName, kUntitled);
    FreeMainWindow();
    SetUserInteraction(&unattended);
}
