#pragma once

#include <QFont>
#include <QString>

// What the font chooser can select for a wanted font. The chooser lists only
// installed families and falls back to the application's font for any other
// name; a bold face is found only among the styles of the selected family.
struct TShownFace {
    QFont Font;  // an installed family, with one of its own styles
    QString MissingName;  // the wanted family when it is not installed
};

// The wanted family when installed, otherwise the family the font matcher
// really uses in its place; the style of that family nearest to the wanted
// weight and slant; the wanted size and effects.
TShownFace ShownFace(const QFont& wanted);
