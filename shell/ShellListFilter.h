#pragma once
// The file masks of a shell list: a ";"-separated list ("*.htm;*.html")
// of masks in which "*" stands for any run of characters and "?" for any
// one character (a UTF-8 sequence counts as one); letters match without
// regard to ASCII case.  A mask ending in ".*" also takes names without
// an extension, so "*.*" takes every name.

#include <string>
#include <string_view>
#include <vector>

// The masks of a filter: cut at each ";", empty pieces left out, blanks
// kept.
std::vector<std::string> SplitFileFilter(std::string_view filter);
// Empty, "*" and "*.*" show every item.
bool FilterShowsAll(std::string_view filter);
bool MatchesMask(std::string_view name, std::string_view mask);
bool MatchesAnyMask(std::string_view name, const std::vector<std::string>& masks);
