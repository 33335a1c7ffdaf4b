#include "file_io.h"

std::string ReadWholeFile(const std::string& path)
{
    TFileReader reader(path);
    std::string content;
    content.reserve(reader.Size());
    char chunk[64 * 1024];
    while (const std::size_t got = reader.Read(chunk, sizeof chunk))
        content.append(chunk, got);
    return content;
}
