#pragma once
// The private messages and notices of the memo control, and the range of
// display lines it draws on another canvas.

#include "editor/model/CodeHighlighter.h"

#include <cstdint>

// The private message that drives formatting in the background: each one
// formats a slice of about 25 ms and posts the next while work remains.
constexpr unsigned WM_CODEMEMO_BACKGROUND = 0x401;

// Notices the memo sends itself so that attached components see them: the
// view scrolled vertically, a click (0x403: left, 0x405: right) into a
// clickable context (WParam the context number, LParam the address of a
// std::string with the context's text), the caret moved.
constexpr unsigned WM_CODEMEMO_SCROLLED = 0x402;
constexpr unsigned WM_CODEMEMO_CONTEXTCLICK = 0x403;
constexpr unsigned WM_CODEMEMO_CARETMOVED = 0x404;
constexpr unsigned WM_CODEMEMO_CONTEXTRIGHTCLICK = 0x405;
// Posted by painting when it had to format paragraphs in view: the scroll
// bars and the top line follow once the paint is over.
constexpr unsigned WM_CODEMEMO_VIEWSYNC = 0x406;
// Posted to the memo by a gutter beside it, which hears it as an attached
// component: the gutter fits its width to the line numbers once the layout
// pass that changed the line count is over (resizing then would lay the
// memo out again in the middle of that pass).
constexpr unsigned WM_CODEGUTTER_FIT = 0x407;

// The display lines that DrawLinesOnCanvas puts on another canvas (a
// printer's): lines First..Last, the first one's top-left corner at (X, Y),
// Spacing pixels from one line's top to the next.
struct TPaintRange {
    int32_t First = 0;
    int32_t Last = 0;
    int32_t X = 0;
    int32_t Y = 0;
    float Spacing = 0;
};
