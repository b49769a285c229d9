#pragma once
// The columns of a shell list: those a folder describes itself (through its
// column provider) or the four standard ones, and the column widths the
// program remembers from one list to the next: every shell list of the
// process shares one memory of the widths saved last (when a list refills
// or closes), which the next list of a file-system folder starts with.

#include "platform/shellns/ShellFolder.h"

#include <string>
#include <vector>

struct TPTColumnSpec {
    std::string Caption;
    int Width = 0;
    int Format = 0; // 0 left, 1 right, 2 centre
    friend bool operator==(const TPTColumnSpec&, const TPTColumnSpec&) = default;
};

// The standard columns' default widths.
constexpr int StandardColumnWidths[4] = {200, 60, 100, 120};

// The registry value whose first four 16-bit words, when it exists and is
// at most 22 bytes, replace the standard widths.
constexpr const char* DirectoryColsKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
constexpr const char* DirectoryColsValue = "DirectoryCols";

class TPTColumnMemory {
public:
    // Saves widths (as a count and 4-byte little-endian widths).
    static void Save(const std::vector<int>& widths);
    static bool Empty();
    // Puts the saved widths on the first columns (as many as were saved).
    static void Apply(std::vector<TPTColumnSpec>& columns);
    // The saved block: count, then the widths.
    static const std::string& Block();
    // Forgets everything (a new process, or the next test).
    static void Reset();
};

// The four standard columns: "Name", "Size" (right-aligned), "Type",
// "Modified", with the registry value's widths or the defaults, or the
// saved widths when the registry value is the one read last time.
std::vector<TPTColumnSpec> StandardColumns();
// A provider's columns, from column 0 until the first it does not
// describe: caption, alignment, and 7 pixels per character; the saved
// widths for a folder with a file-system path.
std::vector<TPTColumnSpec> ProviderColumns(TShellDetailsProvider& provider, bool fileSystemFolder);
