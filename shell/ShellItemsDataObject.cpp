#include "shell/ShellItemsDataObject.h"

#include "platform/shellns/ShellClipboard.h"
#include "shell/ShellOps.h"
#include "shell/ShellRecords.h"
#include "shell/ShellUtils.h"

TPTShellItemsDataObject::TPTShellItemsDataObject()
    : formats_(std::make_shared<TPTFormatEtcList>(std::vector<unsigned>{ShellIdListFormat(), CF_HDROP})) {}

void TPTShellItemsDataObject::SetItems(const std::shared_ptr<TShellFolder>& folder, PCItemIDList parent,
                                       const std::vector<PCItemIDList>& items) {
    MakeIdListArrayBlock(parent, items, idListBlock_);
    std::vector<std::string> names;
    for (PCItemIDList item : items) {
        std::string name;
        GetDisplayName(folder, item, dnForParsing, name);
        names.push_back(std::move(name));
    }
    MakeHDropBlock(names, dropBlock_);
}

HRESULT TPTShellItemsDataObject::QueryGetData(const FORMATETC& format) { return formats_->CheckFormat(format); }

HRESULT TPTShellItemsDataObject::GetData(const FORMATETC& format, STGMEDIUM& medium) {
    HRESULT hr = QueryGetData(format);
    if (FAILED(hr))
        return hr;
    const std::string* block = format.cfFormat == ShellIdListFormat() ? &idListBlock_
                               : format.cfFormat == CF_HDROP          ? &dropBlock_
                                                                      : nullptr;
    if (block == nullptr)
        return DV_E_FORMATETC;
    medium.tymed = TYMED_HGLOBAL;
    if (!DuplicateBlock(*block, medium.hGlobal))
        return E_OUTOFMEMORY;
    return S_OK;
}

HRESULT TPTShellItemsDataObject::EnumFormatEtc(uint32_t direction, std::shared_ptr<TEnumFormatEtc>& result) {
    if (direction != DATADIR_GET) {
        result.reset();
        return E_NOTIMPL;
    }
    result = std::make_shared<TPTFormatEtcList_IEnumFormatEtc>(formats_);
    return S_OK;
}

TDataObject_shtv::TDataObject_shtv(TPTShTreeData* data) {
    if (data == nullptr)
        return;
    // The item in the folder that holds it; the root's parent is the folder
    // above the base.
    PCItemIDList parent = data->ParentRecord() != nullptr ? data->ParentRecord()->GetAbsolutePidl() : nullptr;
    TIdListPtr rootParent, rootItem;
    PCItemIDList item = data->RelativePidl();
    std::shared_ptr<TShellFolder> folder;
    if (data->ParentRecord() == nullptr) {
        BindParentOf(data->GetAbsolutePidl(), folder, rootParent, rootItem);
        parent = rootParent.get();
        item = rootItem.get();
    } else {
        folder = data->GetParentFolder();
    }
    if (!folder || item == nullptr)
        return;
    SetItems(folder, parent, {item});
}
