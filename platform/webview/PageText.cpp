#include "platform/webview/PageText.h"

#include "platform/base/TextCodec.h"

QString DocumentToPageText(std::string_view document) {
    return AnsiToQString(document);
}

std::string PageTextToDocument(const QString& text) {
    std::string document;
    document.reserve(static_cast<size_t>(text.size()) + text.size() / 16);
    const qsizetype length = text.size();
    for (qsizetype i = 0; i < length; ++i) {
        char32_t character = text[i].unicode();
        if (character == u'\r' || character == u'\n') {
            // CR LF, lone CR and lone LF are one line break each.
            if (character == u'\r' && i + 1 < length && text[i + 1] == u'\n') {
                ++i;
            }
            document += "\r\n";
            continue;
        }
        if (QChar::isHighSurrogate(character) && i + 1 < length && text[i + 1].isLowSurrogate()) {
            character = QChar::surrogateToUcs4(text[i].unicode(), text[i + 1].unicode());
            ++i;
        } else if (QChar::isSurrogate(character)) {
            character = 0xFFFD; // half a pair stands for no character
        }
        const int byte = UnicodeToAnsiChar(character);
        if (byte >= 0) {
            document += static_cast<char>(byte);
        } else {
            document += "&#" + std::to_string(static_cast<unsigned long>(character)) + ';';
        }
    }
    return document;
}
