#include "editor/highlight/HighlightInfo.h"

THighlightInfo::THighlightInfo(uint8_t styleByte, TColor background, TColor foreground, TChangeEvent onChange)
    : OnChange(std::move(onChange)),
      altFont_((styleByte & 0x20) != 0),
      style_(styleByte & 0x0F),
      background_(background),
      foreground_(foreground) {}

void THighlightInfo::changed() {
    if (OnChange)
        OnChange(this);
}

void THighlightInfo::SetAltFont(bool value) {
    if (value == altFont_)
        return;
    altFont_ = value;
    changed();
}

void THighlightInfo::SetStyle(TFontStyles value) {
    if (value == style_)
        return;
    style_ = value;
    changed();
}

void THighlightInfo::SetBackground(TColor value) {
    if (value == background_)
        return;
    background_ = value;
    changed();
}

void THighlightInfo::SetForeground(TColor value) {
    if (value == foreground_)
        return;
    foreground_ = value;
    changed();
}

void THighlightInfo::Assign(const TPersistent* source) {
    if (const auto* info = dynamic_cast<const THighlightInfo*>(source)) {
        altFont_ = info->altFont_;
        style_ = info->style_;
        background_ = info->background_;
        foreground_ = info->foreground_;
        changed();
        return;
    }
    TPersistent::Assign(source);
}
