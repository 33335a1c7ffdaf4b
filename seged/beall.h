#pragma once

#include <QString>

#include <cstdint>

// A font as notes store it: name, size in points, colour (0x00BBGGRR) and
// style.
struct TFontSpec {
    QString Name = QStringLiteral("Tahoma");
    int Size = 10;
    std::int32_t Color = 0;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;

    friend bool operator==(const TFontSpec&, const TFontSpec&) = default;
};

// The program-wide defaults of new notes and the transparency of note windows.
struct TBeall {
    int DialogFontSize = 10;
    TFontSpec Font;
    std::int32_t Color = 8421631;
    int Alignment = 2;
    bool FontTransparent = false;
    bool WindowTransparent = false;
    bool UseTransparentColor = false;
    bool AlphaBlend = false;
    int AlphaBlendValue = 255;
};

// The one instance the program uses.
extern TBeall Beall;

// Fills the defaults from the section "Defaults" of the settings file;
// reading never fails (missing or bad values give the defaults). Run at
// start, it first removes the temporary files that interrupted writes of the
// settings file left.
void LoadDefaults(TBeall& beall, const QString& settingsFile);
// Creates the settings file's folder (owner-only) when missing, then writes the
// section "Defaults". Raises EIniFileException ("Unable to write to <path>")
// on failure.
void SaveDefaults(const TBeall& beall, const QString& settingsFile);
