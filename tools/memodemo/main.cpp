// memodemo [file]: a window with one memo, its line-number and bookmark
// gutter and the HTML highlighter, showing the file given (or a short page
// of its own).  Ctrl+Shift+digit sets a bookmark, Ctrl+digit jumps to it.

#include "editor/CodeGutter.h"
#include "editor/CodeMemo.h"
#include "editor/highlight/HtmlHighlighter.h"

#include "platform/base/Stream.h"
#include "platform/ui/Application.h"
#include "platform/ui/Control.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

constexpr int kGutterWidth = 44;

const char* const kSample =
    "<!DOCTYPE html>\r\n"
    "<html>\r\n"
    "<head>\r\n"
    "  <title>Memo demo</title>\r\n"
    "  <!-- a comment that\r\n"
    "       runs over two lines -->\r\n"
    "  <script type=\"text/javascript\">\r\n"
    "    var answer = 42;\r\n"
    "  </script>\r\n"
    "</head>\r\n"
    "<body bgcolor=\"#FFFFFF\">\r\n"
    "  <h1 align=center>Hello &amp; welcome</h1>\r\n"
    "  <p>Some <b>bold</b> and <i>italic</i> text, an <unknown>element</unknown>.</p>\r\n"
    "  <a href=\"page.html\">a link</a>&nbsp;&#169;\r\n"
    "</body>\r\n"
    "</html>\r\n";

// The window: the gutter on the left, the memo filling the rest.  Its own
// background is the window base's erasing in the form's colour.
class TDemoForm : public TCustomControl {
public:
    TDemoForm() {
        SetColor(clBtnFace);
        memo = new TCodeMemo(this);
        memo->SetParent(this);
        TFont font;
        font.SetName("Courier New");
        font.SetSize(10);
        memo->SetFont(font);
        // Script content is shown in the alternative font: the same face.
        memo->AltFont().Assign(&font);
        memo->SetHighlighter(&html);
        gutter = new TCodeGutter(this);
        gutter->SetParent(this);
        gutter->SetColor(clBtnFace);
        TFont small = font;
        small.SetSize(8);
        gutter->SetFont(small);
        gutter->SetAlignment(taRightJustify);
        gutter->SetCodeMemo(memo);
    }

    THtmlHighlighter html;
    TCodeMemo* memo;
    TCodeGutter* gutter;

protected:
    void WndProc(TMessage& message) override {
        TCustomControl::WndProc(message);
        if (message.Msg == WM_SIZE)
            layout();
    }

private:
    void layout() {
        const int width = ClientWidth();
        const int height = ClientHeight();
        gutter->SetBounds(0, 0, kGutterWidth, height);
        memo->SetBounds(kGutterWidth, 0, std::max(width - kGutterWidth, 0), height);
    }
};

} // namespace

int main(int argc, char** argv) {
    Application().Initialize(argc, argv);
    Application().SetTitle("Memo demo");
    TDemoForm form;
    std::string title = "Memo demo";
    try {
        if (argc > 1) {
            form.memo->Lines().LoadFromFile(argv[1]);
            title += std::string(" - ") + argv[1];
        } else {
            TReadOnlyMemoryStream stream(kSample, static_cast<int64_t>(std::char_traits<char>::length(kSample)));
            form.memo->LoadFromStream(stream);
        }
    } catch (const std::exception& error) {
        title += std::string(" - ") + error.what();
        std::fprintf(stderr, "memodemo: %s\n", error.what());
    }
    form.memo->Modified = false;
    form.SetCaption(title);
    form.SetBounds(100, 60, 900, 640);
    form.Show();
    form.memo->SetFocus();
    Application().Run();
    return 0;
}
