// Arbitrary bytes as the transfer data other programs hand us: an
// item-list array, a dropped-file list, a uri-list, the desktop's
// copied-files list, a bare item list, and all of them at once as a data
// object whose file paths are read.  Whatever is accepted must hold
// together: every list lies inside the block, every name is whole, and
// building the block again from what was read reads back the same.

#include "fuzz/FuzzInput.h"
#include "platform/shellns/FileNames.h"
#include "platform/shellns/ShellClipboard.h"
#include "platform/shellns/ShellDataFormats.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

bool inside(std::string_view block, PCItemIDList list) {
    auto* at = reinterpret_cast<const char*>(list);
    if (at < block.data() || at >= block.data() + block.size())
        return false;
    size_t available = static_cast<size_t>(block.data() + block.size() - at);
    return ValidIdListSize(at, available) == IdListSize(list);
}

void checkArray(std::string_view block) {
    TIdListArrayView view;
    if (!ParseIdListArray(block, view))
        return;
    FuzzCheck(inside(block, view.Parent));
    std::vector<PCItemIDList> items;
    for (PCItemIDList item : view.Items) {
        FuzzCheck(inside(block, item));
        int count = IdListItemCount(item);
        FuzzCheck(count >= 0);
        items.push_back(item);
    }
    TIdListArrayView again;
    std::string rebuilt = BuildIdListArray(view.Parent, items);
    FuzzCheck(ParseIdListArray(rebuilt, again));
    FuzzCheck(again.Items.size() == items.size());
    for (size_t i = 0; i < items.size(); ++i)
        FuzzCheck(IdListView(again.Items[i]) == IdListView(items[i]));
}

void checkDropFiles(std::string_view block) {
    std::vector<std::string> names;
    if (!ParseDropFiles(block, names))
        return;
    std::vector<std::string> again;
    FuzzCheck(ParseDropFiles(BuildDropFiles(names), again));
    FuzzCheck(again == names);
}

void checkUriList(std::string_view text) {
    std::vector<std::string> paths = PathsOfUriList(text);
    for (const std::string& path : paths)
        FuzzCheck(path.starts_with('/') && path.find('\0') == std::string::npos);
    FuzzCheck(PathsOfUriList(UriListOfPaths(paths)) == paths);
    std::vector<std::string> copied;
    bool cut = false;
    if (PathsOfCopiedFiles(text, copied, cut)) {
        std::vector<std::string> again;
        bool cutAgain = !cut;
        FuzzCheck(PathsOfCopiedFiles(CopiedFilesOfPaths(copied, cut), again, cutAgain));
        FuzzCheck(again == copied && cutAgain == cut);
    }
}

void checkItemList(std::string_view bytes) {
    size_t size = ValidIdListSize(bytes.data(), bytes.size());
    if (size == 0)
        return;
    auto list = reinterpret_cast<PCItemIDList>(bytes.data());
    FuzzCheck(IdListSize(list) == size);
    TItemPayload payload;
    for (PCItemIDList item = list; !IdListIsEmpty(item); item = NextItem(item))
        if (DecodeItem(item, payload))
            FuzzCheck(payload.Name.data() + payload.Name.size() <= bytes.data() + size);
    std::string name(bytes.substr(0, std::min<size_t>(bytes.size(), 64)));
    FuzzCheck(NameOfDisplayText(DisplayTextOfName(name)) == name);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TFuzzInput input(data, size);
    uint8_t choice = input.Byte();
    std::string rest = input.Rest();
    switch (choice % 5) {
    case 0: checkArray(rest); break;
    case 1: checkDropFiles(rest); break;
    case 2: checkUriList(rest); break;
    case 3: checkItemList(rest); break;
    default: {
        // The same bytes under every format at once, read as a data object.
        auto object = std::make_shared<TMemoryDataObject>();
        object->SetBlock(ShellIdListFormat(), rest);
        object->SetBlock(CF_HDROP, rest);
        std::vector<std::string> paths;
        if (FilePathsOfDataObject(*object, paths))
            for (const std::string& path : paths)
                FuzzCheck(!path.empty());
        DataObjectOfMimeBlocks({{"text/uri-list", rest}, {"x-special/gnome-copied-files", rest}});
        break;
    }
    }
    return 0;
}
