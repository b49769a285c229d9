#include "platform/shellns/ShellDataFormats.h"

#include "platform/base/Stream.h"
#include "platform/shellns/FileNames.h"

#include <cstdint>

namespace {

constexpr std::string_view kEmptyList("\0\0", 2);

std::string_view bytesOf(PCItemIDList list) {
    return list == nullptr ? kEmptyList : IdListView(list);
}

// The list at offset, if one lies wholly inside the block.
PCItemIDList listAt(std::string_view block, uint32_t offset) {
    if (offset >= block.size())
        return nullptr;
    if (ValidIdListSize(block.data() + offset, block.size() - offset) == 0)
        return nullptr;
    return reinterpret_cast<PCItemIDList>(block.data() + offset);
}

std::vector<std::string_view> lines(std::string_view text) {
    std::vector<std::string_view> result;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = text.size();
        result.push_back(text.substr(start, end - start));
        start = end + 1;
        if (end < text.size() && text[end] == '\r' && start < text.size() && text[start] == '\n')
            ++start;
    }
    return result;
}

std::string_view trimmed(std::string_view line) {
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
        line.remove_prefix(1);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\0'))
        line.remove_suffix(1);
    return line;
}


} // namespace

std::string BuildIdListArray(PCItemIDList parent, const std::vector<PCItemIDList>& items) {
    std::string block;
    size_t headerSize = 8 + 4 * items.size();
    AppendLittleEndian<uint32_t>(block, static_cast<uint32_t>(items.size()));
    size_t offset = headerSize;
    AppendLittleEndian<uint32_t>(block, static_cast<uint32_t>(offset));
    offset += bytesOf(parent).size();
    for (PCItemIDList item : items) {
        AppendLittleEndian<uint32_t>(block, static_cast<uint32_t>(offset));
        offset += bytesOf(item).size();
    }
    block.append(bytesOf(parent));
    for (PCItemIDList item : items)
        block.append(bytesOf(item));
    return block;
}

bool ParseIdListArray(std::string_view block, TIdListArrayView& view) {
    view = {};
    if (block.size() < 8)
        return false;
    uint32_t count = LoadLittleEndian<uint32_t>(block.data());
    if (count > (block.size() - 8) / 4)
        return false;
    TIdListArrayView result;
    result.Parent = listAt(block, LoadLittleEndian<uint32_t>(block.data() + 4));
    if (result.Parent == nullptr)
        return false;
    result.Items.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        PCItemIDList item = listAt(block, LoadLittleEndian<uint32_t>(block.data() + 8 + 4 * i));
        if (item == nullptr)
            return false;
        result.Items.push_back(item);
    }
    view = std::move(result);
    return true;
}

std::string BuildDropFiles(const std::vector<std::string>& names) {
    std::string block;
    AppendLittleEndian<uint32_t>(block, 20);
    for (int i = 0; i < 4; ++i)
        AppendLittleEndian<uint32_t>(block, 0);
    for (const std::string& name : names) {
        block.append(name);
        block.push_back('\0');
    }
    block.push_back('\0');
    return block;
}

bool ParseDropFiles(std::string_view block, std::vector<std::string>& names) {
    names.clear();
    if (block.size() < 20)
        return false;
    uint32_t offset = LoadLittleEndian<uint32_t>(block.data());
    bool wide = LoadLittleEndian<uint32_t>(block.data() + 16) != 0;
    if (offset < 20 || offset >= block.size())
        return false;
    std::vector<std::string> result;
    if (!wide) {
        size_t at = offset;
        while (true) {
            size_t end = block.find('\0', at);
            if (end == std::string_view::npos)
                return false;
            if (end == at)
                break;
            result.emplace_back(block.substr(at, end - at));
            at = end + 1;
        }
    } else {
        size_t at = offset;
        std::string name;
        while (true) {
            if (block.size() - at < 2)
                return false;
            uint32_t unit = LoadLittleEndian<uint16_t>(block.data() + at);
            at += 2;
            if (unit == 0) {
                if (name.empty())
                    break;
                result.push_back(std::move(name));
                name.clear();
                continue;
            }
            if (unit >= 0xD800 && unit <= 0xDBFF && block.size() - at >= 2) {
                uint32_t low = LoadLittleEndian<uint16_t>(block.data() + at);
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    at += 2;
                    unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                }
            }
            if (unit >= 0xD800 && unit <= 0xDFFF)
                unit = 0xFFFD;
            AppendUtf8(name, unit);
        }
    }
    names = std::move(result);
    return true;
}

std::string BuildTextBlock(std::string_view text) {
    std::string block(text);
    block.push_back('\0');
    return block;
}

std::string TextOfBlock(std::string_view block) {
    size_t end = block.find('\0');
    return std::string(end == std::string_view::npos ? block : block.substr(0, end));
}

std::string UriListOfPaths(const std::vector<std::string>& paths) {
    std::string list;
    for (const std::string& path : paths) {
        list += FileUriOfPath(path);
        list += "\r\n";
    }
    return list;
}

std::vector<std::string> PathsOfUriList(std::string_view uriList) {
    std::vector<std::string> paths;
    for (std::string_view line : lines(uriList)) {
        line = trimmed(line);
        if (line.empty() || line.front() == '#')
            continue;
        std::string path;
        if (PathOfFileUri(line, path))
            paths.push_back(std::move(path));
    }
    return paths;
}

std::string CopiedFilesOfPaths(const std::vector<std::string>& paths, bool cut) {
    std::string text = cut ? "cut" : "copy";
    for (const std::string& path : paths) {
        text += '\n';
        text += FileUriOfPath(path);
    }
    return text;
}

bool PathsOfCopiedFiles(std::string_view text, std::vector<std::string>& paths, bool& cut) {
    paths.clear();
    std::vector<std::string_view> all = lines(text);
    if (all.empty())
        return false;
    std::string_view action = trimmed(all.front());
    if (action != "copy" && action != "cut")
        return false;
    cut = action == "cut";
    for (size_t i = 1; i < all.size(); ++i) {
        std::string path;
        if (PathOfFileUri(trimmed(all[i]), path))
            paths.push_back(std::move(path));
    }
    return true;
}

std::string BuildDropEffectBlock(uint32_t effect) {
    std::string block;
    AppendLittleEndian<uint32_t>(block, effect);
    return block;
}

bool ParseDropEffectBlock(std::string_view block, uint32_t& effect) {
    if (block.size() < 4)
        return false;
    effect = LoadLittleEndian<uint32_t>(block.data());
    return true;
}
