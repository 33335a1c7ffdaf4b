#pragma once

// Text typed into a widget key by key, as a person types it: every character
// its own key event, a line break the Return key.

#include <QString>
#include <QTest>
#include <QWidget>

inline void Type(QWidget* widget, const QString& text)
{
    for (const QChar c : text) {
        if (c == QLatin1Char('\n'))
            QTest::keyClick(widget, Qt::Key_Return);
        else
            QTest::sendKeyEvent(QTest::KeyAction::Click, widget, Qt::Key_unknown, QString(c),
                                Qt::NoModifier);
    }
}
