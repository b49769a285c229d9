// A page shown from a local folder, as the preview shows a copy beside
// the user's page: its scripts can not read local files through fetch or
// XMLHttpRequest, beside the page or elsewhere, as a desktop browser
// refuses it too, while the picture, style sheet, script and frame the
// page links beside it still load.

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
