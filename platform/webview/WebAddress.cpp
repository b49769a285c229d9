#include "platform/webview/WebAddress.h"

#include "platform/base/TextCodec.h"
#include "platform/webview/DesignView.h"

namespace {

constexpr std::string_view kFilePrefix = "file://";

QUrl localFile(std::string_view path) {
    // Slashes in front of the first name are the root, as the system reads
    // them; two of them would make the URL's host of the first name, three
    // or more an empty address.
    while (path.size() > 1 && path[1] == '/')
        path.remove_prefix(1);
    // The path's own bytes, escaped: a name that is not UTF-8 stays the
    // file it names (the engine reads an escaped byte back as that byte).
    const QByteArray bytes(path.data(), static_cast<qsizetype>(path.size()));
    return QUrl::fromEncoded("file://" + bytes.toPercentEncoding("/"), QUrl::StrictMode);
}

} // namespace

QUrl WebAddressToUrl(std::string_view address) {
    if (address.empty())
        return {};
    if (address.front() == '/')
        return localFile(address);
    if (SameText(address.substr(0, kFilePrefix.size()), kFilePrefix)) {
        const std::string_view rest = address.substr(kFilePrefix.size());
        if (rest.empty())
            return {};
        if (rest.front() == '/')
            return localFile(rest);
    }
    return QUrl(QString::fromUtf8(address.data(), static_cast<qsizetype>(address.size())),
                QUrl::TolerantMode);
}

std::string LocalPathOfUrl(const QUrl& url) {
    return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
}

QUrl RequireWebAddress(std::string_view address) {
    QUrl url = WebAddressToUrl(address);
    if (!url.isValid() || url.isRelative())
        throw EWebViewError(FormatMessageText("\"%.*s\" is not a valid address",
                                              static_cast<int>(address.size()), address.data()));
    return url;
}
