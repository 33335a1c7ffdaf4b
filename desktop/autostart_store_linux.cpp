#include "desktop/autostart_store.h"

#include "desktop/desktop_entry.h"
#include "desktop/posix_files.h"
#include "files/atomic_write.h"

#include <QDir>
#include <QFile>
#include <QStringList>

namespace {
const QString EntrySuffix = QStringLiteral(".desktop");
// Far above any entry this program writes; keeps a stray huge file out of memory.
constexpr qint64 MaxEntrySize = 64 * 1024;

QString AutostartFolder()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!QDir::isAbsolutePath(config))
        config = QDir::homePath() + "/.config";
    return config + "/autostart";
}

// A value name becomes a file name, so it must be one.
bool IsUsableValueName(const QString& valueName)
{
    return !valueName.isEmpty() && valueName != u"." && valueName != u".." &&
           !valueName.contains(u'/') && !valueName.contains(QChar(0)) &&
           QFile::encodeName(valueName + EntrySuffix).size() <= 255;
}

// The entries that hold the value, matched without regard to case; the
// entry with exactly that name first.
// The folder, then the entry name looked for in it.
// NOLINTNEXTLINE(bugprone-easily-swappable-parameters)
QStringList EntriesOf(const QString& folder, const QString& valueName)
{
    const QString wanted = valueName + EntrySuffix;
    QStringList found;
    const auto names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                              QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        if (name == wanted)
            found.prepend(name);
        else if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            found.append(name);
    }
    return found;
}

[[noreturn]] void RaiseInvalidType(const QString& valueName)
{
    throw ERegistryError(("Invalid data type for '" + valueName + "'").toStdString());
}
}  // namespace

QString RegReadString(const QString& /*key*/, const QString& valueName)
{
    if (!IsUsableValueName(valueName))
        return {};
    const QString folder = AutostartFolder();
    const QStringList entries = EntriesOf(folder, valueName);
    if (entries.isEmpty())
        return {};

    const auto content = ReadSmallRegularFile(folder + u'/' + entries.first(), MaxEntrySize);
    const auto keys = content ? ParseDesktopEntry(*content) : std::nullopt;
    if (!keys)
        RaiseInvalidType(valueName);
    // An entry switched off this way is how desktops record "do not start":
    // the program is not started, so there is no value.
    if (keys->value(QStringLiteral("Hidden")) == u"true" ||
        keys->value(QStringLiteral("X-GNOME-Autostart-enabled")) == u"false")
        return {};
    const auto exec = keys->constFind(QStringLiteral("Exec"));
    if (exec == keys->cend())
        RaiseInvalidType(valueName);

    QString commandLine = UnescapeDesktopString(*exec);
    const auto arguments = SplitExecLine(commandLine);
    // A command line with arguments is not a program path: it is returned as
    // it stands and so never equals one.
    if (arguments && arguments->size() == 1)
        return arguments->first();
    return commandLine;
}

bool RegWriteString(const QString& /*key*/, const QString& valueName, const QString& text)
{
    // An entry with an empty command would fail at every log-on.
    if (!IsUsableValueName(valueName) || text.isEmpty() || text.contains(QChar(0)))
        return false;
    const QString folder = AutostartFolder();
    if (!MakeFolderPath(folder, 0700))
        return false;

    const QString fileName = valueName + EntrySuffix;
    const QString path = folder + u'/' + fileName;
    const std::string localPath = QFile::encodeName(path).toStdString();
    RemoveStaleTempFiles(localPath);
    try {
        const QByteArray entry =
            FormatAutostartEntry(LauncherEntry(), AutostartCommandForProgram(text));
        ReplaceFileAtomically(localPath, std::string_view(entry.constData(), entry.size()),
                              {.mode = 0644});
    } catch (const EAtomicWriteFailed&) {
        return false;
    }
    // The same value under a name that differs in case would be a second entry.
    for (const QString& other : EntriesOf(folder, valueName)) {
        if (other != fileName)
            QFile::remove(folder + u'/' + other);
    }
    return true;
}

void RegRemoveValue(const QString& /*key*/, const QString& valueName)
{
    if (!IsUsableValueName(valueName))
        return;
    const QString folder = AutostartFolder();
    for (const QString& entry : EntriesOf(folder, valueName))
        QFile::remove(folder + u'/' + entry);
}

QString AutostartCommandForProgram(const QString& programFilePath)
{
    return QuoteExecArgument(programFilePath);
}
