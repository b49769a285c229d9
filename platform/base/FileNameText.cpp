#include "platform/base/FileNameText.h"

#include "platform/base/HexDigits.h"
#include "platform/base/Utf8.h"

namespace {

bool isUnreservedUriByte(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~' || c == '/';
}

// An escape of display text at text[at]: "\x" and two hexadecimal digits
// of a byte no valid UTF-8 shows alone (0x80 and above), or of the
// backslash itself.  Returns the byte, or -1.
int escapedByteAt(std::string_view text, size_t at) {
    if (at + 4 > text.size() || text[at] != '\\' || text[at + 1] != 'x')
        return -1;
    const int high = HexDigitValue(text[at + 2]);
    const int low = HexDigitValue(text[at + 3]);
    if (high < 0 || low < 0)
        return -1;
    const int byte = high * 16 + low;
    return byte >= 0x80 || byte == '\\' ? byte : -1;
}

void appendEscape(std::string& text, unsigned char byte) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    text += "\\x";
    text += kDigits[byte >> 4];
    text += kDigits[byte & 15];
}

} // namespace

std::string DisplayTextOfName(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        char32_t character;
        const size_t length = Utf8SequenceLength(bytes.substr(i), character);
        if (length == 0) {
            appendEscape(text, static_cast<unsigned char>(bytes[i]));
            ++i;
        } else if (escapedByteAt(bytes, i) >= 0) {
            // A backslash that would read as an escape is escaped itself.
            appendEscape(text, '\\');
            ++i;
        } else {
            text.append(bytes.substr(i, length));
            i += length;
        }
    }
    return text;
}

std::string NameOfDisplayText(std::string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const int byte = escapedByteAt(text, i);
        if (byte >= 0) {
            bytes.push_back(static_cast<char>(byte));
            i += 4;
        } else {
            bytes.push_back(text[i]);
            ++i;
        }
    }
    return bytes;
}

std::string FileUriOfPath(std::string_view path) {
    std::string uri = "file://";
    for (unsigned char c : path) {
        if (isUnreservedUriByte(c)) {
            uri.push_back(static_cast<char>(c));
        } else {
            uri.push_back('%');
            AppendHexByte(uri, c);
        }
    }
    return uri;
}

bool PathOfFileUri(std::string_view uri, std::string& path) {
    constexpr std::string_view scheme = "file:";
    if (uri.size() < scheme.size())
        return false;
    for (size_t i = 0; i < scheme.size(); ++i)
        if ((uri[i] | 0x20) != scheme[i])
            return false;
    std::string_view rest = uri.substr(scheme.size());
    if (rest.starts_with("//")) {
        rest.remove_prefix(2);
        size_t slash = rest.find('/');
        if (slash == std::string_view::npos)
            return false;
        std::string_view host = rest.substr(0, slash);
        if (!host.empty() && host != "localhost")
            return false;
        rest.remove_prefix(slash);
    }
    if (!rest.starts_with('/'))
        return false;
    std::string result;
    result.reserve(rest.size());
    for (size_t i = 0; i < rest.size(); ++i) {
        char c = rest[i];
        if (c == '%') {
            if (rest.size() - i < 3)
                return false;
            int high = HexDigitValue(rest[i + 1]), low = HexDigitValue(rest[i + 2]);
            if (high < 0 || low < 0)
                return false;
            c = static_cast<char>(high * 16 + low);
            i += 2;
        } else if (c == '?' || c == '#') {
            break; // a query or fragment is not part of the path
        }
        if (c == '\0')
            return false;
        result.push_back(c);
    }
    path = std::move(result);
    return true;
}
