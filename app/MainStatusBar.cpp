#include "app/MainStatusBar.h"

#include <algorithm>

void TMainStatusBar::FitHintPanel() {
    const int last = Panels().Count() - 1;
    if (hintPanel_ < 0 || hintPanel_ >= last)
        return;
    TStatusPanel* hint = Panels().Items(hintPanel_);
    // At its narrowest the hint leaves the last panel (which reaches the
    // bar's end) as much as there is; what that panel has beyond its own
    // width goes back to the hint.
    hint->SetWidth(kMinimumHintWidth);
    const TRect end = PanelRect(last);
    const int spare = end.Width() - Panels().Items(last)->Width();
    if (spare > 0)
        hint->SetWidth(kMinimumHintWidth + spare);
}

void TMainStatusBar::BoundsChanged(const TRect& oldBounds) {
    TStatusBar::BoundsChanged(oldBounds);
    if (oldBounds.Width() != Width())
        FitHintPanel();
}
