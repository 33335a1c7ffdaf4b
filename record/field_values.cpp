#include "record/field_values.h"

#include "table/datetime_text.h"
#include "table/errors.h"
#include "table/int_text.h"

#include <cmath>
#include <ctime>

namespace {
[[noreturn]] void RaiseNullCast(const char* type)
{
    throw EConvertError(std::string("Could not convert variant of type (Null) into type (") + type +
                        ")");
}

std::string Text(const TValue& value)
{
    if (const auto* s = std::get_if<std::string>(&value))
        return *s;
    if (const auto* n = std::get_if<std::int32_t>(&value))
        return IntegerToText(*n);
    if (const auto* b = std::get_if<bool>(&value))
        return *b ? "True" : "False";
    if (const auto* d = std::get_if<TDateTime>(&value))
        return FormatFileDateTime(d->value);
    return {};
}

int CurrentLocalYear()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_year + 1900;
}
}  // namespace

std::string NullToText(const TValue& value, const std::string& defaultText)
{
    return IsNull(value) ? defaultText : Text(value);
}

std::int32_t NullToInt(const TValue& value, std::int32_t defaultValue)
{
    return IsNull(value) ? defaultValue : ValueToInt(value);
}

TDateTime NullToDate(const TValue& value, TDateTime defaultValue)
{
    return IsNull(value) ? defaultValue : ValueToDate(value);
}

std::int32_t ValueToInt(const TValue& value)
{
    if (IsNull(value))
        RaiseNullCast("Integer");
    if (const auto* n = std::get_if<std::int32_t>(&value))
        return *n;
    if (const auto* b = std::get_if<bool>(&value))
        return *b ? -1 : 0;
    if (const auto* d = std::get_if<TDateTime>(&value)) {
        const double days = std::round(d->value);
        if (days >= INT32_MIN && days <= INT32_MAX)
            return static_cast<std::int32_t>(days);
    }
    const std::string text = Text(value);
    if (const auto n = ParseIntegerText(text))
        return *n;
    throw EConvertError("'" + text + "' is not a valid integer value");
}

bool ValueToBool(const TValue& value)
{
    if (IsNull(value))
        RaiseNullCast("Boolean");
    if (const auto* b = std::get_if<bool>(&value))
        return *b;
    if (const auto* n = std::get_if<std::int32_t>(&value))
        return *n != 0;
    const std::string text = Text(value);
    if (text == "True" || text == "true" || text == "TRUE")
        return true;
    if (text == "False" || text == "false" || text == "FALSE")
        return false;
    if (const auto n = ParseIntegerText(text))
        return *n != 0;
    throw EConvertError("'" + text + "' is not a valid boolean value");
}

TDateTime ValueToDate(const TValue& value)
{
    if (IsNull(value))
        RaiseNullCast("Date");
    if (const auto* d = std::get_if<TDateTime>(&value))
        return *d;
    if (const auto* n = std::get_if<std::int32_t>(&value))
        return TDateTime{static_cast<double>(*n)};
    const std::string text = Text(value);
    if (const auto d = ParseFileDateTime(text, CurrentLocalYear()))
        return TDateTime{*d};
    throw EConvertError("'" + text + "' is not a valid date and time");
}
