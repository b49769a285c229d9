#pragma once
// TMemoPainter: draws the memo's visible display lines with their style
// codes, highlighting colours and fonts, the selection (plain or column
// block), the background picture, the special underline and the
// end-of-text mark; and draws lines on another canvas (a printer's).
// Each display line is drawn in its own band, clipped to it, so any line
// can be painted alone: its state is rebuilt from the line record and the
// paragraph's context records.

#include "editor/MemoMessages.h"

#include "platform/gfx/Canvas.h"
#include "platform/ui/Message.h"

#include <cstdint>
#include <memory>

class TCodeDocument;
class TCodeMemo;
class TCodeNavigator;
class TMemoView;

class TMemoPainter {
public:
    TMemoPainter(TCodeMemo& memo, TMemoView& view);
    ~TMemoPainter();

    // The paint message: WParam 0 paints the window's invalid region,
    // otherwise the TCanvas* it carries gets the whole client area.
    void Paint(TMessage& message);
    void DrawLinesOnCanvas(TCanvas& canvas, const TPaintRange& range);
    // The width the lines were last laid out for on another canvas (0: they
    // are the screen's).  Lines drawn there are aligned and justified within
    // it, as they were broken, whatever the canvas's own width.
    void SetOutputLayoutWidth(int32_t width) { outputLayoutWidth_ = width; }

private:
    void paintLines(TCanvas& canvas, int32_t first, int32_t last, const TRect& paintRect, bool onOutput,
                    int32_t outputX, int32_t outputY, float spacing);

    TCodeMemo& memo_;
    TMemoView& view_;
    TCodeDocument& document_;
    // Walks from the first line painted to the last.
    std::unique_ptr<TCodeNavigator> lineWalker_;
    int32_t outputLayoutWidth_ = 0;
};
