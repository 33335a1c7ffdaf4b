#pragma once

#include <QObject>

class QTimer;

// One 2.5-second beat that every note window follows, so that many notes
// wake the program once per beat rather than once each.
class TSettingsBeat : public QObject {
    Q_OBJECT

public:
    static TSettingsBeat& Instance();

    QTimer* Timer1 = nullptr;

signals:
    void beat();

private:
    explicit TSettingsBeat(QObject* parent);
};
