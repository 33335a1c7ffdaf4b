#pragma once

#include "seged/beall.h"

#include <QFont>
#include <QString>

#include <Qt>

// Note texts keep CR LF line ends in the table; the label shows LF. The
// editors take the stored text itself (seged/editor_text.h).
QString StoredToShown(const QString& stored);

// Alignment codes of notes: 0 left, 1 right, 2 centre.
Qt::Alignment HorizontalAlignment(int igazit);

QFont FontFromSpec(const TFontSpec& wanted);
// The stored part of a font: strike-out and the rest of QFont are dropped.
TFontSpec SpecFromFont(const QFont& font, std::int32_t color);
