// The document's source and the real design view (the web engine,
// offscreen): a page looked at and left keeps its source byte for byte, an
// edit made in the page comes back, and a 3 MB page loads and is left
// unchanged.  Each case is a process of its own under CTest.

#include "app/DesignLink.h"
#include "app/DocumentText.h"

#include "editor/CodeMemo.h"
#include "platform/webview/DHTMLEdit.h"
#include "platform/webview/ScriptCall.h"
#include "tests/platform/webview/WebEngineTestApp.h"
#include "tests/platform/widgets/WidgetTestApp.h"

#include <QImage>
#include <QWebEngineView>

#include <memory>

using namespace std::chrono_literals;

namespace {

// What the engine would rewrite: a DOCTYPE, upper-case tags, server code,
// mixed line breaks and no final break, bytes of the upper half.
std::string sourcePage(size_t padding) {
    std::string page = "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\">\n<HTML>\r\n<HEAD><TITLE>T</TITLE></HEAD>\r"
                       "<BODY BGCOLOR=#FFFFFF>\n<P ID=\"edit\">caf\xE9 \x80</P>\r\n<?php echo 1; ?>\n";
    // Padding that costs the engine little to lay out.
    if (padding > 0) {
        page += "<!--";
        for (size_t line = 0; page.size() < padding; ++line)
            page += "padding line " + std::to_string(line) + " \xE9\n";
        page += "-->";
    }
    return page + "</BODY></HTML>";
}

struct TLiveDocument {
    TLiveDocument() {
        Editor.SetStaticFormat(false);
        Host->SetBounds(0, 0, 640, 480);
        Host->Show();
        View.SetBounds(0, 0, 640, 480);
        View.SetParent(Host.get());
        View.OnDocumentComplete = [this](TPersistent*) {
            Link.DocumentComplete();
            ++Completions;
        };
    }
    ~TLiveDocument() { View.SetParent(nullptr); }
    bool ShowAndWait() {
        int before = Completions;
        Link.Show("file:///tmp/");
        return WaitFor([&] { return Completions > before; });
    }
    QVariant Evaluate(const char* script) {
        auto* engine = ClientWidgetOf(&View)->findChild<QWebEngineView*>();
        return RunScriptAndWait(*engine->page(), QString::fromUtf8(script), 60s, "no answer");
    }

    std::unique_ptr<TCustomControl> Host = std::make_unique<TCustomControl>();
    TDHTMLEdit View;
    TCodeMemo Editor;
    TDocumentText Text{Editor};
    TDesignLink Link{View, Text};
    int Completions = 0;
};

} // namespace

TEST(DesignViewLive, APageLookedAtKeepsItsSourceAndAnEditInThePageComesBack) {
    TLiveDocument doc;
    const std::string page = sourcePage(0);
    doc.Text.SetText(page);
    ASSERT_TRUE(doc.ShowAndWait());
    EXPECT_FALSE(doc.Link.TakeBack());
    EXPECT_EQ(doc.Text.Bytes(), page);

    ASSERT_TRUE(doc.ShowAndWait());
    ASSERT_TRUE(doc.Evaluate(R"((function () {
      var range = document.createRange();
      range.selectNodeContents(document.getElementById('edit'));
      range.collapse(false);
      getSelection().removeAllRanges();
      getSelection().addRange(range);
      return document.execCommand('insertText', false, ' typed');
    })())")
                    .toBool());
    ASSERT_TRUE(doc.Link.TakeBack());
    const std::string source = doc.Editor.Text();
    EXPECT_NE(source.find("caf\xE9 \x80 typed</p>"), std::string::npos) << source;
    EXPECT_TRUE(doc.Editor.Modified);
    // The page came back with the line breaks the file used most.
    EXPECT_EQ(doc.Text.Breaks().NewBreak(), pbLF);
    EXPECT_EQ(doc.Text.Bytes().find('\r'), std::string::npos);
}

TEST(DesignViewLive, AThreeMegabytePageLoadsAndIsLeftUnchanged) {
    TLiveDocument doc;
    const std::string page = sourcePage(3 << 20);
    doc.Text.SetText(page);
    ASSERT_TRUE(doc.ShowAndWait());
    EXPECT_TRUE(doc.Link.Ready());
    EXPECT_GT(doc.View.DocumentHTML().size(), size_t{3} << 20);
    EXPECT_FALSE(doc.Link.TakeBack());
    EXPECT_EQ(doc.Text.Bytes(), page);
}

bool drawsSomething(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != image.pixel(0, image.height() - 1))
                return true;
    return false;
}

// What the page shows of a document: the engine's view grabbed once the
// document stands and has been painted.
QImage shownPage(TLiveDocument& doc) {
    auto* engine = ClientWidgetOf(&doc.View)->findChild<QWebEngineView*>();
    QImage shown;
    // The engine paints a moment after the document stands: wait for two
    // grabs alike with something drawn.
    WaitFor([&] {
        const QImage now = engine->grab().toImage();
        const bool settled = !now.isNull() && now == shown && drawsSomething(now);
        shown = now;
        return settled;
    });
    return shown;
}

TEST(DesignViewLive, AUtf8PageShowsItsCharacters) {
    // The oracle: the same words written as references, in the code page.
    const std::string style = "<body style=\"margin:0;font:40px sans-serif\">";
    TLiveDocument asReferences;
    asReferences.Editor.SetEncoding(teAnsi);
    asReferences.Text.SetText(style + "caf&eacute; &#20013;&#25991;</body>");
    ASSERT_TRUE(asReferences.ShowAndWait());
    const QImage expected = shownPage(asReferences);
    ASSERT_FALSE(expected.isNull());

    // The same bytes as UTF-8 show the same; read as the code page, other
    // characters.
    for (TTextEncoding encoding : {teUtf8, teAnsi}) {
        TLiveDocument doc;
        doc.Editor.SetEncoding(encoding);
        doc.Text.SetText(style + "caf\xC3\xA9 \xE4\xB8\xAD\xE6\x96\x87</body>");
        ASSERT_TRUE(doc.ShowAndWait());
        EXPECT_EQ(shownPage(doc) == expected, encoding == teUtf8) << TextEncodingName(encoding);
    }
}
