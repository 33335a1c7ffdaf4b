#pragma once

#include "record/note.h"
#include "seged/beall.h"

// A note's font between the table's form (UTF-8 name) and the windows' form.
TFontSpec FontSpecOf(const TNoteFont& font);
TNoteFont NoteFontOf(const TFontSpec& font);
