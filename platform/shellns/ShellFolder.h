#pragma once
// The shell namespace: folders that enumerate, name, compare and describe
// their items (named by item identifier lists, see ItemIdList.h), and the
// objects they hand out for items: context menus with their verbs and drop
// targets.  Calls answer with a result code and never raise.
//
// The namespace over this system: the Desktop at the root holds Home,
// Computer (one item per mount, MountTable.h) and the entries of the
// desktop folder; below them the folders of the file system.

#include "platform/gfx/Geometry.h"
#include "platform/shellns/DataObject.h"
#include "platform/shellns/ItemIdList.h"
#include "platform/shellns/ShellResult.h"
#include "platform/shellns/SortKey.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TShellMenu;

// What to enumerate.
enum : unsigned { SHCONTF_FOLDERS = 0x20, SHCONTF_NONFOLDERS = 0x40, SHCONTF_INCLUDEHIDDEN = 0x80 };

// Item attributes.
enum : uint32_t {
    SFGAO_CANCOPY = 0x00000001,
    SFGAO_CANMOVE = 0x00000002,
    SFGAO_CANLINK = 0x00000004,
    SFGAO_CANRENAME = 0x00000010,
    SFGAO_CANDELETE = 0x00000020,
    SFGAO_HASPROPSHEET = 0x00000040,
    SFGAO_DROPTARGET = 0x00000100,
    SFGAO_LINK = 0x00010000,
    SFGAO_SHARE = 0x00020000,
    SFGAO_READONLY = 0x00040000,
    SFGAO_HIDDEN = 0x00080000,
    SFGAO_STREAM = 0x00400000,
    SFGAO_VALIDATE = 0x01000000,
    SFGAO_REMOVABLE = 0x02000000,
    SFGAO_FILESYSANCESTOR = 0x10000000,
    SFGAO_FOLDER = 0x20000000,
    SFGAO_FILESYSTEM = 0x40000000,
    SFGAO_HASSUBFOLDER = 0x80000000,
};

// Kinds of display name.
enum : unsigned {
    SHGDN_NORMAL = 0,
    SHGDN_INFOLDER = 1,
    SHGDN_FOREDITING = 0x1000,
    SHGDN_FORADDRESSBAR = 0x4000,
    SHGDN_FORPARSING = 0x8000,
};

// Special folders, by the documented numbers.
enum : int {
    CSIDL_DESKTOP = 0,
    CSIDL_PERSONAL = 5, // the home folder
    CSIDL_SENDTO = 9,
    CSIDL_DESKTOPDIRECTORY = 16,
    CSIDL_DRIVES = 17, // Computer
};

class TEnumIDList : public TUnknown {
public:
    // Up to count new relative lists (the caller frees them); S_FALSE when
    // fewer were delivered.
    virtual HRESULT Next(unsigned count, PItemIDList* items, unsigned* fetched) = 0;
};

// Context menu commands.
enum : unsigned {
    CMF_NORMAL = 0,
    CMF_DEFAULTONLY = 1,
    CMF_VERBSONLY = 2,
    CMF_EXPLORE = 4,
    CMF_NOVERBS = 8,
    CMF_CANRENAME = 16,
};
// What GetCommandString answers.
enum : unsigned { GCS_VERBA = 0, GCS_HELPTEXTA = 1, GCS_VALIDATEA = 2 };
// Bits of a command invocation's mask.
enum : uint32_t { CMIC_MASK_SHIFT_DOWN = 0x10000000, CMIC_MASK_CONTROL_DOWN = 0x40000000 };

struct TCMInvokeCommandInfo {
    uint32_t Mask = 0;
    // A command offset (from the first id given to QueryContextMenu), or,
    // when Verb is not empty, the verb's name.
    unsigned Offset = 0;
    std::string Verb;
    int Show = 1;
};

class TContextMenu : public TUnknown {
public:
    // Inserts the commands at position index of menu with ids from first
    // to last; the result's code is the number of ids used (highest offset
    // plus one).
    virtual HRESULT QueryContextMenu(TShellMenu& menu, unsigned index, unsigned first, unsigned last,
                                     unsigned flags) = 0;
    virtual HRESULT InvokeCommand(const TCMInvokeCommandInfo& info) = 0;
    // The verb (GCS_VERBA) or help text (GCS_HELPTEXTA) of a command
    // offset.
    virtual HRESULT GetCommandString(unsigned offset, unsigned kind, std::string& text) = 0;
};
// A context menu that draws and measures its own items: menu messages
// reach it while its menu is tracked.
class TContextMenu2 : public TContextMenu {
public:
    virtual HRESULT HandleMenuMsg(unsigned msg, uintptr_t wParam, intptr_t lParam) = 0;
};

// Key state bits passed to drop targets (as mouse messages carry them) and
// the button bits a drop source looks at.
enum : uint32_t { MK_ALT = 0x20 };

class TDropTarget : public TUnknown {
public:
    // effect: in, the effects the source allows; out, the one that would
    // be done.  Points are screen coordinates.
    virtual HRESULT DragEnter(const std::shared_ptr<TDataObject>& data, uint32_t keyState, TPoint point,
                              uint32_t& effect) = 0;
    virtual HRESULT DragOver(uint32_t keyState, TPoint point, uint32_t& effect) = 0;
    virtual HRESULT DragLeave() = 0;
    virtual HRESULT Drop(const std::shared_ptr<TDataObject>& data, uint32_t keyState, TPoint point,
                         uint32_t& effect) = 0;
};

class TDropSource : public TUnknown {
public:
    virtual HRESULT QueryContinueDrag(bool escapePressed, uint32_t keyState) = 0;
    virtual HRESULT GiveFeedback(uint32_t effect) = 0;
};

// A column's text and layout.
struct TShellDetails {
    int Format = 0; // 0 left, 1 right, 2 centre
    int CharacterWidth = 0;
    std::string Text;
};
enum : uint32_t { SHCOLSTATE_ONBYDEFAULT = 0x10 };

class TShellDetailsProvider : public TUnknown {
public:
    // For a null item: the column's caption.
    virtual HRESULT GetDetailsOf(PCItemIDList item, unsigned column, TShellDetails& details) = 0;
    virtual HRESULT ColumnClick(unsigned column) = 0;
};

// What GetUIObjectOf and CreateViewObject hand out.
enum class TShellInterface { ContextMenu, DropTarget, DetailsProvider };

class TShellFolder : public TUnknown {
public:
    // A name (an absolute path, "computer:///", or a name relative to this
    // folder) to a new list relative to this folder.  eaten gets the bytes
    // used; attributes (when given) are asked for the item.
    virtual HRESULT ParseDisplayName(std::string_view name, unsigned* eaten, PItemIDList* item,
                                     uint32_t* attributes) = 0;
    virtual HRESULT EnumObjects(unsigned flags, std::shared_ptr<TEnumIDList>& result) = 0;
    // The folder of a relative list (one or more items down).
    virtual HRESULT BindToObject(PCItemIDList item, std::shared_ptr<TShellFolder>& result) = 0;
    // The order of two relative lists by a column (0 name, 1 size, 2 type,
    // 3 modified): the code field is negative, 0 or positive.  Two items
    // are equal only when their names are the same bytes.
    virtual HRESULT CompareIDs(intptr_t column, PCItemIDList first, PCItemIDList second) = 0;
    // Fills key with what sorting by a column compares of an item of this
    // folder (a list one item long), keeping what it already holds:
    // CompareSortKeys then orders keys as CompareIDs orders the items.
    // E_NOTIMPL for a folder that sorts by CompareIDs alone.
    virtual HRESULT GetSortKey(intptr_t column, PCItemIDList item, TShellSortKey& key) { return E_NOTIMPL; }
    // attributes: in, the bits asked for; out, those that all items have.
    virtual HRESULT GetAttributesOf(unsigned count, const PCItemIDList* items, uint32_t& attributes) = 0;
    virtual HRESULT GetUIObjectOf(unsigned count, const PCItemIDList* items, TShellInterface kind,
                                  std::shared_ptr<TUnknown>& result) = 0;
    virtual HRESULT CreateViewObject(TShellInterface kind, std::shared_ptr<TUnknown>& result) {
        return E_NOINTERFACE;
    }
    // Display names are UTF-8 text with the lossless escape of
    // FileNames.h; parsing names (SHGDN_FORPARSING) are raw path bytes.
    virtual HRESULT GetDisplayNameOf(PCItemIDList item, unsigned flags, std::string& name) = 0;
    // Renames an item of this folder (the name is display text unless the
    // flags hold SHGDN_FORPARSING); never replaces an existing file.  A
    // refusal is shown to the user.  newItem (when given) gets the new
    // relative list.
    virtual HRESULT SetNameOf(PCItemIDList item, std::string_view name, unsigned flags, PItemIDList* newItem) = 0;

    // This folder's absolute list (never null; empty for the desktop).
    virtual PCItemIDList AbsoluteIdList() const = 0;
    // This folder's file-system path; empty for a folder without one.
    virtual std::string FileSystemPath() const = 0;
};

// Column state and details for folders that describe their own columns.
class TShellFolder2 : public TShellFolder {
public:
    virtual HRESULT GetDefaultColumnState(unsigned column, uint32_t& state) = 0;
    virtual HRESULT GetDetailsOf(PCItemIDList item, unsigned column, TShellDetails& details) = 0;
};

// --- entry points ------------------------------------------------------------------
HRESULT SHGetDesktopFolder(std::shared_ptr<TShellFolder>& result);
// The folder of an absolute list (the desktop for a null or empty one).
HRESULT BindToFolderOf(PCItemIDList absolute, std::shared_ptr<TShellFolder>& result);
// The file-system path of an absolute list; false for items without one
// (the desktop, Computer).
bool SHGetPathFromIDList(PCItemIDList absolute, std::string& path);
// The absolute list of a path (which must exist), parsed from the desktop.
HRESULT SHParseDisplayName(std::string_view name, PItemIDList* absolute);
HRESULT SHGetSpecialFolderLocation(int csidl, PItemIDList* absolute);
// Parent folder of an absolute list and its last item (pointing into the
// given list); fails for the desktop itself.
HRESULT SHBindToParent(PCItemIDList absolute, std::shared_ptr<TShellFolder>& parent, PCItemIDList* last);

// What SHGetFileInfo fills in.
enum : unsigned {
    SHGFI_ICON = 0x100,
    SHGFI_DISPLAYNAME = 0x200,
    SHGFI_TYPENAME = 0x400,
    SHGFI_ATTRIBUTES = 0x800,
    SHGFI_SYSICONINDEX = 0x4000,
    SHGFI_LINKOVERLAY = 0x8000,
    SHGFI_LARGEICON = 0x0,
    SHGFI_SMALLICON = 0x1,
    SHGFI_OPENICON = 0x2,
    SHGFI_PIDL = 0x8,
};
struct TShFileInfo {
    int IconIndex = 0;          // into the system image lists
    uint32_t Attributes = 0;
    std::string DisplayName;    // display text
    std::string TypeName;       // "HTML document", "Folder", ...
};
// Information about an absolute list; false when the item is not there.
bool SHGetFileInfo(PCItemIDList absolute, unsigned flags, TShFileInfo& info);
