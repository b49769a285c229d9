// The published table of TCodeMemo (and of TCodeHighlighter, which its
// Highlighter property names).

#include "editor/model/CodeHighlighter.h"
#include "editor/CodeMemo.h"
#include "editor/EditorClasses.h"

#include "platform/base/Properties.h"
#include "platform/gfx/GraphicsProperties.h"
#include "platform/ui/ControlProperties.h"

namespace {

const TIdentMap kBorderStyleNames{{bsNone, "bsNone"}, {bsSingle, "bsSingle"}};
const TIdentMap kScrollStyleNames{
    {ssNone, "ssNone"}, {ssHorizontal, "ssHorizontal"}, {ssVertical, "ssVertical"}, {ssBoth, "ssBoth"}};
const TIdentMap kLineBreakNames{{pbCRLF, "pbCRLF"}, {pbLFCR, "pbLFCR"}, {pbCR, "pbCR"}, {pbLF, "pbLF"}};
const TIdentMap kUpperCaseNames{{pmuAscii, "pmuAscii"}, {pmuAnsi, "pmuAnsi"}, {pmuUserDefined, "pmuUserDefined"}};
const TIdentMap kUpdateModeNames{
    {umImmediate, "umImmediate"}, {umOnNeed, "umOnNeed"}, {umBackground, "umBackground"}};

constexpr int64_t optionBit(TCodeMemoOption option) { return int64_t{1} << option; }
const TIdentMap kOptionNames{
    {optionBit(pmoKeepColumnPos), "pmoKeepColumnPos"},
    {optionBit(pmoPutExtraSpaces), "pmoPutExtraSpaces"},
    {optionBit(pmoWrapCaret), "pmoWrapCaret"},
    {optionBit(pmoInsertKeyActive), "pmoInsertKeyActive"},
    {optionBit(pmoWideOverwriteCaret), "pmoWideOverwriteCaret"},
    {optionBit(pmoLargeWordSelect), "pmoLargeWordSelect"},
    {optionBit(pmoAutoScrollBars), "pmoAutoScrollBars"},
    {optionBit(pmoNoDragnDrop), "pmoNoDragnDrop"},
    {optionBit(pmoAutoIndent), "pmoAutoIndent"},
    {optionBit(pmoBackIndent), "pmoBackIndent"},
    {optionBit(pmoWindowsSelColors), "pmoWindowsSelColors"},
    {optionBit(pmoFullLineSelect), "pmoFullLineSelect"},
    {optionBit(pmoDiscardTrailingSpaces), "pmoDiscardTrailingSpaces"},
    {optionBit(pmoNoFineScroll), "pmoNoFineScroll"},
    {optionBit(pmoNoLineSelection), "pmoNoLineSelection"},
    {optionBit(pmoNoDefaultPopup), "pmoNoDefaultPopup"},
    {optionBit(pmoBlockSelection), "pmoBlockSelection"},
    {optionBit(pmoAutoLineBreak), "pmoAutoLineBreak"},
    {optionBit(pmoPlainClipboard), "pmoPlainClipboard"},
};

TCodeMemoOptions optionsFromBits(int64_t bits) {
    TCodeMemoOptions options;
    for (int option = pmoKeepColumnPos; option <= pmoPlainClipboard; ++option)
        if ((bits & optionBit(static_cast<TCodeMemoOption>(option))) != 0)
            options.Include(static_cast<TCodeMemoOption>(option));
    return options;
}

} // namespace

const TIdentMap& CodeAlignmentNames() {
    static const TIdentMap names{
        {taLeftJustify, "taLeftJustify"}, {taRightJustify, "taRightJustify"}, {taCenter, "taCenter"}};
    return names;
}

void RegisterCodeMemoClasses() {
    static const bool registered = [] {
        RegisterControlClasses();
        RegisterPublishedClass<TCodeHighlighter, TComponent>("TCodeHighlighter");
        const TCodeMemoOptions defaultOptions{pmoWrapCaret, pmoInsertKeyActive, pmoWideOverwriteCaret,
                                              pmoAutoScrollBars};
        // The memo's own defaults for what it inherits: its cursor, its
        // own colour and a tab stop.
        RegisterPublishedClass<TCodeMemo, TCustomControl>("TCodeMemo")
            .Integer("Cursor", &TCodeMemo::Cursor, &TCodeMemo::SetCursor, crIBeam)
            .Boolean("ParentColor", &TCodeMemo::ParentColor, &TCodeMemo::SetParentColor, false)
            .Boolean("TabStop", &TCodeMemo::TabStop, &TCodeMemo::SetTabStop, true)
            .Enum("Alignment", &TCodeMemo::Alignment, &TCodeMemo::SetAlignment, taLeftJustify, CodeAlignmentNames())
            .Enum("BorderStyle", &TCodeMemo::BorderStyle, &TCodeMemo::SetBorderStyle, bsSingle, kBorderStyleNames)
            .Boolean("HideSelection", &TCodeMemo::HideSelection, &TCodeMemo::SetHideSelection, true)
            .Enum("ScrollBars", &TCodeMemo::ScrollBars, &TCodeMemo::SetScrollBars, ssVertical, kScrollStyleNames)
            .Boolean("WantTabs", &TCodeMemo::WantTabs, true)
            .Boolean("WordWrap", &TCodeMemo::WordWrap, &TCodeMemo::SetWordWrap, true)
            .Event("OnChange", &TCodeMemo::OnChange)
            .Object("AltFont", [](TCodeMemo& m) -> TFont& { return m.AltFont(); })
            .Boolean("ApplyKeyWords", &TCodeMemo::ApplyKeyWordsEnabled, true)
            .Boolean("ApplyStartStopKeys", &TCodeMemo::ApplyStartStopKeysEnabled, true)
            .Object("BackgroundBmp", [](TCodeMemo& m) -> TPicture& { return m.BackgroundBmp(); })
            .Integer("CaretWidth", &TCodeMemo::CaretWidth, &TCodeMemo::SetCaretWidth, 1)
            .Boolean("DisplayOnly", &TCodeMemo::DisplayOnly, &TCodeMemo::SetDisplayOnly, false)
            .Boolean("EnableHotKeys", &TCodeMemo::EnableHotKeys, true)
            .Object("EndOfTextMark", [](TCodeMemo& m) -> TPen& { return m.EndOfTextMark(); })
            .Integer("HighlightBackgnd", &TCodeMemo::HighlightBackgnd, &TCodeMemo::SetHighlightBackgnd, clWindow)
            .Names(ColorNames())
            .Integer("HighlightColor", &TCodeMemo::HighlightColor, &TCodeMemo::SetHighlightColor, clRed)
            .Names(ColorNames())
            .Component<TCodeHighlighter>("Highlighter", &TCodeMemo::Highlighter, &TCodeMemo::SetHighlighter)
            .Boolean("Justified", &TCodeMemo::Justified, &TCodeMemo::SetJustified, false)
            .Object("Keywords", [](TCodeMemo& m) -> TStrings& { return m.Keywords(); })
            .Integer("LeftMargin", &TCodeMemo::LeftMargin, &TCodeMemo::SetLeftMargin, 8)
            .Enum("LineBreak", &TCodeMemo::LineBreak, pbCRLF, kLineBreakNames)
            // 0 = worked out from the font; what streams is the fixed height.
            .Integer("LineHeight", &TCodeMemo::FixedLineHeight, &TCodeMemo::SetLineHeight, 0)
            .Integer("MouseWheelFactor", &TCodeMemo::MouseWheelFactor, 3)
            .Integer("NullReplacement", &TCodeMemo::NullReplacement, 0)
            .Set("Options", [](TCodeMemo& m) { return m.Options().Bits(); },
                 [](TCodeMemo& m, int64_t bits) { m.SetOptions(optionsFromBits(bits)); }, defaultOptions.Bits(),
                 kOptionNames)
            .Boolean("Overwrite", &TCodeMemo::Overwrite, &TCodeMemo::SetOverwrite, false)
            .Boolean("PassOverCodes", &TCodeMemo::PassOverCodes, true)
            .Boolean("ReadOnly", &TCodeMemo::ReadOnly, false)
            .Integer("RightMargin", &TCodeMemo::RightMargin, &TCodeMemo::SetRightMargin, 8)
            .Integer("SelBackColor", &TCodeMemo::SelBackColor, &TCodeMemo::SetSelBackColor, clHighlight)
            .Names(ColorNames())
            .Integer("SelTextColor", &TCodeMemo::SelTextColor, &TCodeMemo::SetSelTextColor, clHighlightText)
            .Names(ColorNames())
            .String("Separators", &TCodeMemo::Separators, &TCodeMemo::SetSeparators, std::string("\t $%&,./:;<=>"))
            .Boolean("ShowEndParSelected", &TCodeMemo::ShowEndParSelected, true)
            .Object("SpecUnderline", [](TCodeMemo& m) -> TPen& { return m.SpecUnderline(); })
            .Object("StartStopKeys", [](TCodeMemo& m) -> TPersistent& { return m.StartStopKeys(); })
            .Boolean("StaticFormat", &TCodeMemo::StaticFormat, &TCodeMemo::SetStaticFormat, true)
            .Integer("TabStops", &TCodeMemo::TabStops, &TCodeMemo::SetTabStops, 8)
            .Integer("UndoMaxSpace", &TCodeMemo::UndoMaxSpace, &TCodeMemo::SetUndoMaxSpace, 65536)
            .Integer("UndoMaxLevel", &TCodeMemo::UndoMaxLevel, &TCodeMemo::SetUndoMaxLevel, 256)
            .Enum("UpperCaseType", &TCodeMemo::UpperCaseType, &TCodeMemo::SetUpperCaseType, pmuAscii, kUpperCaseNames)
            .Enum("UpdateMode", &TCodeMemo::UpdateMode, &TCodeMemo::SetUpdateMode, umBackground, kUpdateModeNames)
            // A label for readers of a stream; the memo keeps its own.
            .String("Version", [](TCodeMemo&) { return std::string(TCodeMemo::Version()); },
                    [](TCodeMemo&, const std::string&) {}, std::string(TCodeMemo::Version()))
            .Event("OnStyleChange", &TCodeMemo::OnStyleChange)
            .Event("OnSelMove", &TCodeMemo::OnSelMove)
            .Event("OnHScroll", &TCodeMemo::OnHScroll)
            .Event("OnVScroll", &TCodeMemo::OnVScroll)
            .Event("OnProgress", &TCodeMemo::OnProgress)
            .Event("OnParse", &TCodeMemo::OnParse)
            .Event("OnContext", &TCodeMemo::OnContext)
            .Event("OnBeforeChange", &TCodeMemo::OnBeforeChange)
            .Event("OnAfterMouseDown", &TCodeMemo::OnAfterMouseDown)
            // The text comes last: setters such as StaticFormat and Options
            // load the text again, and would change a text read before them.
            .Object("Lines", [](TCodeMemo& m) -> TStrings& { return m.Lines(); });
        return true;
    }();
    (void)registered;
}

void RegisterEditorClasses() {
    RegisterCodeMemoClasses();
    RegisterCodeGutterClasses();
    RegisterCodeMemoPrinterClasses();
}
