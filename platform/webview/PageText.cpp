#include "platform/webview/PageText.h"

#include "platform/base/QtBridge.h"
#include "platform/base/TextCodec.h"
#include "platform/base/Utf8.h"

QString DocumentToPageText(std::string_view document, TTextEncoding encoding) {
    return BytesToQString(document, encoding);
}

std::string PageTextToDocument(const QString& text, TTextEncoding encoding) {
    const char16_t* in = reinterpret_cast<const char16_t*>(text.constData());
    const qsizetype length = text.size();
    std::string document;
    // Most pages are mostly ASCII: one byte per character, and a little
    // room for line breaks and references.
    document.reserve(static_cast<size_t>(length + length / 16));
    qsizetype i = 0;
    while (i < length) {
        // A run of plain ASCII goes over as it is.
        qsizetype end = i;
        while (end < length && in[end] < 0x80 && in[end] != u'\r' && in[end] != u'\n')
            ++end;
        document.append(in + i, in + end);
        i = end;
        if (i == length)
            break;
        char32_t character = in[i++];
        if (character == u'\r' || character == u'\n') {
            // CR LF, lone CR and lone LF are one line break each.
            if (character == u'\r' && i < length && in[i] == u'\n')
                ++i;
            document += "\r\n";
            continue;
        }
        if (QChar::isHighSurrogate(character) && i < length && QChar::isLowSurrogate(in[i])) {
            character = QChar::surrogateToUcs4(static_cast<char16_t>(character), in[i]);
            ++i;
        } else if (QChar::isSurrogate(character)) {
            character = 0xFFFD; // half a pair stands for no character
        }
        if (encoding == teUtf8) {
            AppendUtf8(document, character);
            continue;
        }
        const int byte = UnicodeToAnsiChar(character);
        if (byte >= 0) {
            document += static_cast<char>(byte);
        } else {
            document += "&#";
            document += std::to_string(static_cast<unsigned long>(character));
            document += ';';
        }
    }
    return document;
}
