#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The profile (INI) format worked on the file's Windows-1250 bytes in memory,
// without any file access, so that every rule can be tried on plain strings.
//
// Lines end in CR LF, LF or CR. A line whose first non-blank character is '['
// opens a section named by the text up to the first ']'; without a ']' it
// opens a section that matches no name, so the keys below it are never taken
// for keys of the section before. A line holding '=' (and not starting with
// ';') is a key. Everything else is kept as it stands. A NUL byte ends the
// readable text; the bytes from it onwards are kept untouched by every edit.
// A UTF-8 byte order mark at the very start is not part of the first line
// and stays where it is.

// The value of `key` in `section` (names matched without regard to case,
// blanks around them ignored), with surrounding blanks trimmed and one pair of
// matching enclosing quotes removed; nullopt when the key is not there. The
// first such key of the file counts, also when the section appears twice.
std::optional<std::string> FindIniValue(std::string_view content, const QString& section,
                                        const QString& key);

// Sets `key` in `section` to `value` (Windows-1250 bytes): the value of an
// existing key is replaced where it stands, a new key goes after the last key
// of its section, a missing section is added at the end of the readable text.
// Every other byte stays as it is. Returns false, leaving `content` alone,
// when the names or the value cannot be stored in a profile file (an empty
// name, a line break or NUL, '=' in a key, ']' in a section name, a character
// Windows-1250 lacks in a name).
bool SetIniValue(std::string& content, const QString& section, const QString& key,
                 std::string_view value);

// An integer value: "0x"/"0X" followed by at least one digit, or "$", mark
// hexadecimal (up to 32 bits, read as two's complement); anything else must be
// decimal with an optional sign and fit in 32 bits.
std::optional<std::int32_t> ParseIniInteger(std::string_view value);
