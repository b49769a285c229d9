#include "shell/ShellDataTransfer.h"

#include "platform/base/Exceptions.h"
#include "platform/shellns/ShellDataFormats.h"
#include "platform/ui/Message.h"

TPTFormatEtcList::TPTFormatEtcList(const std::vector<unsigned>& formats) {
    for (unsigned format : formats) {
        FORMATETC record;
        record.cfFormat = format;
        records_.push_back(record);
    }
}

const FORMATETC& TPTFormatEtcList::Item(int index) const {
    if (index < 0 || index >= Count())
        throw EListError();
    return records_[static_cast<size_t>(index)];
}

HRESULT TPTFormatEtcList::CheckFormat(const FORMATETC& request) const {
    if (request.dwAspect != DVASPECT_CONTENT)
        return DV_E_FORMATETC;
    bool known = false;
    for (const FORMATETC& record : records_) {
        if (record.cfFormat != request.cfFormat)
            continue;
        known = true;
        if ((record.tymed & request.tymed) != 0)
            return S_OK;
    }
    return known ? DV_E_TYMED : DV_E_FORMATETC;
}

HRESULT TPTFormatEtcList_IEnumFormatEtc::Next(unsigned count, FORMATETC* records, unsigned* fetched) {
    unsigned delivered = 0;
    while (delivered < count && list_ && position_ < list_->Count())
        records[delivered++] = list_->Item(position_++);
    if (fetched != nullptr)
        *fetched = delivered;
    return delivered < count ? S_FALSE : S_OK;
}

HRESULT TPTFormatEtcList_IEnumFormatEtc::Skip(unsigned count) {
    int left = list_ ? list_->Count() - position_ : 0;
    if (static_cast<long long>(count) > left) {
        position_ += left;
        return S_FALSE;
    }
    position_ += static_cast<int>(count);
    return S_OK;
}

HRESULT TPTFormatEtcList_IEnumFormatEtc::Reset() {
    position_ = 0;
    return S_OK;
}

HRESULT TPTFormatEtcList_IEnumFormatEtc::Clone(std::shared_ptr<TEnumFormatEtc>& result) {
    result = std::make_shared<TPTFormatEtcList_IEnumFormatEtc>(list_, position_);
    return S_OK;
}

namespace {
template <class Build> HRESULT buildGuarded(std::string& block, Build&& build) {
    try {
        block = build();
        return S_OK;
    } catch (const std::bad_alloc&) {
        block.clear();
        return E_OUTOFMEMORY;
    }
}
} // namespace

HRESULT MakeTextBlock(std::string_view text, std::string& block) {
    return buildGuarded(block, [&] { return BuildTextBlock(text); });
}

HRESULT MakeHDropBlock(const std::vector<std::string>& names, std::string& block) {
    return buildGuarded(block, [&] { return BuildDropFiles(names); });
}

HRESULT MakeIdListArrayBlock(PCItemIDList parent, const std::vector<PCItemIDList>& items, std::string& block) {
    return buildGuarded(block, [&] { return BuildIdListArray(parent, items); });
}

bool DuplicateBlock(const std::string& block, std::string& copy) {
    try {
        copy = block;
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

TDropSource_shlvtv::TDropSource_shlvtv(int button)
    : button_(button == 1 ? MK_RBUTTON : button == 2 ? MK_MBUTTON : MK_LBUTTON) {}

HRESULT TDropSource_shlvtv::QueryContinueDrag(bool escapePressed, uint32_t keyState) {
    uint32_t buttons = keyState & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON);
    if (escapePressed || (buttons != 0 && buttons != button_))
        return DRAGDROP_S_CANCEL;
    return buttons == button_ ? S_OK : DRAGDROP_S_DROP;
}

HRESULT TDropSource_shlvtv::GiveFeedback(uint32_t) { return DRAGDROP_S_USEDEFAULTCURSORS; }
