#include "desktop/posix_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// ".<name>.XXXXXX": hidden, and not ending in the name's suffix, so that a
// leftover is never taken for the file itself.
QString TempPrefix(const QString& path)
{
    const QFileInfo info(path);
    return info.path() + "/." + info.fileName() + u'.';
}

bool WriteAll(int fd, const QByteArray& content)
{
    const char* data = content.constData();
    qsizetype left = content.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        left -= written;
    }
    return true;
}

void SyncFolder(const QString& folder)
{
    // Best effort: the rename has happened, and some file systems refuse to
    // sync a folder at all.
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}
}  // namespace

std::optional<QByteArray> ReadSmallRegularFile(const QString& path, qint64 maxSize)
{
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat info { };
    std::optional<QByteArray> result;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= maxSize) {
        QByteArray content(static_cast<qsizetype>(info.st_size), Qt::Uninitialized);
        qsizetype filled = 0;
        ssize_t got = 0;
        // One byte past the size seen, to notice a file that grew meanwhile.
        content.resize(content.size() + 1);
        do {
            got = ::read(fd, content.data() + filled, static_cast<size_t>(content.size() - filled));
            if (got > 0)
                filled += got;
        } while ((got > 0 && filled < content.size()) || (got < 0 && errno == EINTR));
        if (got == 0) {
            content.resize(filled);
            result = content;
        }
    }
    ::close(fd);
    return result;
}

bool MakeFolderPath(const QString& folder, unsigned mode)
{
    const QString clean = QDir::cleanPath(folder);
    qsizetype from = clean.startsWith(u'/') ? 1 : 0;
    for (;;) {
        const qsizetype slash = clean.indexOf(u'/', from);
        const QString part = slash < 0 ? clean : clean.first(slash);
        if (!part.isEmpty() && ::mkdir(QFile::encodeName(part).constData(), mode) != 0 &&
            errno != EEXIST)
            return false;
        if (slash < 0)
            break;
        from = slash + 1;
    }
    struct stat info { };
    return ::stat(QFile::encodeName(clean).constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool ReplaceFileAtomically(const QString& path, const QByteArray& content, unsigned mode)
{
    QByteArray tempName = QFile::encodeName(TempPrefix(path)) + "XXXXXX";
    const int fd = ::mkostemp(tempName.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok =
        WriteAll(fd, content) && ::fchmod(fd, static_cast<mode_t>(mode)) == 0 && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok)
        ok = ::rename(tempName.constData(), QFile::encodeName(path).constData()) == 0;
    if (!ok) {
        ::unlink(tempName.constData());
        return false;
    }
    SyncFolder(QFileInfo(path).path());
    return true;
}

void RemoveStaleTempFiles(const QString& path)
{
    const QFileInfo prefixInfo(TempPrefix(path));
    const QString prefix = prefixInfo.fileName();
    const QDir folder(prefixInfo.path());
    // Compared by hand: the name may hold wildcard characters.
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (name.size() == prefix.size() + 6 && name.startsWith(prefix))  // mkostemp's six
            QFile::remove(folder.filePath(name));
    }
}
