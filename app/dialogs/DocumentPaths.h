#pragma once
// Paths of files that a page refers to, as the element dialogs write them.

#include <string>
#include <string_view>

// The path of file as seen from the folder of the document document: the
// steps down from the folder the two share, with one "../" for every
// folder of the document's own that the file does not lie in.  A file in
// the document's folder gives its bare name, one below it "pics/a.gif",
// one in a sibling folder "../pics/a.gif", one elsewhere climbs as far as
// needed.  Both paths are absolute; "." and ".." steps in them are
// resolved by their text.  Separators are "/", as HTML wants them; the
// names between them are written as they are.  A path that is not
// absolute comes back unchanged.
std::string RelativeDocumentPath(std::string_view file, std::string_view document);
