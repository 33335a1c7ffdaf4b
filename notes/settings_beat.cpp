#include "notes/settings_beat.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>

TSettingsBeat::TSettingsBeat(QObject* parent) : QObject(parent)
{
    setObjectName(QStringLiteral("SettingsBeat"));
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(2500);
    // A change of settings must reach every note within one beat; coarser
    // timers round the interval up to whole seconds.
    Timer1->setTimerType(Qt::PreciseTimer);
    connect(Timer1, &QTimer::timeout, this, &TSettingsBeat::beat);
    Timer1->start();
}

TSettingsBeat& TSettingsBeat::Instance()
{
    static QPointer<TSettingsBeat> instance;
    if (!instance)
        instance = new TSettingsBeat(QCoreApplication::instance());
    return *instance;
}
