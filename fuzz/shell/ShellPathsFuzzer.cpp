// Fuzz entry point for the files the shell controls learn the system's
// folders from: the mount table and the user-dirs file.  The first byte
// chooses:
//
// - A mount table: the mounts read have absolute, distinct mount points,
//   one of them the root; written back as the kernel writes mountinfo
//   (octal escapes), they read the same.  Every path lies in the mount
//   found for it.
// - A user-dirs file as it comes: the desktop is an absolute path that is
//   not the home folder.
// - A desktop path from the input, written into the user-dirs file as the
//   desktop's own tool writes it (quoted, "$HOME/" for a folder in home,
//   backslash before '"', '\', '$' and '`'), among other lines: it reads
//   back as that path.

#include "fuzz/FuzzFiles.h"
#include "fuzz/FuzzInput.h"
#include "platform/shellns/FileNames.h"
#include "platform/shellns/MountTable.h"
#include "platform/shellns/SpecialFolders.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

namespace {

// A field as mountinfo writes it: blank, tab, line break and backslash in
// octal, and a lone "-" too, so that it is not taken for the separator.
std::string MountField(std::string_view text) {
    if (text == "-")
        return "\\055";
    std::string out;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\\') {
            const auto byte = static_cast<unsigned char>(c);
            out += '\\';
            out += static_cast<char>('0' + (byte >> 6));
            out += static_cast<char>('0' + ((byte >> 3) & 7));
            out += static_cast<char>('0' + (byte & 7));
        } else {
            out += c;
        }
    }
    return out;
}

void FuzzMountTable(TFuzzInput& input) {
    const std::string probe = input.Bytes(input.Byte() % 64);
    const std::string text = input.Rest();
    const std::vector<TMountEntry> mounts = ParseMountInfo(text);
    std::set<std::string> points;
    std::string written;
    for (const TMountEntry& mount : mounts) {
        FuzzCheck(mount.MountPoint.starts_with('/'));
        FuzzCheck(points.insert(mount.MountPoint).second);
        if (mount.FileSystem.empty()) {
            // The root the table lacked, put in by the reader.
            FuzzCheck(mount.MountPoint == "/" && mount.DriveType == DRIVE_FIXED);
            continue;
        }
        written += "36 35 98:0 / ";
        written += MountField(mount.MountPoint);
        written += " rw,noatime master:1 - ";
        written += MountField(mount.FileSystem);
        written += ' ';
        written += MountField(mount.Source);
        written += " rw\n";
    }
    FuzzCheck(points.count("/") == 1);
    FuzzCheck(ParseMountInfo(written) == mounts);

    // Through the table in a file, as the controls read it.
    const std::string file = FuzzScratchFolder() + "/mountinfo";
    WriteFuzzFile(file, text);
    SetMountInfoPath(file);
    std::string path(1, '/');
    path += probe;
    const TMountEntry& mount = MountOfPath(path);
    FuzzCheck(PathIsWithin(path, mount.MountPoint) || mount.MountPoint == "/");
    FuzzCheck(DriveTypeOfMountPoint(mount.MountPoint) == mount.DriveType);
    SetMountInfoPath({});
}

const std::string& Home() {
    static const std::string home = [] {
        const std::string folder = FuzzScratchFolder() + "/home";
        ::setenv("HOME", folder.c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (folder + "/.config").c_str(), 1);
        return folder;
    }();
    return home;
}

std::string UserDirsFile() { return Home() + "/.config/user-dirs.dirs"; }

void FuzzUserDirs(TFuzzInput& input) {
    WriteFuzzFile(UserDirsFile(), input.Rest());
    const std::string desktop = DesktopFolderPath();
    FuzzCheck(desktop.starts_with('/'));
    FuzzCheck(desktop.find('\0') == std::string::npos);
    std::string_view folder = desktop;
    while (folder.size() > 1 && folder.back() == '/')
        folder.remove_suffix(1);
    FuzzCheck(folder != Home());
}

// The value as the desktop's tool quotes it for the shell: the "$HOME"
// that starts it stays as it is.
std::string Quoted(std::string_view start, std::string_view path) {
    std::string out(1, '"');
    out += start;
    for (char c : path) {
        if (c == '"' || c == '\\' || c == '$' || c == '`')
            out += '\\';
        out += c;
    }
    out += '"';
    return out;
}

void FuzzWrittenDesktop(TFuzzInput& input) {
    const bool inHome = (input.Byte() & 1) != 0;
    const std::string before = input.Bytes(input.Byte() % 64);
    std::string name = input.Rest();
    // A path a folder can have: no NUL, no line break (one line a value).
    std::erase_if(name, [](char c) { return c == '\0' || c == '\n' || c == '\r'; });
    if (name.empty())
        name = "Desktop";
    std::string lines = "# written by the desktop's tool\n";
    // Lines that are no desktop entry, from the input.
    for (std::string_view rest = before; !rest.empty();) {
        const size_t end = std::min(rest.find('\n'), rest.size());
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(std::min(end + 1, rest.size()));
        if (line.find("XDG_DESKTOP_DIR") != std::string_view::npos)
            continue;
        lines += line;
        lines += '\n';
    }
    // Appended, not concatenated: GCC 12 warns falsely (-Wrestrict) about
    // inlined concatenations that start with a literal.
    std::string path = inHome ? Home() : std::string();
    path += '/';
    path += name;
    lines += "XDG_DESKTOP_DIR=";
    lines += inHome ? Quoted("$HOME/", name) : Quoted("", path);
    lines += "\nXDG_MUSIC_DIR=\"$HOME/Music\"\n";
    WriteFuzzFile(UserDirsFile(), lines);
    std::string_view folder = path;
    while (folder.size() > 1 && folder.back() == '/')
        folder.remove_suffix(1);
    if (folder != Home())
        FuzzCheck(DesktopFolderPath() == path);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TFuzzInput input(data, size);
    RunChosenEntry(input, {FuzzMountTable, FuzzUserDirs, FuzzWrittenDesktop});
    return 0;
}
