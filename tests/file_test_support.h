#pragma once

// Files as bytes, permissions and expected errors: the small helpers the
// tests of every folder that writes files share.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

#include <exception>
#include <string>

#include <sys/stat.h>

inline QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<cannot read " + path.toUtf8() + ">";
    return file.readAll();
}

inline bool WriteBytes(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// Every file of the folder, hidden ones included, by name.
inline QStringList FilesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

inline unsigned PermissionsOf(const QString& path)
{
    struct stat info { };
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return 0;
    return info.st_mode & 07777;
}

inline std::string Std(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

// The message of the expected exception, or a note of what happened instead.
template <typename TError, typename TAction>
QString ErrorMessageOf(TAction action)
{
    try {
        action();
    } catch (const TError& error) {
        return QString::fromStdString(error.what());
    } catch (const std::exception& error) {
        return "unexpected exception: " + QString::fromStdString(error.what());
    }
    return "no exception";
}
