#include "app/dialogs/BodyTag.h"

#include "app/dialogs/ElementDialog.h"

std::string BodyTagMarkup(const TBodyTag& body) {
    // Each optional piece begins with the quote that closes the value
    // before it.
    std::string markup = "<BODY BGCOLOR=\"#" + HexColor(body.Background) + "\" BACKGROUND=\"" + body.Picture +
                         "\" TEXT=\"#" + HexColor(body.Text) + "\" LINK=\"#" + HexColor(body.Link) + "\" ALINK=\"#" +
                         HexColor(body.ActiveLink) + "\" VLINK=\"#" + HexColor(body.VisitedLink);
    if (body.Watermark)
        markup += "\" BGPROPERTIES=\"FIXED";
    if (body.TopMargin != kBodyTopMargin)
        markup += "\" TOPMARGIN=\"" + std::to_string(body.TopMargin);
    if (body.LeftMargin != kBodyLeftMargin)
        markup += "\" LEFTMARGIN=\"" + std::to_string(body.LeftMargin);
    return markup + "\">";
}
