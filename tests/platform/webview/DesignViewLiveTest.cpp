// The design view on the real web engine (offscreen).  Each case is a
// process of its own under CTest, so they are few and do much.

#include "platform/webview/DesignView.h"
#include "platform/webview/PageServer.h"
#include "platform/webview/PageText.h"
#include "platform/webview/QtDesignView.h"
#include "platform/webview/ScriptCall.h"
#include "platform/webview/WebProfile.h"
#include "tests/platform/base/TempFolder.h"
#include "tests/platform/webview/WebEngineTestApp.h"

#include <QImage>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <fstream>

using namespace std::chrono_literals;

namespace {

void writeFile(const std::string& name, const std::string& content) {
    std::ofstream(name, std::ios::binary) << content;
}

QVariant evaluate(QWebEnginePage& page, const char* script) {
    return RunScriptAndWait(page, QString::fromUtf8(script), 60s, "no answer");
}

// Every byte of the code page's upper half except the no-break space, which
// the engine writes back as "&nbsp;".
std::string upperHalf() {
    std::string bytes;
    for (int byte = 0x80; byte <= 0xFF; ++byte)
        if (byte != 0xA0)
            bytes += static_cast<char>(byte);
    return bytes;
}

// A page that declares a charset that would garble it, asks to be
// refreshed elsewhere, runs a script of its own and shows a picture by a
// relative reference.  With a size, a comment pads it to exactly that many
// bytes of UTF-8 (what the engine is given) without more to lay out.
std::string testPage(size_t utf8Size) {
    std::string page =
        "<!DOCTYPE html>\r\n<HTML>\r\n<HEAD>\r\n"
        "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=iso-8859-2\">\r\n"
        "<META HTTP-EQUIV=\"refresh\" CONTENT=\"0; url=elsewhere.html\">\r\n"
        "<TITLE>Test page</TITLE>\r\n</HEAD>\r\n<BODY>\r\n"
        "<P ID=\"bytes\">" +
        upperHalf() +
        "\xA0</P>\r\n"
        "<P ID=\"edit\">X</P>\r\n"
        "<IMG ID=\"picture\" SRC=\"picture.png\">\r\n"
        "<SCRIPT>document.body.setAttribute('data-ran', 'yes');</SCRIPT>\r\n";
    const std::string end = "</BODY>\r\n</HTML>\r\n";
    if (utf8Size > 0) {
        // Blanks and line breaks, each a byte of UTF-8 and three characters
        // once percent-encoded: the most a page of that size can take.
        page += "<!--";
        const std::string close = " end of padding -->";
        const size_t fixed =
            static_cast<size_t>(DocumentToPageText(page + close + end).toUtf8().size());
        std::string padding;
        while (fixed + padding.size() + 80 <= utf8Size)
            padding += std::string(78, ' ') + "\r\n";
        padding.append(utf8Size - fixed - padding.size(), ' ');
        page += padding + close;
    }
    return page + end;
}

// Puts the caret at the end of the paragraph "edit" and types there, as
// the user would; the engine types only into an editable document.
const char* const kTypeIntoEdit = R"((function () {
  var range = document.createRange();
  range.selectNodeContents(document.getElementById('edit'));
  range.collapse(false);
  var selection = getSelection();
  selection.removeAllRanges();
  selection.addRange(range);
  return document.execCommand('insertText', false, 'typed \u4E2D');
})())";

bool onlyCrLfBreaks(const std::string& text) {
    for (size_t i = 0; i < text.size(); ++i)
        if ((text[i] == '\n') != (i > 0 && text[i - 1] == '\r') ||
            (text[i] == '\r' && text[i + 1] != '\n'))
            return false;
    return true;
}

class DesignViewLive : public ::testing::TestWithParam<size_t> {};

} // namespace

// A small page, one as large as goes inline and one of 3 MB, which must go
// through the page server, behave alike.
TEST_P(DesignViewLive, LoadsEditsAndReadsBack) {
    TTempFolder folder;
    QImage picture(7, 5, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(QString::fromStdString(folder.File("picture.png"))));
    writeFile(folder.File("elsewhere.html"), "<P>elsewhere</P>");

    const std::string page = testPage(GetParam());
    if (GetParam() > 0) {
        ASSERT_EQ(DocumentToPageText(page).toUtf8().size(), static_cast<qsizetype>(GetParam()));
    }
    TQtDesignView view;
    view.View()->resize(600, 400);
    view.View()->show();
    int completions = 0;
    view.OnDocumentComplete = [&] { ++completions; };
    view.SetDocumentHTML(page);
    view.SetBaseURL("file://" + folder.Path().string() + "/");
    ASSERT_TRUE(WaitFor([&] { return completions == 1; }));
    EXPECT_FALSE(view.Loading());

    // The picture came through the base; the page's script never ran; the
    // page asked to go elsewhere and stayed.
    EXPECT_EQ(evaluate(*view.Page(), "document.getElementById('picture').naturalWidth").toInt(), 7);
    ASSERT_TRUE(WaitFor([&] { return view.RefusedNavigations() > 0; }));

    ASSERT_EQ(evaluate(*view.Page(), kTypeIntoEdit).toBool(), true)
        << "the document is not editable";
    const std::string html = view.DocumentHTML();
    EXPECT_EQ(html.rfind("<!DOCTYPE html><html>", 0), 0u) << html.substr(0, 200);
    std::string bytes(">");
    bytes += upperHalf() + "&nbsp;</p>";
    EXPECT_NE(html.find(bytes), std::string::npos) << "bytes lost";
    EXPECT_NE(html.find(">Xtyped &#20013;</p>"), std::string::npos) << "the edit is lost";
    EXPECT_EQ(html.find("<body data-ran"), std::string::npos) << "the page's script ran";
    EXPECT_TRUE(onlyCrLfBreaks(html));
    if (GetParam() > 0) {
        // The padding came back whole.
        EXPECT_NE(html.find(std::string(78, ' ') + "\r\n" + std::string(78, ' ')),
                  std::string::npos);
        EXPECT_NE(html.find(" end of padding -->"), std::string::npos);
        EXPECT_GT(html.size(), page.size() - 1000);
    }
    EXPECT_EQ(completions, 1);
    // The server lets go of a page the view no longer shows.
    view.SetDocumentHTML("<P>small</P>");
    ASSERT_TRUE(WaitFor([&] { return completions == 2; }));
    EXPECT_EQ(WebPageServer().ServedCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Sizes, DesignViewLive,
                         ::testing::Values(size_t{0}, size_t{TQtDesignView::kLargestInlinePage},
                                           size_t{3} << 20),
                         [](const auto& info) {
                             return info.param == 0 ? "Small"
                                    : info.param == TQtDesignView::kLargestInlinePage
                                        ? "LargestInline"
                                        : "ThreeMegabytes";
                         });

// A document set while another loads replaces it: only the last one
// completes.  (Documents set together, and hung pages, are covered with
// the control in WebViewControlsTest.)
TEST(DesignViewLoads, ADocumentSetWhileAnotherLoadsReplacesIt) {
    TQtDesignView view;
    int completions = 0;
    view.OnDocumentComplete = [&] { ++completions; };
    bool replaced = false;
    QObject::connect(view.Page(), &QWebEnginePage::loadStarted, [&] {
        if (!replaced) {
            replaced = true;
            view.SetDocumentHTML("<P>four</P>");
        }
    });
    view.SetDocumentHTML("<P>three</P>");
    ASSERT_TRUE(WaitFor([&] { return completions == 1; }));
    EXPECT_TRUE(replaced);
    EXPECT_EQ(view.DocumentHTML(), "<html><head></head><body><p>four</p></body></html>");
    // Nothing more comes once the engine has answered all it was asked.
    evaluate(*view.Page(), "1");
    QCoreApplication::processEvents();
    EXPECT_EQ(completions, 1);
}
