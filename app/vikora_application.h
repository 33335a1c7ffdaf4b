#pragma once

#include <QApplication>

// The application object. Commands and event handlers catch their own errors
// (RunReported, MakeAction); an exception that still escapes one ends up here,
// as a last resort, and is shown as the standard error report; the program
// then goes on.
class TVikoraApplication : public QApplication {
    Q_OBJECT

public:
    TVikoraApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
