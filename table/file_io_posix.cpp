#include "file_io.h"

#include "errors.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <random>
#include <system_error>
#include <type_traits>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <locale.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Linux moves at most about 2 GiB per call; smaller chunks keep the count
// within ssize_t everywhere.
constexpr std::size_t MaxIoChunk = std::size_t{1} << 30;
constexpr std::size_t TempSuffixLength = 6;
constexpr std::string_view TempExtension = ".tmp";
constexpr std::string_view TempSuffixAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

class TUniqueFd {
public:
    TUniqueFd() = default;
    explicit TUniqueFd(int fd) : Fd(fd) { }
    ~TUniqueFd() { Close(); }
    TUniqueFd(TUniqueFd&& other) noexcept : Fd(std::exchange(other.Fd, -1)) { }
    TUniqueFd& operator=(TUniqueFd&& other) noexcept
    {
        if (this != &other) {
            Close();
            Fd = std::exchange(other.Fd, -1);
        }
        return *this;
    }

    int Get() const { return Fd; }
    explicit operator bool() const { return Fd >= 0; }

    // close() can report a write error that surfaced late, so callers that
    // wrote through the descriptor check this result.
    bool Close()
    {
        const int fd = std::exchange(Fd, -1);
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int Fd = -1;
};

// Unlinks a file when the scope is left, unless the file was handed on.
class TRemoveFileGuard {
public:
    explicit TRemoveFileGuard(std::string path) : Path(std::move(path)) { }
    ~TRemoveFileGuard()
    {
        if (!Path.empty())
            ::unlink(Path.c_str());
    }
    TRemoveFileGuard(const TRemoveFileGuard&) = delete;
    TRemoveFileGuard& operator=(const TRemoveFileGuard&) = delete;

    void Dismiss() { Path.clear(); }

private:
    std::string Path;
};

// Messages are always in English: once the GUI has called setlocale(),
// plain strerror() would follow the user's language.
std::string ErrnoText(int error)
{
    struct TLocaleDeleter {
        void operator()(locale_t locale) const { ::freelocale(locale); }
    };
    static const std::unique_ptr<std::remove_pointer_t<locale_t>, TLocaleDeleter> cLocale(
        ::newlocale(LC_ALL_MASK, "C", locale_t{}));
    if (cLocale)
        return ::strerror_l(error, cLocale.get());
    return std::generic_category().message(error);
}

[[noreturn]] void ThrowWriteError()
{
    throw EWriteError("Stream write error");
}

std::string FolderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string FileNameOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string RandomTempSuffix()
{
    thread_local std::mt19937 engine{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, TempSuffixAlphabet.size() - 1);
    std::string suffix(TempSuffixLength, ' ');
    for (char& c : suffix)
        c = TempSuffixAlphabet[pick(engine)];
    return suffix;
}

std::string TempPathFor(const std::string& path, const std::string& suffix)
{
    return path + "." + suffix + std::string(TempExtension);
}

bool IsTempNameOf(std::string_view name, std::string_view targetName)
{
    if (name.size() != targetName.size() + 1 + TempSuffixLength + TempExtension.size())
        return false;
    if (!name.starts_with(targetName) || !name.ends_with(TempExtension))
        return false;
    name.remove_prefix(targetName.size());
    if (name.front() != '.')
        return false;
    const auto suffix = name.substr(1, TempSuffixLength);
    return std::all_of(suffix.begin(), suffix.end(),
                       [](char c) { return TempSuffixAlphabet.find(c) != std::string_view::npos; });
}

constexpr int MaxNameAttempts = 100;

// Creates a new, empty file next to `path`; on failure errno tells why.
TUniqueFd CreateTempFile(const std::string& path, unsigned mode, std::string& tempPath)
{
    for (int attempt = 0; attempt < MaxNameAttempts; ++attempt) {
        tempPath = TempPathFor(path, RandomTempSuffix());
        TUniqueFd fd(::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                            static_cast<mode_t>(mode)));
        if (fd || (errno != EEXIST && errno != EINTR))
            return fd;
    }
    errno = EEXIST;
    return TUniqueFd();
}

bool WriteAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        const ssize_t written = ::write(fd, data.data(), std::min(data.size(), MaxIoChunk));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Closes the file only after its content is on the disk.
bool SyncAndClose(TUniqueFd& fd)
{
    const bool synced = ::fsync(fd.Get()) == 0;
    return fd.Close() && synced;
}

std::string CopyToTempFile(const std::string& path, mode_t mode)
{
    TUniqueFd source(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!source)
        ThrowWriteError();
    std::string copyPath;
    TUniqueFd copy = CreateTempFile(path, mode, copyPath);
    if (!copy)
        ThrowWriteError();
    TRemoveFileGuard removeCopy(copyPath);
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(source.Get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got == 0)
            break;
        if (got < 0 ||
            !WriteAll(copy.Get(), std::string_view(buffer, static_cast<std::size_t>(got))))
            ThrowWriteError();
    }
    if (!SyncAndClose(copy))
        ThrowWriteError();
    removeCopy.Dismiss();
    return copyPath;
}

bool HardLinksUnsupported(int error)
{
    return error == EPERM || error == EOPNOTSUPP || error == ENOTSUP || error == EXDEV ||
           error == EMLINK || error == ENOSYS;
}

// A second name for the file at `path`, so the backup can be renamed into
// place while the file itself never moves.
std::string StageBackupOf(const std::string& path, const struct stat& target)
{
    for (int attempt = 0; attempt < MaxNameAttempts; ++attempt) {
        std::string stagingPath = TempPathFor(path, RandomTempSuffix());
        if (::link(path.c_str(), stagingPath.c_str()) == 0)
            return stagingPath;
        if (HardLinksUnsupported(errno))
            return CopyToTempFile(path, target.st_mode & 07777);
        if (errno != EEXIST)
            ThrowWriteError();
    }
    ThrowWriteError();
}

void ReplaceBackupWithCurrent(const std::string& path)
{
    struct stat target { };
    if (::stat(path.c_str(), &target) != 0) {
        if (errno == ENOENT)
            return;
        ThrowWriteError();
    }
    const std::string backupPath = path + ".bak";
    struct stat backup { };
    // After a save that stopped between these two steps the backup already is
    // the current file; rename() would then succeed without doing anything.
    if (::stat(backupPath.c_str(), &backup) == 0 && backup.st_dev == target.st_dev &&
        backup.st_ino == target.st_ino)
        return;
    const std::string stagingPath = StageBackupOf(path, target);
    TRemoveFileGuard removeStaging(stagingPath);
    if (::rename(stagingPath.c_str(), backupPath.c_str()) != 0)
        ThrowWriteError();
    removeStaging.Dismiss();
}

// Makes the renames in the folder survive a power cut.
void SyncFolder(const std::string& folder)
{
    TUniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd)
        ThrowWriteError();
    // Some file systems cannot sync a folder and say EINVAL; nothing more can be done there.
    if (::fsync(fd.Get()) != 0 && errno != EINVAL)
        ThrowWriteError();
}

std::string OpenErrorMessage(const std::string& path, const std::string& reason)
{
    return "Cannot open file \"" + path + "\". " + reason;
}

}  // namespace

void WriteFileAtomically(const std::string& path, std::string_view content,
                         const TAtomicWriteOptions& options)
{
    std::string tempPath;
    TUniqueFd temp = CreateTempFile(path, options.mode, tempPath);
    if (!temp) {
        const int error = errno;
        throw EFCreateError("Cannot create file \"" + path + "\". " + ErrnoText(error));
    }
    TRemoveFileGuard removeTemp(tempPath);

    if (!WriteAll(temp.Get(), content) || !SyncAndClose(temp))
        ThrowWriteError();
    if (options.keepBackup)
        ReplaceBackupWithCurrent(path);
    if (::rename(tempPath.c_str(), path.c_str()) != 0)
        ThrowWriteError();
    removeTemp.Dismiss();
    SyncFolder(FolderOf(path));
}

void RemoveStaleTempFiles(const std::string& path)
{
    struct TDirCloser {
        void operator()(DIR* dir) const { ::closedir(dir); }
    };
    const std::unique_ptr<DIR, TDirCloser> dir(::opendir(FolderOf(path).c_str()));
    if (!dir)
        return;
    const std::string targetName = FileNameOf(path);
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        if (IsTempNameOf(name, targetName))
            ::unlink((path + std::string(name.substr(targetName.size()))).c_str());
    }
}

struct TFileReader::TImpl {
    TUniqueFd Fd;
    std::uint64_t Size = 0;
};

TFileReader::TFileReader(const std::string& path)
{
    // O_NONBLOCK keeps open() from waiting for a writer when the path is a FIFO.
    TUniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat info { };
    if (!fd || ::fstat(fd.Get(), &info) != 0) {
        const int error = errno;
        throw EFOpenError(OpenErrorMessage(path, ErrnoText(error)));
    }
    if (S_ISDIR(info.st_mode))
        throw EFOpenError(OpenErrorMessage(path, ErrnoText(EISDIR)));
    if (!S_ISREG(info.st_mode))
        throw EFOpenError(OpenErrorMessage(path, "Not a regular file"));
    const auto size = static_cast<std::uint64_t>(info.st_size);
    if (size > MaxReadableFileSize)
        throw EFOpenError(OpenErrorMessage(path, "File too large"));
    Impl = std::make_unique<TImpl>(TImpl{std::move(fd), size});
}

TFileReader::~TFileReader() = default;
TFileReader::TFileReader(TFileReader&&) noexcept = default;
TFileReader& TFileReader::operator=(TFileReader&&) noexcept = default;

std::size_t TFileReader::Read(char* buffer, std::size_t size)
{
    for (;;) {
        const ssize_t got = ::read(Impl->Fd.Get(), buffer, std::min(size, MaxIoChunk));
        if (got >= 0)
            return static_cast<std::size_t>(got);
        if (errno != EINTR)
            throw EReadError("Stream read error");
    }
}

std::uint64_t TFileReader::Size() const
{
    return Impl->Size;
}
