// The settings file's place and write failure, colours as HTML writes
// them, the file-dialog filters, and the syntax colours the settings give
// the shared highlighter and every document using it.

#include "app/FileFilters.h"
#include "app/HtmlColor.h"
#include "app/SettingsFile.h"
#include "app/SyntaxColors.h"
#include "tests/app/AppTestSupport.h"

#include "editor/CodeMemo.h"
#include "editor/highlight/HtmlHighlighter.h"
#include "platform/base/Stream.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <set>

TEST(Settings, LiveInTheDataFolderAndReportARefusedWrite) {
    TTestProgramFolder program;
    EXPECT_EQ(SettingsFileName(), program.File("data/zozed.dat"));
    OpenSettings()->WriteBool(settings::Editor, "wordwrap", true);
    EXPECT_TRUE(OpenSettings()->ReadBool("EDITEUR", "WordWrap", false));

    std::filesystem::remove_all(program.Folder().Path() / "data");
    try {
        OpenSettings()->WriteBool(settings::Display, "statusbar", true);
        FAIL() << "a write without the data folder succeeded";
    } catch (const EIniFileException& error) {
        EXPECT_EQ(std::string(error.what()), "Unable to write to " + SettingsFileName());
    }
}

TEST(HtmlColors, AreHashAndRedGreenBlueInUpperCaseHex) {
    EXPECT_EQ(ColorToHtml(clRed), "#FF0000");
    EXPECT_EQ(ColorToHtml(RGB(0x12, 0x34, 0x56)), "#123456");
    std::mt19937 random(1);
    for (int i = 0; i < 1000; ++i) {
        TColor color = static_cast<TColor>(random() & 0xFFFFFF);
        char expected[8];
        std::snprintf(expected, sizeof expected, "#%02X%02X%02X", GetRValue(color), GetGValue(color),
                      GetBValue(color));
        ASSERT_EQ(ColorToHtml(color), expected);
    }
    // A system colour is written as the colour it stands for now.
    for (int index = 0; index < SystemColorCount; ++index)
        EXPECT_EQ(ColorToHtml(SystemColor(index)), ColorToHtml(GetSysColor(index))) << index;
}

TEST(FileFilters, EveryKindIsPairsOfCaptionAndMasks) {
    const std::string editable = GetFileFilter("editable");
    EXPECT_EQ(editable,
              "Web files|*.html;*.htm;*.shtml;*.shtm;*.php;*.asp;*.js;*.css;*.xml;*.txt|HTML (*.htm;*.html)|*.htm;"
              "*.html|SSI (*.shtm;*.shtml)|*.shtm;*.shtml|PHP (*.php)|*.php|Javascripts|*.js|CSS(*.css)|*.css|XML|"
              "*.xml|ASP|*.asp|Text (*.txt)|*.txt|All Files|*.*");
    // Any other kind, letter case included, is the editable filter with
    // its last caption spelt "All files".
    for (const char* other : {"EDITABLE", "", "html"}) {
        std::string filter = GetFileFilter(other);
        EXPECT_EQ(filter.substr(filter.size() - 13), "All files|*.*");
        EXPECT_EQ(filter.substr(0, filter.size() - 13), editable.substr(0, editable.size() - 13));
    }
    // The explorer's masks are the web files of the dialogs.
    EXPECT_EQ("Web files|" + GetFileFilter("shList") + "|", editable.substr(0, 10 + GetFileFilter("shList").size() + 1));
    for (const char* kind : {"editable", "applet", "sound", "javascript", "object", "other"}) {
        std::string filter = GetFileFilter(kind);
        EXPECT_EQ(std::count(filter.begin(), filter.end(), '|') % 2, 1) << kind;
    }
}

namespace {

class SyntaxColors : public ::testing::Test {
protected:
    SyntaxColors() { SetInitialHtmlStyles(html); }
    ~SyntaxColors() override {
        for (auto* memo : {&first, &second, &third})
            memo->SetHighlighter(nullptr);
    }
    void Apply(TCodeMemo& memo, const std::string& colorer) {
        ApplyHighlighting(memo, html, colorer, *OpenSettings());
    }
    // The foreground colours of the contexts of a memo's first paragraph,
    // highlighted whole.
    static std::set<TColor> Colours(TCodeMemo& memo) {
        memo.FormatPending();
        memo.ParseUpTo(memo.ParagraphCount() - 1);
        memo.FormatPending();
        std::set<TColor> colours;
        for (const auto& context : memo.Paragraph(0)->Contexts.Records())
            colours.insert(context.Foreground);
        return colours;
    }
    static void Load(TCodeMemo& memo, const std::string& text) {
        TReadOnlyMemoryStream stream(text.data(), static_cast<int64_t>(text.size()));
        memo.LoadFromStream(stream);
    }

    TTestProgramFolder program;
    THtmlHighlighter html;
    TCodeMemo first, second, third;
};

} // namespace

TEST_F(SyntaxColors, TheBuiltInSetUsesTheEditorBackgroundForEightClasses) {
    program.WriteSettings("[editeur]\ncolor=0\n");
    const TColor keepDefault = html.DefaultText().Background();
    const TColor keepSpecial = html.SpecialChars().Background();
    const TColor keepUnknown = html.UnknownTag().Background();
    Apply(first, "default");
    EXPECT_EQ(first.Highlighter(), &html);
    for (auto* info : {&html.Bracket(), &html.HtmlAttribute(), &html.HtmlAttributeValue(), &html.HtmlComment(),
                       &html.HtmlKeyword(), &html.HtmlTag(), &html.ScriptContent(), &html.ScriptTag()})
        EXPECT_EQ(info->Background(), clBlack);
    EXPECT_EQ(html.DefaultText().Background(), keepDefault);
    EXPECT_EQ(html.SpecialChars().Background(), keepSpecial);
    EXPECT_EQ(html.UnknownTag().Background(), keepUnknown);
    EXPECT_EQ(html.HtmlComment().Style(), fsItalic);
    EXPECT_EQ(html.ScriptTag().Foreground(), RGB(128, 128, 255));
}

TEST_F(SyntaxColors, AnEmptyCustomSetMakesEveryClassBoldAndKeepsItsColours) {
    program.WriteSettings("[customhtml]\n");
    Apply(first, "default");
    auto comment = html.HtmlComment().Foreground();
    auto commentBack = html.HtmlComment().Background();
    Apply(first, "custom");
    EXPECT_EQ(html.HtmlComment().Foreground(), comment);
    EXPECT_EQ(html.HtmlComment().Background(), commentBack);
    for (auto* info : {&html.Bracket(), &html.HtmlAttribute(), &html.HtmlAttributeValue(), &html.HtmlComment(),
                       &html.HtmlKeyword(), &html.UnknownTag(), &html.HtmlTag(), &html.ScriptContent(),
                       &html.ScriptTag(), &html.SpecialChars()})
        EXPECT_EQ(info->Style(), fsBold);
    EXPECT_EQ(html.DefaultText().Style(), 0u);
}

TEST_F(SyntaxColors, CustomKeysDriveTheirClassesAndUnknownChoicesChangeNothing) {
    program.WriteSettings("[CUSTOMHTML]\nbalise color=255\nst color=$FF00\nsc color=0x123456\n"
                          "comment italic=1\ncomment bold=0\ntag underline=7\n");
    Apply(first, "custom");
    EXPECT_EQ(html.HtmlKeyword().Foreground(), 255);
    EXPECT_EQ(html.UnknownTag().Foreground(), 255);
    EXPECT_EQ(html.ScriptTag().Foreground(), 0xFF00);
    EXPECT_EQ(html.ScriptContent().Foreground(), 0x123456);
    EXPECT_EQ(html.HtmlComment().Style(), fsItalic);
    EXPECT_EQ(html.HtmlTag().Style(), fsBold | fsUnderline);

    // "Default" is no choice: the editor keeps what it has, and so do the styles.
    second.SetHighlighter(nullptr);
    Apply(second, "Default");
    EXPECT_EQ(second.Highlighter(), nullptr);
    EXPECT_EQ(html.HtmlKeyword().Foreground(), 255);
    Apply(first, "none");
    EXPECT_EQ(first.Highlighter(), nullptr);
    EXPECT_EQ(html.HtmlKeyword().Foreground(), 255);
}

TEST_F(SyntaxColors, ANewSetReachesEveryOpenDocument) {
    for (auto* memo : {&first, &second, &third}) {
        memo->SetUpdateMode(umImmediate);
        Load(*memo, "<B>bold</B>");
    }
    Apply(first, "default");
    Apply(second, "default");
    EXPECT_TRUE(Colours(first).count(clNavy));
    EXPECT_FALSE(Colours(second).count(0x00AA00));

    // The user's set, applied as a third document opens, recolours the two.
    program.WriteSettings("[editeur]\ncolorer=custom\n[customhtml]\nbalise color=43520\n");
    Apply(third, "custom");
    for (auto* memo : {&first, &second, &third})
        EXPECT_TRUE(Colours(*memo).count(0x00AA00));
}
