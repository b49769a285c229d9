// Stored bar positions: random layouts saved and loaded into a fresh form
// come back the same, the registry store's values are what other versions
// read, and stored values that are wrong, out of range or unreadable
// leave a usable layout and never raise.

#include "tests/toolbars/DockTestSupport.h"

#include "platform/base/Exceptions.h"
#include "tests/platform/base/TempFolder.h"
#include "toolbars/TBBarPositions.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <random>

namespace {

// An in-memory store of (window, value) pairs, as the callbacks see it.
struct TMemoryStore {
    std::map<std::pair<std::string, std::string>, std::string> Values;
    TTBPositionWriter Writer() {
        return {[this](const std::string& t, const std::string& v, int32_t d) { Values[{t, v}] = std::to_string(d); },
                [this](const std::string& t, const std::string& v, const std::string& d) { Values[{t, v}] = d; }};
    }
    TTBPositionReader Reader() {
        return {[this](const std::string& t, const std::string& v, int32_t def) {
                    auto it = Values.find({t, v});
                    return it == Values.end() ? def : std::stoi(it->second);
                },
                [this](const std::string& t, const std::string& v, const std::string& def) {
                    auto it = Values.find({t, v});
                    return it == Values.end() ? def : it->second;
                }};
    }
};

// A form with three toolbars and a tool window, all first in the top dock.
struct TLayoutForm : TDockForm {
    std::vector<TTBCustomDockableWindow*> Bars;
    TTBToolWindow* Tool;
    TLayoutForm() {
        Bars.push_back(Toolbar("Standard", Top, {"New", "Open", "Save"}));
        Bars.push_back(Toolbar("Format", Top, {"Bold", "Italic"}));
        Bars.push_back(Toolbar("Insert", Top, {"Table", "Image", "Link", "Form"}));
        Tool = new TTBToolWindow(&Form);
        Tool->SetName("Inspector");
        Tool->SetParent(Top);
        Tool->SizeClientArea(120, 60);
        Bars.push_back(Tool);
    }
    std::vector<TTBDock*> Docks() const { return {Top, Bottom, Left, Right}; }
};

// What a bar's place is, as a user sees it.
struct TPlace {
    bool Visible;
    TTBDock* Dock;
    int Row, Pos;
    bool Floating;
    TPoint Float;
    TSize Client;
    TTBDock* Last;
    bool operator==(const TPlace&) const = default;
};

void PrintTo(const TPlace& p, std::ostream* out) {
    *out << "visible " << p.Visible << " dock " << (p.Dock != nullptr ? p.Dock->Name() : "-") << " row " << p.Row
         << " pos " << p.Pos << " floating " << p.Floating << " at " << p.Float.X << "," << p.Float.Y << " client "
         << p.Client.cx << "x" << p.Client.cy << " last " << (p.Last != nullptr ? p.Last->Name() : "-");
}

TPlace placeOf(TTBCustomDockableWindow* bar, const std::vector<TTBDock*>& docks, const std::vector<TTBDock*>& mine) {
    auto map = [&](TTBDock* dock) -> TTBDock* {
        for (size_t i = 0; i < docks.size(); ++i)
            if (docks[i] == dock)
                return mine[i];
        return nullptr;
    };
    bool placed = bar->Docked() && bar->Visible();
    TPlace place{bar->Visible(), map(bar->CurrentDock()), placed ? bar->PlacedRow : 0, placed ? bar->PlacedPos : 0, bar->Floating(), {}, {}, map(bar->LastDock())};
    if (bar->Floating())
        place.Float = bar->FloatingFrame()->BoundsRect().TopLeft();
    if (auto* tool = dynamic_cast<TTBToolWindow*>(bar))
        place.Client = {tool->ClientAreaWidth(), tool->ClientAreaHeight()};
    return place;
}

TEST(BarPositions, RandomLayoutsComeBackAfterSavingAndLoading) {
    std::mt19937 random(2718);
    auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    for (int round = 0; round < 60; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        TLayoutForm saved;
        for (TTBCustomDockableWindow* bar : saved.Bars) {
            int where = pick(0, 4);
            if (where == 4) {
                bar->SetFloating(true);
                bar->PlaceFloatingFrame({pick(0, 1500), pick(0, 1200)});
            } else {
                bar->SetParent(saved.Docks()[static_cast<size_t>(where)]);
                bar->SetDockRow(pick(0, 3));
                bar->SetDockPos(pick(-10, 300));
            }
            if (pick(0, 3) == 0)
                bar->Hide();
        }
        saved.Tool->SizeClientArea(pick(40, 200), pick(40, 200));
        TMemoryStore store;
        SaveBarPositions(&saved.Form, store.Writer());

        TLayoutForm loaded;
        LoadBarPositions(&loaded.Form, store.Reader());
        auto compare = [&] {
            for (size_t i = 0; i < saved.Bars.size(); ++i)
                EXPECT_EQ(placeOf(loaded.Bars[i], loaded.Docks(), saved.Docks()),
                          placeOf(saved.Bars[i], saved.Docks(), saved.Docks()))
                    << saved.Bars[i]->Name();
        };
        compare();
        // Hidden bars come back among the same neighbours when shown.
        for (size_t i = 0; i < saved.Bars.size(); ++i) {
            saved.Bars[i]->Show();
            loaded.Bars[i]->Show();
        }
        compare();
    }
}

// Runs with the registry store in a folder of its own.
struct TStoreFolder {
    TTempFolder Folder;
    std::optional<std::string> Old;
    TStoreFolder() {
        if (const char* value = std::getenv("XDG_CONFIG_HOME"))
            Old = value;
        ::setenv("XDG_CONFIG_HOME", Folder.Path().c_str(), 1);
    }
    ~TStoreFolder() {
        if (Old)
            ::setenv("XDG_CONFIG_HOME", Old->c_str(), 1);
        else
            ::unsetenv("XDG_CONFIG_HOME");
    }
};

constexpr const char* kKey = "Software\\Prelune2k2\\Toolbars";

TEST(BarPositions, TheRegistryStoreKeepsOneKeyPerBarWithDecimalText) {
    TStoreFolder folder;
    {
        TLayoutForm form;
        form.Bars[1]->SetFloating(true);
        form.Bars[1]->PlaceFloatingFrame({321, 123});
        form.Bars[2]->SetParent(form.Left);
        form.Bars[2]->SetDockPos(-8);
        form.Bars[2]->Hide();
        SaveBarPositionsToRegistry(&form.Form, HKEY_CURRENT_USER, kKey);
    }
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKeyReadOnly(std::string(kKey) + "\\Format"));
    EXPECT_EQ(registry.GetDataType("Rev"), rdString);
    EXPECT_EQ(registry.ReadString("Rev"), "2000");
    EXPECT_EQ(registry.ReadString("DockedTo"), "+");
    EXPECT_EQ(registry.ReadString("LastDock"), "TopDock");
    EXPECT_EQ(registry.ReadString("FloatLeft"), "321");
    ASSERT_TRUE(registry.OpenKeyReadOnly(std::string("\\") + kKey + "\\Insert"));
    EXPECT_EQ(registry.ReadString("DockPos"), "-8");
    EXPECT_EQ(registry.ReadString("Visible"), "0");
    EXPECT_EQ(registry.ReadString("DockedTo"), "LeftDock");
    ASSERT_TRUE(registry.OpenKeyReadOnly(std::string("\\") + kKey + "\\Inspector"));
    EXPECT_EQ(registry.ReadString("ClientWidth"), "120");

    TLayoutForm form;
    LoadBarPositionsFromRegistry(&form.Form, HKEY_CURRENT_USER, kKey);
    EXPECT_TRUE(form.Bars[1]->Floating());
    EXPECT_EQ(form.Bars[1]->FloatingFrame()->BoundsRect().TopLeft(), (TPoint{321, 123}));
    EXPECT_EQ(form.Bars[2]->CurrentDock(), form.Left);
    EXPECT_FALSE(form.Bars[2]->Visible());
}

TEST(BarPositions, WrongStoredValuesLeaveAUsableLayout) {
    TStoreFolder folder;
    auto write = [](const std::string& bar, std::map<std::string, std::string> values) {
        TRegistry registry;
        registry.OpenKey(std::string(kKey) + "\\" + bar, true);
        for (const auto& [name, value] : values)
            registry.WriteString(name, value);
    };
    write("Standard", {{"Rev", "2000"}, {"DockedTo", "TopDock"}, {"DockRow", "2000000000"}, {"Visible", "abc"}});
    write("Format", {{"Rev", "2000"}, {"DockedTo", "+"}, {"FloatLeft", "-99999"}, {"FloatTop", "12x"}});
    write("Insert", {{"Rev", "2000"}, {"DockedTo", "leftdock"}, {"Visible", "0"}});
    write("Inspector", {{"Rev", "2000"}, {"DockedTo", "+"}, {"ClientWidth", "999999"}, {"ClientHeight", "-5"}});
    TLayoutForm form;
    TTBCustomDockableWindow* standard = form.Bars[0];
    form.Bars[2]->DockMode = dmCannotFloat;
    form.Tool->DockMode = dmCannotFloat;
    {
        TRegistry registry;
        registry.OpenKey(std::string(kKey) + "\\Inspector", true);
        registry.WriteString("DockedTo", "RightDock");
    }
    LoadBarPositionsFromRegistry(&form.Form, HKEY_CURRENT_USER, kKey);
    // A huge row is the dock's next row (here its only one shown); text
    // that is no number reads as the default.
    EXPECT_EQ(standard->CurrentDock(), form.Top);
    EXPECT_LE(standard->DockRow(), kTBStoredRowLimit);
    EXPECT_EQ(standard->PlacedRow, 0);
    EXPECT_EQ(form.Top->Height(), standard->Height());
    EXPECT_TRUE(standard->Visible());
    // Far off every screen, the frame comes back onto one.
    ASSERT_TRUE(form.Bars[1]->Floating());
    TRect frame = form.Bars[1]->FloatingFrame()->BoundsRect();
    EXPECT_EQ(frame.Left, 0);
    EXPECT_EQ(frame.Top, 0);
    // Dock names match exactly; "Visible" still applies.
    EXPECT_EQ(form.Bars[2]->CurrentDock(), form.Top);
    EXPECT_FALSE(form.Bars[2]->Visible());
    // A client size beyond any screen, or below the minimum, is brought
    // within them.
    EXPECT_EQ(form.Tool->CurrentDock(), form.Right);
    EXPECT_EQ(form.Tool->ClientAreaWidth(), kTBStoredCoordinateLimit);
    EXPECT_EQ(form.Tool->ClientAreaHeight(), form.Tool->MinClientHeight);

    // A window that may not float is never floated by a stored "+".
    write("Insert", {{"DockedTo", "+"}});
    LoadBarPositionsFromRegistry(&form.Form, HKEY_CURRENT_USER, kKey);
    EXPECT_FALSE(form.Bars[2]->Floating());
    // Another revision leaves the window alone, even its visibility.
    write("Insert", {{"Rev", "1999"}, {"Visible", "1"}, {"DockedTo", "LeftDock"}});
    LoadBarPositionsFromRegistry(&form.Form, HKEY_CURRENT_USER, kKey);
    EXPECT_FALSE(form.Bars[2]->Visible());
    EXPECT_EQ(form.Bars[2]->CurrentDock(), form.Top);
    // A tool window that cannot be sized keeps its size.
    form.Tool->SetResizable(false);
    form.Tool->SizeClientArea(70, 70);
    LoadBarPositionsFromRegistry(&form.Form, HKEY_CURRENT_USER, kKey);
    EXPECT_EQ(form.Tool->ClientAreaWidth(), 70);
}

// Two monitors side by side, each with a panel taking the top of its
// work area.
class TTwoMonitors : public TTestSettings {
public:
    std::vector<TTBMonitor> Monitors() override {
        return {TTBMonitor{Rect(0, 0, 1024, 768), Rect(0, 30, 1024, 768)},
                TTBMonitor{Rect(1024, -200, 2304, 824), Rect(1024, -170, 2304, 824)}};
    }
};

TEST(BarPositions, AFloatingBarStoredPartlyOffTheScreensComesBackWhollyOnOne) {
    std::mt19937 random(1618);
    auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    TTwoMonitors monitors;
    for (int round = 0; round < 200; ++round) {
        TLayoutForm form;
        SetTBSystemSettings(&monitors);
        TMemoryStore store;
        SaveBarPositions(&form.Form, store.Writer());
        TPoint stored{pick(-3000, 3500), pick(-1500, 1500)};
        if (round == 0)
            stored = {200, -15}; // the caption band above the screen
        store.Values[{"Format", "DockedTo"}] = "+";
        store.Values[{"Format", "FloatLeft"}] = std::to_string(stored.X);
        store.Values[{"Format", "FloatTop"}] = std::to_string(stored.Y);
        LoadBarPositions(&form.Form, store.Reader());
        ASSERT_TRUE(form.Bars[1]->Floating());
        TRect frame = form.Bars[1]->FloatingFrame()->BoundsRect();
        SCOPED_TRACE("stored at " + std::to_string(stored.X) + "," + std::to_string(stored.Y));
        TRect storedFrame = Bounds(stored.X, stored.Y, frame.Width(), frame.Height());
        bool onOne = false, storedOnOne = false;
        for (const TTBMonitor& m : monitors.Monitors()) {
            TRect common;
            onOne |= IntersectRect(common, frame, m.WorkArea) && common == frame;
            storedOnOne |= IntersectRect(common, storedFrame, m.WorkArea) && common == storedFrame;
        }
        EXPECT_TRUE(onOne);
        // A frame that was wholly on a work area stays where it was.
        if (storedOnOne) {
            EXPECT_EQ(frame.TopLeft(), stored);
        }
        if (round == 0) {
            EXPECT_EQ(frame.TopLeft(), (TPoint{200, 30}));
        }
    }
}

TEST(BarPositions, AStoreThatCannotBeReadGivesTheFormsOwnLayout) {
    TStoreFolder folder;
    std::filesystem::create_directories(folder.Folder.Path() / "korvane-ondrill");
    for (int variant = 0; variant < 3; ++variant) {
        std::filesystem::path store = folder.Folder.Path() / "korvane-ondrill" / "hkcu.ini";
        std::filesystem::remove_all(store);
        if (variant == 0) {
            std::ofstream out(store, std::ios::binary);
            out << "[Software\\Prelune2k2\\Toolbars\\Standard]\nRev=sz:2000\nDockedTo=sz:Left\xff\x01\x00[[[\n==\n";
            out << std::string("\0\0\xfe", 3) << "[Software\\Prelune2k2\\Toolbars\\Format\nRev=dword:zz\n";
        } else if (variant == 1) {
            std::filesystem::create_directories(store); // a folder where the file should be
        } // else: a first start, no store at all
        TLayoutForm form;
        EXPECT_NO_THROW(LoadBarPositionsFromRegistry(&form.Form, HKEY_CURRENT_USER, kKey));
        for (TTBCustomDockableWindow* bar : form.Bars) {
            EXPECT_EQ(bar->CurrentDock(), form.Top);
            EXPECT_TRUE(bar->Visible());
        }
    }
}

TEST(BarPositions, AnUnnamedBarOrDockCannotBeSaved) {
    TLayoutForm form;
    TMemoryStore store;
    form.Top->SetName("");
    try {
        SaveBarPositions(&form.Form, store.Writer());
        FAIL();
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Cannot save dockable window's position because DockedTo's Name property not set");
    }
    // A dock that takes no drags is saved as no dock, name or not.
    form.Top->SetAllowDrag(false);
    SaveBarPositions(&form.Form, store.Writer());
    std::string dockedTo = store.Values[{"Standard", "DockedTo"}];
    EXPECT_EQ(dockedTo, "");
    form.Bars[0]->SetName("");
    EXPECT_THROW(SaveBarPositions(&form.Form, store.Writer()), Exception);
    EXPECT_THROW(LoadBarPositions(&form.Form, store.Reader()), Exception);
    // The docks are not left waiting.
    EXPECT_FALSE(form.Top->LayoutSuspended());
}

} // namespace
