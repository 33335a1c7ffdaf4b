#include "values.h"

namespace {
constexpr const char* typeNames[FieldTypeCount] = {
    "Unknown",     "String",       "SmallInt",   "Integer",    "Word",     "Boolean",    "Float",
    "Currency",    "BCD",          "Date",       "Time",       "DateTime", "Bytes",      "VarBytes",
    "AutoInc",     "Blob",         "Memo",       "Graphic",    "FmtMemo",  "ParadoxOle", "dBaseOle",
    "TypedBinary", "Cursor",       "FixedChar",  "WideString", "LargeInt", "ADT",        "Array",
    "Reference",   "DataSet",      "HugeBlob",   "HugeClob",   "Variant",  "Interface",  "Dispatch",
    "Guid",        "SQLTimeStamp", "FMTBcdField"};

constexpr const char* kindNames[FieldKindCount] = {"Data", "Calculated", "Lookup", "InternalCalc",
                                                   "Aggregate"};
}  // namespace

const char* FieldTypeName(TFieldType type)
{
    const int i = static_cast<int>(type);
    return i >= 0 && i < FieldTypeCount ? typeNames[i] : typeNames[0];
}

const char* FieldKindName(TFieldKind kind)
{
    const int i = static_cast<int>(kind);
    return i >= 0 && i < FieldKindCount ? kindNames[i] : kindNames[0];
}
