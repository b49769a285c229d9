#include "platform/base/Properties.h"
#include "platform/ui/ControlProperties.h"
#include "platform/ui/ControlTableParts.h"
#include "platform/ui/SpinEdit.h"
#include "platform/ui/StandardControls.h"
#include "platform/ui/TextControls.h"

const TIdentMap& AlignmentNames() {
    static const TIdentMap names{{taLeftJustify, "taLeftJustify"}, {taRightJustify, "taRightJustify"}, {taCenter, "taCenter"}};
    return names;
}

const TIdentMap& BorderStyleNames() {
    static const TIdentMap names{{bsNone, "bsNone"}, {bsSingle, "bsSingle"}};
    return names;
}

namespace {
const TIdentMap kLayoutNames{{tlTop, "tlTop"}, {tlCenter, "tlCenter"}, {tlBottom, "tlBottom"}};
const TIdentMap kScrollStyleNames{
    {ssNone, "ssNone"}, {ssHorizontal, "ssHorizontal"}, {ssVertical, "ssVertical"}, {ssBoth, "ssBoth"}};
} // namespace

void RegisterTextControlClasses() {
    static const bool registered = [] {
        RegisterControlClasses();
        RegisterPublishedClass<TCustomLabel, TGraphicControl>("TCustomLabel")
            .Enum("Alignment", &TCustomLabel::Alignment, &TCustomLabel::SetAlignment, taLeftJustify, AlignmentNames())
            .Boolean("AutoSize", &TCustomLabel::AutoSize, &TCustomLabel::SetAutoSize, true)
            .Component<TWinControl>("FocusControl", &TCustomLabel::FocusControl, &TCustomLabel::SetFocusControl)
            .Enum("Layout", &TCustomLabel::Layout, &TCustomLabel::SetLayout, tlTop, kLayoutNames)
            .Boolean("ShowAccelChar", &TCustomLabel::ShowAccelChar, &TCustomLabel::SetShowAccelChar, true)
            .Boolean("Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent, false)
            .Boolean("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap, false);
        RegisterPublishedClass<TLabel, TCustomLabel>("TLabel");

        // The text streams as the Caption it is; Text is there for
        // descriptions that name it.
        auto edit = RegisterPublishedClass<TCustomEdit, TWinControl>("TCustomEdit");
        TabStopEntry(OwnColorEntry(edit))
            .Enum("BorderStyle", &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle, bsSingle, BorderStyleNames())
            .Integer("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength, 0)
            .Integer("PasswordChar", &TCustomEdit::PasswordChar, &TCustomEdit::SetPasswordChar, 0)
            .Boolean("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly, false)
            .String("Text", &TCustomEdit::Text, &TCustomEdit::SetText)
            .StoredWhen([](TCustomEdit&) { return false; })
            .Event("OnChange", &TCustomEdit::OnChange);
        RegisterPublishedClass<TEdit, TCustomEdit>("TEdit");

        RegisterPublishedClass<TCustomMemo, TCustomEdit>("TCustomMemo")
            .Enum("Alignment", &TCustomMemo::Alignment, &TCustomMemo::SetAlignment, taLeftJustify, AlignmentNames())
            .Object("Lines", [](TCustomMemo& memo) -> TStrings& { return memo.Lines(); })
            .StoredWhen([](TCustomMemo&) { return false; })
            .Enum("ScrollBars", &TCustomMemo::ScrollBars, &TCustomMemo::SetScrollBars, ssNone, kScrollStyleNames)
            .Boolean("WantReturns", &TCustomMemo::WantReturns, &TCustomMemo::SetWantReturns, true)
            .Boolean("WantTabs", &TCustomMemo::WantTabs, &TCustomMemo::SetWantTabs, false)
            .Boolean("WordWrap", &TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap, true);
        RegisterPublishedClass<TMemo, TCustomMemo>("TMemo");

        RegisterPublishedClass<TSpinEdit, TCustomEdit>("TSpinEdit")
            .String("Caption", &TControl::Caption, &TControl::SetCaption, std::string("0"))
            .Boolean("EditorEnabled", &TSpinEdit::EditorEnabled, &TSpinEdit::SetEditorEnabled, true)
            .Integer("Increment", &TSpinEdit::Increment, &TSpinEdit::SetIncrement, 1)
            .Integer("MaxValue", &TSpinEdit::MaxValue, &TSpinEdit::SetMaxValue, 0)
            .Integer("MinValue", &TSpinEdit::MinValue, &TSpinEdit::SetMinValue, 0)
            .Integer("Value", &TSpinEdit::Value, &TSpinEdit::SetValue, 0)
            .StoredWhen([](TSpinEdit&) { return false; });
        return true;
    }();
    (void)registered;
}
