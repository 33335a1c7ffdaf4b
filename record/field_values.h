#pragma once

#include "table/values.h"

#include <cstdint>
#include <string>

// Reading table values as the notes need them, whatever type the table file
// gave the field. A value that is present but cannot be converted raises the
// conversion error of the table; the Null... forms give the default for a
// null value, the ValueTo... forms treat it as a conversion error.
std::string NullToText(const TValue& value, const std::string& defaultText);
std::int32_t NullToInt(const TValue& value, std::int32_t defaultValue);
TDateTime NullToDate(const TValue& value, TDateTime defaultValue);

std::int32_t ValueToInt(const TValue& value);
bool ValueToBool(const TValue& value);
// A text without a year is read in the current year.
TDateTime ValueToDate(const TValue& value);
