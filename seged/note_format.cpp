#include "seged/note_format.h"

QString StoredToShown(const QString& stored)
{
    QString shown = stored;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
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

QFont FontFromSpec(const TFontSpec& wanted)
{
    QFont font(wanted.Name);
    if (wanted.Size > 0)
        font.setPointSize(wanted.Size);
    font.setBold(wanted.Bold);
    font.setItalic(wanted.Italic);
    font.setUnderline(wanted.Underline);
    return font;
}

TFontSpec SpecFromFont(const QFont& font, std::int32_t color)
{
    TFontSpec wanted;
    wanted.Name = font.family();
    wanted.Size = font.pointSize();
    wanted.Color = color;
    wanted.Bold = font.bold();
    wanted.Italic = font.italic();
    wanted.Underline = font.underline();
    return wanted;
}
