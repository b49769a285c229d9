#pragma once
// The contract between the themed controls and a theme.  Every themed
// toolbar, tool window, floating frame, popup menu and item viewer measures
// and paints itself through exactly one object, the current theme
// (CurrentTheme()), and never keeps it across a theme change: it asks on
// every measure and paint.
//
// Themes are registered by name (RegisterTheme) and one is selected at a
// time (SelectTheme).  Selecting builds and prepares the new theme before
// the old one goes, so a theme that fails to start leaves the old one in
// place.  Controls that must follow a change (toolbars and tool windows)
// put themselves on the notification list and receive TBKM_THEMECHANGING,
// then TBKM_THEMECHANGED, through their message dispatch; every control
// sees the first before any sees the second.

#include "platform/gfx/Color.h"
#include "platform/gfx/Geometry.h"
#include "platform/ui/Message.h"
#include "toolbars/TBMetrics.h"

#include <cstdint>
#include <memory>
#include <string>

class TCanvas;
class TControl;
class TFont;
class TImageList;
class TTBView;

// --- view types -------------------------------------------------------------------
// Codes of the kind of view an item or frame is painted for.  The themes
// test single bits: 0x1000 toolbars and tool windows, 0x2000 popups.
using TTBKViewType = uint32_t;
enum : TTBKViewType {
    TVT_NONE = 0,
    TVT_TOOLBAR = 0x1001,
    TVT_MENUBAR = 0x1002,
    TVT_TOOLWINDOW = 0x1004,
    TVT_FLOATING = 0x0800,  // or-ed: the toolbar or tool window floats
    TVT_RESIZABLE = 0x0400, // or-ed: it can be resized
    TVT_POPUPMENU = 0x2001,
    TVT_LISTPOPUP = 0x2002,    // a popup holding exactly one list item
    TVT_TOOLBOXPOPUP = 0x2004, // an edit item's popup, or a tool-box popup
    TVT_CHEVRONPOPUP = 0x2008,
    TVT_DOCKPANEL = 0x4000,
    TVT_TOOLBARGROUP = 0x1000,
    TVT_POPUPGROUP = 0x2000,
};

// Messages of a theme change (delivered at once through Perform) and the
// view-type query (the answer is the result).
enum : unsigned {
    TBKM_THEMECHANGING = 0x4E9,
    TBKM_THEMECHANGED = 0x4EA,
    TBKM_GETVIEWTYPE = 0x4EB,
};

// --- what is painted ----------------------------------------------------------------
// Bits of TTBKItemInfo::Options.
enum : uint32_t {
    IO_TOOLBARSTYLE = 0x01,  // a toolbar button (not a menu row)
    IO_DISABLEDSHADOW = 0x02, // the paint call asked for the disabled-shadow look
    IO_SUBMENU = 0x04,
    IO_COMBO = 0x08,      // a split button
    IO_DESIGNING = 0x10,
};
// Values of TTBKItemInfo::Part.
enum : uint8_t { IP_PLAIN = 0, IP_DROPDOWN = 1, IP_SPLITMAIN = 2, IP_SPLITDROPDOWN = 3 };

// One item in one state, made afresh for every paint call.
struct TTBKItemInfo {
    TTBKViewType ViewType = 0;
    uint32_t Options = 0;
    bool Enabled = false; // or the view is customizing
    bool Pushed = false;
    // 0 not selected; 2 selected and enabled; 1 selected, disabled, chosen
    // from the keyboard (0 when the mouse chose it).
    uint8_t Hover = 0;
    bool Checked = false;
    bool HasImage = false;
    int ImageWidth = 0;
    int ImageHeight = 0;
    bool Vertical = false;
    uint8_t Part = IP_PLAIN;
    bool PopupOpen = false;
    int GlyphColumnWidth = 0; // menu rows only
};

// The frame of a popup.
struct TTBKPopupInfo {
    TControl* Window = nullptr;
    TTBKViewType ViewType = 0;
    // The toolbar button that opened the popup, relative to the popup's
    // top-left corner; empty for any other opener.
    TRect ParentItemRect;
    TPoint BorderSize;
};

// Bits of the close-button states.
enum : uint32_t { CB_SHOWN = 1, CB_HOT = 2, CB_PRESSED = 4 };

// The frame of a docked toolbar or tool window.
struct TTBKToolbarInfo {
    TControl* Window = nullptr;
    TTBKViewType ViewType = 0;
    bool Vertical = false;
    bool AllowDrag = false;
    uint8_t BorderStyle = 0; // 1 = single
    TPoint BorderSize;
    int ClientWidth = 0;
    int ClientHeight = 0;
    uint8_t DragHandleStyle = 0; // 0 double grip, 1 none, 2 single
    uint32_t CloseButtonState = 0;
};

// Parts of a floating frame to paint.
enum : uint32_t { RP_BORDER = 1, RP_CAPTION = 2, RP_CLOSEBUTTON = 4 };

// The frame of a floating toolbar or tool window.
struct TTBKWindowInfo {
    TControl* ParentWindow = nullptr; // the floating frame
    TControl* Window = nullptr;       // the toolbar or tool window in it
    TTBKViewType ViewType = 0;
    int ClientWidth = 0;
    int ClientHeight = 0;
    bool ShowCaption = false;
    TPoint FloatingBorderSize;
    uint32_t CloseButtonState = 0;
    uint32_t RedrawParts = 0;
    std::string Caption;
    bool ActiveCaption = false;
};

struct TTBKEditInfo {
    int LeftButtonWidth = 0;
    int RightButtonWidth = 0;
};

// Bits of TTBKButtonInfo::ButtonState.
enum : uint32_t { BS_DISABLED = 1, BS_HOT = 2, BS_PUSHED = 4 };
struct TTBKButtonInfo {
    uint32_t ButtonState = 0;
};

// A captioned panel (no control of this program shows one).
struct TTBKPanelInfo {
    TTBKViewType ViewType = TVT_DOCKPANEL;
    bool ShowCaption = false;
    std::string Caption;
    uint8_t BorderStyle = 0;
    uint32_t CloseButtonState = 0;
};

// --- metrics -----------------------------------------------------------------------------
// Ids of GetIntegerMetric.
enum : int {
    TMI_SPLITBTN_ARROWWIDTH = 10,
    TMI_DROPDOWN_ARROWWIDTH = 20,
    TMI_DROPDOWN_ARROWMARGIN = 21,
    TMI_MENU_IMGTEXTSPACE = 30, // margin around a glyph; menu rows are twice this taller
    TMI_MENU_LCAPTIONMARGIN = 31,
    TMI_MENU_RCAPTIONMARGIN = 32, // space before the glyph column
    TMI_MENU_GLYPHTEXTSPACE = 33, // between the glyph column and the caption
    TMI_MENU_AFTERCAPTION = 34,   // after the caption
    TMI_MENU_SEPARATORSIZE = 35,
    TMI_MDIBUTTON_WIDTHLESS = 36,
    TMI_MDIBUTTON_HEIGHTLESS = 37,
    TMI_TLBR_SEPARATORSIZE = 50,
    TMI_EDIT_FRAMEWIDTH = 60,
    TMI_EDIT_TEXTMARGINHORZ = 61,
    TMI_EDIT_TEXTMARGINVERT = 62,
    TMI_EDIT_MENUMIDWIDTH = 64,
};
// Ids of GetBooleanMetric.
enum : int {
    TMB_OFFSETDROPDOWNMENU = 1,   // popups join their parent item
    TMB_USEXPTOOLBARCOLOR = 2,    // toolbar colours from the visual style
    TMB_PAINTDOCKBACKGROUND = 3,  // toolbars show the dock's background
    TMB_EDITMENUFULLSELECT = 4,   // a menu edit item's label starts after the glyph column
};

// --- the theme ------------------------------------------------------------------------------
class TTBKTheme {
public:
    TTBKTheme() = default;
    virtual ~TTBKTheme() = default;
    TTBKTheme(const TTBKTheme&) = delete;
    TTBKTheme& operator=(const TTBKTheme&) = delete;

    // The name it was selected by.
    std::string Name;

    // Rebuilds whatever the theme derives from the system colours.
    virtual void UpdateColorScheme() = 0;
    virtual TColor GetItemColor(const TTBKItemInfo& info) = 0;
    // id 1: a toolbar button; id 2: a menu row.
    virtual void GetMargins(int marginId, TRect& margins) = 0;
    virtual TColor GetImageBackgroundColor(const TTBKItemInfo& info) = 0;
    // 0 none, 1 the window system's drop shadow, 2 shadow windows.
    virtual int GetPopupShadowType() = 0;
    // X: left and right width, Y: top and bottom height.
    virtual void GetViewBorder(TTBKViewType viewType, TPoint& border) = 0;
    virtual TColor GetViewColor(TTBKViewType viewType) = 0;
    virtual void GetViewMargins(TTBKViewType viewType, TRect& margins) = 0;
    virtual void PaintBackground(TCanvas& canvas, const TRect& rect, TColor color, TTBKViewType viewType) = 0;
    virtual void PaintButton(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info) = 0;
    virtual void PaintCaption(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info,
                              const std::string& caption, unsigned format, bool rotated) = 0;
    virtual void PaintCheckMark(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info) = 0;
    virtual void PaintChevron(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info) = 0;
    virtual void PaintEditFrame(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info,
                                const TTBKEditInfo& editInfo) = 0;
    virtual void PaintEditButton(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info,
                                 const TTBKButtonInfo& buttonInfo) = 0;
    virtual void PaintPanel(TCanvas& canvas, const TRect& rect, const TTBKPanelInfo& info) = 0;
    virtual void PaintDropDownArrow(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info) = 0;
    virtual void PaintFloatingBorder(TCanvas& canvas, const TRect& rect, const TTBKWindowInfo& info) = 0;
    virtual void PaintFrame(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info) = 0;
    virtual void PaintImage(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info, TImageList* images,
                            int imageIndex) = 0;
    // kind: 0 close, 1 minimise, 2 maximise, 3 restore.
    virtual void PaintMDIButton(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info, int kind) = 0;
    virtual void PaintMenuItem(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info) = 0;
    virtual void PaintMenuItemFrame(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info) = 0;
    virtual void PaintPopupNCArea(TCanvas& canvas, const TRect& rect, const TTBKPopupInfo& info) = 0;
    virtual void PaintSeparator(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info, bool horizontal,
                                bool lineOnly) = 0;
    virtual void PaintToolbarNCArea(TCanvas& canvas, const TRect& rect, const TTBKToolbarInfo& info) = 0;
    // -1 for an id the theme does not define.
    virtual int GetIntegerMetric(int id) = 0;
    virtual bool GetBooleanMetric(int id) = 0;
};

// The class of a theme: the function that makes one.
using TTBKThemeClass = std::unique_ptr<TTBKTheme> (*)();
template <class T> std::unique_ptr<TTBKTheme> MakeTheme() { return std::make_unique<T>(); }

// --- registry ---------------------------------------------------------------------------------
// Appends a theme class under a name (at most 255 characters are kept).  No
// duplicate check: a later registration of a name wins.
void RegisterTheme(TTBKThemeClass themeClass, const std::string& name);
// Makes the theme registered under the name (ASCII case ignored) current;
// an unknown name selects the first registered theme.  Raises
// EInvalidOperation "No theme found" when none is registered.  The new
// theme is built and its colours computed before the old one is freed; if
// that fails the old one stays current and the error goes to the caller.
void SelectTheme(const std::string& name);
// The current theme.  The themed layer selects "Default" when it starts,
// so there always is one.
TTBKTheme& CurrentTheme();
std::string CurrentThemeName();
// Drops every registration and the current theme (for tests).
void ClearThemes();
// Back to the start-up state: the standard themes registered, "Default"
// current.
void RestartThemes();
// Registers "Default" and "OfficeXP" (the themed layer calls it once when
// it starts).
void RegisterStandardThemes();

void AddThemeNotification(TControl* control);
void RemoveThemeNotification(TControl* control);

// The view type a view's window answers (0 without a view or a window).
TTBKViewType GetViewType(TTBView* view);
TTBKViewType GetWinViewType(TControl* control);

// --- geometry shared by the themes and the frame painters ----------------------------------------
// (The classic sizes of window parts are TBMetrics.h's.)

TRect GetCaptionRect(const TTBKWindowInfo& info, bool adjustForBorder, bool minusCloseButton);
TRect GetCloseButtonRect(const TTBKWindowInfo& info, bool adjustForBorder);
int GetDragHandleSize(const TTBKToolbarInfo& info);
TRect GetToolbarCloseButtonRect(const TTBKToolbarInfo& info);

enum TTBKFontSize { tbkfNormal, tbkfSmaller, tbkfLarger };
// Smaller: 7/8 of the point size, larger: 9/8 (the sign dropped).
void ScaleFontSize(TFont& font, TTBKFontSize size);
