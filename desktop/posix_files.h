#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Small files on a POSIX file system, read and replaced safely.

// The content of a regular file of at most maxSize bytes; nullopt for
// anything else (missing, unreadable, a folder, a FIFO or device, too large).
// Never blocks on a FIFO.
std::optional<QByteArray> ReadSmallRegularFile(const QString& path, qint64 maxSize);

// Creates the folder and any missing parent with the given permissions
// (before the umask). True when the folder exists afterwards.
bool MakeFolderPath(const QString& folder, unsigned mode);

// Replaces the file through a temporary file in the same folder that is
// written, synced and renamed over it: the file holds the old or the new
// content in full. False on any failure, leaving the old file untouched.
bool ReplaceFileAtomically(const QString& path, const QByteArray& content, unsigned mode);

// Deletes temporary files that an interrupted ReplaceFileAtomically(path)
// left behind. Errors are ignored.
void RemoveStaleTempFiles(const QString& path);
