#include <QtTest>

#include "table/cp1250.h"
#include "table/utf8.h"

// Windows-1250 conversion and the UTF-8 helpers beneath it.
class TestCp1250 : public QObject {
    Q_OBJECT

private slots:
    void cp1250ToUtf8_data();
    void cp1250ToUtf8();
    void everyByteRoundTrips();
    void everyByteMatchesQtCodec();
    void byteFor_data();
    void byteFor();
    void utf8ToCp1250_data();
    void utf8ToCp1250();

    void nextCodePoint_data();
    void nextCodePoint();
    void lengthLeftAndValidity_data();
    void lengthLeftAndValidity();
};

static QByteArray FromStd(const std::string& s)
{
    return QByteArray::fromStdString(s);
}

void TestCp1250::cp1250ToUtf8_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("ascii with NUL") << QByteArray("a\0b", 3) << QString::fromUtf8("a\0b", 3);
    QTest::newRow("hungarian") << QByteArray("\xE1rv\xEDzt\xFBr\xF5 \xDC")
                               << QString("árvíztűrő Ü");
    QTest::newRow("euro and quotes") << QByteArray("\x80\x84\x93") << QString("€„“");
    QTest::newRow("undefined bytes as C1")
        << QByteArray("\x81\x83\x88\x90\x98") << QString("\u0081\u0083\u0088\u0090\u0098");
    QTest::newRow("last byte") << QByteArray("\xFF") << QString("˙");
}

void TestCp1250::cp1250ToUtf8()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(FromStd(Cp1250ToUtf8(bytes.toStdString())), text.toUtf8());
}

void TestCp1250::everyByteRoundTrips()
{
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const std::string utf8 = Cp1250ToUtf8(byte);
        std::size_t pos = 0;
        char32_t cp = 0;
        QVERIFY(NextCodePoint(utf8, pos, cp));
        QCOMPARE(pos, utf8.size());
        QCOMPARE(uint(Cp1250CodePoint(static_cast<unsigned char>(b))), uint(cp));
        const std::optional<unsigned char> back = Cp1250ByteFor(cp);
        QVERIFY(back);
        QCOMPARE(int(*back), b);
        QCOMPARE(FromStd(Utf8ToCp1250(utf8)), FromStd(byte));
    }
}

// An independent copy of the table: Qt's codec for the page (through ICU).
void TestCp1250::everyByteMatchesQtCodec()
{
    QStringDecoder decoder("windows-1250");
    if (!decoder.isValid())
        QSKIP("Qt was built without a Windows-1250 codec");
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    QCOMPARE(FromStd(Cp1250ToUtf8(all.toStdString())), QString(decoder(all)).toUtf8());
}

void TestCp1250::byteFor_data()
{
    QTest::addColumn<uint>("codePoint");
    QTest::addColumn<int>("byte");  // -1: the code page has none
    QTest::newRow("ascii") << 0x41u << 0x41;
    QTest::newRow("o double acute") << 0x151u << 0xF5;
    QTest::newRow("dot above, last in table") << 0x2D9u << 0xFF;
    QTest::newRow("C1 kept for undefined byte") << 0x90u << 0x90;
    QTest::newRow("other C1 control") << 0x80u << -1;
    QTest::newRow("latin-1 letter not in page") << 0xE3u << -1;
    QTest::newRow("arrow") << 0x2192u << -1;
    QTest::newRow("emoji") << 0x1F600u << -1;
    QTest::newRow("surrogate") << 0xD800u << -1;
}

void TestCp1250::byteFor()
{
    QFETCH(uint, codePoint);
    QFETCH(int, byte);
    const std::optional<unsigned char> found = Cp1250ByteFor(static_cast<char32_t>(codePoint));
    QCOMPARE(found ? int(*found) : -1, byte);
}

void TestCp1250::utf8ToCp1250_data()
{
    QTest::addColumn<QByteArray>("utf8");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("hungarian") << QString("Őrült Ű").toUtf8() << QByteArray("\xD5r\xFClt \xDB");
    QTest::newRow("unmappable") << QString("a→😀b").toUtf8() << QByteArray("a??b");
    QTest::newRow("invalid byte") << QByteArray("a\xFF"
                                                "b")
                                  << QByteArray("a?b");
    QTest::newRow("truncated sequence, byte by byte") << QByteArray("\xE2\x82"
                                                                    "A")
                                                      << QByteArray("??A");
    QTest::newRow("encoded surrogate") << QByteArray("\xED\xA0\x80") << QByteArray("???");
}

void TestCp1250::utf8ToCp1250()
{
    QFETCH(QByteArray, utf8);
    QFETCH(QByteArray, bytes);
    QCOMPARE(FromStd(Utf8ToCp1250(utf8.toStdString())), bytes);
}

using TCodePoints = QList<uint>;
using TValidity = QList<bool>;

void TestCp1250::nextCodePoint_data()
{
    QTest::addColumn<QByteArray>("utf8");
    QTest::addColumn<TCodePoints>("codePoints");
    QTest::addColumn<TValidity>("valid");
    QTest::newRow("empty") << QByteArray() << TCodePoints{} << TValidity{};
    QTest::newRow("one to four bytes")
        << QByteArray("A\xC5\x91\xE2\x86\x92\xF0\x9F\x98\x80")
        << TCodePoints{0x41, 0x151, 0x2192, 0x1F600} << TValidity{true, true, true, true};
    QTest::newRow("highest code point")
        << QByteArray("\xF4\x8F\xBF\xBF") << TCodePoints{0x10FFFF} << TValidity{true};
    QTest::newRow("encoded replacement char is valid")
        << QByteArray("\xEF\xBF\xBD") << TCodePoints{0xFFFD} << TValidity{true};
    QTest::newRow("lone continuation") << QByteArray("\x80"
                                                     "a")
                                       << TCodePoints{0xFFFD, 0x61} << TValidity{false, true};
    QTest::newRow("truncated at end")
        << QByteArray("\xF0\x9F\x98") << TCodePoints{0xFFFD, 0xFFFD, 0xFFFD}
        << TValidity{false, false, false};
    QTest::newRow("overlong two-byte")
        << QByteArray("\xC0\xAF") << TCodePoints{0xFFFD, 0xFFFD} << TValidity{false, false};
    QTest::newRow("overlong three-byte")
        << QByteArray("\xE0\x9F\xBF") << TCodePoints{0xFFFD, 0xFFFD, 0xFFFD}
        << TValidity{false, false, false};
    QTest::newRow("surrogate") << QByteArray("\xED\xB0\x80") << TCodePoints{0xFFFD, 0xFFFD, 0xFFFD}
                               << TValidity{false, false, false};
    QTest::newRow("above U+10FFFF")
        << QByteArray("\xF4\x90\x80\x80") << TCodePoints{0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD}
        << TValidity{false, false, false, false};
}

void TestCp1250::nextCodePoint()
{
    QFETCH(QByteArray, utf8);
    QFETCH(TCodePoints, codePoints);
    QFETCH(TValidity, valid);
    const std::string s = utf8.toStdString();
    TCodePoints gotCodePoints;
    TValidity gotValid;
    std::size_t pos = 0;
    char32_t cp = 0;
    bool isValid = false;
    while (NextCodePoint(s, pos, cp, &isValid)) {
        gotCodePoints << cp;
        gotValid << isValid;
    }
    QCOMPARE(pos, s.size());
    QCOMPARE(gotCodePoints, codePoints);
    QCOMPARE(gotValid, valid);
}

void TestCp1250::lengthLeftAndValidity_data()
{
    QTest::addColumn<QByteArray>("utf8");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("leftChars");
    QTest::addColumn<QByteArray>("left");
    QTest::addColumn<bool>("valid");
    QTest::newRow("empty") << QByteArray() << 0 << 3 << QByteArray() << true;
    QTest::newRow("ascii") << QByteArray("abcd") << 4 << 2 << QByteArray("ab") << true;
    QTest::newRow("multibyte not cut")
        << QString("őz😀é").toUtf8() << 4 << 3 << QString("őz😀").toUtf8() << true;
    QTest::newRow("zero chars") << QString("ő").toUtf8() << 1 << 0 << QByteArray() << true;
    QTest::newRow("more chars than text")
        << QString("ő").toUtf8() << 1 << 5 << QString("ő").toUtf8() << true;
    QTest::newRow("invalid byte counts one") << QByteArray("\xFF"
                                                           "ab")
                                             << 3 << 2
                                             << QByteArray("\xFF"
                                                           "a")
                                             << false;
    QTest::newRow("truncated sequence")
        << QByteArray("a\xC5") << 2 << 1 << QByteArray("a") << false;
}

void TestCp1250::lengthLeftAndValidity()
{
    QFETCH(QByteArray, utf8);
    QFETCH(int, length);
    QFETCH(int, leftChars);
    QFETCH(QByteArray, left);
    QFETCH(bool, valid);
    const std::string s = utf8.toStdString();
    QCOMPARE(Utf8Length(s), std::size_t(length));
    QCOMPARE(FromStd(Utf8Left(s, std::size_t(leftChars))), left);
    QCOMPARE(IsValidUtf8(s), valid);
}

QTEST_APPLESS_MAIN(TestCp1250)
#include "tst_cp1250.moc"
