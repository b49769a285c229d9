// A page shown from a local folder, as the preview shows a copy beside
// the user's page: its scripts can not read local files through fetch or
// XMLHttpRequest, beside the page or elsewhere, as a desktop browser
// refuses it too, nor show in a frame, object or embed any local file
// that is not a page, while the picture, style sheet, script and frame
// the page links beside it still load.

#include "platform/webview/LocalFileReadFilter.h"
#include "platform/webview/ScriptCall.h"
#include "platform/webview/WebBrowser.h"
#include "tests/platform/base/TempFolder.h"
#include "tests/platform/webview/WebEngineTestApp.h"
#include "tests/platform/widgets/WidgetTestApp.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

void writeFile(const std::filesystem::path& name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary) << bytes;
}

// A browser shown in a window of its own, and the page it shows.
struct THostedBrowser {
    THostedBrowser() {
        host->SetBounds(0, 0, 640, 480);
        host->Show();
        browser.SetBounds(0, 0, 600, 400);
        browser.SetParent(host.get());
    }
    QWebEnginePage& Page() { return *ClientWidgetOf(&browser)->findChild<QWebEngineView*>()->page(); }
    std::unique_ptr<TCustomControl> host = std::make_unique<TCustomControl>();
    TWebBrowser browser;
};

} // namespace

TEST(LocalFiles, APagesScriptsCanNotReadOtherFilesButItsLinkedFilesLoad) {
    TTempFolder folder;
    const std::filesystem::path site = folder.Path() / "site";
    const std::filesystem::path elsewhere = folder.Path() / "private";
    std::filesystem::create_directories(site);
    std::filesystem::create_directories(elsewhere);
    // A GIF of 3 by 2 pixels.
    writeFile(site / "dot.gif", std::string("GIF89a\x03\x00\x02\x00\x80\x00\x00\xFF\x00\x00\x00\x00\xFF,\x00\x00\x00"
                                            "\x00\x03\x00\x02\x00\x00\x02\x03\x84\x1D\x05\x00;",
                                            35));
    writeFile(site / "style.css", "p { color: rgb(1, 2, 3); }");
    writeFile(site / "linked.js", "document.documentElement.setAttribute('data-linked', 'ran');");
    writeFile(site / "neighbour.html",
              "<P>the neighbour's text</P><SCRIPT>parent.postMessage('neighbour shown', '*');</SCRIPT>");
    writeFile(elsewhere / "accounts", "root:secret");
    writeFile(site / "beside.txt", "beside the page");
    // Each way of reading ends in "read:<text>" or "refused", kept in an
    // attribute of the page's root, which the program's own scripts (in a
    // world of their own) see too.
    const std::string secret = "file://" + (elsewhere / "accounts").string();
    const std::string script = std::string(R"(
function report(key, outcome) { document.documentElement.setAttribute('data-' + key, outcome); }
function tryFetch(key, address) {
    try {
        fetch(address).then(function (r) { return r.text(); })
            .then(function (t) { report(key, 'read:' + t); }, function () { report(key, 'refused'); });
    } catch (e) { report(key, 'refused'); }
}
function tryRequest(key, address) {
    try {
        var request = new XMLHttpRequest();
        request.onload = function () { report(key, 'read:' + request.responseText); };
        request.onerror = function () { report(key, 'refused'); };
        request.open('GET', address);
        request.send();
    } catch (e) { report(key, 'refused'); }
}
tryFetch('fetchelsewhere', ')") + secret + R"(');
tryRequest('requestelsewhere', ')" + secret + R"(');
tryFetch('fetchbeside', 'beside.txt');
tryRequest('requestbeside', 'beside.txt');
window.addEventListener('message', function (e) { report('framemessage', e.data); });
)";
    writeFile(site / "page.html", "<HTML><HEAD><LINK REL=\"stylesheet\" HREF=\"style.css\">"
                                  "<SCRIPT SRC=\"linked.js\"></SCRIPT><SCRIPT>" +
                                      script +
                                      "</SCRIPT></HEAD><BODY><P ID=\"p\">text</P><IMG ID=\"dot\" SRC=\"dot.gif\">"
                                      "<IFRAME SRC=\"neighbour.html\"></IFRAME></BODY></HTML>");

    THostedBrowser shown;
    shown.browser.Navigate("file://" + (site / "page.html").string());
    QWebEnginePage& page = shown.Page();
    auto ask = [&](const char* expression) { return RunScriptAndWait(page, QString::fromUtf8(expression), 60s, ""); };
    ASSERT_TRUE(WaitFor([&] {
        return ask("document.readyState == 'complete' && ['fetchelsewhere', 'requestelsewhere', 'fetchbeside',"
                   " 'requestbeside', 'framemessage'].every(function (k) {"
                   " return document.documentElement.hasAttribute('data-' + k); })")
            .toBool();
    }));
    for (const char* key : {"fetchelsewhere", "requestelsewhere", "fetchbeside", "requestbeside"}) {
        const std::string read = "document.documentElement.getAttribute('data-" + std::string(key) + "')";
        EXPECT_EQ(ask(read.c_str()).toString().toStdString(), "refused") << key;
    }
    // What the page links loads all the same: the frame shows its page
    // and runs its script.
    EXPECT_EQ(ask("document.documentElement.getAttribute('data-framemessage')").toString().toStdString(),
              "neighbour shown");
    EXPECT_EQ(ask("document.getElementById('dot').naturalWidth").toInt(), 3);
    EXPECT_EQ(ask("getComputedStyle(document.getElementById('p')).color").toString().toStdString(), "rgb(1, 2, 3)");
    EXPECT_EQ(ask("document.documentElement.getAttribute('data-linked')").toString().toStdString(), "ran");
}

// Frames, objects and embeds of local targets, in a page and in a
// frameset: a script reads what they show only for a local page (a file so
// named, not a link so named to another file); text, a file of no kind, a
// folder, a decoy link and a missing name are refused, wherever they lie.
TEST(LocalFiles, FramesAndObjectsShowPagesOnly) {
    TTempFolder folder;
    const std::filesystem::path site = folder.Path() / "site", away = folder.Path() / "private";
    std::filesystem::create_directories(site);
    std::filesystem::create_directories(away);
    writeFile(site / "beside.txt", "beside");
    writeFile(away / "accounts", "root:secret");
    writeFile(away / "NOTES.HTM", "<P>notes</P>");
    writeFile(site / "neighbour.html", "<P>neighbour</P>");
    std::filesystem::create_symlink(away / "accounts", site / "decoy.html");
    const std::string a = "file://" + away.string();
    // Each target and what a script may read of it ("" for nothing).
    const std::pair<std::string, std::string> targets[] = {
        {"beside.txt", ""}, {a + "/accounts", ""}, {a + "/", ""},          {"decoy.html", ""},
        {"missing.html", ""}, {"neighbour.html", "neighbour"}, {a + "/NOTES.HTM", "notes"}};
    // Once the page has loaded, the document of each element, found among
    // the documents the page holds (embeds too), as far as it may read it.
    const std::string report = R"(window.addEventListener('load', function () {
    var shown = Array.prototype.slice.call(document.querySelectorAll('[data-t]'));
    var read = shown.map(function () { return ''; });
    for (var j = 0; j < window.length; ++j)
        try { read[shown.indexOf(window[j].frameElement)] = window[j].document.body.innerText.trim(); } catch (e) {}
    document.documentElement.setAttribute('data-read', JSON.stringify(read));
});)";
    THostedBrowser shown;
    TWebBrowser& browser = shown.browser;
    QWebEnginePage& page = shown.Page();
    for (const std::string kind :
         {"IFRAME SRC", "OBJECT TYPE=text/html DATA", "EMBED TYPE=text/html SRC", "FRAME SRC"}) {
        SCOPED_TRACE(kind);
        const bool frameset = kind == "FRAME SRC";
        std::string elements, expected = "[", rows;
        for (const auto& [target, readable] : targets) {
            elements += "<" + kind + "=\"" + target + "\" data-t></" + kind.substr(0, kind.find(' ')) + ">";
            expected += (expected.size() > 1 ? ",\"" : "\"") + readable + "\"";
            rows += rows.empty() ? "*" : ",*";
        }
        const std::string name = std::to_string(kind.size()) + ".html";
        writeFile(site / name, "<HTML><HEAD><SCRIPT>" + report + "</SCRIPT></HEAD>" +
                                   (frameset ? "<FRAMESET ROWS=\"" + rows + "\">" + elements + "</FRAMESET>"
                                             : "<BODY>" + elements + "</BODY>") + "</HTML>");
        browser.Navigate("file://" + (site / name).string());
        QString read;
        ASSERT_TRUE(WaitFor([&] {
            read = RunScriptAndWait(page, "document.documentElement.getAttribute('data-read')", 60s, "").toString();
            return !read.isEmpty();
        }));
        EXPECT_EQ(read.toStdString(), expected + "]");
    }
    // A large design-view page's own scheme leads to the files beside it.
    const QString served = "ondrill-page://page1" + QString::fromStdString(site.string());
    using TInfo = QWebEngineUrlRequestInfo;
    EXPECT_TRUE(TLocalFileReadFilter::Refuses(TInfo::ResourceTypeSubFrame, served + "/beside.txt"));
    EXPECT_FALSE(TLocalFileReadFilter::Refuses(TInfo::ResourceTypeObject, served + "/neighbour.html"));
}

// A link beside the page swapped every half millisecond between a page in
// another folder and a text file while the page frames it again and again:
// each frame shows the page or nothing, never the text, however the swaps
// fall; the page shown finds its picture beside the link, as a page shown
// from its link always did.
TEST(LocalFiles, AFrameNeverShowsTheTextALinkSwappedUnderItLeadsTo) {
    TTempFolder folder;
    const std::filesystem::path site = folder.Path() / "site";
    std::filesystem::create_directories(site / "pages");
    writeFile(site / "pages" / "inner.html", "<P>framed page</P><IMG SRC=\"dot.gif\">");
    // A GIF of 3 by 2 pixels.
    writeFile(site / "dot.gif", std::string("GIF89a\x03\x00\x02\x00\x80\x00\x00\xFF\x00\x00\x00\x00\xFF,\x00\x00\x00"
                                            "\x00\x03\x00\x02\x00\x00\x02\x03\x84\x1D\x05\x00;",
                                            35));
    writeFile(site / "secret.txt", "secret text");
    const std::string link = (site / "x.html").string(), spare = (site / "x.next").string();
    std::atomic<bool> swapping{true};
    std::thread swapper([&] {
        for (bool toPage = true; swapping; toPage = !toPage) {
            ::unlink(spare.c_str());
            if (::symlink(toPage ? "pages/inner.html" : "secret.txt", spare.c_str()) == 0)
                ::rename(spare.c_str(), link.c_str());
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
    });
    // Frames one after another, each counted by what a script reads in it.
    writeFile(site / "page.html", R"(<HTML><BODY><SCRIPT>
var shown = {page: 0, unpictured: 0, text: 0, nothing: 0}, made = 0;
function next() {
    if (made++ == 400) { document.documentElement.setAttribute('data-shown', JSON.stringify(shown)); return; }
    var frame = document.createElement('iframe');
    frame.onload = function () {
        var text = '', pictured = false;
        try {
            text = frame.contentDocument.body.innerText.trim();
            pictured = frame.contentDocument.images[0].naturalWidth == 3;
        } catch (e) {}
        shown[text == 'framed page' ? (pictured ? 'page' : 'unpictured') : text == 'secret text' ? 'text' : 'nothing']++;
        frame.remove();
        next();
    };
    frame.src = 'x.html?' + made;
    document.body.appendChild(frame);
}
next();
</SCRIPT></BODY></HTML>)");
    THostedBrowser shown;
    shown.browser.Navigate("file://" + (site / "page.html").string());
    QString counts;
    const bool finished = WaitFor([&] {
        counts = RunScriptAndWait(shown.Page(), "document.documentElement.getAttribute('data-shown')", 60s, "")
                     .toString();
        return !counts.isEmpty();
    });
    swapping = false;
    swapper.join();
    ASSERT_TRUE(finished);
    const QJsonObject tally = QJsonDocument::fromJson(counts.toUtf8()).object();
    EXPECT_EQ(tally["text"].toInt(), 0) << counts.toStdString();
    EXPECT_EQ(tally["unpictured"].toInt(), 0) << counts.toStdString();
    EXPECT_GT(tally["page"].toInt(), 0) << counts.toStdString();
}
