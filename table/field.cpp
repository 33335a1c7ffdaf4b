#include "table/field.h"

#include "table/datetime_text.h"
#include "table/int_text.h"
#include "table/mem_table.h"
#include "table/utf8.h"

#include <chrono>
#include <cmath>

namespace {
int CurrentYear()
{
    const auto now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_year + 1900;
}

std::string BooleanText(bool value)
{
    return value ? "True" : "False";
}

// The text form of a value of any type, for the fields that hold text.
std::string AnyValueText(const TValue& value)
{
    if (const auto* s = std::get_if<std::string>(&value))
        return *s;
    if (const auto* n = std::get_if<std::int32_t>(&value))
        return IntegerToText(*n);
    if (const auto* b = std::get_if<bool>(&value))
        return BooleanText(*b);
    if (const auto* d = std::get_if<TDateTime>(&value))
        return FormatFileDateTime(d->value);
    return {};
}
}  // namespace

TField::TField(TqorMemTable& table, std::string fieldName, TFieldType dataType, int size)
    : FieldName(std::move(fieldName)), DataType(dataType), Size(size), m_table(table)
{ }

std::string TField::DisplayName() const
{
    return DisplayLabel.empty() ? FieldName : DisplayLabel;
}

int TField::EffectiveDisplayWidth() const
{
    if (DisplayWidth != 0)
        return DisplayWidth;
    switch (DataType) {
    case ftString:
        return Size;
    case ftBoolean:
        return 5;
    case ftDateTime:
        return 18;
    default:
        return 10;
    }
}

bool TField::IsNull() const
{
    return ::IsNull(m_table.CurrentValue(m_index));
}

TValue TField::Value() const
{
    return m_table.CurrentValue(m_index);
}

void TField::SetValue(const TValue& value)
{
    m_table.SetFieldValue(*this, value);
}

void TField::Clear()
{
    SetValue(TValue{});
}

std::string TField::AsString() const
{
    return ToText(m_table.CurrentValue(m_index));
}

void TField::SetAsString(const std::string& text)
{
    SetValue(TValue{text});
}

std::int32_t TField::AsInteger() const
{
    const TValue v = Convert(Value());
    if (const auto* n = std::get_if<std::int32_t>(&v))
        return *n;
    if (const auto* b = std::get_if<bool>(&v))
        return *b ? 1 : 0;
    if (const auto* s = std::get_if<std::string>(&v)) {
        if (const auto n = ParseIntegerText(*s))
            return *n;
        RaiseInvalidInteger(*s);
    }
    return 0;
}

void TField::SetAsInteger(std::int32_t value)
{
    SetValue(TValue{value});
}

bool TField::AsBoolean() const
{
    const TValue v = Value();
    if (const auto* b = std::get_if<bool>(&v))
        return *b;
    if (const auto* n = std::get_if<std::int32_t>(&v))
        return *n != 0;
    if (const auto* s = std::get_if<std::string>(&v))
        return *s == "True";
    return false;
}

void TField::SetAsBoolean(bool value)
{
    SetValue(TValue{value});
}

TDateTime TField::AsDateTime() const
{
    const TValue v = Value();
    if (const auto* d = std::get_if<TDateTime>(&v))
        return *d;
    if (const auto* n = std::get_if<std::int32_t>(&v))
        return TDateTime{static_cast<double>(*n)};
    if (const auto* s = std::get_if<std::string>(&v)) {
        if (s->empty())
            return {};
        if (const auto d = ParseFileDateTime(*s, CurrentYear()))
            return TDateTime{*d};
        throw EConvertError("'" + *s + "' is not a valid date and time");
    }
    return {};
}

void TField::SetAsDateTime(TDateTime value)
{
    SetValue(TValue{value});
}

void TField::RaiseInvalidInteger(const std::string& text) const
{
    throw EDatabaseError("'" + text + "' is not a valid integer value for field '" + DisplayName() +
                         "'");
}

// --- string ---

TStringField::TStringField(TqorMemTable& table, std::string name, int size)
    : TField(table, std::move(name), ftString, size)
{ }

TValue TStringField::Convert(const TValue& value) const
{
    if (::IsNull(value))
        return value;
    std::string text = ToText(value);
    text.resize(FittedSize(text, Size));
    return text;
}

std::size_t TStringField::FittedSize(std::string_view text, int size)
{
    text = text.substr(0, text.find('\0'));
    return size > 0 ? Utf8LeftSize(text, static_cast<std::size_t>(size)) : text.size();
}

std::string TStringField::ToText(const TValue& value) const
{
    return AnyValueText(value);
}

// --- integer ---

TIntegerField::TIntegerField(TqorMemTable& table, std::string name, TFieldType type)
    : TField(table, std::move(name), type, 0)
{ }

TValue TIntegerField::Convert(const TValue& value) const
{
    if (const auto* s = std::get_if<std::string>(&value)) {
        if (s->empty())
            return {};
        if (const auto n = ParseIntegerText(*s))
            return *n;
        RaiseInvalidInteger(*s);
    }
    if (const auto* b = std::get_if<bool>(&value))
        return std::int32_t{*b ? 1 : 0};
    if (const auto* d = std::get_if<TDateTime>(&value)) {
        const double days = std::trunc(d->value);
        if (!(days >= INT32_MIN && days <= INT32_MAX))
            RaiseInvalidInteger(FormatFileDateTime(d->value));
        return static_cast<std::int32_t>(days);
    }
    return value;
}

std::string TIntegerField::ToText(const TValue& value) const
{
    if (const auto* n = std::get_if<std::int32_t>(&value))
        return IntegerToText(*n);
    if (const auto* s = std::get_if<std::string>(&value))
        return *s;
    return {};
}

TAutoIncField::TAutoIncField(TqorMemTable& table, std::string name)
    : TIntegerField(table, std::move(name), ftAutoInc)
{ }

// --- boolean ---

TBooleanField::TBooleanField(TqorMemTable& table, std::string name)
    : TField(table, std::move(name), ftBoolean, 0)
{ }

TValue TBooleanField::Convert(const TValue& value) const
{
    if (const auto* s = std::get_if<std::string>(&value)) {
        if (s->empty())
            return {};
        if (CompareBytes(*s, "True", true) == 0)
            return true;
        if (CompareBytes(*s, "False", true) == 0)
            return false;
        throw EDatabaseError("'" + *s + "' is not a valid boolean value for field '" +
                             DisplayName() + "'");
    }
    if (const auto* n = std::get_if<std::int32_t>(&value))
        return *n != 0;
    if (std::holds_alternative<TDateTime>(value))
        return std::get<TDateTime>(value).value != 0.0;
    return value;
}

std::string TBooleanField::ToText(const TValue& value) const
{
    if (const auto* b = std::get_if<bool>(&value))
        return BooleanText(*b);
    return {};
}

// --- date-time ---

TDateTimeField::TDateTimeField(TqorMemTable& table, std::string name)
    : TField(table, std::move(name), ftDateTime, 0)
{ }

TValue TDateTimeField::Convert(const TValue& value) const
{
    TDateTime result;
    if (const auto* s = std::get_if<std::string>(&value)) {
        if (s->empty())
            return {};
        const auto d = ParseFileDateTime(*s, CurrentYear());
        if (!d)
            throw EConvertError("'" + *s + "' is not a valid date and time");
        result.value = *d;
    } else if (const auto* n = std::get_if<std::int32_t>(&value)) {
        result.value = *n;
    } else if (const auto* b = std::get_if<bool>(&value)) {
        result.value = *b ? 1.0 : 0.0;
    } else if (const auto* d = std::get_if<TDateTime>(&value)) {
        result = *d;
    } else {
        return value;
    }
    // A value the file cannot hold would make every later save fail.
    int y, m, day, h, min, sec, ms;
    DecodeDateTime(result.value, y, m, day, h, min, sec, ms);
    return result;
}

std::string TDateTimeField::ToText(const TValue& value) const
{
    if (const auto* d = std::get_if<TDateTime>(&value))
        return FormatFileDateTime(d->value);
    return {};
}

// --- blobs ---

TBlobField::TBlobField(TqorMemTable& table, std::string name, TFieldType type)
    : TField(table, std::move(name), type, 0)
{ }

TValue TBlobField::Convert(const TValue& value) const
{
    if (::IsNull(value))
        return value;
    std::string text = ToText(value);
    if (text.empty())
        return {};
    return text;
}

std::string TBlobField::ToText(const TValue& value) const
{
    return AnyValueText(value);
}

TMemoField::TMemoField(TqorMemTable& table, std::string name)
    : TBlobField(table, std::move(name), ftMemo)
{ }

TGraphicField::TGraphicField(TqorMemTable& table, std::string name)
    : TBlobField(table, std::move(name), ftGraphic)
{ }
