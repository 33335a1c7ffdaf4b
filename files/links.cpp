#include "files/links.h"

#include <cerrno>
#include <climits>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

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

std::optional<std::string> WriteTargetOf(const std::string& path)
{
    // The kernel's own limit on links followed in one lookup.
    constexpr int MaxLinks = 40;
    std::string current = path;
    for (int followed = 0; followed <= MaxLinks; ++followed) {
        struct stat info { };
        if (::lstat(current.c_str(), &info) != 0)
            return current;  // not there yet: made where the links lead
        if (!S_ISLNK(info.st_mode))
            return S_ISREG(info.st_mode) ? current : path;
        std::vector<char> target(PATH_MAX + 1);
        const ssize_t size = ::readlink(current.c_str(), target.data(), target.size());
        if (size < 0)
            return std::nullopt;
        if (static_cast<std::size_t>(size) >= target.size()) {
            errno = ENAMETOOLONG;
            return std::nullopt;
        }
        std::string next(target.data(), static_cast<std::size_t>(size));
        if (!next.starts_with('/')) {
            std::string folder = FolderOf(current);
            folder += '/';
            next.insert(0, folder);
        }
        current = std::move(next);
    }
    errno = ELOOP;
    return std::nullopt;
}
