#include "app/dialogs/BodyPreview.h"

#include "app/dialogs/ElementDialog.h"

#include "platform/ui/ExtControls.h"
#include "platform/ui/RichTextView.h"

#include <cstring>

void ColorPreviewWord(TRichTextView& preview, const char* word, TColor color) {
    const int at = preview.FindText(word);
    if (at >= 0)
        preview.SetRunColor(at, static_cast<int>(std::strlen(word)), color);
}

void PaintBodyPreview(TRichTextView& preview, const TBodyPreviewWords& words, const TBodyTag& colors) {
    ColorPreviewWord(preview, words.Text, colors.Text);
    ColorPreviewWord(preview, words.Link, colors.Link);
    ColorPreviewWord(preview, words.ActiveLink, colors.ActiveLink);
    ColorPreviewWord(preview, words.VisitedLink, colors.VisitedLink);
    for (const char* link : {words.Link, words.ActiveLink, words.VisitedLink})
        if (const int at = preview.FindText(link); at >= 0)
            preview.SetRunStyle(at, static_cast<int>(std::strlen(link)), fsUnderline);
    preview.SetColor(colors.Background);
}

bool ChoosePreviewColor(TColorDialog& dialog, TPanel& swatch, TRichTextView& preview, const char* word) {
    if (!ChooseSwatchColor(dialog, swatch))
        return false;
    if (word != nullptr)
        ColorPreviewWord(preview, word, swatch.Color());
    else
        preview.SetColor(swatch.Color());
    return true;
}
