#pragma once
// Files the program names itself and puts beside a user's files: a preview
// copy of a page, the scripts of a drop-down menu.  In a folder others may
// write to, such a name may already be taken by a symbolic link planted to
// make the program write into another file, or by a file of the user's own
// that merely has that name; neither must ever be written through or lost.

#include <cstdint>
#include <string>
#include <string_view>

// A file made by this object and known by its identity (device, inode,
// the inode's generation and the time of its last change):
// it is created exclusively, never through a symbolic link, and never over
// anything already there, which is left alone while the next free name of
// the series "stem.ext", "stem-2.ext", "stem-3.ext", ... in the same folder
// is taken instead, so that the copy's relative addresses still resolve.
// Only the file made is ever removed, and only while its name still holds
// it; the destructor removes it too.
class TOwnedFile {
public:
    TOwnedFile() = default;
    ~TOwnedFile() { Remove(); }
    TOwnedFile(const TOwnedFile&) = delete;
    TOwnedFile& operator=(const TOwnedFile&) = delete;

    // Removes the file made before (if still ours), then makes folder/name
    // or the first free name of its series with the permission bits mode
    // (given before any byte is written; the owner may always read it)
    // holding data.  Raises
    // EFCreateError when no file can be made or written whole, leaving
    // nothing behind.
    void Create(const std::string& folder, const std::string& name, std::string_view data, unsigned mode);
    // Removes the file made, when its name still holds that very file;
    // whatever else stands there is left alone.  Errors are ignored.
    void Remove();
    // The file made and not yet removed ("" when none).
    const std::string& Path() const { return path_; }

    struct TIdentity {
        uint64_t Device = 0;
        uint64_t Inode = 0;
        uint64_t Generation = 0;
        int64_t ChangeSeconds = 0;
        int64_t ChangeNanoseconds = 0;
        bool operator==(const TIdentity&) const = default;
    };

private:
    std::string path_;
    TIdentity identity_;
};

// The names tried in turn for name: "stem.ext", then "stem-2.ext", ...
std::string OwnedFileCandidate(const std::string& name, int attempt);

// Writes a file of a fixed name that the program writes again each time
// (its old contents are meant to go), never through a symbolic link: a
// link, or anything but a plain file, at that name raises EFCreateError
// with a message that says so, and nothing is written.  The new contents
// go to a file created exclusively beside it, which then replaces the name
// by a rename, so that a link planted meanwhile is replaced, never
// followed.  A file already there keeps its permission bits.
void WriteFileNotThroughLink(const std::string& fileName, std::string_view data);
// Raises the EFCreateError of WriteFileNotThroughLink when fileName is a
// link or not a plain file; a missing file is fine.
void CheckNotALink(const std::string& fileName);

// What a fixed name holds before the program writes data there: nothing,
// those very bytes (nothing need be written), or a plain file with other
// bytes, which is the user's and is replaced only when the user says so.
// A link or anything but a plain file raises CheckNotALink's
// EFCreateError; a file that can not be read raises EFOpenError.
enum TPlannedFile { pfFree, pfSame, pfDifferent };
TPlannedFile ExaminePlannedFile(const std::string& fileName, std::string_view data);
