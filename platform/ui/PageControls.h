#pragma once
// Tabs: the tab control (a row of tabs over an area the program fills
// itself) and the page control (one tab per page, each page a control
// holding its own controls).
//
// When the user picks a tab, OnChanging is asked first (it may refuse:
// the tab stays) and OnChange runs once the new tab is current.  Changes
// made in code run neither.  The control's client area is the area under
// the tabs: children (and the pages) are placed in it.

#include "platform/base/Strings.h"
#include "platform/ui/StandardControl.h"

#include <functional>
#include <string>
#include <vector>

class TImageList;

enum TTabPosition { tpTop, tpBottom, tpLeft, tpRight };

class TCustomTabControl : public TStandardControl {
public:
    using TChangingEvent = std::function<void(TPersistent* sender, bool& allowChange)>;
    using TTabImageEvent = std::function<void(TPersistent* sender, int tabIndex, int& imageIndex)>;

    explicit TCustomTabControl(TComponent* owner = nullptr);
    std::string ClassName() const override { return "TCustomTabControl"; }

    // --- for the window: the tabs to show -----------------------------
    virtual int TabCount() const = 0;
    virtual std::string TabCaption(int index) const = 0;
    virtual int TabImage(int index);
    virtual std::string TabHint(int index) const { return {}; }
    // The current tab (-1: none).
    virtual int CurrentTab() const = 0;

    TTabPosition TabPosition() const { return tabPosition_; }
    void SetTabPosition(TTabPosition value);
    // Several rows of tabs where one does not hold them (the window may
    // scroll a single row instead).
    bool MultiLine() const { return multiLine_; }
    void SetMultiLine(bool value);
    bool HotTrack() const { return hotTrack_; }
    void SetHotTrack(bool value);
    TImageList* Images() const { return images_; }
    void SetImages(TImageList* images);

    // The area under the tabs, in client coordinates of the whole control
    // (the client area itself is that area).
    TRect DisplayRect() const;

    TChangingEvent OnChanging;
    TNotifyEvent OnChange;
    TTabImageEvent OnGetImageIndex;

    // Tabs changed (captions, pictures, which exist): the window takes
    // them again.
    void TabsChanged();

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void Dispatch(TMessage& message) override;
    void Notification(TComponent* component, TOperation operation) override;
    // Asked before the user's change: OnChanging.
    virtual bool CanChange();
    virtual void Change();
    // The user made tab index current.
    virtual void TabSelected(int index) = 0;

private:
    TTabPosition tabPosition_ = tpTop;
    bool multiLine_ = false;
    bool hotTrack_ = false;
    TImageList* images_ = nullptr;
};

// A tab control: its tabs are a string list.
class TTabControl : public TCustomTabControl {
public:
    explicit TTabControl(TComponent* owner = nullptr);
    ~TTabControl() override;
    std::string ClassName() const override { return "TTabControl"; }

    TStrings& Tabs() { return *tabs_; }
    void SetTabs(const TStrings& tabs) { tabs_->Assign(&tabs); }
    int TabIndex() const { return tabIndex_; }
    // -1 for none; out of range selects none.
    void SetTabIndex(int index);

    int TabCount() const override { return tabs_->Count(); }
    std::string TabCaption(int index) const override { return tabs_->Strings(index); }
    int CurrentTab() const override { return tabIndex_; }

protected:
    void TabSelected(int index) override;

private:
    std::unique_ptr<TStringList> tabs_;
    int tabIndex_ = -1;
};

class TPageControl;

// A page of a page control: its caption is the tab's text.
class TTabSheet : public TCustomControl {
public:
    explicit TTabSheet(TComponent* owner = nullptr);
    ~TTabSheet() override;
    std::string ClassName() const override { return "TTabSheet"; }

    TPageControl* PageControl() const;
    // Puts the sheet into a page control (its last page), or out of one.
    void SetPageControl(TPageControl* control);
    // The sheet's place among the control's pages.
    int PageIndex() const;
    void SetPageIndex(int index);
    // The place of its tab among the shown tabs (-1: no tab).
    int TabIndex() const;
    bool TabVisible() const { return tabVisible_; }
    void SetTabVisible(bool value);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int value);

    // Put into a page control in any way, the sheet is one of its pages.
    void SetParent(TWinControl* parent) override;

protected:
    void Dispatch(TMessage& message) override;

private:
    bool tabVisible_ = true;
    int imageIndex_ = -1;
};

class TPageControl : public TCustomTabControl {
public:
    explicit TPageControl(TComponent* owner = nullptr);
    ~TPageControl() override;
    std::string ClassName() const override { return "TPageControl"; }

    int PageCount() const { return static_cast<int>(pages_.size()); }
    // EListError out of range.
    TTabSheet* Pages(int index) const;
    TTabSheet* ActivePage() const { return activePage_; }
    // Shows the page (hiding the one before); a page of another control
    // is refused.
    void SetActivePage(TTabSheet* page);
    int ActivePageIndex() const;
    void SetActivePageIndex(int index);
    // The page after (or before) current among those with a tab.
    TTabSheet* FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) const;
    // Moves to the next page as the user would: OnChanging, then OnChange.
    void SelectNextPage(bool goForward);

    int TabCount() const override;
    std::string TabCaption(int index) const override;
    int TabImage(int index) override;
    std::string TabHint(int index) const override;
    int CurrentTab() const override { return activePage_ != nullptr ? activePage_->TabIndex() : -1; }
    // The page of a tab (nullptr out of range).
    TTabSheet* PageOfTab(int tabIndex) const;

    // Once read or built, the active page is the one shown, whatever the
    // pages' own Visible said.
    void Loaded() override;

protected:
    void AlignControls(TRect& rect) override;
    void TabSelected(int index) override;

private:
    friend class TTabSheet;
    void insertPage(TTabSheet* page);
    void removePage(TTabSheet* page);
    void movePage(TTabSheet* page, int index);
    void showPages();

    std::vector<TTabSheet*> pages_;
    TTabSheet* activePage_ = nullptr;
};

namespace wk {
inline constexpr std::string_view TabControl = "TabControl";
} // namespace wk
