#pragma once

#include <QString>

class QUrl;

inline constexpr int MaxCatalogueAddressLength = 2048;

// Whether an address read from the downloaded program catalogue may be
// handed to the opener: an absolute http or https address with a host, no
// user name or password, no blank or control character anywhere, at most
// MaxCatalogueAddressLength characters. When it may, *normalised (if given)
// receives the parsed address, which is what must be opened, never the text.
bool IsSafeCatalogueAddress(const QString& address, QUrl* normalised = nullptr);
