#pragma once

#include <QRect>
#include <QString>

// Window positions in the settings file, in a section named after the window.
// The short forms use the global SettingsFile and WorkArea.

// "Left" and "Top", each 10 when missing.
void LoadFormPos(const QString& section, int& left, int& top);
void LoadFormPos(const QString& settingsFile, const QString& section, int& left, int& top);

// "Left" and "Top" (10 when missing), "Width" and "Height" (the values passed
// in when missing), then fitted into the work area by FitIntoWorkArea: the
// given one, or in the short form that of the monitor holding the window.
// Positions are those of the window's client area, not of the window
// manager's frame around it, so that a window comes back where it was.
void LoadFormBounds(const QString& section, int& left, int& top, int& width, int& height);
void LoadFormBounds(const QString& settingsFile, const QRect& workArea, const QString& section,
                    int& left, int& top, int& width, int& height);

// A window whose place is mostly off every monitor (one was removed) is
// fitted into the work area of the nearest; any other place stays.
void KeepOnMonitors(int& left, int& top, int width, int height);

// Writes "Left" and "Top"; a failure is ignored.
void SaveFormPos(const QString& section, int left, int top);
void SaveFormPos(const QString& settingsFile, const QString& section, int left, int top);

// Writes "Left", "Top", "Width" and "Height"; raises EIniFileException when
// the file cannot be written. The data folder is not created here.
void SaveFormBounds(const QString& section, int left, int top, int width, int height);
void SaveFormBounds(const QString& settingsFile, const QString& section, int left, int top,
                    int width, int height);

// Moves and shrinks a window so that it does not reach past the right and
// bottom edges of the work area, whose left and top edges count as 0. A
// window that starts beyond an edge goes to 0; one that is wider or taller
// than the work area gets its full width or height. Negative positions stay.
void FitIntoWorkArea(const QRect& workArea, int& left, int& top, int& width, int& height);
