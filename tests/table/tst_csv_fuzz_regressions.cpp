// Inputs the CSV reader fuzz target (fuzz/fuzz_csv_reader.cpp) found, kept so
// that the faults they showed stay fixed.
#include "csv_test_support.h"

#include <QtTest>

class TestCsvFuzzRegressions : public QObject {
    Q_OBJECT

private slots:
    void writerOutputReadsBack_data();
    void writerOutputReadsBack();
};

// A file read without error, written again, must read back: the writer may
// refuse a table, but never make a file that its own reader refuses.
void TestCsvFuzzRegressions::writerOutputReadsBack_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("knownFault");

    // The fuzzer's input, minimized: a lone Calculated field without a name.
    QTest::newRow("fuzzer: unnamed calculated graphic")
        << QByteArray("@@TABLEDEF START@@\n\"=Graphic,0,,\"\"\"\"1\x1c"
                      "Calculated\n@@TABLEDEF END@@")
        << true;
    QTest::newRow("only a calculated field")
        << CrLfLines({R"("@@TABLEDEF START@@")", R"("c=Integer,0,""c"","""",10,Calculated,""""")",
                      R"("@@TABLEDEF END@@")"})
        << true;
    QTest::newRow("only lookup and aggregate fields")
        << CrLfLines({R"("@@TABLEDEF START@@")", R"("l=String,5,""l"","""",5,Lookup,""""")",
                      R"("a=Integer,0,""a"","""",10,Aggregate,""""")", R"("@@TABLEDEF END@@")"})
        << true;
    QTest::newRow("a calculated field beside a data field")
        << CrLfLines({R"("@@TABLEDEF START@@")", R"("c=Integer,0,""c"","""",10,Calculated,""""")",
                      R"("d=Integer,0,""d"","""",10,Data,""""")", R"("@@TABLEDEF END@@")",
                      R"("c","d",)", R"("1","2",)"})
        << false;
}

void TestCsvFuzzRegressions::writerOutputReadsBack()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, knownFault);
    TqorCSVStreamFormat format;
    TqorMemTable table;
    table.DefaultFormat = &format;
    QCOMPARE(FailureOf([&] { LoadTable(table, file); }), QString("no error"));

    QByteArray written;
    if (FailureOf([&] { written = SaveTable(table); }) != "no error")
        return;  // refusing to write is allowed

    TqorMemTable again;
    again.DefaultFormat = &format;
    // A table whose fields are all of kinds that are not written
    // (Calculated, Lookup, Aggregate) must be refused above.
    QVERIFY(!knownFault);
    QCOMPARE(FailureOf([&] { LoadTable(again, written); }), QString("no error"));
}

QTEST_APPLESS_MAIN(TestCsvFuzzRegressions)
#include "tst_csv_fuzz_regressions.moc"
