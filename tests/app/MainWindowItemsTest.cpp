// The main window's item tables agree with themselves: every name is one
// item, the document command lists name items that wait for a document,
// and every item that waits for one is switched by those lists or stands
// directly under "Insert" (which opens with the document commands).  Every
// toolbar button has a picture of its own.

#include "app/MainWindowItems.h"
#include "app/ToolbarIcons.h"

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/ImageList.h"
#include "platform/ui/Keys.h"
#include "tests/platform/gfx/TestApplication.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

void collect(const std::vector<TMainItem>& items, const std::string& path,
             std::map<std::string, std::pair<const TMainItem*, std::string>>& byName, std::vector<std::string>& clashes) {
    for (const TMainItem& item : items) {
        if (item.Flags & miSeparator)
            continue;
        if (!byName.emplace(item.Name, std::make_pair(&item, path)).second)
            clashes.push_back(item.Name);
        collect(item.Items, path + "/" + item.Caption, byName, clashes);
    }
}

} // namespace

TEST(MainWindowItems, NamesAreUniqueAndTheDocumentSetsNameDocumentItems) {
    std::map<std::string, std::pair<const TMainItem*, std::string>> byName;
    std::vector<std::string> clashes;
    for (const TMainBar& bar : MainWindowBars())
        collect(bar.Items, bar.Name, byName, clashes);
    EXPECT_EQ(clashes, std::vector<std::string>{});
    EXPECT_EQ(MainWindowBars().size(), 12u);

    std::set<std::string> switched;
    for (const auto* list : {&DocumentCommandItems(), &SelectionAndUndoItems()})
        for (const std::string& name : *list) {
            EXPECT_TRUE(switched.insert(name).second) << name << " listed twice";
            auto found = byName.find(name);
            ASSERT_NE(found, byName.end()) << name;
            EXPECT_TRUE(found->second.first->Flags & miNeedsDocument) << name;
        }
    EXPECT_EQ(DocumentCommandItems().size(), 82u);

    for (const auto& [name, entry] : byName) {
        const auto& [item, path] = entry;
        EXPECT_FALSE(name.empty()) << path << "/" << item->Caption;
        if (item->Flags & miNeedsDocument) {
            EXPECT_TRUE(switched.count(name) || path == "menubar/Insert") << path << "/" << name;
        }
        if (!item->ShortCut.empty()) {
            EXPECT_NE(TextToShortCut(item->ShortCut), 0) << item->ShortCut;
        }
        // Every item names a handler, opens a submenu, or holds a list (that
        // the handlers run is the walk over the running window's).
        EXPECT_TRUE(!item->Handler.empty() || (item->Flags & (miSubmenu | miRecentList)))
            << name;
    }
}

TEST(MainWindowItems, EveryToolbarButtonHasAPictureOfItsOwn) {
    MakeTestApplication<QGuiApplication>();
    TImageList images;
    DrawToolbarIcons(images);
    std::set<int> used;
    for (const TMainBar& bar : MainWindowBars()) {
        if (bar.Name == "menubar")
            continue;
        for (const TMainItem& item : bar.Items) {
            if (item.Flags & miSeparator)
                continue;
            int index = ToolbarIconIndex(item.Name);
            ASSERT_GE(index, 0) << item.Name;
            used.insert(index);
        }
    }
    EXPECT_EQ(static_cast<int>(used.size()), images.Count()) << "pictures of no button";
    // Each picture shows something (pixels that stay the same over white
    // and over black), and no two are alike.
    std::vector<std::vector<TColor>> pictures;
    for (int i = 0; i < images.Count(); ++i) {
        TBitmap onWhite, onBlack;
        images.GetBitmap(i, onWhite, clWhite);
        images.GetBitmap(i, onBlack, clBlack);
        std::vector<TColor> pixels;
        int opaque = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                TColor white = onWhite.Canvas().Pixel(x, y);
                opaque += white == onBlack.Canvas().Pixel(x, y);
                pixels.push_back(white);
            }
        EXPECT_GT(opaque, 8) << "picture " << i;
        for (size_t j = 0; j < pictures.size(); ++j)
            EXPECT_NE(pixels, pictures[j]) << "pictures " << j << " and " << i;
        pictures.push_back(pixels);
    }
}
