#pragma once

#include <QString>

#include <functional>

// The program's autostart entry as the settings dialog uses it: read,
// written with the program file's path, removed.
struct TAutostartAccess {
    // The stored path, empty when there is none; throws std::runtime_error
    // with the message the dialog shows when an entry exists that cannot be
    // read.
    std::function<QString()> Read;
    // False when the entry could not be written.
    std::function<bool(const QString& programFile)> Write;
    // A missing entry is not an error.
    std::function<void()> Remove;
};

// The desktop's autostart entry "Vikora".
TAutostartAccess ProgramAutostart();

// Whether the stored value starts this very program file: the same path,
// character for character. An unknown program path never matches.
bool NamesProgram(const QString& stored, const QString& programFile);
