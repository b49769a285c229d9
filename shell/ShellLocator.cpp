#include "shell/ShellLocator.h"

#include "platform/base/Exceptions.h"
#include "platform/base/Filer.h"
#include "shell/ShellUtils.h"

PCItemIDList TPTShellLocator::GetPidl() {
    if (kind_ == lkSpecialFolder && !pidl_) {
        PItemIDList pidl = nullptr;
        if (SUCCEEDED(SpecialFolderLocation(csidl_, pidl)))
            pidl_.reset(pidl);
    }
    return pidl_.get();
}

std::string TPTShellLocator::GetPath() { return PidlToPath(GetPidl()); }

void TPTShellLocator::changed() {
    if (OnChange)
        OnChange(this);
}

void TPTShellLocator::SetPidl(PCItemIDList pidl) {
    bool change = kind_ != lkPidl;
    kind_ = lkPidl;
    if (pidl_) {
        // A comparison that fails counts as a change: the folder may well
        // be another one.
        change = change || ComparePidls(pidl_.get(), pidl) != 0;
        pidl_.reset();
    } else {
        change = change || !IdListIsEmpty(pidl);
    }
    if (pidl != nullptr && IdListSize(pidl) > 2)
        pidl_.reset(IdListClone(pidl));
    csidl_ = 28;
    if (change)
        changed();
}

void TPTShellLocator::SetPath(const std::string& path) {
    PItemIDList pidl = nullptr;
    if (SUCCEEDED(PathToPidl(path, pidl))) {
        TIdListPtr owned(pidl);
        SetPidl(pidl);
    } else {
        SetPidl(nullptr);
    }
}

void TPTShellLocator::SetSpecialFolder(int csidl) {
    if (kind_ == lkSpecialFolder && csidl_ == csidl)
        return;
    kind_ = lkSpecialFolder;
    csidl_ = csidl;
    pidl_.reset();
    changed();
}

bool TPTShellLocator::Equals(const TPTShellLocator& other) const {
    if (this == &other)
        return true;
    if (kind_ != other.kind_)
        return false;
    if (kind_ == lkSpecialFolder)
        return csidl_ == other.csidl_;
    return ComparePidls(pidl_.get(), other.pidl_.get()) == 0;
}

void TPTShellLocator::Assign(const TPersistent* source) {
    if (source == nullptr) {
        if (pidl_ || kind_ != lkPidl) {
            pidl_.reset();
            kind_ = lkPidl;
            csidl_ = 28;
            changed();
        }
        return;
    }
    auto* other = dynamic_cast<const TPTShellLocator*>(source);
    if (other == nullptr) {
        TPersistent::Assign(source);
        return;
    }
    if (Equals(*other))
        return;
    pidl_.reset();
    kind_ = other->kind_;
    csidl_ = other->csidl_;
    if (kind_ == lkPidl && other->pidl_)
        pidl_.reset(IdListClone(other->pidl_.get()));
    changed();
}

void TPTShellLocator::WriteData(TStream& stream) const {
    stream.WriteByte(kind_);
    if (kind_ != lkPidl) {
        stream.WriteByte(static_cast<uint8_t>(csidl_));
        return;
    }
    uint32_t length = static_cast<uint32_t>(IdListSize(pidl_.get()));
    stream.WriteLittleEndian(length);
    if (length > 0)
        stream.WriteBuffer(IdListBytes(pidl_.get()), length);
}

void TPTShellLocator::ReadData(TStream& stream) {
    uint8_t kind = stream.ReadByte();
    if (kind != lkPidl) {
        kind_ = lkSpecialFolder;
        csidl_ = stream.ReadByte();
        pidl_.reset();
        return;
    }
    auto length = stream.ReadLittleEndian<uint32_t>();
    if (length == 0) {
        kind_ = lkSpecialFolder;
        csidl_ = 0;
        pidl_.reset();
        return;
    }
    // The stored list is checked before it is used: its length must be
    // there, and it must end where it says.
    if (length > stream.Size() - stream.Position())
        throw EReadError();
    std::string data(length, '\0');
    stream.ReadBuffer(data.data(), length);
    if (ValidIdListSize(data.data(), data.size()) != length)
        throw EReadError();
    kind_ = lkPidl;
    pidl_.reset(IdListFromItems(std::string_view(data).substr(0, length - 2)));
    csidl_ = 28;
}

void TPTShellLocator::DefineProperties(TFiler& filer) {
    filer.DefineBinaryProperty(
        "Pidl", [this](TStream& stream) { ReadData(stream); }, [this](TStream& stream) { WriteData(stream); },
        HasData());
}

std::shared_ptr<TShellDetailsProvider> FindDetailsProvider(const std::shared_ptr<TShellFolder>& folder) {
    if (!folder)
        return nullptr;
    std::shared_ptr<TUnknown> object;
    if (auto described = std::dynamic_pointer_cast<TShellFolder2>(folder)) {
        TShellDetails details;
        if (SUCCEEDED(described->GetDetailsOf(nullptr, 0, details)))
            return std::make_shared<TShellFolder2ToShellDetailsAdapter>(described);
        if (auto own = std::dynamic_pointer_cast<TShellDetailsProvider>(folder))
            return own;
    }
    if (SUCCEEDED(folder->CreateViewObject(TShellInterface::DetailsProvider, object)))
        return std::dynamic_pointer_cast<TShellDetailsProvider>(object);
    return nullptr;
}

HRESULT TShellFolder2ToShellDetailsAdapter::GetDetailsOf(PCItemIDList item, unsigned column, TShellDetails& details) {
    uint32_t state = 0;
    HRESULT hr = folder_->GetDefaultColumnState(column, state);
    if (SUCCEEDED(hr) && (state & SHCOLSTATE_ONBYDEFAULT) == 0)
        return E_INVALIDARG;
    return folder_->GetDetailsOf(item, column, details);
}
