#pragma once
// The one folder class of the namespace: the desktop, Computer, or a folder
// of the file system, told apart by its place (NamespaceItems.h).

#include "platform/shellns/NamespaceItems.h"
#include "platform/shellns/ShellFolder.h"

class TNamespaceFolder : public TShellFolder, public std::enable_shared_from_this<TNamespaceFolder> {
public:
    // absolute: the folder's list (copied).
    TNamespaceFolder(TItemPlace place, PCItemIDList absolute);

    HRESULT ParseDisplayName(std::string_view name, unsigned* eaten, PItemIDList* item,
                             uint32_t* attributes) override;
    HRESULT EnumObjects(unsigned flags, std::shared_ptr<TEnumIDList>& result) override;
    HRESULT BindToObject(PCItemIDList item, std::shared_ptr<TShellFolder>& result) override;
    HRESULT CompareIDs(intptr_t column, PCItemIDList first, PCItemIDList second) override;
    HRESULT GetSortKey(intptr_t column, PCItemIDList item, TShellSortKey& key) override;
    HRESULT GetAttributesOf(unsigned count, const PCItemIDList* items, uint32_t& attributes) override;
    HRESULT GetUIObjectOf(unsigned count, const PCItemIDList* items, TShellInterface kind,
                          std::shared_ptr<TUnknown>& result) override;
    HRESULT GetDisplayNameOf(PCItemIDList item, unsigned flags, std::string& name) override;
    HRESULT SetNameOf(PCItemIDList item, std::string_view name, unsigned flags, PItemIDList* newItem) override;
    PCItemIDList AbsoluteIdList() const override { return absolute_.get(); }
    std::string FileSystemPath() const override;

    const TItemPlace& Place() const { return place_; }
    // The place of an item of this folder (one or more levels down).
    bool PlaceOf(PCItemIDList item, TItemPlace& place) const;

private:
    TItemPlace place_;
    TIdListPtr absolute_;
};

// The attributes of the item at a place (asked: the bits wanted).
uint32_t AttributesOfPlace(const TItemPlace& place, const TItemPayload& item, uint32_t asked);
