// Downloaded UTF-8 to the program's Windows-1250 text.
#include "seged/utf8_to_text.h"

#include <QTest>

class TestUtf8ToText : public QObject {
    Q_OBJECT

private slots:
    void converts_data();
    void converts();
};

void TestUtf8ToText::converts_data()
{
    QTest::addColumn<QByteArray>("utf8");
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("ascii with line ends") << QByteArray("a,b\r\n") << QByteArray("a,b\r\n");
    QTest::newRow("hungarian letters") << QByteArray("\xC5\x91\xC5\xB1\xC3\xA1\xC5\x90\xC5\xB0")
                                       << QByteArray("\xF5\xFB\xE1\xD5\xDB");
    QTest::newRow("euro sign and dash")
        << QByteArray("\xE2\x82\xAC\xE2\x80\x93") << QByteArray("\x80\x96");
    QTest::newRow("accented letter the code page lacks")
        << QByteArray("\xC3\xB1\xC3\x88") << QByteArray("nE");
    QTest::newRow("no similar letter") << QByteArray("a\xE6\xBC\xA2"
                                                     "b\xF0\x9F\x98\x80")
                                       << QByteArray("a?b?");
    QTest::newRow("ends in the first byte of a pair") << QByteArray("abc\xC3") << QByteArray();
    QTest::newRow("continuation byte out of range") << QByteArray("\xC3\x28x") << QByteArray();
    QTest::newRow("lone continuation byte") << QByteArray("a\x80") << QByteArray();
    QTest::newRow("three-byte sequence cut short") << QByteArray("\xE2\x82x") << QByteArray();
    QTest::newRow("overlong form") << QByteArray("\xC0\xAF") << QByteArray();
}

void TestUtf8ToText::converts()
{
    QFETCH(QByteArray, utf8);
    QFETCH(QByteArray, text);
    QCOMPARE(Utf8ToText(utf8), text);
}

QTEST_GUILESS_MAIN(TestUtf8ToText)
#include "tst_utf8_to_text.moc"
