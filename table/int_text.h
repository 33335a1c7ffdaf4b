#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Integer field text: leading spaces, an optional '+' or '-', then decimal
// digits or hexadecimal digits after "$", "x", "X", "0x" or "0X". Nothing may
// follow. Decimal values must fit in int32 once signed; hexadecimal values
// may use all 32 bits (read as two's complement, then negated for '-').
std::optional<std::int32_t> ParseIntegerText(std::string_view text);

// One to nine decimal digits and nothing else, the form the table file
// writes; nullopt for any other text, which ParseIntegerText then reads.
std::optional<std::int32_t> ReadShortDecimal(std::string_view text);

std::string IntegerToText(std::int32_t value);
// IntegerToText(value) appended to out.
void AppendIntegerText(std::string& out, std::int32_t value);
