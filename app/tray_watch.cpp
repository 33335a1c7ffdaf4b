#include "app/tray_watch.h"

#include <QTimer>

TTrayWatch::TTrayWatch(TProbe trayAvailable, QObject* parent)
    : QObject(parent), m_probe(std::move(trayAvailable)), m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &TTrayWatch::Look);
}

void TTrayWatch::Start(int graceMs, int pollMs)
{
    m_pollMs = pollMs;
    m_firstLook = true;
    m_lastSeen = true;
    m_timer->start(graceMs);
}

bool TTrayWatch::TrayAvailable() const
{
    return m_probe && m_probe();
}

void TTrayWatch::Look()
{
    const bool seen = TrayAvailable();
    if (m_firstLook && !seen)
        emit trayMissing();
    else if (!m_lastSeen && seen)
        emit trayAppeared();
    m_firstLook = false;
    m_lastSeen = seen;
    // Once there, a tray that goes and comes back (a panel restarted) is
    // followed by the icon itself; looking costs a bus connection on some
    // desktops, so it stops.
    if (!seen)
        m_timer->start(m_pollMs);
}
