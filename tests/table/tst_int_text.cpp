#include <QtTest>

#include <limits>

#include "table/int_text.h"

class TestIntText : public QObject {
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void toText_data();
    void toText();
};

void TestIntText::parse_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");

    const int min = std::numeric_limits<int>::min();
    const int max = std::numeric_limits<int>::max();
    QTest::newRow("decimal") << QByteArray("42") << true << 42;
    QTest::newRow("signs") << QByteArray("-42") << true << -42;
    QTest::newRow("plus") << QByteArray("+7") << true << 7;
    QTest::newRow("leading zeros") << QByteArray("-0000000000012") << true << -12;
    QTest::newRow("leading blanks") << QByteArray("   5") << true << 5;
    QTest::newRow("blanks before sign only") << QByteArray(" - 5") << false << 0;
    QTest::newRow("largest") << QByteArray("2147483647") << true << max;
    QTest::newRow("smallest") << QByteArray("-2147483648") << true << min;
    QTest::newRow("one past largest") << QByteArray("2147483648") << false << 0;
    QTest::newRow("one past smallest") << QByteArray("-2147483649") << false << 0;
    QTest::newRow("far too long") << QByteArray("99999999999999999999999") << false << 0;

    QTest::newRow("hex dollar") << QByteArray("$1F") << true << 31;
    QTest::newRow("hex x, lower-case digits") << QByteArray("xff") << true << 255;
    QTest::newRow("hex X") << QByteArray("X10") << true << 16;
    QTest::newRow("hex 0x") << QByteArray("0x7fffffff") << true << max;
    QTest::newRow("hex 0X with blanks and sign") << QByteArray("  -0X10") << true << -16;
    QTest::newRow("hex all bits is -1") << QByteArray("$FFFFFFFF") << true << -1;
    QTest::newRow("hex sign bit") << QByteArray("$80000000") << true << min;
    QTest::newRow("hex negated sign bit") << QByteArray("-$80000000") << true << min;
    QTest::newRow("hex negated -1") << QByteArray("-$FFFFFFFF") << true << 1;
    QTest::newRow("hex leading zeros") << QByteArray("$000000000001") << true << 1;
    QTest::newRow("hex nine digits") << QByteArray("$100000000") << false << 0;
    QTest::newRow("hex prefix only") << QByteArray("0x") << false << 0;
    QTest::newRow("hex digit in decimal") << QByteArray("1F") << false << 0;
    QTest::newRow("double prefix") << QByteArray("$0x1") << false << 0;

    QTest::newRow("empty") << QByteArray() << false << 0;
    QTest::newRow("blanks only") << QByteArray("   ") << false << 0;
    QTest::newRow("sign only") << QByteArray("-") << false << 0;
    QTest::newRow("two signs") << QByteArray("+-1") << false << 0;
    QTest::newRow("trailing blank") << QByteArray("12 ") << false << 0;
    QTest::newRow("trailing letter") << QByteArray("12a") << false << 0;
    QTest::newRow("decimal point") << QByteArray("1.0") << false << 0;
    QTest::newRow("tab is not a blank") << QByteArray("\t1") << false << 0;
    QTest::newRow("full-width digit") << QString("１２").toUtf8() << false << 0;
}

void TestIntText::parse()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, ok);
    QFETCH(int, value);
    const std::optional<std::int32_t> parsed = ParseIntegerText(text.toStdString());
    QCOMPARE(parsed.has_value(), ok);
    if (ok)
        QCOMPARE(*parsed, value);
}

void TestIntText::toText_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("zero") << 0 << QByteArray("0");
    QTest::newRow("negative") << -905 << QByteArray("-905");
    QTest::newRow("smallest") << std::numeric_limits<int>::min() << QByteArray("-2147483648");
    QTest::newRow("largest") << std::numeric_limits<int>::max() << QByteArray("2147483647");
}

void TestIntText::toText()
{
    QFETCH(int, value);
    QFETCH(QByteArray, text);
    const std::string written = IntegerToText(value);
    QCOMPARE(QByteArray::fromStdString(written), text);
    const std::optional<std::int32_t> readBack = ParseIntegerText(written);
    QVERIFY(readBack);
    QCOMPARE(*readBack, value);
}

QTEST_APPLESS_MAIN(TestIntText)
#include "tst_int_text.moc"
