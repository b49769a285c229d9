// A handler may free the form its control sits on, in any event of a
// user's action: the events after it never run, nothing reaches the freed
// control, and its window goes once Qt is done with it.  For each control
// with a window of its own, the action's events are first recorded
// undisturbed; then, for each of them in turn, a fresh form is freed by
// that event's handler and only the events up to it may have run.

#include "platform/ui/ButtonControls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/NonClientFrame.h"
#include "platform/ui/NonClientMouse.h"
#include "platform/ui/ListControls.h"
#include "platform/ui/ListView.h"
#include "platform/ui/PageControls.h"
#include "platform/ui/SpinEdit.h"
#include "platform/ui/TextControls.h"
#include "platform/ui/TreeView.h"
#include "tests/platform/controls/ControlsTestSupport.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QListView>
#include <QPointer>
#include <QSpinBox>
#include <QTabBar>
#include <QTreeView>
#include <QWheelEvent>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>

namespace {

// One trial: the events in the order they ran, and the one whose handler
// frees the form ("" for none).
struct TTrial {
    std::string FreeAt;
    std::vector<std::string> Ran;
    TWinControl* Form = nullptr;
    bool Freed = false;
    // The control's window, and whether it was out of sight (hidden, or
    // gone) as soon as the form was freed.
    QPointer<QWidget> Window;
    bool HiddenAtFree = false;
    // Only the events of the user's action count (not those of the form
    // being shown and activated first).
    bool Acting = false;

    // Notes an event; frees the form when it is the chosen one, and then
    // answers true.
    bool Run(const std::string& event) {
        if (!Acting)
            return false;
        Ran.push_back(Freed ? event + " after the free" : event);
        if (event != FreeAt || Freed)
            return false;
        Freed = true;
        delete Form;
        HiddenAtFree = Window.isNull() || Window->isHidden();
        return true;
    }
    // A handler of any signature that runs its event.
    auto Note(const std::string& event) {
        return [this, event](auto&&...) { Run(event); };
    }
};

// A control on a shown form, its events noted by the trial, and what the
// user does to it.
struct TCase {
    const char* Name;
    // Makes the control on the form, hooks its events, and returns it.
    std::function<TWinControl*(TTrial&)> Make;
    std::function<void(TWinControl&, QWidget& window)> Act;
    // The form (a plain panel when empty), and the Qt widget the action
    // goes to (the standard control's widget when empty).
    std::function<TWinControl*(TTrial&)> Host = {};
    std::function<QWidget*(TWinControl&)> Window = {};
};

template <class TControl>
TControl* place(TTrial& trial, TRect bounds = Bounds(10, 10, 160, 120)) {
    auto* control = new TControl(trial.Form);
    control->SetParent(trial.Form);
    control->SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
    control->OnMouseDown = trial.Note("OnMouseDown");
    control->OnMouseUp = trial.Note("OnMouseUp");
    control->OnClick = trial.Note("OnClick");
    control->OnKeyDown = trial.Note("OnKeyDown");
    control->OnKeyPress = trial.Note("OnKeyPress");
    control->OnKeyUp = trial.Note("OnKeyUp");
    return control;
}

void clickCentre(QWidget& window) { QTest::mouseClick(&window, Qt::LeftButton, {}, window.rect().center()); }

// A check box or radio button takes clicks on its mark and caption only.
void clickMark(QWidget& window) { QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(8, window.height() / 2)); }

void typeInto(TWinControl& control, QWidget& window, Qt::Key key) {
    control.SetFocus();
    QTest::keyClick(&window, key);
}

std::vector<TCase> cases() {
    return {
        {"button", [](TTrial& t) { return place<TButton>(t); },
         [](TWinControl&, QWidget& w) { clickCentre(w); }},
        {"check box", [](TTrial& t) { return place<TCheckBox>(t); },
         [](TWinControl&, QWidget& w) { clickMark(w); }},
        {"radio button", [](TTrial& t) { return place<TRadioButton>(t); },
         [](TWinControl&, QWidget& w) { clickMark(w); }},
        {"edit", [](TTrial& t) {
             auto* edit = place<TEdit>(t);
             edit->OnChange = t.Note("OnChange");
             return edit;
         },
         [](TWinControl& c, QWidget& w) { typeInto(c, w, Qt::Key_A); }},
        {"memo", [](TTrial& t) {
             auto* memo = place<TMemo>(t);
             memo->OnChange = t.Note("OnChange");
             return memo;
         },
         [](TWinControl& c, QWidget& w) { typeInto(c, w, Qt::Key_A); }},
        {"spin edit", [](TTrial& t) {
             auto* spin = place<TSpinEdit>(t);
             spin->SetMaxValue(10);
             spin->OnChange = t.Note("OnChange");
             return spin;
         },
         [](TWinControl& c, QWidget& w) { typeInto(c, w, Qt::Key_Up); }},
        {"combo box", [](TTrial& t) {
             auto* combo = place<TComboBox>(t);
             combo->Items().SetText("red\r\ngreen\r\n");
             combo->OnChange = t.Note("OnChange");
             combo->OnSelect = t.Note("OnSelect");
             return combo;
         },
         [](TWinControl& c, QWidget& w) { typeInto(c, w, Qt::Key_Down); }},
        {"list box", [](TTrial& t) {
             auto* list = place<TListBox>(t);
             list->Items().SetText("one\r\ntwo\r\nthree\r\n");
             return list;
         },
         [](TWinControl& c, QWidget& w) {
             auto& list = static_cast<TListBox&>(c);
             const TRect item = list.ItemRect(1);
             auto* view = qobject_cast<QListView*>(&w);
             QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                               QPoint((item.Left + item.Right) / 2, (item.Top + item.Bottom) / 2));
         }},
        {"tree view", [](TTrial& t) {
             auto* tree = place<TTreeView>(t);
             tree->Items().Add(nullptr, "first");
             tree->Items().Add(nullptr, "second");
             tree->OnChanging = t.Note("OnChanging");
             tree->OnChange = t.Note("OnChange");
             return tree;
         },
         [](TWinControl& c, QWidget& w) {
             const TRect node = static_cast<TTreeView&>(c).Items().TopLevelItem(1)->DisplayRect(true);
             auto* view = qobject_cast<QTreeView*>(&w);
             QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                               QPoint(node.Left + 2, (node.Top + node.Bottom) / 2));
         }},
        {"list view", [](TTrial& t) {
             auto* list = place<TListView>(t);
             list->SetViewStyle(vsReport);
             list->Columns().Add()->SetWidth(120);
             for (const char* caption : {"first", "second"})
                 list->Items().Add()->SetCaption(caption);
             list->OnSelectItem = t.Note("OnSelectItem");
             return list;
         },
         [](TWinControl&, QWidget& w) {
             auto* view = qobject_cast<QTreeView*>(&w);
             QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                               view->visualRect(view->model()->index(1, 0)).center());
         }},
        {"page control", [](TTrial& t) {
             auto* pages = place<TPageControl>(t);
             for (const char* caption : {"one", "two"}) {
                 auto* sheet = new TTabSheet(t.Form);
                 sheet->SetCaption(caption);
                 sheet->SetPageControl(pages);
             }
             pages->OnChanging = t.Note("OnChanging");
             pages->OnChange = t.Note("OnChange");
             return pages;
         },
         [](TWinControl&, QWidget& w) {
             QTabBar* row = w.findChild<QTabBar*>();
             QTest::mouseClick(row, Qt::LeftButton, {}, row->tabRect(1).center());
         }},
        {"tab control", [](TTrial& t) {
             auto* tabs = place<TTabControl>(t);
             tabs->Tabs().SetText("one\r\ntwo\r\n");
             tabs->OnChanging = t.Note("OnChanging");
             tabs->OnChange = t.Note("OnChange");
             return tabs;
         },
         [](TWinControl&, QWidget& w) {
             QTabBar* row = w.findChild<QTabBar*>();
             QTest::mouseClick(row, Qt::LeftButton, {}, row->tabRect(1).center());
         }},
    };
}

// The messages of a user's action that a window painting itself hands on
// to its control, by name; nullptr for the others.
const char* inputMessageName(const TMessage& message) {
    switch (message.Msg) {
    case WM_LBUTTONDOWN: return "WM_LBUTTONDOWN";
    case WM_LBUTTONUP: return "WM_LBUTTONUP";
    case WM_LBUTTONDBLCLK: return "WM_LBUTTONDBLCLK";
    case WM_RBUTTONUP: return "WM_RBUTTONUP";
    case WM_CONTEXTMENU: return "WM_CONTEXTMENU";
    case WM_MOUSEWHEEL: return "WM_MOUSEWHEEL";
    case WM_KEYDOWN: return "WM_KEYDOWN";
    case WM_CHAR: return "WM_CHAR";
    case WM_KEYUP: return "WM_KEYUP";
    case WM_ERASEBKGND: return "WM_ERASEBKGND";
    case WM_PAINT: return "WM_PAINT";
    case WM_SETFOCUS: return "WM_SETFOCUS";
    case WM_KILLFOCUS: return "WM_KILLFOCUS";
    case WM_ACTIVATE: return LOWORD(message.WParam) == WA_INACTIVE ? "WM_ACTIVATE inactive" : "WM_ACTIVATE";
    case WM_CLOSE: return "WM_CLOSE";
    case WM_NCHITTEST: return "WM_NCHITTEST";
    case WM_NCLBUTTONDOWN: return "WM_NCLBUTTONDOWN";
    case WM_NCLBUTTONUP: return "WM_NCLBUTTONUP";
    case WM_NCPAINT: return "WM_NCPAINT";
    default: return nullptr;
    }
}

// A window that paints itself (a panel, or a form), whose input messages
// are events of the trial: the one that frees the form never reaches the
// control's handling.
template <class TBase>
class TProbe : public TBase {
public:
    TProbe(TComponent* owner, TTrial& trial) : TBase(owner), trial_(trial) { this->SetTabStop(true); }
    void WndProc(TMessage& message) override {
        const char* name = inputMessageName(message);
        if (name != nullptr && trial_.Run(name))
            return; // freed, with the form
        TBase::WndProc(message);
    }

private:
    TTrial& trial_;
};

// A panel with a frame of its own, 8 pixels wide, that it hit-tests.
class TFramedProbe : public TProbe<TPanel> {
public:
    using TProbe::TProbe;

protected:
    void CreateParams(TCreateParams& params) override {
        TProbe::CreateParams(params);
        params.Kind = std::string(wk::NonClientFramed);
    }
    void Dispatch(TMessage& message) override {
        if (message.Msg == WM_NCCALCSIZE) {
            auto* rect = reinterpret_cast<TRect*>(message.LParam);
            *rect = TRect{rect->Left + 8, rect->Top + 8, rect->Right - 8, rect->Bottom - 8};
            return;
        }
        if (message.Msg == WM_NCHITTEST) {
            message.Result = HTBOTTOMRIGHT + 1; // a part of its own
            return;
        }
        TProbe::Dispatch(message);
    }
};

template <class TPanelKind = TProbe<TPanel>>
TWinControl* placeProbe(TTrial& trial) {
    auto* probe = new TPanelKind(trial.Form, trial);
    probe->SetParent(trial.Form);
    probe->SetBounds(10, 10, 160, 120);
    probe->OnClick = trial.Note("OnClick");
    probe->OnDblClick = trial.Note("OnDblClick");
    probe->OnEnter = trial.Note("OnEnter");
    probe->OnExit = trial.Note("OnExit");
    return probe;
}

// The first control is the probe; a second one takes the focus from it.
TWinControl* placeProbeAndNeighbour(TTrial& trial) {
    TWinControl* probe = placeProbe<>(trial);
    auto* neighbour = new TPanel(trial.Form);
    neighbour->SetParent(trial.Form);
    neighbour->SetBounds(180, 10, 30, 30);
    neighbour->SetTabStop(true);
    return probe;
}

TWinControl* makeProbeForm(TTrial& trial) {
    auto* form = new TProbe<TForm>(nullptr, trial);
    form->OnActivate = trial.Note("OnActivate");
    form->OnDeactivate = trial.Note("OnDeactivate");
    form->OnCloseQuery = trial.Note("OnCloseQuery");
    form->OnClose = trial.Note("OnClose");
    form->SetBounds(30, 30, 220, 180);
    form->Show();
    return form;
}

TPeerWidget* peerWidgetOf(TWinControl& control) {
    auto* peer = dynamic_cast<TWidgetPeer*>(control.Peer());
    return peer != nullptr ? peer->Widget() : nullptr;
}

QWidget& clientOf(QWidget& window) { return *static_cast<TPeerWidget&>(window).viewport(); }

void turnWheel(QWidget& client) {
    const QPointF at = client.rect().center();
    QWheelEvent wheel(at, client.mapToGlobal(at), {}, QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&client, &wheel);
}

// Another window takes the activation, and then the form's own takes it back.
void activateAway(QWidget& window) {
    QWidget other;
    other.setGeometry(300, 300, 40, 40);
    other.show();
    other.activateWindow();
    QApplication::processEvents();
    window.activateWindow();
    QApplication::processEvents();
}

std::vector<TCase> customDrawnCases() {
    const auto peer = [](TWinControl& c) -> QWidget* { return peerWidgetOf(c); };
    const auto self = [](TTrial& t) { return t.Form; };
    return {
        {"framed panel click", placeProbe<TFramedProbe>,
         [](TWinControl&, QWidget& w) { QTest::mouseClick(&w, Qt::LeftButton, {}, QPoint(3, 3)); }, {}, peer},
        {"framed panel paint", placeProbe<TFramedProbe>, [](TWinControl&, QWidget& w) { w.repaint(); }, {}, peer},
        {"panel click", placeProbe<>, [](TWinControl&, QWidget& w) { clickCentre(clientOf(w)); }, {}, peer},
        {"panel right click", placeProbe<>,
         [](TWinControl&, QWidget& w) {
             QTest::mouseClick(&clientOf(w), Qt::RightButton, {}, clientOf(w).rect().center());
         },
         {}, peer},
        {"panel double click", placeProbe<>,
         [](TWinControl&, QWidget& w) { DoubleClick(&clientOf(w), clientOf(w).rect().center()); }, {}, peer},
        {"panel key", placeProbe<>, [](TWinControl& c, QWidget& w) { typeInto(c, w, Qt::Key_A); }, {}, peer},
        {"panel wheel", placeProbe<>, [](TWinControl&, QWidget& w) { turnWheel(clientOf(w)); }, {}, peer},
        {"panel paint", placeProbe<>, [](TWinControl&, QWidget& w) { clientOf(w).repaint(); }, {}, peer},
        {"panel focus", placeProbeAndNeighbour,
         [](TWinControl& c, QWidget& w) {
             QPointer<TPeerWidget> window = &static_cast<TPeerWidget&>(w);
             auto* neighbour = static_cast<TWinControl*>(c.Parent()->Controls(1));
             c.SetFocus();
             QApplication::processEvents();
             // Freed by its focus, the form has no focus left to lose.
             if (window && !window->isHidden())
                 neighbour->SetFocus();
         },
         {}, peer},
        {"form click", self, [](TWinControl&, QWidget& w) { clickCentre(clientOf(w)); }, makeProbeForm, peer},
        {"form key", self, [](TWinControl&, QWidget& w) { QTest::keyClick(&w, Qt::Key_A); }, makeProbeForm, peer},
        {"form paint", self, [](TWinControl&, QWidget& w) { clientOf(w).repaint(); }, makeProbeForm, peer},
        {"form activation", self, [](TWinControl&, QWidget& w) { activateAway(w); }, makeProbeForm, peer},
        {"form close", self, [](TWinControl&, QWidget& w) { w.close(); }, makeProbeForm, peer},
    };
}

// Runs the case's action on a fresh form; returns the events that ran.
std::vector<std::string> runTrial(const TCase& subject, const std::string& freeAt, bool& windowGone,
                                  bool* hiddenAtFree = nullptr) {
    TTrial trial;
    trial.FreeAt = freeAt;
    trial.Form = subject.Host ? subject.Host(trial) : new TPanel;
    trial.Form->SetBounds(30, 30, 220, 180);
    trial.Form->Show();
    TWinControl* control = subject.Make(trial);
    QApplication::processEvents();
    QPointer<QWidget> window = subject.Window ? subject.Window(*control) : WidgetOf(*control);
    if (window.isNull()) {
        ADD_FAILURE() << subject.Name << " has no window";
        delete trial.Form;
        return {};
    }
    trial.Window = window;
    trial.Acting = true;
    subject.Act(*control, *window);
    QApplication::processEvents();
    trial.Acting = false;
    if (!trial.Freed)
        delete trial.Form;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    windowGone = window.isNull();
    if (hiddenAtFree != nullptr)
        *hiddenAtFree = trial.HiddenAtFree;
    return trial.Ran;
}

// Frees a fresh form from each event the case's action runs in turn.
void checkEveryEvent(const std::vector<TCase>& subjects) {
    for (const TCase& subject : subjects) {
        bool gone = false;
        const std::vector<std::string> undisturbed = runTrial(subject, "", gone);
        ASSERT_FALSE(undisturbed.empty()) << subject.Name << ": the action ran no event";
        for (size_t k = 0; k < undisturbed.size(); ++k) {
            // An event that ran twice undisturbed is freed at its first run.
            if (std::find(undisturbed.begin(), undisturbed.begin() + static_cast<long>(k), undisturbed[k]) !=
                undisturbed.begin() + static_cast<long>(k))
                continue;
            const std::vector<std::string> expected(undisturbed.begin(), undisturbed.begin() + static_cast<long>(k) + 1);
            bool windowGone = false, hidden = false;
            EXPECT_EQ(runTrial(subject, undisturbed[k], windowGone, &hidden), expected)
                << subject.Name << ", freed by " << undisturbed[k];
            EXPECT_TRUE(windowGone) << subject.Name << ", freed by " << undisturbed[k];
            EXPECT_TRUE(hidden) << subject.Name << ", freed by " << undisturbed[k] << ": still showing";
        }
    }
}

TEST(FreedOwner, EventsAfterTheHandlerThatFreesTheFormNeverRun) { checkEveryEvent(cases()); }

// The same for windows the program paints itself: a panel on the form, and
// the form itself (its activation and its closing too).
TEST(FreedOwner, CustomDrawnWindowFreedFromItsOwnEventGoesOnceQtIsDone) { checkEveryEvent(customDrawnCases()); }

} // namespace
