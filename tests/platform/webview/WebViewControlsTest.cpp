// The web-view controls on real windows (offscreen, the real engine), and
// the fakes held to the same rules as the real design view.

#include "platform/ui/FormBuilder.h"
#include "platform/webview/DHTMLEdit.h"
#include "platform/webview/ScriptCall.h"
#include "platform/webview/WebBrowser.h"
#include "platform/webview/WebViewProperties.h"
#include "tests/platform/base/TempFolder.h"
#include "tests/platform/ui/RandomForms.h"
#include "tests/platform/webview/FakeWebViews.h"
#include "tests/platform/webview/WebEngineTestApp.h"
#include "tests/platform/widgets/WidgetTestApp.h"

#include <QImage>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

using namespace std::chrono_literals;

namespace {

// A shown top-level window to put controls into.
std::unique_ptr<TCustomControl> makeHost() {
    auto host = std::make_unique<TCustomControl>();
    host->SetBounds(0, 0, 640, 480);
    host->Show();
    return host;
}

QWebEnginePage& pageOf(TWinControl& control) {
    auto* view = ClientWidgetOf(&control)->findChild<QWebEngineView*>();
    EXPECT_NE(view, nullptr);
    return *view->page();
}

QVariant evaluate(TWinControl& control, const char* script) {
    return RunScriptAndWait(pageOf(control), QString::fromUtf8(script), 60s, "no answer");
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// A page's text with its tags left out: where the engine closes an
// element is its own affair.
std::string withoutTags(const std::string& html) {
    std::string text;
    bool inTag = false;
    for (char c : html) {
        if (c == '<' || c == '>')
            inTag = c == '<';
        else if (!inTag)
            text += c;
    }
    return text;
}

// A design view and what the test does to let it work.
struct TDesignViewSubject {
    virtual ~TDesignViewSubject() = default;
    virtual TDesignView& View() = 0;
    // Returns once the load in progress has completed.
    virtual void LetLoadComplete() = 0;
    // Makes the page stop answering and reads.
    virtual void ReadHungPage() = 0;
    // The user types " edited" at the end of the page.
    virtual void TypeIntoPage() = 0;
    // The user undoes the last typing in the page.
    virtual void UndoInPage() = 0;
    int Completions = 0;
    // What the completion handler read of the page each time.
    std::vector<std::string> ReadOnCompletion;
};

struct TFakeSubject : TDesignViewSubject {
    TFakeDesignView fake;
    TDesignView& View() override { return fake; }
    void LetLoadComplete() override { fake.CompleteLoad(); }
    void ReadHungPage() override {
        fake.Hung = true;
        fake.DocumentHTML();
    }
    void TypeIntoPage() override {
        typedOver.push_back(fake.Page);
        fake.UserEdits(fake.Page + " edited");
    }
    void UndoInPage() override {
        fake.UserEdits(typedOver.back());
        typedOver.pop_back();
    }
    std::vector<std::string> typedOver;
};

struct TRealSubject : TDesignViewSubject {
    std::unique_ptr<TCustomControl> host = makeHost();
    TDHTMLEdit edit;
    // Reads wait long enough for a loaded machine; only the hung page is
    // read with a short timeout.
    TRealSubject() {
        edit.SetParent(host.get());
        edit.SetReadTimeout(kPatientRead);
    }
    static constexpr int kPatientRead = 60000;
    TDesignView& View() override { return edit; }
    void LetLoadComplete() override {
        const int awaited = Completions + 1;
        ASSERT_TRUE(WaitFor([&] { return Completions >= awaited; }));
    }
    void ReadHungPage() override {
        pageOf(edit).runJavaScript(QStringLiteral("for (;;) {}"),
                                   QWebEngineScript::ApplicationWorld);
        edit.SetReadTimeout(200);
        struct TRestore {
            TDHTMLEdit& edit;
            ~TRestore() { edit.SetReadTimeout(kPatientRead); }
        } restore{edit};
        edit.DocumentHTML();
    }
    void TypeIntoPage() override {
        ASSERT_TRUE(evaluate(edit, R"((function () {
          var range = document.createRange();
          range.selectNodeContents(document.body);
          range.collapse(false);
          getSelection().removeAllRanges();
          getSelection().addRange(range);
          return document.execCommand('insertText', false, ' edited');
        })())")
                        .toBool());
    }
    void UndoInPage() override { ASSERT_TRUE(evaluate(edit, "document.execCommand('undo')").toBool()); }
};

std::unique_ptr<TDesignViewSubject> makeSubject(bool real) {
    if (real)
        return std::make_unique<TRealSubject>();
    return std::make_unique<TFakeSubject>();
}

class DesignViewContract : public ::testing::TestWithParam<bool> {};

} // namespace

// The rules code using a design view relies on, on the fake and on the
// real control alike.
TEST_P(DesignViewContract, ReadsLoadsCompletionsEditsAndAHungPage) {
    auto subject = makeSubject(GetParam());
    TDesignView& view = subject->View();
    // The completion's handler may read the page.
    view.OnDocumentComplete = [&](TPersistent*) {
        ++subject->Completions;
        subject->ReadOnCompletion.push_back(view.DocumentHTML());
    };

    // A load completes on its own; the page is not edited until the user
    // types into it.
    view.SetDocumentHTML("<P>alpha</P>");
    view.SetBaseURL("file:///tmp/");
    EXPECT_FALSE(view.Edited());
    ASSERT_NO_FATAL_FAILURE(subject->LetLoadComplete());
    EXPECT_EQ(subject->Completions, 1);
    EXPECT_TRUE(contains(view.DocumentHTML(), "alpha</"));
    EXPECT_FALSE(view.Edited());
    ASSERT_NO_FATAL_FAILURE(subject->TypeIntoPage());
    EXPECT_TRUE(view.Edited());
    EXPECT_TRUE(contains(view.DocumentHTML(), " edited"));

    // Two documents set together: one load, one completion, the second
    // wins; a read waits for the load, which completes meanwhile.
    view.SetDocumentHTML("<P>beta</P>");
    view.SetDocumentHTML("<P>gamma</P>");
    EXPECT_TRUE(contains(view.DocumentHTML(), "gamma</"));
    EXPECT_EQ(subject->Completions, 2);
    EXPECT_FALSE(contains(view.DocumentHTML(), "beta"));
    EXPECT_FALSE(view.Edited());

    // A page that stops answering raises; the next document answers.
    EXPECT_THROW(subject->ReadHungPage(), EWebViewError);
    view.SetDocumentHTML("<P>delta</P>");
    ASSERT_NO_FATAL_FAILURE(subject->LetLoadComplete());
    EXPECT_TRUE(contains(view.DocumentHTML(), "delta</"));
    QCoreApplication::processEvents();
    EXPECT_EQ(subject->Completions, 3);
    ASSERT_EQ(subject->ReadOnCompletion.size(), 3u);
    for (const char* text : {"alpha</", "gamma</", "delta</"})
        EXPECT_TRUE(contains(subject->ReadOnCompletion[0] + subject->ReadOnCompletion[1] +
                                 subject->ReadOnCompletion[2],
                             text));
}

// Markup put into the page goes where the user's caret is (the end of the
// body when the page has none yet), counts as an edit, keeps the
// document's encoding, and waits for a document still loading.
TEST_P(DesignViewContract, MarkupGoesInAtTheUsersCaretAsAnEdit) {
    auto subject = makeSubject(GetParam());
    TDesignView& view = subject->View();
    view.OnDocumentComplete = [&](TPersistent*) { ++subject->Completions; };
    view.SetTextEncoding(teUtf8);
    view.SetDocumentHTML("<P>alpha</P>");
    ASSERT_NO_FATAL_FAILURE(subject->LetLoadComplete());
    EXPECT_FALSE(view.Edited());

    // No caret in the page yet: the markup follows what the body holds.
    const std::string accented = "caf\xC3\xA9 \xE4\xB8\xAD";
    ASSERT_TRUE(view.InsertHTML("<B>" + accented + "</B>"));
    EXPECT_TRUE(view.Edited());
    std::string html = view.DocumentHTML();
    const size_t alpha = html.find("alpha");
    const size_t inserted = html.find(accented + "</");
    ASSERT_NE(alpha, std::string::npos) << html;
    ASSERT_NE(inserted, std::string::npos) << "the UTF-8 came back otherwise: " << html;
    EXPECT_LT(alpha, inserted);

    // After the user's typing, at the caret the typing left.
    ASSERT_NO_FATAL_FAILURE(subject->TypeIntoPage());
    ASSERT_TRUE(view.InsertHTML("&lt;x&gt;"));
    html = view.DocumentHTML();
    EXPECT_TRUE(contains(withoutTags(html), " edited&lt;x&gt;")) << html;

    // A document still loading is waited for, and takes the markup.
    view.SetDocumentHTML("<P>beta</P>");
    ASSERT_TRUE(view.InsertHTML("gamma"));
    EXPECT_EQ(subject->Completions, 2);
    html = view.DocumentHTML();
    EXPECT_TRUE(contains(html, "beta") && contains(html, "gamma")) << html;
    EXPECT_TRUE(view.Edited());
}

// Typing undone in the page leaves it as it loaded: no edit; typing again
// is one.
TEST_P(DesignViewContract, AnEditUndoneInThePageIsNoEdit) {
    auto subject = makeSubject(GetParam());
    TDesignView& view = subject->View();
    view.OnDocumentComplete = [&](TPersistent*) { ++subject->Completions; };
    view.SetDocumentHTML("<P>alpha</P><TABLE><TR><TD>cell</TD></TR></TABLE>");
    ASSERT_NO_FATAL_FAILURE(subject->LetLoadComplete());
    const std::string loaded = view.DocumentHTML();
    ASSERT_NO_FATAL_FAILURE(subject->TypeIntoPage());
    EXPECT_TRUE(view.Edited());
    ASSERT_NO_FATAL_FAILURE(subject->UndoInPage());
    EXPECT_FALSE(view.Edited());
    EXPECT_EQ(view.DocumentHTML(), loaded);
    ASSERT_NO_FATAL_FAILURE(subject->TypeIntoPage());
    EXPECT_TRUE(view.Edited());
    EXPECT_TRUE(contains(view.DocumentHTML(), "edited"));
}

INSTANTIATE_TEST_SUITE_P(FakeAndReal, DesignViewContract, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "RealControl" : "Fake"; });

// The control keeps its document until it has a window, and the user's
// edits when its window is made again.
TEST(DHTMLEdit, HandsItsDocumentToItsWindowAndKeepsEditsAcrossWindows) {
    auto host = makeHost(); // frees its child controls: made first, freed last
    TDHTMLEdit edit;
    std::vector<TPersistent*> senders;
    edit.OnDocumentComplete = [&](TPersistent* sender) { senders.push_back(sender); };
    edit.SetDocumentHTML("<P ID=\"p\">kept</P>");
    EXPECT_FALSE(edit.HandleAllocated());
    EXPECT_EQ(edit.DocumentHTML(), "<P ID=\"p\">kept</P>");

    edit.SetBounds(10, 10, 300, 200);
    edit.SetParent(host.get());
    ASSERT_TRUE(edit.HandleAllocated());
    ASSERT_TRUE(WaitFor([&] { return senders.size() == 1; }));
    EXPECT_EQ(senders[0], &edit);
    EXPECT_EQ(ClientWidgetOf(&edit)->findChild<QWebEngineView*>()->size(), QSize(300, 200));

    ASSERT_TRUE(evaluate(edit, R"((function () {
      var range = document.createRange();
      range.selectNodeContents(document.getElementById('p'));
      range.collapse(false);
      getSelection().removeAllRanges();
      getSelection().addRange(range);
      return document.execCommand('insertText', false, ' and edited');
    })())")
                    .toBool());
    edit.RecreateWnd();
    ASSERT_TRUE(WaitFor([&] { return senders.size() == 2; }));
    EXPECT_TRUE(contains(edit.DocumentHTML(), ">kept and edited</p>"));
}

// A click into the page moves the keyboard focus to the engine's own
// widgets; the control hears of it coming and going as any control does.
TEST(DHTMLEdit, HearsOfTheFocusInItsPage) {
    auto host = makeHost();
    TDHTMLEdit edit;
    TCustomControl other;
    std::vector<std::string> notices;
    edit.OnEnter = [&](TPersistent*) { notices.push_back("enter"); };
    edit.OnExit = [&](TPersistent*) { notices.push_back("exit"); };
    for (TWinControl* control :
         {static_cast<TWinControl*>(&edit), static_cast<TWinControl*>(&other)}) {
        control->SetBounds(control == &edit ? 0 : 300, 0, 300, 200);
        control->SetTabStop(true);
        control->SetParent(host.get());
    }
    other.SetFocus();
    QApplication::processEvents();
    ClientWidgetOf(&edit)->findChild<QWebEngineView*>()->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(GetFocusControl(), &edit);
    other.SetFocus();
    QApplication::processEvents();
    EXPECT_EQ(GetFocusControl(), &other);
    EXPECT_EQ(notices, (std::vector<std::string>{"enter", "exit"}));
}

// Both tables hold what a fresh control has as defaults, and random forms
// with the web views among the other controls round-trip through the
// filer (their controls stay windowless: no page is loaded).
TEST(WebViewControls, PublishedTablesHoldTheirDefaultsAndRoundTrip) {
    RegisterWebViewClasses();
    for (const char* name : {"TDHTMLEdit", "TWebBrowser"})
        EXPECT_EQ(DefaultsThatDisagree(*FindClassInfo(name)), std::vector<std::string>{}) << name;
    CheckRandomFormsRoundTrip(17, 20);
}

// Forms describe both controls: the base and the completion handler of the
// description take effect (a picture beside the page shows), and the
// browser follows Visible.
TEST(WebViewControls, BuiltFromADescription) {
    RegisterWebViewClasses();
    TTempFolder folder;
    QImage picture(9, 4, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    ASSERT_TRUE(picture.save(QString::fromStdString(folder.File("picture.png"))));

    auto host = makeHost();
    int completed = 0;
    THandlerTable handlers;
    handlers.Add("dhtmleditDocumentComplete", TNotifyEvent([&](TPersistent*) { ++completed; }));
    const TFormDescription form{
        .Components = {
            {.Name = "dhtmledit",
             .ClassName = "TDHTMLEdit",
             .Bounds = Bounds(0, 0, 320, 240),
             .Properties = {{"BaseURL", "file://" + folder.Path().string() + "/"}},
             .Events = {{"OnDocumentComplete", "dhtmleditDocumentComplete"}}},
            {.Name = "WebBrowser1",
             .ClassName = "TWebBrowser",
             .Bounds = Bounds(320, 0, 320, 240),
             .Properties = {{"Visible", false}}},
        }};
    BuildForm(*host, form, handlers);
    auto* edit = dynamic_cast<TDHTMLEdit*>(host->FindComponent("dhtmledit"));
    auto* web = dynamic_cast<TWebBrowser*>(host->FindComponent("WebBrowser1"));
    ASSERT_TRUE(edit && web);
    edit->SetDocumentHTML("<IMG ID=\"i\" SRC=\"picture.png\">");
    ASSERT_TRUE(WaitFor([&] { return completed == 1; }));
    EXPECT_EQ(evaluate(*edit, "document.getElementById('i').naturalWidth").toInt(), 9);

    EXPECT_FALSE(ClientWidgetOf(web)->isVisible());
    web->SetVisible(true);
    EXPECT_TRUE(ClientWidgetOf(web)->isVisible());
}

// An address given before the browser has its window is loaded once it has
// one; loading the address shown again reloads it from its source; the
// page's scripts run.  The folder's name holds what URL parsing would
// misread; text that is no address raises, window or not.
TEST(WebBrowser, LoadsWhatItWasGivenAndAlwaysReloads) {
    TTempFolder folder;
    const std::string site = folder.File("my #1 site");
    std::filesystem::create_directory(site);
    const std::string file = site + "/HTMLtmp.htm";
    auto host = makeHost();
    TWebBrowser browser;
    EXPECT_THROW(browser.Navigate(""), EWebViewError);
    for (const char* text : {"first", "second"}) {
        std::ofstream(file) << "<P ID=\"t\">" << text
                            << "</P><SCRIPT>document.title = 'scripted';</SCRIPT>";
        browser.Navigate("file://" + file);
        if (!browser.HandleAllocated()) {
            browser.SetBounds(0, 0, 200, 100);
            browser.SetParent(host.get());
        }
        bool loaded = false;
        QObject::connect(&pageOf(browser), &QWebEnginePage::loadFinished,
                         [&](bool ok) { loaded = ok; });
        ASSERT_TRUE(WaitFor([&] { return loaded; }));
        EXPECT_EQ(evaluate(browser, "document.getElementById('t').textContent").toString(), text);
        EXPECT_EQ(pageOf(browser).title(), "scripted");
        QObject::disconnect(&pageOf(browser), &QWebEnginePage::loadFinished, nullptr, nullptr);
    }
    EXPECT_THROW(browser.Navigate("::"), EWebViewError);
}
