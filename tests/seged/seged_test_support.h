#pragma once

// Helpers for the tests of the shared helpers: files as bytes, permissions,
// a private home, a read-only folder.

#include "tests/file_test_support.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>
#include <exception>
#include <string>

#include <sys/mount.h>
#include <sys/stat.h>

// Bytes of a literal, embedded NULs included.
template <std::size_t N>
QByteArray Bytes(const char (&text)[N])
{
    return QByteArray(text, N - 1);
}

// HOME, XDG_DATA_HOME and XDG_CONFIG_HOME pointed into a temporary folder for
// the whole test run, so that nothing reaches the real home.
class TPrivateHome {
public:
    TPrivateHome()
    {
        qputenv("HOME", QFile::encodeName(Home()));
        qputenv("XDG_DATA_HOME", QFile::encodeName(DataHome()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(Home() + "/.config"));
    }
    bool IsValid() const { return m_root.isValid(); }
    QString Home() const { return m_root.path() + "/home"; }
    QString DataHome() const { return Home() + "/.local/share"; }
    QString Path(const QString& name) const { return m_root.filePath(name); }

private:
    QTemporaryDir m_root;
};

// A small tmpfs over `folder` while the object lives; needs root.
class TTmpfsMount {
public:
    explicit TTmpfsMount(const QString& folder) : m_folder(QFile::encodeName(folder).toStdString())
    {
        m_mounted = ::mount("tmpfs", m_folder.c_str(), "tmpfs", 0, "size=64k,mode=0700") == 0;
        if (!m_mounted)
            m_error = std::strerror(errno);
    }
    ~TTmpfsMount()
    {
        if (m_mounted)
            ::umount2(m_folder.c_str(), MNT_DETACH);
    }
    TTmpfsMount(const TTmpfsMount&) = delete;
    TTmpfsMount& operator=(const TTmpfsMount&) = delete;

    bool IsMounted() const { return m_mounted; }
    QString Error() const { return QString::fromStdString(m_error); }
    bool RemountReadOnly()
    {
        return ::mount("tmpfs", m_folder.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY,
                       "size=64k,mode=0700") == 0;
    }

private:
    std::string m_folder;
    bool m_mounted = false;
    std::string m_error;
};
