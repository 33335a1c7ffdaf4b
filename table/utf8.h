#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Decodes the code point at s[pos] and moves pos past it. Returns false at the
// end of s. A byte that does not start a well-formed sequence (overlong forms,
// surrogates and values above U+10FFFF included) yields U+FFFD, advances one
// byte and sets *valid to false; *valid is true otherwise. valid may be null.
bool NextCodePoint(std::string_view s, std::size_t& pos, char32_t& cp, bool* valid = nullptr);

// Appends the UTF-8 form of cp; cp must be a Unicode scalar value.
void AppendUtf8(std::string& out, char32_t cp);
// Writes the UTF-8 form of cp (1 to 4 bytes) at out and returns the end.
char* WriteUtf8(char* out, char32_t cp);

bool IsValidUtf8(std::string_view s);

// The number of code points; an invalid byte counts as one.
std::size_t Utf8Length(std::string_view s);

// The first `chars` code points of s, never cutting a sequence in two.
std::string Utf8Left(std::string_view s, std::size_t chars);
// The size in bytes of Utf8Left(s, chars).
std::size_t Utf8LeftSize(std::string_view s, std::size_t chars);
