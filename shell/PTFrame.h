#pragma once
// Three-dimensional frames in eleven styles, and the two controls that
// show them: TPTGroup, a container whose frame is its window's non-client
// area (child controls sit inside it), optionally a group box with its
// caption in the top edge; and TPTFrame, a windowless framed label.

#include "platform/ui/Control.h"
#include "platform/ui/TextAlignment.h"

#include <functional>
#include <string>

enum TPTFrameStyle {
    ptfsNone,
    ptfsGroup,
    ptfsLowered,
    ptfsRaised,
    ptfsDint,
    ptfsBump,
    ptfsSingle,
    ptfsHorzLine,
    ptfsHorzEdge,
    ptfsVertLine,
    ptfsVertEdge,
};

// The caption height a group box leaves at its top: the height of "0" in
// the canvas's font, 2 when the caption is empty.
int PTFrameCaptionHeight(TCanvas& canvas, const std::string& caption);
// The part of rect (right and bottom exclusive) inside a frame of style.
TRect PTFrameInnerRect(TPTFrameStyle style, const TRect& rect, int captionHeight);
// Draws a frame around rect (right and bottom exclusive).  The group box
// fills rect with color first and writes its caption into the top edge,
// embossed when disabled.
void PTDrawFrame(TCanvas& canvas, TPTFrameStyle style, const TRect& rect, const std::string& caption, bool enabled,
                 TColor color);
// A caption on one line, centred vertically, cut with "..." when too wide,
// inside rect less frameSpace at the left and right.
void PTDrawFrameCaption(TCanvas& canvas, const std::string& caption, const TRect& rect, TAlignment alignment,
                        int frameSpace);

using TPTFramePaintEvent = std::function<void(TPersistent* sender, TCanvas& canvas)>;

class TPTCustomGroup : public TCustomControl {
public:
    explicit TPTCustomGroup(TComponent* owner = nullptr);
    std::string ClassName() const override { return "TPTCustomGroup"; }

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    bool DefaultDrawing = true;
    int FrameSpace() const { return frameSpace_; }
    void SetFrameSpace(int value);
    TPTFrameStyle FrameStyle() const { return frameStyle_; }
    virtual void SetFrameStyle(TPTFrameStyle value);
    TPTFramePaintEvent OnPaint;

    int ClientWidth() const override;
    int ClientHeight() const override;
    void CreateParams(TCreateParams& params) override;

protected:
    void Dispatch(TMessage& message) override;
    void Paint() override;
    // Paints the frame over the whole window (rect, in window coordinates).
    virtual void DrawFrame(TCanvas& canvas, const TRect& rect);
    // The window's client area for its current size.
    TRect ClientAreaOfWindow() const;

private:
    void frameChanged();
    TAlignment alignment_ = taCenter;
    int frameSpace_ = 2;
    TPTFrameStyle frameStyle_ = ptfsGroup;
};

class TPTGroup : public TPTCustomGroup {
public:
    using TPTCustomGroup::TPTCustomGroup;
    std::string ClassName() const override { return "TPTGroup"; }
};

class TPTCustomFrame : public TGraphicControl {
public:
    explicit TPTCustomFrame(TComponent* owner = nullptr);
    std::string ClassName() const override { return "TPTCustomFrame"; }

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    bool DefaultDrawing = true;
    int FrameSpace() const { return frameSpace_; }
    void SetFrameSpace(int value);
    TPTFrameStyle FrameStyle() const { return frameStyle_; }
    void SetFrameStyle(TPTFrameStyle value);
    TPTFramePaintEvent OnPaint;

protected:
    void Dispatch(TMessage& message) override;
    void Paint() override;

private:
    // Repaints what lies inside the frame only.
    void invalidateInside();
    TAlignment alignment_ = taCenter;
    int frameSpace_ = 2;
    TPTFrameStyle frameStyle_ = ptfsLowered;
};

class TPTFrame : public TPTCustomFrame {
public:
    using TPTCustomFrame::TPTCustomFrame;
    std::string ClassName() const override { return "TPTFrame"; }
};
