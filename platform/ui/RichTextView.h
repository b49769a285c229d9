#pragma once
// TRichTextView: formatted text that is shown, not typed: lines in the
// control's font, each character with a colour and a style of its own
// (underlined, bold ...), every line aligned as Alignment says, on the
// control's colour.  Previews use it, such as a page's text and link
// colours shown side by side.
//
// Offsets count the text as Text() gives it: every line followed by
// CR LF.  Changing the lines drops the formatting: every character takes
// the font's colour and style again.

#include "platform/base/Strings.h"
#include "platform/ui/Control.h"
#include "platform/ui/TextAlignment.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TRichTextView : public TCustomControl {
public:
    explicit TRichTextView(TComponent* owner = nullptr);
    ~TRichTextView() override;
    std::string ClassName() const override { return "TRichTextView"; }

    TStrings& Lines() { return *lines_; }
    void SetLines(const TStrings& lines) { lines_->Assign(&lines); }
    std::string Text() const { return lines_->Text(); }
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);

    // The offset of the first occurrence of text at or after from (exact
    // bytes), or -1.
    int FindText(std::string_view text, int from = 0) const;
    // Formats the characters from start on (the range is cut to the text).
    void SetRunColor(int start, int length, TColor color);
    void SetRunStyle(int start, int length, TFontStyles style);
    // A character's colour (the font's unless one was set) and style.
    TColor ColorAt(int offset) const;
    TFontStyles StyleAt(int offset) const;

protected:
    void Paint() override;

private:
    struct TCharFormat {
        bool OwnColor = false;
        TColor Color = clBlack;
        bool OwnStyle = false;
        TFontStyles Style = 0;
    };
    void linesChanged();
    // Calls format for each character of the range that lies in the text.
    template <class TFormatter> void formatRun(int start, int length, TFormatter format);
    // Paints one line at top; returns its height.
    int paintLine(int lineStart, const std::string& line, int top);

    std::unique_ptr<TStringList> lines_;
    std::vector<TCharFormat> formats_;
    TAlignment alignment_ = taLeftJustify;
};
