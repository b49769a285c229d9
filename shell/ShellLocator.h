#pragma once
// A locator names a shell folder for the controls: an absolute item list,
// or a special-folder number resolved when first asked.  It converts to
// and from paths, is stored as one block of raw bytes, and tells its owner
// of every change.  Also the lookup of a folder's column provider.

#include "platform/base/Component.h"
#include "platform/base/Stream.h"
#include "platform/shellns/ShellFolder.h"

#include <functional>
#include <memory>
#include <string>

class TPTShellLocator : public TPersistent {
public:
    enum TKind : uint8_t { lkPidl = 0, lkSpecialFolder = 1 };

    TPTShellLocator() = default;
    ~TPTShellLocator() override = default;
    std::string ClassName() const override { return "TPTShellLocator"; }

    TKind Kind() const { return kind_; }
    int Csidl() const { return csidl_; }
    // The folder's list (null for the desktop); a special folder's is
    // looked up on first use.  The locator keeps it.
    PCItemIDList GetPidl();
    // Empty when the folder has no path.
    std::string GetPath();
    // Stores a copy (a list of 2 bytes or less, or null, is the desktop).
    void SetPidl(PCItemIDList pidl);
    // A path that does not parse gives the desktop.
    void SetPath(const std::string& path);
    void SetSpecialFolder(int csidl);
    void Clear() { SetPidl(nullptr); }
    void Assign(const TPersistent* source) override;
    bool Equals(const TPTShellLocator& other) const;

    // The stored form: kind; then the special-folder number, or the list's
    // length (4 bytes, little-endian) and bytes.
    void WriteData(TStream& stream) const;
    // Raises EReadError for a block that does not hold together.
    void ReadData(TStream& stream);
    // Whether the property is stored at all.
    bool HasData() const { return pidl_ != nullptr || kind_ == lkSpecialFolder; }
    // Streams the locator as the binary property "Pidl".
    void DefineProperties(TFiler& filer) override;

    // Called after every change, with the locator.
    std::function<void(TPersistent* sender)> OnChange;

private:
    void changed();
    TKind kind_ = lkPidl;
    TIdListPtr pidl_;
    int csidl_ = 28;
};

// The column provider of a folder: one that describes its own columns
// through an adapter, else its own provider; null when it has none.
std::shared_ptr<TShellDetailsProvider> FindDetailsProvider(const std::shared_ptr<TShellFolder>& folder);

// Shows a folder's own column details through the provider interface,
// stopping at the first column that is not shown by default.
class TShellFolder2ToShellDetailsAdapter : public TShellDetailsProvider {
public:
    explicit TShellFolder2ToShellDetailsAdapter(std::shared_ptr<TShellFolder2> folder) : folder_(std::move(folder)) {}
    HRESULT GetDetailsOf(PCItemIDList item, unsigned column, TShellDetails& details) override;
    HRESULT ColumnClick(unsigned column) override { return E_NOTIMPL; }

private:
    std::shared_ptr<TShellFolder2> folder_;
};
