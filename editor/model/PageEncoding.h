#pragma once
// The encoding a page is read in.  A charset the page declares in its
// first 1,024 bytes (<meta charset> or an http-equiv Content-Type) decides
// when it names UTF-8 or a single-byte Latin code page; otherwise the page
// is UTF-8 when its bytes are valid UTF-8, else the 8-bit code page.

#include "platform/base/TextCodec.h"

#include <optional>
#include <string_view>

// The charset named in a <meta> tag of the page's head, as written.
std::optional<std::string_view> DeclaredCharset(std::string_view page);
TTextEncoding DetectPageEncoding(std::string_view page);
