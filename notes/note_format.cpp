#include "notes/note_format.h"

QString StoredToShown(const QString& stored)
{
    QString shown = stored;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

QString ShownToStored(const QString& shown)
{
    QString stored = StoredToShown(shown);
    stored.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return stored;
}

Qt::Alignment HorizontalAlignment(int igazit)
{
    switch (igazit) {
    case 1:
        return Qt::AlignRight;
    case 2:
        return Qt::AlignHCenter;
    default:
        return Qt::AlignLeft;
    }
}

QFont FontFromSpec(const TFontSpec& spec)
{
    QFont font(spec.Name);
    if (spec.Size > 0)
        font.setPointSize(spec.Size);
    font.setBold(spec.Bold);
    font.setItalic(spec.Italic);
    font.setUnderline(spec.Underline);
    return font;
}

TFontSpec SpecFromFont(const QFont& font, std::int32_t color)
{
    TFontSpec spec;
    spec.Name = font.family();
    spec.Size = font.pointSize();
    spec.Color = color;
    spec.Bold = font.bold();
    spec.Italic = font.italic();
    spec.Underline = font.underline();
    return spec;
}
