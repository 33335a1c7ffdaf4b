#include "seged/colors.h"

#include <QGuiApplication>
#include <QPalette>
#include <QTest>

#include <cstdint>

namespace {
// A palette where every role and group has a colour of its own, so that a
// system colour can only match the role it is meant to follow.
QPalette DistinctPalette()
{
    QPalette palette;
    int n = 0;
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        for (int role = 0; role < QPalette::NColorRoles; ++role) {
            if (role == QPalette::NoRole)
                continue;
            ++n;
            palette.setColor(group, static_cast<QPalette::ColorRole>(role),
                             QColor(n * 3 % 256, n * 7 % 256, n * 11 % 256));
        }
    }
    return palette;
}
}  // namespace

class TestColors : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void plainColor_data();
    void plainColor();
    void systemColorFollowsPalette_data();
    void systemColorFollowsPalette();
    void toColor_data();
    void toColor();
};

void TestColors::initTestCase()
{
    QGuiApplication::setPalette(DistinctPalette());
}

void TestColors::plainColor_data()
{
    QTest::addColumn<std::int32_t>("color");
    QTest::addColumn<QColor>("expected");

    QTest::newRow("light red, the default background")
        << std::int32_t{0x008080FF} << QColor(255, 128, 128);
    QTest::newRow("green") << std::int32_t{0x0000FF00} << QColor(0, 255, 0);
    QTest::newRow("blue is the high byte") << std::int32_t{0x00FF0000} << QColor(0, 0, 255);
    QTest::newRow("black") << std::int32_t{0} << QColor(0, 0, 0);
    QTest::newRow("highlight column colour") << std::int32_t{0x00B9FFFF} << QColor(255, 255, 185);
    QTest::newRow("other top byte ignored") << std::int32_t{0x1200FF00} << QColor(0, 255, 0);
}

void TestColors::plainColor()
{
    QFETCH(std::int32_t, color);
    QFETCH(QColor, expected);

    QCOMPARE(ColorToQColor(color), expected);
    if ((static_cast<std::uint32_t>(color) >> 24) == 0)
        QCOMPARE(QColorToColor(ColorToQColor(color)), color);
}

void TestColors::systemColorFollowsPalette_data()
{
    QTest::addColumn<std::int32_t>("color");
    QTest::addColumn<int>("group");
    QTest::addColumn<int>("role");

    const auto system = [](std::uint32_t index) {
        return static_cast<std::int32_t>(0xFF000000u | index);
    };
    QTest::newRow("5 window: where text is typed")
        << system(5) << int(QPalette::Active) << int(QPalette::Base);
    QTest::newRow("8 window text") << system(8) << int(QPalette::Active) << int(QPalette::Text);
    QTest::newRow("13 highlight") << system(13) << int(QPalette::Active)
                                  << int(QPalette::Highlight);
    QTest::newRow("14 highlight text")
        << system(14) << int(QPalette::Active) << int(QPalette::HighlightedText);
    QTest::newRow("15 button face") << system(15) << int(QPalette::Active) << int(QPalette::Button);
    QTest::newRow("17 grey text") << system(17) << int(QPalette::Disabled) << int(QPalette::Text);
    QTest::newRow("24 info background")
        << system(24) << int(QPalette::Active) << int(QPalette::ToolTipBase);
    QTest::newRow("28 inactive caption gradient")
        << system(28) << int(QPalette::Inactive) << int(QPalette::Highlight);
    QTest::newRow("30 menu bar") << system(30) << int(QPalette::Active) << int(QPalette::Window);
    QTest::newRow("25 unused: window")
        << system(25) << int(QPalette::Active) << int(QPalette::Base);
    QTest::newRow("31 unknown: window")
        << system(31) << int(QPalette::Active) << int(QPalette::Base);
    QTest::newRow("255 unknown: window")
        << system(255) << int(QPalette::Active) << int(QPalette::Base);
}

void TestColors::systemColorFollowsPalette()
{
    QFETCH(std::int32_t, color);
    QFETCH(int, group);
    QFETCH(int, role);

    const QColor expected = QGuiApplication::palette().color(
        static_cast<QPalette::ColorGroup>(group), static_cast<QPalette::ColorRole>(role));
    QCOMPARE(ColorToQColor(color), expected);
    // Stored back, a system colour becomes the plain colour it showed.
    const std::int32_t plain = QColorToColor(ColorToQColor(color));
    QCOMPARE(plain, std::int32_t(expected.red() | expected.green() << 8 | expected.blue() << 16));
}

void TestColors::toColor_data()
{
    QTest::addColumn<QColor>("color");
    QTest::addColumn<std::int32_t>("expected");

    QTest::newRow("opaque") << QColor(255, 128, 128) << std::int32_t{0x008080FF};
    QTest::newRow("alpha dropped") << QColor(1, 2, 3, 10) << std::int32_t{0x00030201};
    QTest::newRow("white") << QColor(Qt::white) << std::int32_t{0x00FFFFFF};
    QTest::newRow("HSV colour") << QColor::fromHsv(240, 255, 255) << std::int32_t{0x00FF0000};
}

void TestColors::toColor()
{
    QFETCH(QColor, color);
    QFETCH(std::int32_t, expected);

    QCOMPARE(QColorToColor(color), expected);
    QCOMPARE(ColorToQColor(QColorToColor(color)), QColor(color.toRgb().rgb()));
}

QTEST_MAIN(TestColors)
#include "tst_colors.moc"
