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

#include <QWebEnginePage>
#include <QWebEngineView>

#include <filesystem>
#include <fstream>

using namespace std::chrono_literals;

namespace {

void writeFile(const std::filesystem::path& name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary) << bytes;
}

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

    auto host = std::make_unique<TCustomControl>();
    host->SetBounds(0, 0, 640, 480);
    host->Show();
    TWebBrowser browser;
    browser.SetBounds(0, 0, 600, 400);
    browser.SetParent(host.get());
    browser.Navigate("file://" + (site / "page.html").string());
    QWebEnginePage& page = *ClientWidgetOf(&browser)->findChild<QWebEngineView*>()->page();
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

// Frames, objects and embeds of every kind of local target, in a page and
// in a frameset: a script reads what they show only when the target is a
// local page (named as one, and a plain file so named, not a link to
// another file); text, a file of no kind, a folder, a link named as a
// page and a name that is not there are refused, wherever they lie.  The
// page's own frames and framesets of pages still show their pages.
TEST(LocalFiles, FramesAndObjectsShowPagesOnly) {
    TTempFolder folder;
    const std::filesystem::path site = folder.Path() / "site";
    const std::filesystem::path elsewhere = folder.Path() / "private";
    std::filesystem::create_directories(site);
    std::filesystem::create_directories(elsewhere);
    writeFile(site / "beside.txt", "beside the page");
    writeFile(elsewhere / "accounts", "root:secret");
    writeFile(elsewhere / "NOTES.HTM", "<P>notes elsewhere</P>");
    writeFile(site / "neighbour.html", "<P>the neighbour's text</P>");
    std::filesystem::create_symlink(elsewhere / "accounts", site / "decoy.html");
    const std::string away = "file://" + elsewhere.string();
    // Each target, and what a script may read of it (empty: nothing).
    const std::pair<std::string, std::string> targets[] = {
        {"beside.txt", ""},
        {away + "/accounts", ""},
        {away + "/", ""},
        {"decoy.html", ""},
        {"missing.html", ""},
        {"neighbour.html", "the neighbour's text"},
        {away + "/NOTES.HTM", "notes elsewhere"},
    };
    // Once the page has loaded, everything it holds has loaded or failed:
    // the document of each element, reached through the page's list of
    // the documents it holds (which embeds are in too), as far as the page
    // may read it.
    const std::string report = R"(
window.addEventListener('load', function () {
    var shown = Array.prototype.slice.call(document.querySelectorAll('[data-target]'));
    var outcomes = shown.map(function () { return 'refused'; });
    for (var j = 0; j < window.length; ++j) {
        try {
            var i = shown.indexOf(window[j].frameElement);
            var text = window[j].document.body.innerText.trim();
            if (i >= 0 && text.length > 0)
                outcomes[i] = 'read:' + text;
        } catch (e) {}
    }
    outcomes.forEach(function (outcome, i) {
        document.documentElement.setAttribute('data-outcome' + i, outcome);
    });
    document.documentElement.setAttribute('data-done', 'yes');
});)";

    auto host = std::make_unique<TCustomControl>();
    host->SetBounds(0, 0, 640, 480);
    host->Show();
    TWebBrowser browser;
    browser.SetBounds(0, 0, 600, 400);
    browser.SetParent(host.get());
    QWebEnginePage& page = *ClientWidgetOf(&browser)->findChild<QWebEngineView*>()->page();
    auto ask = [&](const std::string& expression) {
        return RunScriptAndWait(page, QString::fromStdString(expression), 60s, "");
    };
    const char* kinds[] = {"iframe", "object", "embed", "frame"};
    for (const std::string kind : kinds) {
        SCOPED_TRACE(kind);
        std::string elements;
        for (const auto& [target, readable] : targets) {
            if (kind == "iframe")
                elements += "<IFRAME data-target SRC=\"" + target + "\"></IFRAME>";
            else if (kind == "object")
                elements += "<OBJECT data-target DATA=\"" + target + "\" TYPE=\"text/html\"></OBJECT>";
            else if (kind == "embed")
                elements += "<EMBED data-target SRC=\"" + target + "\" TYPE=\"text/html\">";
            else
                elements += "<FRAME data-target SRC=\"" + target + "\">";
        }
        const std::string name = kind + ".html";
        std::string rows = "*";
        for (size_t i = 1; i < std::size(targets); ++i)
            rows += ",*";
        writeFile(site / name, kind == "frame" ? "<HTML><HEAD><SCRIPT>" + report + "</SCRIPT></HEAD><FRAMESET ROWS=\"" +
                                                     rows + "\">" + elements + "</FRAMESET></HTML>"
                                               : "<HTML><BODY>" + elements + "<SCRIPT>" + report +
                                                     "</SCRIPT></BODY></HTML>");
        browser.Navigate("file://" + (site / name).string());
        ASSERT_TRUE(WaitFor([&] {
            return ask("location.href.indexOf('" + name + "') >= 0 && "
                       "document.documentElement.getAttribute('data-done') == 'yes'")
                .toBool();
        }));
        for (size_t i = 0; i < std::size(targets); ++i) {
            const auto& [target, readable] = targets[i];
            EXPECT_EQ(ask("document.documentElement.getAttribute('data-outcome" + std::to_string(i) + "')")
                          .toString()
                          .toStdString(),
                      readable.empty() ? "refused" : "read:" + readable)
                << target;
        }
    }
    // The design view serves a large page under the program's scheme,
    // whose other paths are the files of those paths beside the page.
    const QString served =
        QStringLiteral("ondrill-page://page1") + QString::fromStdString(site.string());
    using TInfo = QWebEngineUrlRequestInfo;
    EXPECT_TRUE(TLocalFileReadFilter::Refuses(TInfo::ResourceTypeSubFrame, QUrl(served + "/beside.txt")));
    EXPECT_TRUE(TLocalFileReadFilter::Refuses(TInfo::ResourceTypeObject, QUrl(served + "/")));
    EXPECT_FALSE(TLocalFileReadFilter::Refuses(TInfo::ResourceTypeSubFrame, QUrl(served + "/neighbour.html")));
}
