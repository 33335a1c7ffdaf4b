#pragma once

#include <QString>

// Creates `folder` and every missing folder above it, each readable and
// writable by the owner only; folders that exist are left alone. Failures are
// not reported: the write that needs the folder fails instead.
void EnsurePrivateFolder(const QString& folder);
