#pragma once

#include <QString>

// The body texts of the help window's page, one per section label. Line
// breaks are "\n".
namespace HelpTexts {
QString General();
QString LegalStatus();
QString Requirements();
QString Installation();
QString NewNote();
QString Settings();
QString Editing();
QString ClosingAndDeleting();
// "Zamolin Bt.", the contact person and the telephone number in working hours.
QString ContactBlock();
}  // namespace HelpTexts
