#pragma once
// Small operations the shell tree, the shell list and their records share:
// a new folder under a free name, the texts of a list row, the parent
// folder of an absolute list, an item's objects, the drop effects dragged
// data allows, scrolling a control by line or page, and conversions.

#include "platform/shellns/DataObject.h"
#include "platform/shellns/ItemIdList.h"
#include "platform/shellns/ShellFolder.h"

#include <ctime>
#include <memory>
#include <string>

class TControl;
class TWinControl;

// Makes a folder in parentPath under the first free name of "New Folder",
// "New Folder (2)", ... "New Folder (50)", then "fldr", "fldr2", ...
// "fldr50"; name gets the bare name.  Any failure other than a taken name
// is shown at once and ends the attempt.  An empty parentPath creates
// nothing.
bool CreateNewFolder(const std::string& parentPath, std::string& name);

// The top-most window a control sits on; nullptr for a control placed on
// nothing.
TWinControl* OwnerWindow(TControl* control);
// Raises Exception with the system's text for a code.
[[noreturn]] void RaiseComError(HRESULT hr);
// False for the root of a volume (a mount point) and for an empty path.
bool IsLongPath(const std::string& path);

// Splits an absolute list into its parent folder and last item.  The
// desktop itself stands for the desktop folder's directory.  parentPidl
// (null for an item of the desktop) and lastItem are new lists.
HRESULT BindParentOf(PCItemIDList absolute, std::shared_ptr<TShellFolder>& parentFolder, TIdListPtr& parentPidl,
                     TIdListPtr& lastItem);
HRESULT GetUIObjectOfPidl(PCItemIDList absolute, TShellInterface kind, std::shared_ptr<TUnknown>& object);
HRESULT GetDesktopDropTarget(std::shared_ptr<TDropTarget>& target);
HRESULT SplitDesktopDirectory(TIdListPtr& parentPidl, TIdListPtr& lastItem);
// An item's name in a folder; empty on failure.
void GetItemDisplayName(const std::shared_ptr<TShellFolder>& folder, PCItemIDList relative, unsigned flags,
                        std::string& text);
// Copy, move and link (7), narrowed to what the items of the data's
// item-list array all allow; 0 for an array that does not hold together.
uint32_t GetDropEffects(TDataObject& data);

// One scroll step (SB_LINEUP, SB_LINEDOWN, SB_PAGEUP, SB_PAGEDOWN) on a
// bar (SB_HORZ, SB_VERT), only when there is something to scroll.
void ScrollStep(TWinControl& control, int bar, int code);
// The system's wheel lines (one step on the horizontal bar), or one page
// when the setting is a page per notch.
bool WheelScroll(TWinControl& control, int bar, bool down, int pageCode);
// The number of lines a wheel notch scrolls; -1 for a page.
int WheelScrollLines();
void SetWheelScrollLines(int lines);
// Shows the hourglass while the user interface goes on for a while.
void WaitWithHourglass(unsigned milliseconds);

// Row texts of a list item.
// "%sKB" with the size in whole kilobytes, rounded up, with thousands
// separators ("2,442KB" for 2,500,000 bytes).
std::string SizeText(unsigned long long bytes);
// Local time as the short date, a blank and the long time.
std::string DateTimeText(std::time_t time);
struct TPTRowTexts {
    std::string Size, Type, Modified;
};
// Size (files only) and modified texts for an item with a path that is no
// volume root; the type text from its attributes.
TPTRowTexts ItemRowTexts(PCItemIDList absolute, uint32_t attributes);
