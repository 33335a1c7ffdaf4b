#include "globals.h"

#include "private_folder.h"

#include <QDir>
#include <QFileInfo>

#include <optional>

QString ExeFolder;
QString DataFolder;
QString SettingsFile;
QRect WorkArea;
std::uint32_t HighlightColor = 0x00B9FFFF;

namespace {

// "/" alone becomes empty, so that folder + "/name" is still right.
QString WithoutTrailingSeparator(QString folder)
{
    while (folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder;
}

// The variable's folder when it is an absolute path.
std::optional<QString> FolderFromEnvironment(const char* name)
{
    const QString value = qEnvironmentVariable(name);
    if (!QDir::isAbsolutePath(value))
        return std::nullopt;
    return WithoutTrailingSeparator(QDir::cleanPath(value));
}

// The user's own data folder by the XDG rules; empty when there is none.
QString UserDataFolder()
{
    if (const auto dataHome = FolderFromEnvironment("XDG_DATA_HOME"))
        return *dataHome + QStringLiteral("/Vikora");
    if (const auto home = FolderFromEnvironment("HOME"))
        return *home + QStringLiteral("/.local/share/Vikora");
    return {};
}

}  // namespace

void ResolveGlobals(const QString& programFilePath, const QRect& workArea)
{
    ExeFolder = WithoutTrailingSeparator(
        QDir::cleanPath(QFileInfo(QDir::fromNativeSeparators(programFilePath)).absolutePath()));

    const QFileInfo portableSettings(ExeFolder + QStringLiteral("/Vikora.ini"));
    if (portableSettings.exists() && !portableSettings.isDir())
        DataFolder = ExeFolder;
    else if (const QString userFolder = UserDataFolder(); !userFolder.isEmpty())
        DataFolder = userFolder;
    else
        DataFolder = ExeFolder;

    SettingsFile = DataFolder + QStringLiteral("/Vikora.ini");
    HighlightColor = 0x00B9FFFF;
    WorkArea = workArea;
}

void EnsureDataFolder()
{
    EnsurePrivateFolder(DataFolder);
}
