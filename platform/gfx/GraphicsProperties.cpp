#include "platform/gfx/GraphicsProperties.h"

#include "platform/base/Properties.h"
#include "platform/gfx/Color.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/PenBrush.h"
#include "platform/gfx/Picture.h"

const TIdentMap& ColorNames() {
    // Where two names share a value, the first is the one written.
    static const TIdentMap names{
        {clBlack, "clBlack"},
        {clMaroon, "clMaroon"},
        {clGreen, "clGreen"},
        {clOlive, "clOlive"},
        {clNavy, "clNavy"},
        {clPurple, "clPurple"},
        {clTeal, "clTeal"},
        {clGray, "clGray"},
        {clSilver, "clSilver"},
        {clRed, "clRed"},
        {clLime, "clLime"},
        {clYellow, "clYellow"},
        {clBlue, "clBlue"},
        {clFuchsia, "clFuchsia"},
        {clAqua, "clAqua"},
        {clLtGray, "clLtGray"},
        {clDkGray, "clDkGray"},
        {clWhite, "clWhite"},
        {clMoneyGreen, "clMoneyGreen"},
        {clSkyBlue, "clSkyBlue"},
        {clCream, "clCream"},
        {clMedGray, "clMedGray"},
        {clNone, "clNone"},
        {clDefault, "clDefault"},
        {clScrollBar, "clScrollBar"},
        {clBackground, "clBackground"},
        {clActiveCaption, "clActiveCaption"},
        {clInactiveCaption, "clInactiveCaption"},
        {clMenu, "clMenu"},
        {clWindow, "clWindow"},
        {clWindowFrame, "clWindowFrame"},
        {clMenuText, "clMenuText"},
        {clWindowText, "clWindowText"},
        {clCaptionText, "clCaptionText"},
        {clActiveBorder, "clActiveBorder"},
        {clInactiveBorder, "clInactiveBorder"},
        {clAppWorkSpace, "clAppWorkSpace"},
        {clHighlight, "clHighlight"},
        {clHighlightText, "clHighlightText"},
        {clBtnFace, "clBtnFace"},
        {clBtnShadow, "clBtnShadow"},
        {clGrayText, "clGrayText"},
        {clBtnText, "clBtnText"},
        {clInactiveCaptionText, "clInactiveCaptionText"},
        {clBtnHighlight, "clBtnHighlight"},
        {cl3DDkShadow, "cl3DDkShadow"},
        {cl3DLight, "cl3DLight"},
        {clInfoText, "clInfoText"},
        {clInfoBk, "clInfoBk"},
        {clHotLight, "clHotLight"},
        {clGradientActiveCaption, "clGradientActiveCaption"},
        {clGradientInactiveCaption, "clGradientInactiveCaption"},
        {clMenuHighlight, "clMenuHighlight"},
        {clMenuBar, "clMenuBar"},
    };
    return names;
}

const TIdentMap& FontStyleNames() {
    static const TIdentMap names{
        {fsBold, "fsBold"}, {fsItalic, "fsItalic"}, {fsUnderline, "fsUnderline"}, {fsStrikeOut, "fsStrikeOut"}};
    return names;
}

namespace {

const TIdentMap kPitchNames{{fpDefault, "fpDefault"}, {fpVariable, "fpVariable"}, {fpFixed, "fpFixed"}};
const TIdentMap kCharsetNames{{ANSI_CHARSET, "ANSI_CHARSET"},
                              {DEFAULT_CHARSET, "DEFAULT_CHARSET"},
                              {SYMBOL_CHARSET, "SYMBOL_CHARSET"},
                              {OEM_CHARSET, "OEM_CHARSET"}};
const TIdentMap kPenStyleNames{{psSolid, "psSolid"},         {psDash, "psDash"},   {psDot, "psDot"},
                               {psDashDot, "psDashDot"},     {psDashDotDot, "psDashDotDot"},
                               {psClear, "psClear"},         {psInsideFrame, "psInsideFrame"}};
const TIdentMap kPenModeNames{
    {pmBlack, "pmBlack"},           {pmWhite, "pmWhite"},           {pmNop, "pmNop"},
    {pmNot, "pmNot"},               {pmCopy, "pmCopy"},             {pmNotCopy, "pmNotCopy"},
    {pmMergePenNot, "pmMergePenNot"}, {pmMaskPenNot, "pmMaskPenNot"}, {pmMergeNotPen, "pmMergeNotPen"},
    {pmMaskNotPen, "pmMaskNotPen"}, {pmMerge, "pmMerge"},           {pmNotMerge, "pmNotMerge"},
    {pmMask, "pmMask"},             {pmNotMask, "pmNotMask"},       {pmXor, "pmXor"},
    {pmNotXor, "pmNotXor"}};
const TIdentMap kBrushStyleNames{{bsSolid, "bsSolid"},         {bsClear, "bsClear"},
                                 {bsHorizontal, "bsHorizontal"}, {bsVertical, "bsVertical"},
                                 {bsFDiagonal, "bsFDiagonal"},   {bsBDiagonal, "bsBDiagonal"},
                                 {bsCross, "bsCross"},           {bsDiagCross, "bsDiagCross"}};

} // namespace

void RegisterGraphicsClasses() {
    static const bool registered = [] {
        RegisterBaseClasses();
        // Fonts, pens and brushes are sub-objects, which stream whole (see
        // Filer.h).  A font's Size is its Height in points, for
        // descriptions; Height is what streams.
        RegisterPublishedClass<TFont, TPersistent>("TFont")
            .Integer("Charset", &TFont::Charset, &TFont::SetCharset, std::nullopt)
            .Names(kCharsetNames)
            .Integer("Color", &TFont::Color, &TFont::SetColor, std::nullopt)
            .Names(ColorNames())
            .Integer("Height", &TFont::Height, &TFont::SetHeight, std::nullopt)
            .String("Name", [](TFont& f) { return f.Name(); }, &TFont::SetName, std::nullopt)
            .Enum("Pitch", &TFont::Pitch, &TFont::SetPitch, std::nullopt, kPitchNames)
            .Integer("Size", &TFont::Size, &TFont::SetSize, std::nullopt)
            .StoredWhen([](TFont&) { return false; })
            .Set("Style", &TFont::Style, &TFont::SetStyle, std::nullopt, FontStyleNames());
        // A picture holder publishes nothing: its graphic streams as the
        // "Data" it defines itself.
        RegisterPublishedClass<TPicture, TPersistent>("TPicture");
        RegisterPublishedClass<TPen, TPersistent>("TPen")
            .Integer("Color", &TPen::Color, &TPen::SetColor, clBlack)
            .Names(ColorNames())
            .Enum("Mode", &TPen::Mode, &TPen::SetMode, pmCopy, kPenModeNames)
            .Enum("Style", &TPen::Style, &TPen::SetStyle, psSolid, kPenStyleNames)
            .Integer("Width", &TPen::Width, &TPen::SetWidth, 1);
        RegisterPublishedClass<TBrush, TPersistent>("TBrush")
            .Integer("Color", &TBrush::Color, &TBrush::SetColor, clWhite)
            .Names(ColorNames())
            .Enum("Style", &TBrush::Style, &TBrush::SetStyle, bsSolid, kBrushStyleNames);
        return true;
    }();
    (void)registered;
}
