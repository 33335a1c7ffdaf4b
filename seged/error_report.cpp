#include "seged/error_report.h"

#include "seged/message_boxes.h"

QString ErrorReportText(const QString& message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

void ShowErrorReport(const QString& message, QWidget* owner)
{
    ShowMessageBox({QStringLiteral("Vikora"), ErrorReportText(message), QMessageBox::Critical,
                    QMessageBox::Ok},
                   owner);
}
