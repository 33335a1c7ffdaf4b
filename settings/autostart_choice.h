#pragma once

#include <QString>

#include <functional>

// The program's autostart value as the settings dialog uses it: read,
// written with the program file's path, removed.
struct TAutostartAccess {
    // The stored path, empty when there is none; throws ERegistryError when
    // a value exists that is not a string.
    std::function<QString()> Read;
    // False when the value could not be written.
    std::function<bool(const QString& programFile)> Write;
    // A missing value is not an error.
    std::function<void()> Remove;
};

// The value "Vikora" under the current user's run key.
TAutostartAccess RunKeyAutostart();

// Whether the stored value starts this very program file: the same path,
// character for character. An unknown program path never matches.
bool NamesProgram(const QString& stored, const QString& programFile);
