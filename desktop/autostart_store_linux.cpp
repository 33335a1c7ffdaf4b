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

// An entry name becomes a file name, so it must be one.
bool IsUsableEntryName(const QString& name)
{
    return !name.isEmpty() && name != u"." && name != u".." && !name.contains(u'/') &&
           !name.contains(QChar(0)) && QFile::encodeName(name + EntrySuffix).size() <= 255;
}

// The entry files of the name, matched without regard to case; the file
// with exactly that name first.
QStringList EntriesOf(const QString& folder, const QString& name)
{
    const QString wanted = name + EntrySuffix;
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

}  // namespace

EAutostartEntryUnreadable::EAutostartEntryUnreadable(const QString& name, const QString& path)
    : std::runtime_error(("Not a desktop entry with a command line: " + path).toStdString()),
      m_name(name),
      m_path(path)
{ }

QString ReadAutostartEntry(const QString& name)
{
    if (!IsUsableEntryName(name))
        return {};
    const QString folder = AutostartFolder();
    const QStringList entries = EntriesOf(folder, name);
    if (entries.isEmpty())
        return {};

    const QString path = folder + u'/' + entries.first();
    const auto content = ReadSmallRegularFile(path, MaxEntrySize);
    const auto keys = content ? ParseDesktopEntry(*content) : std::nullopt;
    if (!keys)
        throw EAutostartEntryUnreadable(name, path);
    // An entry switched off this way is how desktops record "do not start":
    // the program is not started, so it reads as no entry.
    if (keys->value(QStringLiteral("Hidden")) == u"true" ||
        keys->value(QStringLiteral("X-GNOME-Autostart-enabled")) == u"false")
        return {};
    const auto exec = keys->constFind(QStringLiteral("Exec"));
    if (exec == keys->cend())
        throw EAutostartEntryUnreadable(name, path);

    QString commandLine = UnescapeDesktopString(*exec);
    const auto arguments = SplitExecLine(commandLine);
    // A command line with arguments is not a program path: it is returned as
    // it stands and so never equals one.
    if (arguments && arguments->size() == 1)
        return arguments->first();
    return commandLine;
}

bool WriteAutostartEntry(const QString& name, const QString& programFile)
{
    // An entry with an empty command would fail at every log-on.
    if (!IsUsableEntryName(name) || programFile.isEmpty() || programFile.contains(QChar(0)))
        return false;
    const QString folder = AutostartFolder();
    if (!MakeFolderPath(folder, 0700))
        return false;

    const QString fileName = name + EntrySuffix;
    const QString path = folder + u'/' + fileName;
    const std::string localPath = QFile::encodeName(path).toStdString();
    RemoveStaleTempFiles(localPath);
    try {
        const QByteArray entry =
            FormatAutostartEntry(LauncherEntry(), AutostartCommandForProgram(programFile));
        ReplaceFileAtomically(localPath, std::string_view(entry.constData(), entry.size()),
                              {.mode = 0644});
    } catch (const EAtomicWriteFailed&) {
        return false;
    }
    // The same entry under a name that differs in case would start the
    // program twice.
    for (const QString& other : EntriesOf(folder, name)) {
        if (other != fileName)
            QFile::remove(folder + u'/' + other);
    }
    return true;
}

void RemoveAutostartEntry(const QString& name)
{
    if (!IsUsableEntryName(name))
        return;
    const QString folder = AutostartFolder();
    for (const QString& entry : EntriesOf(folder, name))
        QFile::remove(folder + u'/' + entry);
}

QString AutostartCommandForProgram(const QString& programFilePath)
{
    return QuoteExecArgument(programFilePath);
}
