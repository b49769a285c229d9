#include "app/ToolbarIcons.h"

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/ImageList.h"

#include <functional>
#include <utility>
#include <vector>

namespace {

// "No fill": a shape drawn with it is hollow.
constexpr TColor kHollow = clNone;
constexpr TColor kInk = clBlack;
constexpr TColor kPaper = clWhite;
constexpr TColor kBlue = RGB(0, 64, 160);
constexpr TColor kGrey = RGB(128, 128, 128);
constexpr TColor kYellow = RGB(240, 200, 60);

// Drawing helpers on a 16 x 16 canvas; coordinates are pixels, rectangles
// include both corners.
struct TPen16 {
    TCanvas& C;
    // What lies behind the picture: drawn over to cut a shape out.
    TColor Background;

    void Line(int x1, int y1, int x2, int y2, TColor color = kInk) {
        C.Pen().SetColor(color);
        C.Pen().SetWidth(1);
        C.MoveTo(x1, y1);
        C.LineTo(x2, y2);
        C.SetPixel(x2, y2, color);
    }
    void Fill(int x1, int y1, int x2, int y2, TColor color) { C.FillRect(TRect{x1, y1, x2 + 1, y2 + 1}, color); }
    void Frame(int x1, int y1, int x2, int y2, TColor color = kInk) {
        Line(x1, y1, x2, y1, color);
        Line(x1, y2, x2, y2, color);
        Line(x1, y1, x1, y2, color);
        Line(x2, y1, x2, y2, color);
    }
    void Box(int x1, int y1, int x2, int y2, TColor fill, TColor frame = kInk) {
        Fill(x1, y1, x2, y2, fill);
        Frame(x1, y1, x2, y2, frame);
    }
    void Text(int x, int y, const char* text, TFontStyles style = fsBold, int height = -13, TColor color = kInk,
              const char* face = "Times New Roman") {
        C.Font().SetName(face);
        C.Font().SetHeight(height);
        C.Font().SetStyle(style);
        C.Font().SetColor(color);
        C.SetBkMode(TRANSPARENT);
        C.TextOut(x, y, text);
    }
    // A text centred in the picture.
    void Centred(const char* text, TFontStyles style = fsBold, int height = -13, TColor color = kInk,
                 const char* face = "Times New Roman") {
        C.Font().SetName(face);
        C.Font().SetHeight(height);
        C.Font().SetStyle(style);
        int width = C.TextWidth(text);
        int tall = C.TextHeight(text);
        Text((16 - width) / 2, (16 - tall) / 2, text, style, height, color, face);
    }
    void Ellipse(int x1, int y1, int x2, int y2, TColor fill, TColor frame = kInk) {
        C.Brush().SetStyle(fill == kHollow ? bsClear : bsSolid);
        if (fill != kHollow)
            C.Brush().SetColor(fill);
        C.Pen().SetColor(frame);
        C.Ellipse(x1, y1, x2 + 1, y2 + 1);
    }
    // Short rules of text, as on a page.
    void Rules(int x1, int x2, int top, int count, int step = 2, TColor color = kInk) {
        for (int i = 0; i < count; ++i)
            Line(x1, top + i * step, x2, top + i * step, color);
    }
    // A sheet of paper with a folded corner.
    void Page(int x1 = 3, int y1 = 1, int x2 = 12, int y2 = 14) {
        Fill(x1, y1, x2, y2, kPaper);
        Line(x1, y1, x2 - 3, y1);
        Line(x2 - 3, y1, x2, y1 + 3);
        Line(x2, y1 + 3, x2, y2);
        Line(x1, y2, x2, y2);
        Line(x1, y1, x1, y2);
        Fill(x2 - 2, y1, x2, y1 + 2, Background);
        Line(x2 - 3, y1, x2 - 3, y1 + 3);
        Line(x2 - 3, y1 + 3, x2, y1 + 3);
    }
    // A page with a tag ("<>") whose top is at y, and rules of text below it.
    void TaggedPage(int y) {
        Page();
        Line(7, y, 5, y + 2, kBlue);
        Line(5, y + 2, 7, y + 4, kBlue);
        Line(8, y, 10, y + 2, kBlue);
        Line(10, y + 2, 8, y + 4, kBlue);
        Rules(5, 10, y + 6, 2, 2, kGrey);
    }
    // A table of rows x columns cells; the header row shaded.
    void Grid(int rows, int columns, bool header, int highlightRow = -1, int highlightColumn = -1) {
        Box(1, 2, 14, 13, kPaper);
        const int height = 11 / rows;
        const int width = 13 / columns;
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c) {
                int x1 = 1 + c * width, y1 = 2 + r * height;
                int x2 = c == columns - 1 ? 14 : x1 + width, y2 = r == rows - 1 ? 13 : y1 + height;
                bool lit = (header && r == 0) || r == highlightRow || (highlightRow < 0 && c == highlightColumn &&
                                                                         r == 1);
                Box(x1, y1, x2, y2, lit ? kYellow : kPaper);
            }
    }
    // A form field: a sunken white box.
    void Field(int x1, int y1, int x2, int y2) {
        Fill(x1, y1, x2, y2, kPaper);
        Line(x1, y1, x2, y1, kGrey);
        Line(x1, y1, x1, y2, kGrey);
        Line(x1 + 1, y2, x2, y2, clSilver);
        Line(x2, y1 + 1, x2, y2, clSilver);
    }
    // A small picture: sky, a sun and a hill.
    void Picture(int x1, int y1, int x2, int y2) {
        Box(x1, y1, x2, y2, RGB(160, 210, 255));
        Ellipse(x2 - 5, y1 + 2, x2 - 2, y1 + 5, kYellow, kYellow);
        for (int x = x1 + 1; x < x2; ++x) {
            int top = y2 - 1 - (x - x1 < (x2 - x1) / 2 ? x - x1 : x2 - x);
            if (top < y1 + 4)
                top = y1 + 4;
            Line(x, top, x, y2 - 1, RGB(40, 140, 40));
        }
    }
    // A bent arrow pointing left (undo) or right (redo).
    void Arrow(bool left) {
        auto x = [left](int at) { return left ? at : 15 - at; };
        Line(x(3), 6, x(6), 3, kBlue);
        Line(x(3), 6, x(6), 9, kBlue);
        Line(x(3), 6, x(10), 6, kBlue);
        Line(x(4), 7, x(10), 7, kBlue);
        Line(x(10), 6, x(12), 8, kBlue);
        Line(x(11), 6, x(13), 8, kBlue);
        Line(x(12), 8, x(12), 12, kBlue);
        Line(x(13), 8, x(13), 12, kBlue);
    }
};

using TPainter = std::function<void(TPen16&)>;

void alignedRules(TPen16& p, int mode) {
    static const int widths[] = {12, 8, 12, 6, 10};
    for (int i = 0; i < 5; ++i) {
        int w = widths[i];
        int x1 = mode == 0 ? 2 : mode == 1 ? 8 - w / 2 : 14 - w;
        p.Line(x1, 3 + i * 2 + (i > 0 ? i : 0) / 2, x1 + w - 1, 3 + i * 2 + (i > 0 ? i : 0) / 2);
    }
}

const std::vector<std::pair<std::string, TPainter>>& painters() {
    static const std::vector<std::pair<std::string, TPainter>> all = {
        // Font
        {"policeBtn", [](TPen16& p) { p.Centred("A", fsBold, -15, kBlue); }},
        {"colorBtn",
         [](TPen16& p) {
             p.Box(1, 1, 7, 7, clRed);
             p.Box(8, 1, 14, 7, RGB(0, 170, 0));
             p.Box(1, 8, 7, 14, clBlue);
             p.Box(8, 8, 14, 14, kYellow);
         }},
        {"sizeBtn",
         [](TPen16& p) {
             p.Text(0, 3, "A", fsBold, -11);
             p.Text(6, 0, "A", fsBold, -16);
         }},
        {"headingBtn", [](TPen16& p) { p.Centred("H", fsBold, -14, kBlue, "Arial"); }},
        {"boldBtn", [](TPen16& p) { p.Centred("B", fsBold, -14); }},
        {"italicBtn", [](TPen16& p) { p.Centred("I", fsBold | fsItalic, -14); }},
        {"underlineBtn", [](TPen16& p) { p.Centred("U", fsBold | fsUnderline, -14); }},
        {"strikeBtn", [](TPen16& p) { p.Centred("S", fsBold | fsStrikeOut, -14); }},
        {"blinkBtn",
         [](TPen16& p) {
             p.Line(8, 1, 8, 14, kYellow);
             p.Line(1, 8, 14, 8, kYellow);
             p.Line(3, 3, 12, 12, kYellow);
             p.Line(3, 12, 12, 3, kYellow);
             p.Ellipse(5, 5, 10, 10, kYellow, RGB(200, 120, 0));
         }},
        // Text
        {"alignleftBtn", [](TPen16& p) { alignedRules(p, 0); }},
        {"centerBtn", [](TPen16& p) { alignedRules(p, 1); }},
        {"alignrightBtn", [](TPen16& p) { alignedRules(p, 2); }},
        {"paragraphBtn", [](TPen16& p) { p.Centred("\xC2\xB6", 0, -15, kInk, "Arial"); }},
        {"brBtn",
         [](TPen16& p) {
             p.Line(12, 3, 12, 10, kBlue);
             p.Line(3, 10, 12, 10, kBlue);
             p.Line(3, 10, 6, 7, kBlue);
             p.Line(3, 10, 6, 13, kBlue);
         }},
        {"preformatBtn",
         [](TPen16& p) {
             p.Box(1, 1, 14, 14, kPaper, kGrey);
             p.Text(2, 1, "pre", fsBold, -9, kInk, "Courier New");
             p.Rules(3, 12, 11, 2, 2, kGrey);
         }},
        {"blocquoteBtn",
         [](TPen16& p) {
             p.Text(1, -2, "\xE2\x80\x9C", fsBold, -18, kBlue);
             p.Rules(5, 14, 9, 3, 2);
         }},
        {"hrBtn",
         [](TPen16& p) {
             p.Rules(2, 13, 3, 2, 2, kGrey);
             p.Fill(1, 8, 14, 9, kInk);
             p.Rules(2, 13, 12, 2, 2, kGrey);
         }},
        {"supBtn",
         [](TPen16& p) {
             p.Text(0, 3, "x", 0, -13);
             p.Text(8, 0, "2", fsBold, -9, kBlue, "Arial");
         }},
        {"subBtn",
         [](TPen16& p) {
             p.Text(0, 0, "x", 0, -13);
             p.Text(8, 7, "2", fsBold, -9, kBlue, "Arial");
         }},
        {"nbspBtn",
         [](TPen16& p) {
             p.Line(2, 9, 2, 12);
             p.Line(2, 12, 13, 12);
             p.Line(13, 9, 13, 12);
             p.Fill(7, 6, 8, 7, kBlue);
         }},
        {"specCaracBtn", [](TPen16& p) { p.Centred("\xC2\xA9", fsBold, -15, kBlue, "Arial"); }},
        // Document
        {"metaBtn",
         [](TPen16& p) {
             p.Page();
             p.Text(4, 3, "M", fsBold, -9, kBlue, "Arial");
             p.Rules(5, 10, 11, 2);
         }},
        {"titleBtn",
         [](TPen16& p) {
             p.Box(1, 2, 14, 13, kPaper);
             p.Fill(2, 3, 13, 5, kBlue);
             p.Rules(3, 12, 8, 3);
         }},
        {"headBtn",
         [](TPen16& p) {
             p.Page();
             p.Fill(4, 4, 11, 7, kYellow);
             p.Rules(5, 10, 9, 3, 2, kGrey);
         }},
        {"bodyBtn",
         [](TPen16& p) {
             p.Page();
             p.Rules(5, 10, 5, 5, 2);
         }},
        {"commentBtn", [](TPen16& p) { p.Centred("<!>", fsBold, -11, RGB(0, 128, 0), "Arial"); }},
        // Table
        {"tableBtn", [](TPen16& p) { p.Grid(3, 3, true); }},
        {"trBtn", [](TPen16& p) { p.Grid(3, 3, false, 1); }},
        {"tdBtn", [](TPen16& p) { p.Grid(3, 3, false, -1, 1); }},
        {"thBtn",
         [](TPen16& p) {
             p.Grid(3, 3, true);
             p.Line(2, 4, 13, 4, kInk);
         }},
        // Frame
        {"framesetBtn",
         [](TPen16& p) {
             p.Box(1, 1, 14, 14, kPaper);
             p.Fill(2, 2, 5, 13, RGB(200, 220, 255));
             p.Line(5, 1, 5, 14);
             p.Line(5, 5, 14, 5);
         }},
        // Link
        {"linkBtn",
         [](TPen16& p) {
             p.Ellipse(1, 5, 9, 10, kHollow, kBlue);
             p.Ellipse(6, 5, 14, 10, kHollow, kBlue);
         }},
        {"ilinkBtn",
         [](TPen16& p) {
             p.Ellipse(1, 8, 8, 12, kHollow, kBlue);
             p.Ellipse(6, 8, 13, 12, kHollow, kBlue);
             p.Text(8, -1, "#", fsBold, -10, kInk, "Arial");
         }},
        {"anchorBtn",
         [](TPen16& p) {
             p.Ellipse(6, 1, 9, 4, kHollow, kInk);
             p.Line(7, 4, 7, 13);
             p.Line(4, 6, 11, 6);
             p.Line(2, 10, 7, 14);
             p.Line(13, 10, 7, 14);
         }},
        {"imagemapBtn",
         [](TPen16& p) {
             p.Picture(1, 2, 14, 13);
             p.Frame(3, 4, 8, 8, clRed);
         }},
        // Form
        {"formBtn",
         [](TPen16& p) {
             p.Box(0, 1, 15, 14, clBtnFace);
             p.Field(2, 3, 13, 6);
             p.Box(8, 9, 13, 12, clBtnFace, kGrey);
         }},
        {"scrolllistBtn",
         [](TPen16& p) {
             p.Field(1, 1, 14, 14);
             p.Fill(10, 2, 13, 13, clBtnFace);
             p.Fill(10, 5, 13, 8, kGrey);
             p.Rules(3, 8, 3, 5, 2);
         }},
        {"boxlistBtn",
         [](TPen16& p) {
             p.Field(1, 4, 14, 11);
             p.Fill(10, 5, 13, 10, clBtnFace);
             p.Line(10, 7, 13, 7);
             p.Line(11, 8, 12, 8);
             p.Rules(3, 8, 7, 1);
         }},
        {"radioBtn",
         [](TPen16& p) {
             p.Ellipse(2, 2, 13, 13, kPaper, kGrey);
             p.Ellipse(5, 5, 10, 10, kInk, kInk);
         }},
        {"checkboxBtn",
         [](TPen16& p) {
             p.Field(2, 2, 13, 13);
             p.Line(4, 7, 6, 10, kInk);
             p.Line(6, 10, 11, 4, kInk);
             p.Line(4, 8, 6, 11, kInk);
             p.Line(6, 11, 11, 5, kInk);
         }},
        {"fileboxBtn",
         [](TPen16& p) {
             p.Field(0, 4, 10, 11);
             p.Box(11, 4, 15, 11, clBtnFace, kGrey);
             p.Text(11, 2, "..", fsBold, -9, kInk, "Arial");
         }},
        {"hiddenBtn",
         [](TPen16& p) {
             p.C.Pen().SetStyle(psDot);
             p.C.Brush().SetStyle(bsClear);
             p.C.Pen().SetColor(kGrey);
             p.C.Rectangle(1, 4, 15, 12);
             p.C.Pen().SetStyle(psSolid);
         }},
        {"textboxBtn",
         [](TPen16& p) {
             p.Field(0, 4, 15, 11);
             p.Text(2, 4, "ab", 0, -9, kInk, "Arial");
             p.Line(11, 6, 11, 9);
         }},
        {"btextboxBtn",
         [](TPen16& p) {
             p.Field(1, 1, 14, 14);
             p.Rules(3, 11, 4, 4, 2);
         }},
        {"buttonBtn",
         [](TPen16& p) {
             p.Box(1, 4, 14, 11, clBtnFace, kGrey);
             p.Line(2, 5, 12, 5, kPaper);
             p.Line(2, 5, 2, 9, kPaper);
             p.Rules(5, 10, 8, 1);
         }},
        {"formpicBtn",
         [](TPen16& p) {
             p.Picture(1, 1, 14, 10);
             p.Box(5, 11, 14, 14, clBtnFace, kGrey);
         }},
        // List
        {"listBtn",
         [](TPen16& p) {
             for (int i = 0; i < 3; ++i) {
                 p.Fill(2, 3 + i * 4, 3, 4 + i * 4, kBlue);
                 p.Line(6, 3 + i * 4, 13, 3 + i * 4);
             }
         }},
        {"liBtn",
         [](TPen16& p) {
             p.Fill(2, 7, 4, 9, kBlue);
             p.Line(6, 8, 14, 8);
         }},
        {"dtBtn",
         [](TPen16& p) {
             p.Line(2, 4, 10, 4);
             p.Line(2, 5, 10, 5);
             p.Rules(5, 14, 8, 3, 2, kGrey);
         }},
        // Multimedia
        {"imageBtn", [](TPen16& p) { p.Picture(1, 2, 14, 13); }},
        {"java2Btn",
         [](TPen16& p) {
             p.Box(3, 6, 10, 13, kPaper, RGB(160, 80, 0));
             p.Ellipse(10, 8, 13, 11, kHollow, RGB(160, 80, 0));
             p.Line(5, 1, 6, 4, kGrey);
             p.Line(8, 1, 7, 4, kGrey);
         }},
        {"embeddedBtn",
         [](TPen16& p) {
             p.Box(1, 3, 14, 12, kInk);
             for (int x = 2; x < 14; x += 3) {
                 p.Fill(x, 4, x + 1, 4, kPaper);
                 p.Fill(x, 11, x + 1, 11, kPaper);
             }
             p.Fill(3, 6, 12, 9, RGB(160, 210, 255));
         }},
        {"objectBtn",
         [](TPen16& p) {
             p.Box(2, 5, 10, 13, RGB(200, 220, 255));
             p.Line(2, 5, 5, 2);
             p.Line(5, 2, 13, 2);
             p.Line(10, 5, 13, 2);
             p.Line(13, 2, 13, 10);
             p.Line(10, 13, 13, 10);
         }},
        {"qtBtn",
         [](TPen16& p) {
             p.Ellipse(1, 1, 14, 14, RGB(200, 200, 255), kBlue);
             p.Centred("Q", fsBold, -10, kBlue, "Arial");
         }},
        {"realBtn",
         [](TPen16& p) {
             p.Ellipse(1, 1, 14, 14, RGB(255, 220, 200), RGB(0, 0, 160));
             p.Centred("R", fsBold, -10, RGB(0, 0, 160), "Arial");
         }},
        {"flashBtn",
         [](TPen16& p) {
             p.Box(1, 1, 14, 14, RGB(200, 0, 0), RGB(120, 0, 0));
             p.Centred("f", fsBold | fsItalic, -13, kPaper, "Arial");
         }},
        // Edit
        {"newBtn", [](TPen16& p) { p.Page(); }},
        {"openBtn",
         [](TPen16& p) {
             p.Box(1, 4, 12, 13, kYellow, RGB(120, 90, 0));
             p.Fill(2, 3, 5, 4, kYellow);
             p.Line(3, 8, 14, 8, RGB(120, 90, 0));
             p.Line(14, 8, 12, 13, RGB(120, 90, 0));
         }},
        {"saveBtn",
         [](TPen16& p) {
             p.Box(1, 1, 14, 14, kBlue);
             p.Fill(4, 2, 11, 6, kPaper);
             p.Fill(4, 9, 11, 13, clSilver);
             p.Fill(8, 10, 9, 12, kInk);
         }},
        {"saveallBtn",
         [](TPen16& p) {
             p.Box(4, 0, 15, 11, kBlue);
             p.Fill(6, 1, 13, 4, kPaper);
             p.Box(0, 4, 11, 15, kBlue);
             p.Fill(2, 5, 9, 8, kPaper);
             p.Fill(3, 11, 8, 14, clSilver);
         }},
        {"closeBtn",
         [](TPen16& p) {
             p.Page();
             p.Line(5, 6, 10, 11, clRed);
             p.Line(10, 6, 5, 11, clRed);
         }},
        {"closeallBtn",
         [](TPen16& p) {
             p.Page(4, 0, 13, 11);
             p.Page(1, 3, 10, 14);
             p.Line(3, 7, 8, 12, clRed);
             p.Line(8, 7, 3, 12, clRed);
         }},
        {"cutBtn",
         [](TPen16& p) {
             p.Line(5, 1, 9, 10);
             p.Line(10, 1, 6, 10);
             p.Ellipse(2, 10, 6, 14, kHollow, kBlue);
             p.Ellipse(9, 10, 13, 14, kHollow, kBlue);
         }},
        {"copyBtn",
         [](TPen16& p) {
             p.Box(1, 1, 9, 10, kPaper);
             p.Rules(3, 7, 3, 3, 2, kGrey);
             p.Box(6, 5, 14, 14, kPaper);
             p.Rules(8, 12, 8, 3, 2);
         }},
        {"pasteBtn",
         [](TPen16& p) {
             p.Box(1, 2, 11, 14, RGB(200, 150, 80), RGB(120, 80, 0));
             p.Fill(4, 1, 8, 3, kGrey);
             p.Box(6, 6, 14, 14, kPaper);
             p.Rules(8, 12, 9, 2, 2);
         }},
        {"undoBtn", [](TPen16& p) { p.Arrow(true); }},
        {"redoBtn", [](TPen16& p) { p.Arrow(false); }},
        {"ieBtn", [](TPen16& p) { p.Centred("e", fsBold, -16, kBlue, "Arial"); }},
        {"netscapeBtn",
         [](TPen16& p) {
             p.Box(1, 1, 14, 14, RGB(0, 90, 90), RGB(0, 60, 60));
             p.Centred("N", fsBold, -12, kPaper, "Arial");
         }},
        // Menu
        {"dhtmlMenuBtn",
         [](TPen16& p) {
             p.Box(0, 1, 15, 4, clBtnFace, kGrey);
             p.Box(3, 4, 12, 14, kPaper, kGrey);
             p.Fill(4, 7, 11, 9, RGB(10, 36, 106));
             p.Rules(5, 10, 6, 1, 2, kGrey);
             p.Rules(5, 10, 11, 2, 2, kGrey);
         }},
    };
    return all;
}

// Draws a picture on one background.
void paintOn(TBitmap& picture, const TPainter& paint, TColor background) {
    TCanvas& canvas = picture.Canvas();
    canvas.FillRect(TRect{0, 0, 16, 16}, background);
    TPen16 pen{canvas, background};
    paint(pen);
}

// Adds a picture to a list of 16 x 16 images.  Drawn on white and on
// black, a pixel tells how much of it the picture covers (smoothed text
// covers edges partly); the picture keeps the pixels covered at least half,
// in their colour over a button's face.
void addPicture(TImageList& images, const TPainter& paint) {
    TBitmap onWhite(16, 16), onBlack(16, 16), onFace(16, 16), mask(16, 16);
    paintOn(onWhite, paint, clWhite);
    paintOn(onBlack, paint, clBlack);
    paintOn(onFace, paint, clBtnFace);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            TColor white = onWhite.Canvas().Pixel(x, y);
            TColor black = onBlack.Canvas().Pixel(x, y);
            int seeThrough = (GetRValue(white) - GetRValue(black)) + (GetGValue(white) - GetGValue(black)) +
                             (GetBValue(white) - GetBValue(black));
            mask.Canvas().SetPixel(x, y, seeThrough > 3 * 127 ? clWhite : clBlack);
        }
    images.Add(onFace, &mask);
}

} // namespace

void DrawToolbarIcons(TImageList& images) {
    images.SetSize(16, 16);
    for (const auto& entry : painters())
        addPicture(images, entry.second);
}

void DrawPageTabIcons(TImageList& images) {
    images.SetSize(16, 16);
    // The source: a page of tags.
    addPicture(images, [](TPen16& p) { p.TaggedPage(4); });
    // The preview: a page under a magnifying glass.
    addPicture(images, [](TPen16& p) {
        p.Page(1, 1, 10, 13);
        p.Rules(3, 8, 4, 3, 2, kGrey);
        p.Ellipse(6, 6, 12, 12, RGB(200, 230, 255), kBlue);
        p.Line(11, 11, 14, 14, kInk);
        p.Line(12, 11, 15, 14, kInk);
    });
    // The design: a page and a pencil over it.
    addPicture(images, [](TPen16& p) {
        p.Page(1, 1, 10, 14);
        p.Rules(3, 8, 4, 4, 2, kGrey);
        for (int i = 0; i < 7; ++i) {
            p.Line(14 - i, 3 + i, 15 - i, 3 + i, kYellow);
            p.C.SetPixel(13 - i, 3 + i, RGB(200, 120, 0));
        }
        p.Line(7, 10, 8, 10, kInk);
        p.C.SetPixel(7, 11, kInk);
    });
}

void DrawToolPageIcons(TImageList& images) {
    images.SetSize(16, 16);
    // The tag inspector: names beside their values.
    addPicture(images, [](TPen16& p) { p.Grid(4, 2, true); });
    // The file explorer: a folder.
    addPicture(images, [](TPen16& p) {
        p.Box(1, 4, 14, 13, kYellow);
        p.Box(1, 2, 6, 4, kYellow);
        p.Line(2, 6, 13, 6, RGB(200, 150, 20));
    });
    // The project manager: a stack of pages.
    addPicture(images, [](TPen16& p) {
        p.Page(5, 0, 14, 11);
        p.Page(1, 4, 10, 15);
        p.Rules(3, 8, 8, 3, 2, kGrey);
    });
    // The quick codes: a page with a tag on it.
    addPicture(images, [](TPen16& p) { p.TaggedPage(5); });
}

int ToolbarIconIndex(const std::string& buttonName) {
    const auto& all = painters();
    for (size_t i = 0; i < all.size(); ++i)
        if (all[i].first == buttonName)
            return static_cast<int>(i);
    return -1;
}
