#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Compares two UTF-8 texts: negative, zero or positive. Returns nullopt when
// the comparison itself fails (the table then raises "Invalid locale.").
// With ignoreCase the texts compare without regard to case; otherwise case
// only tells apart texts that are otherwise equal.
using TTextCompare =
    std::function<std::optional<int>(std::string_view a, std::string_view b, bool ignoreCase)>;

// The collation of a C++ standard library locale; an empty name means the
// user's locale from the environment (falling back to "C" when that cannot be
// loaded). Invalid UTF-8 makes the comparison fail.
TTextCompare MakeLocaleTextCompare(const std::string& localeName = {});

// Byte by byte (the "ignore locale" sort option); ignoreCase folds ASCII only.
int CompareBytes(std::string_view a, std::string_view b, bool ignoreCase);
