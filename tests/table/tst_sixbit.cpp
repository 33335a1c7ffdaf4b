#include <QtTest>

#include "table/sixbit.h"

class TestSixBit : public QObject {
    Q_OBJECT

private slots:
    void encode_data();
    void encode();
    void decodeForeignCharacters_data();
    void decodeForeignCharacters();
    void roundTripAndLengths();
};

static QByteArray FromStd(const std::string& s)
{
    return QByteArray::fromStdString(s);
}

void TestSixBit::encode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("chars");
    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("one byte, 2 bits left") << QByteArray("a") << QByteArray("A!");
    QTest::newRow("two bytes, 4 bits left") << QByteArray("ab") << QByteArray("A)&");
    QTest::newRow("three bytes") << QByteArray("abc") << QByteArray("A)V8");
    QTest::newRow("zeros") << QByteArray("\0\0\0", 3) << QByteArray("    ");
    QTest::newRow("ones") << QByteArray("\xFF\xFF\xFF") << QByteArray("____");
    QTest::newRow("one high byte") << QByteArray("\xFF") << QByteArray("_#");
    QTest::newRow("four bytes") << QByteArray("\x01\x02\x03\x04") << QByteArray("!(P $ ");
}

void TestSixBit::encode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, chars);
    QCOMPARE(FromStd(EncodeSixBit(bytes.toStdString())), chars);
    QCOMPARE(FromStd(DecodeSixBit(chars.toStdString())), bytes);
}

void TestSixBit::decodeForeignCharacters_data()
{
    QTest::addColumn<QByteArray>("chars");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("single char is no byte") << QByteArray("_") << QByteArray();
    QTest::newRow("below space wraps to high groups")
        << QByteArray("\x1F\x1F") << QByteArray("\xFF");
    QTest::newRow("above 95 wraps to low groups") << QByteArray("\x60\x60") << QByteArray("\0", 1);
    QTest::newRow("bytes 0x80 and up")
        << QByteArray("\xDF\xDF\xDF\xDF") << QByteArray("\xFF\xFF\xFF");
    QTest::newRow("five chars give three bytes") << QByteArray("A)V8_") << QByteArray("abc");
}

void TestSixBit::decodeForeignCharacters()
{
    QFETCH(QByteArray, chars);
    QFETCH(QByteArray, bytes);
    QCOMPARE(FromStd(DecodeSixBit(chars.toStdString())), bytes);
}

void TestSixBit::roundTripAndLengths()
{
    std::string bytes;
    for (int n = 0; n <= 300; ++n) {
        const std::string chars = EncodeSixBit(bytes);
        QCOMPARE(chars.size(), (4 * bytes.size() + 2) / 3);
        for (const char c : chars)
            QVERIFY(c >= 32 && c < 96);
        QCOMPARE(FromStd(DecodeSixBit(chars)), FromStd(bytes));
        QCOMPARE(DecodeSixBit(chars + '!').size(), 3 * (chars.size() + 1) / 4);
        bytes += static_cast<char>((n * 167 + 13) & 0xFF);
    }
}

QTEST_APPLESS_MAIN(TestSixBit)
#include "tst_sixbit.moc"
