#include "platform/ui/PageControls.h"

#include "platform/base/Exceptions.h"
#include "platform/gfx/ImageList.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// TCustomTabControl

TCustomTabControl::TCustomTabControl(TComponent* owner) : TStandardControl(owner) {
    ControlStyle |= csAcceptsControls;
    SetBounds(0, 0, 289, 193);
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clBtnFace);
}

void TCustomTabControl::CreateParams(TCreateParams& params) {
    TStandardControl::CreateParams(params);
    params.Kind = std::string(wk::TabControl);
}

int TCustomTabControl::TabImage(int index) {
    int image = index;
    if (OnGetImageIndex)
        OnGetImageIndex(this, index, image);
    return image;
}

void TCustomTabControl::SetTabPosition(TTabPosition value) {
    if (value == tabPosition_)
        return;
    tabPosition_ = value;
    PeerChanged(paOptions);
    Realign();
}

void TCustomTabControl::SetMultiLine(bool value) {
    if (value == multiLine_)
        return;
    multiLine_ = value;
    PeerChanged(paOptions);
    Realign();
}

void TCustomTabControl::SetHotTrack(bool value) {
    if (value == hotTrack_)
        return;
    hotTrack_ = value;
    PeerChanged(paOptions);
}

void TCustomTabControl::SetImages(TImageList* images) {
    if (SetComponentReference(*this, images_, images))
        TabsChanged();
}

void TCustomTabControl::Notification(TComponent* component, TOperation operation) {
    TStandardControl::Notification(component, operation);
    if (operation == opRemove && component == images_) {
        images_ = nullptr;
        TabsChanged();
    }
}

// The tabs' room may change with them: the area under them is laid out
// again.
void TCustomTabControl::TabsChanged() {
    PeerChanged(paItemsReset);
    Realign();
}

void TCustomTabControl::CreateWnd() {
    TStandardControl::CreateWnd();
    Realign();
}

TRect TCustomTabControl::DisplayRect() const {
    if (Peer() == nullptr || Parent() == nullptr)
        return ClientRect();
    TPoint client = ClientToScreen({0, 0});
    TPoint corner = Parent()->ClientToScreen({Left(), Top()});
    return Bounds(client.X - corner.X, client.Y - corner.Y, ClientWidth(), ClientHeight());
}

bool TCustomTabControl::CanChange() { return AskEvent(OnChanging, this); }

void TCustomTabControl::Change() { FireEvent(OnChange, this); }

void TCustomTabControl::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case WM_SIZE:
        // The area under the tabs changed (the window laid its tabs out).
        Realign();
        TStandardControl::Dispatch(message);
        return;
    case CN_NOTIFY:
        message.Result = 0;
        switch (static_cast<int>(message.WParam)) {
        case TCN_SELCHANGING:
            message.Result = CanChange() ? 0 : 1;
            return;
        case TCN_SELCHANGE:
            TabSelected(static_cast<int>(message.LParam));
            PeerChanged(paItemIndex);
            Change();
            return;
        default:
            return;
        }
    case CM_FONTCHANGED:
        TStandardControl::Dispatch(message);
        Realign();
        return;
    default:
        TStandardControl::Dispatch(message);
    }
}

// ---------------------------------------------------------------------------
// TTabControl

TTabControl::TTabControl(TComponent* owner) : TCustomTabControl(owner), tabs_(std::make_unique<TStringList>()) {
    tabs_->OnChange = [this](TStringList&) {
        if (tabIndex_ >= tabs_->Count())
            tabIndex_ = tabs_->Count() - 1;
        if (tabIndex_ < 0 && tabs_->Count() > 0)
            tabIndex_ = 0;
        TabsChanged();
    };
}

TTabControl::~TTabControl() {
    Destroying();
    tabs_->OnChange = nullptr;
}

void TTabControl::SetTabIndex(int index) {
    if (index < -1 || index >= tabs_->Count())
        index = -1;
    if (index == tabIndex_)
        return;
    tabIndex_ = index;
    PeerChanged(paItemIndex);
}

void TTabControl::TabSelected(int index) { tabIndex_ = index >= 0 && index < tabs_->Count() ? index : -1; }

// ---------------------------------------------------------------------------
// TTabSheet

TTabSheet::TTabSheet(TComponent* owner) : TCustomControl(owner) {
    ControlStyle |= csAcceptsControls;
    // A sheet shows only while it is the active page.
    SetVisible(false);
}

TTabSheet::~TTabSheet() {
    Destroying();
    if (TPageControl* control = PageControl())
        control->removePage(this);
}

TPageControl* TTabSheet::PageControl() const { return dynamic_cast<TPageControl*>(Parent()); }

void TTabSheet::SetPageControl(TPageControl* control) { SetParent(control); }

void TTabSheet::SetParent(TWinControl* parent) {
    TPageControl* old = PageControl();
    if (old != nullptr && old != parent)
        old->removePage(this);
    TCustomControl::SetParent(parent);
    if (TPageControl* control = PageControl())
        control->insertPage(this);
}

int TTabSheet::PageIndex() const {
    TPageControl* control = PageControl();
    if (control == nullptr)
        return -1;
    auto it = std::find(control->pages_.begin(), control->pages_.end(), this);
    return it == control->pages_.end() ? -1 : static_cast<int>(it - control->pages_.begin());
}

void TTabSheet::SetPageIndex(int index) {
    if (TPageControl* control = PageControl())
        control->movePage(this, index);
}

int TTabSheet::TabIndex() const {
    TPageControl* control = PageControl();
    if (control == nullptr || !tabVisible_)
        return -1;
    int index = 0;
    for (TTabSheet* page : control->pages_) {
        if (page == this)
            return index;
        if (page->tabVisible_)
            ++index;
    }
    return -1;
}

void TTabSheet::SetTabVisible(bool value) {
    if (value == tabVisible_)
        return;
    tabVisible_ = value;
    if (TPageControl* control = PageControl())
        control->TabsChanged();
}

void TTabSheet::SetImageIndex(int value) {
    if (value == imageIndex_)
        return;
    imageIndex_ = value;
    if (TPageControl* control = PageControl())
        control->TabsChanged();
}

void TTabSheet::Dispatch(TMessage& message) {
    TCustomControl::Dispatch(message);
    if (message.Msg == CM_TEXTCHANGED || message.Msg == CM_ENABLEDCHANGED)
        if (TPageControl* control = PageControl())
            control->TabsChanged();
}

// ---------------------------------------------------------------------------
// TPageControl

TPageControl::TPageControl(TComponent* owner) : TCustomTabControl(owner) {}

TPageControl::~TPageControl() {
    Destroying();
    pages_.clear();
    activePage_ = nullptr;
}

TTabSheet* TPageControl::Pages(int index) const {
    if (index < 0 || index >= PageCount())
        throw EListError();
    return pages_[static_cast<size_t>(index)];
}

void TPageControl::insertPage(TTabSheet* page) {
    if (std::find(pages_.begin(), pages_.end(), page) != pages_.end())
        return;
    pages_.push_back(page);
    // A page fills the area under the tabs, whatever bounds it is given.
    page->SetAlign(alClient);
    TabsChanged();
    Realign();
    if (activePage_ == nullptr)
        SetActivePage(page);
}

void TPageControl::removePage(TTabSheet* page) {
    auto it = std::find(pages_.begin(), pages_.end(), page);
    if (it == pages_.end())
        return;
    TTabSheet* next = activePage_ == page ? FindNextPage(page, true, true) : activePage_;
    if (next == page)
        next = nullptr;
    pages_.erase(it);
    if (activePage_ == page) {
        activePage_ = nullptr;
        SetActivePage(next);
    }
    TabsChanged();
}

void TPageControl::movePage(TTabSheet* page, int index) {
    auto it = std::find(pages_.begin(), pages_.end(), page);
    if (it == pages_.end())
        return;
    pages_.erase(it);
    index = std::clamp(index, 0, PageCount());
    pages_.insert(pages_.begin() + index, page);
    TabsChanged();
}

void TPageControl::showPages() {
    for (TTabSheet* page : pages_)
        page->SetVisible(page == activePage_);
}

void TPageControl::Loaded() {
    TCustomTabControl::Loaded();
    showPages();
}

void TPageControl::SetActivePage(TTabSheet* page) {
    if (page != nullptr && page->PageControl() != this)
        return;
    if (page == activePage_)
        return;
    activePage_ = page;
    showPages();
    PeerChanged(paItemIndex);
}

int TPageControl::ActivePageIndex() const { return activePage_ != nullptr ? activePage_->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int index) {
    SetActivePage(index >= 0 && index < PageCount() ? pages_[static_cast<size_t>(index)] : nullptr);
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) const {
    if (pages_.empty())
        return nullptr;
    int count = PageCount();
    auto it = std::find(pages_.begin(), pages_.end(), current);
    int start = it == pages_.end() ? (goForward ? count - 1 : 0) : static_cast<int>(it - pages_.begin());
    int index = start;
    for (int step = 0; step < count; ++step) {
        index = (index + (goForward ? 1 : count - 1)) % count;
        TTabSheet* page = pages_[static_cast<size_t>(index)];
        if (!checkTabVisible || page->TabVisible())
            return page;
    }
    return nullptr;
}

void TPageControl::SelectNextPage(bool goForward) {
    TTabSheet* next = FindNextPage(activePage_, goForward, true);
    if (next == nullptr || next == activePage_ || !CanChange())
        return;
    SetActivePage(next);
    Change();
}

int TPageControl::TabCount() const {
    int count = 0;
    for (TTabSheet* page : pages_)
        count += page->TabVisible() ? 1 : 0;
    return count;
}

TTabSheet* TPageControl::PageOfTab(int tabIndex) const {
    for (TTabSheet* page : pages_)
        if (page->TabVisible() && tabIndex-- == 0)
            return page;
    return nullptr;
}

std::string TPageControl::TabCaption(int index) const {
    TTabSheet* page = PageOfTab(index);
    return page != nullptr ? page->Caption() : std::string();
}

int TPageControl::TabImage(int index) {
    TTabSheet* page = PageOfTab(index);
    int image = page != nullptr ? page->ImageIndex() : -1;
    if (OnGetImageIndex)
        OnGetImageIndex(this, index, image);
    return image;
}

std::string TPageControl::TabHint(int index) const {
    TTabSheet* page = PageOfTab(index);
    return page != nullptr ? page->Hint() : std::string();
}

void TPageControl::TabSelected(int index) {
    if (TTabSheet* page = PageOfTab(index))
        SetActivePage(page);
}

void TPageControl::AlignControls(TRect& rect) {
    // Every page fills the area under the tabs.
    for (TTabSheet* page : pages_)
        page->SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height());
    TCustomTabControl::AlignControls(rect);
}
