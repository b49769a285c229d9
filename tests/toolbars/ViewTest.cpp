// Views: their viewer lists follow the item tree (relayed groups, links)
// under random changes, layout waits for the end of an update, viewers
// measure by the menu and toolbar rules with the fixed-pitch measurer, and
// the chevron hides the least recently used items and lists them in its
// popup.

#include "tests/toolbars/ToolbarTestSupport.h"
#include "toolbars/TBPopupWindow.h"

#include <gtest/gtest.h>

#include <random>

namespace {

std::vector<TTBCustomItem*> viewerItems(TTBView* view) {
    std::vector<TTBCustomItem*> items;
    for (int i = 0; i < view->ViewerCount(); ++i)
        items.push_back(view->Viewers(i)->Item());
    return items;
}

// What a view must show: the children of the item it shows, each relayed
// group followed by its own children (one level).
std::vector<TTBCustomItem*> expectedItems(TTBCustomItem* shown) {
    std::vector<TTBCustomItem*> items;
    for (int i = 0; i < shown->Count(); ++i) {
        TTBCustomItem* child = shown->ItemAt(i);
        items.push_back(child);
        if (child->ItemStyle & isRelayedGroup)
            for (int j = 0; j < child->Count(); ++j)
                items.push_back(child->ItemAt(j));
    }
    return items;
}

TEST(View, ViewersFollowRandomChangesOfTheTree) {
    TTestSettings settings;
    SetTBSystemSettings(&settings);
    std::mt19937 random(8);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    TTBRootItem root, linked;
    std::vector<std::unique_ptr<TTBCustomItem>> pool;
    for (int i = 0; i < 14; ++i) {
        pool.push_back(std::make_unique<TTBCustomItem>());
        pool.back()->SetCaption(std::string(5, 'a' + static_cast<char>(i)));
        if (i % 4 == 0)
            pool.back()->ItemStyle |= isRelayedGroup;
        if (i % 5 == 1)
            pool.back()->SetVisible(false);
    }
    TTBView view(nullptr, nullptr, &root, nullptr, true, false, true);
    for (int step = 0; step < 3000; ++step) {
        TTBCustomItem* item = pool[static_cast<size_t>(pick(14))].get();
        // Somewhere to put it: the root, the linked item, or another item
        // (a relayed group's children show in the view).
        TTBCustomItem* target = pick(3) == 0 ? &root : pick(2) ? &linked : pool[static_cast<size_t>(pick(14))].get();
        switch (pick(6)) {
        case 0:
        case 1:
            if (item->Parent() == nullptr && !item->ContainsItem(target))
                target->Insert(pick(target->Count() + 1), item);
            break;
        case 2:
            if (item->Parent() != nullptr)
                item->Parent()->Remove(item);
            break;
        case 3:
            if (target->Count() > 1)
                target->Move(pick(target->Count()), pick(target->Count()));
            break;
        case 4:
            if (pick(10) == 0)
                root.SetLinkSubitems(root.LinkSubitems() == nullptr ? &linked : nullptr);
            break;
        default:
            item->SetVisible(!item->Visible());
            break;
        }
        ASSERT_EQ(view.CurParentItem(), root.ChildSource());
        ASSERT_EQ(viewerItems(&view), expectedItems(view.CurParentItem())) << "step " << step;
        // Whatever changed made the layout stale: asking for it brings it
        // up to date.
        view.ValidatePositions();
        // Shown exactly when visible and not a relayed group; priorities
        // hold every viewer once.
        for (int i = 0; i < view.ViewerCount(); ++i) {
            TTBItemViewer* viewer = view.Viewers(i);
            bool shown = viewer->Item()->Visible() && !(viewer->Item()->ItemStyle & isRelayedGroup);
            ASSERT_EQ(viewer->Show, shown) << "step " << step;
        }
        ASSERT_EQ(view.PriorityList().size(), static_cast<size_t>(view.ViewerCount()));
    }
    for (auto& item : pool)
        if (item->Parent() != nullptr)
            item->Parent()->Remove(item.get());
    SetTBSystemSettings(nullptr);
}

TEST(View, LayoutWaitsForTheEndOfAnUpdate) {
    TTBRootItem root;
    TTBView view(nullptr, nullptr, &root, nullptr, true, false, false);
    view.ValidatePositions();
    TTBCustomItem a, b;
    view.BeginUpdate();
    root.Add(&a);
    root.Add(&b);
    EXPECT_FALSE(view.Validated());
    EXPECT_FALSE(view.Viewers(0)->Show);
    view.EndUpdate();
    EXPECT_TRUE(view.Validated());
    EXPECT_TRUE(view.Viewers(1)->Show);
    root.Remove(&a);
    root.Remove(&b);
}

TEST(View, ViewersMeasureByTheMenuAndToolbarRules) {
    TTestSettings settings;
    SetTBSystemSettings(&settings);
    // Fixed pitch: 8 pixels a character, 16 high, no leading.  A menu line
    // is the text height + 4 high; without images and shortcut it is its
    // caption plus twice its height plus 6 wide.
    TTBCustomItem menu, open, saveAs;
    open.SetCaption("&Open");
    saveAs.SetCaption("Save &as...\tCtrl+Shift+S");
    menu.Add(&open);
    {
        std::unique_ptr<TTBPopupWindow> popup(menu.OpenPopupWindow(nullptr, nullptr, false, false, false, {10, 10}, 0));
        TTBItemViewer* viewer = popup->View()->ViewerOf(&open);
        EXPECT_EQ(viewer->BoundsRect, Rect(0, 0, 4 * 8 + 2 * 20 + 6, 20));
        EXPECT_EQ(popup->BoundsRect(), Rect(10, 10, 10 + 78 + 6, 10 + 20 + 6));
    }
    menu.Add(&saveAs);
    {
        std::unique_ptr<TTBPopupWindow> popup(menu.OpenPopupWindow(nullptr, nullptr, false, false, false, {10, 10}, 0));
        // The shortcut text adds its width and the height less 6.
        int width = 10 * 8 + 20 + 6 + (12 * 8 + 20 - 6) + 20;
        EXPECT_EQ(popup->View()->ViewerOf(&saveAs)->BoundsRect, Rect(0, 20, width, 40));
        EXPECT_EQ(popup->View()->ViewerOf(&open)->BoundsRect.Width(), width); // as wide as the widest
    }
    menu.Remove(&open);
    menu.Remove(&saveAs);

    // On a toolbar: 6 around the caption each way; a split button is 11
    // wider and clicks only left of its arrow.
    TTestBar bar(0, 0);
    auto* plain = new TTBCustomItem;
    plain->SetCaption("Edit");
    auto* split = new TTBCustomItem;
    split->SetCaption("Edit");
    split->ItemStyle |= isSubmenu | isDropDownCombo;
    bar.Items.Add(plain);
    bar.Items.Add(split);
    bar.View->ValidatePositions();
    EXPECT_EQ(bar.ViewerOf(plain)->BoundsRect, Rect(0, 0, 44, 22));
    TTBItemViewer* splitViewer = bar.ViewerOf(split);
    EXPECT_EQ(splitViewer->BoundsRect, Rect(44, 0, 44 + 55, 22));
    EXPECT_TRUE(splitViewer->InButtonPart(55 - 12, 5));
    EXPECT_FALSE(splitViewer->InButtonPart(55 - 11, 5));
    EXPECT_EQ(bar.Width(), 99); // the bar takes the size its items need
    SetTBSystemSettings(nullptr);
}

TEST(View, TheChevronKeepsTheRecentlyUsedItemsAndListsTheOthers) {
    TLoopFixture f;
    TTestBar bar(100, 100, true, true);
    std::vector<TTBCustomItem*> items;
    for (int i = 0; i < 6; ++i) {
        auto* item = new TTBCustomItem;
        item->SetCaption(std::string{'B', static_cast<char>('0' + i)}); // 6 + 16 + 6 = 28 wide
        bar.Items.Add(item);
        items.push_back(item);
    }
    // Room for two items besides the chevron.
    bar.View->ChevronOffset = 2 * 28 + 12;
    bar.View->PromoteViewer(bar.ViewerOf(items[4]));
    bar.View->InvalidatePositions();
    bar.View->ValidatePositions();
    std::vector<TTBCustomItem*> shown;
    for (TTBCustomItem* item : items)
        if (bar.ViewerOf(item)->Show)
            shown.push_back(item);
    EXPECT_EQ(shown, (std::vector<TTBCustomItem*>{items[0], items[4]}));
    TTBItemViewer* chevron = bar.View->Viewers(bar.View->ViewerCount() - 1);
    EXPECT_TRUE(chevron->Show);
    EXPECT_TRUE(chevron->Item()->Enabled());
    EXPECT_EQ(bar.View->HighestPriorityViewer()->Item(), items[4]);

    // The chevron's popup lists exactly the hidden ones.
    bar.View->Select(chevron);
    ASSERT_TRUE(bar.View->OpenPopup(false));
    TTBView* popup = bar.View->OpenViewerView();
    popup->ValidatePositions();
    std::vector<TTBCustomItem*> listed;
    for (int i = 0; i < popup->ViewerCount(); ++i)
        if (popup->Viewers(i)->Show)
            listed.push_back(popup->Viewers(i)->Item());
    EXPECT_EQ(listed, (std::vector<TTBCustomItem*>{items[1], items[2], items[3], items[5]}));
    // Choosing one there promotes it on the bar.
    popup->PromoteViewer(popup->ViewerOf(items[2]));
    bar.View->CloseChildPopups();
    bar.View->ValidatePositions();
    EXPECT_TRUE(bar.ViewerOf(items[2])->Show);
    EXPECT_FALSE(bar.ViewerOf(items[0])->Show);
}

} // namespace
