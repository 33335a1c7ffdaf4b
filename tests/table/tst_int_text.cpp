#include <QtTest>

#include <cstring>
#include <limits>
#include <memory>

#include "table/int_text.h"

class TestIntText : public QObject {
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void readShortDecimal_data();
    void readShortDecimal();
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
    QTest::newRow("nine digits") << QByteArray("999999999") << true << 999999999;
    QTest::newRow("ten digits") << QByteArray("1000000000") << true << 1000000000;
    QTest::newRow("non-digit in the eighth byte") << QByteArray("1234567/") << false << 0;

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

// The plain digits the table file writes, read by loading them whole: each
// length and each place of a stray byte in the loads.
void TestIntText::readShortDecimal_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");

    QTest::newRow("one digit") << QByteArray("7") << true << 7;
    QTest::newRow("zero") << QByteArray("0") << true << 0;
    QTest::newRow("three digits") << QByteArray("300") << true << 300;
    QTest::newRow("four digits") << QByteArray("2010") << true << 2010;
    QTest::newRow("five digits") << QByteArray("65535") << true << 65535;
    QTest::newRow("six digits") << QByteArray("100001") << true << 100001;
    QTest::newRow("seven digits") << QByteArray("8421631") << true << 8421631;
    QTest::newRow("eight digits") << QByteArray("12345678") << true << 12345678;
    QTest::newRow("eight zeros") << QByteArray("00000000") << true << 0;
    QTest::newRow("leading zeros") << QByteArray("000000042") << true << 42;
    QTest::newRow("nine digits") << QByteArray("987654321") << true << 987654321;
    QTest::newRow("largest") << QByteArray("999999999") << true << 999999999;

    QTest::newRow("empty") << QByteArray() << false << 0;
    QTest::newRow("ten digits") << QByteArray("1234567890") << false << 0;
    QTest::newRow("sign") << QByteArray("-1") << false << 0;
    QTest::newRow("leading blank") << QByteArray(" 1") << false << 0;
    QTest::newRow("trailing blank") << QByteArray("1 ") << false << 0;
    QTest::newRow("one below '0'") << QByteArray("12/") << false << 0;
    QTest::newRow("one above '9'") << QByteArray(":12") << false << 0;
    QTest::newRow("NUL in the middle") << QByteArray("1\0003", 3) << false << 0;
    QTest::newRow("byte 0x80") << QByteArray("12\x80"
                                             "4")
                               << false << 0;
    QTest::newRow("byte 0xFF") << QByteArray("1234\xFF") << false << 0;
    QTest::newRow("letter in the overlap of two loads") << QByteArray("123a567") << false << 0;
    QTest::newRow("eighth byte") << QByteArray("1234567x") << false << 0;
    QTest::newRow("first of nine") << QByteArray("/12345678") << false << 0;
    QTest::newRow("last of nine") << QByteArray("12345678:") << false << 0;
}

void TestIntText::readShortDecimal()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, ok);
    QFETCH(int, value);
    // An exact-size copy, so a read past the end shows under the sanitizer.
    const auto bytes = std::make_unique<char[]>(static_cast<std::size_t>(text.size()));
    std::memcpy(bytes.get(), text.constData(), static_cast<std::size_t>(text.size()));
    const std::optional<std::int32_t> read =
        ReadShortDecimal(std::string_view(bytes.get(), static_cast<std::size_t>(text.size())));
    QCOMPARE(read.has_value(), ok);
    if (ok)
        QCOMPARE(*read, value);
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
