#include "desktop/open_address.h"

#include <QDesktopServices>
#include <QUrl>

#include <optional>

namespace {

// Text with a scheme ("https:", "mailto:"), or a host name that starts with
// "www.". Anything else would be a file name, and files are not opened here.
std::optional<QUrl> AddressFromText(const QString& address)
{
    const QString text = address.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    const QUrl url = text.startsWith(QLatin1String("www."), Qt::CaseInsensitive)
                         ? QUrl(QLatin1String("http://") + text, QUrl::TolerantMode)
                         : QUrl(text, QUrl::TolerantMode);
    // A one-letter scheme is a drive letter ("C:\...").
    if (!url.isValid() || url.scheme().size() < 2)
        return std::nullopt;
    const bool web =
        url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
    if (web && url.host().isEmpty())
        return std::nullopt;
    return url;
}

}  // namespace

TOpenAddressResult OpenAddress(const QString& address)
{
    const std::optional<QUrl> url = AddressFromText(address);
    if (!url)
        return TOpenAddressResult::NotAnAddress;
    return QDesktopServices::openUrl(*url) ? TOpenAddressResult::Opened
                                           : TOpenAddressResult::Refused;
}
