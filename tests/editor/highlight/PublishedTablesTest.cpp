// The published tables of the editor's classes: a form with a memo, its
// gutter, its printer and two HTML highlighters, every table's plain
// properties set at random and the key lists filled, goes through the
// filer and comes back the same: every published value, the bindings,
// the key lists and the text.

#include "editor/CodeGutter.h"
#include "editor/CodeMemo.h"
#include "editor/CodeMemoPrinter.h"
#include "editor/EditorClasses.h"
#include "editor/highlight/HighlightClasses.h"
#include "editor/highlight/HtmlHighlighter.h"

#include "platform/base/ComponentStream.h"
#include "platform/base/Stream.h"
#include "platform/ui/FormBuilder.h"
#include "tests/platform/ui/PublishedTestSupport.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// A form with a handler for each kind of event the editor publishes.
class TEditorForm : public TWinControl {
public:
    explicit TEditorForm(TComponent* owner = nullptr) : TWinControl(owner) {
        Handlers.Add("Notify", this, &TEditorForm::HandleNotify);
        Handlers.Add("Parse", this, &TEditorForm::HandleParse);
        Handlers.Add("Context", this, &TEditorForm::HandleContext);
        Handlers.Add("BeforeChange", this, &TEditorForm::HandleBeforeChange);
        Handlers.Add("Mouse", this, &TEditorForm::HandleMouse);
        Handlers.Add("MouseMove", this, &TEditorForm::HandleMouseMove);
        Handlers.Add("Key", this, &TEditorForm::HandleKey);
        Handlers.Add("KeyPress", this, &TEditorForm::HandleKeyPress);
        Handlers.Add("ContextPopup", this, &TEditorForm::HandleContextPopup);
    }
    std::string ClassName() const override { return "TEditorForm"; }

    THandlerTable Handlers;
    int Calls = 0;
    void HandleNotify(TPersistent*) { ++Calls; }
    void HandleParse(TCodeMemo*, int32_t, int32_t) { ++Calls; }
    void HandleContext(TCodeMemo*, int32_t, int32_t, int32_t) { ++Calls; }
    void HandleBeforeChange(TCodeMemo*, std::string&) { ++Calls; }
    void HandleMouse(TPersistent*, TMouseButton, TShiftState, int, int) { ++Calls; }
    void HandleMouseMove(TPersistent*, TShiftState, int, int) { ++Calls; }
    void HandleKey(TPersistent*, uint16_t&, TShiftState) { ++Calls; }
    void HandleKeyPress(TPersistent*, char&) { ++Calls; }
    void HandleContextPopup(TPersistent*, TPoint, bool&) { ++Calls; }
};

const std::vector<std::string> kHandlerNames{"Notify", "Parse",    "Context",      "BeforeChange", "Mouse",
                                             "MouseMove", "Key", "KeyPress", "ContextPopup"};

TComponentDescription randomComponent(const std::string& name, const std::string& className, std::mt19937& random,
                                      const THandlerTable& handlers) {
    TComponentDescription description{.Name = name, .ClassName = className};
    std::unique_ptr<TComponent> scratch(CreateComponent(className, nullptr));
    // References and the text are described below; the bounds are given.
    RandomSettings(*scratch, "", random, handlers, kHandlerNames,
                   {"Left", "Top", "Width", "Height", "Lines", "Highlighter", "CodeMemo", "MemoToPrint",
                    "SubHighlighter", "PopupMenu"},
                   description.Properties, description.Events);
    if (dynamic_cast<TControl*>(scratch.get()) != nullptr)
        description.Bounds = Bounds(static_cast<int>(random() % 50), static_cast<int>(random() % 50), 200, 120);
    return description;
}

std::string randomHtml(std::mt19937& random) {
    static const char* kPieces[] = {"<p>", "text ", "<!-- c -->", "&amp;", "<IMG SRC=x>", "\r\n", "\x02", "</b>"};
    std::string text;
    for (int i = static_cast<int>(random() % 40); i > 0; --i)
        text += kPieces[random() % std::size(kPieces)];
    return text;
}

// A name with a number, built by appending (a literal joined in front of
// a temporary makes GCC 12 warn).
std::string numbered(std::string prefix, unsigned long number) {
    prefix += std::to_string(number);
    return prefix;
}

void fillKeyLists(TEditorForm& form, std::mt19937& random) {
    auto& memo = dynamic_cast<TCodeMemo&>(*form.FindComponent("memo"));
    auto& html = dynamic_cast<THtmlHighlighter&>(*form.FindComponent("html"));
    for (int i = static_cast<int>(random() % 4); i > 0; --i) {
        TKeywordAttributes attributes;
        attributes.Options = static_cast<uint8_t>(random() % 4);
        attributes.Style = static_cast<uint8_t>(random() % 64);
        attributes.ContextNumber = static_cast<int32_t>(random() % 30);
        attributes.Foreground = static_cast<int32_t>(random() % 0x1000000);
        memo.Keywords().AddKeyword(numbered("Key", random() % 100), attributes);
        html.Keywords().AddKeyword(numbered("word", i), attributes);
    }
    for (int i = static_cast<int>(random() % 3); i > 0; --i)
        memo.StartStopKeys().AddStartStopKey(numbered("{", i), "}", random() % 2 == 0,
                                             static_cast<int32_t>(random() % 100), -1, 0, 20 + i, 1,
                                             static_cast<uint8_t>(random() % 4));
}

std::string streamed(TComponent& form) {
    TMemoryStream stream;
    WriteComponent(stream, form);
    return stream.DataString();
}

TEST(EditorTables, RandomSettingsOfEveryEditorClassRoundTripThroughTheFiler) {
    RegisterHighlighterClasses();
    std::mt19937 random(41);
    for (int round = 0; round < 25; ++round) {
        TEditorForm form;
        form.SetName("form");
        TFormDescription description;
        description.Components.push_back(randomComponent("html", "THtmlHighlighter", random, form.Handlers));
        description.Components.push_back(randomComponent("sub", "THtmlHighlighter", random, form.Handlers));
        description.Components.push_back(randomComponent("memo", "TCodeMemo", random, form.Handlers));
        description.Components.push_back(randomComponent("gutter", "TCodeGutter", random, form.Handlers));
        description.Components.push_back(randomComponent("printer", "TCodeMemoPrinter", random, form.Handlers));
        description.Components[0].Properties.push_back({"SubHighlighter", "sub"});
        description.Components[2].Properties.push_back({"Highlighter", "html"});
        description.Components[2].Properties.push_back({"Lines", randomHtml(random)});
        description.Components[3].Properties.push_back({"CodeMemo", "memo"});
        description.Components[4].Properties.push_back({"MemoToPrint", "memo"});
        BuildForm(form, description, form.Handlers);
        fillKeyLists(form, random);

        const auto values = SnapshotOwned<TControl>(form);
        const std::string bytes = streamed(form);
        TEditorForm copy;
        TReadOnlyMemoryStream in(bytes.data(), static_cast<int64_t>(bytes.size()));
        ReadComponent(in, copy, &copy.Handlers);
        const auto copied = SnapshotOwned<TControl>(copy);
        ASSERT_TRUE(copied == values) << "round " << round << "\n" << SnapshotDifferences(values, copied);
        // The key lists' attributes and the exact text come back too: the
        // copy writes the same bytes.
        EXPECT_EQ(streamed(copy), bytes) << "round " << round;
        auto& memo = dynamic_cast<TCodeMemo&>(*copy.FindComponent("memo"));
        EXPECT_EQ(memo.Text(), dynamic_cast<TCodeMemo&>(*form.FindComponent("memo")).Text());
        EXPECT_EQ(memo.Highlighter(), copy.FindComponent("html"));
        EXPECT_EQ(dynamic_cast<TCodeGutter&>(*copy.FindComponent("gutter")).CodeMemo(), &memo);
        // A bound change event reaches the copy's form.
        if (memo.OnChange) {
            memo.SetSelText("x");
            EXPECT_GT(copy.Calls, 0);
        }
    }
}

TEST(EditorTables, FreshEditorComponentsWriteNoPropertyThatHasADefault) {
    RegisterHighlighterClasses();
    for (const char* name : {"TCodeMemo", "TCodeGutter", "TCodeMemoPrinter", "THtmlHighlighter"})
        EXPECT_EQ(DefaultsThatDisagree(*FindClassInfo(name)), std::vector<std::string>{});
}

// The gutter and the memo drag as any control does: their drag settings
// are published and a stream carries them.
TEST(EditorTables, TheGutterAndTheMemoPublishTheirDragSettings) {
    RegisterHighlighterClasses();
    for (const char* name : {"TCodeGutter", "TCodeMemo"}) {
        SCOPED_TRACE(name);
        TEditorForm form;
        form.SetName("form");
        TFormDescription description;
        TComponentDescription control{.Name = "control", .ClassName = name};
        control.Properties.push_back({"DragMode", "dmAutomatic"});
        control.Properties.push_back({"DragCursor", int(crHandPoint)});
        description.Components.push_back(control);
        BuildForm(form, description, form.Handlers);
        const std::string bytes = streamed(form);
        TEditorForm copy;
        TReadOnlyMemoryStream in(bytes.data(), static_cast<int64_t>(bytes.size()));
        ReadComponent(in, copy, &copy.Handlers);
        auto& read = dynamic_cast<TControl&>(*copy.FindComponent("control"));
        EXPECT_EQ(read.DragMode(), dmAutomatic);
        EXPECT_EQ(read.DragCursor(), crHandPoint);
    }
}

} // namespace
