#include "toolbars/TBMRUList.h"

#include "platform/base/FileNameText.h"
#include "platform/base/IniFile.h"
#include "platform/ui/UserInteraction.h"
#include "toolbars/TBCommon.h"
#include "toolbars/TBTexts.h"

#include <filesystem>
#include <string_view>
#include <vector>

// ---------------------------------------------------------------------------
// TTBMRUListStrings

void TTBMRUListStrings::checkIndex(int index) const {
    if (index < 0 || index >= GetCount())
        throw EStringListError(FormatMessageText("List index out of bounds (%d)", index));
}

std::string TTBMRUListStrings::Get(int index) const {
    checkIndex(index);
    return names_[static_cast<size_t>(index)];
}

void TTBMRUListStrings::Put(int index, const std::string& s) {
    checkIndex(index);
    names_[static_cast<size_t>(index)] = s;
    list_.rebuildCaptions();
    list_.changed();
}

void TTBMRUListStrings::Insert(int index, const std::string& s) {
    if (index < 0 || index > GetCount())
        throw EStringListError(FormatMessageText("List index out of bounds (%d)", index));
    TTBCustomItem* item = list_.CreateEntryItem(list_.container_);
    item->OnClick = [this](TTBCustomItem* sender) { list_.entryClicked(sender); };
    list_.container_->Insert(index, item);
    names_.insert(names_.begin() + index, s);
    list_.rebuildCaptions();
    list_.changed();
}

void TTBMRUListStrings::Delete(int index) {
    checkIndex(index);
    delete list_.container_->ItemAt(index);
    names_.erase(names_.begin() + index);
    list_.rebuildCaptions();
    list_.changed();
}

void TTBMRUListStrings::Move(int currentIndex, int newIndex) {
    if (currentIndex == newIndex)
        return;
    checkIndex(currentIndex);
    checkIndex(newIndex);
    list_.container_->Move(currentIndex, newIndex);
    std::string name = names_[static_cast<size_t>(currentIndex)];
    names_.erase(names_.begin() + currentIndex);
    names_.insert(names_.begin() + newIndex, name);
    list_.rebuildCaptions();
    list_.changed();
}

void TTBMRUListStrings::Clear() {
    for (int i = GetCount() - 1; i >= 0; --i)
        Delete(i);
}

int TTBMRUListStrings::CompareStrings(std::string_view a, std::string_view b) const {
    return a.compare(b);
}

// ---------------------------------------------------------------------------
// TTBMRUList

TTBMRUList::TTBMRUList(TComponent* owner)
    : TComponent(owner), items_(std::make_unique<TTBMRUListStrings>(*this)),
      container_(new TTBCustomItem(this)) {}

TTBMRUList::~TTBMRUList() {
    Destroying();
    // The container (owned as a component) frees the entry items.
    OnChange = nullptr;
}

TTBCustomItem* TTBMRUList::CreateEntryItem(TComponent* owner) { return new TTBCustomItem(owner); }

void TTBMRUList::SetHidePathExtension(bool value) {
    if (value == hidePathExtension_)
        return;
    hidePathExtension_ = value;
    rebuildCaptions();
}

void TTBMRUList::SetMaxItems(int value) {
    if (value == maxItems_)
        return;
    maxItems_ = value;
    rebuildCaptions();
}

void TTBMRUList::Add(const std::string& fileName) {
    std::string name = fileName;
    if (AddFullPath && !name.empty()) {
        std::error_code error;
        std::filesystem::path full = std::filesystem::absolute(std::filesystem::path(name), error);
        if (!error)
            name = full.lexically_normal().string();
    }
    int found = items_->IndexOf(name);
    if (found < 0) {
        items_->Insert(0, name);
    } else {
        if (found > 0)
            items_->Move(found, 0);
        items_->Put(0, name);
    }
}

namespace {

// The form in which names are stored when they can not be stored as they
// are: only such names are ever written in it.
constexpr std::string_view kStoredAddress = "file://";

// Whether a stored value is a name's address, and the name.
bool isStoredAddress(const std::string& value, std::string& name) {
    return value.starts_with(kStoredAddress) && PathOfFileUri(value, name);
}

// The value a name is stored as: the name itself, or the file address of
// an absolute name that the settings file could not hold (a line break)
// or would read back as an address.  False for a relative name of that
// kind, which the file can not keep.
bool storedValueOf(const std::string& name, std::string& value) {
    std::string named;
    if (name.find_first_of("\r\n") == std::string::npos && !isStoredAddress(name, named)) {
        value = name;
        return true;
    }
    if (!name.starts_with('/'))
        return false;
    value = FileUriOfPath(name);
    return true;
}

std::string nameOfStoredValue(const std::string& value) {
    std::string name;
    return isStoredAddress(value, name) ? name : value;
}

} // namespace

void TTBMRUList::LoadFromIni(const TCustomIniFile& ini, const std::string& section) {
    items_->Clear();
    for (int i = 1; i <= maxItems_; ++i) {
        std::string value = ini.ReadString(section, Prefix + std::to_string(i), "");
        if (!value.empty())
            items_->Insert(items_->GetCount(), nameOfStoredValue(value));
    }
}

void TTBMRUList::SaveToIni(TCustomIniFile& ini, const std::string& section) const {
    std::vector<std::string> values;
    for (int i = 0; i < items_->GetCount(); ++i)
        if (std::string value; storedValueOf(items_->Get(i), value))
            values.push_back(std::move(value));
    for (int i = 1; i <= maxItems_; ++i) {
        std::string key = Prefix + std::to_string(i);
        if (i > static_cast<int>(values.size()))
            ini.DeleteKey(section, key);
        else
            ini.WriteString(section, key, values[static_cast<size_t>(i - 1)]);
    }
}

std::string TTBMRUList::shownName(const std::string& fileName) const {
    // The name stays the file system's bytes; only what shows is text.
    if (!hidePathExtension_)
        return DisplayTextOfName(fileName);
    std::string title = std::filesystem::path(fileName).filename().string();
    return DisplayTextOfName(title.empty() ? fileName : title);
}

void TTBMRUList::rebuildCaptions() {
    if (rebuilding_)
        return;
    rebuilding_ = true;
    // Deleting an entry rebuilds again: the flag keeps it to this one pass.
    while (items_->GetCount() > std::max(0, maxItems_)) {
        int last = items_->GetCount() - 1;
        delete container_->ItemAt(last);
        items_->names_.pop_back();
    }
    rebuilding_ = false;
    for (int i = 0; i < items_->GetCount(); ++i) {
        std::string shown = EscapeAccessKeys(shownName(items_->names_[static_cast<size_t>(i)]));
        char accel = i < 9 ? static_cast<char>('1' + i) : i < 35 ? static_cast<char>('A' + i - 9) : 0;
        std::string caption = accel != 0 ? std::string("&") + accel + " " + shown : shown;
        container_->ItemAt(i)->SetCaption(caption);
    }
}

void TTBMRUList::changed() {
    if (!IsLoading() && OnChange)
        OnChange(this);
}

void TTBMRUList::entryClicked(TTBCustomItem* item) {
    int index = container_->IndexOf(item);
    if (index < 0)
        return;
    std::string name = items_->Get(index);
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::path(name), error)) {
        UserInteraction().MessageDlg(FormatMessageText(TBTexts::RecentFileMissing, DisplayTextOfName(name).c_str()),
                                     mtError, mbOKOnly);
        return;
    }
    if (index != 0)
        items_->Move(index, 0);
    if (OnClick)
        OnClick(this, items_->Get(0));
}
