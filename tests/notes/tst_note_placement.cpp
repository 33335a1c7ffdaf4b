#include "notes/placement.h"

#include <QtTest>

class TestNotePlacement : public QObject {
    Q_OBJECT

private slots:
    void placeNote_data();
    void placeNote();
    void snap_data();
    void snap();
};

void TestNotePlacement::placeNote_data()
{
    QTest::addColumn<QRect>("workArea");
    QTest::addColumn<QRect>("stored");
    QTest::addColumn<QPoint>("expected");
    const QRect area(0, 0, 1000, 700);
    QTest::newRow("inside") << area << QRect(100, 100, 200, 120) << QPoint(100, 100);
    QTest::newRow("right edge exactly on the work area's")
        << area << QRect(800, 100, 200, 120) << QPoint(800, 100);
    QTest::newRow("right beyond pulled left")
        << area << QRect(900, 100, 200, 120) << QPoint(800, 100);
    QTest::newRow("wider than the work area")
        << area << QRect(50, 100, 1200, 120) << QPoint(0, 100);
    QTest::newRow("negative left") << area << QRect(-40, 100, 200, 120) << QPoint(0, 100);
    QTest::newRow("bottom beyond pulled up")
        << area << QRect(100, 650, 200, 120) << QPoint(100, 580);
    QTest::newRow("taller keeps a negative top")
        << area << QRect(100, 50, 200, 800) << QPoint(100, -100);
    QTest::newRow("negative top shown at 0") << area << QRect(100, -30, 200, 120) << QPoint(100, 0);
    QTest::newRow("taller with negative top at 0")
        << area << QRect(100, -30, 200, 800) << QPoint(100, 0);
    QTest::newRow("work area not at the origin")
        << QRect(100, 50, 1000, 700) << QRect(1000, 700, 200, 120) << QPoint(900, 630);
}

void TestNotePlacement::placeNote()
{
    QFETCH(QRect, workArea);
    QFETCH(QRect, stored);
    QFETCH(QPoint, expected);
    QCOMPARE(
        PlaceNote(workArea, TNotePlace{stored.x(), stored.y(), stored.width(), stored.height()}),
        expected);
}

void TestNotePlacement::snap_data()
{
    QTest::addColumn<QRect>("workArea");
    QTest::addColumn<QRect>("window");
    QTest::addColumn<QPoint>("expected");
    const QRect area(0, 0, 1000, 700);
    QTest::newRow("far from every edge") << area << QRect(300, 300, 200, 100) << QPoint(300, 300);
    QTest::newRow("left 5") << area << QRect(5, 300, 200, 100) << QPoint(0, 300);
    QTest::newRow("left -9 outside") << area << QRect(-9, 300, 200, 100) << QPoint(0, 300);
    QTest::newRow("left 10 stays") << area << QRect(10, 300, 200, 100) << QPoint(10, 300);
    QTest::newRow("top 9") << area << QRect(300, 9, 200, 100) << QPoint(300, 0);
    QTest::newRow("right edge 4 short") << area << QRect(796, 300, 200, 100) << QPoint(800, 300);
    QTest::newRow("right edge 9 beyond") << area << QRect(809, 300, 200, 100) << QPoint(800, 300);
    QTest::newRow("bottom edge 3 short") << area << QRect(300, 597, 200, 100) << QPoint(300, 600);
    QTest::newRow("corner") << area << QRect(3, 604, 200, 100) << QPoint(0, 600);
    QTest::newRow("offset work area")
        << QRect(100, 50, 1000, 700) << QRect(105, 45, 200, 100) << QPoint(100, 50);
}

void TestNotePlacement::snap()
{
    QFETCH(QRect, workArea);
    QFETCH(QRect, window);
    QFETCH(QPoint, expected);
    QCOMPARE(SnapToWorkArea(window, workArea), expected);
}

QTEST_GUILESS_MAIN(TestNotePlacement)
#include "tst_note_placement.moc"
