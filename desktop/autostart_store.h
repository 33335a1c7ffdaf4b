#pragma once

#include <QString>

#include <stdexcept>

// The program's start at log-on: an XDG autostart entry
// $XDG_CONFIG_HOME/autostart/<name>.desktop (~/.config when XDG_CONFIG_HOME
// is unset or not absolute) whose one-argument Exec command line is the
// program file's path.
//
// Entry names compare without regard to case: an entry that differs from the
// name only in case is the same entry, so the program never leaves two.

// An entry that exists but is not a desktop entry with a command line.
class EAutostartEntryUnreadable : public std::runtime_error {
public:
    EAutostartEntryUnreadable(const QString& name, const QString& path);

    // The name the entry was read by, and the file that was found.
    const QString& Name() const { return m_name; }
    const QString& Path() const { return m_path; }

private:
    QString m_name;
    QString m_path;
};

// The program file path the entry starts, or empty when there is no such
// entry (missing folder or file, or an entry that the desktop would not
// start). A command line with arguments is returned as it stands. Creates
// nothing. Throws EAutostartEntryUnreadable when the entry cannot be read.
QString ReadAutostartEntry(const QString& name);

// Stores an entry that starts the program file, creating the folder when
// missing; the entry is replaced in one step. False on any failure, with the
// old entry left as it was.
bool WriteAutostartEntry(const QString& name, const QString& programFile);

// Deletes the entry; a missing folder or entry is not an error.
void RemoveAutostartEntry(const QString& name);

// The command line that starts the program file at this path, as the
// autostart entry holds it.
QString AutostartCommandForProgram(const QString& programFilePath);
