#include "app/PreviewFile.h"

#include "platform/ui/EndingSignals.h"

#include <set>
#include <sys/stat.h>

namespace {

constexpr const char* kPreviewName = "HTMLtmp.htm";

// The preview files of the document windows there are.
std::set<TPreviewFile*>& previewFiles() {
    static std::set<TPreviewFile*> files;
    return files;
}

std::string folderOf(const std::string& documentFileName) {
    const size_t slash = documentFileName.find_last_of('/');
    return slash == std::string::npos ? std::string() : documentFileName.substr(0, slash + 1);
}

} // namespace

TPreviewFile::TPreviewFile() { previewFiles().insert(this); }

TPreviewFile::~TPreviewFile() { previewFiles().erase(this); }

void TPreviewFile::RemoveAll() {
    for (TPreviewFile* file : previewFiles())
        file->Remove();
}

void RemovePreviewFilesBeforeEndingSignals() { CleanUpBeforeEndingSignals([] { TPreviewFile::RemoveAll(); }); }

std::string TPreviewFile::PathFor(const std::string& documentFileName) {
    return folderOf(documentFileName) + kPreviewName;
}

void TPreviewFile::Write(const std::string& documentFileName, std::string_view page) {
    // The copy is as private as the page it copies.
    struct stat document {};
    const unsigned mode = ::stat(documentFileName.c_str(), &document) == 0 ? document.st_mode & 0777 : 0600;
    file_.Create(folderOf(documentFileName), kPreviewName, page, mode);
}
