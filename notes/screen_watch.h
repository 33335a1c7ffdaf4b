#pragma once

#include <QObject>

class QScreen;
class QTimer;

// One signal for every change of the monitors: one added or removed, or its
// size or work area changed. A burst of changes (RandR sends several) gives
// one `changed`, after Qt has settled its list of screens.
class TScreenWatch : public QObject {
    Q_OBJECT

public:
    static TScreenWatch& Instance();

signals:
    void changed();

private:
    explicit TScreenWatch(QObject* parent);
    void Watch(QScreen* screen);

    QTimer* m_settle = nullptr;
};
