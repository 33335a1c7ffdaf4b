#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Small files on a POSIX file system, read safely.

// The content of a regular file of at most maxSize bytes; nullopt for
// anything else (missing, unreadable, a folder, a FIFO or device, too large).
// Never blocks on a FIFO.
std::optional<QByteArray> ReadSmallRegularFile(const QString& path, qint64 maxSize);

// Creates the folder and any missing parent with the given permissions
// (before the umask). True when the folder exists afterwards.
bool MakeFolderPath(const QString& folder, unsigned mode);

// Files are replaced through files/atomic_write.h.
