#pragma once
// The tag attribute file "data/ondrill.dat" beside the program: an INI file
// with one section per HTML tag, named by the tag in upper case, holding
// the count "Nombre" and the names "Attribut1" .. "AttributN".  The file
// comes with the program and is only read; the completion lists and the
// tag inspector take the attributes of a tag from it.

#include <string>
#include <vector>

// The full path of the file.
std::string TagAttributeFileName();

// No tag lists more attributes than this; a larger count in a damaged
// file is cut there instead of running on.
inline constexpr int kMaxListedAttributes = 1024;

// The names listed for a tag, in the file's order ("Attribut1" first).
// The count is "Nombre" of the tag's section (ignoring case); a missing
// file, section or count, or a count below 1, lists nothing.  A name the
// section lacks is listed empty, as the count says there is one.
std::vector<std::string> ListedAttributes(const std::string& tag);
