// The list item's scroll bar (zones, thumb, dragging, repeat and
// auto-scroll on a manual clock), the list viewer (size, hot entry, keys,
// hit tests, scrolling faster the further the mouse is dragged), and the
// themed edit item and recent-file items.

#include "tests/toolbars/themes/ThemeTestSupport.h"
#include "toolbars/TBPopupAnimation.h"
#include "toolbars/themes/TBKEditItem.h"
#include "toolbars/themes/TBKList.h"
#include "toolbars/themes/TBKPopupWindow.h"

#include "platform/base/IniFile.h"
#include "platform/ui/TickSource.h"

#include <random>

namespace {

// A list of numbered entries, 20 pixels high.
class TNumberList : public TTBKCustomList {
public:
    int Entries = 0;
    std::vector<int> Drawn;
    int GetCount() override { return Entries; }
    void DrawEntry(TCanvas& canvas, const TRect& rect, int index, bool hot) override {
        Drawn.push_back(index);
        canvas.FillRect(rect, hot ? clHighlight : clWindow);
    }
    int EntryHeight(TCanvas&) override { return 20; }
    int EntryWidth(TCanvas&, int index) override { return 50 + index; }
};

TEST(ScrollBar, ZonesThumbAndPositionLimits) {
    TTBKScrollBar bar;
    bar.SetBounds(Rect(0, 0, 16, 160));
    bar.SetRange(100);
    bar.SetWindow(10);
    // Buttons as thick as the bar; a track of 128 with a 13-pixel thumb.
    EXPECT_EQ(bar.Zone(sbzFirstButton), Rect(0, 0, 16, 16));
    EXPECT_EQ(bar.Zone(sbzSecondButton), Rect(0, 144, 16, 160));
    EXPECT_EQ(bar.Zone(sbzThumb), Rect(0, 16, 16, 29));
    bar.SetPosition(500);
    EXPECT_EQ(bar.Position(), 90);
    EXPECT_EQ(bar.Zone(sbzThumb).Bottom, 144);
    bar.SetPosition(-5);
    EXPECT_EQ(bar.Position(), 0);
    // A long list keeps the thumb at 8 pixels.
    bar.SetRange(10000);
    EXPECT_EQ(bar.Zone(sbzThumb).Height(), 8);
    // A track shorter than 13 pixels has no thumb, only a plain track.
    bar.SetBounds(Rect(0, 0, 16, 40));
    EXPECT_TRUE(bar.Zone(sbzThumb).IsEmpty());
    EXPECT_TRUE(bar.Zone(sbzPageUp).IsEmpty());
    // Too short for full buttons: each takes half of what is left.
    bar.SetBounds(Rect(0, 0, 16, 20));
    EXPECT_EQ(bar.Zone(sbzFirstButton), Rect(0, 0, 16, 9));
    // Nothing to scroll: disabled.
    bar.SetRange(5);
    bar.SetWindow(10);
    EXPECT_FALSE(bar.Enabled());
}

TEST(ScrollBar, PressesRepeatAndTheThumbFollowsTheMouse) {
    TManualTickSource clock;
    SetTickSource(&clock);
    TTBKScrollBar bar;
    bar.SetBounds(Rect(100, 0, 116, 160));
    bar.SetRange(100);
    bar.SetWindow(10);
    int changes = 0;
    bar.OnChange = [&](TTBKScrollBar*) { ++changes; };
    bar.MouseDown(mbLeft, 108, 150); // the down button, in the owner's coordinates
    EXPECT_EQ(bar.Position(), 1);
    clock.Advance(499);
    EXPECT_EQ(bar.Position(), 1);
    clock.Advance(1);
    EXPECT_EQ(bar.Position(), 2);
    clock.Advance(300);
    EXPECT_EQ(bar.Position(), 5);
    bar.MouseUp(mbLeft, 108, 150);
    clock.Advance(1000);
    EXPECT_EQ(bar.Position(), 5);
    EXPECT_EQ(changes, 5);
    // Dragging the thumb: the offset scales the move by range over track.
    TRect thumb = bar.Zone(sbzThumb);
    bar.MouseDown(mbLeft, 108, thumb.Top + 2);
    bar.MouseMove(108, thumb.Top + 2 + 64);
    EXPECT_EQ(bar.Position(), 5 + 50);
    bar.MouseMove(108, thumb.Top + 2 + 1000);
    EXPECT_EQ(bar.Position(), 90);
    bar.MouseUp(mbLeft, 0, 0);
    // Auto-scroll runs until an end and stops there.
    bar.StartAutoScroll(-20, 100);
    clock.Advance(1000);
    EXPECT_EQ(bar.Position(), 0);
    EXPECT_FALSE(bar.AutoScrolling());
    SetTickSource(nullptr);
}

struct TListFixture {
    TThemedBar Bar{TVT_POPUPMENU};
    TNumberList* List = new TNumberList;
    TListFixture(int entries, int index = -1) {
        List->Entries = entries;
        List->SetItemIndex(index);
        Bar.Items.Add(List);
        Bar.View->ValidatePositions();
    }
    TTBKCustomListViewer* Viewer() { return static_cast<TTBKCustomListViewer*>(Bar.ViewerOf(List)); }
};

TEST(ListViewer, SizeScrollBarAndHitTests) {
    {
        TListFixture empty(0);
        // One empty row, no scroll bar; keys do nothing.
        EXPECT_EQ(empty.Viewer()->BoundsRect.Height(), 20);
        EXPECT_EQ(empty.Viewer()->ScrollBarWidth(), 0);
        uint16_t key = VK_DOWN;
        empty.Viewer()->KeyDown(key, 0);
        EXPECT_EQ(empty.List->ItemIndex(), -1);
        EXPECT_EQ(empty.Viewer()->EntryAt(5, 5), -1);
    }
    TListFixture few(3);
    EXPECT_EQ(few.Viewer()->BoundsRect.Height(), 60);
    EXPECT_EQ(few.Viewer()->BoundsRect.Width(), 52);
    TListFixture many(30, 40);
    TTBKCustomListViewer* viewer = many.Viewer();
    // Eight rows and a scroll bar beside the widest entry; an index past the
    // end is no hot entry.
    EXPECT_EQ(viewer->BoundsRect.Height(), 160);
    EXPECT_EQ(viewer->BoundsRect.Width(), 79 + TBSystemMetric(SM_CXVSCROLL));
    EXPECT_EQ(viewer->HotIndex(), -1);
    EXPECT_EQ(viewer->EntryAt(10, -1), -1);
    EXPECT_EQ(viewer->EntryAt(10, 45), 2);
    EXPECT_EQ(viewer->EntryAt(viewer->BoundsRect.Width() - 3, 45), -1); // on the scroll bar
    EXPECT_EQ(viewer->EntryAt(10, 170), -1);
}

TEST(ListViewer, KeysMoveTheIndexAndKeepItInView) {
    TListFixture fixture(30);
    TTBKCustomListViewer* viewer = fixture.Viewer();
    int changes = 0;
    fixture.List->OnChange = [&](TPersistent*) { ++changes; };
    // A model of the keys: the index moves by one, a page or to an end and
    // stays in range; the rows shown always hold it.
    std::mt19937 rng(150);
    const uint16_t keys[] = {VK_UP, VK_DOWN, VK_PRIOR, VK_NEXT, VK_HOME, VK_END};
    int expected = -1;
    for (int round = 0; round < 300; ++round) {
        uint16_t key = keys[rng() % 6];
        int from = expected;
        switch (key) {
        case VK_UP: expected = from - 1; break;
        case VK_DOWN: expected = from + 1; break;
        case VK_PRIOR: expected = from - 8; break;
        case VK_NEXT: expected = from + 8; break;
        case VK_HOME: expected = 0; break;
        default: expected = 29; break;
        }
        expected = std::clamp(expected, 0, 29);
        uint16_t k = key;
        viewer->KeyDown(k, 0);
        ASSERT_EQ(k, 0);
        ASSERT_EQ(fixture.List->ItemIndex(), expected);
        ASSERT_EQ(viewer->HotIndex(), expected);
        ASSERT_GE(expected, viewer->TopIndex());
        ASSERT_LT(expected, viewer->TopIndex() + viewer->VisibleRows());
    }
    EXPECT_EQ(changes, 300);
}

TEST(ListViewer, DraggingBelowScrollsFasterTheFurtherAway) {
    TManualTickSource clock;
    SetTickSource(&clock);
    TListFixture fixture(200);
    TTBKCustomListViewer* viewer = fixture.Viewer();
    TTBLoopState loop;
    viewer->MouseDown(0, 10, 10, loop);
    EXPECT_TRUE(viewer->ListTracking());
    EXPECT_EQ(viewer->HotIndex(), 0);
    // Close below the list: one row every 150 ms.
    std::vector<int> moved;
    for (int distance : {5, 40, 80}) {
        viewer->MouseMove(10, 25); // back inside stops it
        int top = viewer->TopIndex();
        viewer->MouseMove(10, 160 + distance);
        EXPECT_EQ(viewer->HotIndex(), -1);
        clock.Advance(600);
        moved.push_back(viewer->TopIndex() - top);
    }
    EXPECT_EQ(moved[0], 4);  // 600 / 150 x 1
    EXPECT_EQ(moved[1], 12); // 600 / 100 x 2
    EXPECT_EQ(moved[2], 24); // 600 / 100 x 4
    // Back inside: scrolling stops; the release chooses the entry.
    viewer->MouseMove(10, 25);
    int top = viewer->TopIndex();
    clock.Advance(1000);
    EXPECT_EQ(viewer->TopIndex(), top);
    viewer->MouseUp(10, 25, loop);
    EXPECT_EQ(fixture.List->ItemIndex(), top + 1);
    // The wheel: any small turn is one notch.
    viewer->MouseWheel(30, 10, 10);
    EXPECT_EQ(viewer->TopIndex(), top - 1);
    SetTickSource(nullptr);
}

TEST_F(ThemedTest, ListPopupsHaveTheirOwnViewTypeAndNoShadow) {
    Use("OfficeXP");
    TTBKSubmenuItem root;
    auto* list = new TNumberList;
    list->Entries = 12;
    root.Add(list);
    std::unique_ptr<TTBPopupWindow> popup(TTBKPopupWindow::Make(nullptr, &root, false));
    auto& themed = static_cast<TTBKPopupWindow&>(*popup);
    EXPECT_EQ(themed.ViewType(), TVT_LISTPOPUP);
    EXPECT_FALSE(themed.ShadowsAllowed());
    popup->Perform(TBM_ANIMATIONNOTICE, 3);
    EXPECT_EQ(themed.Shadows(), nullptr);
    popup->View()->ValidatePositions();
    TBitmap bitmap(popup->Width(), popup->Height());
    popup->PaintTo(bitmap.Canvas());
    bitmap.Canvas().Release();
    // A one-pixel frame, rows from the top, a scroll bar at the right.
    EXPECT_EQ(bitmap.Canvas().Pixel(0, 0), XP(XPC_POPUPFRAME));
    EXPECT_EQ(list->Drawn, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(bitmap.Canvas().Pixel(popup->Width() - 9, 1 + 60), ColorToRGB(clBtnFace)); // the thumb
    popup.reset();
    root.Clear();
}

TEST_F(ThemedTest, EditItemsMeasurePaintAndReportEdits) {
    Use("OfficeXP");
    TThemedBar bar(TVT_TOOLBAR);
    auto* edit = new TTBKEditItem;
    edit->SetEditWidth(100);
    edit->SetText("secret");
    bar.Items.Add(edit);
    bar.View->ValidatePositions();
    auto* viewer = dynamic_cast<TTBKEditItemViewer*>(bar.ViewerOf(edit));
    ASSERT_NE(viewer, nullptr);
    // 16-pixel text, 1-pixel frames, 2-pixel margins: 16 + 2 = 18 (even),
    // at least 2 x 2 + 16 + 2 x 1 = 22.
    EXPECT_EQ(viewer->BoundsRect.Width(), 100);
    EXPECT_EQ(viewer->BoundsRect.Height(), 22);
    EXPECT_EQ(viewer->ShownText(), "secret");
    TPaintedViewer painted(viewer, false, false, false, 0xC0C0C0);
    EXPECT_EQ(painted.At(50, 1), clWhite); // the field's inner frame
    EXPECT_GE(painted.Count(Rect(2, 2, 98, 20), clBlack), 15);
    edit->SetPasswordChar('*');
    EXPECT_EQ(viewer->ShownText(), "******");
    EXPECT_EQ(edit->Text(), "secret");
    // The field's rectangle lies inside the frame by the theme's margins.
    TRect field = viewer->EditFieldRect();
    EXPECT_EQ(field, Rect(viewer->BoundsRect.Left, viewer->BoundsRect.Top + 0, viewer->BoundsRect.Right,
                          viewer->BoundsRect.Bottom));
    std::vector<std::string> edits;
    edit->OnChange = [&](TTBCustomItem* sender, const std::string& text) { edits.push_back(text); };
    viewer->HandleEditChange("se");
    EXPECT_EQ(edits, (std::vector<std::string>{"se"}));
}

TEST_F(ThemedTest, RecentFileItemsFollowTheirList) {
    Use("OfficeXP");
    TThemedBar menu(TVT_POPUPMENU);
    auto list = std::make_unique<TTBKMRUList>();
    list->AddFullPath = false;
    auto* place = new TTBKMRUListItem;
    EXPECT_EQ(place->Caption(), "(TBK MRU List)");
    menu.Items.Add(place);
    place->SetMRUList(list.get());
    menu.View->ValidatePositions();
    auto shown = [&menu] {
        std::vector<std::string> captions;
        for (int i = 0; i < menu.View->ViewerCount(); ++i)
            if (menu.View->Viewers(i)->Show)
                captions.push_back(menu.View->Viewers(i)->Item()->Caption());
        return captions;
    };
    // An empty list shows nothing where it stands.
    EXPECT_TRUE(shown().empty());
    list->Add("/tmp/a.html");
    list->Add("/tmp/b.html");
    menu.View->ValidatePositions();
    EXPECT_EQ(shown(), (std::vector<std::string>{"&1 b.html", "&2 a.html"}));
    EXPECT_NE(dynamic_cast<TTBKItemViewer*>(menu.View->Viewers(1)), nullptr);
    EXPECT_NE(dynamic_cast<TTBKCustomItem*>(list->Container()->ItemAt(0)), nullptr);
    // Freeing the list empties the item, which forgets it.
    list.reset();
    EXPECT_EQ(place->MRUList(), nullptr);
    menu.View->ValidatePositions();
    EXPECT_TRUE(shown().empty());
    EXPECT_EQ(menu.View->ViewerCount(), 1);
}

} // namespace
