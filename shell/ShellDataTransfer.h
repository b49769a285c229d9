#pragma once
// What the shell tree and list share to hand items to other programs: the
// list of offered formats with its enumerator, the builders of the three
// blocks (plain text, the dropped-file list, the item-list array), the
// format check of a data object, and the drop source of a drag.

#include "platform/shellns/DataObject.h"
#include "platform/shellns/ItemIdList.h"
#include "platform/shellns/ShellFolder.h"

#include <memory>
#include <string>
#include <vector>

// The formats a data object offers, each for content, any index, a block
// medium.
class TPTFormatEtcList {
public:
    TPTFormatEtcList() = default;
    explicit TPTFormatEtcList(const std::vector<unsigned>& formats);
    int Count() const { return static_cast<int>(records_.size()); }
    const FORMATETC& Item(int index) const;
    void Add(const FORMATETC& record) { records_.push_back(record); }
    // S_OK when a record of the same format shares a medium kind with the
    // request; DV_E_TYMED when the format is there but with other media;
    // DV_E_FORMATETC for another aspect or an unknown format.
    HRESULT CheckFormat(const FORMATETC& request) const;

private:
    std::vector<FORMATETC> records_;
};

// Walks a format list (shared with the data object that offers it).
class TPTFormatEtcList_IEnumFormatEtc : public TEnumFormatEtc {
public:
    explicit TPTFormatEtcList_IEnumFormatEtc(std::shared_ptr<const TPTFormatEtcList> list, int position = 0)
        : list_(std::move(list)), position_(position) {}
    HRESULT Next(unsigned count, FORMATETC* records, unsigned* fetched) override;
    HRESULT Skip(unsigned count) override;
    HRESULT Reset() override;
    HRESULT Clone(std::shared_ptr<TEnumFormatEtc>& result) override;

private:
    std::shared_ptr<const TPTFormatEtcList> list_;
    int position_;
};

// The builders answer S_OK, or E_OUTOFMEMORY with an empty block.
HRESULT MakeTextBlock(std::string_view text, std::string& block);
HRESULT MakeHDropBlock(const std::vector<std::string>& names, std::string& block);
HRESULT MakeIdListArrayBlock(PCItemIDList parent, const std::vector<PCItemIDList>& items, std::string& block);
// A copy of a block for a receiver to own; false when it cannot be made.
bool DuplicateBlock(const std::string& block, std::string& copy);

// The drop source of a drag started with one mouse button (0 left, 1
// right, 2 middle).
class TDropSource_shlvtv : public TDropSource {
public:
    explicit TDropSource_shlvtv(int button);
    // Cancelled by Escape or by any other button pressed; dropped when the
    // drag's button is released.
    HRESULT QueryContinueDrag(bool escapePressed, uint32_t keyState) override;
    HRESULT GiveFeedback(uint32_t effect) override;
    uint32_t Button() const { return button_; }

private:
    uint32_t button_;
};
