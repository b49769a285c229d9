#include "app/PreviewFile.h"

#include "platform/base/SafeFile.h"

#include <cstdio>

std::string TPreviewFile::PathFor(const std::string& documentFileName) {
    size_t slash = documentFileName.find_last_of('/');
    std::string folder = slash == std::string::npos ? std::string() : documentFileName.substr(0, slash + 1);
    return folder + "HTMLtmp.htm";
}

void TPreviewFile::Write(const std::string& documentFileName, std::string_view page) {
    std::string path = PathFor(documentFileName);
    WriteFileReplacing(path, page);
    written_ = std::move(path);
}

void TPreviewFile::Remove() {
    if (written_.empty())
        return;
    std::remove(written_.c_str());
    written_.clear();
}
