#include "form_position.h"

#include "globals.h"
#include "ini_file.h"
#include "monitors.h"

#include <cstdint>

namespace {

const QString LeftKey = QStringLiteral("Left");
const QString TopKey = QStringLiteral("Top");
const QString WidthKey = QStringLiteral("Width");
const QString HeightKey = QStringLiteral("Height");

// One dimension of FitIntoWorkArea; `limit` is the far edge.
void FitSpan(std::int64_t limit, int& start, int& length)
{
    if (start > limit)
        start = 0;
    // 64 bits: stored values may be anywhere in the int range.
    if (std::int64_t{start} + length > limit) {
        if (length < limit) {
            start = static_cast<int>(limit - length);
        } else {
            start = 0;
            length = static_cast<int>(limit);
        }
    }
}

// Settings file and section, then the bounds in the order of the keys.
// NOLINTNEXTLINE(bugprone-easily-swappable-parameters)
void ReadBounds(const QString& settingsFile, const QString& section, int& left, int& top,
                int& width, int& height)
{
    const TIniFile ini(settingsFile);
    left = ini.ReadInteger(section, LeftKey, 10);
    top = ini.ReadInteger(section, TopKey, 10);
    width = ini.ReadInteger(section, WidthKey, width);
    height = ini.ReadInteger(section, HeightKey, height);
}

}  // namespace

void FitIntoWorkArea(const QRect& workArea, int& left, int& top, int& width, int& height)
{
    // The far edges as a Windows rectangle holds them: just past the last pixel.
    FitSpan(std::int64_t{workArea.x()} + workArea.width(), left, width);
    FitSpan(std::int64_t{workArea.y()} + workArea.height(), top, height);
}

void LoadFormPos(const QString& settingsFile, const QString& section, int& left, int& top)
{
    const TIniFile ini(settingsFile);
    left = ini.ReadInteger(section, LeftKey, 10);
    top = ini.ReadInteger(section, TopKey, 10);
}

void LoadFormPos(const QString& section, int& left, int& top)
{
    LoadFormPos(SettingsFile, section, left, top);
}

void LoadFormBounds(const QString& settingsFile, const QRect& workArea, const QString& section,
                    int& left, int& top, int& width, int& height)
{
    ReadBounds(settingsFile, section, left, top, width, height);
    FitIntoWorkArea(workArea, left, top, width, height);
}

void LoadFormBounds(const QString& section, int& left, int& top, int& width, int& height)
{
    ReadBounds(SettingsFile, section, left, top, width, height);
    FitIntoWorkArea(WorkAreaHolding(QRect(left, top, width, height)), left, top, width, height);
}

void KeepOnMonitors(int& left, int& top, int width, int height)
{
    const QRect window(left, top, width, height);
    if (!MostlyOnMonitors(window, MonitorGeometries()))
        FitIntoWorkArea(WorkAreaHolding(window), left, top, width, height);
}

void SaveFormPos(const QString& settingsFile, const QString& section, int left, int top)
{
    try {
        TIniFile(settingsFile)
            .WriteStrings(section,
                          {{LeftKey, QString::number(left)}, {TopKey, QString::number(top)}});
    } catch (const EIniFileException&) {
        // A lost window position is not worth a message.
    }
}

void SaveFormPos(const QString& section, int left, int top)
{
    SaveFormPos(SettingsFile, section, left, top);
}

void SaveFormBounds(const QString& settingsFile, const QString& section, int left, int top,
                    int width, int height)
{
    TIniFile(settingsFile)
        .WriteStrings(section, {{LeftKey, QString::number(left)},
                                {TopKey, QString::number(top)},
                                {WidthKey, QString::number(width)},
                                {HeightKey, QString::number(height)}});
}

void SaveFormBounds(const QString& section, int left, int top, int width, int height)
{
    SaveFormBounds(SettingsFile, section, left, top, width, height);
}
