// Runs of whole lines hold the lines a line-by-line read gives, whatever
// their lengths and line ends, and a failed read keeps the lines before it.
#include "csv_test_support.h"
#include "table/csv_line_reader.h"

#include <QtTest>

namespace {
// Lines of many lengths, some longer than a run and than a block, with
// every kind of line end.
std::string ManyLines()
{
    static const char* const Ends[] = {"\r\n", "\n", "\r", "\r\n\r\n", "\0\r\n", "\n\n\n"};
    std::string bytes = "header\r\n";
    for (int i = 0; i < 300; ++i) {
        const std::size_t length = i % 17 == 0 ? 5000 + 131 * i : 1 + (i * 37) % 200;
        bytes += std::string(length, static_cast<char>('a' + i % 26));
        const char* end = Ends[i % 6];
        bytes.append(end, i % 6 == 4 ? 3 : std::strlen(end));
    }
    return bytes;
}

QStringList LinesOf(std::string_view run)
{
    QStringList lines;
    std::size_t p = 0;
    while (p < run.size()) {
        const std::size_t end =
            std::min(run.find_first_of(std::string_view("\r\n\0", 3), p), run.size());
        if (end > p)
            lines << QString::fromLatin1(run.data() + p, static_cast<qsizetype>(end - p));
        p = end + 1;
    }
    return lines;
}

QStringList LinesOneByOne(const std::string& bytes, std::size_t failAt)
{
    TPieceStream stream(bytes, 8192, failAt);
    TCsvLineReader reader(stream);
    QStringList lines;
    try {
        for (std::string_view line = reader.ReadLine(); !line.empty(); line = reader.ReadLine())
            lines << QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()));
    } catch (const EReadError&) {
        lines << "failed";
    }
    return lines;
}

QStringList LinesInRuns(const std::string& bytes, std::size_t runSize, std::size_t piece,
                        std::size_t failAt)
{
    TPieceStream stream(bytes, piece, failAt);
    TCsvLineReader reader(stream);
    QStringList lines{QString::fromLatin1(reader.ReadLine().data())};
    lines.back().truncate(6);  // "header"
    std::exception_ptr failure;
    for (;;) {
        const std::string_view run = reader.ReadWholeLines(runSize, failure);
        if (run.empty() && !failure)
            break;
        if (!run.empty() && run.data()[run.size()] != '\r' && run.data()[run.size()] != '\n' &&
            run.data()[run.size()] != '\0')
            return {"a run not followed by a line end"};
        lines << LinesOf(run);
        if (failure) {
            lines << "failed";
            break;
        }
    }
    return lines;
}
}  // namespace

class TestCsvLineReader : public QObject {
    Q_OBJECT

private slots:
    void runsHoldTheLinesOfOneByOne_data();
    void runsHoldTheLinesOfOneByOne();
};

void TestCsvLineReader::runsHoldTheLinesOfOneByOne_data()
{
    QTest::addColumn<int>("runSize");
    QTest::addColumn<int>("piece");
    QTest::addColumn<int>("failAt");

    const int whole = static_cast<int>(ManyLines().size()) + 1;
    QTest::newRow("small runs") << 3000 << 8192 << whole;
    QTest::newRow("runs of one byte") << 1 << 8192 << whole;
    QTest::newRow("small pieces") << 3000 << 7 << whole;
    QTest::newRow("one run") << (4 << 20) << 65536 << whole;
    for (const int failAt : {9, 5000, 20000, 77777, whole - 3})
        QTest::newRow(qPrintable(QString("failure at %1").arg(failAt))) << 3000 << 1000 << failAt;
}

void TestCsvLineReader::runsHoldTheLinesOfOneByOne()
{
    QFETCH(int, runSize);
    QFETCH(int, piece);
    QFETCH(int, failAt);
    const std::string bytes = ManyLines();

    QCOMPARE(LinesInRuns(bytes, static_cast<std::size_t>(runSize), static_cast<std::size_t>(piece),
                         static_cast<std::size_t>(failAt)),
             LinesOneByOne(bytes, static_cast<std::size_t>(failAt)));
}

QTEST_GUILESS_MAIN(TestCsvLineReader)
#include "tst_csv_line_reader.moc"
