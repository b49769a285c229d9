#include "platform/webview/WebAddress.h"

#include "platform/base/TextCodec.h"
#include "platform/webview/DesignView.h"

#include <QFile>

namespace {

constexpr std::string_view kFilePrefix = "file://";

QUrl localFile(std::string_view path) {
    return QUrl::fromLocalFile(
        QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size()))));
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

QUrl RequireWebAddress(std::string_view address) {
    QUrl url = WebAddressToUrl(address);
    if (!url.isValid() || url.isRelative())
        throw EWebViewError(FormatMessageText("\"%.*s\" is not a valid address",
                                              static_cast<int>(address.size()), address.data()));
    return url;
}
