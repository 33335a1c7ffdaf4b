#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

// The XDG desktop entry file format: the parts an autostart entry needs.

// The keys of the "Desktop Entry" group with their raw (still escaped)
// values; the first occurrence of a key wins. nullopt when the content is
// not a desktop entry: not UTF-8, a NUL byte, a line that is neither a
// comment, a group header nor key=value, or a first group other than
// "Desktop Entry".
std::optional<QHash<QString, QString>> ParseDesktopEntry(const QByteArray& content);

// The escapes of string values: \s \n \t \r \\. Unescaping keeps any other
// backslash pair as it stands, for the Exec quoting rules to read.
QString EscapeDesktopString(const QString& text);
QString UnescapeDesktopString(const QString& value);

// One Exec argument: double-quoted when it holds a blank or a reserved
// character, and "%" doubled so that it is not read as a field code.
QString QuoteExecArgument(const QString& argument);

// The arguments of an (unescaped) Exec command line; nullopt when a quote is
// not closed or a field code such as %f is used.
std::optional<QStringList> SplitExecLine(const QString& commandLine);

// The program's launcher as installed in the desktop's menu (built into the
// program).
QByteArray LauncherEntry();

// The autostart entry made from a launcher: its keys as they stand, with the
// Exec line replaced by the command line and the entry switched on.
QByteArray FormatAutostartEntry(const QByteArray& launcher, const QString& commandLine);
