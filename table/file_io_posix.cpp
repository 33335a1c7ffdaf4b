#include "file_io.h"

#include "errors.h"

#include "files/errno_text.h"
#include "files/unique_fd.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Linux moves at most about 2 GiB per call; smaller chunks keep the count
// within ssize_t everywhere.
constexpr std::size_t MaxIoChunk = std::size_t{1} << 30;

std::string OpenErrorMessage(const std::string& path, const std::string& reason)
{
    return "Cannot open file \"" + path + "\". " + reason;
}

}  // namespace

void WriteFileAtomically(const std::string& path, std::string_view content,
                         const TAtomicWriteOptions& options)
{
    try {
        ReplaceFileAtomically(path, content, options);
    } catch (const EAtomicWriteFailed& failure) {
        if (failure.Step == EAtomicWriteFailed::TStep::CreateTemp)
            throw EFCreateError("Cannot create file \"" + path + "\". " + ErrnoText(failure.Error));
        throw EWriteError("Stream write error");
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
