#include "seged/note_font.h"

TFontSpec FontSpecOf(const TNoteFont& font)
{
    return TFontSpec{QString::fromStdString(font.Name),
                     font.Size,
                     font.Color,
                     font.Bold,
                     font.Italic,
                     font.Underline};
}

TNoteFont NoteFontOf(const TFontSpec& font)
{
    return TNoteFont{font.Name.toStdString(), font.Size, font.Color, font.Bold, font.Italic,
                     font.Underline};
}
