#include "table_test_support.h"
#include "tests/file_test_support.h"

#include "table/stream.h"
#include "table/stream_format.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

// What a table does around its stream format when it is written or read: the
// order of the format's steps, the clean-up after a failure, and the state of
// the table during and after a read.

namespace {

// A line per record, values separated by tabs, "~" for null; a first line
// "#defs" stands for definitions that replace the field list. Records the
// steps it is called in and fails in the ones it is told to.
class StepFormat : public TqorCustomStreamFormat {
public:
    QStringList steps;
    QSet<QString> failIn;
    bool writeDefinitions = false;
    // Runs in LoadRecords after the records were read.
    std::function<void(TqorMemTable&)> afterRecords;

    void BeforeSave(TqorMemTable& table, TStream& stream) override
    {
        TqorCustomStreamFormat::BeforeSave(table, stream);
        Step("BeforeSave");
    }
    void SaveDefinitions(TqorMemTable&, TStream& stream) override
    {
        Step("SaveDefinitions");
        if (writeDefinitions)
            stream.Write("#defs\n");
    }
    void SaveRecords(TqorMemTable& table, TStream& stream) override
    {
        Step("SaveRecords");
        for (int i = 0; i < table.CountRecords(); ++i) {
            std::string line;
            for (int f = 0; f < table.FieldCount(); ++f) {
                const TValue v = table.RecordValue(i, f);
                line += (f ? "\t" : "") + (IsNull(v) ? "~" : table.Fields(f).ToText(v));
            }
            stream.Write(line + "\n");
        }
    }
    void AfterSave(TqorMemTable& table, TStream& stream) override
    {
        TqorCustomStreamFormat::AfterSave(table, stream);
        Step("AfterSave");
    }

    void BeforeLoad(TqorMemTable& table, TStream& stream) override
    {
        TqorCustomStreamFormat::BeforeLoad(table, stream);
        Step("BeforeLoad");
    }
    void LoadDefinitions(TqorMemTable& table, TStream& stream) override
    {
        std::string bytes;
        char buffer[256];
        while (const std::size_t n = stream.Read(buffer, sizeof buffer))
            bytes.append(buffer, n);
        m_lines = QString::fromStdString(bytes).split('\n', Qt::SkipEmptyParts);
        const bool definitions = !m_lines.isEmpty() && m_lines.first() == "#defs";
        if (definitions) {
            m_lines.removeFirst();
            table.Close();
        }
        Step("LoadDefinitions");
        if (definitions)
            table.Open();
    }
    void MatchColumns(TqorMemTable&, TStream&) override { Step("MatchColumns"); }
    void LoadRecords(TqorMemTable& table, TStream&) override
    {
        Step("LoadRecords");
        table.ResetAutoIncCounter();
        for (const QString& line : m_lines) {
            table.AddAtEnd();
            const QStringList values = line.split('\t');
            for (int f = 0; f < values.size() && f < table.FieldCount(); ++f)
                table.Fields(f).SetValue(values[f] == "~" ? TValue{}
                                                          : TValue{values[f].toStdString()});
            table.Post();
        }
        if (afterRecords)
            afterRecords(table);
    }
    void AfterLoad(TqorMemTable& table, TStream& stream) override
    {
        TqorCustomStreamFormat::AfterLoad(table, stream);
        Step("AfterLoad");
    }

private:
    void Step(const char* name)
    {
        steps << name;
        if (failIn.contains(name))
            throw EMemTableError(std::string("failed in ") + name);
    }

    QStringList m_lines;
};

// az, a name, and a read-only text.
class Table : public TqorMemTable {
public:
    explicit Table(StepFormat* format = nullptr)
    {
        AddField("az", ftAutoInc);
        AddField("nev", ftString, 20);
        AddField("ro", ftString, 10).ReadOnly = true;
        SetTextCompare(MakeLocaleTextCompare("hu_HU.UTF-8"));
        DefaultFormat = format;
        Open();
    }
};

void AddNamed(TqorMemTable& table, std::initializer_list<const char*> names)
{
    for (const char* name : names)
        AddRecord(table, {{"nev", std::string(name)}});
}

QStringList Names(const TqorMemTable& table)
{
    return Column(table, "nev");
}

QString CurrentName(const TqorMemTable& table)
{
    return QString::fromStdString(table.GetField("nev").AsString());
}

const QString NoError = "no error";

}  // namespace

using LoadOp = std::function<void(TqorMemTable&)>;
Q_DECLARE_METATYPE(LoadOp)

class TestStreamFormat : public QObject {
    Q_OBJECT

private slots:
    void saveSteps_data();
    void saveSteps();
    void loadSteps_data();
    void loadSteps();
    void writeAndReadFile();
    void tableDuringLoad();
    void autoIncAfterLoad();
    void sortRebuiltAtEndOfLoad();
    void definitionsDropTheSort();
    void interruptedLoad_data();
    void interruptedLoad();
    void failedDefinitionsLeaveTableClosed();
    void refusedBeforeAnyStep();
};

void TestStreamFormat::saveSteps_data()
{
    QTest::addColumn<QStringList>("failIn");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("error");

    const QStringList all = {"BeforeSave", "SaveDefinitions", "SaveRecords", "AfterSave"};
    QTest::newRow("no failure") << QStringList{} << all << NoError;
    QTest::newRow("preparation fails")
        << QStringList{"BeforeSave"} << QStringList{"BeforeSave", "AfterSave"}
        << "EMemTableError | failed in BeforeSave";
    QTest::newRow("definitions fail") << QStringList{"SaveDefinitions"}
                                      << QStringList{"BeforeSave", "SaveDefinitions", "AfterSave"}
                                      << "EMemTableError | failed in SaveDefinitions";
    QTest::newRow("records fail") << QStringList{"SaveRecords"} << all
                                  << "EMemTableError | failed in SaveRecords";
    QTest::newRow("clean-up fails")
        << QStringList{"AfterSave"} << all << "EMemTableError | failed in AfterSave";
    QTest::newRow("first failure wins") << QStringList{"SaveRecords", "AfterSave"} << all
                                        << "EMemTableError | failed in SaveRecords";
}

void TestStreamFormat::saveSteps()
{
    QFETCH(QStringList, failIn);
    QFETCH(QStringList, steps);
    QFETCH(QString, error);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const std::string path = dir.filePath("t.txt").toStdString();
    const std::function<void(TqorMemTable&)> ways[] = {
        [](TqorMemTable& t) {
            TStringStream out;
            t.SaveToStream(out);
        },
        [&path](TqorMemTable& t) { t.WriteToFile(path); },
    };
    for (const auto& save : ways) {
        StepFormat format;
        format.failIn = QSet<QString>(failIn.begin(), failIn.end());
        Table table(&format);
        AddNamed(table, {"a"});

        QCOMPARE(FailureOf([&] { save(table); }), error);
        QCOMPARE(format.steps, steps);
        QVERIFY(!table.IsSaving());
        QVERIFY(!table.ControlsDisabled());
    }
}

void TestStreamFormat::loadSteps_data()
{
    QTest::addColumn<QStringList>("failIn");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("error");

    const QStringList all = {"BeforeLoad", "LoadDefinitions", "MatchColumns", "LoadRecords",
                             "AfterLoad"};
    QTest::newRow("no failure") << QStringList{} << all << NoError;
    QTest::newRow("preparation fails")
        << QStringList{"BeforeLoad"} << QStringList{"BeforeLoad", "AfterLoad"}
        << "EMemTableError | failed in BeforeLoad";
    QTest::newRow("definitions fail") << QStringList{"LoadDefinitions"}
                                      << QStringList{"BeforeLoad", "LoadDefinitions", "AfterLoad"}
                                      << "EMemTableError | failed in LoadDefinitions";
    QTest::newRow("matching fails")
        << QStringList{"MatchColumns"}
        << QStringList{"BeforeLoad", "LoadDefinitions", "MatchColumns", "AfterLoad"}
        << "EMemTableError | failed in MatchColumns";
    QTest::newRow("records fail") << QStringList{"LoadRecords"} << all
                                  << "EMemTableError | failed in LoadRecords";
    QTest::newRow("clean-up fails")
        << QStringList{"AfterLoad"} << all << "EMemTableError | failed in AfterLoad";
    QTest::newRow("first failure wins")
        << QStringList{"MatchColumns", "AfterLoad"}
        << QStringList{"BeforeLoad", "LoadDefinitions", "MatchColumns", "AfterLoad"}
        << "EMemTableError | failed in MatchColumns";
}

void TestStreamFormat::loadSteps()
{
    QFETCH(QStringList, failIn);
    QFETCH(QStringList, steps);
    QFETCH(QString, error);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("t.txt");
    QVERIFY(WriteBytes(path, "5\tx\t~\n"));
    const std::function<void(TqorMemTable&)> ways[] = {
        [](TqorMemTable& t) {
            TStringStream in("5\tx\t~\n");
            t.LoadFromStream(in);
        },
        [&path](TqorMemTable& t) { t.ReadFromFile(path.toStdString()); },
    };
    for (const auto& load : ways) {
        StepFormat format;
        format.failIn = QSet<QString>(failIn.begin(), failIn.end());
        Table table(&format);

        QCOMPARE(FailureOf([&] { load(table); }), error);
        QCOMPARE(format.steps, steps);
        QVERIFY(!table.IsLoading());
        QVERIFY(!table.ControlsDisabled());
        // Auto-increment values are handed out again after any read.
        table.AddAtEnd();
        QVERIFY(!table.GetField("az").IsNull());
    }
}

void TestStreamFormat::writeAndReadFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("t.txt");
    QVERIFY(WriteBytes(path, "old content that is longer than the new one\n"));

    StepFormat format;
    Table table(&format);
    AddNamed(table, {"első", "második"});
    table.WriteToFile(path.toStdString());

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(file.readAll()), QString("0\telső\t~\n1\tmásodik\t~\n"));

    Table copy(&format);
    copy.ReadFromFile(path.toStdString());
    QCOMPARE(Names(copy), QStringList({"első", "második"}));
    QCOMPARE(Column(copy, "az"), QStringList({"0", "1"}));
}

void TestStreamFormat::tableDuringLoad()
{
    StepFormat format;
    Table table(&format);
    AddNamed(table, {"b"});
    table.SortFields = "nev";
    table.ApplySort();

    QStringList seen;
    format.afterRecords = [&seen](TqorMemTable& t) {
        seen << QString("loading %1, held %2, sorted %3")
                    .arg(t.IsLoading())
                    .arg(t.ControlsDisabled())
                    .arg(t.IsSorted());
        t.AddAtEnd();
        seen << "new az " + ValueText(t.GetValue("az"));
        t.SetValue("nev", std::string("c"));
        t.SetValue("ro", std::string("írható"));
        t.Post();
    };
    TStringStream in("~\ta\t~\n");
    table.LoadFromStream(in);

    QCOMPARE(seen, QStringList({"loading 1, held 1, sorted 0", "new az null"}));
    QCOMPARE(Column(table, "ro"), QStringList({"null", "null", "írható"}));
    QVERIFY(!table.IsLoading());
    table.Edit();
    QCOMPARE(FailureOf([&] { table.SetValue("ro", std::string("x")); }),
             QString("EDatabaseError | Field ro is read only"));
}

void TestStreamFormat::autoIncAfterLoad()
{
    StepFormat format;
    Table table(&format);
    TStringStream in("3\ta\t~\n7\tb\t~\n");
    table.LoadFromStream(in);
    table.AddAtEnd();
    QCOMPARE(ValueText(table.GetValue("az")), QString("int(8)"));
    table.Cancel();

    // Deleting the highest does not free it while the table stays loaded...
    QVERIFY(table.FindByValue("az", std::int32_t{7}));
    table.Delete();
    table.AddAtEnd();
    QCOMPARE(ValueText(table.GetValue("az")), QString("int(8)"));
    table.Cancel();

    // ...but written and read back, the number is handed out again.
    TStringStream saved;
    table.SaveToStream(saved);
    table.Close();
    table.Open();
    TStringStream again(saved.Bytes());
    table.LoadFromStream(again);
    table.AddAtEnd();
    QCOMPARE(ValueText(table.GetValue("az")), QString("int(4)"));
}

void TestStreamFormat::sortRebuiltAtEndOfLoad()
{
    StepFormat format;
    Table table(&format);
    AddNamed(table, {"bab"});
    table.SortFields = "nev";
    table.ApplySort();
    TDataSource source(&table);
    struct Link : TDataLink {
        QStringList log;
        void RecordChanged(TField*) override { log << "record"; }
        void StateChanged() override { log << "state"; }
        void DataSetChanged() override { log << "dataset"; }
    } link;
    link.SetDataSource(&source);
    QStringList scrolledTo;
    table.AfterScroll = [&](TqorMemTable& t) { scrolledTo << CurrentName(t); };

    TStringStream in("~\tdió\t~\n~\tÁfonya\t~\n~\tcitrom\t~\n");
    table.LoadFromStream(in);

    QVERIFY(table.IsSorted());
    QCOMPARE(Names(table), QStringList({"Áfonya", "bab", "citrom", "dió"}));
    QCOMPARE(table.RecordNumber(), 1);
    QCOMPARE(scrolledTo, QStringList{"Áfonya"});
    QCOMPARE(link.log, QStringList{"dataset"});

    // The rebuilt sort is kept up to date again.
    AddNamed(table, {"alma"});
    QCOMPARE(Names(table), QStringList({"Áfonya", "alma", "bab", "citrom", "dió"}));
}

void TestStreamFormat::definitionsDropTheSort()
{
    StepFormat format;
    Table table(&format);
    AddNamed(table, {"bab"});
    table.SortFields = "nev";
    table.ApplySort();

    TStringStream in("#defs\n~\tdió\t~\n~\tÁfonya\t~\n");
    table.LoadFromStream(in);
    QVERIFY(!table.IsSorted());
    QCOMPARE(Names(table), QStringList({"dió", "Áfonya"}));
    QCOMPARE(CurrentName(table), QString("dió"));
}

void TestStreamFormat::interruptedLoad_data()
{
    using Op = LoadOp;
    QTest::addColumn<Op>("interrupted");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("record with a value is kept") << Op([](TqorMemTable& t) {
        t.AddAtEnd();
        t.SetValue("nev", std::string("félig"));
    }) << QStringList{"a", "félig"};
    QTest::newRow("record cleared by a null is kept") << Op([](TqorMemTable& t) {
        t.AddAtEnd();
        t.SetValue("nev", TValue{});
    }) << QStringList{"a", "null"};
    QTest::newRow("record without values is dropped")
        << Op([](TqorMemTable& t) { t.AddAtEnd(); }) << QStringList{"a"};
}

void TestStreamFormat::interruptedLoad()
{
    QFETCH(LoadOp, interrupted);
    QFETCH(QStringList, names);

    StepFormat format;
    format.afterRecords = [&](TqorMemTable& t) {
        interrupted(t);
        throw EConvertError("broken line");
    };
    Table table(&format);
    int scrolled = 0;
    table.AfterScroll = [&](TqorMemTable&) { ++scrolled; };
    TStringStream in("~\ta\t~\n");

    QCOMPARE(FailureOf([&] { table.LoadFromStream(in); }), QString("EConvertError | broken line"));
    QCOMPARE(table.State(), dsBrowse);
    QCOMPARE(Names(table), names);
    QCOMPARE(table.RecordNumber(), 1);
    QCOMPARE(scrolled, 1);
}

void TestStreamFormat::failedDefinitionsLeaveTableClosed()
{
    StepFormat format;
    format.failIn = {"LoadDefinitions"};
    Table table(&format);
    TStringStream in("#defs\n~\ta\t~\n");

    QCOMPARE(FailureOf([&] { table.LoadFromStream(in); }),
             QString("EMemTableError | failed in LoadDefinitions"));
    QVERIFY(!table.Active());
    QVERIFY(!table.IsLoading());
    QCOMPARE(table.FieldCount(), 3);
}

// Errors raised before the format is handed the table: no step runs.
void TestStreamFormat::refusedBeforeAnyStep()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const std::string missing = dir.filePath("nincs.txt").toStdString();
    const std::string target = dir.filePath("uj.txt").toStdString();
    const QString noFormat = "EMemTableError | No format specified.";
    const QString closed =
        "EDatabaseError | Tbl: Cannot perform this operation on a closed dataset";

    Table bare;
    TStringStream stream;
    QCOMPARE(FailureOf([&] { bare.SaveToStream(stream); }), noFormat);
    QCOMPARE(FailureOf([&] { bare.LoadFromStream(stream); }), noFormat);
    QCOMPARE(FailureOf([&] { bare.WriteToFile(target); }), noFormat);
    QCOMPARE(FailureOf([&] { bare.ReadFromFile(target); }), noFormat);

    StepFormat format;
    Table table(&format);
    QCOMPARE(FailureOf([&] { table.ReadFromFile(missing); }),
             QString("EFOpenError | Cannot open file \"%1\". No such file or directory")
                 .arg(QString::fromStdString(missing)));
    table.Close();
    QCOMPARE(FailureOf([&] { table.SaveToStream(stream); }), closed);
    QCOMPARE(FailureOf([&] { table.WriteToFile(target); }), closed);
    QCOMPARE(format.steps, QStringList{});
    QVERIFY(!QFile::exists(QString::fromStdString(target)));
}

QTEST_APPLESS_MAIN(TestStreamFormat)
#include "tst_stream_format.moc"
