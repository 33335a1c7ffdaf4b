#pragma once

#include <QObject>

#include <functional>

class QTimer;

// Watches whether the desktop has a notification area (tray) for the icon.
// Some desktops have none (GNOME without its extension); others start their
// panel after the program. Once started, it tells once when the tray is
// still missing after a grace period, and when a missing tray appears; it
// stops looking once it has seen a tray.
class TTrayWatch : public QObject {
    Q_OBJECT

public:
    using TProbe = std::function<bool()>;

    // The probe says whether a tray is there now.
    explicit TTrayWatch(TProbe trayAvailable, QObject* parent = nullptr);

    // Replaces the probe (tests).
    void SetProbe(TProbe trayAvailable) { m_probe = std::move(trayAvailable); }

    // Begins watching: the first look after graceMs, then every pollMs.
    void Start(int graceMs, int pollMs);

    bool TrayAvailable() const;

signals:
    // The tray was missing at the first look; emitted once per run.
    void trayMissing();
    // A tray appeared where there was none at the last look.
    void trayAppeared();

private:
    void Look();

    TProbe m_probe;
    QTimer* m_timer;
    int m_pollMs = 0;
    bool m_firstLook = true;
    bool m_lastSeen = true;
};
