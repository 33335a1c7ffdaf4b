#include "desktop/desktop_entry.h"

#include <QFile>
#include <QStringDecoder>

#include <algorithm>

namespace {
const QString DesktopEntryGroup = QStringLiteral("[Desktop Entry]");

// Characters that make an Exec argument need quotes.
bool IsReservedInExec(QChar c)
{
    return QStringView(u" \t\n\"'\\><~|&;$*?#()`").contains(c) ||
           c.category() == QChar::Other_Control;
}

// Inside quotes these are written after a backslash.
bool IsEscapedInQuotes(QChar c)
{
    return c == u'"' || c == u'`' || c == u'$' || c == u'\\';
}

std::optional<QString> DecodeUtf8(const QByteArray& content)
{
    if (content.contains('\0'))
        return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(content);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}
}  // namespace

std::optional<QHash<QString, QString>> ParseDesktopEntry(const QByteArray& content)
{
    const std::optional<QString> text = DecodeUtf8(content);
    if (!text)
        return std::nullopt;

    QHash<QString, QString> keys;
    bool seenGroup = false;
    bool inEntryGroup = false;
    for (QStringView line : QStringView(*text).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            if (!line.endsWith(u']'))
                return std::nullopt;
            inEntryGroup = line == DesktopEntryGroup;
            if (!seenGroup && !inEntryGroup)
                return std::nullopt;
            seenGroup = true;
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!seenGroup || equals <= 0)
            return std::nullopt;
        const QString key = line.first(equals).trimmed().toString();
        if (key.isEmpty())
            return std::nullopt;
        if (inEntryGroup && !keys.contains(key)) {
            QStringView value = line.sliced(equals + 1);
            while (value.startsWith(u' ') || value.startsWith(u'\t'))
                value = value.sliced(1);
            keys.insert(key, value.toString());
        }
    }
    if (!seenGroup)
        return std::nullopt;
    return keys;
}

QString EscapeDesktopString(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\\')
            out += "\\\\";
        else if (c == u'\n')
            out += "\\n";
        else if (c == u'\t')
            out += "\\t";
        else if (c == u'\r')
            out += "\\r";
        else if (c == u' ' && i == 0)  // readers drop leading blanks
            out += "\\s";
        else
            out += c;
    }
    return out;
}

QString UnescapeDesktopString(const QString& value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != u'\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const QChar next = value[++i];
        if (next == u's')
            out += u' ';
        else if (next == u'n')
            out += u'\n';
        else if (next == u't')
            out += u'\t';
        else if (next == u'r')
            out += u'\r';
        else if (next == u'\\')
            out += u'\\';
        else
            out += QString({u'\\', next});
    }
    return out;
}

QString QuoteExecArgument(const QString& argument)
{
    QString out;
    const bool quote =
        argument.isEmpty() || std::any_of(argument.begin(), argument.end(), IsReservedInExec);
    if (quote)
        out += u'"';
    for (const QChar c : argument) {
        if (quote && IsEscapedInQuotes(c))
            out += u'\\';
        out += c;
        if (c == u'%')
            out += u'%';
    }
    if (quote)
        out += u'"';
    return out;
}

std::optional<QStringList> SplitExecLine(const QString& commandLine)
{
    // Field codes are expanded over the whole line before it is split, as
    // the launchers do; "%%" is the only one that can stand in a path.
    QString line;
    for (qsizetype i = 0; i < commandLine.size(); ++i) {
        line += commandLine[i];
        if (commandLine[i] != u'%')
            continue;
        if (i + 1 == commandLine.size() || commandLine[i + 1] != u'%')
            return std::nullopt;
        ++i;
    }

    QStringList arguments;
    QString current;
    bool inArgument = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == u' ' || c == u'\t' || c == u'\n') {
            if (inArgument)
                arguments << current;
            current.clear();
            inArgument = false;
            continue;
        }
        inArgument = true;
        if (c == u'\\' && i + 1 < line.size()) {
            current += line[++i];
        } else if (c == u'"') {
            for (++i;; ++i) {
                if (i == line.size())
                    return std::nullopt;
                if (line[i] == u'"')
                    break;
                if (line[i] == u'\\' && i + 1 < line.size() && IsEscapedInQuotes(line[i + 1]))
                    ++i;
                current += line[i];
            }
        } else {
            current += c;
        }
    }
    if (inArgument)
        arguments << current;
    return arguments;
}

QByteArray LauncherEntry()
{
    QFile launcher(QStringLiteral(":/desktop/vikora.desktop"));
    if (!launcher.open(QIODevice::ReadOnly))
        return {};
    return launcher.readAll();
}

QByteArray FormatAutostartEntry(const QByteArray& launcher, const QString& commandLine)
{
    // Keys that the autostart entry sets itself, or that would stop it.
    static const QStringList ownKeys = {QStringLiteral("Exec"), QStringLiteral("TryExec"),
                                        QStringLiteral("Hidden"),
                                        QStringLiteral("X-GNOME-Autostart-enabled")};
    const QString ownLines =
        "Exec=" + EscapeDesktopString(commandLine) + u'\n' + "X-GNOME-Autostart-enabled=true\n";

    QString text;
    if (ParseDesktopEntry(launcher)) {
        bool inEntryGroup = false;
        bool written = false;
        const QStringList lines = QString::fromUtf8(launcher).split(u'\n', Qt::SkipEmptyParts);
        for (QStringView line : lines) {
            if (line.endsWith(u'\r'))
                line.chop(1);
            if (line.startsWith(u'[')) {
                if (inEntryGroup && !written) {
                    text += ownLines;
                    written = true;
                }
                inEntryGroup = line == DesktopEntryGroup;
            } else if (inEntryGroup) {
                const qsizetype equals = std::max<qsizetype>(line.indexOf(u'='), 0);
                if (ownKeys.contains(line.first(equals).trimmed().toString()))
                    continue;
            }
            text += line;
            text += u'\n';
        }
        if (!written)
            text += ownLines;
    } else {
        // Only a broken build lacks the launcher; the entry must still start the program.
        text = DesktopEntryGroup + u'\n' + "Type=Application\nName=Vikora\n" + ownLines;
    }
    return text.toUtf8();
}
