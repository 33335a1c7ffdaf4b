// Reads arbitrary bytes as a settings (INI) file and writes a key into it.
// Besides a crash, a sanitizer report, a hang or a leak, these are faults: a
// value that was written reads back differently, and a write that loses the
// bytes after a NUL (which every edit keeps untouched).
#include "seged/ini_text.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {
constexpr std::size_t MaxNameLength = 24;

[[noreturn]] void Fail(const char* what, const std::string& content)
{
    std::fprintf(stderr, "%s\n--- content ---\n%s\n---\n", what, content.c_str());
    std::abort();
}

// Values the reader gives back as written: no blanks or quotes at the ends.
bool ReadsBackAsWritten(std::string_view value)
{
    constexpr std::string_view edges = " \t\v\f\"'";
    return value.empty() || (edges.find(value.front()) == std::string_view::npos &&
                             edges.find(value.back()) == std::string_view::npos);
}

std::string_view FromNul(std::string_view content)
{
    const auto nul = content.find('\0');
    return nul == std::string_view::npos ? std::string_view{} : content.substr(nul);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const QString section = QString::fromUtf8(input.ConsumeRandomLengthString(MaxNameLength));
    const QString key = QString::fromUtf8(input.ConsumeRandomLengthString(MaxNameLength));
    const std::string value = input.ConsumeRandomLengthString(MaxNameLength * 4);
    const std::string original = input.ConsumeRemainingBytesAsString();

    // What the program reads at start.
    for (const char* name : {"Color", "Font.Name", "Font.Size", "AlphaBlendValue", "Left"}) {
        if (const auto found =
                FindIniValue(original, QStringLiteral("Defaults"), QString::fromLatin1(name)))
            (void)ParseIniInteger(*found);
    }
    if (const auto found = FindIniValue(original, section, key))
        (void)ParseIniInteger(*found);

    std::string content = original;
    if (!SetIniValue(content, section, key, value)) {
        if (content != original)
            Fail("a refused write changed the content", content);
        return 0;
    }
    if (FromNul(content) != FromNul(original))
        Fail("the bytes from the first NUL on were not kept", content);
    const auto again = FindIniValue(content, section, key);
    if (!again)
        Fail("a key that was written is not found", content);
    if (ReadsBackAsWritten(value) && *again != value)
        Fail("a value that was written reads back differently", content);
    return 0;
}
