#pragma once
// The preview file "HTMLtmp.htm" that a document window writes beside its
// document for the preview page and the outside browsers, and removes when
// the user returns to the source and when the window goes (the program's
// end included).  The folder may be shared with others: a file or link of
// that name that this window did not make is left alone, and a free name
// beside it ("HTMLtmp-2.htm", ...) taken instead, in the same folder so
// that the page's relative addresses still resolve.  Only the file this
// window made is ever removed.

#include "platform/base/OwnedFile.h"

#include <string>
#include <string_view>

class TPreviewFile {
public:
    TPreviewFile();
    ~TPreviewFile();
    TPreviewFile(const TPreviewFile&) = delete;
    TPreviewFile& operator=(const TPreviewFile&) = delete;

    // The first name tried for the preview file of a document: in the
    // document's folder.
    static std::string PathFor(const std::string& documentFileName);

    // Writes the page beside the document, in a file made anew (the one
    // written before goes first), with the document's permission bits
    // (0600 when they can not be read); raises EFCreateError ("Cannot
    // create file ...") when it can not.
    void Write(const std::string& documentFileName, std::string_view page);
    // Removes the file written last, if it is still the one written.
    void Remove() { file_.Remove(); }
    // The file written and not yet removed ("" when none).
    const std::string& Written() const { return file_.Path(); }

    // Every preview file still there goes.
    static void RemoveAll();

private:
    TOwnedFile file_;
};

// From now on, a signal that ends the program from outside (a logout, a
// kill, Ctrl+C, the terminal gone) removes the preview files first.
void RemovePreviewFilesBeforeEndingSignals();
