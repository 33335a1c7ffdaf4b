#pragma once

#include "record/field_values.h"

#include <QString>

// A table value as text (UTF-8 decoded); a null value gives defaultText.
// The other conversions are those of record/field_values.h.
QString NullToStr(const TValue& value, const QString& defaultText);
