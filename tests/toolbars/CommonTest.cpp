// The framework's shared pieces: hooks counted per client, the settings
// read from the registry store, the image list that draws by state, access
// keys in captions and turned captions.

#include "tests/platform/base/TempFolder.h"
#include "tests/toolbars/ToolbarTestSupport.h"
#include "toolbars/TBCommon.h"
#include "toolbars/TBDrawText.h"
#include "toolbars/TBHooks.h"
#include "toolbars/TBImageList.h"

#include "platform/base/Registry.h"
#include "platform/gfx/Bitmap.h"
#include "platform/ui/TextControls.h"
#include "platform/ui/WindowNotices.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <random>

namespace {

std::vector<std::string> hookCalls;
void firstClient(TTBHookPoint point, TWinControl*, WPARAM, LPARAM) { hookCalls.push_back("first " + std::to_string(point)); }
void secondClient(TTBHookPoint point, TWinControl*, WPARAM, LPARAM) {
    hookCalls.push_back("second " + std::to_string(point));
}
void leavingClient(TTBHookPoint point, TWinControl*, WPARAM, LPARAM) {
    hookCalls.push_back("leaving");
    UnsubscribeHooks(&secondClient);
}

TEST(Hooks, KindsStayInstalledWhileAnyClientNeedsThem) {
    std::vector<std::pair<TTBHookKind, bool>> installs;
    SetHookInstaller([&](TTBHookKind kind, bool install) { installs.push_back({kind, install}); });
    // Two clients of the same kind share one hook.
    SubscribeHooks(&firstClient, (1u << hpSendActivateApp));
    SubscribeHooks(&secondClient, (1u << hpSendWindowPosChanged) | (1u << hpPreDestroy));
    EXPECT_EQ(installs, (std::vector<std::pair<TTBHookKind, bool>>{{hkCallWndProc, true}, {hkCBT, true}}));
    // A client counted twice, and gone once: nothing changes.
    SubscribeHooks(&firstClient, (1u << hpSendActivateApp));
    UnsubscribeHooks(&firstClient);
    UnsubscribeHooks(&firstClient);
    EXPECT_TRUE(HookKindInstalled(hkCallWndProc));
    // An unsubscribe of a client that is not there takes nothing away.
    UnsubscribeHooks(&firstClient);
    EXPECT_TRUE(HookKindInstalled(hkCallWndProc));

    SubscribeHooks(&firstClient, (1u << hpSendWindowPosChanged));
    hookCalls.clear();
    CallHookClients(hpSendWindowPosChanged, nullptr, 0, 0);
    CallHookClients(hpGetMessage, nullptr, 0, 0); // nobody asked for it
    EXPECT_EQ(hookCalls, (std::vector<std::string>{"second 1", "first 1"}));

    // A client that drops another while called: that one is not called.
    SubscribeHooks(&leavingClient, (1u << hpPreDestroy));
    UnsubscribeHooks(&secondClient);
    SubscribeHooks(&secondClient, (1u << hpPreDestroy));
    hookCalls.clear();
    CallHookClients(hpPreDestroy, nullptr, 0, 0);
    EXPECT_EQ(hookCalls, std::vector<std::string>{"leaving"});

    UnsubscribeHooks(&leavingClient);
    UnsubscribeHooks(&firstClient);
    EXPECT_FALSE(HookKindInstalled(hkCallWndProc));
    EXPECT_FALSE(HookKindInstalled(hkCBT));
    ASSERT_GE(installs.size(), 4u);
    EXPECT_EQ(installs[installs.size() - 2], std::make_pair(hkCBT, false));
    EXPECT_EQ(installs.back(), std::make_pair(hkCallWndProc, false));
    SetHookInstaller({});
}

TEST(Settings, TheShowDelayAndTheSoundsComeFromTheRegistryStore) {
    TTempFolder folder;
    std::optional<std::string> old;
    if (const char* value = std::getenv("XDG_CONFIG_HOME"))
        old = value;
    ::setenv("XDG_CONFIG_HOME", folder.Path().c_str(), 1);
    auto delayWith = [](const char* value) {
        if (value != nullptr) {
            TRegistry registry;
            registry.OpenKey("Control Panel\\Desktop", true);
            registry.WriteString("MenuShowDelay", value);
        }
        TTBSystemSettings settings; // reads once, on first use
        return settings.MenuShowDelay();
    };
    EXPECT_EQ(delayWith(nullptr), 400);
    EXPECT_EQ(delayWith("250"), 250);
    EXPECT_EQ(delayWith("slow"), 0);
    EXPECT_EQ(delayWith("-20"), 0);

    TTBSystemSettings settings;
    EXPECT_FALSE(settings.SoundAssigned("MenuPopup"));
    {
        TRegistry registry;
        registry.OpenKey("AppEvents\\Schemes\\Apps\\.Default\\MenuPopup\\.Current", true);
        registry.WriteString("", "");
        registry.OpenKey("\\AppEvents\\Schemes\\Apps\\.Default\\MenuCommand\\.Current", true);
        registry.WriteString("", "click.wav");
    }
    EXPECT_FALSE(settings.SoundAssigned("MenuPopup"));
    EXPECT_TRUE(settings.SoundAssigned("MenuCommand"));
    if (old)
        ::setenv("XDG_CONFIG_HOME", old->c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
}

// One 16 x 16 image of a single colour.
TBitmap& solid(TColor color) {
    static std::vector<std::unique_ptr<TBitmap>> bitmaps;
    bitmaps.push_back(std::make_unique<TBitmap>(16, 16));
    bitmaps.back()->Canvas().FillRect(Rect(0, 0, 16, 16), color);
    bitmaps.back()->Canvas().Release();
    return *bitmaps.back();
}

// The kinds of change an item's subscriber hears of.
struct TKindRecorder : TTBItemSubscriber {
    std::vector<TTBChangeKind> Kinds;
    void ItemNotification(TTBCustomItem*, bool, TTBChangeKind kind, TTBCustomItem*, int) override {
        Kinds.push_back(kind);
    }
};

// An item showing a list's images, under a parent whose subscriber
// records what it hears.
struct TItemShowing {
    TTBCustomItem Parent, Item;
    TKindRecorder Recorder;
    explicit TItemShowing(TImageList& list) {
        Parent.Add(&Item);
        Item.SetImages(&list);
        Parent.Subscribe(&Recorder);
    }
    ~TItemShowing() {
        Parent.Unsubscribe(&Recorder);
        Parent.Remove(&Item);
    }
};

TEST(Settings, AnimationFadingShadowsAndTranslucencyAreWhatTheDesktopSays) {
    // Every combination the desktop may report: menus fade only where they
    // animate at all; shadows and translucent windows come with compositing,
    // soft shadows with a visual with alpha besides, asked every time.
    TTBSystemSettings kept;
    for (int bits = 0; bits < 16; ++bits) {
        TDesktopEffects effects;
        effects.MenuAnimation = (bits & 1) != 0;
        effects.MenuFade = (bits & 2) != 0;
        effects.Compositing = (bits & 4) != 0;
        effects.ArgbVisual = (bits & 8) != 0;
        SetDesktopEffectsReader([=] { return effects; });
        TTBSystemSettings settings;
        EXPECT_EQ(settings.MenuAnimation(), effects.MenuAnimation) << bits;
        EXPECT_EQ(settings.MenuFade(), effects.MenuAnimation && effects.MenuFade) << bits;
        EXPECT_EQ(settings.DropShadows(), effects.Compositing) << bits;
        EXPECT_EQ(settings.TranslucentWindows(), effects.Compositing) << bits;
        EXPECT_EQ(kept.LayeredWindows(), effects.Compositing && effects.ArgbVisual) << bits;
    }
    // A service reads the desktop once, and again after the platform says
    // the desktop's effects changed (a compositing manager came or went).
    TDesktopEffects now;
    SetDesktopEffectsReader([&] { return now; });
    TTBSystemSettings reading;
    EXPECT_FALSE(reading.TranslucentWindows());
    now.Compositing = now.MenuAnimation = now.MenuFade = true;
    EXPECT_FALSE(reading.MenuFade());
    NotifyWindowNotice(wnDesktopEffectsChanged, nullptr);
    EXPECT_TRUE(reading.MenuFade());
    EXPECT_TRUE(reading.TranslucentWindows());
    SetDesktopEffectsReader(nullptr);
    TTBSystemSettings settings;
    EXPECT_FALSE(settings.MenuAnimation());
    EXPECT_TRUE(settings.DropShadows());
    EXPECT_FALSE(settings.TranslucentWindows());
    EXPECT_FALSE(settings.LayeredWindows());
}

TEST(ImageList, StateImagesAreChosenDisabledFirstThenCheckedThenHot) {
    TTBCustomImageList own(16, 16), disabled(16, 16), checked(16, 16), hot(16, 16);
    own.Add(solid(clRed), nullptr);
    disabled.Add(solid(clGray), nullptr);
    checked.Add(solid(clBlue), nullptr);
    hot.Add(solid(clYellow), nullptr);
    own.SetDisabledStateImages(&disabled);
    own.SetCheckedStateImages(&checked);
    own.SetHotStateImages(&hot);
    own.SetHotStateImages(&own); // itself: none
    EXPECT_EQ(own.HotStateImages(), nullptr);
    own.SetHotStateImages(&hot);
    auto drawn = [&](bool enabled, bool selected, bool isChecked) {
        TBitmap target(16, 16);
        own.DrawState(target.Canvas(), 0, 0, 0, enabled, selected, isChecked);
        target.Canvas().Release();
        return target.Canvas().Pixel(8, 8);
    };
    EXPECT_EQ(drawn(false, true, true), clGray);
    EXPECT_EQ(drawn(true, true, true), clBlue);
    EXPECT_EQ(drawn(true, true, false), clYellow);
    EXPECT_EQ(drawn(true, false, false), clRed);

    // A freed companion is forgotten.
    {
        TTBCustomImageList gone(16, 16);
        own.SetCheckedStateImages(&gone);
    }
    EXPECT_EQ(own.CheckedStateImages(), nullptr);
    EXPECT_EQ(drawn(true, false, true), clRed);
}

TEST(ImageList, ASourceBitmapReplacesEveryImageAndItemsFollowTheirList) {
    TTBCustomImageList list(16, 16);
    list.Add(solid(clRed), nullptr);
    TBitmap strip(48, 16);
    strip.Canvas().FillRect(Rect(0, 0, 16, 16), clBlue);
    strip.Canvas().FillRect(Rect(16, 0, 32, 16), 0xFF00FF); // transparent
    strip.Canvas().FillRect(Rect(32, 0, 48, 16), clLime);
    strip.Canvas().Release();
    list.SetSourceBitmap(strip);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_FALSE(list.StoresImageData());
    TBitmap empty;
    list.SetSourceBitmap(empty);
    EXPECT_EQ(list.Count(), 3);

    // An item repaints on a change of its images, and measures again when
    // their size changes.
    TItemShowing item(list);
    list.Add(solid(clRed), nullptr);
    list.SetSize(24, 24);
    EXPECT_EQ(item.Recorder.Kinds, (std::vector<TTBChangeKind>{ckInvalidate, ckRecalcSize}));
}

// Every change of a plain image list reaches each link watching it once,
// whichever way it is made, in the order the links came, also while a
// link drops another in the middle of being told (the dropped one hears
// nothing more); a freed list leaves its links watching nothing.
TEST(ImageList, EveryChangeOfAPlainListReachesEachLinkOnce) {
    std::mt19937 random(4711);
    auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    auto list = std::make_unique<TImageList>(16, 16);
    constexpr int kLinks = 5;
    std::vector<std::unique_ptr<TChangeLink>> links(kLinks);
    std::vector<int> heard;    // who was told, in order, this step
    std::vector<int> attached; // the model: links in the order they came
    int dropper = -1, dropped = -1;
    for (int i = 0; i < kLinks; ++i) {
        links[static_cast<size_t>(i)] = std::make_unique<TChangeLink>([&, i](TChangeLink& link) {
            EXPECT_EQ(link.Images(), list.get());
            heard.push_back(i);
            if (i == dropper)
                links[static_cast<size_t>(dropped)]->SetImages(nullptr);
        });
        links[static_cast<size_t>(i)]->SetImages(list.get());
        attached.push_back(i);
    }
    for (int step = 0; step < 400; ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        dropper = dropped = -1;
        if (pick(0, 4) == 0) {
            dropper = pick(0, kLinks - 1);
            dropped = pick(0, kLinks - 1);
        }
        heard.clear();
        bool changes = true;
        switch (pick(0, 6)) {
        // A picture smaller than the list's images adds nothing.
        case 0: changes = list->Add(solid(clRed), nullptr) >= 0; break;
        case 1: changes = list->AddMasked(solid(clBlue), clBlue) >= 0; break;
        case 2: list->Clear(); break;
        case 3:
            changes = list->Count() > 0;
            if (changes)
                list->Delete(pick(0, list->Count() - 1));
            break;
        case 4: {
            int size = pick(15, 17);
            changes = size != list->Width();
            list->SetSize(size, size);
            break;
        }
        case 5: changes = list->Overlay(pick(0, 3), pick(0, 2)); break;
        default: {
            // A link goes, or comes back at the end of the order.
            int i = pick(0, kLinks - 1);
            auto at = std::find(attached.begin(), attached.end(), i);
            links[static_cast<size_t>(i)]->SetImages(at != attached.end() ? nullptr : list.get());
            if (at != attached.end())
                attached.erase(at);
            else
                attached.push_back(i);
            changes = false;
            dropper = -1;
        }
        }
        std::vector<int> expected;
        if (changes) {
            std::vector<int> remaining = attached;
            for (size_t k = 0; k < remaining.size(); ++k) {
                int i = remaining[k];
                if (std::find(attached.begin(), attached.end(), i) == attached.end())
                    continue;
                expected.push_back(i);
                if (i == dropper)
                    std::erase(attached, dropped);
            }
        }
        ASSERT_EQ(heard, expected);
        // The dropped link comes back for the next step.
        if (changes && dropper >= 0 && links[static_cast<size_t>(dropped)]->Images() == nullptr &&
            std::find(attached.begin(), attached.end(), dropped) == attached.end()) {
            links[static_cast<size_t>(dropped)]->SetImages(list.get());
            attached.push_back(dropped);
        }
        ASSERT_EQ(list->LinkCount(), static_cast<int>(attached.size()));
    }
    list.reset();
    for (const auto& link : links)
        EXPECT_EQ(link->Images(), nullptr);
}

TEST(ImageList, AnItemFollowsThePlatformsPlainImageList) {
    TImageList list(16, 16);
    TItemShowing item(list);
    list.Add(solid(clRed), nullptr);
    list.SetSize(24, 24);
    list.Clear();
    EXPECT_EQ(item.Recorder.Kinds, (std::vector<TTBChangeKind>{ckInvalidate, ckRecalcSize, ckInvalidate}));
}

TEST(Captions, AccessKeysAndTurnedText) {
    EXPECT_EQ(AccessKeyOf("&File"), 'F');
    EXPECT_EQ(AccessKeyOf("Save &As"), 'A');
    EXPECT_EQ(AccessKeyOf("Fish && Chips"), 0);
    EXPECT_EQ(AccessKeyOf("a&&b&c&"), 'c');
    EXPECT_EQ(StripAccessKeys("Fish && &Chips&"), "Fish & Chips");
    // Labels, buttons and menus read captions alike: the last marked
    // character is the key, a lone "&" at the end shows nothing.
    for (const char* caption : {"&Save &As", "Save&", "&&Co", "A&&&B"}) {
        TAccessKeyText parsed = ParseAccessKey(caption);
        EXPECT_EQ(parsed.Text, DisplayCaption(caption)) << caption;
        EXPECT_EQ(parsed.Key >= 0 ? parsed.Text[static_cast<size_t>(parsed.Key)] : 0, AccessKeyOf(caption)) << caption;
    }
    EXPECT_EQ(ParseAccessKey("&Save &As").Key, 5);
    EXPECT_EQ(ParseAccessKey("A&&&B").Text, "A&B");
    EXPECT_EQ(EscapeAccessKeys("R&D.htm"), "R&&D.htm");
    EXPECT_EQ(DivideAwayFromZero(7, 3), 3);
    EXPECT_EQ(DivideAwayFromZero(-7, 3), -3);
    EXPECT_EQ(DivideAwayFromZero(6, 3), 2);

    // A turned caption runs down the rectangle: its ink is taller than wide,
    // and the key's underline is a vertical line beside its letter.
    TBitmap image(40, 120);
    TCanvas& canvas = image.Canvas();
    canvas.FillRect(Rect(0, 0, 40, 120), clWhite);
    canvas.Font().SetColor(clBlack);
    canvas.SetBkMode(TRANSPARENT);
    TBDrawRotatedText(canvas, "&Tools", Rect(0, 0, 40, 120), 0);
    canvas.Release();
    TRect ink{40, 120, 0, 0};
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 40; ++x)
            if (canvas.Pixel(x, y) == clBlack) {
                ink.Left = std::min(ink.Left, x);
                ink.Top = std::min(ink.Top, y);
                ink.Right = std::max(ink.Right, x + 1);
                ink.Bottom = std::max(ink.Bottom, y + 1);
            }
    EXPECT_GT(ink.Height(), 2 * ink.Width());
    EXPECT_LE(ink.Height(), 5 * 8);
    EXPECT_LE(ink.Width(), 16);
}

} // namespace
