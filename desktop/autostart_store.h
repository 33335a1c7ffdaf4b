#pragma once

#include <QString>

#include <stdexcept>

// The program's start at log-on, kept where the desktop looks for it and
// reached through the same calls as a string value under the current user's
// registry key "...\CurrentVersion\Run". On Linux the value is the XDG
// autostart entry $XDG_CONFIG_HOME/autostart/<value name>.desktop (~/.config
// when XDG_CONFIG_HOME is unset or not absolute); its text is the program
// file's path, stored as the entry's one-argument Exec command line.
//
// The key argument is kept so that callers read like the registry calls; the
// only key the program uses is RunKey, and every key names the autostart
// folder. Value names compare without regard to case, as in the registry.

// A present value that is not a string: an entry that is not a readable
// desktop entry.
class ERegistryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr char RunKey[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The value's text, or empty when there is no such value (missing folder or
// entry, or an entry that the desktop would not start). Creates nothing.
// Throws ERegistryError "Invalid data type for '<valueName>'" when the entry
// exists but cannot be read as a desktop entry with a command line.
QString RegReadString(const QString& key, const QString& valueName);

// Stores the text, creating the folder when missing; the entry is replaced
// in one step. False on any failure, with the old entry left as it was.
bool RegWriteString(const QString& key, const QString& valueName, const QString& text);

// Deletes the value; a missing folder or value is not an error.
void RegRemoveValue(const QString& key, const QString& valueName);

// The command line that starts the program file at this path, as the
// platform's autostart entry holds it.
QString AutostartCommandForProgram(const QString& programFilePath);
