// memodemo [file]: a window with one memo, its line-number and bookmark
// gutter and the HTML highlighter, showing the file given (or a short page
// of its own).  Ctrl+Shift+digit sets a bookmark, Ctrl+digit jumps to it.

#include "editor/CodeGutter.h"
#include "editor/CodeMemo.h"
#include "editor/highlight/HtmlHighlighter.h"

#include "platform/base/Stream.h"
#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"

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

// The window: the gutter on the left, the memo filling the rest.  Closing
// it ends the program.
class TDemoForm : public TForm {
public:
    TDemoForm() {
        memo = new TCodeMemo(this);
        memo->SetParent(this);
        memo->SetAlign(alClient);
        TFont font;
        font.SetName("Courier New");
        font.SetSize(10);
        memo->SetFont(font);
        // Script content is shown in the alternative font: the same face.
        memo->AltFont().Assign(&font);
        memo->SetHighlighter(&html);
        gutter = new TCodeGutter(this);
        gutter->SetParent(this);
        gutter->SetWidth(kGutterWidth);
        gutter->SetAlign(alLeft);
        gutter->SetColor(clBtnFace);
        TFont small = font;
        small.SetSize(8);
        gutter->SetFont(small);
        gutter->SetAlignment(taRightJustify);
        gutter->SetCodeMemo(memo);
        SetActiveControl(memo);
    }

    THtmlHighlighter html;
    TCodeMemo* memo;
    TCodeGutter* gutter;
};

} // namespace

int main(int argc, char** argv) {
    Application().Initialize(argc, argv);
    Application().SetTitle("Memo demo");
    TDemoForm form;
    Application().SetMainForm(&form);
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
