#pragma once
// TTBMRUList: a short list of recently used file names, most recent first,
// shown as numbered menu items ("&1 name", ..., "&9", then "&A" to "&Z")
// and kept in a settings file under the keys Prefix + "1" .. Prefix +
// MaxItems of a section.  Its items live under an internal container item
// that a menu places where the list should show.
//
// Names are the file system's bytes and compare as it compares them
// (case-sensitively); captions and messages show them as file names show
// (platform/base/FileNameText.h), and a chosen entry hands on its bytes.  A
// name that no longer exists stays listed, since its drive may come back;
// choosing it tells the user that the file is missing instead of handing
// it on.

#include "platform/base/Component.h"
#include "platform/base/Strings.h"
#include "platform/gfx/Font.h"
#include "toolbars/TBItem.h"

#include <functional>
#include <memory>
#include <string>

class TCustomIniFile;
class TTBMRUList;

using TTBMRUListClickEvent = std::function<void(TTBMRUList* sender, const std::string& fileName)>;

// The names of a list.  Every change keeps one entry item per name in the
// container, at the same index, and rebuilds the captions.
class TTBMRUListStrings : public TStrings {
public:
    explicit TTBMRUListStrings(TTBMRUList& list) : list_(list) {}
    std::string ClassName() const override { return "TTBMRUListStrings"; }

    std::string Get(int index) const override;
    int GetCount() const override { return static_cast<int>(names_.size()); }
    void Put(int index, const std::string& s) override;
    void Insert(int index, const std::string& s) override;
    void Delete(int index) override;
    void Move(int currentIndex, int newIndex) override;
    void Clear() override;

protected:
    // File names: byte for byte.
    int CompareStrings(std::string_view a, std::string_view b) const override;

private:
    friend class TTBMRUList;
    void checkIndex(int index) const;
    TTBMRUList& list_;
    std::vector<std::string> names_;
};

class TTBMRUList : public TComponent {
public:
    explicit TTBMRUList(TComponent* owner = nullptr);
    ~TTBMRUList() override;
    std::string ClassName() const override { return "TTBMRUList"; }

    // Add stores the full path (false: the name as given).
    bool AddFullPath = true;
    // The key prefix in the settings file.
    std::string Prefix = "MRU";
    // After every change of the list (not while the component is loading).
    TNotifyEvent OnChange;
    // An entry's menu item was chosen (after it moved to the top).
    TTBMRUListClickEvent OnClick;

    bool HidePathExtension() const { return hidePathExtension_; }
    // Captions show only the file's name (without its folder).
    void SetHidePathExtension(bool value);
    int MaxItems() const { return maxItems_; }
    // Entries beyond the new maximum go at once.
    void SetMaxItems(int value);
    TTBMRUListStrings& Items() { return *items_; }
    const TTBMRUListStrings& Items() const { return *items_; }
    // The item whose children are the entries.
    TTBCustomItem* Container() const { return container_; }

    // Puts the name at the top: an entry equal to it moves there and takes
    // its text; otherwise it is inserted.  The oldest entries beyond
    // MaxItems go.
    void Add(const std::string& fileName);
    // Replaces the list by the non-empty values Prefix + 1 .. Prefix +
    // MaxItems of the section, in that order.
    void LoadFromIni(const TCustomIniFile& ini, const std::string& section);
    // Writes the entries as Prefix + 1 ..; deletes the keys of positions
    // beyond the list.  A name the file can not hold as it is (one with a
    // line break) is written as its "file://" address, which LoadFromIni
    // reads back as the name; a relative name of that kind is left out.
    // A refused write raises the file's write error.
    void SaveToIni(TCustomIniFile& ini, const std::string& section) const;

    // Makes the item of a new entry; descendants make their own item class.
    virtual TTBCustomItem* CreateEntryItem(TComponent* owner);

private:
    friend class TTBMRUListStrings;
    void rebuildCaptions();
    void changed();
    void entryClicked(TTBCustomItem* item);
    std::string shownName(const std::string& fileName) const;

    std::unique_ptr<TTBMRUListStrings> items_;
    TTBCustomItem* container_;
    bool hidePathExtension_ = true;
    int maxItems_ = 4;
    bool rebuilding_ = false;
};
