#include "csv_test_support.h"

#include "table/cp1250.h"

#include <QtTest>

Q_DECLARE_METATYPE(TValue)

namespace {

const QByteArray NotChecked = "*";

TValue Text(const char* utf8)
{
    return std::string(utf8);
}

TValue Bytes(const QByteArray& bytes)
{
    return bytes.toStdString();
}

TValue At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
{
    return TDateTime{EncodeDateTime(y, mo, d, h, mi, s, ms)};
}

// What the writer makes of raw text bytes: escaped, then quoted.
QByteArray EscapedAndQuoted(const QByteArray& raw)
{
    QByteArray out = "\"";
    for (char c : raw) {
        switch (c) {
        case '\0':
            out += "%0";
            break;
        case '\n':
            out += "%n";
            break;
        case '\r':
            out += "%c";
            break;
        case '%':
            out += "%%";
            break;
        case '"':
            out += "\"\"";
            break;
        default:
            out += c;
        }
    }
    return out + "\"";
}

QByteArray FileOf(std::initializer_list<QByteArray> definitions, const QByteArray& header,
                  std::initializer_list<QByteArray> records)
{
    QByteArray file = CrLfLines({R"("@@FILE VERSION@@","251")", R"("@@TABLEDEF START@@")"});
    for (const QByteArray& line : definitions)
        file += line + "\r\n";
    file += CrLfLines(
        {R"("@@INDEXDEF START@@")", R"("@@INDEXDEF END@@")", R"("@@TABLEDEF END@@")", header});
    for (const QByteArray& line : records)
        file += line + "\r\n";
    return file;
}

}  // namespace

class TestCsvRoundTrip : public QObject {
    Q_OBJECT

private slots:
    void valueRoundTrip_data();
    void valueRoundTrip();
    void otherQuoteCharacter_data();
    void otherQuoteCharacter();
    void everyByteOfAFileValueWritesBack();
    void emptyAndNullTextsInANoteLine();
    void indexDefinitionsWrittenBack();
    void highestDeletedIdentifierIsReusedAfterReadingBack();
};

void TestCsvRoundTrip::valueRoundTrip_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("size");
    QTest::addColumn<TValue>("value");
    QTest::addColumn<QByteArray>("cell");
    QTest::addColumn<TValue>("readBack");

    const auto row = [](const char* name, TFieldType type, int size, const TValue& value,
                        const QByteArray& cell, const TValue& back) {
        QTest::newRow(name) << int(type) << size << value << cell << back;
    };
    const TValue null;

    row("memo with CR LF", ftMemo, 0, Text("első\r\nmásodik"), "\"els\xF5%c%nm\xE1sodik\"",
        Text("első\r\nmásodik"));
    row("memo with literal %n", ftMemo, 0, Text("100%n"), R"("100%%n")", Text("100%n"));
    row("memo with NUL", ftMemo, 0, Bytes(QByteArray("a\0b", 3)), R"("a%0b")",
        Bytes(QByteArray("a\0b", 3)));
    row("memo with quotes and delimiters", ftMemo, 0, Text(R"(say "hi", then go)"),
        R"("say ""hi"", then go")", Text(R"(say "hi", then go)"));
    row("memo that looks escaped", ftMemo, 0, Text("%u41;"), R"("%%u41;")", Text("%u41;"));
    row("memo emoji", ftMemo, 0, Text("ok 😀"), R"("ok %u1F600;")", Text("ok 😀"));
    // Long values are searched and copied in words; quotes and letters past
    // the first words must be found the same.
    const std::string longText = std::string(70, 'a') + "\"árvíztűrő\" " + std::string(20, 'b');
    row("long memo with quotes and letters far in", ftMemo, 0, Text(longText.c_str()),
        "\"" + QByteArray(70, 'a') + "\"\"\xE1rv\xEDzt\xFBr\xF5\"\" " + QByteArray(20, 'b') + "\"",
        Text(longText.c_str()));
    row("string arrow", ftString, 30, Text("a→b"), R"("a%u2192;b")", Text("a→b"));
    row("string CJK", ftString, 30, Text("漢字"), R"("%u6F22;%u5B57;")", Text("漢字"));
    row("string size counts characters, not escapes", ftString, 3, Text("ab😀"), R"("ab%u1F600;")",
        Text("ab😀"));
    row("empty string is quoted and stays non-null", ftString, 30, Text(""), R"("")", Text(""));
    row("empty memo is null", ftMemo, 0, Text(""), "", null);
    row("graphic abc", ftGraphic, 0, Text("abc"), R"("A)V8")", Text("abc"));
    row("graphic bytes with a quote", ftGraphic, 0, Text(R"(a"b)"), R"("A)B8")", Text(R"(a"b)"));
    row("graphic whose 6-bit form holds a quote", ftGraphic, 0, Bytes(QByteArray("\x02")),
        R"(""" ")", Bytes(QByteArray("\x02")));
    QByteArray allBytes;
    for (int b = 0; b < 256; ++b)
        allBytes += char(b);
    row("graphic of all 256 bytes", ftGraphic, 0, Bytes(allBytes), NotChecked, Bytes(allBytes));
    row("lowest integer", ftInteger, 0, TValue{std::int32_t{INT32_MIN}}, R"("-2147483648")",
        TValue{std::int32_t{INT32_MIN}});
    row("auto-increment value", ftAutoInc, 0, TValue{5}, R"("5")", TValue{5});
    row("true", ftBoolean, 0, TValue{true}, R"("True")", TValue{true});
    row("false", ftBoolean, 0, TValue{false}, R"("False")", TValue{false});
    row("date alone", ftDateTime, 0, At(2010, 3, 13), R"("13/03/2010")", At(2010, 3, 13));
    row("date and time", ftDateTime, 0, At(2010, 3, 13, 9, 5, 7), R"("13/03/2010 9:05:07")",
        At(2010, 3, 13, 9, 5, 7));
    row("half a second past midnight is the date alone", ftDateTime, 0,
        At(2010, 3, 13, 0, 0, 0, 500), R"("13/03/2010")", At(2010, 3, 13));
    row("milliseconds are lost", ftDateTime, 0, At(2010, 3, 13, 23, 59, 59, 999),
        R"("13/03/2010 23:59:59")", At(2010, 3, 13, 23, 59, 59));
    row("before 30 December 1899", ftDateTime, 0, At(1800, 1, 1, 12), R"("01/01/1800 12:00:00")",
        At(1800, 1, 1, 12));
}

void TestCsvRoundTrip::valueRoundTrip()
{
    QFETCH(int, type);
    QFETCH(int, size);
    QFETCH(TValue, value);
    QFETCH(QByteArray, cell);
    QFETCH(TValue, readBack);
    TqorCSVStreamFormat format;
    TqorMemTable table;
    table.DefaultFormat = &format;
    table.AddField("v", static_cast<TFieldType>(type), size);
    table.Open();
    table.AddAtEnd();
    table.SetValue("v", value);
    table.Post();

    const QByteArray bytes = SaveTable(table);
    TqorMemTable back;
    back.DefaultFormat = &format;
    LoadTable(back, bytes);

    if (cell != NotChecked)
        QVERIFY2(bytes.endsWith("\"v\",\r\n" + cell + ",\r\n"), bytes.constData());
    QCOMPARE(Rows(back), QStringList{ValueText(readBack)});
    QCOMPARE(SaveTable(back), bytes);
}

// The quote may be any byte: each one in the text of a value is doubled,
// wherever the text came from.
void TestCsvRoundTrip::otherQuoteCharacter_data()
{
    QTest::addColumn<char>("quote");
    QTest::addColumn<int>("type");
    QTest::addColumn<TValue>("value");
    QTest::addColumn<QByteArray>("cell");

    const auto row = [](const char* name, char quote, TFieldType type, const TValue& value,
                        const QByteArray& cell) {
        QTest::newRow(name) << quote << int(type) << value << cell;
    };
    row("percent in an escaped memo", '%', ftMemo, Text("5% →"), "%5%%%% %%u2192;%");
    row("semicolon closing a code point", ';', ftMemo, Text("→"), ";%u2192;;;");
    row("a letter of the code page", '\xE1', ftMemo, Text("á"), "\xE1\xE1\xE1\xE1");
    row("a digit of an integer", '1', ftInteger, TValue{121}, "1112111");
    row("a letter of False", 'e', ftBoolean, TValue{false}, "eFalseee");
    row("the date separator", '/', ftDateTime, At(2010, 3, 13), "/13//03//2010/");
}

void TestCsvRoundTrip::otherQuoteCharacter()
{
    QFETCH(char, quote);
    QFETCH(int, type);
    QFETCH(TValue, value);
    QFETCH(QByteArray, cell);
    TqorCSVStreamFormat format;
    format.CSVQuote = quote;
    TqorMemTable table;
    table.DefaultFormat = &format;
    table.AddField("v", static_cast<TFieldType>(type));
    table.Open();
    table.AddAtEnd();
    table.SetValue("v", value);
    table.Post();

    const QByteArray bytes = SaveTable(table);
    QVERIFY2(bytes.endsWith(quote + QByteArray("v") + quote + ",\r\n" + cell + ",\r\n"),
             bytes.constData());
    TqorMemTable back;
    back.DefaultFormat = &format;
    LoadTable(back, bytes);
    QCOMPARE(Rows(back), QStringList{ValueText(value)});
}

void TestCsvRoundTrip::everyByteOfAFileValueWritesBack()
{
    QByteArray raw;
    for (int b = 0; b < 256; ++b)
        raw += char(b);
    // A string holds no NUL and at most 255 characters.
    const QByteArray file = FileOf(
        {R"("m=Memo,0,""m"","""",10,Data,""""")", R"("s=String,255,""s"","""",255,Data,""""")"},
        R"("m","s",)", {EscapedAndQuoted(raw) + "," + EscapedAndQuoted(raw.mid(1)) + ","});
    TqorCSVStreamFormat format;
    TqorMemTable table;
    table.DefaultFormat = &format;

    LoadTable(table, file);

    QCOMPARE(Rows(table, {"m"}).value(0), ValueText(Cp1250ToUtf8(raw.toStdString())));
    QCOMPARE(SaveTable(table), file);
}

void TestCsvRoundTrip::emptyAndNullTextsInANoteLine()
{
    TqorCSVStreamFormat format;
    TqorMemTable table;
    table.DefaultFormat = &format;
    AddNotesFields(table);
    table.Open();
    table.Insert();
    table.SetValue("fontname", Text(""));
    table.SetValue("igazit", 2);
    table.SetValue("szoveg", Text(""));
    table.Post();

    const QByteArray bytes = SaveTable(table);
    TqorMemTable back;
    back.DefaultFormat = &format;
    LoadTable(back, bytes);

    QVERIFY2(bytes.endsWith("\r\n,,,,,,,,,\"\",,,,,,\"0\",\"2\",,\r\n"), bytes.constData());
    QCOMPARE(Rows(back, {"fontname", "az", "igazit", "szoveg"}),
             QStringList{R"("" | 0 | 2 | null)"});
}

void TestCsvRoundTrip::indexDefinitionsWrittenBack()
{
    const QByteArray file = CrLfLines({
        R"("@@FILE VERSION@@","251")",
        R"("@@TABLEDEF START@@")",
        R"("a=Integer,0,""a"","""",10,Data,""""")",
        R"("@@INDEXDEF START@@")",
        R"("byA=""a"",""byA""")",
        "\"N\xE9v=\"\"a;b\"\",\"\"N\xE9v\"\",DESC,CASE,NONMT,UNIQ\"",
        R"("@@INDEXDEF END@@")",
        R"("@@TABLEDEF END@@")",
        R"("a",)",
    });
    TqorCSVStreamFormat format;
    TqorMemTable table;
    table.DefaultFormat = &format;

    LoadTable(table, file);

    QCOMPARE(table.IndexDefs.size(), std::size_t{2});
    const TIndexDef& second = table.IndexDefs[1];
    QCOMPARE(QString::fromStdString(second.Name), "Név");
    QCOMPARE(QString::fromStdString(second.Fields), "a;b");
    QVERIFY(second.Descending && second.CaseInsensitive && second.NonMaintained && second.Unique);
    QVERIFY(!table.IndexDefs[0].Descending && !table.IndexDefs[0].Unique);
    QCOMPARE(SaveTable(table), file);
}

void TestCsvRoundTrip::highestDeletedIdentifierIsReusedAfterReadingBack()
{
    TqorCSVStreamFormat format;
    TqorMemTable table;
    table.DefaultFormat = &format;
    AddNotesFields(table);
    table.Open();
    LoadTable(table, CrLfLines({R"("az","szoveg",)", R"("3","három",)", R"("7","hét",)"}));
    QVERIFY(table.FindByValue("az", 7));
    table.Delete();

    table.Insert();
    QCOMPARE(ValueText(table.GetValue("az")), "8");
    table.Cancel();

    TqorMemTable back;
    back.DefaultFormat = &format;
    LoadTable(back, SaveTable(table));
    back.Insert();
    QCOMPARE(ValueText(back.GetValue("az")), "4");
}

QTEST_APPLESS_MAIN(TestCsvRoundTrip)
#include "tst_csv_roundtrip.moc"
