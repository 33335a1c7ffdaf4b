// A file read in parts at once gives the table a read of one line after
// another gives: the same records in the same order, and the first failure
// in file order with what came before it kept.
#include "csv_test_support.h"
#include "table/csv_record_parts.h"

#include <QtTest>

namespace {
// Record i of a file with the columns a (integer), b (string), c (Boolean),
// d (date) and e (memo); some values are null, quoted with doubled quotes or
// long, so that lines differ in size.
QByteArray RecordLine(int i)
{
    QByteArray line = '"' + QByteArray::number(i) + "\",";
    line += i % 5 == 0 ? QByteArray(",") : "\"name " + QByteArray::number(i) + "\",";
    line += i % 2 == 0 ? "\"True\"," : "\"False\",";
    line += i % 3 == 0 ? QByteArray(",") : "\"13/03/2010 9:00:00\",";
    line += "\"memo \"\"" + QByteArray::number(i) + "\"\" " + QByteArray(i % 7 * 40, 'x') + "\",";
    return line;
}

// Lines separated the ways a file may separate them.
QByteArray RecordLines(int count, const QHash<int, QByteArray>& replaced = {})
{
    static const QByteArray Ends[] = {"\r\n", "\n", "\r\n\r\n", QByteArray("\0\r\n", 3)};
    QByteArray bytes = "\r\n";  // the end of the header line
    for (int i = 0; i < count; ++i)
        bytes += replaced.value(i, RecordLine(i)) + Ends[i % 4];
    return bytes;
}

TCsvRecordLayout Layout()
{
    TCsvRecordLayout layout;
    layout.trueText = "True";
    layout.year = 2024;
    layout.fieldCount = 5;
    const std::pair<TFieldType, int> types[] = {
        {ftInteger, 0}, {ftString, 10}, {ftBoolean, 0}, {ftDateTime, 0}, {ftMemo, 0}};
    for (std::size_t i = 0; i < std::size(types); ++i) {
        TCsvColumn& column = layout.columns.emplace_back();
        column.read = true;
        column.index = i;
        column.type = types[i].first;
        column.size = types[i].second;
        column.name = std::string(1, static_cast<char>('a' + i));
    }
    return layout;
}

struct TReadResult {
    QStringList rows;
    QString failure;
};

TReadResult ReadInParts(const QByteArray& lines, std::size_t parts)
{
    TqorMemTable table;
    table.AddField("a", ftInteger);
    table.AddField("b", ftString, 10);
    table.AddField("c", ftBoolean);
    table.AddField("d", ftDateTime);
    table.AddField("e", ftMemo);
    table.Open();
    const TCsvRecordLayout layout = Layout();
    // The byte after the lines is the NUL that ends the array.
    const std::string_view bytes(lines.constData(), static_cast<std::size_t>(lines.size()));
    TReadResult result;
    result.failure = FailureOf([&] { ReadRecordLinesInParts(layout, bytes, parts, table); });
    result.rows = Rows(table);
    return result;
}
}  // namespace

class TestCsvRecordParts : public QObject {
    Q_OBJECT

private slots:
    void sameAsOneLineAfterAnother_data();
    void sameAsOneLineAfterAnother();
};

void TestCsvRecordParts::sameAsOneLineAfterAnother_data()
{
    QTest::addColumn<QByteArray>("lines");
    QTest::addColumn<QString>("failure");
    QTest::addColumn<int>("rowCount");

    QTest::newRow("every line read") << RecordLines(500) << "no error" << 500;
    QTest::newRow("fewer lines than parts") << RecordLines(3) << "no error" << 3;
    QTest::newRow("no line") << QByteArray("\r\n\r\n") << "no error" << 0;
    QTest::newRow("a bad first value in a late line drops it and what follows")
        << RecordLines(500, {{420, "\"4q2\",\"kept\","}})
        << "EDatabaseError: '4q2' is not a valid integer value for field 'a'" << 420;
    QTest::newRow("a bad value after a read one keeps its record")
        << RecordLines(500, {{300, "\"300\",\"part\",\"True\",\"31/02/2010\","}})
        << "EConvertError: '31/02/2010' is not a valid date and time" << 301;
    QTest::newRow("an early failure is reported before a later one")
        << RecordLines(500, {{10, "\"bad\","}, {450, "\"450\",,,\"no date\","}})
        << "EDatabaseError: 'bad' is not a valid integer value for field 'a'" << 10;
    QTest::newRow("an unclosed quote takes the rest of its line only")
        << RecordLines(500, {{250, "\"250\",\"open"}}) << "no error" << 500;
}

void TestCsvRecordParts::sameAsOneLineAfterAnother()
{
    QFETCH(QByteArray, lines);
    QFETCH(QString, failure);
    QFETCH(int, rowCount);

    const TReadResult whole = ReadInParts(lines, 1);
    QCOMPARE(whole.failure, failure);
    QCOMPARE(whole.rows.size(), rowCount);
    for (const std::size_t parts : {2, 3, 8, 64}) {
        const TReadResult inParts = ReadInParts(lines, parts);
        QCOMPARE(inParts.failure, whole.failure);
        QCOMPARE(inParts.rows, whole.rows);
    }
}

QTEST_GUILESS_MAIN(TestCsvRecordParts)
#include "tst_csv_record_parts.moc"
