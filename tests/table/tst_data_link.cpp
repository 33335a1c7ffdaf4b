#include "table_test_support.h"

#include <QTest>

#include <functional>
#include <memory>
#include <optional>

// The data-source link: what a bound control is told, and how a control that
// edits its field takes part in the editing cycle.

namespace {

// A control bound to one field: logs what it is told, with the value it
// would show at that moment, and writes back a pending value when asked.
class RecordingLink : public TDataLink {
public:
    RecordingLink(TDataSource& source, std::string field, QStringList& log)
        : m_field(std::move(field)), m_log(log)
    {
        SetDataSource(&source);
    }

    std::optional<TValue> pending;

    void RecordChanged(TField* field) override
    {
        m_log << (field ? "field:" + QString::fromStdString(field->FieldName) : QString("record")) +
                     "(" + Shown() + ")";
    }
    void StateChanged() override
    {
        static const char* const names[] = {"inactive", "browse", "edit", "insert"};
        m_log << QString("state:") + names[DataSet()->State()];
    }
    void LayoutChanged() override { m_log << "layout"; }
    void DataSetChanged() override { m_log << "dataset"; }
    void UpdateData() override
    {
        m_log << "update:" + QString::fromStdString(m_field);
        if (pending)
            DataSet()->SetValue(m_field, *pending);
    }

private:
    QString Shown() const
    {
        TField* field = DataSet()->FindField(m_field);
        return field ? QString::fromStdString(field->AsString()) : QString("?");
    }

    std::string m_field;
    QStringList& m_log;
};

class Programs : public TqorMemTable {
public:
    Programs()
    {
        AddField("programok", ftString, 50);
        AddField("szam", ftInteger);
        SetTextCompare(MakeLocaleTextCompare("hu_HU.UTF-8"));
        Open();
        AddRecord(*this, {{"programok", std::string("a")}, {"szam", std::int32_t{1}}});
        AddRecord(*this, {{"programok", std::string("b")}, {"szam", std::int32_t{2}}});
        MoveFirst();
    }
};

TValue Text(const char* s)
{
    return std::string(s);
}

}  // namespace

using TableOp = std::function<void(TqorMemTable&)>;
Q_DECLARE_METATYPE(TableOp)

class TestDataLink : public QObject {
    Q_OBJECT

private slots:
    void notifications_data();
    void notifications();
    void nothingWhileControlsDisabled();
    void modifiedStartsEditing_data();
    void modifiedStartsEditing();
    void updateDataBeforeLeavingEditState_data();
    void updateDataBeforeLeavingEditState();
    void updateDataForModifiedLinksOnly();
    void failingUpdateDataKeepsEditState();
    void linksAndTablesGoInAnyOrder();
};

void TestDataLink::notifications_data()
{
    QTest::addColumn<TableOp>("script");
    QTest::addColumn<QStringList>("log");

    const auto op = [](auto fn) { return TableOp(fn); };
    QTest::newRow("MoveNext") << op([](TqorMemTable& t) { t.MoveNext(); })
                              << QStringList{"record(b)"};
    QTest::newRow("MoveNext onto the end flag") << op([](TqorMemTable& t) {
        t.MoveNext();
        t.MoveNext();
    }) << QStringList{"record(b)"};
    QTest::newRow("MoveFirst") << op([](TqorMemTable& t) { t.MoveFirst(); })
                               << QStringList{"record(a)"};
    QTest::newRow("FindByValue found")
        << op([](TqorMemTable& t) { t.FindByValue("szam", std::int32_t{2}); })
        << QStringList{"record(b)"};
    QTest::newRow("FindByValue not found")
        << op([](TqorMemTable& t) { t.FindByValue("szam", std::int32_t{9}); }) << QStringList{};
    QTest::newRow("Edit") << op([](TqorMemTable& t) { t.Edit(); }) << QStringList{"state:edit"};
    QTest::newRow("SetValue") << op([](TqorMemTable& t) {
        t.Edit();
        t.SetValue("programok", Text("x"));
    }) << QStringList{"state:edit", "field:programok(x)"};
    QTest::newRow("Post") << op([](TqorMemTable& t) {
        t.Edit();
        t.SetValue("programok", Text("x"));
        t.Post();
    }) << QStringList{"state:edit", "field:programok(x)", "state:browse", "record(x)"};
    QTest::newRow("Cancel") << op([](TqorMemTable& t) {
        t.Edit();
        t.SetValue("programok", Text("x"));
        t.Cancel();
    }) << QStringList{"state:edit", "field:programok(x)", "state:browse", "record(a)"};
    QTest::newRow("Insert") << op([](TqorMemTable& t) { t.Insert(); })
                            << QStringList{"state:insert", "record()"};
    QTest::newRow("Delete") << op([](TqorMemTable& t) { t.Delete(); }) << QStringList{"record(b)"};
    QTest::newRow("ApplySort keeping the record") << op([](TqorMemTable& t) {
        t.SortFields = "programok:D";
        t.ApplySort();
    }) << QStringList{"record(a)"};
    QTest::newRow("Close") << op([](TqorMemTable& t) { t.Close(); })
                           << QStringList{"state:inactive"};
    QTest::newRow("Close and Open") << op([](TqorMemTable& t) {
        t.Close();
        t.Open();
    }) << QStringList{"state:inactive", "state:browse", "dataset"};
    QTest::newRow("field list changed") << op([](TqorMemTable& t) {
        t.Close();
        t.AddField("uj", ftBoolean);
    }) << QStringList{"state:inactive", "layout"};
}

void TestDataLink::notifications()
{
    QFETCH(TableOp, script);
    QFETCH(QStringList, log);

    Programs table;
    TDataSource source(&table);
    QStringList seen;
    RecordingLink link(source, "programok", seen);
    script(table);
    QCOMPARE(seen, log);
}

void TestDataLink::nothingWhileControlsDisabled()
{
    Programs table;
    TDataSource source(&table);
    QStringList seen;
    RecordingLink link(source, "programok", seen);

    table.DisableControls();
    table.DisableControls();
    table.MoveNext();
    table.Edit();
    table.SetValue("programok", Text("x"));
    table.Post();
    table.Insert();
    table.Cancel();
    table.Delete();
    table.EnableControls();
    QCOMPARE(seen, QStringList{});
    table.EnableControls();
    QCOMPARE(seen, QStringList{"dataset"});
}

void TestDataLink::modifiedStartsEditing_data()
{
    QTest::addColumn<bool>("empty");
    QTest::addColumn<int>("state");
    QTest::newRow("table with records") << false << int(dsEdit);
    QTest::newRow("empty table") << true << int(dsInsert);
}

void TestDataLink::modifiedStartsEditing()
{
    QFETCH(bool, empty);
    QFETCH(int, state);

    Programs table;
    if (empty) {
        table.Close();
        table.Open();
    }
    TDataSource source(&table);
    QStringList seen;
    RecordingLink link(source, "programok", seen);

    link.Modified();
    QCOMPARE(int(table.State()), state);
    QVERIFY(table.Modified());
    QVERIFY(link.IsModified());

    // A modified but otherwise unchanged record is stored, not dropped.
    link.pending = Text("új");
    table.MoveFirst();
    QCOMPARE(table.State(), dsBrowse);
    QVERIFY(Column(table, "programok").contains("új"));
    QVERIFY(!link.IsModified());
}

void TestDataLink::updateDataBeforeLeavingEditState_data()
{
    QTest::addColumn<TableOp>("leave");
    const auto op = [](auto fn) { return TableOp(fn); };
    QTest::newRow("Post") << op([](TqorMemTable& t) { t.Post(); });
    QTest::newRow("MoveFirst") << op([](TqorMemTable& t) { t.MoveFirst(); });
    QTest::newRow("MoveNext") << op([](TqorMemTable& t) { t.MoveNext(); });
    QTest::newRow("FindByValue") << op(
        [](TqorMemTable& t) { t.FindByValue("szam", std::int32_t{2}); });
    QTest::newRow("ApplySort") << op([](TqorMemTable& t) {
        t.SortFields = "szam";
        t.ApplySort();
    });
    QTest::newRow("Insert") << op([](TqorMemTable& t) { t.Insert(); });
}

void TestDataLink::updateDataBeforeLeavingEditState()
{
    QFETCH(TableOp, leave);

    Programs table;
    TDataSource source(&table);
    QStringList seen;
    RecordingLink link(source, "programok", seen);
    link.pending = Text("beírt");
    link.Modified();

    leave(table);
    QVERIFY(seen.contains("update:programok"));
    QCOMPARE(Column(table, "programok"), QStringList({"beírt", "b"}));
}

void TestDataLink::updateDataForModifiedLinksOnly()
{
    Programs table;
    TDataSource source(&table);
    QStringList seen;
    RecordingLink name(source, "programok", seen);
    RecordingLink number(source, "szam", seen);
    name.pending = Text("név");
    number.pending = std::int32_t{99};

    name.Modified();
    table.Post();
    QCOMPARE(seen.filter("update:"), QStringList{"update:programok"});
    QCOMPARE(Column(table, "szam"), QStringList({"1", "2"}));

    // Posting resets the links' modified marks.
    seen.clear();
    table.Edit();
    table.SetValue("szam", std::int32_t{5});
    table.Post();
    QCOMPARE(seen.filter("update:"), QStringList{});
    QCOMPARE(Column(table, "programok"), QStringList({"név", "b"}));
}

void TestDataLink::failingUpdateDataKeepsEditState()
{
    Programs table;
    TDataSource source(&table);
    QStringList seen;
    RecordingLink number(source, "szam", seen);
    number.pending = Text("sok");
    number.Modified();

    QCOMPARE(FailureOf([&] { table.Post(); }),
             QString("EDatabaseError | 'sok' is not a valid integer value for field 'szam'"));
    QCOMPARE(table.State(), dsEdit);
    QVERIFY(number.IsModified());

    number.pending = Text("7");
    table.Post();
    QCOMPARE(Column(table, "szam"), QStringList({"7", "2"}));
}

void TestDataLink::linksAndTablesGoInAnyOrder()
{
    QStringList seen;
    auto table = std::make_unique<Programs>();
    auto source = std::make_unique<TDataSource>(table.get());
    {
        RecordingLink shortLived(*source, "programok", seen);
    }
    RecordingLink link(*source, "programok", seen);
    QCOMPARE(link.DataSet(), static_cast<TqorMemTable*>(table.get()));

    table.reset();
    QCOMPARE(link.DataSet(), nullptr);
    source.reset();
    QCOMPARE(link.DataSource(), nullptr);
    link.Modified();  // without a table nothing happens
}

QTEST_APPLESS_MAIN(TestDataLink)
#include "tst_data_link.moc"
