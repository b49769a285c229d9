#pragma once
// The BODY start tag with a page's colours, background picture and
// margins, as the body dialog and the new-page wizard write it.

#include "platform/gfx/Color.h"

#include <string>

// The margins a page has when the tag names none.
inline constexpr int kBodyTopMargin = 16;
inline constexpr int kBodyLeftMargin = 10;

struct TBodyTag {
    TColor Background = clWhite;
    std::string Picture = {};
    TColor Text = clBlack;
    TColor Link = clBlue;
    TColor ActiveLink = clPurple;
    TColor VisitedLink = clNavy;
    // The background picture stays put while the page scrolls.
    bool Watermark = false;
    int TopMargin = kBodyTopMargin;
    int LeftMargin = kBodyLeftMargin;
};

// Every colour and the picture are written; the watermark and the margins
// only when they differ from a plain page's.
std::string BodyTagMarkup(const TBodyTag& body);
