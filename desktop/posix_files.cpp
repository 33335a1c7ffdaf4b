#include "desktop/posix_files.h"

#include <QDir>
#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
