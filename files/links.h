#pragma once

#include <optional>
#include <string>

// The folder part of a path ("." for a bare name) and the last part.
std::string FolderOf(const std::string& path);
std::string FileNameOf(const std::string& path);

// The file a write to `path` must replace: `path` itself, or, when it is a
// symbolic link, the file the chain of links ends at, so that the link stays
// a link. Only a regular file, or one that does not exist yet, is replaced
// through a link: a link to a device, a FIFO or a folder is itself replaced,
// never what it leads to. nullopt with errno set when the chain cannot be
// followed (a loop, an unreadable link).
std::optional<std::string> WriteTargetOf(const std::string& path);
