#include "settings/autostart_choice.h"

#include "desktop/autostart_store.h"

TAutostartAccess RunKeyAutostart()
{
    // Value names compare without regard to case: "vikora" reads what
    // "Vikora" wrote.
    return {
        [] { return RegReadString(RunKey, QStringLiteral("vikora")); },
        [](const QString& programFile) {
            return RegWriteString(RunKey, QStringLiteral("Vikora"), programFile);
        },
        [] { RegRemoveValue(RunKey, QStringLiteral("Vikora")); },
    };
}

bool NamesProgram(const QString& stored, const QString& programFile)
{
    return !programFile.isEmpty() && stored == programFile;
}
