#include "seged/table_values.h"

QString NullToStr(const TValue& value, const QString& defaultText)
{
    return IsNull(value) ? defaultText : QString::fromStdString(NullToText(value, std::string()));
}
