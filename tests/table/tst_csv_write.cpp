#include "csv_test_support.h"
#include "tests/file_test_support.h"

#include "table/file_io.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <cstring>

#include <sys/mount.h>
#include <unistd.h>

namespace {

QByteArray ExampleFile()
{
    return ReadBytes(QFINDTESTDATA("data/notes_example.csv"));
}

// The note of the example file, made as the new-note command makes it.
void AddExampleNote(TqorMemTable& table)
{
    table.Insert();
    table.SetValue("szin", 8421631);
    table.SetValue("left", 300);
    table.SetValue("top", 75);
    table.SetValue("height", 100);
    table.SetValue("width", 330);
    table.SetValue("tol", TDateTime{EncodeDateTime(2010, 3, 13)});
    table.SetValue("latszik", false);
    table.SetValue("fontname", std::string("Tahoma"));
    table.SetValue("fontsize", 10);
    table.SetValue("fontcolor", 0);
    table.SetValue("isbold", false);
    table.SetValue("isitalic", false);
    table.SetValue("isunderline", false);
    table.SetValue("igazit", 2);
    table.SetValue("szoveg", std::string("Bevásárlás\r\n100% tej"));
    table.Post();
}

const QString ExampleNote =
    "null | 8421631 | 300 | 75 | 100 | 330 | 2010-03-13 00:00:00.000 | null | False | \"Tahoma\" | "
    "10 | 0 | False | False | False | 0 | 2 | \"Bevásárlás\r\n100% tej\"";

// The definition line and header name a table of one field writes.
struct TWrittenField {
    QByteArray definition;
    QByteArray header;
};

TWrittenField WrittenField(TqorMemTable& table)
{
    const QList<QByteArray> lines = SaveTable(table).split('\n');
    return {lines.value(2).chopped(1), lines.value(6).chopped(1)};
}

// A 64 KiB tmpfs over `folder` while the object lives.
class TSmallTmpfs {
public:
    explicit TSmallTmpfs(const QString& folder) : m_folder(Std(folder))
    {
        m_mounted = ::mount("tmpfs", m_folder.c_str(), "tmpfs", 0, "size=64k") == 0;
        if (!m_mounted)
            m_error = std::strerror(errno);
    }
    ~TSmallTmpfs()
    {
        if (m_mounted)
            ::umount2(m_folder.c_str(), MNT_DETACH);
    }
    TSmallTmpfs(const TSmallTmpfs&) = delete;
    TSmallTmpfs& operator=(const TSmallTmpfs&) = delete;

    bool IsMounted() const { return m_mounted; }
    const char* MountError() const { return m_error; }

private:
    std::string m_folder;
    bool m_mounted = false;
    const char* m_error = "";
};

}  // namespace

class TestCsvWrite : public QObject {
    Q_OBJECT

private slots:
    void exampleNoteWrittenByteForByte();
    void exampleFileReadsBackToTheSameNote();
    void definitionLine_data();
    void definitionLine();
    void onlyDataAndInternalCalcFieldsAreWritten();
    void recordsFollowTheCurrentOrder();
    void twelveHourTimeFormat();
    void failedWriteKeepsThePreviousFile_data();
    void failedWriteKeepsThePreviousFile();
};

void TestCsvWrite::exampleNoteWrittenByteForByte()
{
    TqorCSVStreamFormat format;
    TqorMemTable table;
    table.DefaultFormat = &format;
    AddNotesFields(table);
    table.Open();
    AddExampleNote(table);
    QTemporaryDir dir;
    const QString path = dir.filePath("Vikora.csv");

    table.WriteToFile(Std(path));

    const QByteArray expected = ExampleFile();
    QCOMPARE(expected.count("\r\n"), 25);
    QCOMPARE(ReadBytes(path), expected);
}

void TestCsvWrite::exampleFileReadsBackToTheSameNote()
{
    TqorCSVStreamFormat format;
    TqorMemTable table;
    table.DefaultFormat = &format;
    // Whatever the table held before, the file's definitions replace it.
    AddCatalogueFields(table);
    table.Open();
    table.AddAtEnd();
    table.SetValue("link", std::string("http://example.org"));
    table.Post();

    table.ReadFromFile(Std(QFINDTESTDATA("data/notes_example.csv")));

    TqorMemTable notes;
    AddNotesFields(notes);
    QCOMPARE(FieldList(table), FieldList(notes));
    QCOMPARE(Rows(table), QStringList{ExampleNote});
    QCOMPARE(table.RecordNumber(), 1);
    QCOMPARE(SaveTable(table), ExampleFile());
}

void TestCsvWrite::definitionLine_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("defaultExpression");
    QTest::addColumn<int>("displayWidth");
    QTest::addColumn<bool>("required");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("definition");
    QTest::addColumn<QByteArray>("header");

    QTest::newRow("plain field: label is the name, width is the size")
        << ""
        << ""
        << "" << 0 << false << false << true << int(fkData)
        << QByteArray(R"("f=String,12,""f"","""",12,Data,""""")") << QByteArray(R"("f",)");
    QTest::newRow("quotes inside label, mask and default are doubled twice")
        << R"(a"b)"
        << R"(!"9)"
        << R"(x="y")" << 0 << false << false << true << int(fkData)
        << QByteArray(R"("f=String,12,""a""""b"",""!""""9"",12,Data,""x=""""y""""""")")
        << QByteArray(R"("a""b",)");
    QTest::newRow("flags in the order REQ, RO, INV")
        << ""
        << ""
        << "" << 0 << true << true << false << int(fkData)
        << QByteArray(R"("f=String,12,""f"","""",12,REQ,RO,INV,Data,""""")")
        << QByteArray(R"("f",)");
    QTest::newRow("own display width and kind InternalCalc")
        << ""
        << ""
        << "" << 1 << false << false << true << int(fkInternalCalc)
        << QByteArray(R"("f=String,12,""f"","""",1,InternalCalc,""""")") << QByteArray(R"("f",)");
    QTest::newRow("label in Windows-1250")
        << "Leírás"
        << ""
        << "" << 0 << false << false << true << int(fkData)
        << QByteArray("\"f=String,12,\"\"Le\xEDr\xE1s\"\",\"\"\"\",12,Data,\"\"\"\"\"")
        << QByteArray("\"Le\xEDr\xE1s\",");
}

void TestCsvWrite::definitionLine()
{
    QFETCH(QString, label);
    QFETCH(QString, mask);
    QFETCH(QString, defaultExpression);
    QFETCH(int, displayWidth);
    QFETCH(bool, required);
    QFETCH(bool, readOnly);
    QFETCH(bool, visible);
    QFETCH(int, kind);
    QFETCH(QByteArray, definition);
    QFETCH(QByteArray, header);
    TqorCSVStreamFormat format;
    TqorMemTable table;
    table.DefaultFormat = &format;
    TField& field = table.AddField("f", ftString, 12);
    field.DisplayLabel = label.toStdString();
    field.EditMask = mask.toStdString();
    field.DefaultExpression = defaultExpression.toStdString();
    field.DisplayWidth = displayWidth;
    field.Required = required;
    field.ReadOnly = readOnly;
    field.Visible = visible;
    field.FieldKind = static_cast<TFieldKind>(kind);
    table.Open();

    const TWrittenField written = WrittenField(table);

    QCOMPARE(written.definition, definition);
    QCOMPARE(written.header, header);
}

void TestCsvWrite::onlyDataAndInternalCalcFieldsAreWritten()
{
    TqorCSVStreamFormat format;
    TqorMemTable table;
    table.DefaultFormat = &format;
    const struct {
        const char* name;
        TFieldKind kind;
    } fields[] = {{"data", fkData},
                  {"calc", fkCalculated},
                  {"internal", fkInternalCalc},
                  {"lookup", fkLookup},
                  {"aggr", fkAggregate}};
    for (const auto& f : fields)
        table.AddField(f.name, ftInteger).FieldKind = f.kind;
    table.Open();
    table.AddAtEnd();
    for (const auto& f : fields)
        table.SetValue(f.name, 7);
    table.Post();

    const QByteArray expected = CrLfLines({
        R"("@@FILE VERSION@@","251")",
        R"("@@TABLEDEF START@@")",
        R"("data=Integer,0,""data"","""",10,Data,""""")",
        R"("internal=Integer,0,""internal"","""",10,InternalCalc,""""")",
        R"("@@INDEXDEF START@@")",
        R"("@@INDEXDEF END@@")",
        R"("@@TABLEDEF END@@")",
        R"("data","internal",)",
        R"("7","7",)",
    });
    QCOMPARE(SaveTable(table), expected);
}

void TestCsvWrite::recordsFollowTheCurrentOrder()
{
    TqorCSVStreamFormat format;
    TqorMemTable table;
    table.DefaultFormat = &format;
    AddCatalogueFields(table);
    table.SortFields = "programok";
    table.Open();
    for (const char* name : {"Zöld", "Alma", "Körte"}) {
        table.AddAtEnd();
        table.SetValue("programok", std::string(name));
        table.Post();
    }
    table.ApplySort();

    const QList<QByteArray> lines = SaveTable(table).split('\n');

    QCOMPARE(lines.size(), 15);  // 14 lines and the empty rest after the last line end
    QCOMPARE(lines.mid(11, 3),
             (QList<QByteArray>{"\"Alma\",,,,,\r", "\"K\xF6rte\",,,,,\r", "\"Z\xF6ld\",,,,,\r"}));
}

void TestCsvWrite::twelveHourTimeFormat()
{
    TqorCSVStreamFormat format;
    format.TimeFormat.twelveHour = true;
    format.TimeFormat.amDesignator = "de.";
    format.TimeFormat.pmDesignator = "du.";
    format.TimeFormat.designatorFirst = true;
    TqorMemTable table;
    table.DefaultFormat = &format;
    table.AddField("t", ftDateTime);
    table.Open();
    table.AddAtEnd();
    table.SetValue("t", TDateTime{EncodeDateTime(2010, 3, 13, 21, 5, 7)});
    table.Post();

    const QByteArray bytes = SaveTable(table);
    QVERIFY2(bytes.endsWith("\"t\",\r\n\"13/03/2010 du. 9:05:07\",\r\n"), bytes.constData());

    TqorMemTable back;
    back.DefaultFormat = &format;
    LoadTable(back, bytes);
    QCOMPARE(Rows(back), QStringList{"2010-03-13 21:05:07.000"});
}

void TestCsvWrite::failedWriteKeepsThePreviousFile_data()
{
    QTest::addColumn<bool>("fillDisk");
    QTest::newRow("missing folder") << false;
    QTest::newRow("disk full") << true;
}

void TestCsvWrite::failedWriteKeepsThePreviousFile()
{
    QFETCH(bool, fillDisk);
    QTemporaryDir dir;
    QString folder = dir.filePath("missing");
    std::unique_ptr<TSmallTmpfs> tmpfs;
    if (fillDisk) {
        if (::geteuid() != 0)
            QSKIP("mounting a small tmpfs needs root");
        folder = dir.filePath("small");
        QVERIFY(QDir(dir.path()).mkdir("small"));
        tmpfs = std::make_unique<TSmallTmpfs>(folder);
        if (!tmpfs->IsMounted())
            QSKIP(qPrintable(QString("cannot mount a tmpfs: ") + tmpfs->MountError()));
    }
    const QString path = folder + "/Vikora.csv";
    TqorCSVStreamFormat format;
    TqorMemTable table;
    table.DefaultFormat = &format;
    AddNotesFields(table);
    table.Open();
    AddExampleNote(table);
    if (fillDisk)
        table.WriteToFile(Std(path));
    const QByteArray before = ReadBytes(path);

    // A note far larger than the 64 KiB disk.
    table.Edit();
    table.SetValue("szoveg", std::string(100 * 1024, 'x'));
    table.Post();
    const QString failure = FailureOf([&] { table.WriteToFile(Std(path)); });

    if (fillDisk) {
        QCOMPARE(failure, "EWriteError: Stream write error");
        QCOMPARE(ReadBytes(path), before);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"Vikora.csv"});
    } else {
        QCOMPARE(failure,
                 "EFCreateError: Cannot create file \"" + path + "\". No such file or directory");
        QVERIFY(!QFile::exists(folder));
    }
    QCOMPARE(table.CountRecords(), 1);
    QCOMPARE(table.State(), dsBrowse);
}

QTEST_APPLESS_MAIN(TestCsvWrite)
#include "tst_csv_write.moc"
