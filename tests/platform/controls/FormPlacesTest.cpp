// Forms keep their controls' places through real (offscreen) windows with
// frames: random streamed forms (anchored controls, auto-sized labels with
// an alignment and size limits, framed panels) read, shown, resized and
// sized back write the bytes they were read from, and a control docked by
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
    auto pick = [&random](int count) {
        return static_cast<int>(random() % static_cast<unsigned>(count));
    };
    static const char* const kClasses[] = {"TLabel", "TPanel", "TEdit"};
    static const char* const kAlignments[] = {"taLeftJustify", "taRightJustify", "taCenter"};
    TFormDescription description;
    std::vector<std::string> panels;
    for (int i = 0, count = 1 + pick(10); i < count; ++i) {
        TComponentDescription c{.Name = "c" + std::to_string(i), .ClassName = kClasses[pick(3)]};
        if (!panels.empty() && pick(2))
            c.Parent = panels[static_cast<size_t>(pick(static_cast<int>(panels.size())))];
        c.Bounds = Bounds(pick(250), pick(200), 1 + pick(120), 1 + pick(60));
        c.Properties = {{"Anchors", static_cast<int64_t>(pick(16))}};
        if (c.ClassName == "TLabel")
            c.Properties.insert(c.Properties.end(),
                                {{"Caption", std::string(static_cast<size_t>(pick(20)), 'W')},
                                 {"Alignment", kAlignments[pick(3)]},
                                 {"AutoSize", pick(4) != 0},
                                 {"WordWrap", pick(4) == 0}});
        if (c.ClassName == "TPanel") {
            c.Properties.push_back({"BorderStyle", pick(2) ? "bsSingle" : "bsNone"});
            panels.push_back(c.Name);
        }
        for (const char* limit : {"Constraints.MinWidth", "Constraints.MaxWidth",
                                  "Constraints.MinHeight", "Constraints.MaxHeight"})
            if (pick(3) == 0)
                c.Properties.push_back({limit, 1 + pick(100)});
        description.Components.push_back(std::move(c));
    }
    return description;
}

// Each round also floats one of the form's controls and docks it back
// four times, in the frame of a tool window of its own.
TEST(FormPlaces, AStreamedFormShownResizedAndSizedBackWritesTheBytesItWasReadFrom) {
    RegisterStandardControlClasses();
    RegisterPublishedClass<TPlacesForm, TCustomControl>("TPlacesForm");
    std::mt19937 random(44);
    for (int round = 0; round < 40; ++round) {
        const TBorderStyle style = static_cast<TBorderStyle>(random() % (bsSizeToolWin + 1));
        TPlacesForm made(style);
        made.SetName("form");
        made.SetBounds(50 + static_cast<int>(random() % 100), 50,
                       300 + static_cast<int>(random() % 200),
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
        form.SetBounds(bounds.Left, bounds.Top,
                       bounds.Width() + static_cast<int>(random() % 300) - 100,
                       bounds.Height() + static_cast<int>(random() % 300) - 100);
        QApplication::processEvents();
        form.SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
        QApplication::processEvents();
        form.Hide();
        ASSERT_EQ(written(form), bytes) << "sized back, round " << round;

        form.Show();
        auto* control = dynamic_cast<TControl*>(form.Components(
            static_cast<int>(random() % static_cast<unsigned>(form.ComponentCount()))));
        control->SetAlign(alNone);
        control->SetDragKind(dkDock);
        const TRect place = control->BoundsRect();
        for (int cycle = 0; cycle < 4; ++cycle) {
            control->ManualFloat({100 + cycle * 20, 100});
            QApplication::processEvents();
            const TWinControl* frame = control->FloatHost();
            ASSERT_TRUE(frame != nullptr && frame->HandleAllocated());
            EXPECT_EQ(control->BoundsRect(), Bounds(0, 0, place.Width(), place.Height()))
                << round << "/" << cycle;
            EXPECT_EQ(frame->ClientRect(), control->BoundsRect()) << round << "/" << cycle;
            control->ManualDock(form, place.TopLeft());
        }
        EXPECT_EQ(control->BoundsRect(), place) << round;
        form.Hide();
    }
}

} // namespace
