#pragma once

#include <QString>

#include <chrono>

class QWidget;

// Downloads `address` into the file `fileName` and blocks until it has ended,
// showing a modal progress dialog over `owner`. True only for a complete
// answer with a success status that was stored whole; false for every
// failure (no connection, error status, timeout, cancel, an answer too large,
// a file that cannot be written). Reports nothing itself. The file is
// replaced in one step, so a failure leaves the previous one as it was.
bool DownloadFile(const QString& address, const QString& fileName, QWidget* owner = nullptr);

// A download that has not ended after this long is abandoned.
inline constexpr std::chrono::milliseconds DefaultDownloadTimeout{30000};
// An answer larger than this is refused rather than held in memory.
inline constexpr qint64 MaxDownloadSize = qint64{32} << 20;

// Tests shorten the timeout; a zero or negative value restores the default.
void SetDownloadTimeoutForTests(std::chrono::milliseconds timeout);

// The catalogue's address: VIKORA_CATALOGUE_URL when set, otherwise the
// maker's server.
QString CatalogueUrl();
