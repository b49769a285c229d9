// The common dialogs over the scripted user interaction: what each asks
// the seam, what it keeps of the answer, and that a find dialog's request
// never reaches a freed component.

#include "platform/ui/CommonDialogs.h"
#include "tests/support/ScriptedUserInteraction.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// The scripted seam, also noting what the colour dialog starts on and
// keeping a copy of the find dialog's handler (as a dialog that lingers
// would).
class TWatchingInteraction : public TScriptedUserInteraction {
public:
    std::vector<TColor> ColorsShown;
    TFindHandler Kept;
    bool ChooseColor(TColor& color) override {
        ColorsShown.push_back(color);
        return TScriptedUserInteraction::ChooseColor(color);
    }
    void ShowFindDialog(const TFindRequest& initial, TFindHandler handler) override {
        Kept = handler;
        TScriptedUserInteraction::ShowFindDialog(initial, std::move(handler));
    }
};

TEST(FileDialogs, TheRequestCarriesTheSettingsAndTheAnswerIsKept) {
    TWatchingInteraction seam;
    TSaveDialog save;
    save.SetFilter("HTML|*.html|All|*.*");
    save.SetDefaultExt("html");
    save.SetFileName("Untitled");
    save.SetOptions(ofOverwritePrompt);
    std::vector<std::string> order;
    save.OnShow = [&](TPersistent*) { order.push_back("show"); };
    save.OnClose = [&](TPersistent*) { order.push_back("close"); };
    seam.AnswerSaveFile("/tmp/page.html", 2);
    ASSERT_TRUE(save.Execute());
    const auto& call = seam.Calls.back();
    EXPECT_EQ(call.Kind, TScriptedUserInteraction::kSaveFile);
    EXPECT_EQ(call.FileRequest.Filter, "HTML|*.html|All|*.*");
    EXPECT_EQ(call.FileRequest.DefaultExt, "html");
    EXPECT_EQ(call.FileRequest.FileName, "Untitled");
    EXPECT_TRUE(call.FileRequest.OverwritePrompt);
    EXPECT_EQ(save.FileName(), "/tmp/page.html");
    EXPECT_EQ(save.FilterIndex(), 2);
    EXPECT_EQ(order, (std::vector<std::string>{"show", "close"}));
    // Cancelled: nothing changes.
    seam.Cancel(TScriptedUserInteraction::kSaveFile);
    EXPECT_FALSE(save.Execute());
    EXPECT_EQ(save.FileName(), "/tmp/page.html");

    TOpenDialog open;
    open.SetOptions(ofAllowMultiSelect | ofFileMustExist);
    seam.AnswerFiles({"/a.htm", "/b.htm"});
    ASSERT_TRUE(open.Execute());
    EXPECT_TRUE(seam.Calls.back().FileRequest.MultiSelect);
    EXPECT_TRUE(seam.Calls.back().FileRequest.FileMustExist);
    EXPECT_FALSE(seam.Calls.back().FileRequest.OverwritePrompt);
    EXPECT_EQ(open.FileName(), "/a.htm");
    EXPECT_EQ(open.Files().Text(), "/a.htm\r\n/b.htm\r\n");
}

TEST(ColorFontFolderDialogs, EachStartsOnWhatItChoseLast) {
    TWatchingInteraction seam;
    TColorDialog color;
    color.SetColor(clNavy);
    seam.AnswerColor(clRed);
    ASSERT_TRUE(color.Execute());
    seam.Cancel(TScriptedUserInteraction::kColor);
    EXPECT_FALSE(color.Execute());
    EXPECT_EQ(seam.ColorsShown, (std::vector<TColor>{clNavy, clRed}));
    EXPECT_EQ(color.Color(), clRed);

    TFontDialog font;
    TFont chosen;
    chosen.SetName("Courier New");
    chosen.SetSize(12);
    seam.AnswerFont(chosen);
    ASSERT_TRUE(font.Execute());
    EXPECT_EQ(font.Font().Name(), "Courier New");
    EXPECT_EQ(font.Font().Size(), 12);

    TFolderDialog folder;
    folder.SetTitle("Add folder");
    seam.AnswerFolder("/home/web");
    ASSERT_TRUE(folder.Execute());
    EXPECT_EQ(seam.Calls.back().Text, "Add folder");
    EXPECT_EQ(folder.Directory(), "/home/web");

    TPrinterSetupDialog printer;
    TPrinterSetup setup;
    setup.PrinterName = "laser";
    setup.Landscape = true;
    seam.AnswerPrinterSetup(setup);
    ASSERT_TRUE(printer.Execute());
    EXPECT_EQ(printer.Setup().PrinterName, "laser");
    EXPECT_TRUE(printer.Setup().Landscape);
}

TEST(FindDialogs, RequestsSetTextAndOptionsAndRunTheirEvents) {
    TWatchingInteraction seam;
    TReplaceDialog replace;
    replace.SetFindText("old");
    replace.SetOptions(frDown | frHideUpDown);
    std::vector<std::string> events;
    replace.OnFind = [&](TPersistent*) { events.push_back(std::string("find ") + replace.FindText()); };
    replace.OnReplace = [&](TPersistent*) {
        events.push_back(std::string(replace.Options() & frReplaceAll ? "all " : "one ") + replace.ReplaceText());
    };
    ASSERT_TRUE(replace.Execute());
    EXPECT_EQ(seam.Calls.back().Kind, TScriptedUserInteraction::kReplace);
    EXPECT_EQ(seam.Calls.back().Find.FindText, "old");
    EXPECT_TRUE(replace.Showing());
    seam.TriggerFind({"a", "b", frFindNext | frMatchCase});
    seam.TriggerFind({"a", "b", frReplace});
    seam.TriggerFind({"a", "c", frReplaceAll | frDown});
    EXPECT_EQ(events, (std::vector<std::string>{"find a", "one b", "all c"}));
    EXPECT_EQ(replace.Options(), frReplaceAll | frDown | frHideUpDown) << "the hiding options stay";
    // Another find dialog takes the place of the first.
    TFindDialog find;
    find.Execute();
    EXPECT_FALSE(replace.Showing());
    EXPECT_TRUE(find.Showing());
}

TEST(FindDialogs, ARequestForAFreedComponentIsDropped) {
    TWatchingInteraction seam;
    int finds = 0;
    auto find = std::make_unique<TFindDialog>();
    find->OnFind = [&](TPersistent*) { ++finds; };
    find->Execute();
    seam.Kept({"x", "", frFindNext});
    EXPECT_EQ(finds, 1);
    find.reset();
    EXPECT_FALSE(seam.TriggerFind({"x", "", frFindNext})) << "its dialog closed with it";
    seam.Kept({"x", "", frFindNext});
    EXPECT_EQ(finds, 1) << "a dialog that lingers reaches nobody";
}

} // namespace
