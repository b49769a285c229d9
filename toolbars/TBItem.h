#pragma once
// The item tree: every button, menu command, separator, submenu and
// embedded control of the toolbar framework is a TTBCustomItem.  An item
// holds data only (caption, image, shortcut, state, options and an ordered
// list of child items) and never paints.  The views that show an item's
// children (toolbars, menu bars, popup menus) subscribe to it and are told
// of every change through one notification call.
//
// Ownership follows the component model: an item's children are owned by
// their owner component (a form, say), not by the item; freeing an item
// frees its children (last first) and takes it out of its parent.

#include "platform/base/Component.h"
#include "platform/base/Exceptions.h"
#include "platform/gfx/Geometry.h"
#include "platform/ui/Keys.h"

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TBasicAction;
class TImageList;
class TControl;
class TTBCustomItemActionLink;
class TTBCustomItem;
class TTBItemViewer;
class TTBPopupWindow;
class TTBView;
class TTBImageChangeLink;
struct TTBPopupPositionRec;

// Raised for index errors and misplaced insertions in an item tree.
class ETBItemError : public Exception {
public:
    using Exception::Exception;
};

// --- item options -------------------------------------------------------------
using TTBItemOptions = uint8_t;
enum : TTBItemOptions {
    tboDefault = 0x01,            // shown bold: the default command of its menu
    tboDropdownArrow = 0x02,      // a toolbar button that opens a submenu shows an arrow
    tboImageAboveCaption = 0x04,  // the image sits above the caption
    tboLongHintInMenuOnly = 0x08, // the long hint shows only in menus
    tboShowHint = 0x10,           // hints show while hovering
    tboToolbarStyle = 0x20,       // drawn as a toolbar button even in a menu
    tboToolbarSize = 0x40,        // sized as a toolbar button (flows) even in a menu
};
// Options whose change alters an item's size.
constexpr TTBItemOptions kTBSizeOptions =
    tboDefault | tboDropdownArrow | tboImageAboveCaption | tboToolbarStyle | tboToolbarSize;

// --- item style (class behaviour, fixed by constructors) ------------------------
using TTBItemStyle = uint16_t;
enum : TTBItemStyle {
    isSubmenu = 0x0001,                 // opens a popup of its children
    isSelectable = 0x0002,              // can be hot / selected
    isSeparator = 0x0004,               // laid out and painted as a separator
    isRelayedGroup = 0x0008,            // its children show inline in its parent's views
    isNotClickable = 0x0010,            // releasing the mouse over it chooses nothing
    isDropDownCombo = 0x0020,           // button part clicks, arrow part opens the submenu
    isNoAutoOpen = 0x0040,              // views do not open it on hover
    isSubitemsEditable = 0x0080,
    isNoLineBreak = 0x0100,             // a wrapping toolbar never breaks its line here
    isRightAlign = 0x0200,              // placed at the far end of a toolbar line
    isNoSelectFirst = 0x0400,           // skipped when a view selects its first item
    isRedrawOnSelChange = 0x0800,       // repainted when (de)selected
    isRedrawOnMouseOverChange = 0x1000, // repainted when the mouse enters or leaves it while captured
    isStretch = 0x2000,                 // stretched across its toolbar line
};
constexpr TTBItemStyle kTBDefaultItemStyle = isSelectable | isRedrawOnSelChange | isRedrawOnMouseOverChange;

enum TTBItemDisplayMode { nbdmDefault, nbdmTextOnly, nbdmTextOnlyInMenus, nbdmImageAndText };

// --- change notifications -------------------------------------------------------
enum TTBChangeKind : uint8_t {
    ckInserted = 0,      // a child was inserted (item, its index)
    ckDeleting = 1,      // a child is about to be removed (item, its index)
    ckLinkChanged = 2,   // LinkSubitems changed
    ckBeginUpdate = 3,   // before an insertion or a move
    ckEndUpdate = 4,     // after an insertion or a move
    ckInvalidate = 5,    // a child needs repainting (item)
    ckRecalcSize = 6,    // a child's size may have changed (item)
    ckViewerRefresh = 7, // a child's viewer class changed (not sent by the tree itself)
    ckNameChanged = 8,   // a child got a new name (item)
    ckSubMenuImagesChanged = 9,
};

// Views subscribe through this interface; one subscriber may subscribe
// several times (each use is counted).
class TTBItemSubscriber {
public:
    virtual ~TTBItemSubscriber() = default;
    // ancestor: the item whose children changed; relayed: the notice comes
    // through another item (a relayed group's parent, a linking item).
    virtual void ItemNotification(TTBCustomItem* ancestor, bool relayed, TTBChangeKind kind,
                                  TTBCustomItem* item, int index) = 0;
};

using TTBItemEvent = std::function<void(TTBCustomItem* sender)>;
using TTBPopupEvent = std::function<void(TTBCustomItem* sender, bool fromLink)>;
using TTBSelectEvent = std::function<void(TTBCustomItem* sender, TTBItemViewer* viewer, bool selecting)>;

// The class of a viewer, as the function that makes one.  Two viewers are of
// the same class when their makers are the same function.
using TTBItemViewerClass = TTBItemViewer* (*)(TTBView* view, TTBCustomItem* item);
// The class of a popup window, likewise.
using TTBPopupWindowClass = TTBPopupWindow* (*)(TTBView* parentView, TTBCustomItem* item, bool customizing);

class TTBCustomItem : public TComponent {
public:
    explicit TTBCustomItem(TComponent* owner = nullptr);
    ~TTBCustomItem() override;

    std::string ClassName() const override { return "TTBCustomItem"; }

    // --- children -----------------------------------------------------------
    int Count() const { return static_cast<int>(items_.size()); }
    const std::vector<TTBCustomItem*>& Children() const { return items_; }
    // Raises ETBItemError ("Toolbar item index out of range").
    TTBCustomItem* ItemAt(int index) const;
    void Add(TTBCustomItem* item) { Insert(Count(), item); }
    // Raises ETBItemError when the item has a parent already, when it is this
    // item or one above it, or for an index outside 0..Count; nothing
    // changes then.
    void Insert(int newIndex, TTBCustomItem* item);
    // Takes the child out (it is not freed).
    void Delete(int index);
    void Remove(TTBCustomItem* item);
    int IndexOf(const TTBCustomItem* item) const;
    // Frees every child, last first.
    void Clear();
    // Both indexes are checked before anything is told.
    void Move(int curIndex, int newIndex);
    TTBCustomItem* Parent() const { return parent_; }
    // This item is item or one of its ancestors.
    bool ContainsItem(const TTBCustomItem* item) const;

    // --- properties ---------------------------------------------------------
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& value);
    bool Checked() const { return checked_; }
    void SetChecked(bool value);
    TTBItemDisplayMode DisplayMode() const { return displayMode_; }
    void SetDisplayMode(TTBItemDisplayMode value);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int value);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int value);
    TImageList* Images() const { return images_; }
    void SetImages(TImageList* value);
    TImageList* SubMenuImages() const { return subMenuImages_; }
    void SetSubMenuImages(TImageList* value);
    bool InheritOptions() const { return inheritOptions_; }
    void SetInheritOptions(bool value);
    TTBItemOptions MaskOptions() const { return maskOptions_; }
    void SetMaskOptions(TTBItemOptions value);
    TTBItemOptions Options() const { return options_; }
    void SetOptions(TTBItemOptions value);
    TTBItemOptions EffectiveOptions() const { return effectiveOptions_; }
    TTBCustomItem* LinkSubitems() const { return linkSubitems_; }
    // A link to the item itself counts as none.
    void SetLinkSubitems(TTBCustomItem* value);
    bool Visible() const { return visible_; }
    void SetVisible(bool value);

    // Plain data.
    bool AutoCheck = false;
    int HelpContext = 0;
    std::string Hint;
    TShortCut ShortCut = 0;
    TTBItemStyle ItemStyle = kTBDefaultItemStyle;
    TTBItemEvent OnClick;
    TTBPopupEvent OnPopup;
    TTBSelectEvent OnSelect;

    // The control that holds a root item (a toolbar, a popup menu).
    TComponent* ParentComponentValue() const { return parentComponent_; }
    void SetParentComponentValue(TComponent* value) { parentComponent_ = value; }

    // The text after the first tab of the caption, else the shortcut's text.
    std::string ShortCutCaption() const;
    // The short part of the hint; with an action that has a shortcut,
    // "hint (shortcut)" while the application shows shortcuts in hints
    // and the action's OnHint lets the hint show.
    std::string HintCaption() const;
    // Where the children shown by a view come from: the linked item or this.
    TTBCustomItem* ChildSource() { return linkSubitems_ != nullptr ? linkSubitems_ : this; }
    const std::vector<TTBCustomItem*>& LinkParents() const { return linkParents_; }

    // --- subscribers ----------------------------------------------------------
    void Subscribe(TTBItemSubscriber* subscriber);
    void Unsubscribe(TTBItemSubscriber* subscriber);
    int SubscriberCount() const { return static_cast<int>(subscribers_.size()); }

    // --- shortcuts --------------------------------------------------------------
    // The item below this one (following links up to 25 levels deep) whose
    // ShortCut is key, or nullptr.  top: the child of this item (or of its
    // link) on the way to it, nullptr when the item is such a child itself.
    TTBCustomItem* FindShortCutItem(TShortCut key, TTBCustomItem*& top);
    // Runs the enabled item with that shortcut, preparing the submenus on
    // the way as opening them would; true when an item was clicked.
    bool HandleShortCut(TShortCut key);

    // --- behaviour that item classes change -------------------------------------
    // Tells the parent's views that this item must be repainted (false) or
    // may have changed size (true).
    virtual void NotifyChange(bool needResize);
    virtual TTBPopupWindow* OpenPopupWindow(TTBView* parentView, TTBItemViewer* parentViewer,
                                            bool positionAsSubmenu, bool selectFirstItem,
                                            bool customizing, TPoint position, int alignment);
    // Fired before the item's submenu opens: OnPopup, then Click unless the
    // item is a drop-down combo.
    virtual void BeforePopup(TTBCustomItem* sender, bool fromLink);
    virtual void AfterEnabledChange();
    // For a chevron: the toolbar view whose hidden items its popup shows.
    virtual TTBView* ChevronSourceView() { return nullptr; }
    virtual TTBItemViewerClass ViewerClassFor(TTBView* view);
    virtual void PlacePopup(TTBView* parentView, TTBPopupWindow* popup, TTBPopupPositionRec& rec);
    virtual TTBPopupWindowClass PopupWindowClass();
    // The viewer no longer is of the class the item now asks for.
    virtual bool ViewerNeedsRebuild(TTBView* view, TTBItemViewer* viewer);
    virtual void Click();
    // Lets the item update its state before it is shown or run: an item
    // with an action asks the action to update itself.
    virtual void InitiateAction();

    // --- action -------------------------------------------------------------------
    // The action the item shows and runs (see TBItemActionLink.h); none
    // frees the link.  Assigning one copies its state (only what still has
    // its default while the item is being read).
    TBasicAction* Action() const;
    void SetAction(TBasicAction* value);
    TTBCustomItemActionLink* ActionLink() const { return actionLink_.get(); }
    // Copies the state of a TCustomAction: all of it, or with checkDefaults
    // only the properties that still have their defaults.
    virtual void ActionChange(TBasicAction* sender, bool checkDefaults);

    // Tells the parent's views of a new name.
    void SetName(std::string name) override;
    // Takes the action's state once the item has been read.
    void Loaded() override;

    // --- component streaming ----------------------------------------------------
    // Takes the item from its parent, then puts it into the new one: an item
    // is added to it, any other component goes to the hook registered for
    // its class (RegisterAddItemHook).
    void SetParentComponent(TComponent* value);
    // The control holding the tree this item is in: the parent's control
    // when it has one, else the parent.
    TComponent* GetParentComponent() const;
    void GetChildren(const std::function<void(TComponent*)>& proc) const;
    void SetChildOrder(TComponent* child, int order);

    // Sends a notice about a child of this item to its subscribers (and
    // relays it where the item's style asks for it).
    void Notify(TTBChangeKind kind, TTBCustomItem* item, int index);

    // Called by the image change links.
    void ImageListChanged(TTBImageChangeLink* link);

protected:
    void Notification(TComponent* component, TOperation operation) override;
    // Makes the link to an action (item classes with more to link make
    // their own).
    virtual std::unique_ptr<TTBCustomItemActionLink> CreateActionLink();
    // The item lets go of an action (another is assigned, none, or the
    // action is being freed): a handler taken from it, which would call it
    // later, becomes a copy of the action's handler, so the item runs the
    // same code without reaching the action.
    virtual void KeepActionHandlers(TBasicAction& action);
    // Stores a property's new value and tells the views (repaint or new
    // size); nothing when the value is the same.
    template <class T> void changeProperty(T& field, const T& value, bool needResize) {
        if (field == value)
            return;
        field = value;
        NotifyChange(needResize);
    }

private:
    friend class TTBImageChangeLink;
    void notifyFrom(TTBCustomItem* ancestor, TTBChangeKind kind, TTBCustomItem* item, int index);
    void recalcEffectiveOptions();
    // Follows an image list: its change link and its free notification.
    void watchImages(TImageList*& field, std::unique_ptr<TTBImageChangeLink>& link, TImageList* value);
    void uncheckGroupSiblings();
    // Frees every child, last first.
    void freeChildren();
    void insertChild(int index, TTBCustomItem* item);
    // Notify, keeping the first exception for later.
    void tell(std::exception_ptr& failure, TTBChangeKind kind, TTBCustomItem* item, int index);
    static TTBItemOptions normalized(TTBItemOptions options);

    struct TSubscriberRecord {
        TTBItemSubscriber* Subscriber;
        int UseCount;
    };

    std::vector<TTBCustomItem*> items_;
    TTBCustomItem* parent_ = nullptr;
    TComponent* parentComponent_ = nullptr;
    std::string caption_;
    bool checked_ = false;
    TTBItemDisplayMode displayMode_ = nbdmDefault;
    bool enabled_ = true;
    int groupIndex_ = 0;
    int imageIndex_ = -1;
    TImageList* images_ = nullptr;
    TImageList* subMenuImages_ = nullptr;
    std::unique_ptr<TTBImageChangeLink> imagesLink_;
    std::unique_ptr<TTBImageChangeLink> subMenuImagesLink_;
    bool inheritOptions_ = true;
    TTBItemOptions maskOptions_ = 0;
    TTBItemOptions options_ = 0;
    TTBItemOptions effectiveOptions_ = 0;
    TTBCustomItem* linkSubitems_ = nullptr;
    std::vector<TTBCustomItem*> linkParents_;
    bool visible_ = true;
    std::vector<TSubscriberRecord> subscribers_;
    std::unique_ptr<TTBCustomItemActionLink> actionLink_;
    // The action the item asked to hear the free of, kept apart from the
    // link, which the action may cut first as it goes.
    TBasicAction* heldAction_ = nullptr;
    void letGoOfAction();
};

// The invisible root a toolbar or a popup menu holds.
class TTBRootItem : public TTBCustomItem {
public:
    explicit TTBRootItem(TComponent* owner = nullptr) : TTBCustomItem(owner) {}
    std::string ClassName() const override { return "TTBRootItem"; }
};

class TTBSeparatorItem : public TTBCustomItem {
public:
    explicit TTBSeparatorItem(TComponent* owner = nullptr);
    std::string ClassName() const override { return "TTBSeparatorItem"; }
    // Space without a line.
    bool Blank() const { return blank_; }
    void SetBlank(bool value);
    TTBItemViewerClass ViewerClassFor(TTBView* view) override;

private:
    bool blank_ = false;
};

// An item that places an ordinary control on a toolbar.  Freeing the item
// frees the control unless KeepControl is set; a control freed elsewhere is
// forgotten.
class TTBControlItem : public TTBCustomItem {
public:
    explicit TTBControlItem(TComponent* owner = nullptr);
    TTBControlItem(TComponent* owner, TControl* control);
    ~TTBControlItem() override;
    std::string ClassName() const override { return "TTBControlItem"; }
    TControl* Control() const { return control_; }
    void SetControl(TControl* value);
    bool KeepControl = false;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    TControl* control_ = nullptr;
};

// --- hooked parents -------------------------------------------------------------
// A control that takes items read as its children from a form description
// (a toolbar takes them into its root item) registers a hook for its class.
using TTBParentClassTest = bool (*)(const TComponent* component);
using TTBAddItemHook = std::function<void(TComponent* parent, TTBCustomItem* item)>;
// Registering the same class again counts one more use and replaces the hook.
void RegisterAddItemHook(TTBParentClassTest classTest, TTBAddItemHook hook);
void UnregisterAddItemHook(TTBParentClassTest classTest);
template <class C> bool ComponentIsA(const TComponent* component) {
    return dynamic_cast<const C*>(component) != nullptr;
}

// Number of items alive (the deferred-click window lives while there are
// any).
int TBItemCount();
