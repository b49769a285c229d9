#pragma once
// The themed extras of items: TTBKEditItem, an item with an in-place text
// field measured and painted by the current theme, that reports every
// edit; TTBKMRUList, the recently used list whose entries are themed
// items; and TTBKMRUListItem, which shows a list's entries in its own place
// in a menu.

#include "toolbars/TBEditItem.h"
#include "toolbars/TBMRUList.h"
#include "toolbars/themes/TBKItems.h"
#include "toolbars/themes/TBKTheme.h"

#include <functional>
#include <string>

class TTBKEditItemViewer;

using TTBKEditChange = std::function<void(TTBCustomItem* sender, const std::string& text)>;

class TTBKEditItem : public TTBEditItem {
public:
    explicit TTBKEditItem(TComponent* owner = nullptr) : TTBEditItem(owner) {}
    std::string ClassName() const override { return "TTBKEditItem"; }

    // Shown for every character of the text (0: the text itself).
    char PasswordChar() const { return passwordChar_; }
    void SetPasswordChar(char value);
    bool ReadOnly = false;
    // Every edit of the live field, with the field's text.
    TTBKEditChange OnChange;
    TTBItemEvent OnSelectItem;

    virtual void DoChange(const std::string& text);
    TTBItemViewerClass ViewerClassFor(TTBView* view) override;
    TTBPopupWindowClass PopupWindowClass() override;
    void StartEditNotify(TTBEditItemViewer* viewer) override;

private:
    char passwordChar_ = 0;
};

class TTBKEditItemViewer : public TTBEditItemViewer {
public:
    using TTBEditItemViewer::TTBEditItemViewer;
    static TTBItemViewer* Make(TTBView* view, TTBCustomItem* item);
    TTBItemViewerClass ViewerClass() const override { return &Make; }

    void MeasureSize(TCanvas& canvas, int& width, int& height) override;
    void Paint(TCanvas& canvas, const TRect& clientArea, bool isSelected, bool isPushed,
               bool useDisabledShadow) override;
    TRect EditFieldRect() const override;

    // The field's text changed: the item's OnChange.
    virtual void HandleEditChange(const std::string& text);
    TTBKItemInfo GetItemInfo(bool isHoverItem, bool isPushed, bool useDisabledShadow);
    TTBKEditInfo GetEditInfo() const;
    virtual int GetLeftButtonWidth() const { return 0; }
    virtual int GetRightButtonWidth() const { return 0; }

    // The text as the field shows it (one password character per character).
    std::string ShownText() const;

private:
    int labelWidth(TCanvas& canvas) const;
};

// The recently used list whose menu entries are themed items.
class TTBKMRUList : public TTBMRUList {
public:
    explicit TTBKMRUList(TComponent* owner = nullptr) : TTBMRUList(owner) {}
    std::string ClassName() const override { return "TTBKMRUList"; }
    TTBCustomItem* CreateEntryItem(TComponent* owner) override;
};

// Shows the entries of a recently used list where it stands in a menu (an
// empty list shows nothing).  A list freed elsewhere is forgotten.
class TTBKMRUListItem : public TTBKCustomItem {
public:
    explicit TTBKMRUListItem(TComponent* owner = nullptr);
    ~TTBKMRUListItem() override;
    std::string ClassName() const override { return "TTBKMRUListItem"; }
    TTBMRUList* MRUList() const { return mruList_; }
    void SetMRUList(TTBMRUList* list);

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    TTBMRUList* mruList_ = nullptr;
};
