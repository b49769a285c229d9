#include "platform/base/Properties.h"
#include "platform/gfx/GraphicsProperties.h"
#include "platform/gfx/Picture.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/ControlProperties.h"
#include "platform/ui/StandardControls.h"

namespace {
const TIdentMap kOpenOptionNames{{ofReadOnly, "ofReadOnly"},         {ofOverwritePrompt, "ofOverwritePrompt"},
                                 {ofHideReadOnly, "ofHideReadOnly"}, {ofNoChangeDir, "ofNoChangeDir"},
                                 {ofShowHelp, "ofShowHelp"},         {ofNoValidate, "ofNoValidate"},
                                 {ofAllowMultiSelect, "ofAllowMultiSelect"},
                                 {ofExtensionDifferent, "ofExtensionDifferent"},
                                 {ofPathMustExist, "ofPathMustExist"}, {ofFileMustExist, "ofFileMustExist"},
                                 {ofCreatePrompt, "ofCreatePrompt"},   {ofEnableSizing, "ofEnableSizing"}};
const TIdentMap kColorOptionNames{{cdFullOpen, "cdFullOpen"},
                                  {cdPreventFullOpen, "cdPreventFullOpen"},
                                  {cdShowHelp, "cdShowHelp"},
                                  {cdSolidColor, "cdSolidColor"},
                                  {cdAnyColor, "cdAnyColor"}};
const TIdentMap kFindOptionNames{{frDown, "frDown"},           {frWholeWord, "frWholeWord"},
                                 {frMatchCase, "frMatchCase"}, {frFindNext, "frFindNext"},
                                 {frReplace, "frReplace"},     {frReplaceAll, "frReplaceAll"},
                                 {frHideMatchCase, "frHideMatchCase"}, {frHideWholeWord, "frHideWholeWord"},
                                 {frHideUpDown, "frHideUpDown"}};
} // namespace

void RegisterCommonDialogClasses() {
    static const bool registered = [] {
        RegisterControlClasses();
        RegisterPublishedClass<TCommonDialog, TComponent>("TCommonDialog")
            .Event("OnClose", &TCommonDialog::OnClose)
            .Event("OnShow", &TCommonDialog::OnShow);
        RegisterPublishedClass<TOpenDialog, TCommonDialog>("TOpenDialog")
            .String("DefaultExt", &TOpenDialog::DefaultExt, &TOpenDialog::SetDefaultExt)
            .String("FileName", &TOpenDialog::FileName, &TOpenDialog::SetFileName)
            .String("Filter", &TOpenDialog::Filter, &TOpenDialog::SetFilter)
            .Integer("FilterIndex", &TOpenDialog::FilterIndex, &TOpenDialog::SetFilterIndex, 1)
            .String("InitialDir", &TOpenDialog::InitialDir, &TOpenDialog::SetInitialDir)
            .Set("Options", &TOpenDialog::Options, &TOpenDialog::SetOptions, ofHideReadOnly | ofEnableSizing,
                 kOpenOptionNames)
            .String("Title", &TOpenDialog::Title, &TOpenDialog::SetTitle);
        RegisterPublishedClass<TSaveDialog, TOpenDialog>("TSaveDialog");
        // The picture filter is the registered formats' of the moment.
        RegisterPublishedClass<TOpenPictureDialog, TOpenDialog>("TOpenPictureDialog")
            .String("Filter", &TOpenDialog::Filter, &TOpenDialog::SetFilter, std::nullopt)
            .StoredWhen([](TOpenPictureDialog& d) { return d.Filter() != TPicture::GraphicFilter(); });
        RegisterPublishedClass<TColorDialog, TCommonDialog>("TColorDialog")
            .Integer("Color", &TColorDialog::Color, &TColorDialog::SetColor, clBlack)
            .Names(ColorNames())
            .Object("CustomColors", [](TColorDialog& d) -> TStrings& { return d.CustomColors(); })
            .Set("Options", &TColorDialog::Options, &TColorDialog::SetOptions, 0, kColorOptionNames);
        RegisterPublishedClass<TFontDialog, TCommonDialog>("TFontDialog")
            .Object("Font", [](TFontDialog& d) -> TFont& { return d.Font(); });
        RegisterPublishedClass<TFindDialog, TCommonDialog>("TFindDialog")
            .String("FindText", &TFindDialog::FindText, &TFindDialog::SetFindText)
            .Set("Options", &TFindDialog::Options, &TFindDialog::SetOptions, frDown, kFindOptionNames)
            .Event("OnFind", &TFindDialog::OnFind);
        RegisterPublishedClass<TReplaceDialog, TFindDialog>("TReplaceDialog")
            .String("ReplaceText", &TReplaceDialog::ReplaceText, &TReplaceDialog::SetReplaceText)
            .Event("OnReplace", &TReplaceDialog::OnReplace);
        RegisterPublishedClass<TPrinterSetupDialog, TCommonDialog>("TPrinterSetupDialog");
        RegisterPublishedClass<TFolderDialog, TCommonDialog>("TFolderDialog")
            .String("Directory", &TFolderDialog::Directory, &TFolderDialog::SetDirectory)
            .String("Title", &TFolderDialog::Title, &TFolderDialog::SetTitle);
        return true;
    }();
    (void)registered;
}
