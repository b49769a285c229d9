#pragma once
// The preview file "HTMLtmp.htm" that a document window writes beside its
// document for the preview page, and removes when the user returns to the
// source.  Only a file this window wrote is ever removed.

#include <string>
#include <string_view>

class TPreviewFile {
public:
    // The preview file of a document: in the document's folder.
    static std::string PathFor(const std::string& documentFileName);

    // Writes the page beside the document; raises EFCreateError ("Cannot
    // create file ...") when it can not.
    void Write(const std::string& documentFileName, std::string_view page);
    // Removes the file written last, if any, ignoring every error.
    void Remove();
    // The file written and not yet removed ("" when none).
    const std::string& Written() const { return written_; }

private:
    std::string written_;
};
