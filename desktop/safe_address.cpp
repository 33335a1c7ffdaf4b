#include "desktop/safe_address.h"

#include <QUrl>

namespace {

// Blanks of any kind, control characters, and the invisible format
// characters (direction overrides, zero-width marks) that can make an
// address look like another.
bool IsForbiddenCharacter(QChar c)
{
    const QChar::Category category = c.category();
    return c.isSpace() || category == QChar::Other_Control || category == QChar::Other_Format;
}

}  // namespace

bool IsSafeCatalogueAddress(const QString& address, QUrl* normalised)
{
    if (address.isEmpty() || address.size() > MaxCatalogueAddressLength)
        return false;
    for (const QChar c : address) {
        if (IsForbiddenCharacter(c))
            return false;
    }
    const QUrl url(address, QUrl::TolerantMode);
    if (!url.isValid() || url.isRelative())
        return false;
    if (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https"))
        return false;
    // An "@" in the authority, even with nothing before it, is refused:
    // "https://trusted@other/" reads as the first host but opens the second.
    if (url.host().isEmpty() || url.authority(QUrl::FullyEncoded).contains(QLatin1Char('@')))
        return false;
    if (normalised)
        *normalised = url;
    return true;
}
