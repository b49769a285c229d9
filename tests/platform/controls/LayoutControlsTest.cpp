// Aligned children, the splitter between them, panels, images and the
// spin edit: random layouts checked against the rules of alignment, drags
// of the splitter as mouse messages, pixels of painted pictures and of
// windowless controls inside windows of Qt's own, and random values
// against the spin edit's bounds.

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Picture.h"
#include "platform/gfx/QtBridge.h"
#include "platform/ui/ExtControls.h"
#include "platform/ui/PageControls.h"
#include "platform/ui/SpinEdit.h"
#include "tests/platform/base/TempFolder.h"
#include "tests/platform/controls/ControlsTestSupport.h"
#include "tests/platform/ui/RecordingControls.h"

#include <gtest/gtest.h>

#include <QSpinBox>

#include <algorithm>
#include <memory>
#include <random>

namespace {

// The area left after the aligned children in the order the rules place
// them: edges in the order of the controls' positions, then the client.
template <class Child>
void expectTiledByTheRules(const TWinControl& parent, const std::vector<std::unique_ptr<Child>>& children, int round) {
    TRect free = parent.ClientRect();
    for (TAlign align : {alTop, alBottom, alLeft, alRight}) {
        std::vector<TControl*> group;
        for (auto& child : children)
            if (child->Align() == align && child->Visible())
                group.push_back(child.get());
        // Nearest the edge first: each touches the one before.
        std::sort(group.begin(), group.end(), [&](TControl* a, TControl* b) {
            switch (align) {
            case alTop: return a->Top() < b->Top();
            case alBottom: return a->Top() > b->Top();
            case alLeft: return a->Left() < b->Left();
            default: return a->Left() > b->Left();
            }
        });
        for (TControl* control : group) {
            TRect bounds = control->BoundsRect();
            if (align == alTop || align == alBottom) {
                EXPECT_EQ(bounds.Left, free.Left);
                EXPECT_EQ(bounds.Width(), std::max(0, free.Width()));
                EXPECT_EQ(align == alTop ? bounds.Top : bounds.Bottom, align == alTop ? free.Top : free.Bottom)
                    << "round " << round;
                (align == alTop ? free.Top : free.Bottom) += align == alTop ? bounds.Height() : -bounds.Height();
            } else {
                EXPECT_EQ(bounds.Top, free.Top);
                EXPECT_EQ(bounds.Height(), std::max(0, free.Height()));
                EXPECT_EQ(align == alLeft ? bounds.Left : bounds.Right, align == alLeft ? free.Left : free.Right)
                    << "round " << round;
                (align == alLeft ? free.Left : free.Right) += align == alLeft ? bounds.Width() : -bounds.Width();
            }
        }
    }
    for (auto& child : children)
        if (child->Align() == alClient && child->Visible()) {
            EXPECT_EQ(child->Left(), free.Left) << "round " << round;
            EXPECT_EQ(child->Top(), free.Top) << "round " << round;
            EXPECT_EQ(child->Width(), std::max(0, free.Width())) << "round " << round;
            EXPECT_EQ(child->Height(), std::max(0, free.Height())) << "round " << round;
        }
}

TEST(Align, RandomChildrenTileTheClientAreaByTheRules) {
    std::mt19937 random(8);
    for (int round = 0; round < 60; ++round) {
        TPanel parent;
        parent.SetBevelOuter(bvNone);
        parent.SetBounds(0, 0, 300 + static_cast<int>(random() % 200), 200 + static_cast<int>(random() % 200));
        std::vector<std::unique_ptr<TPanel>> children;
        for (int i = 0, n = 1 + static_cast<int>(random() % 8); i < n; ++i) {
            auto child = std::make_unique<TPanel>();
            child->SetBounds(static_cast<int>(random() % 200), static_cast<int>(random() % 200),
                             5 + static_cast<int>(random() % 40), 5 + static_cast<int>(random() % 40));
            child->SetParent(&parent);
            child->SetAlign(static_cast<TAlign>(random() % 6));
            if (random() % 7 == 0)
                child->Hide();
            children.push_back(std::move(child));
        }
        // Resizing the parent places them again.
        parent.SetBounds(0, 0, parent.Width() + static_cast<int>(random() % 50), parent.Height());
        expectTiledByTheRules(parent, children, round);
    }
}

// A child whose thickness follows the length it is given, as rows that
// wrap do (a dock of toolbars): it sets it itself, keeping the edge it is
// aligned to, while its parent places it.
class TWrappingPanel : public TPanel {
public:
    explicit TWrappingPanel(int content) : content_(content) {}

protected:
    void BoundsChanged(const TRect& oldBounds) override {
        TPanel::BoundsChanged(oldBounds);
        const bool across = Align() == alTop || Align() == alBottom;
        if (!across && Align() != alLeft && Align() != alRight)
            return;
        const int length = std::max(1, across ? Width() : Height());
        const int thickness = 12 * ((content_ + length - 1) / length);
        if (thickness == (across ? Height() : Width()))
            return;
        if (across)
            SetBounds(Left(), Align() == alBottom ? Top() + Height() - thickness : Top(), Width(), thickness);
        else
            SetBounds(Align() == alRight ? Left() + Width() - thickness : Left(), Top(), thickness, Height());
    }

private:
    int content_;
};

TEST(Align, ChildrenThatWrapAsTheirLengthChangesStillTileTheClientArea) {
    std::mt19937 random(26);
    for (int round = 0; round < 80; ++round) {
        TPanel parent;
        parent.SetBevelOuter(bvNone);
        parent.SetBounds(0, 0, 300 + static_cast<int>(random() % 300), 200 + static_cast<int>(random() % 300));
        std::vector<std::unique_ptr<TPanel>> children;
        for (int i = 0, n = 1 + static_cast<int>(random() % 6); i < n; ++i) {
            std::unique_ptr<TPanel> child;
            if (random() % 2 == 0)
                child = std::make_unique<TWrappingPanel>(100 + static_cast<int>(random() % 1200));
            else
                child = std::make_unique<TPanel>();
            child->SetBounds(0, static_cast<int>(random() % 200), 20, 5 + static_cast<int>(random() % 30));
            child->SetParent(&parent);
            child->SetAlign(static_cast<TAlign>(random() % 6));
            children.push_back(std::move(child));
        }
        expectTiledByTheRules(parent, children, round);
        // Narrower and shorter, then wider and taller: the wrapping
        // children change their thickness while they are placed.
        parent.SetBounds(0, 0, parent.Width() / 2, parent.Height() / 2);
        expectTiledByTheRules(parent, children, round);
        parent.SetBounds(0, 0, parent.Width() * 3, parent.Height() * 3);
        expectTiledByTheRules(parent, children, round);
    }
}

TEST(Align, APanelPlacesItsChildrenInsideItsBevelsAndBorder) {
    TPanel panel;
    panel.SetBounds(0, 0, 100, 80);
    panel.SetBevelInner(bvLowered);
    panel.SetBorderWidth(3);
    TPanel inner;
    inner.SetParent(&panel);
    inner.SetAlign(alClient);
    EXPECT_EQ(inner.BoundsRect(), Rect(5, 5, 95, 75));
}

// A framed child window (a panel with a single border) on a shown form:
// its aligned controls fill the area inside its frame, no more, however
// the frame came (made with the window, or set afterwards), and after a
// resize.  Probed by pixels: the client pane's red fills the inside and
// never covers the frame.
TEST(Align, AFramedChildPlacesItsAlignedControlsInsideItsFrame) {
    for (bool frameFirst : {true, false}) {
        TTestHost host(300, 220);
        TPanel framed(&host.Form);
        if (frameFirst)
            framed.SetBorderStyle(bsSingle);
        framed.SetBevelOuter(bvNone);
        framed.SetParent(&host.Form);
        framed.SetBounds(20, 20, 200, 150);
        TPanel inner(&host.Form);
        inner.SetBevelOuter(bvNone);
        inner.SetParentColor(false);
        inner.SetColor(clRed);
        inner.SetParent(&framed);
        inner.SetAlign(alClient);
        if (!frameFirst)
            framed.SetBorderStyle(bsSingle);
        for (int size : {0, 1}) {
            if (size == 1)
                framed.SetBounds(20, 20, 240, 180);
            QApplication::processEvents();
            const QImage shown = ClientWidgetOf(&host.Form)->grab().toImage();
            auto red = [&](int x, int y) { return QColor(shown.pixel(x, y)) == QColor(Qt::red); };
            const TRect outer = framed.BoundsRect();
            const std::string what = std::string(frameFirst ? "frame made first" : "frame set later") +
                                     (size == 1 ? ", resized" : "");
            EXPECT_EQ(inner.BoundsRect(), Rect(0, 0, framed.ClientWidth(), framed.ClientHeight())) << what;
            EXPECT_LT(framed.ClientWidth(), framed.Width()) << what << ": the frame takes room";
            // The frame's own pixels are not the pane's; just inside them is.
            for (int x = outer.Left + 10; x < outer.Right - 10; x += 17) {
                EXPECT_FALSE(red(x, outer.Top)) << what << " top edge at " << x;
                EXPECT_FALSE(red(x, outer.Bottom - 1)) << what << " bottom edge at " << x;
                EXPECT_TRUE(red(x, outer.Top + 3)) << what << " inside at " << x;
                EXPECT_TRUE(red(x, outer.Bottom - 4)) << what << " inside at " << x;
            }
            for (int y = outer.Top + 10; y < outer.Bottom - 10; y += 17) {
                EXPECT_FALSE(red(outer.Left, y)) << what << " left edge at " << y;
                EXPECT_FALSE(red(outer.Right - 1, y)) << what << " right edge at " << y;
                EXPECT_TRUE(red(outer.Left + 3, y)) << what << " inside at " << y;
                EXPECT_TRUE(red(outer.Right - 4, y)) << what << " inside at " << y;
            }
        }
    }
}

// A left pane, a splitter and a client pane; dragging the splitter with
// the mouse resizes the pane within the limits.
TEST(Splitter, DragsResizeThePaneBeforeItWithinTheLimits) {
    TTestHost host(400, 200);
    host.Form.SetBevelOuter(bvNone);
    TPanel left(&host.Form), rest(&host.Form);
    TSplitter splitter(&host.Form);
    left.SetParent(&host.Form);
    left.SetWidth(100);
    left.SetAlign(alLeft);
    splitter.SetParent(&host.Form);
    splitter.SetLeft(150);
    rest.SetParent(&host.Form);
    rest.SetAlign(alClient);
    ASSERT_EQ(splitter.Left(), 100);
    ASSERT_EQ(splitter.ResizeControl(), &left);
    int moved = 0;
    splitter.OnMoved = [&](TPersistent*) { ++moved; };
    std::mt19937 random(4);
    const int clientWidth = host.Form.ClientWidth();
    for (int drag = 0; drag < 20; ++drag) {
        int from = left.Width() + 1;
        int by = static_cast<int>(random() % 600) - 300;
        int before = left.Width();
        host.Form.Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(static_cast<unsigned>(from), 50));
        host.Form.Perform(WM_MOUSEMOVE, MK_LBUTTON, PointToLParam({from + by / 2, 50}));
        host.Form.Perform(WM_MOUSEMOVE, MK_LBUTTON, PointToLParam({from + by, 50}));
        host.Form.Perform(WM_LBUTTONUP, 0, PointToLParam({from + by, 50}));
        int expected = std::clamp(before + by, splitter.MinSize(), clientWidth - splitter.Width() - splitter.MinSize());
        ASSERT_EQ(left.Width(), expected) << "drag " << drag << " by " << by;
        ASSERT_EQ(splitter.Left(), left.Width());
        ASSERT_EQ(rest.Left(), left.Width() + splitter.Width());
        ASSERT_EQ(rest.Width(), clientWidth - rest.Left());
    }
    EXPECT_EQ(moved, 20);
    // A handler may refuse or change the size.
    splitter.OnCanResize = [](TPersistent*, int& size, bool& accept) {
        accept = size % 2 == 0;
        size += 0;
    };
    left.SetWidth(100);
    splitter.MoveBy(11);
    EXPECT_EQ(left.Width(), 100);
    splitter.MoveBy(12);
    EXPECT_EQ(left.Width(), 112);
}

TEST(Image, PicturesPaintWhereTheirModeSays) {
    TTempFolder folder;
    TTestHost host(300, 200);
    host.Form.SetColor(clWhite);
    host.Form.SetBevelOuter(bvNone);
    // A 10 x 5 picture: red left half, blue right half.
    TBitmap source(10, 5);
    source.Canvas().FillRect(Rect(0, 0, 5, 5), clRed);
    source.Canvas().FillRect(Rect(5, 0, 10, 5), clBlue);
    const std::string file = folder.File("two.bmp");
    source.SaveToFile(file);
    TImage image(&host.Form);
    image.SetParent(&host.Form);
    image.SetBounds(20, 20, 100, 100);
    image.Picture().LoadFromFile(file);
    EXPECT_EQ(image.DestRect(), Rect(0, 0, 10, 5));
    image.SetStretch(true);
    EXPECT_EQ(image.DestRect(), Rect(0, 0, 100, 100));
    image.SetProportional(true);
    EXPECT_EQ(image.DestRect(), Rect(0, 0, 100, 50));
    image.SetCenter(true);
    EXPECT_EQ(image.DestRect(), Rect(0, 25, 100, 75));
    image.SetAutoSize(true);
    EXPECT_EQ(image.Width(), 10);
    image.SetAutoSize(false);
    image.SetBounds(20, 20, 100, 100);
    QApplication::processEvents();
    QImage pixels = ClientWidgetOf(&host.Form)->grab().toImage();
    auto at = [&](int x, int y) { return QColor(pixels.pixel(20 + x, 20 + y)); };
    EXPECT_EQ(at(25, 50), QColor(Qt::red));
    EXPECT_EQ(at(75, 50), QColor(Qt::blue));
    EXPECT_EQ(at(50, 10), QColor(Qt::white)) << "above the centred picture";
    EXPECT_EQ(at(50, 90), QColor(Qt::white)) << "below it";
}

// ---------------------------------------------------------------------------

TEST(SpinEdit, RandomValuesAndBoundsStayWithinTheBoundsAndTheWindowShowsTheValue) {
    TTestHost host;
    TSpinEdit spin(&host.Form);
    spin.SetParent(&host.Form);
    auto* box = WidgetOf<QSpinBox>(spin);
    ASSERT_NE(box, nullptr);
    std::mt19937 random(12);
    for (int step = 0; step < 200; ++step) {
        int a = static_cast<int>(random() % 200) - 100;
        switch (random() % 4) {
        case 0: spin.SetMinValue(a); break;
        case 1: spin.SetMaxValue(a); break;
        case 2: spin.SetValue(a * 7); break;
        case 3: spin.SetText(random() % 2 ? "junk" : std::to_string(a)); break;
        }
        int low = std::min(spin.MinValue(), spin.MaxValue());
        int high = std::max(spin.MinValue(), spin.MaxValue());
        if (spin.Bounded()) {
            ASSERT_TRUE(spin.Value() >= low && spin.Value() <= high) << "step " << step;
        }
        if (spin.Text() == "junk") {
            ASSERT_EQ(spin.Value(), spin.CheckValue(spin.MinValue()));
        }
        ASSERT_EQ(box->value(), spin.CheckValue(spin.Value())) << "step " << step;
    }
}

TEST(SpinEdit, KeysAndTypingChangeTheValueOnceEachAndBoundsWaitForTheFormToBeBuilt) {
    TTestHost host;
    TSpinEdit spin(&host.Form);
    spin.SetParent(&host.Form);
    spin.SetMinValue(1);
    spin.SetMaxValue(10);
    spin.SetIncrement(3);
    spin.SetValue(5);
    int changes = 0;
    spin.OnChange = [&](TPersistent*) { ++changes; };
    auto* box = WidgetOf<QSpinBox>(spin);
    QTest::keyClick(box, Qt::Key_Up);
    EXPECT_EQ(spin.Value(), 8);
    QTest::keyClick(box, Qt::Key_Up);
    EXPECT_EQ(spin.Value(), 10);
    QTest::keyClick(box, Qt::Key_Down);
    EXPECT_EQ(spin.Value(), 7);
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(box->value(), 7);
    box->selectAll();
    QTest::keyClicks(box, "4");
    EXPECT_EQ(spin.Value(), 4);
    EXPECT_EQ(changes, 4);
    // While loading, bounds set one after the other do not clamp.
    TSpinEdit loaded;
    loaded.BeginLoading();
    loaded.SetText("50");
    loaded.SetMinValue(5);
    loaded.SetMaxValue(100);
    loaded.Loaded();
    EXPECT_EQ(loaded.Value(), 50);
    loaded.SetMaxValue(20);
    EXPECT_EQ(loaded.Value(), 20);
}

// Windowless controls placed in a group box or in a tab control's area
// show as they do on a panel: each paints its own colour where it lies
// (randomly placed, and painted again when it changes), and the pointer
// coming over one and pressing it reach it.
TEST(WindowlessChildren, ShowAndTakeThePointerInAGroupBoxAndATabControlAsOnAPanel) {
    TTestHost host(520, 320);
    TGroupBox group(&host.Form);
    group.SetParent(&host.Form);
    group.SetBounds(10, 10, 240, 200);
    group.SetCaption("Colours");
    TTabControl tabs(&host.Form);
    tabs.SetParent(&host.Form);
    tabs.SetBounds(260, 10, 240, 200);
    tabs.Tabs().SetText("one\r\ntwo\r\n");
    std::mt19937 random(41);
    const TColor colors[] = {clRed, clBlue, clLime, clYellow, clFuchsia, clAqua};
    for (TWinControl* parent : {static_cast<TWinControl*>(&group), static_cast<TWinControl*>(&tabs)}) {
        SCOPED_TRACE(parent->ClassName());
        // Side by side in columns, at random heights below the caption.
        std::vector<std::unique_ptr<TRecordingGraphic>> children;
        std::vector<TColor> painted;
        for (int i = 0; i < 4; ++i) {
            auto child = std::make_unique<TRecordingGraphic>(&host.Form);
            child->SetParent(parent);
            const int top = 24 + static_cast<int>(random() % 100);
            child->SetBounds(8 + i * 54, top, 20 + static_cast<int>(random() % 30), 20 + static_cast<int>(random() % 40));
            painted.push_back(colors[random() % std::size(colors)]);
            TRecordingGraphic* self = child.get();
            child->OnPaint = [self, &painted, i](TCanvas& canvas) {
                canvas.FillRect(self->ClientRect(), painted[static_cast<size_t>(i)]);
            };
            children.push_back(std::move(child));
        }
        QApplication::processEvents();
        QWidget* client = ClientWidgetOf(parent);
        ASSERT_NE(client, nullptr);
        auto colorAt = [&](const TControl& child, int x, int y) {
            QImage pixels = client->grab().toImage();
            return FromQColor(QColor(pixels.pixel(child.Left() + x, child.Top() + y)));
        };
        for (size_t i = 0; i < children.size(); ++i) {
            const TControl& child = *children[i];
            EXPECT_EQ(colorAt(child, child.Width() / 2, child.Height() / 2), painted[i]) << "child " << i;
            EXPECT_EQ(colorAt(child, 0, 0), painted[i]) << "child " << i;
            EXPECT_EQ(colorAt(child, child.Width() - 1, child.Height() - 1), painted[i]) << "child " << i;
        }
        // A changed child paints again.
        painted[2] = painted[2] == clBlack ? clWhite : clBlack;
        children[2]->Invalidate();
        QApplication::processEvents();
        EXPECT_EQ(colorAt(*children[2], 3, 3), painted[2]);
        // The pointer comes over the second child and presses it.
        TRecordingGraphic& target = *children[1];
        const QPoint inside(target.Left() + 5, target.Top() + 6);
        QTest::mouseMove(client, inside);
        QTest::mouseClick(client, Qt::LeftButton, {}, inside);
        std::vector<std::string> seen;
        for (const TRecordedInput& input : target.Inputs)
            seen.push_back(input.What);
        EXPECT_EQ(seen, (std::vector<std::string>{"enter", "mousedown", "mouseup"}));
        ASSERT_GE(target.Inputs.size(), 2u);
        EXPECT_EQ(target.Inputs[1].X, 5);
        EXPECT_EQ(target.Inputs[1].Y, 6);
    }
}

} // namespace
