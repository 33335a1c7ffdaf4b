#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

struct TAtomicWriteOptions {
    bool keepBackup = false;  // keep the previous content as path + ".bak"
    unsigned mode = 0600;  // of the new file, before the umask
};

// Why a replacement failed. The file is then as it was before.
class EAtomicWriteFailed : public std::runtime_error {
public:
    enum class TStep {
        CreateTemp,  // no temporary file could be made beside the file
        Replace,  // writing, syncing, the backup or the rename failed
    };
    EAtomicWriteFailed(TStep step, int error);

    TStep Step;
    int Error;  // the errno value
};

// Replaces the file at `path` with `content` so that, whatever happens, the
// file holds either the old or the new content in full: the content goes to
// a temporary file in the same folder, is synced, renamed over the file, and
// the folder is synced. A symbolic link is written through: the file it
// leads to is replaced in its own folder and the link stays. The backup is
// kept beside `path` and is a file of its own, never a link. Throws
// EAtomicWriteFailed.
void ReplaceFileAtomically(const std::string& path, std::string_view content,
                           const TAtomicWriteOptions& options = {});

// Deletes temporary files that an interrupted ReplaceFileAtomically(path, ...)
// left beside `path` and, for a link, beside the file it leads to. Errors are
// ignored.
void RemoveStaleTempFiles(const std::string& path);
