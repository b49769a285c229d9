#include "shell/ShellColumns.h"

#include "platform/base/Registry.h"
#include "platform/base/Stream.h"
#include "shell/ShellConsts.h"

#include <algorithm>

namespace {

struct TMemory {
    std::string Widths;          // count, widths
    std::string ExplorerValue;   // the registry value read last
    bool ExplorerValueRead = false;
};

TMemory& memory() {
    static TMemory instance;
    return instance;
}

// The registry value, or the defaults' own 10-byte form when it is missing
// or too long.
std::string explorerValue(bool& found) {
    found = false;
    try {
        TRegistry registry(HKEY_CURRENT_USER);
        if (!registry.OpenKeyReadOnly(DirectoryColsKey) || registry.GetDataType(DirectoryColsValue) != rdBinary)
            return {};
        int size = registry.GetDataSize(DirectoryColsValue);
        if (size < 0 || size > 22)
            return {};
        std::string value(static_cast<size_t>(size), '\0');
        registry.ReadBinaryData(DirectoryColsValue, value.data(), size);
        found = true;
        return value;
    } catch (const Exception&) {
        return {};
    }
}

} // namespace

void TPTColumnMemory::Save(const std::vector<int>& widths) {
    std::string block;
    AppendLittleEndian(block, static_cast<int32_t>(widths.size()));
    for (int width : widths)
        AppendLittleEndian(block, static_cast<int32_t>(width));
    memory().Widths = std::move(block);
}

bool TPTColumnMemory::Empty() { return memory().Widths.empty(); }

const std::string& TPTColumnMemory::Block() { return memory().Widths; }

void TPTColumnMemory::Apply(std::vector<TPTColumnSpec>& columns) {
    const std::string& block = memory().Widths;
    if (block.size() < 4)
        return;
    size_t count = static_cast<size_t>(std::max(0, LoadLittleEndian<int32_t>(block.data())));
    count = std::min(count, columns.size());
    for (size_t i = 0; i < count && 4 + 4 * (i + 1) <= block.size(); ++i)
        columns[i].Width = LoadLittleEndian<int32_t>(block.data() + 4 + 4 * i);
}

void TPTColumnMemory::Reset() { memory() = TMemory{}; }

std::vector<TPTColumnSpec> StandardColumns() {
    std::vector<TPTColumnSpec> columns = {
        {LoadResString(SColumnName), StandardColumnWidths[0], 0},
        {LoadResString(SColumnSize), StandardColumnWidths[1], 1},
        {LoadResString(SColumnType), StandardColumnWidths[2], 0},
        {LoadResString(SColumnModified), StandardColumnWidths[3], 0},
    };
    bool found = false;
    std::string value = explorerValue(found);
    if (found)
        for (size_t i = 0; i < 4 && 2 * (i + 1) <= value.size(); ++i)
            columns[i].Width = LoadLittleEndian<uint16_t>(value.data() + 2 * i);
    if (!found) {
        // The defaults stand for themselves as a 10-byte value.
        value.clear();
        for (int width : StandardColumnWidths)
            AppendLittleEndian(value, static_cast<uint16_t>(width));
        value.append(2, '\0');
    }
    TMemory& remembered = memory();
    if (remembered.ExplorerValueRead && remembered.ExplorerValue == value && !TPTColumnMemory::Empty())
        TPTColumnMemory::Apply(columns);
    remembered.ExplorerValue = value;
    remembered.ExplorerValueRead = true;
    return columns;
}

std::vector<TPTColumnSpec> ProviderColumns(TShellDetailsProvider& provider, bool fileSystemFolder) {
    std::vector<TPTColumnSpec> columns;
    for (unsigned column = 0;; ++column) {
        TShellDetails details;
        if (FAILED(provider.GetDetailsOf(nullptr, column, details)))
            break;
        columns.push_back({details.Text, details.CharacterWidth * 7, details.Format});
    }
    if (fileSystemFolder)
        TPTColumnMemory::Apply(columns);
    return columns;
}
