#pragma once

#include <QColor>

#include <cstdint>

// The program's colours are 32-bit values laid out 0x00BBGGRR. A value whose
// top byte is 0xFF names a system colour by its index in the low byte
// (0xFF000005 is the background of text fields and grids); those follow the
// application palette, and an unknown index gives that background. Any
// other top byte is ignored.
QColor ColorToQColor(std::int32_t color);

// Always a plain 0x00BBGGRR value; the alpha is dropped.
std::int32_t QColorToColor(const QColor& color);
