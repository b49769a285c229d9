#pragma once
// The main window's status bar.  Its hint panel takes the width the other
// panels leave, and never less than kMinimumHintWidth, so that the panels
// after it (the document's encoding) keep their own width in a narrow
// window instead of being cut at its edge.

#include "platform/ui/StatusBar.h"

inline constexpr int kMinimumHintWidth = 50;

class TMainStatusBar : public TStatusBar {
public:
    // hintPanel: the index of the panel that takes the spare width.
    TMainStatusBar(TComponent* owner, int hintPanel) : TStatusBar(owner), hintPanel_(hintPanel) {}

    // Gives the hint panel what the others leave of the bar's width.
    void FitHintPanel();

protected:
    void BoundsChanged(const TRect& oldBounds) override;

private:
    int hintPanel_;
};
