// A stand-in for the program in the single-instance tests: it makes the
// guard the way the program does and prints what it found.
//   instance_helper <stay-ms> [<activations to wait for> [<start at>]]
// prints "first" or "second"; a first copy prints "activated" for each
// request to come forward and ends after stay-ms, or once it has seen the
// given number of requests. With a start time (milliseconds since the epoch)
// the guard is made only then, so that copies started one after another
// check at the same moment.
#include "desktop/single_instance.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QThread>
#include <QTimer>

#include <cstdio>

namespace {
void Say(const char* line)
{
    std::fputs(line, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}
}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int stayMs = args.value(1).toInt();
    const int awaited = args.value(2).toInt();
    const qint64 startAt = args.value(3).toLongLong();
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (startAt > now)
        QThread::msleep(static_cast<unsigned long>(startAt - now));

    TSingleInstance instance(QCoreApplication::applicationFilePath());
    if (instance.HandOver()) {
        Say("second");
        return 0;
    }
    Say("first");
    int seen = 0;
    QObject::connect(&instance, &TSingleInstance::activationRequested, &app, [&] {
        Say("activated");
        if (++seen == awaited)
            app.quit();
    });
    QTimer::singleShot(stayMs, &app, &QCoreApplication::quit);
    return app.exec();
}
