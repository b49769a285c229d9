#include "platform/base/Properties.h"
#include "platform/ui/ButtonControls.h"
#include "platform/ui/ControlProperties.h"
#include "platform/ui/ControlTableParts.h"
#include "platform/ui/StandardControls.h"
#include "platform/ui/UserInteraction.h"

namespace {
const TIdentMap kModalResultNames{{mrNone, "mrNone"},   {mrOk, "mrOk"},       {mrCancel, "mrCancel"},
                                  {mrAbort, "mrAbort"}, {mrRetry, "mrRetry"}, {mrIgnore, "mrIgnore"},
                                  {mrYes, "mrYes"},     {mrNo, "mrNo"},       {mrAll, "mrAll"},
                                  {mrNoToAll, "mrNoToAll"}, {mrYesToAll, "mrYesToAll"}};
const TIdentMap kKindNames{{bkCustom, "bkCustom"}, {bkOK, "bkOK"},       {bkCancel, "bkCancel"},
                           {bkHelp, "bkHelp"},     {bkYes, "bkYes"},     {bkNo, "bkNo"},
                           {bkClose, "bkClose"},   {bkAbort, "bkAbort"}, {bkRetry, "bkRetry"},
                           {bkIgnore, "bkIgnore"}, {bkAll, "bkAll"}};
const TIdentMap kLayoutNames{
    {blGlyphLeft, "blGlyphLeft"}, {blGlyphRight, "blGlyphRight"}, {blGlyphTop, "blGlyphTop"}, {blGlyphBottom, "blGlyphBottom"}};
const TIdentMap kStateNames{{cbUnchecked, "cbUnchecked"}, {cbChecked, "cbChecked"}, {cbGrayed, "cbGrayed"}};
} // namespace

void RegisterButtonControlClasses() {
    static const bool registered = [] {
        RegisterControlClasses();
        auto buttons = RegisterPublishedClass<TButtonControl, TWinControl>("TButtonControl");
        TabStopEntry(OwnColorEntry(buttons));
        RegisterPublishedClass<TButton, TButtonControl>("TButton")
            .Boolean("Cancel", &TButton::Cancel, &TButton::SetCancel, false)
            .Boolean("Default", &TButton::Default, &TButton::SetDefault, false)
            .Integer("ModalResult", &TButton::ModalResult, &TButton::SetModalResult, mrNone)
            .Names(kModalResultNames);
        // The kind comes first: it sets caption, result and roles, which
        // the values after it may change again.
        RegisterPublishedClass<TBitBtn, TButton>("TBitBtn")
            .Enum("Kind", &TBitBtn::Kind, &TBitBtn::SetKind, bkCustom, kKindNames)
            .Enum("Layout", &TBitBtn::Layout, &TBitBtn::SetLayout, blGlyphLeft, kLayoutNames)
            .Integer("NumGlyphs", &TBitBtn::NumGlyphs, &TBitBtn::SetNumGlyphs, 1)
            .Integer("Spacing", &TBitBtn::Spacing, &TBitBtn::SetSpacing, 4);
        auto speed = RegisterPublishedClass<TSpeedButton, TGraphicControl>("TSpeedButton");
        OwnColorEntry(speed)
            .Boolean("AllowAllUp", &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp, false)
            .Integer("GroupIndex", &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex, 0)
            .Boolean("Down", &TSpeedButton::Down, &TSpeedButton::SetDown, false)
            .Boolean("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat, false)
            .Enum("Layout", &TSpeedButton::Layout, &TSpeedButton::SetLayout, blGlyphLeft, kLayoutNames)
            .Integer("NumGlyphs", &TSpeedButton::NumGlyphs, &TSpeedButton::SetNumGlyphs, 1)
            .Integer("Spacing", &TSpeedButton::Spacing, &TSpeedButton::SetSpacing, 4);
        RegisterPublishedClass<TCustomCheckBox, TButtonControl>("TCustomCheckBox")
            .Enum("Alignment", &TCustomCheckBox::Alignment, &TCustomCheckBox::SetAlignment, taRightJustify,
                  AlignmentNames())
            .Boolean("AllowGrayed", &TCustomCheckBox::AllowGrayed, &TCustomCheckBox::SetAllowGrayed, false)
            .Boolean("Checked", &TCustomCheckBox::Checked, &TCustomCheckBox::SetChecked, false)
            .StoredWhen([](TCustomCheckBox&) { return false; })
            .Enum("State", &TCustomCheckBox::State, &TCustomCheckBox::SetState, cbUnchecked, kStateNames);
        RegisterPublishedClass<TCheckBox, TCustomCheckBox>("TCheckBox");
        RegisterPublishedClass<TRadioButton, TButtonControl>("TRadioButton")
            .Enum("Alignment", &TRadioButton::Alignment, &TRadioButton::SetAlignment, taRightJustify, AlignmentNames())
            .Boolean("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked, false);
        return true;
    }();
    (void)registered;
}
