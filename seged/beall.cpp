#include "beall.h"

#include "ini_file.h"
#include "private_folder.h"

#include "files/atomic_write.h"

#include <QFile>
#include <QFileInfo>

TBeall Beall;

namespace {

const QString DefaultsSection = QStringLiteral("Defaults");

QString Number(std::int32_t value)
{
    return QString::number(value);
}

QString Flag(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

}  // namespace

void LoadDefaults(TBeall& beall, const QString& settingsFile)
{
    RemoveStaleTempFiles(QFile::encodeName(settingsFile).toStdString());
    const TIniFile ini(settingsFile);
    const QString& s = DefaultsSection;
    beall.Color = ini.ReadInteger(s, QStringLiteral("Color"), 8421631);
    beall.Alignment = ini.ReadInteger(s, QStringLiteral("Alignment"), 2);
    beall.Font.Name = ini.ReadString(s, QStringLiteral("Font.Name"), QStringLiteral("Tahoma"));
    beall.Font.Size = ini.ReadInteger(s, QStringLiteral("Font.Size"), 10);
    beall.Font.Color = ini.ReadInteger(s, QStringLiteral("Font.Color"), 0);
    beall.Font.Underline = ini.ReadBool(s, QStringLiteral("Font.IsUnderline"), false);
    beall.Font.Bold = ini.ReadBool(s, QStringLiteral("Font.IsBold"), false);
    beall.Font.Italic = ini.ReadBool(s, QStringLiteral("Font.IsItalic"), false);
    beall.FontTransparent = ini.ReadBool(s, QStringLiteral("FontTransparent"), false);
    beall.WindowTransparent = ini.ReadBool(s, QStringLiteral("WindowTransparent"), false);
    beall.AlphaBlend = ini.ReadBool(s, QStringLiteral("AlphaBlend"), false);
    beall.AlphaBlendValue = ini.ReadInteger(s, QStringLiteral("AlphaBlendValue"), 255);
    beall.UseTransparentColor = beall.WindowTransparent || beall.FontTransparent;
}

void SaveDefaults(const TBeall& beall, const QString& settingsFile)
{
    EnsurePrivateFolder(QFileInfo(settingsFile).absolutePath());
    // The order is the order of the keys in a new file.
    TIniFile(settingsFile)
        .WriteStrings(DefaultsSection,
                      {
                          {QStringLiteral("Color"), Number(beall.Color)},
                          {QStringLiteral("Font.Name"), beall.Font.Name},
                          {QStringLiteral("Font.Size"), Number(beall.Font.Size)},
                          {QStringLiteral("Font.Color"), Number(beall.Font.Color)},
                          {QStringLiteral("Font.IsUnderline"), Flag(beall.Font.Underline)},
                          {QStringLiteral("Font.IsBold"), Flag(beall.Font.Bold)},
                          {QStringLiteral("Font.IsItalic"), Flag(beall.Font.Italic)},
                          {QStringLiteral("Alignment"), Number(beall.Alignment)},
                          {QStringLiteral("FontTransparent"), Flag(beall.FontTransparent)},
                          {QStringLiteral("WindowTransparent"), Flag(beall.WindowTransparent)},
                          {QStringLiteral("AlphaBlend"), Flag(beall.AlphaBlend)},
                          {QStringLiteral("AlphaBlendValue"), Number(beall.AlphaBlendValue)},
                      });
}
