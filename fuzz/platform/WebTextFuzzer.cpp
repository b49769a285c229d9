// Fuzz entry point for what crosses into and out of the web engine: the
// page text of a document and back, and web addresses.  The first byte
// chooses:
//
// - A document: its page text comes back as the same bytes, every line
//   break (CR LF, lone CR, lone LF) as CR LF.
// - Page text as the engine may give it (UTF-16 code units from the
//   input, broken surrogate pairs too): the document made of it is plain
//   bytes that go to the engine and back unchanged.
// - A web address: a local path (bare or after "file://") names that very
//   file, whatever it holds; any other address gives a URL or none, and
//   one a browser is given is absolute and valid or refused with the web
//   view's own error.

#include "fuzz/FuzzInput.h"
#include "platform/gfx/Clipboard.h"
#include "platform/webview/DesignView.h"
#include "platform/webview/PageText.h"
#include "platform/webview/WebAddress.h"

#include <QFile>
#include <QString>
#include <QUrl>

#include <cstdint>
#include <string>
#include <string_view>

namespace {

// Every line break as CR LF: the clipboard's conversion, written apart
// from the page text's, says what it must be.
std::string WithCRLF(std::string_view text) { return FromClipboardLineBreaks(text); }

void FuzzDocument(TFuzzInput& input) {
    const std::string document = input.Rest();
    const QString page = DocumentToPageText(document);
    FuzzCheck(page.size() == static_cast<qsizetype>(document.size()));
    FuzzCheck(PageTextToDocument(page) == WithCRLF(document));
}

void FuzzPageText(TFuzzInput& input) {
    const std::string bytes = input.Rest();
    QString page;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        page += QChar(static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) | static_cast<uint8_t>(bytes[i + 1]) << 8));
    const std::string document = PageTextToDocument(page);
    FuzzCheck(document == WithCRLF(document));
    FuzzCheck(PageTextToDocument(DocumentToPageText(document)) == document);
    // A page without line breaks, references or characters beyond the code
    // page is one byte per character.
    if (!page.contains(QChar(u'\r')) && !page.contains(QChar(u'\n')) && document.find("&#") == std::string::npos)
        FuzzCheck(static_cast<qsizetype>(document.size()) == page.size());
}

// Two spellings of one path name the same file when they differ only in
// repeated slashes ("///a" is "/a").
std::string WithSingleSlashes(std::string_view path) {
    std::string out;
    for (char c : path)
        if (c != '/' || out.empty() || out.back() != '/')
            out += c;
    return out;
}

bool SameFile(std::string_view a, std::string_view b) { return WithSingleSlashes(a) == WithSingleSlashes(b); }

bool ValidUtf8(std::string_view text) {
    const QString decoded = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    return decoded.toUtf8() == QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

void FuzzAddress(TFuzzInput& input) {
    const std::string address = input.Rest();
    const QUrl url = WebAddressToUrl(address);
    std::string_view path = address;
    if (path.size() >= 7 && QString::fromLatin1(path.data(), 7).compare(u"file://", Qt::CaseInsensitive) == 0)
        path.remove_prefix(7);
    // A local path, in bytes a file name may hold, names that very file.
    if (path.starts_with('/') && path.find('\0') == std::string_view::npos && ValidUtf8(path)) {
        FuzzCheck(url.isValid() && url.isLocalFile());
        const QByteArray named = QFile::encodeName(url.toLocalFile());
        FuzzCheck(SameFile(named.toStdString(), path));
    }
    try {
        const QUrl loaded = RequireWebAddress(address);
        FuzzCheck(loaded.isValid() && !loaded.isRelative());
    } catch (const EWebViewError&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TFuzzInput input(data, size);
    RunChosenEntry(input, {FuzzDocument, FuzzPageText, FuzzAddress});
    return 0;
}
