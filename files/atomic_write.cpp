#include "files/atomic_write.h"

#include "files/errno_text.h"
#include "files/links.h"
#include "files/unique_fd.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <random>

#include <dirent.h>
#include <fcntl.h>
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
constexpr int MaxNameAttempts = 100;

using TStep = EAtomicWriteFailed::TStep;

[[noreturn]] void Fail(TStep step, int error = errno)
{
    throw EAtomicWriteFailed(step, error);
}

// Unlinks a file when the scope is left, unless the file was handed on.
class TRemoveFileGuard {
public:
    explicit TRemoveFileGuard(std::string path) : m_path(std::move(path)) { }
    ~TRemoveFileGuard()
    {
        if (!m_path.empty())
            ::unlink(m_path.c_str());
    }
    TRemoveFileGuard(const TRemoveFileGuard&) = delete;
    TRemoveFileGuard& operator=(const TRemoveFileGuard&) = delete;

    void Dismiss() { m_path.clear(); }

private:
    std::string m_path;
};

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
        if (written <= 0) {
            if (written == 0)
                errno = EIO;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Closes the file only after its content is on the disk.
bool SyncAndClose(TUniqueFd& fd)
{
    const bool synced = ::fsync(fd.Get()) == 0;
    const int error = errno;
    const bool closed = fd.Close();
    if (!synced)
        errno = error;
    return closed && synced;
}

// A copy of `source` in a new temporary file named after `nameBase`.
std::string CopyToTempFile(const std::string& source, const std::string& nameBase, mode_t mode)
{
    TUniqueFd from(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    if (!from)
        Fail(TStep::Replace);
    std::string copyPath;
    TUniqueFd copy = CreateTempFile(nameBase, mode, copyPath);
    if (!copy)
        Fail(TStep::Replace);
    TRemoveFileGuard removeCopy(copyPath);
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(from.Get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got == 0)
            break;
        if (got < 0 ||
            !WriteAll(copy.Get(), std::string_view(buffer, static_cast<std::size_t>(got))))
            Fail(TStep::Replace);
    }
    if (!SyncAndClose(copy))
        Fail(TStep::Replace);
    removeCopy.Dismiss();
    return copyPath;
}

bool HardLinksUnsupported(int error)
{
    return error == EPERM || error == EOPNOTSUPP || error == ENOTSUP || error == EXDEV ||
           error == EMLINK || error == ENOSYS;
}

// A second name for `source` beside `nameBase`, so the backup can be renamed
// into place while the file itself never moves. A copy where a second name
// cannot be made, or must not be (a linked file's content can change under
// a shared name).
std::string StageBackupOf(const std::string& source, const std::string& nameBase,
                          const struct stat& current, bool copy)
{
    const auto mode = static_cast<mode_t>(current.st_mode & 07777);
    if (copy)
        return CopyToTempFile(source, nameBase, mode);
    for (int attempt = 0; attempt < MaxNameAttempts; ++attempt) {
        std::string stagingPath = TempPathFor(nameBase, RandomTempSuffix());
        if (::link(source.c_str(), stagingPath.c_str()) == 0)
            return stagingPath;
        if (HardLinksUnsupported(errno))
            return CopyToTempFile(source, nameBase, mode);
        if (errno != EEXIST)
            Fail(TStep::Replace);
    }
    Fail(TStep::Replace, EEXIST);
}

// Makes path + ".bak" hold what `target` (path or the file it links to)
// holds now.
void ReplaceBackupWithCurrent(const std::string& target, const std::string& path, bool copy)
{
    const std::string backupPath = path + ".bak";
    struct stat current { };
    if (::stat(target.c_str(), &current) != 0) {
        if (errno == ENOENT)
            return;
        Fail(TStep::Replace);
    }
    struct stat backup { };
    // After a save that stopped between these two steps the backup already is
    // the current file; rename() would then succeed without doing anything.
    if (::lstat(backupPath.c_str(), &backup) == 0 && backup.st_dev == current.st_dev &&
        backup.st_ino == current.st_ino)
        return;
    const std::string stagingPath = StageBackupOf(target, path, current, copy);
    TRemoveFileGuard removeStaging(stagingPath);
    if (::rename(stagingPath.c_str(), backupPath.c_str()) != 0)
        Fail(TStep::Replace);
    removeStaging.Dismiss();
}

// Makes the renames in the folder survive a power cut.
void SyncFolder(const std::string& folder)
{
    TUniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd)
        Fail(TStep::Replace);
    // Some file systems cannot sync a folder and say EINVAL; nothing more can be done there.
    if (::fsync(fd.Get()) != 0 && errno != EINVAL)
        Fail(TStep::Replace);
}

void RemoveTempFilesBeside(const std::string& path)
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

}  // namespace

EAtomicWriteFailed::EAtomicWriteFailed(TStep step, int error)
    : std::runtime_error(ErrnoText(error)), Step(step), Error(error)
{ }

void ReplaceFileAtomically(const std::string& path, std::string_view content,
                           const TAtomicWriteOptions& options)
{
    const std::optional<std::string> target = WriteTargetOf(path);
    if (!target)
        Fail(TStep::CreateTemp);
    const bool linked = *target != path;

    std::string tempPath;
    TUniqueFd temp = CreateTempFile(*target, options.mode, tempPath);
    if (!temp)
        Fail(TStep::CreateTemp);
    TRemoveFileGuard removeTemp(tempPath);

    if (!WriteAll(temp.Get(), content) || !SyncAndClose(temp))
        Fail(TStep::Replace);
    if (options.keepBackup)
        ReplaceBackupWithCurrent(*target, path, linked);
    if (::rename(tempPath.c_str(), target->c_str()) != 0)
        Fail(TStep::Replace);
    removeTemp.Dismiss();
    SyncFolder(FolderOf(*target));
    if (linked && options.keepBackup && FolderOf(path) != FolderOf(*target))
        SyncFolder(FolderOf(path));
}

void RemoveStaleTempFiles(const std::string& path)
{
    RemoveTempFilesBeside(path);
    const std::optional<std::string> target = WriteTargetOf(path);
    if (target && *target != path)
        RemoveTempFilesBeside(*target);
}
