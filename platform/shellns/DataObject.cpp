#include "platform/shellns/DataObject.h"

#include <algorithm>

namespace {

// Walks a fixed list of records.
class TRecordEnumerator : public TEnumFormatEtc {
public:
    explicit TRecordEnumerator(std::vector<FORMATETC> records, size_t position = 0)
        : records_(std::move(records)), position_(position) {}
    HRESULT Next(unsigned count, FORMATETC* records, unsigned* fetched) override {
        unsigned delivered = 0;
        while (delivered < count && position_ < records_.size())
            records[delivered++] = records_[position_++];
        if (fetched != nullptr)
            *fetched = delivered;
        return delivered == count ? S_OK : S_FALSE;
    }
    HRESULT Skip(unsigned count) override {
        if (count > records_.size() - position_) {
            position_ = records_.size();
            return S_FALSE;
        }
        position_ += count;
        return S_OK;
    }
    HRESULT Reset() override {
        position_ = 0;
        return S_OK;
    }
    HRESULT Clone(std::shared_ptr<TEnumFormatEtc>& result) override {
        result = std::make_shared<TRecordEnumerator>(records_, position_);
        return S_OK;
    }

private:
    std::vector<FORMATETC> records_;
    size_t position_;
};

} // namespace

bool GetDataBlock(TDataObject& data, unsigned format, std::string& block) {
    FORMATETC request;
    request.cfFormat = format;
    STGMEDIUM medium;
    if (FAILED(data.GetData(request, medium)) || medium.tymed != TYMED_HGLOBAL)
        return false;
    block = std::move(medium.hGlobal);
    return true;
}

void TMemoryDataObject::SetBlock(unsigned format, std::string block) {
    for (auto& entry : blocks_)
        if (entry.first == format) {
            entry.second = std::move(block);
            return;
        }
    blocks_.emplace_back(format, std::move(block));
}

bool TMemoryDataObject::HasBlock(unsigned format) const {
    return std::any_of(blocks_.begin(), blocks_.end(), [&](const auto& entry) { return entry.first == format; });
}

std::vector<unsigned> TMemoryDataObject::Formats() const {
    std::vector<unsigned> formats;
    for (const auto& entry : blocks_)
        formats.push_back(entry.first);
    return formats;
}

HRESULT TMemoryDataObject::QueryGetData(const FORMATETC& format) {
    if (format.dwAspect != DVASPECT_CONTENT)
        return DV_E_FORMATETC;
    if (!HasBlock(format.cfFormat))
        return DV_E_FORMATETC;
    return (format.tymed & TYMED_HGLOBAL) != 0 ? S_OK : DV_E_TYMED;
}

HRESULT TMemoryDataObject::GetData(const FORMATETC& format, STGMEDIUM& medium) {
    if (HRESULT hr = QueryGetData(format); FAILED(hr))
        return hr;
    for (const auto& entry : blocks_)
        if (entry.first == format.cfFormat) {
            try {
                medium.hGlobal = entry.second;
            } catch (const std::bad_alloc&) {
                return E_OUTOFMEMORY;
            }
            medium.tymed = TYMED_HGLOBAL;
            return S_OK;
        }
    return DV_E_FORMATETC;
}

HRESULT TMemoryDataObject::SetData(const FORMATETC& format, STGMEDIUM& medium, bool release) {
    if (format.dwAspect != DVASPECT_CONTENT || medium.tymed != TYMED_HGLOBAL)
        return DV_E_FORMATETC;
    SetBlock(format.cfFormat, release ? std::move(medium.hGlobal) : medium.hGlobal);
    return S_OK;
}

HRESULT TMemoryDataObject::EnumFormatEtc(uint32_t direction, std::shared_ptr<TEnumFormatEtc>& result) {
    result.reset();
    if (direction != DATADIR_GET)
        return E_NOTIMPL;
    std::vector<FORMATETC> records;
    for (const auto& entry : blocks_) {
        FORMATETC record;
        record.cfFormat = entry.first;
        records.push_back(record);
    }
    result = std::make_shared<TRecordEnumerator>(std::move(records));
    return S_OK;
}
