#include <QtTest>

#include "table/cp1250.h"
#include "table/text_escape.h"

class TestTextEscape : public QObject {
    Q_OBJECT

private slots:
    void escape_data();
    void escape();
    void escapeQuoted_data();
    void escapeQuoted();
    void escapeQuotedIsEscapeThenDoubling();
    void unescape_data();
    void unescape();
    void textRoundTrips_data();
    void textRoundTrips();
    void everyCodePointRoundTrips();
    void everyByteRoundTrips();
};

static QByteArray FromStd(const std::string& s)
{
    return QByteArray::fromStdString(s);
}

static QByteArray EscapedQuoted(const QByteArray& utf8, char quote)
{
    std::string out(2 * MaxEscapedSize(std::size_t(utf8.size())), '\0');
    char* const end = WriteEscapedQuotedText(out.data(), utf8.toStdString(), quote);
    out.resize(std::size_t(end - out.data()));
    return FromStd(out);
}

void TestTextEscape::escape_data()
{
    QTest::addColumn<QByteArray>("utf8");
    QTest::addColumn<QByteArray>("escaped");
    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("hungarian to code page")
        << QString("tűrő Ő").toUtf8() << QByteArray("t\xFBr\xF5 \xD5");
    QTest::newRow("NUL, LF, CR") << QByteArray("a\0b\nc\r\nd", 8) << QByteArray("a%0b%nc%c%nd");
    QTest::newRow("tab stays a byte") << QByteArray("a\tb") << QByteArray("a\tb");
    QTest::newRow("percent") << QByteArray("100%") << QByteArray("100%%");
    QTest::newRow("text that looks escaped") << QByteArray("%u41;%n") << QByteArray("%%u41;%%n");
    QTest::newRow("arrow") << QString("a→b").toUtf8() << QByteArray("a%u2192;b");
    QTest::newRow("emoji") << QString("😀").toUtf8() << QByteArray("%u1F600;");
    QTest::newRow("latin-1 letter not in page, no leading zeros")
        << QString("ã").toUtf8() << QByteArray("%uE3;");
    QTest::newRow("C1 control of an undefined byte")
        << QString("\u0081").toUtf8() << QByteArray("\x81");
    QTest::newRow("other C1 control") << QString("\u0080").toUtf8() << QByteArray("%u80;");
    QTest::newRow("highest code point")
        << QByteArray("\xF4\x8F\xBF\xBF") << QByteArray("%u10FFFF;");
    QTest::newRow("invalid bytes") << QByteArray("a\xFF\xE2\x86"
                                                 "b")
                                   << QByteArray("a???b");
}

void TestTextEscape::escape()
{
    QFETCH(QByteArray, utf8);
    QFETCH(QByteArray, escaped);
    QCOMPARE(FromStd(EscapeText(utf8.toStdString())), escaped);
}

void TestTextEscape::escapeQuoted_data()
{
    QTest::addColumn<QByteArray>("utf8");
    QTest::addColumn<int>("quote");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("no quote") << QString("tűrő").toUtf8() << int('"') << QByteArray("t\xFBr\xF5");
    QTest::newRow("double quotes")
        << QByteArray("say \"hi\"") << int('"') << QByteArray("say \"\"hi\"\"");
    // Past sixteen bytes the plain text is taken in blocks.
    QTest::newRow("quotes in a long text")
        << QString("Ügyfél-találkozó \"Kőrösi\" úton, 100%\r\n\"").toUtf8() << int('"')
        << QByteArray("\xDCgyf\xE9l-tal\xE1lkoz\xF3 \"\"K\xF5r\xF6si\"\" \xFAton, 100%%%c%n\"\"");
    QTest::newRow("percent, also of escapes")
        << QString("100%\n→").toUtf8() << int('%') << QByteArray("100%%%%%%n%%u2192;");
    QTest::newRow("u, also of escapes")
        << QString("u→").toUtf8() << int('u') << QByteArray("uu%uu2192;");
    QTest::newRow("hex digit") << QString("Aª").toUtf8() << int('A') << QByteArray("AA%uAAAA;");
    QTest::newRow("semicolon") << QString("→;").toUtf8() << int(';') << QByteArray("%u2192;;;;");
    QTest::newRow("question mark of a bad byte")
        << QByteArray("\xFF?") << int('?') << QByteArray("????");
    QTest::newRow("code page byte")
        << QString("ő\"ő").toUtf8() << 0xF5 << QByteArray("\xF5\xF5\"\xF5\xF5");
}

void TestTextEscape::escapeQuoted()
{
    QFETCH(QByteArray, utf8);
    QFETCH(int, quote);
    QFETCH(QByteArray, written);
    QCOMPARE(EscapedQuoted(utf8, char(quote)), written);
}

void TestTextEscape::escapeQuotedIsEscapeThenDoubling()
{
    const QList<QByteArray> texts = {
        QByteArray("a\0b\nc\r\nd\"e%f", 13),
        QString("Őszi gumicsere \"időpontja\"\r\nHatáridő: 100% → 😀 ã").toUtf8(),
        QByteArray("%u41;%n\xFF\xE2\x86 0123456789ABCDEF;?;\xC3\xA9\xC2\x81 \"quoted\" text"),
    };
    for (const QByteArray& text : texts) {
        const QByteArray escaped = FromStd(EscapeText(text.toStdString()));
        for (int quote = 0; quote < 256; ++quote) {
            QByteArray doubled;
            for (const char c : escaped) {
                doubled += c;
                if (c == char(quote))
                    doubled += c;
            }
            QCOMPARE(EscapedQuoted(text, char(quote)), doubled);
        }
    }
}

void TestTextEscape::unescape_data()
{
    QTest::addColumn<QByteArray>("escaped");
    QTest::addColumn<QByteArray>("utf8");
    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("code page bytes")
        << QByteArray("\x80 \xF5\x81") << QString("€ ő\u0081").toUtf8();
    QTest::newRow("simple escapes") << QByteArray("%%%0%c%n") << QByteArray("%\0\r\n", 4);
    QTest::newRow("code point") << QByteArray("a%u2192;b") << QString("a→b").toUtf8();
    QTest::newRow("lower-case hex") << QByteArray("%u1f600;") << QString("😀").toUtf8();
    QTest::newRow("six digits") << QByteArray("%u01F600;") << QString("😀").toUtf8();
    QTest::newRow("code point with a byte") << QByteArray("%uF5;%u151;") << QString("õő").toUtf8();
    QTest::newRow("code point zero") << QByteArray("%u0;") << QByteArray("\0", 1);
    QTest::newRow("seven digits") << QByteArray("%u001F600;") << QByteArray("u001F600;");
    QTest::newRow("no semicolon") << QByteArray("%u2192 x") << QByteArray("u2192 x");
    QTest::newRow("no digits") << QByteArray("%u;") << QByteArray("u;");
    QTest::newRow("at the end") << QByteArray("%u") << QByteArray("u");
    QTest::newRow("surrogate") << QByteArray("%uD800;") << QByteArray("uD800;");
    QTest::newRow("above U+10FFFF") << QByteArray("%u110000;") << QByteArray("u110000;");
    QTest::newRow("digits run out") << QByteArray("%u12") << QByteArray("u12");
    QTest::newRow("unknown escape keeps the byte")
        << QByteArray("%x%N%C%\xF5") << QString("xNCő").toUtf8();
    QTest::newRow("percent before percent escape") << QByteArray("%%u41;") << QByteArray("%u41;");
    QTest::newRow("lone percent at end dropped") << QByteArray("ab%") << QByteArray("ab");
    // Plain text is taken in words of eight bytes; what follows a word, or
    // sits in its middle, is decoded the same.
    QTest::newRow("escapes after whole words")
        << QByteArray("abcdefgh12345678%nijklmnop\xE1rv\xEDz%%t\xFBr\xF5 q")
        << QString("abcdefgh12345678\nijklmnopárvíz%tűrő q").toUtf8();
}

void TestTextEscape::unescape()
{
    QFETCH(QByteArray, escaped);
    QFETCH(QByteArray, utf8);
    QCOMPARE(FromStd(UnescapeText(escaped.toStdString())), utf8);
}

void TestTextEscape::textRoundTrips_data()
{
    QTest::addColumn<QByteArray>("utf8");
    QTest::newRow("mixed") << QString("Ár: 5% → 😀\r\n%u41; %%").toUtf8();
    QTest::newRow("NUL inside") << QByteArray("a\0\0b", 4);
    QTest::newRow("trailing percent") << QByteArray("50%");
    QTest::newRow("escape-like text after code point") << QString("→;%u;").toUtf8();
}

void TestTextEscape::textRoundTrips()
{
    QFETCH(QByteArray, utf8);
    const std::string text = utf8.toStdString();
    QCOMPARE(FromStd(UnescapeText(EscapeText(text))), utf8);
}

void TestTextEscape::everyCodePointRoundTrips()
{
    std::u32string codePoints;
    for (char32_t cp = 0; cp <= 0x10FFFF; ++cp) {
        if (cp < 0xD800 || cp > 0xDFFF)
            codePoints += cp;
    }
    const std::string all =
        QString::fromUcs4(codePoints.data(), qsizetype(codePoints.size())).toStdString();
    const std::string escaped = EscapeText(all);
    QVERIFY(UnescapeText(escaped) == all);
    QVERIFY(EscapeText(UnescapeText(escaped)) == escaped);
}

void TestTextEscape::everyByteRoundTrips()
{
    std::string file;
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const std::string escaped = EscapeText(Cp1250ToUtf8(byte));
        if (b != 0 && b != '\n' && b != '\r' && b != '%')
            QCOMPARE(FromStd(escaped), FromStd(byte));
        QCOMPARE(FromStd(EscapeText(UnescapeText(escaped))), FromStd(escaped));
        file += escaped;
    }
    QCOMPARE(FromStd(EscapeText(UnescapeText(file))), FromStd(file));
}

QTEST_APPLESS_MAIN(TestTextEscape)
#include "tst_text_escape.moc"
