// Forms keep their controls' places through real (offscreen) windows with
// frames: random streamed forms (anchored controls, auto-sized labels with
// an alignment and size limits, framed panels) read, shown, resized and
// sized back write the bytes they were read from; a control docked by
// dragging keeps its size through float-and-dock cycles.

#include "tests/platform/controls/ControlsTestSupport.h"

#include "platform/base/ComponentStream.h"
#include "platform/base/Stream.h"
#include "platform/ui/FormBuilder.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StandardControls.h"
#include "platform/ui/TextControls.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

class TPlacesForm : public TForm {
public:
    explicit TPlacesForm(TBorderStyle style) : TForm(nullptr) { SetBorderStyle(style); }
    std::string ClassName() const override { return "TPlacesForm"; }
    THandlerTable Handlers;
};

std::string written(TWinControl& form) {
    TMemoryStream stream;
    WriteComponent(stream, form);
    return stream.DataString();
}

// Up to ten labels, panels and edit boxes, a panel's children inside it.
TFormDescription randomPlaces(std::mt19937& random) {
    auto pick = [&random](int count) { return static_cast<int>(random() % static_cast<unsigned>(count)); };
    TFormDescription description;
    std::vector<std::string> panels;
    const int count = 1 + pick(10);
    for (int i = 0; i < count; ++i) {
        TComponentDescription c;
        c.Name = "c" + std::to_string(i);
        const int kind = pick(3);
        c.ClassName = kind == 0 ? "TLabel" : kind == 1 ? "TPanel" : "TEdit";
        if (!panels.empty() && pick(2))
            c.Parent = panels[static_cast<size_t>(pick(static_cast<int>(panels.size())))];
        c.Bounds = Bounds(pick(250), pick(200), 1 + pick(120), 1 + pick(60));
        c.Properties.push_back({"Anchors", static_cast<int64_t>(pick(16))});
        if (kind == 0) {
            static const char* const kAlignments[] = {"taLeftJustify", "taRightJustify", "taCenter"};
            c.Properties.push_back({"Caption", std::string(static_cast<size_t>(pick(20)), 'W')});
            c.Properties.push_back({"Alignment", kAlignments[pick(3)]});
            c.Properties.push_back({"AutoSize", pick(4) != 0});
            c.Properties.push_back({"WordWrap", pick(4) == 0});
        }
        if (kind == 1) {
            c.Properties.push_back({"BorderStyle", pick(2) ? "bsSingle" : "bsNone"});
            panels.push_back(c.Name);
        }
        for (const char* limit : {"Constraints.MinWidth", "Constraints.MaxWidth", "Constraints.MinHeight",
                                  "Constraints.MaxHeight"})
            if (pick(3) == 0)
                c.Properties.push_back({limit, 1 + pick(100)});
        description.Components.push_back(std::move(c));
    }
    return description;
}

TEST(FormPlaces, AStreamedFormShownResizedAndSizedBackWritesTheBytesItWasReadFrom) {
    RegisterStandardControlClasses();
    RegisterPublishedClass<TPlacesForm, TCustomControl>("TPlacesForm");
    std::mt19937 random(44);
    const TBorderStyle styles[] = {bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin};
    for (int round = 0; round < 40; ++round) {
        const TBorderStyle style = styles[random() % 6];
        TPlacesForm made(style);
        made.SetName("form");
        made.SetBounds(50 + static_cast<int>(random() % 100), 50, 300 + static_cast<int>(random() % 200),
                       200 + static_cast<int>(random() % 200));
        BuildForm(made, randomPlaces(random), made.Handlers);
        const std::string bytes = written(made);

        TPlacesForm form(style);
        TReadOnlyMemoryStream stream(bytes.data(), static_cast<int64_t>(bytes.size()));
        ReadComponent(stream, form, &form.Handlers);
        ASSERT_EQ(written(form), bytes) << "read, round " << round;
        // Written hidden, as it was read.
        form.Show();
        QApplication::processEvents();
        form.Hide();
        ASSERT_EQ(written(form), bytes) << "shown, round " << round;
        form.Show();
        const TRect bounds = form.BoundsRect();
        form.SetBounds(bounds.Left, bounds.Top, bounds.Width() + static_cast<int>(random() % 300) - 100,
                       bounds.Height() + static_cast<int>(random() % 300) - 100);
        QApplication::processEvents();
        form.SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
        QApplication::processEvents();
        form.Hide();
        ASSERT_EQ(written(form), bytes) << "sized back, round " << round;
    }
}

TEST(FormPlaces, AControlDockedByDraggingKeepsItsSizeThroughFloatAndDockCycles) {
    TTestHost host(500, 400);
    std::mt19937 random(6);
    for (int round = 0; round < 12; ++round) {
        auto* control = new TPanel(&host.Form);
        control->SetParent(&host.Form);
        control->SetCaption("Docked");
        control->SetDragKind(dkDock);
        if (random() % 2) {
            control->Constraints().SetMinWidth(40);
            control->Constraints().SetMaxHeight(250);
        }
        const int width = 40 + static_cast<int>(random() % 300), height = 20 + static_cast<int>(random() % 230);
        control->SetBounds(10, 10, width, height);
        for (int cycle = 0; cycle < 4; ++cycle) {
            control->ManualFloat({100 + cycle * 20, 100});
            QApplication::processEvents();
            TWinControl* frame = control->FloatHost();
            ASSERT_NE(frame, nullptr);
            ASSERT_TRUE(frame->HandleAllocated());
            EXPECT_EQ(control->BoundsRect(), Bounds(0, 0, width, height)) << round << "/" << cycle;
            EXPECT_EQ(frame->ClientWidth(), width);
            EXPECT_EQ(frame->ClientHeight(), height);
            control->ManualDock(host.Form, {10, 10});
            QApplication::processEvents();
            EXPECT_EQ(control->BoundsRect(), Bounds(10, 10, width, height)) << round << "/" << cycle;
        }
        delete control;
    }
}

} // namespace
