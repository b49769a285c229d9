// Where the keyboard goes, on a real X server with real input: the program
// starts with a page, then random chains of its own windows (element
// dialogs, message boxes and each answer, the file dialogs and their
// questions, printing to a file, the two dialogs that hold a web view,
// Special Characters, a floating bar with an edit item, the floating tool
// window, presses on frames, the design view while it loads) are opened
// and closed with key presses and clicks sent through the X server.  After
// every step the keyboard is in the window a user expects (the one
// underneath, else the editor), typing reaches the field focused there,
// Alt+F opens File, and a window that stays on top is above the others.
//
// Run by tests/support/run-on-own-display on an Xvfb of its own, bare and
// under openbox.  The program runs on the main thread; the steps are
// driven from a second one, which sends input through its own X connection
// and reads the program's state through calls queued to the main thread
// (answered inside any modal loop).  ONDRILL_TEST_SEED repeats a chain.

#include "app/EditForm.h"
#include "app/FrameForm.h"
#include "app/Startup.h"
#include "editor/CodeMemo.h"
#include "platform/ui/Application.h"
#include "platform/ui/PageControls.h"
#include "platform/ui/Screen.h"
#include "platform/widgets/WidgetPeer.h"
#include "shell/ShellTree.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/XHands.h"
#include "toolbars/TBDock.h"
#include "toolbars/TBEditItem.h"
#include "toolbars/TBFloatingFrame.h"
#include "toolbars/TBMenuLoop.h"
#include "toolbars/TBView.h"
#include "toolbars/themes/TBKToolbar.h"

#include <gtest/gtest.h>

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTabBar>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <sstream>
#include <thread>

namespace {

using namespace std::chrono_literals;

// ---------------------------------------------------------------------------
// The program's side, read on its own thread.

template <class F>
auto onMain(F f) -> decltype(f()) {
    using R = decltype(f());
    if constexpr (std::is_void_v<R>) {
        QMetaObject::invokeMethod(qApp, f, Qt::BlockingQueuedConnection);
    } else {
        R result{};
        QMetaObject::invokeMethod(qApp, [&] { result = f(); }, Qt::BlockingQueuedConnection);
        return result;
    }
}

bool isOrdinaryWindow(const QWidget* w) {
    const Qt::WindowType kind = w->windowType();
    return w->isVisible() && kind != Qt::Popup && kind != Qt::ToolTip && kind != Qt::SplashScreen;
}

std::vector<QWidget*> shownWindows() {
    std::vector<QWidget*> shown;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (isOrdinaryWindow(w))
            shown.push_back(w);
    return shown;
}

QWidget* windowOf(const TWinControl* control) {
    QWidget* widget = control != nullptr ? ClientWidgetOf(control) : nullptr;
    return widget != nullptr ? widget->window() : nullptr;
}

TEditForm* activeDocument() {
    return frameform != nullptr ? dynamic_cast<TEditForm*>(frameform->ActiveMDIChild()) : nullptr;
}

// The text of the field the keyboard reaches: one of Qt's or the program's.
std::string focusedText() {
    QWidget* focus = QApplication::focusWidget();
    if (auto* line = qobject_cast<QLineEdit*>(focus))
        return line->text().toStdString();
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(focus))
        return spin->text().toStdString();
    if (auto* combo = qobject_cast<QComboBox*>(focus); combo != nullptr && combo->isEditable())
        return combo->currentText().toStdString();
    if (auto* memo = dynamic_cast<TCodeMemo*>(GetFocusControl()))
        return memo->Text();
    return "\x01(no text field has the focus)";
}

bool menuShown() {
    if (TTBMenuLoop::Active() == nullptr)
        return false;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && (w->windowType() == Qt::ToolTip || w->windowType() == Qt::Popup))
            return true;
    return false;
}

std::string describe(const QWidget* w) {
    if (w == nullptr)
        return "none";
    std::string title = w->windowTitle().toStdString();
    return std::string(w->metaObject()->className()) + " \"" + title + "\"";
}

TPoint centreOf(const QWidget* w, QRect r) {
    QPoint p = w->mapToGlobal(r.center());
    return {p.x(), p.y()};
}

// ---------------------------------------------------------------------------
// The chains.

struct TSetUp {
    std::string Folder;
    QPointer<QWidget> Bar;         // the floating bar with the edit item
    TTBEditItem* EditItem = nullptr;
    TTBCustomToolbar* Toolbar = nullptr;
};

class TChains {
public:
    TChains(unsigned seed, TSetUp& setUp) : random_(seed), setUp_(setUp) {}

    // Runs steps until one fails; what failed, or nothing.
    std::string Run(int steps) {
        if (!hands_.Usable())
            return "no X server with the XTest extension";
        if (!waitFor([] { return frameform != nullptr && activeDocument() != nullptr && !Screen().ModalForm(); },
                     60s))
            return "the main window with the page did not come";
        main_ = onMain([] { return QPointer<QWidget>(windowOf(frameform)); });
        onMain([this] { makeFloatingBars(); });
        check("the start with a page");
        const std::vector<std::pair<const char*, std::function<void()>>> actions = {
            {"element dialog", [this] { elementDialog(); }},
            {"save as over a file", [this] { saveAsOverAFile(); }},
            {"print to a file", [this] { printToFile(); }},
            {"DHTML menu", [this] { dhtmlMenu(); }},
            {"table templates", [this] { tableTemplates(); }},
            {"special characters", [this] { specialCharacters(); }},
            {"edit item on a floating bar", [this] { floatingEditItem(); }},
            {"press on a floating frame", [this] { framePress(); }},
            {"floating tool window", [this] { toolWindow(); }},
            {"design view while it loads", [this] { designViewLoading(); }},
            {"new page and its question", [this] { newPageQuestion(); }},
        };
        // ONDRILL_TEST_ONLY="name,name" keeps those steps alone (by hand).
        const char* only = std::getenv("ONDRILL_TEST_ONLY");
        for (int i = 0; i < steps && failure_.empty(); ++i) {
            const auto& [name, act] = actions[random_() % actions.size()];
            if (only != nullptr && std::string(only).find(name) == std::string::npos) {
                --i;
                continue;
            }
            trail_ += std::string(trail_.empty() ? "" : ", ") + name;
            std::fprintf(stderr, "step %d: %s\n", i + 1, name);
            act();
            if (failure_.empty())
                check(name);
        }
        closeSpecialCharacters();
        return failure_.empty() ? std::string() : failure_ + "\n  steps: " + trail_;
    }

private:
    // --- waiting and failing ----------------------------------------------

    template <class P>
    bool waitFor(P ready, std::chrono::seconds limit = 20s) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            if (onMain(ready))
                return true;
            std::this_thread::sleep_for(25ms);
        }
        return onMain(ready);
    }
    void fail(const std::string& what) {
        // ONDRILL_TEST_SHOT=file.png keeps a picture of the screen (by hand).
        if (const char* shot = std::getenv("ONDRILL_TEST_SHOT"); shot != nullptr && failure_.empty())
            std::system(("import -window root " + std::string(shot)).c_str());
        if (failure_.empty())
            failure_ = what + " (" + onMain([] {
                           return "Qt's active window: " + describe(QApplication::activeWindow());
                       }) + "; the X focus " +
                       (hands_.FocusChain().empty() ? "on the root or none" : "on a window") + ")";
    }
    bool ok() const { return failure_.empty(); }

    // --- what the user expects --------------------------------------------

    QWidget* expected() const {
        if (!dialogs_.empty())
            return dialogs_.back();
        if (charsHaveKeyboard_ && chars_)
            return chars_;
        return main_;
    }

    bool keyboardIn(QPointer<QWidget> window) {
        return waitFor([&, this] {
            if (!window || !window->isVisible() || QApplication::activeWindow() != window)
                return false;
            std::vector<unsigned long> chain = hands_.FocusChain();
            return std::find(chain.begin(), chain.end(), window->winId()) != chain.end();
        });
    }
    // Not from the main thread: the X server is asked on the driver's.
    // A dialog opened while Special Characters shows is shown over it (to
    // be seen above it), and gives the keyboard back to it or to the editor.
    bool keyboardInExpected(const std::string& when) {
        QPointer<QWidget> window = expected();
        const bool either = dialogs_.empty() && chars_ && onMain([this] { return chars_ && chars_->isVisible(); });
        auto holds = [&](QPointer<QWidget> w, const std::vector<unsigned long>& chain) {
            return w && w->isVisible() && QApplication::activeWindow() == w &&
                   std::find(chain.begin(), chain.end(), w->winId()) != chain.end();
        };
        const auto end = std::chrono::steady_clock::now() + 20s;
        while (std::chrono::steady_clock::now() < end) {
            std::vector<unsigned long> chain = hands_.FocusChain();
            if (onMain([&] { return holds(window, chain); }))
                return true;
            if (either && onMain([&] { return holds(charsHaveKeyboard_ ? main_ : chars_, chain); })) {
                charsHaveKeyboard_ = !charsHaveKeyboard_;
                return true;
            }
            std::this_thread::sleep_for(25ms);
        }
        fail("after " + when + ": the keyboard is not in " + onMain([&] { return describe(window); }));
        return false;
    }

    // The keyboard in the window expected, typing reaching its field, Alt+F
    // opening File from the main window, stay-on-top windows above.
    void check(const std::string& when) {
        if (!ok() || !keyboardInExpected(when))
            return;
        if (expected() == main_.data()) {
            typeIntoField(when, false);
            if (!ok())
                return;
            hands_.Chord("Alt+F");
            if (!waitFor([] { return menuShown(); }))
                return fail("after " + when + ": Alt+F did not open File" + onMain([] {
                                return std::string(TTBMenuLoop::Active() != nullptr ? " (a menu loop runs" : " (no menu loop")+
                                       ", focus in " + describe(QApplication::focusWidget()) + ")";
                            }));
            for (int i = 0; i < 3 && onMain([] { return TTBMenuLoop::Active() != nullptr; }); ++i) {
                hands_.Chord("Escape");
                waitFor([] { return !menuShown(); }, 2s);
            }
            if (!keyboardInExpected(when + " and File closed"))
                return;
        }
        onTopAbove(when);
    }

    // Types a word into the focused field: it arrives there (replacing the
    // text, where the field came with it selected).
    void typeIntoField(const std::string& when, bool replaces) {
        std::string word;
        for (int i = 0; i < (replaces ? 2 : 5); ++i)
            word += static_cast<char>(replaces ? '1' + random_() % 9 : 'a' + random_() % 26);
        hands_.Type(word);
        std::string seen;
        if (!waitFor([&] {
                seen = focusedText();
                return replaces ? seen == word : seen.find(word) != std::string::npos;
            }))
            fail("after " + when + ": typed \"" + word + "\", the focused field reads \"" + seen.substr(0, 80) + "\"");
    }

    void onTopAbove(const std::string& when) {
        if (!chars_)
            return;
        // The program's windows: the on-top ones (with the windows they
        // own) and the others.
        std::vector<unsigned long> stacking = hands_.Stacking();
        std::vector<std::pair<unsigned long, bool>> windows = onMain([] {
            std::vector<std::pair<unsigned long, bool>> all;
            for (QWidget* w : shownWindows()) {
                bool onTop = false;
                for (QWidget* o = w; o != nullptr; o = o->parentWidget() ? o->parentWidget()->window() : nullptr)
                    onTop = onTop || (o->windowFlags() & Qt::WindowStaysOnTopHint);
                all.emplace_back(w->winId(), onTop);
            }
            return all;
        });
        auto place = [&](unsigned long w) {
            return std::find(stacking.begin(), stacking.end(), hands_.TopOf(w)) - stacking.begin();
        };
        for (auto [top, onTop] : windows)
            for (auto [other, otherOnTop] : windows)
                if (onTop && !otherOnTop && place(top) < place(other))
                    return fail("after " + when + ": a window that stays on top is beneath another of the program's");
    }

    // --- opening and closing ----------------------------------------------

    QPointer<QWidget> opens(const std::function<void()>& act, const std::string& what) {
        std::vector<QWidget*> before = onMain([] { return shownWindows(); });
        act();
        QPointer<QWidget> made;
        if (!waitFor([&] {
                for (QWidget* w : shownWindows())
                    if (std::find(before.begin(), before.end(), w) == before.end())
                        made = w;
                return made != nullptr;
            }))
            fail(what + " did not open");
        return made;
    }
    void closes(QPointer<QWidget> window, const std::string& keys, const std::string& what) {
        hands_.Chord(keys);
        if (!waitFor([&] { return !window || !window->isVisible(); }))
            fail(what + " did not close on " + keys);
    }
    // A dialog opened from where the keyboard is now.
    bool openDialog(const std::function<void()>& act, const std::string& what) {
        QPointer<QWidget> made = opens(act, what);
        if (!made)
            return false;
        dialogs_.push_back(made);
        return keyboardInExpected(what + " opened");
    }
    bool closeDialog(const std::string& keys, const std::string& what) {
        QPointer<QWidget> top = dialogs_.back();
        closes(top, keys, what);
        dialogs_.pop_back();
        return ok() && keyboardInExpected(what + " closed");
    }

    // Where the main window's windows and items are, on the screen.
    TPoint editorPoint() {
        return onMain([] {
            QWidget* w = ClientWidgetOf(activeDocument()->Editor);
            return centreOf(w, QRect(0, 0, w->width() / 2, w->height() / 2));
        });
    }
    // The main window's keys need its keyboard: a click into the editor
    // gives it back from Special Characters.
    bool inEditor() {
        if (!dialogs_.empty())
            return false;
        if (charsHaveKeyboard_) {
            hands_.Click(editorPoint());
            charsHaveKeyboard_ = false;
            return keyboardInExpected("a click into the editor");
        }
        return true;
    }

    // --- the steps ---------------------------------------------------------

    void elementDialog() {
        if (!inEditor())
            return;
        static const char* const keys[] = {"Ctrl+Alt+T", "Ctrl+Alt+L", "Ctrl+Alt+Q", "Ctrl+Alt+Y"};
        const std::string chord = keys[random_() % 4];
        if (!dialogs_.empty() || !openDialog([&] { hands_.Chord(chord); }, "the dialog of " + chord))
            return;
        // The first field comes with its text selected: a number replaces it.
        if (onMain([] { return focusedText()[0] != '\x01'; }))
            typeIntoField("the dialog of " + chord, true);
        if (ok())
            closeDialog("Escape", "the dialog of " + chord);
    }

    // Save As closes before its question comes.
    void saveAsOverAFile() {
        if (!inEditor())
            return;
        if (!openDialog([&] { hands_.Chord("Ctrl+Shift+S"); }, "Save As"))
            return;
        hands_.Chord("Ctrl+A");
        hands_.Type(random_() % 2 ? "one.html" : "two.html");
        QPointer<QWidget> saveAs = dialogs_.back();
        dialogs_.pop_back();
        if (!openDialog([&] { hands_.Chord("Return"); }, "the question whether to overwrite"))
            return;
        if (onMain([&] { return saveAs && saveAs->isVisible(); }))
            return fail("Save As stays under its question");
        closeDialog(random_() % 2 ? "y" : "n", "the question whether to overwrite");
    }

    void printToFile() {
        if (!inEditor())
            return;
        if (!openDialog([&] { hands_.Chord("Ctrl+I"); }, "the question whether to print to a file"))
            return;
        if (random_() % 3 == 0) {
            closeDialog("n", "the question answered No");
            return;
        }
        QPointer<QWidget> question = dialogs_.back();
        dialogs_.pop_back();
        if (!openDialog([&] { hands_.Chord("y"); }, "Print to File"))
            return;
        if (question && onMain([&] { return question && question->isVisible(); }))
            return fail("the question stays over Print to File");
        if (random_() % 2) {
            closeDialog("Escape", "Print to File");
            return;
        }
        // Over a file printed before, the dialog asks first.
        QPointer<QWidget> dialog = dialogs_.back();
        std::vector<QWidget*> before = onMain([] { return shownWindows(); });
        hands_.Chord("Return");
        QPointer<QWidget> replace;
        if (!waitFor([&] {
                for (QWidget* w : shownWindows())
                    if (std::find(before.begin(), before.end(), w) == before.end())
                        replace = w;
                return replace != nullptr || !dialog || !dialog->isVisible();
            }))
            return fail("Print to File did not close on Return");
        if (replace) {
            dialogs_.push_back(replace);
            if (!keyboardInExpected("the question whether to replace the file"))
                return;
            hands_.Chord("y");
            if (!waitFor([&] { return (!dialog || !dialog->isVisible()) && (!replace || !replace->isVisible()); }))
                return fail("Print to File or its question stays after the question answered Yes");
            dialogs_.pop_back();
        }
        dialogs_.pop_back();
        keyboardInExpected("printing to a file");
    }

    void dhtmlMenu() {
        if (!inEditor())
            return;
        if (!openDialog([&] { hands_.Chord("Ctrl+Alt+M"); }, "the DHTML menu dialog"))
            return;
        typeIntoField("the DHTML menu dialog", true);
        if (ok())
            closeDialog("Escape", "the DHTML menu dialog");
    }

    void tableTemplates() {
        if (!inEditor())
            return;
        // Insert, Templates, Tables.
        if (!openDialog(
                [&] {
                    hands_.Chord("Alt+I");
                    waitFor([] { return menuShown(); }, 5s);
                    hands_.Chord("Right");
                    hands_.Chord("Down");
                    hands_.Chord("Return");
                },
                "the table templates"))
            return;
        closeDialog("Escape", "the table templates");
    }

    void specialCharacters() {
        if (!chars_) {
            chars_ = opens([&] { hands_.Chord("Ctrl+Alt+Z"); }, "Special Characters");
            charsHaveKeyboard_ = true;
            return;
        }
        if (charsHaveKeyboard_) {
            closeSpecialCharacters();
            return;
        }
        // A click into the editor; the window stays above.
        hands_.Click(editorPoint());
    }
    void closeSpecialCharacters() {
        if (!chars_ || !ok())
            return;
        // Its Close button.
        hands_.Click(onMain([this] {
            auto* button = dynamic_cast<TWinControl*>(ControlOfObject(chars_)->FindComponent("Button1"));
            QWidget* w = ClientWidgetOf(button);
            return centreOf(w, w->rect());
        }));
        if (!waitFor([this] { return !chars_ || !chars_->isVisible(); }))
            fail("Special Characters did not close on its button");
        chars_ = nullptr;
        charsHaveKeyboard_ = false;
    }

    void floatingEditItem() {
        TPoint at = onMain([this] {
            TTBItemViewer* viewer = setUp_.Toolbar->View()->FindViewerOf(setUp_.EditItem);
            TRect r = viewer->BoundsRect;
            return setUp_.Toolbar->ClientToScreen({(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
        });
        std::string word;
        for (int i = 0; i < 6; ++i)
            word += static_cast<char>('a' + random_() % 26);
        hands_.Click(at);
        std::this_thread::sleep_for(100ms);
        hands_.Type(word);
        hands_.Chord("Return");
        std::string text;
        if (!waitFor([&] {
                text = setUp_.EditItem->Text();
                return text == word;
            }))
            return fail("the edit item on a floating bar took \"" + text + "\" of \"" + word + "\", the editor " +
                        (onMain([&] { return focusedText().find(word) != std::string::npos; }) ? "got it"
                                                                                               : "did not get it"));
        charsHaveKeyboard_ = false;
    }

    void framePress() {
        hands_.Click(onMain([this] {
            QWidget* frame = setUp_.Bar;
            return TPoint{frame->x() + frame->width() / 2, frame->y() + 6};
        }));
        charsHaveKeyboard_ = false;
    }

    void toolWindow() {
        if (!dialogs_.empty())
            return;
        QPointer<QWidget> tools = onMain([] { return QPointer<QWidget>(windowOf(frameform->ToolsToolWindow)); });
        hands_.Click(onMain([] {
            QWidget* tree = ClientWidgetOf(frameform->shTree);
            return centreOf(tree, QRect(0, 0, tree->width(), 20));
        }));
        if (!keyboardIn(tools))
            return fail("a click into the floating tool window's tree left the keyboard elsewhere");
        hands_.Chord("Escape");
        charsHaveKeyboard_ = false;
    }

    void designViewLoading() {
        if (!inEditor())
            return;
        hands_.Click(documentTab(1));
        std::this_thread::sleep_for(std::chrono::milliseconds(random_() % 1500));
        hands_.Chord("Alt+F");
        if (!waitFor([] { return menuShown(); }))
            return fail("Alt+F did not open File while the design view loads");
        for (int i = 0; i < 3 && onMain([] { return TTBMenuLoop::Active() != nullptr; }); ++i) {
            hands_.Chord("Escape");
            waitFor([] { return !menuShown(); }, 2s);
        }
        backToSource();
        charsHaveKeyboard_ = false;
    }

    // The document's tabs: Edit, Design, Preview.
    TPoint documentTab(int index) {
        return onMain([index] {
            for (QTabBar* bar : ClientWidgetOf(activeDocument())->findChildren<QTabBar*>())
                if (bar->count() == 3 && bar->isVisible())
                    return centreOf(bar, bar->tabRect(index));
            return TPoint{0, 0};
        });
    }
    // Back to the source, once the design view lets it go.
    void backToSource() {
        for (int i = 0; i < 20 && onMain([] { return activeDocument()->PageControl1->ActivePageIndex() != 0; }); ++i) {
            hands_.Click(documentTab(0));
            waitFor([] { return activeDocument()->PageControl1->ActivePageIndex() == 0; }, 1s);
        }
    }

    // A new page, typed into, then closed or previewed: the question
    // whether to save it answered each way.
    void newPageQuestion() {
        if (!inEditor())
            return;
        const int pages = onMain([] { return frameform->MDIChildCount(); });
        hands_.Chord("Ctrl+Shift+N");
        if (!waitFor([pages] { return frameform->MDIChildCount() > pages; }))
            return fail("Ctrl+Shift+N made no page");
        charsHaveKeyboard_ = false;
        if (!keyboardInExpected("a new page"))
            return;
        typeIntoField("a new page", false);
        const bool preview = random_() % 2;
        if (!ok() || !openDialog([&] { preview ? hands_.Click(documentTab(2)) : hands_.Chord("Ctrl+F4"); },
                                 "the question whether to save the page"))
            return;
        switch (random_() % 3) {
        case 0:
            closeDialog("Escape", "the question answered Cancel");
            break;
        case 1:
            closeDialog("n", "the question answered No");
            break;
        default: {
            QPointer<QWidget> question = dialogs_.back();
            dialogs_.pop_back();
            if (!openDialog([&] { hands_.Chord("y"); }, "Save As after the question"))
                return;
            if (onMain([&] { return question && question->isVisible(); }))
                return fail("the question stays over Save As");
            closeDialog("Escape", "Save As after the question");
        }
        }
        if (ok() && preview && onMain([] { return activeDocument() != nullptr; }))
            backToSource();
    }

    // A floating bar of the test's own over the main window, with an edit
    // item.
    void makeFloatingBars() {
        auto* bar = new TTBKToolbar(frameform);
        bar->SetCaption("Typing");
        bar->SetCurrentDock(frameform->maindock);
        auto* edit = new TTBEditItem(frameform);
        edit->SetEditWidth(120);
        bar->Items()->Add(edit);
        bar->SetFloating(true);
        bar->SetVisible(true);
        frameform->ToolsToolWindow->SetFloating(true);
        frameform->toolsPgCtl->SetActivePageIndex(1);
        Application().ProcessMessages();
        setUp_.Toolbar = bar;
        setUp_.EditItem = edit;
        setUp_.Bar = windowOf(bar->FloatingFrame());
        // Out of the way of each other and of the editor's middle.
        setUp_.Bar->move(main_->x() + 60, main_->y() + main_->height() - 120);
        QWidget* tools = windowOf(frameform->ToolsToolWindow->FloatingFrame());
        tools->move(main_->x() + main_->width() - tools->width() - 20, main_->y() + 120);
    }

    std::mt19937 random_;
    TSetUp& setUp_;
    TXHands hands_;
    QPointer<QWidget> main_;
    std::vector<QPointer<QWidget>> dialogs_;
    QPointer<QWidget> chars_;
    bool charsHaveKeyboard_ = false;
    std::string failure_;
    std::string trail_;
};

int testArgc = 1;
char testName[] = "app_keyboard_home_tests";
char* testArgv[] = {testName, nullptr};

TEST(KeyboardHome, RandomChainsOfTheProgramsWindowsBringTheKeyboardHome) {
    const char* given = std::getenv("ONDRILL_TEST_SEED");
    const unsigned seed = given != nullptr ? static_cast<unsigned>(std::strtoul(given, nullptr, 10))
                                           : static_cast<unsigned>(std::random_device{}());
    // Told first, so that a crash or a hang names it too.
    std::fprintf(stderr, "seed %u (ONDRILL_TEST_SEED repeats it)\n", seed);
    TTestProgramFolder program;
    for (const char* name : {"page.html", "one.html", "two.html"})
        TTestProgramFolder::WriteFileBytes(program.File(name),
                                           "<html><head><title>A page</title></head>\n<body>\n<p>Some text.</p>\n"
                                           "</body></html>\n");
    {
        TXHands hands;
        ASSERT_TRUE(hands.Usable()) << "needs an X server with XTest (tests/support/run-on-own-display)";
        const bool managed = std::getenv("ONDRILL_WINDOW_MANAGER") != nullptr &&
                             *std::getenv("ONDRILL_WINDOW_MANAGER") != '\0';
        for (int i = 0; i < 600 && managed && !hands.WindowManagerRuns(); ++i)
            std::this_thread::sleep_for(50ms);
        ASSERT_EQ(hands.WindowManagerRuns(), managed);
    }
    Application().Initialize(testArgc, testArgv);
    TSetUp setUp;
    setUp.Folder = program.Folder().Path().string();
    // An untitled page's Save As and Print to File start in the working
    // folder: the test's own, where one.html and two.html are to be found
    // and where its files are written.
    std::filesystem::current_path(program.Folder().Path());
    std::string failure;
    std::thread driver([&] {
        failure = TChains(seed, setUp).Run(std::getenv("ONDRILL_TEST_STEPS") != nullptr
                                               ? std::atoi(std::getenv("ONDRILL_TEST_STEPS"))
                                               : 24);
        if (!failure.empty())
            std::fprintf(stderr, "%s\nseed %u\n", failure.c_str(), seed);
        // The program ends without its questions.
        onMain([&] {
            delete setUp.Toolbar;
            while (frameform->MDIChildCount() > 0) {
                TCustomForm* document = frameform->MDIChildren(frameform->MDIChildCount() - 1);
                document->BeforeDestruction();
                delete document;
            }
            Application().Terminate();
        });
    });
    RunGuarded([&] { StartUp({program.File("page.html")}, program.Folder().Path().string()); });
    Application().Run();
    driver.join();
    EXPECT_EQ(failure, "") << "seed " << seed << " (ONDRILL_TEST_SEED=" << seed << " repeats it)";
}

} // namespace
