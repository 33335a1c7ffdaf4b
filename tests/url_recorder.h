#pragma once

// Stands in for the browser and the mail program: while started, every
// http, https and mailto address the desktop is asked to open is recorded
// instead of opened.

#include <QDesktopServices>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QUrl>

class TUrlRecorder : public QObject {
    Q_OBJECT

public:
    QList<QUrl> Opened;

    void Start()
    {
        Opened.clear();
        for (const QString& scheme : Schemes())
            QDesktopServices::setUrlHandler(scheme, this, "open");
    }

    void Stop()
    {
        for (const QString& scheme : Schemes())
            QDesktopServices::unsetUrlHandler(scheme);
    }

public slots:
    void open(const QUrl& url) { Opened.append(url); }

private:
    static QStringList Schemes()
    {
        return {QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("mailto")};
    }
};
