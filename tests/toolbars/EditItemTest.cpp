// The edit item: editing in a menu with a scripted field (Escape, Enter,
// Tab, a click elsewhere, a refusing accept handler), its letter case, its
// viewer class in vertical bars, its size and its painted field.

#include "tests/toolbars/ToolbarTestSupport.h"
#include "toolbars/TBEditItem.h"
#include "toolbars/TBPopupWindow.h"

#include "platform/gfx/Bitmap.h"

#include <gtest/gtest.h>

namespace {

// A field that types what the keys type: the text is replaced while it is
// all selected, then added to.
class TScriptedField : public TTBEditField {
public:
    TScriptedField(TWinControl* parent, TScriptedField*& alive) : alive_(alive) {
        control_.SetParent(parent);
        control_.SetTabStop(true);
        alive_ = this;
    }
    ~TScriptedField() override { alive_ = nullptr; }
    TWinControl* Control() override { return &control_; }
    void SetText(const std::string& text) override { text_ = text; }
    std::string Text() const override { return text_; }
    void SetCharCase(TTBEditCharCase) override {}
    void SetMaxLength(int) override {}
    void SelectAll() override { selected_ = true; }
    void Type(const std::string& text) {
        if (selected_)
            text_.clear();
        selected_ = false;
        text_ += text;
    }

private:
    TScriptedField*& alive_;
    TWinControl control_;
    std::string text_;
    bool selected_ = false;
};

struct TEditFixture : TLoopFixture {
    TTestBar Bar{100, 50};
    TTBCustomItem* Tools;
    TTBEditItem* Find;
    TTBCustomItem* Next;
    TScriptedField* Field = nullptr;
    int FieldsMade = 0;

    TEditFixture() {
        Tools = AddSubmenu(Bar.Items, "&Tools", {});
        Find = new TTBEditItem;
        Find->SetEditCaption("Find:");
        Find->SetText("old");
        Tools->Add(Find);
        Next = new TTBCustomItem;
        Next->SetCaption("&Next");
        Tools->Add(Next);
        SetTBEditFieldFactory([this](TWinControl* parent) {
            auto field = std::make_unique<TScriptedField>(parent, Field);
            ++FieldsMade;
            return field;
        });
        Driver.Deliver = [this](const TTBInputEvent& event) {
            if (Field != nullptr && event.Target == Field->Control() && event.Kind == tbikKeyDown)
                Field->Type(event.Text);
        };
        Driver.TargetAt = [this](TPoint p) -> TWinControl* {
            if (Field != nullptr) {
                TWinControl* control = Field->Control();
                TPoint at = control->Parent()->ScreenToClient(p);
                if (control->BoundsRect().Contains(at))
                    return control;
            }
            return TBWindowAtPoint(p);
        };
    }
    ~TEditFixture() { SetTBEditFieldFactory({}); }
    TTBView* Popup() { return OpenedView(Bar.View.get()); }
    // Opens Tools with the field selected and starts editing with Enter.
    void StartEditing() {
        Bar.View->Select(Bar.ViewerOf(Tools));
        Driver.Key(VK_RETURN);
    }
    void Type(const std::string& text) {
        for (char c : text)
            Driver.Key(static_cast<uint16_t>(std::toupper(static_cast<unsigned char>(c))), std::string(1, c));
    }
    void Run() { TrackMenu(Bar.View.get(), tbtmMenuMode | tbtmSelectFirst); }
};

TEST(EditItem, EscapeKeepsTheTextAndTheMenu) {
    TEditFixture f;
    f.StartEditing();
    f.Type("new");
    f.Driver.Key(VK_ESCAPE);
    f.Driver.Do([&] {
        EXPECT_EQ(f.Find->Text(), "old");
        EXPECT_EQ(TBPopupWindowCount(), 1);
        EXPECT_EQ(f.Popup()->Selected()->Item(), f.Find);
    });
    f.Driver.Key(VK_ESCAPE);
    f.Driver.Key(VK_ESCAPE);
    f.Run();
    EXPECT_FALSE(f.Driver.RanOut);
    EXPECT_EQ(f.FieldsMade, 1);
    EXPECT_EQ(f.Find->Text(), "old");
    EXPECT_EQ(TBPopupWindowCount(), 0);
}

TEST(EditItem, EnterAcceptsAndClosesTheMenu) {
    TEditFixture f;
    f.StartEditing();
    f.Type("needle");
    f.Driver.Key(VK_RETURN);
    f.Run();
    EXPECT_FALSE(f.Driver.RanOut);
    EXPECT_EQ(f.Find->Text(), "needle");
    EXPECT_EQ(TBPopupWindowCount(), 0);
    EXPECT_EQ(GetCaptureControl(), nullptr);
}

TEST(EditItem, TabAcceptsAndMovesToTheNextItem) {
    TEditFixture f;
    f.StartEditing();
    f.Type("x");
    f.Driver.Key(VK_TAB);
    f.Driver.Do([&] {
        EXPECT_EQ(f.Find->Text(), "x");
        EXPECT_EQ(f.Popup()->Selected()->Item(), f.Next);
    });
    f.Driver.Key(VK_RETURN);
    int nextClicks = 0;
    f.Next->OnClick = [&](TTBCustomItem*) { ++nextClicks; };
    f.Run();
    ProcessMessages();
    EXPECT_EQ(nextClicks, 1);
}

TEST(EditItem, AClickElsewhereDropsTheTypedText) {
    TEditFixture f;
    f.StartEditing();
    f.Type("lost");
    // A press in the field itself goes to the field.
    f.Driver.Press([&] {
        TRect r = f.Field->Control()->BoundsRect();
        return f.Field->Control()->Parent()->ClientToScreen({r.Left + 2, r.Top + 2});
    });
    f.Driver.Do([&] { EXPECT_NE(f.Field, nullptr); });
    f.Driver.Press(At({1500, 1000}));
    f.Driver.Do([&] {
        EXPECT_EQ(f.Field, nullptr);
        EXPECT_EQ(f.Find->Text(), "old");
    });
    f.Driver.Key(VK_ESCAPE);
    f.Driver.Key(VK_ESCAPE);
    f.Run();
    EXPECT_EQ(f.Find->Text(), "old");
    ASSERT_EQ(f.Driver.NotTaken.size(), 1u);
}

TEST(EditItem, AnAcceptHandlerMayChangeOrRefuseTheText) {
    TEditFixture f;
    f.Find->OnAcceptText = [](TTBEditItemViewer*, std::string& text, bool& accept) {
        if (text == "no")
            accept = false;
        else
            text = "[" + text + "]";
    };
    f.StartEditing();
    f.Type("no");
    f.Driver.Key(VK_RETURN);
    f.Run();
    EXPECT_EQ(f.Find->Text(), "old");
    f.StartEditing();
    f.Type("yes");
    f.Driver.Key(VK_RETURN);
    f.Run();
    EXPECT_EQ(f.Find->Text(), "[yes]");

    f.Find->SetCharCase(ecUpperCase);
    EXPECT_EQ(f.Find->Text(), "[YES]");
    f.Find->SetText("abc");
    EXPECT_EQ(f.Find->Text(), "ABC");
}

TEST(EditItem, AVerticalBarShowsAButtonUnlessAskedForAField) {
    TTBEditItem item;
    TTBRootItem root;
    TTBView horizontal(nullptr, nullptr, &root, nullptr, true, false, false);
    TTBView vertical(nullptr, nullptr, &root, nullptr, true, false, false);
    vertical.Orientation = tbvoVertical;
    EXPECT_EQ(item.ViewerClassFor(&horizontal), &TTBEditItemViewer::Make);
    EXPECT_EQ(item.ViewerClassFor(&vertical), &TTBItemViewer::Make);
    item.SetEditOptions(tboUseEditWhenVertical);
    EXPECT_EQ(item.ViewerClassFor(&vertical), &TTBEditItemViewer::Make);
}

TEST(EditItem, AFieldInAMenuMeasuresAndPaintsItsCaptionAndFrame) {
    TTestSettings settings;
    SetTBSystemSettings(&settings);
    TTBCustomItem menu;
    auto* find = new TTBEditItem;
    find->SetEditCaption("Find:");
    find->SetText("abc");
    menu.Add(find);
    std::unique_ptr<TTBPopupWindow> popup(menu.OpenPopupWindow(nullptr, nullptr, false, false, false, {0, 0}, 0));
    TTBView* view = popup->View();
    TRect bounds = view->ViewerOf(find)->BoundsRect;
    // 64 wide plus the caption and 10; a text line and a quarter, at least
    // the text and 7.
    EXPECT_EQ(bounds, Rect(0, 0, 64 + 5 * 8 + 10, 16 + 7));
    auto* viewer = static_cast<TTBEditItemViewer*>(view->ViewerOf(find));
    EXPECT_EQ(viewer->EditFieldRect(), Rect(5 * 8 + 10, 0, bounds.Right, bounds.Bottom));

    TBitmap image(bounds.Width(), bounds.Height());
    image.Canvas().FillRect(bounds, clMenu);
    image.Canvas().Brush().SetColor(clBtnFace); // as a window's painting leaves it
    view->DrawViewers(image.Canvas());
    image.Canvas().Release();
    int fieldLeft = 5 * 8 + 6 + 4; // the caption strip and the gap
    TColor inside = image.Canvas().Pixel(bounds.Right - 4, bounds.Bottom - 4);
    EXPECT_EQ(inside, GetSysColor(COLOR_WINDOW));
    // The text lies on the field's own white, nowhere on grey.
    int grey = 0;
    for (int y = 3; y < bounds.Bottom - 3; ++y)
        for (int x = fieldLeft + 3; x < bounds.Right - 3; ++x)
            grey += image.Canvas().Pixel(x, y) == GetSysColor(COLOR_BTNFACE);
    EXPECT_LT(grey, 4); // a smoothed letter edge may hit the grey exactly
    EXPECT_EQ(image.Canvas().Pixel(fieldLeft, 5), GetSysColor(COLOR_BTNFACE)); // the frame

    find->SetEnabled(false);
    view->DrawViewers(image.Canvas());
    image.Canvas().Release();
    EXPECT_EQ(image.Canvas().Pixel(bounds.Right - 4, bounds.Bottom - 4), GetSysColor(COLOR_BTNFACE));
    popup.reset();
    SetTBSystemSettings(nullptr);
}

} // namespace
