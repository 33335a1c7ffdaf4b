#pragma once

#include <QApplication>

// The application object: every exception that escapes an event or command
// handler ends up here and is shown as the standard error report; the
// program then goes on.
class TVikoraApplication : public QApplication {
    Q_OBJECT

public:
    TVikoraApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
