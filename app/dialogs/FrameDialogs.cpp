#include "app/dialogs/FrameDialogs.h"

#include "app/dialogs/DialogLayout.h"
#include "app/dialogs/DialogPieces.h"

#include "platform/ui/ButtonControls.h"
#include "platform/ui/ExtControls.h"
#include "platform/ui/SpinEdit.h"

#include <vector>

namespace {

constexpr const char* kCrLf = "\r\n";

std::string joinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + kCrLf;
    return text;
}

std::string frameLine(int indent, const char* name) {
    return std::string(static_cast<size_t>(indent), ' ') + "<FRAME NAME=\"" + name + "\" SRC=\"Src file\"> ";
}

std::string framesetLine(int indent, const char* sizes) {
    return std::string(static_cast<size_t>(indent), ' ') + "<FRAMESET " + sizes +
           "> <!-- Specify your frame sizes --> ";
}

// A template: its own lines, then the NOFRAMES body and the end that all
// eight share.
std::string frameTemplate(std::vector<std::string> lines) {
    for (const char* tail : {"<NOFRAMES>", "<BODY>", "This site uses frames but your browser doesn't support them",
                             "</BODY>", "</NOFRAMES>", "</FRAMESET>"})
        lines.push_back(tail);
    return joinLines(lines);
}

// Where each template's frames lie in its drawing: left, top, width and
// height in per cent of the drawing.
struct TFrameBox {
    int Left, Top, Width, Height;
};
const std::vector<TFrameBox> kDrawings[8] = {
    {{0, 0, 20, 100}, {20, 0, 80, 100}},
    {{0, 0, 100, 15}, {0, 15, 100, 85}},
    {{0, 0, 100, 85}, {0, 85, 100, 15}},
    {{0, 0, 100, 15}, {0, 15, 20, 85}, {20, 15, 80, 85}},
    {{0, 0, 15, 100}, {15, 0, 70, 100}, {85, 0, 15, 100}},
    {{0, 0, 100, 15}, {0, 15, 100, 70}, {0, 85, 100, 15}},
    {{0, 0, 100, 15}, {0, 15, 33, 70}, {33, 15, 34, 70}, {67, 15, 33, 70}, {0, 85, 100, 15}},
    {{0, 0, 33, 50}, {33, 0, 34, 50}, {67, 0, 33, 50}, {0, 50, 100, 50}},
};

constexpr int kDrawingWidth = 96, kDrawingHeight = 64;

// A drawing: a white box with one navy panel per frame, a pixel apart.
void addDrawing(std::vector<TComponentDescription>& c, int index, int left, int top) {
    const std::string box = "Drawing" + std::to_string(index + 1);
    c.push_back(WithProperty(WithProperty(DescribeGroupPanel(box, Bounds(left, top, kDrawingWidth, kDrawingHeight)),
                                          "BevelOuter", "bvLowered"),
                             "Color", static_cast<int64_t>(clWhite)));
    constexpr int inner = 2, width = kDrawingWidth - 2 * inner, height = kDrawingHeight - 2 * inner;
    int part = 0;
    for (const TFrameBox& frame : kDrawings[index]) {
        const int x = inner + frame.Left * width / 100, y = inner + frame.Top * height / 100;
        const int right = inner + (frame.Left + frame.Width) * width / 100;
        const int bottom = inner + (frame.Top + frame.Height) * height / 100;
        c.push_back(WithProperty(DescribeGroupPanel(box + "Frame" + std::to_string(++part),
                                                    Bounds(x + 1, y + 1, right - x - 2, bottom - y - 2), box),
                                 "Color", static_cast<int64_t>(clNavy)));
    }
}

const TFormDescription& templatesDescription() {
    static const TFormDescription form = [] {
        TFormDescription form{.Properties = DialogProperties("Frame templates", 448, 265)};
        auto& c = form.Components;
        for (int i = 0; i < 8; ++i) {
            const int left = 16 + (i % 4) * 106, top = 12 + (i / 4) * 108;
            c.push_back(DescribeRadio("RadioButton" + std::to_string(i + 1), "Template " + std::to_string(i + 1),
                                      Bounds(left, top, kDrawingWidth, 17), i == 0));
            addDrawing(c, i, left, top + 22);
        }
        AddDialogButtons(c, 440, 232, {.Help = {}});
        return form;
    }();
    return form;
}

const TFormDescription& framesetDescription() {
    static const TFormDescription form = [] {
        TFormDescription form{.Properties = DialogProperties("Frameset", 300, 236)};
        auto& c = form.Components;
        c.push_back(DescribeRowLabel("Frames:", kDialogMargin, 12));
        c.push_back(DescribeSpin("SpinEdit1", Bounds(100, 12, 70, kFieldHeight), 1, 100000, 1));
        c.push_back(DescribeGroup("GroupBox1", "Frameset style", Bounds(kDialogMargin, 44, 136, 70)));
        c.push_back(DescribeRadio("RadioButton1", "Column", Bounds(10, 20, 110, 17), true, "GroupBox1"));
        c.push_back(DescribeRadio("RadioButton2", "Row", Bounds(10, 44, 110, 17), false, "GroupBox1"));
        c.push_back(DescribeGroup("GroupBox2", "Scrolling", Bounds(152, 44, 140, 94)));
        c.push_back(DescribeRadio("RadioButton3", "Automatic", Bounds(10, 20, 110, 17), true, "GroupBox2"));
        c.push_back(DescribeRadio("RadioButton4", "Yes", Bounds(10, 44, 110, 17), false, "GroupBox2"));
        c.push_back(DescribeRadio("RadioButton5", "No", Bounds(10, 68, 110, 17), false, "GroupBox2"));
        c.push_back(DescribeCheck("CheckBox1", "Frameborder", Bounds(kDialogMargin + 4, 122, 130, 17), true));
        c.push_back(DescribeCheck("CheckBox2", "No resize", Bounds(kDialogMargin + 4, 146, 130, 17)));
        c.push_back(DescribeRowLabel("Framespacing:", kDialogMargin, 172));
        c.push_back(DescribeSpin("SpinEdit2", Bounds(100, 172, 70, kFieldHeight), 0, 100000, 2));
        AddDialogButtons(c, 292, 203,
                         {.Ok = "Button1", .OkClick = "BitBtn1Click", .Cancel = "Button2", .Help = "Button3",
                          .HelpClick = "Button3Click"});
        return form;
    }();
    return form;
}

} // namespace

const std::array<std::string, 8>& FrameTemplates() {
    static const std::array<std::string, 8> templates = {
        frameTemplate({framesetLine(0, "COLS=\"20%,* \""), frameLine(3, "menu"), frameLine(3, "main")}),
        frameTemplate({framesetLine(0, "ROWS=\"15%,* \" FRAMESPACING=2"), frameLine(3, "haut"),
                       frameLine(3, "princiaple")}),
        frameTemplate({framesetLine(0, "ROWS=\"85%,* \" FRAMESPACING=2"), frameLine(3, "main"),
                       frameLine(3, "bottom")}),
        frameTemplate({framesetLine(0, "ROWS=\"15%,* \" FRAMESPACING=2"), frameLine(3, "haut"),
                       framesetLine(3, "COLS=\"20%,* \""), frameLine(3, "menu"), frameLine(3, "main"),
                       "   </FRAMESET>"}),
        frameTemplate({framesetLine(0, "COLS=\"15%,*,15% \""), frameLine(3, "left"), frameLine(3, "main"),
                       frameLine(3, "right")}),
        frameTemplate({framesetLine(0, "ROWS=\"15%,*,15% \""), frameLine(3, "haut"), frameLine(3, "main"),
                       frameLine(3, "bottom")}),
        frameTemplate({framesetLine(0, "ROWS=\"15%,*,15% \" FRAMESPACING=2"), frameLine(3, "haut"),
                       framesetLine(3, "COLS=\"50%,* \""), frameLine(4, "left"), frameLine(4, "main"),
                       frameLine(4, "right"), "   </FRAMESET> ", frameLine(3, "bottom")}),
        frameTemplate({framesetLine(0, "ROWS=\"50%,* \" FRAMESPACING=2"), framesetLine(3, "COLS=\"50%,* \""),
                       frameLine(5, "left"), frameLine(5, "main"), frameLine(5, "right"), "   </FRAMESET>",
                       frameLine(3, "bottom")}),
    };
    return templates;
}

// ---- Frame templates -----------------------------------------------------------------

Tmodframefrm::Tmodframefrm(TComponent* owner) : TElementDialog(owner) {
    THandlerTable handlers;
    handlers.Add("okbtnClick", this, &Tmodframefrm::okbtnClick);
    Build(templatesDescription(), handlers);
    for (int i = 0; i < 8; ++i)
        RadioButtons[static_cast<size_t>(i)] = Find<TRadioButton>("RadioButton" + std::to_string(i + 1));
}

void Tmodframefrm::okbtnClick(TPersistent*) {
    for (size_t i = 0; i < RadioButtons.size(); ++i)
        if (RadioButtons[i]->Checked())
            InsertMarkup(FrameTemplates()[i]);
}

// ---- Frameset -------------------------------------------------------------------------------

Tframefrm::Tframefrm(TComponent* owner) : TElementDialog(owner) {
    THandlerTable handlers;
    handlers.Add("BitBtn1Click", this, &Tframefrm::BitBtn1Click);
    handlers.Add("Button3Click", this, &Tframefrm::Button3Click);
    Build(framesetDescription(), handlers);
    SpinEdit1 = Find<TSpinEdit>("SpinEdit1");
    RadioButton1 = Find<TRadioButton>("RadioButton1");
    RadioButton2 = Find<TRadioButton>("RadioButton2");
    RadioButton3 = Find<TRadioButton>("RadioButton3");
    RadioButton4 = Find<TRadioButton>("RadioButton4");
    RadioButton5 = Find<TRadioButton>("RadioButton5");
    CheckBox1 = Find<TCheckBox>("CheckBox1");
    CheckBox2 = Find<TCheckBox>("CheckBox2");
    SpinEdit2 = Find<TSpinEdit>("SpinEdit2");
}

std::string Tframefrm::Markup() const {
    std::string markup = "<FRAMESET";
    // The sizes are a start for the author to edit, whatever the number
    // of frames.
    if (RadioButton2->Checked())
        markup += " ROWS=\"50%,* \" FRAMESPACING=" + SpinText(*SpinEdit2);
    else
        markup += " COLS=\"50%,* \"";
    if (RadioButton4->Checked())
        markup += " SCROLLING=\"YES\"";
    else if (RadioButton5->Checked())
        markup += " SCROLLING=\"NO\"";
    if (!CheckBox1->Checked())
        markup += " FRAMEBORDER=0 BORDER=0";
    if (CheckBox2->Checked())
        markup += " NORESIZE";
    markup += "> <!-- Specify your frame sizes --> ";
    for (int i = 0; i < SpinEdit1->Value(); ++i)
        markup += std::string(kCrLf) + "   <FRAME NAME=\"frame name\" SRC=\"src file\"> ";
    return markup + kCrLf + "</FRAMESET>";
}

void Tframefrm::BitBtn1Click(TPersistent*) { InsertMarkup(Markup()); }

void Tframefrm::Button3Click(TPersistent*) { OpenDialogHelpPage("cadres.htm"); }
