#include "app/vikora_application.h"

#include "seged/error_report.h"

#include <exception>

TVikoraApplication::TVikoraApplication(int& argc, char** argv) : QApplication(argc, argv) { }

bool TVikoraApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ShowErrorReport(QString::fromUtf8(e.what()));
    } catch (...) {
        ShowErrorReport(QStringLiteral("Unknown error"));
    }
    return false;
}
