// A streamed form whose memo, gutter, edit box and dock panel set every
// inherited control property away from its default: it reads, writes back
// the same bytes, and each property acts in the read form on real
// (offscreen) windows: anchors and size limits through a resized form,
// the memo's border with and without the 3-D look (a sunken edge is dark
// at the top-left and light at the bottom-right, a plain line is one
// colour), Tab along TabOrder, the reading order kept without mirroring
// the memo while it mirrors a standard control that follows the form's,
// and OnStartDrag from the memo and the gutter.

#include "tests/editor/control/MemoWindow.h"

#include "editor/CodeGutter.h"
#include "editor/EditorClasses.h"
#include "platform/base/ComponentStream.h"
#include "platform/base/EventHandlers.h"
#include "platform/base/Stream.h"
#include "platform/ui/FormBuilder.h"
#include "platform/ui/StandardControls.h"
#include "tests/support/ScriptedInput.h"

#include <QAbstractScrollArea>
#include <QTimer>

namespace {

class TPropertiesForm : public TCustomControl {
public:
    explicit TPropertiesForm(TComponent* owner = nullptr) : TCustomControl(owner) {
        Handlers.Add("StartDrag", this, &TPropertiesForm::StartDrag);
    }
    std::string ClassName() const override { return "TPropertiesForm"; }
    void StartDrag(TPersistent* sender) { Started.push_back(static_cast<TComponent*>(sender)->Name()); }
    THandlerTable Handlers;
    std::vector<std::string> Started;
};

std::string written(TPropertiesForm& form) {
    TMemoryStream stream;
    WriteComponent(stream, form);
    return stream.DataString();
}

// Whether the memo's border is drawn in one colour all round.
bool borderInOneColour(TCodeMemo& memo) {
    QWidget* frame = ClientWidgetOf(&memo)->parentWidget();
    const QImage image = frame->grab().toImage();
    return image.pixel(0, 0) == image.pixel(image.width() - 1, image.height() - 1);
}

TEST(MemoFormProperties, EveryInheritedPropertyStreamsBackAndActs) {
    RegisterEditorClasses();
    RegisterStandardControlClasses();
    RegisterPublishedClass<TPropertiesForm, TCustomControl>("TPropertiesForm");
    TFormDescription description;
    const std::vector<TEventBinding> startDrag{{"OnStartDrag", "StartDrag"}};
    description.Components = {
        {"edit", "TEdit", "", Bounds(10, 10, 100, 24),
         {{"DragKind", "dkDock"}, {"ParentCtl3D", false}, {"Ctl3D", true}, {"TabOrder", 2}}, {}},
        {"dock", "TPanel", "", Bounds(10, 300, 100, 80),
         {{"DockSite", true}, {"TabStop", true}, {"TabOrder", 1}, {"ParentBiDiMode", false}}, {}},
        {"memo", "TCodeMemo", "", Bounds(150, 10, 300, 200),
         {{"Anchors", int64_t(akLeft | akTop | akRight | akBottom)}, {"Constraints.MinWidth", 150},
          {"Constraints.MaxWidth", 400}, {"Constraints.MaxHeight", 300}, {"Ctl3D", false},
          {"BiDiMode", "bdRightToLeft"}, {"TabOrder", 0}, {"WantTabs", false}},
         startDrag},
        {"gutter", "TCodeGutter", "", Bounds(120, 10, 30, 200),
         {{"CodeMemo", "memo"}, {"Anchors", int64_t(akLeft | akTop | akBottom)}, {"BiDiMode", "bdRightToLeftNoAlign"}},
         startDrag}};

    TPropertiesForm built;
    built.SetName("form");
    built.SetBounds(40, 40, 500, 400);
    BuildForm(built, description, built.Handlers);
    TMemoryStream stream;
    WriteComponent(stream, built);
    const std::string bytes = stream.DataString();
    TPropertiesForm form;
    stream.SetPosition(0);
    ReadComponent(stream, form, &form.Handlers);
    ASSERT_EQ(written(form), bytes);

    auto& memo = dynamic_cast<TCodeMemo&>(*form.FindComponent("memo"));
    auto& gutter = dynamic_cast<TCodeGutter&>(*form.FindComponent("gutter"));
    auto& edit = dynamic_cast<TWinControl&>(*form.FindComponent("edit"));
    form.Show();
    QApplication::processEvents();

    // Anchors and limits: the memo stretches with the form up to its
    // limits; the gutter keeps its width and follows the bottom.
    form.SetBounds(40, 40, 700, 500);
    EXPECT_EQ(memo.BoundsRect(), Bounds(150, 10, 400, 300));
    EXPECT_EQ(gutter.BoundsRect(), Bounds(120, 10, 30, 300));
    form.SetBounds(40, 40, 350, 300);
    EXPECT_EQ(memo.BoundsRect(), Bounds(150, 10, 150, 100));

    // The border: a plain line without the 3-D look, sunken with it.
    QApplication::processEvents();
    EXPECT_TRUE(borderInOneColour(memo));
    memo.SetCtl3D(true);
    QApplication::processEvents();
    EXPECT_FALSE(borderInOneColour(memo));

    // Tab walks memo, dock panel, edit box (made edit, dock, memo).
    edit.SetFocus();
    for (const char* next : {"memo", "dock", "edit"}) {
        QTest::keyClick(TScriptedInput::FocusWidget(), Qt::Key_Tab);
        ASSERT_NE(GetFocusControl(), nullptr);
        EXPECT_EQ(GetFocusControl()->Name(), next);
    }

    // The reading order is kept, and the memo is not mirrored; a standard
    // control that follows the form's is; the 3-D look follows likewise.
    EXPECT_EQ(memo.BiDiMode(), bdRightToLeft);
    EXPECT_EQ(ClientWidgetOf(&memo)->parentWidget()->layoutDirection(), Qt::LeftToRight);
    form.SetBiDiMode(bdRightToLeft);
    form.SetCtl3D(false);
    auto& dock = dynamic_cast<TWinControl&>(*form.FindComponent("dock"));
    EXPECT_EQ(ClientWidgetOf(&edit)->layoutDirection(), Qt::RightToLeft);
    EXPECT_EQ(dock.BiDiMode(), bdLeftToRight);
    EXPECT_FALSE(dock.Ctl3D());
    EXPECT_TRUE(edit.Ctl3D());

    for (TControl* source : std::vector<TControl*>{&memo, &gutter}) {
        QTimer::singleShot(0, qApp, [source] { source->EndDrag(false); });
        source->BeginDrag(true);
    }
    EXPECT_EQ(form.Started, (std::vector<std::string>{"memo", "gutter"}));
    form.Hide();
}

} // namespace
