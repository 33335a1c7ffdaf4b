#pragma once

#include "table/values.h"

#include <QString>

#include <cstdint>

// Reading table values that may be null. A value that is present but cannot
// be converted raises the conversion error of the table.
QString NullToStr(const TValue& value, const QString& defaultText);
std::int32_t NullToInt(const TValue& value, std::int32_t defaultValue);
TDateTime NullToDate(const TValue& value, TDateTime defaultValue);

// Direct conversions: a null value is a conversion error.
std::int32_t ValueToInt(const TValue& value);
bool ValueToBool(const TValue& value);
TDateTime ValueToDate(const TValue& value);
