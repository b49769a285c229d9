#pragma once
// The preview of a page's colours that the body dialog and the new-page
// wizard show: a word for the text and one for each kind of link, each in
// its colour (the links underlined), on the page's background.

#include "app/dialogs/BodyTag.h"

class TColorDialog;
class TPanel;
class TRichTextView;

struct TBodyPreviewWords {
    const char* Text;
    const char* Link;
    const char* ActiveLink;
    const char* VisitedLink;
};

// Colours the first occurrence of word.
void ColorPreviewWord(TRichTextView& preview, const char* word, TColor color);
// Colours the words and the background as the body's colours say, and
// underlines the links.
void PaintBodyPreview(TRichTextView& preview, const TBodyPreviewWords& words, const TBodyTag& colors);
// A swatch's click: the colour dialog chooses its colour, which word then
// takes (without a word, the preview's background).  True on OK.
bool ChoosePreviewColor(TColorDialog& dialog, TPanel& swatch, TRichTextView& preview, const char* word);
