#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "files/atomic_write.h"

// ReplaceFileAtomically with the table engine's errors: EFCreateError when
// the temporary file cannot be created and EWriteError on any later failure;
// the previous file is then left untouched. RemoveStaleTempFiles cleans up
// after an interrupted write.
void WriteFileAtomically(const std::string& path, std::string_view content,
                         const TAtomicWriteOptions& options = {});

inline constexpr std::uint64_t MaxReadableFileSize = std::uint64_t{256} << 20;

// An open regular file of at most MaxReadableFileSize bytes. Throws
// EFOpenError when the path is missing, unreadable, not a regular file or too
// large.
class TFileReader {
public:
    explicit TFileReader(const std::string& path);
    ~TFileReader();
    TFileReader(TFileReader&&) noexcept;
    TFileReader& operator=(TFileReader&&) noexcept;

    // Returns 0 at the end of the file; throws EReadError on an I/O error.
    std::size_t Read(char* buffer, std::size_t size);
    // The size at the time the file was opened.
    std::uint64_t Size() const;

private:
    struct TImpl;
    std::unique_ptr<TImpl> Impl;
};

std::string ReadWholeFile(const std::string& path);
