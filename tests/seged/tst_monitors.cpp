#include "seged/monitors.h"

#include <QTest>

#include <vector>

using Monitors = std::vector<QRect>;
Q_DECLARE_METATYPE(Monitors)

class TestMonitors : public QObject {
    Q_OBJECT

private slots:
    void holdingMonitor_data();
    void holdingMonitor();
    void mostlyOnMonitors_data();
    void mostlyOnMonitors();
};

namespace {
// Two 1024x768 monitors side by side, and a second row below the right one.
const QRect Left(0, 0, 1024, 768);
const QRect Right(1024, 0, 1024, 768);
const QRect Below(1024, 768, 1280, 1024);
}  // namespace

void TestMonitors::holdingMonitor_data()
{
    QTest::addColumn<QRect>("window");
    QTest::addColumn<Monitors>("monitors");
    QTest::addColumn<int>("expected");

    const Monitors two{Left, Right};
    QTest::newRow("no monitors") << QRect(0, 0, 100, 100) << Monitors{} << -1;
    QTest::newRow("one monitor, off it") << QRect(5000, 5000, 10, 10) << Monitors{Left} << 0;
    QTest::newRow("inside the first") << QRect(100, 100, 260, 110) << two << 0;
    QTest::newRow("x=1300 on the second") << QRect(1300, 100, 260, 110) << two << 1;
    QTest::newRow("largest part decides") << QRect(950, 0, 200, 100) << two << 1;
    QTest::newRow("largest part, the other way") << QRect(900, 0, 200, 100) << two << 0;
    QTest::newRow("equal parts: the first") << QRect(974, 0, 100, 100) << two << 0;
    QTest::newRow("second monitor gone: nearest")
        << QRect(1300, 100, 260, 110) << Monitors{Left} << 0;
    QTest::newRow("beyond the right edge: nearest is the right")
        << QRect(2100, 10, 100, 100) << two << 1;
    QTest::newRow("above both, closer to the left") << QRect(800, -300, 100, 100) << two << 0;
    QTest::newRow("in the gap below the left: the lower row is nearer")
        << QRect(900, 800, 100, 100) << Monitors{Left, Right, Below} << 2;
    QTest::newRow("empty window counts by its corner") << QRect(1500, 100, 0, 0) << two << 1;
    QTest::newRow("far-off values do not overflow")
        << QRect(2'000'000'000, 100, 100, 100) << two << 1;
    QTest::newRow("far off on the other side")
        << QRect(-2'000'000'000, -2'000'000'000, 100, 100) << two << 0;
}

void TestMonitors::holdingMonitor()
{
    QFETCH(QRect, window);
    QFETCH(Monitors, monitors);
    QFETCH(int, expected);
    QCOMPARE(HoldingMonitor(window, monitors), expected);
}

void TestMonitors::mostlyOnMonitors_data()
{
    QTest::addColumn<QRect>("window");
    QTest::addColumn<Monitors>("monitors");
    QTest::addColumn<bool>("expected");

    const Monitors two{Left, Right};
    QTest::newRow("wholly on one") << QRect(1300, 100, 260, 110) << two << true;
    QTest::newRow("across both") << QRect(900, 100, 260, 110) << two << true;
    QTest::newRow("its monitor gone") << QRect(1300, 100, 260, 110) << Monitors{Left} << false;
    QTest::newRow("half off the edge") << QRect(924, 0, 200, 100) << Monitors{Left} << true;
    QTest::newRow("mostly off the edge") << QRect(974, 0, 200, 100) << Monitors{Left} << false;
    QTest::newRow("taller than the screen, top above it")
        << QRect(100, -100, 200, 800) << Monitors{Left} << true;
    QTest::newRow("empty window") << QRect(10, 10, 0, 0) << two << false;
    QTest::newRow("no monitors") << QRect(10, 10, 10, 10) << Monitors{} << false;
}

void TestMonitors::mostlyOnMonitors()
{
    QFETCH(QRect, window);
    QFETCH(Monitors, monitors);
    QFETCH(bool, expected);
    QCOMPARE(MostlyOnMonitors(window, monitors), expected);
}

QTEST_GUILESS_MAIN(TestMonitors)
#include "tst_monitors.moc"
