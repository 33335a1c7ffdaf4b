#include "private_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

void EnsurePrivateFolder(const QString& folder)
{
    if (folder.isEmpty())
        return;
    QStringList missing;
    for (QString current = QDir::cleanPath(QDir(folder).absolutePath());
         !QFileInfo::exists(current);) {
        missing.prepend(current);
        const QString parent = QFileInfo(current).path();
        if (parent == current)
            break;
        current = parent;
    }
    const auto ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
    for (const QString& path : missing)
        if (!QDir().mkdir(path, ownerOnly))
            return;
}
