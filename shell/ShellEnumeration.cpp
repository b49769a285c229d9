#include "shell/ShellEnumeration.h"

#include "shell/ShellUtils.h"

#include <algorithm>
#include <numeric>
#include <string_view>
#include <unordered_map>

HRESULT EnumerateFolder(TShellFolder& folder, unsigned flags, std::vector<TIdListPtr>& items) {
    std::shared_ptr<TEnumIDList> enumerator;
    HRESULT hr = folder.EnumObjects(flags, enumerator);
    if (FAILED(hr))
        return hr;
    if (!enumerator)
        return E_FAIL;
    while (true) {
        PItemIDList item = nullptr;
        unsigned fetched = 0;
        hr = enumerator->Next(1, &item, &fetched);
        if (hr != S_OK || fetched == 0) {
            if (item != nullptr)
                ShellFree(item);
            break;
        }
        items.emplace_back(item);
    }
    return hr == S_FALSE || hr == HRESULT_NO_MORE_ITEMS || hr == S_OK ? S_OK : hr;
}

TPTEnumerationDiff DiffEnumeration(const std::shared_ptr<TShellFolder>& compareFolder,
                                   const std::vector<PCItemIDList>& shown, std::vector<TIdListPtr> present) {
    TPTEnumerationDiff diff;
    std::vector<bool> kept(shown.size(), false);
    auto keepOrAdd = [&](TIdListPtr& item, int match) {
        if (match >= 0 && !kept[static_cast<size_t>(match)])
            kept[static_cast<size_t>(match)] = true;
        else
            diff.Added.push_back(std::move(item));
    };
    if (!compareFolder) {
        std::unordered_map<std::string_view, int> byBytes;
        byBytes.reserve(shown.size());
        for (size_t i = 0; i < shown.size(); ++i)
            byBytes.emplace(IdListView(shown[i]), static_cast<int>(i));
        for (TIdListPtr& item : present) {
            auto found = byBytes.find(IdListView(item.get()));
            keepOrAdd(item, found != byBytes.end() ? found->second : -1);
        }
    } else {
        auto compare = [&](PCItemIDList a, PCItemIDList b) {
            HRESULT hr = compareFolder->CompareIDs(0, a, b);
            return SUCCEEDED(hr) ? static_cast<int16_t>(HRESULT_CODE(hr)) : ComparePidlBytes(a, b);
        };
        std::vector<int> order(shown.size());
        std::iota(order.begin(), order.end(), 0);
        std::sort(order.begin(), order.end(),
                  [&](int a, int b) { return compare(shown[static_cast<size_t>(a)], shown[static_cast<size_t>(b)]) < 0; });
        for (TIdListPtr& item : present) {
            auto at = std::lower_bound(order.begin(), order.end(), item.get(), [&](int index, PCItemIDList key) {
                return compare(shown[static_cast<size_t>(index)], key) < 0;
            });
            // Equal items side by side: the first one not yet matched.
            int match = -1;
            for (; at != order.end() && compare(shown[static_cast<size_t>(*at)], item.get()) == 0; ++at)
                if (!kept[static_cast<size_t>(*at)]) {
                    match = *at;
                    break;
                }
            keepOrAdd(item, match);
        }
    }
    for (size_t i = 0; i < shown.size(); ++i)
        if (!kept[i])
            diff.Gone.push_back(static_cast<int>(i));
    return diff;
}
