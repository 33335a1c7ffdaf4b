#include "seged/reported.h"

#include "seged/error_report.h"

#include <QtGlobal>

#include <exception>

namespace {
void Report(const QString& message) noexcept
{
    try {
        ShowErrorReport(message);
    } catch (...) {
        // Not even the report could be shown (out of memory): the log is
        // all that is left.
        qCritical("Vikora: an error could not be reported");
    }
}
}  // namespace

void RunReported(const std::function<void()>& command) noexcept
{
    try {
        command();
    } catch (const std::exception& e) {
        Report(QString::fromUtf8(e.what()));
    } catch (...) {
        Report(QStringLiteral("Unknown error"));
    }
}
