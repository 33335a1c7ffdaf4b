#pragma once

#include <compare>
#include <cstdint>
#include <string>
#include <variant>

// Days since 30 December 1899, the time of day as the fraction.
struct TDateTime {
    double value = 0.0;
    friend auto operator<=>(const TDateTime&, const TDateTime&) = default;
};

// A field value: null, text (UTF-8; raw bytes for graphic fields), a 32-bit
// integer, a boolean or a date-time.
using TValue = std::variant<std::monostate, std::string, std::int32_t, bool, TDateTime>;

inline bool IsNull(const TValue& v)
{
    return std::holds_alternative<std::monostate>(v);
}

// The type codes 0 to 37, in the order of their names in the table file.
enum TFieldType {
    ftUnknown,
    ftString,
    ftSmallint,
    ftInteger,
    ftWord,
    ftBoolean,
    ftFloat,
    ftCurrency,
    ftBCD,
    ftDate,
    ftTime,
    ftDateTime,
    ftBytes,
    ftVarBytes,
    ftAutoInc,
    ftBlob,
    ftMemo,
    ftGraphic,
    ftFmtMemo,
    ftParadoxOle,
    ftDBaseOle,
    ftTypedBinary,
    ftCursor,
    ftFixedChar,
    ftWideString,
    ftLargeint,
    ftADT,
    ftArray,
    ftReference,
    ftDataSet,
    ftOraBlob,
    ftOraClob,
    ftVariant,
    ftInterface,
    ftIDispatch,
    ftGuid,
    ftTimeStamp,
    ftFMTBcd
};

inline constexpr int FieldTypeCount = 38;

// The type's name as the table file spells it ("String", "AutoInc", ...).
const char* FieldTypeName(TFieldType type);

enum TFieldKind { fkData, fkCalculated, fkLookup, fkInternalCalc, fkAggregate };

inline constexpr int FieldKindCount = 5;

// "Data", "Calculated", "Lookup", "InternalCalc", "Aggregate".
const char* FieldKindName(TFieldKind kind);

enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };
