#include "settings/autostart_choice.h"

#include "desktop/autostart_store.h"

#include <stdexcept>

namespace {

// The dialog keeps the names and the message of the original program, which
// kept its start at log-on as the string value "Vikora" under the user's
// registry key "...\CurrentVersion\Run": it reads the value as "vikora" and
// writes it as "Vikora" (value names ignore case, as entry names do here),
// and an entry it cannot read is reported as a value that is not a string.
const QString ReadName = QStringLiteral("vikora");
const QString WriteName = QStringLiteral("Vikora");

QString InvalidDataTypeMessage(const QString& valueName)
{
    return "Invalid data type for '" + valueName + "'";
}

}  // namespace

TAutostartAccess ProgramAutostart()
{
    return {
        [] {
            try {
                return ReadAutostartEntry(ReadName);
            } catch (const EAutostartEntryUnreadable& error) {
                throw std::runtime_error(InvalidDataTypeMessage(error.Name()).toStdString());
            }
        },
        [](const QString& programFile) { return WriteAutostartEntry(WriteName, programFile); },
        [] { RemoveAutostartEntry(WriteName); },
    };
}

bool NamesProgram(const QString& stored, const QString& programFile)
{
    return !programFile.isEmpty() && stored == programFile;
}
