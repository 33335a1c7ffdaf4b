#pragma once

#include <QString>

class QWidget;

// The text of the standard error report: the message, with a full stop
// added when its last character sorts after ".".
QString ErrorReportText(const QString& message);

// Shows an error that no handler caught: caption "Vikora", error icon, OK.
void ShowErrorReport(const QString& message, QWidget* owner = nullptr);
