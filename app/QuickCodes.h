#pragma once
// Quick codes: pieces of source text saved under a name, each a pair of
// files in the folder "oqc" beside the program: NAME.oqc holds the
// description (what the list shows), NAME.oqs the code.  The two names
// differ in their last character only ("c" and "s"), whatever the case of
// the rest ("Menu.OQC" pairs with "Menu.OQs").

#include "platform/base/Exceptions.h"

#include <string>
#include <vector>

// Raised for a name that can not make a quick code.
class EQuickCodeError : public Exception {
public:
    using Exception::Exception;
};

// The folder, with a trailing "/".
std::string QuickCodeFolder();
// Creates the folder when it is missing (false when it can not be made).
bool EnsureQuickCodeFolder();

// The code file of a description file, and the other way round (the last
// character replaced).
std::string CodeFileNameOf(const std::string& descriptionFileName);
std::string DescriptionFileNameOf(const std::string& codeFileName);

// Raises EQuickCodeError when a name can not name a quick code: empty,
// holding "/", "\", ".." or a NUL byte, or starting with "." (a hidden
// file, which the list does not show).
void CheckQuickCodeName(const std::string& name);

// The files of a quick code of that name already there that a new code
// and description would change: a file holding other bytes is the user's
// and is replaced only when the user agrees.  Raises EQuickCodeError for a
// refused name, and EFCreateError for a file of the pair that is a link or
// not a plain file (a quick code is never written through a link).
std::vector<std::string> QuickCodeFilesReplaced(const std::string& name, const std::string& code,
                                                const std::string& description);

// Writes NAME.oqs with the code and NAME.oqc with the description, both or
// neither: when the second file can not be written the first is put back
// as it was.  A file that holds its new bytes already is left as it is;
// another existing file of the pair is replaced (ask first, see
// QuickCodeFilesReplaced).  Raises EQuickCodeError for a refused name and
// EFCreateError for a file that is a link or not a plain file (nothing is
// written then) or that can not be written.
void CreateQuickCode(const std::string& name, const std::string& code, const std::string& description);

// A quick-code file's text as the program's (UTF-8) with every line
// break as CR LF (EFOpenError when it can not be read).  Quick codes are
// written in UTF-8; a file that is not valid UTF-8 was written in the code
// page and is read so.
std::string ReadQuickCodeFile(const std::string& fileName);
// What the pane shows for a description: "Description:", two empty lines,
// then the text.
std::string DescriptionForDisplay(const std::string& description);

// Text with every line break (CR LF, a lone LF, a lone CR) as CR LF.
std::string WithCrLfBreaks(const std::string& text);
