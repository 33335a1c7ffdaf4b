#include "notes/screen_watch.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>

TScreenWatch::TScreenWatch(QObject* parent) : QObject(parent)
{
    setObjectName(QStringLiteral("ScreenWatch"));
    m_settle = new QTimer(this);
    m_settle->setSingleShot(true);
    m_settle->setInterval(0);
    connect(m_settle, &QTimer::timeout, this, &TScreenWatch::changed);
    for (QScreen* screen : QGuiApplication::screens())
        Watch(screen);
    connect(qGuiApp, &QGuiApplication::screenAdded, this, [this](QScreen* screen) {
        Watch(screen);
        m_settle->start();
    });
    connect(qGuiApp, &QGuiApplication::screenRemoved, m_settle, qOverload<>(&QTimer::start));
    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, m_settle, qOverload<>(&QTimer::start));
}

void TScreenWatch::Watch(QScreen* screen)
{
    connect(screen, &QScreen::geometryChanged, m_settle, qOverload<>(&QTimer::start));
    connect(screen, &QScreen::availableGeometryChanged, m_settle, qOverload<>(&QTimer::start));
}

TScreenWatch& TScreenWatch::Instance()
{
    static QPointer<TScreenWatch> instance;
    if (!instance)
        instance = new TScreenWatch(QCoreApplication::instance());
    return *instance;
}
