#include "desktop/starter.h"

#include <QDesktopServices>
#include <QUrl>

#include <optional>

namespace {

// What the shell would take for an address: text with a scheme ("https:",
// "mailto:"), or a host name that starts with "www.". Anything else would be
// a file name to the shell, and files are not opened here.
std::optional<QUrl> AddressFromCommand(const QString& command)
{
    const QString text = command.trimmed();
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

TStarter::TStarter(QObject* parent) : QObject(parent) { }

void TStarter::Execute()
{
    const std::optional<QUrl> address = AddressFromCommand(m_command);
    if (!address) {
        m_lastError = SE_ERR_FNF;
        return;
    }
    if (m_startOperation != smOpen || !QDesktopServices::openUrl(*address))
        m_lastError = SE_ERR_NOASSOC;
}
