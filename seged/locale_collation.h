#pragma once

#include "table/text_compare.h"

#include <QLocale>

// The table's text comparison by the collation of a locale (Hungarian: "cs"
// after "c", "á" with "a", "ö" after "o"). Case tells apart only texts that
// are otherwise equal, lower case first; ignoreCase makes them equal. Text
// that is not well-formed UTF-8 makes the comparison fail.
TTextCompare MakeCollatorTextCompare(const QLocale& locale = QLocale());
