#pragma once

#include <QRect>
#include <QString>

#include <cstdint>

// Resolved once at start, before any window exists.
extern QString ExeFolder;
extern QString DataFolder;
extern QString SettingsFile;
extern QRect WorkArea;
extern std::uint32_t HighlightColor;

// ExeFolder from the program file's path, as given (no trailing "/");
// DataFolder is ExeFolder when a Vikora.ini stands beside the program
// (portable use), otherwise $XDG_DATA_HOME/Vikora (~/.local/share/Vikora when
// the variable is unset or relative), and ExeFolder when there is no home.
void ResolveGlobals(const QString& programFilePath, const QRect& workArea);

// Creates DataFolder and every missing folder above it, owner-only. A failure
// is not reported here: the write that follows fails instead.
void EnsureDataFolder();
