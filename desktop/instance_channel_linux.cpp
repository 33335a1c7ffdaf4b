#include "desktop/instance_channel.h"

#include <QFile>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A real folder (not a link) owned by this user that nobody else can enter.
// Our own fallback folder is tightened when its mode is too wide.
bool IsPrivateFolder(const QString& folder, bool mayTighten)
{
    if (folder.isEmpty() || !folder.startsWith(QLatin1Char('/')))
        return false;
    const QByteArray path = QFile::encodeName(folder);
    struct stat st { };
    if (::lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid())
        return false;
    if ((st.st_mode & 077) == 0)
        return true;
    return mayTighten && ::chmod(path.constData(), 0700) == 0;
}

QString PrivateFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (IsPrivateFolder(runtime, false))
        return runtime;

    const QString fallback = QStringLiteral("/tmp/vikora-%1").arg(::geteuid());
    if (::mkdir(QFile::encodeName(fallback).constData(), 0700) != 0 && errno != EEXIST)
        return {};
    return IsPrivateFolder(fallback, true) ? fallback : QString();
}

}  // namespace

std::optional<TInstanceChannel> InstanceChannelFor(const QString& key)
{
    if (key.isEmpty() || key == QLatin1String(".") || key == QLatin1String("..") ||
        key.contains(QLatin1Char('/')) || key.contains(QChar(0)))
        return std::nullopt;
    const QString folder = PrivateFolder();
    if (folder.isEmpty())
        return std::nullopt;
    const QString base = folder + QLatin1Char('/') + key;
    return TInstanceChannel{base, base + QLatin1String(".lock")};
}
