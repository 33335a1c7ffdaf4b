#include "table_test_support.h"

#include <QTest>

#include <functional>
#include <vector>

// The in-memory table: fields and values, the editing cycle, the cursor, the
// auto-increment key, search by value, the scroll event and the errors.

namespace {

// The notes table, open, with the Hungarian collation. The record counter is
// reachable so that the bookmark limit can be tested without adding
// two billion records.
class NotesTable : public TqorMemTable {
public:
    NotesTable()
    {
        AddNoteFields(*this);
        SetTextCompare(MakeLocaleTextCompare("hu_HU.UTF-8"));
        Open();
    }
    void SetRecordsAdded(std::int64_t count) { m_recordsAdded = count; }
};

// Records with fontname r1..rN (az 0..N-1); the first one is current.
void Fill(TqorMemTable& table, int count)
{
    for (int i = 1; i <= count; ++i)
        AddRecord(table, {{"fontname", "r" + std::to_string(i)}});
    table.MoveFirst();
}

void GoTo(TqorMemTable& table, int recordNumber)
{
    table.MoveFirst();
    for (int i = 1; i < recordNumber; ++i)
        table.MoveNext();
}

QString CurrentText(const TqorMemTable& table, const std::string& field)
{
    return QString::fromStdString(table.GetField(field).AsString());
}

TValue Text(const char* s)
{
    return std::string(s);
}
TValue Text(const std::string& s)
{
    return s;
}
TValue Int(std::int32_t n)
{
    return n;
}

}  // namespace

using TableOp = std::function<void(NotesTable&)>;
Q_DECLARE_METATYPE(TableOp)

class TestMemTable : public QObject {
    Q_OBJECT

private slots:
    void openRebuildsFieldDefsFromDataFields();
    void openMakesFieldsFromFieldDefs();
    void closeAndOpenGiveAnEmptyTable();

    void autoIncrement_data();
    void autoIncrement();
    void editOnEmptyTableInserts();

    void insertPosition_data();
    void insertPosition();
    void deleteMovesCursor_data();
    void deleteMovesCursor();
    void deleteWhileEditing();
    void moveThroughRecords();

    void findByValue_data();
    void findByValue();
    void findByValueNotFoundThenEdit();
    void findByValueLeavesEditState_data();
    void findByValueLeavesEditState();

    void values_data();
    void values();

    void afterScroll_data();
    void afterScroll();

    void errors_data();
    void errors();
    void failingPostKeepsPendingValues_data();
    void failingPostKeepsPendingValues();
    void bookmarkCounterLimit();
};

// --- fields and life cycle ---

void TestMemTable::openRebuildsFieldDefsFromDataFields()
{
    TqorMemTable table;
    table.FieldDefs = {{"leiras", ftMemo, 0, false}};  // a definition without a field
    table.AddField("programok", ftString, 50).Required = true;
    table.AddField("szamolt", ftInteger).FieldKind = fkCalculated;
    table.AddField("belso", ftBoolean).FieldKind = fkInternalCalc;
    table.AddField("az", ftAutoInc);
    table.Open();

    QStringList defs;
    for (const TFieldDef& def : table.FieldDefs)
        defs << QString("%1 %2 %3 %4")
                    .arg(QString::fromStdString(def.Name), FieldTypeName(def.DataType))
                    .arg(def.Size)
                    .arg(def.Required);
    QCOMPARE(defs, QStringList({"programok String 50 1", "belso Boolean 0 0", "az AutoInc 0 0"}));
    QCOMPARE(table.FieldCount(), 4);
    QCOMPARE(table.AutoIncField(), &table.GetField("az"));
}

void TestMemTable::openMakesFieldsFromFieldDefs()
{
    TqorMemTable table;
    table.FieldDefs = {
        {"nev", ftString, 25, true}, {"az", ftAutoInc, 0, false}, {"leírás", ftMemo, 0, false}};
    table.Open();

    QCOMPARE(table.FieldCount(), 3);
    QCOMPARE(table.Fields(0).DataType, ftString);
    QCOMPARE(table.Fields(0).Size, 25);
    QVERIFY(table.Fields(0).Required);
    // Names compare without regard to case, accented letters included.
    QVERIFY(dynamic_cast<TMemoField*>(table.FindField("LEÍRÁS")));
    QCOMPARE(table.FindField("leiras"), nullptr);
    QCOMPARE(table.AutoIncField(), &table.Fields(1));
    QCOMPARE(table.State(), dsBrowse);
    QCOMPARE(table.CountRecords(), 0);
}

void TestMemTable::closeAndOpenGiveAnEmptyTable()
{
    NotesTable table;
    Fill(table, 3);
    table.Insert();
    table.SetValue("fontname", Text("pending"));

    table.Close();
    QCOMPARE(table.State(), dsInactive);
    QCOMPARE(table.RecordNumber(), -1);
    QVERIFY(table.AtEnd());
    table.Close();  // closing a closed table does nothing

    table.Open();
    QCOMPARE(table.State(), dsBrowse);
    QCOMPARE(table.CountRecords(), 0);
    QCOMPARE(table.FieldCount(), 18);
    QCOMPARE(table.Fields(9).FieldName, std::string("fontname"));
    QCOMPARE(table.Fields(9).Size, 30);
    QCOMPARE(table.AutoIncField(), &table.GetField("az"));
    table.AddAtEnd();
    QCOMPARE(ValueText(table.GetValue("az")), QString("int(0)"));
}

// --- auto-increment key ---

void TestMemTable::autoIncrement_data()
{
    QTest::addColumn<TableOp>("script");
    QTest::addColumn<int>("next");

    const auto withIds = [](std::vector<int> ids) {
        return [ids](NotesTable& t) {
            for (int id : ids)
                AddRecord(t, {{"az", Int(id)}});
        };
    };
    QTest::newRow("empty table starts at 0") << TableOp([](NotesTable&) {}) << 0;
    QTest::newRow("second record gets 1") << TableOp([](NotesTable& t) { Fill(t, 1); }) << 1;
    QTest::newRow("cancelled insert hands out the same number") << TableOp([](NotesTable& t) {
        Fill(t, 1);
        t.Insert();
        t.Cancel();
    }) << 1;
    QTest::newRow("records 3 and 7 give 8") << TableOp(withIds({3, 7})) << 8;
    QTest::newRow("deleting the highest does not lower it") << TableOp([withIds](NotesTable& t) {
        withIds({3, 7})(t);
        QVERIFY(t.FindByValue("az", Int(7)));
        t.Delete();
    }) << 8;
    QTest::newRow("lower number leaves it") << TableOp(withIds({3, 7, 5})) << 8;
    QTest::newRow("null number leaves it") << TableOp([withIds](NotesTable& t) {
        withIds({3})(t);
        AddRecord(t, {{"az", TValue{}}});
    }) << 4;
    QTest::newRow("edited record raises it") << TableOp([](NotesTable& t) {
        Fill(t, 2);
        t.Edit();
        t.SetValue("az", Int(41));
        t.Post();
    }) << 42;
    QTest::newRow("reopening resets it") << TableOp([withIds](NotesTable& t) {
        withIds({3, 7})(t);
        t.Close();
        t.Open();
    }) << 0;
    QTest::newRow("minimum value") << TableOp([](NotesTable& t) {
        t.Close();
        t.AutoIncMinValue = 100;
        t.Open();
    }) << 100;
}

void TestMemTable::autoIncrement()
{
    QFETCH(TableOp, script);
    QFETCH(int, next);
    NotesTable table;
    script(table);
    table.Insert();
    QCOMPARE(ValueText(table.GetValue("az")), QString("int(%1)").arg(next));
}

void TestMemTable::editOnEmptyTableInserts()
{
    NotesTable table;
    Fill(table, 2);
    table.Delete();
    table.Delete();

    table.Edit();
    QCOMPARE(table.State(), dsInsert);
    QCOMPARE(ValueText(table.GetValue("az")), QString("int(2)"));
    table.Post();
    QCOMPARE(table.CountRecords(), 1);
    QCOMPARE(table.RecordNumber(), 1);
    QCOMPARE(Column(table, "az"), QStringList{"2"});
}

// --- adding and removing records ---

void TestMemTable::insertPosition_data()
{
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("current");
    QTest::addColumn<bool>("atEnd");
    QTest::addColumn<QStringList>("order");
    QTest::addColumn<int>("recordNumber");

    QTest::newRow("before the third of five")
        << 5 << 3 << false << QStringList{"r1", "r2", "new", "r3", "r4", "r5"} << 3;
    QTest::newRow("before the first")
        << 3 << 1 << false << QStringList{"new", "r1", "r2", "r3"} << 1;
    QTest::newRow("before the last")
        << 3 << 3 << false << QStringList{"r1", "r2", "new", "r3"} << 3;
    QTest::newRow("after moving past the end")
        << 3 << 4 << false << QStringList{"r1", "r2", "new", "r3"} << 3;
    QTest::newRow("at end with the third current")
        << 5 << 3 << true << QStringList{"r1", "r2", "r3", "r4", "r5", "new"} << 6;
    QTest::newRow("insert on an empty table") << 0 << 0 << false << QStringList{"new"} << 1;
    QTest::newRow("at end on an empty table") << 0 << 0 << true << QStringList{"new"} << 1;
}

void TestMemTable::insertPosition()
{
    QFETCH(int, records);
    QFETCH(int, current);
    QFETCH(bool, atEnd);
    QFETCH(QStringList, order);
    QFETCH(int, recordNumber);

    NotesTable table;
    Fill(table, records);
    GoTo(table, current);
    atEnd ? table.AddAtEnd() : table.Insert();
    table.SetValue("fontname", Text("new"));
    table.Post();

    QCOMPARE(Column(table, "fontname"), order);
    QCOMPARE(table.RecordNumber(), recordNumber);
    QCOMPARE(CurrentText(table, "fontname"), QString("new"));
    QCOMPARE(table.State(), dsBrowse);
    QVERIFY(!table.AtEnd());
}

void TestMemTable::deleteMovesCursor_data()
{
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("current");
    QTest::addColumn<QStringList>("order");
    QTest::addColumn<int>("recordNumber");

    QTest::newRow("first: the following one") << 3 << 1 << QStringList{"r2", "r3"} << 1;
    QTest::newRow("middle: the following one") << 3 << 2 << QStringList{"r1", "r3"} << 2;
    QTest::newRow("last: the one before") << 3 << 3 << QStringList{"r1", "r2"} << 2;
    QTest::newRow("only record: empty") << 1 << 1 << QStringList{} << -1;
}

void TestMemTable::deleteMovesCursor()
{
    QFETCH(int, records);
    QFETCH(int, current);
    QFETCH(QStringList, order);
    QFETCH(int, recordNumber);

    NotesTable table;
    Fill(table, records);
    GoTo(table, current);
    table.Delete();

    QCOMPARE(Column(table, "fontname"), order);
    QCOMPARE(table.RecordNumber(), recordNumber);
    QCOMPARE(table.AtEnd(), order.isEmpty());
    if (!order.isEmpty())
        QCOMPARE(CurrentText(table, "fontname"), order.at(recordNumber - 1));
}

void TestMemTable::deleteWhileEditing()
{
    NotesTable table;
    Fill(table, 3);
    GoTo(table, 2);
    table.Edit();
    table.SetValue("fontname", Text("changed"));
    table.Delete();  // the record goes, with its pending change
    QCOMPARE(Column(table, "fontname"), QStringList({"r1", "r3"}));
    QCOMPARE(table.State(), dsBrowse);

    table.Insert();
    table.SetValue("fontname", Text("new"));
    table.Delete();  // cancels the new record
    QCOMPARE(Column(table, "fontname"), QStringList({"r1", "r3"}));
    QCOMPARE(table.State(), dsBrowse);
    QCOMPARE(CurrentText(table, "fontname"), QString("r3"));
}

void TestMemTable::moveThroughRecords()
{
    NotesTable table;
    table.MoveFirst();
    QVERIFY(table.AtEnd());
    QCOMPARE(table.RecordNumber(), -1);

    Fill(table, 3);
    QStringList seen;
    for (table.MoveFirst(); !table.AtEnd(); table.MoveNext())
        seen << CurrentText(table, "fontname");
    QCOMPARE(seen, QStringList({"r1", "r2", "r3"}));
    QCOMPARE(table.RecordNumber(), 3);  // the cursor stays on the last record

    table.MoveNext();
    QVERIFY(table.AtEnd());
    QCOMPARE(CurrentText(table, "fontname"), QString("r3"));

    table.MoveFirst();
    QVERIFY(!table.AtEnd());
    QCOMPARE(table.RecordNumber(), 1);
}

// --- search by value ---

void TestMemTable::findByValue_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<TValue>("value");
    QTest::addColumn<QString>("current");  // empty: not found

    QTest::newRow("integer") << "az" << Int(1) << "Árvíztűrő";
    QTest::newRow("integer given as text") << "az" << Text("1") << "Árvíztűrő";
    QTest::newRow("first match in order") << "szin" << Int(20) << "Árvíztűrő";
    QTest::newRow("accented text") << "fontname" << Text("Árvíztűrő") << "Árvíztűrő";
    QTest::newRow("field name in other case") << "FONTNAME" << Text("Arial") << "Arial";
    QTest::newRow("text differing in case") << "fontname" << Text("ARIAL") << "";
    QTest::newRow("text differing in accent") << "fontname" << Text("Arvizturo") << "";
    QTest::newRow("missing number") << "az" << Int(99) << "";
}

void TestMemTable::findByValue()
{
    QFETCH(QString, field);
    QFETCH(TValue, value);
    QFETCH(QString, current);

    NotesTable table;
    AddRecord(table, {{"fontname", Text("Arial")}, {"szin", Int(10)}});
    AddRecord(table, {{"fontname", Text("Árvíztűrő")}, {"szin", Int(20)}});
    AddRecord(table, {{"fontname", Text("arial")}, {"szin", Int(20)}});
    int before = 0, after = 0;
    table.BeforeScroll = [&](TqorMemTable&) { ++before; };
    table.AfterScroll = [&](TqorMemTable&) { ++after; };

    const bool found = table.FindByValue(field.toStdString(), value);

    QCOMPARE(found, !current.isEmpty());
    QCOMPARE(CurrentText(table, "fontname"), found ? current : QString("arial"));
    QCOMPARE(before, 1);
    QCOMPARE(after, found ? 1 : 0);
}

void TestMemTable::findByValueNotFoundThenEdit()
{
    NotesTable table;
    Fill(table, 3);
    GoTo(table, 2);
    QVERIFY(!table.FindByValue("az", Int(42)));
    table.Edit();
    table.SetValue("fontname", Text("changed"));
    table.Post();
    QCOMPARE(Column(table, "fontname"), QStringList({"r1", "changed", "r3"}));
}

void TestMemTable::findByValueLeavesEditState_data()
{
    QTest::addColumn<TableOp>("pending");
    QTest::addColumn<QStringList>("order");

    QTest::newRow("changed record is stored") << TableOp([](NotesTable& t) {
        t.Edit();
        t.SetValue("fontname", Text("x"));
    }) << QStringList{"x", "r2", "r3"};
    QTest::newRow("new record with a value is stored") << TableOp([](NotesTable& t) {
        t.Insert();
        t.SetValue("fontname", Text("x"));
    }) << QStringList{"x", "r1", "r2", "r3"};
    QTest::newRow("new record cleared by a null is stored") << TableOp([](NotesTable& t) {
        t.Insert();
        t.SetValue("fontname", TValue{});
    }) << QStringList{"null", "r1", "r2", "r3"};
    QTest::newRow("untouched new record is dropped")
        << TableOp([](NotesTable& t) { t.Insert(); }) << QStringList{"r1", "r2", "r3"};
}

void TestMemTable::findByValueLeavesEditState()
{
    QFETCH(TableOp, pending);
    QFETCH(QStringList, order);

    NotesTable table;
    Fill(table, 3);
    pending(table);
    QVERIFY(table.FindByValue("az", Int(2)));
    QCOMPARE(table.State(), dsBrowse);
    QCOMPARE(Column(table, "fontname"), order);
    QCOMPARE(CurrentText(table, "fontname"), QString("r3"));
}

// --- values ---

void TestMemTable::values_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<TValue>("value");
    QTest::addColumn<TValue>("stored");
    QTest::addColumn<QString>("text");

    // 40 two-byte characters: a cut by bytes would keep 15 of them.
    const QString accents = QString("áéíóöőúüű").repeated(5).left(40);
    const std::string longText = accents.toStdString();
    const std::string first30 = accents.left(30).toStdString();
    const std::string withNul("ab\0cd", 5);
    const std::string memo("sor1\r\nsor2\0vége", 15);
    const std::string picture("\x89PNG\0\xFF", 6);

    QTest::newRow("string keeps its first 30 characters")
        << "fontname" << Text(longText) << Text(first30) << accents.left(30);
    QTest::newRow("string cut at the first NUL")
        << "fontname" << Text(withNul) << Text("ab") << "ab";
    QTest::newRow("empty string is not null") << "fontname" << Text("") << Text("") << "";
    QTest::newRow("integer into string") << "fontname" << Int(-5) << Text("-5") << "-5";
    QTest::newRow("null clears a string") << "fontname" << TValue{} << TValue{} << "";
    QTest::newRow("empty memo is null") << "szoveg" << Text("") << TValue{} << "";
    QTest::newRow("memo keeps line breaks and NUL")
        << "szoveg" << Text(memo) << Text(memo) << QString::fromUtf8(memo.data(), 15);
    QTest::newRow("empty graphic is null") << "kep" << Text("") << TValue{} << "";
    QTest::newRow("graphic keeps any byte")
        << "kep" << Text(picture) << Text(picture) << QString::fromLatin1(picture.data(), 6);
    QTest::newRow("integer from text") << "szin" << Text("-12") << Int(-12) << "-12";
    QTest::newRow("empty text into integer is null") << "szin" << Text("") << TValue{} << "";
    QTest::newRow("boolean true") << "latszik" << TValue{true} << TValue{true} << "True";
    QTest::newRow("boolean from text") << "latszik" << Text("False") << TValue{false} << "False";
    QTest::newRow("null clears a boolean") << "latszik" << TValue{} << TValue{} << "";
    QTest::newRow("date-time") << "tol" << TValue{TDateTime{45000.5}} << TValue{TDateTime{45000.5}}
                               << "15/03/2023 12:00:00";
}

void TestMemTable::values()
{
    QFETCH(QString, field);
    QFETCH(TValue, value);
    QFETCH(TValue, stored);
    QFETCH(QString, text);

    NotesTable table;
    AddRecord(table, {{"fontname", Text("Arial")},
                      {"latszik", TValue{true}},
                      {"szoveg", Text("régi")},
                      {"kep", Text("x")}});
    const std::string name = field.toStdString();
    table.Edit();
    table.SetValue(name, value);
    QCOMPARE(ValueText(table.GetValue(name)), ValueText(stored));
    table.Post();
    QCOMPARE(ValueText(table.GetValue(name)), ValueText(stored));
    const std::string asString = table.GetField(name).AsString();
    QCOMPARE(field == "kep" ? QString::fromLatin1(asString.data(), int(asString.size()))
                            : QString::fromUtf8(asString.data(), int(asString.size())),
             text);
    QCOMPARE(table.GetField(name).IsNull(), IsNull(stored));
}

// --- the scroll event ---

void TestMemTable::afterScroll_data()
{
    QTest::addColumn<TableOp>("script");
    QTest::addColumn<int>("raised");

    const auto op = [](auto fn) { return TableOp(fn); };
    QTest::newRow("MoveFirst") << op([](NotesTable& t) { t.MoveFirst(); }) << 1;
    QTest::newRow("MoveNext") << op([](NotesTable& t) { t.MoveNext(); }) << 1;
    QTest::newRow("MoveNext onto the end flag") << op([](NotesTable& t) {
        for (int i = 0; i < 3; ++i)
            t.MoveNext();
    }) << 3;
    QTest::newRow("MoveNext with the end flag set") << op([](NotesTable& t) {
        for (int i = 0; i < 5; ++i)
            t.MoveNext();
    }) << 3;
    QTest::newRow("FindByValue found")
        << op([](NotesTable& t) { t.FindByValue("az", Int(2)); }) << 1;
    QTest::newRow("FindByValue not found")
        << op([](NotesTable& t) { t.FindByValue("az", Int(9)); }) << 0;
    QTest::newRow("Delete") << op([](NotesTable& t) { t.Delete(); }) << 1;
    QTest::newRow("Cancel of a new record") << op([](NotesTable& t) {
        t.Insert();
        t.Cancel();
    }) << 1;
    QTest::newRow("Cancel of an edit") << op([](NotesTable& t) {
        t.Edit();
        t.SetValue("szin", Int(1));
        t.Cancel();
    }) << 0;
    QTest::newRow("Insert and Post") << op([](NotesTable& t) {
        t.Insert();
        t.SetValue("szin", Int(1));
        t.Post();
    }) << 0;
    QTest::newRow("AddAtEnd and Post") << op([](NotesTable& t) {
        t.AddAtEnd();
        t.Post();
    }) << 0;
    QTest::newRow("Edit and Post") << op([](NotesTable& t) {
        t.Edit();
        t.SetValue("szin", Int(1));
        t.Post();
    }) << 0;
    QTest::newRow("Close and Open") << op([](NotesTable& t) {
        t.Close();
        t.Open();
    }) << 0;
}

void TestMemTable::afterScroll()
{
    QFETCH(TableOp, script);
    QFETCH(int, raised);

    NotesTable table;
    Fill(table, 3);
    int count = 0;
    TqorMemTable* sender = nullptr;
    table.AfterScroll = [&](TqorMemTable& t) {
        ++count;
        sender = &t;
    };
    script(table);
    QCOMPARE(count, raised);
    if (raised > 0)
        QCOMPARE(sender, static_cast<TqorMemTable*>(&table));
}

// --- failures ---

void TestMemTable::errors_data()
{
    QTest::addColumn<TableOp>("setup");
    QTest::addColumn<TableOp>("failing");
    QTest::addColumn<QString>("error");

    const auto op = [](auto fn) { return TableOp(fn); };
    const TableOp none = [](NotesTable&) {};
    const TableOp edit = [](NotesTable& t) { t.Edit(); };
    const TableOp close = [](NotesTable& t) { t.Close(); };
    const QString notFound = "EDatabaseError | Tbl: Field 'x' not found";
    const QString closed =
        "EDatabaseError | Tbl: Cannot perform this operation on a closed dataset";
    const QString bookmark =
        "EMemTableFatalError | Bookmark counter is out of range. Please close and reopen table.";

    QTest::newRow("GetField of a missing field")
        << none << op([](NotesTable& t) { t.GetField("x"); }) << notFound;
    QTest::newRow("GetValue of a missing field")
        << none << op([](NotesTable& t) { t.GetValue("x"); }) << notFound;
    QTest::newRow("SetValue of a missing field")
        << edit << op([](NotesTable& t) { t.SetValue("x", Int(1)); }) << notFound;
    QTest::newRow("FindByValue on a missing field")
        << none << op([](NotesTable& t) { t.FindByValue("x", Int(1)); }) << notFound;
    QTest::newRow("SetValue in browse state")
        << none << op([](NotesTable& t) { t.SetValue("szin", Int(1)); })
        << "EDatabaseError | Tbl: Dataset is not in edit mode.";
    QTest::newRow("SetValue on a read-only field") << op([](NotesTable& t) {
        t.GetField("szin").ReadOnly = true;
        t.GetField("szin").DisplayLabel = "Szín";
        t.Edit();
    }) << op([](NotesTable& t) { t.SetValue("szin", Int(1)); })
                                                   << "EDatabaseError | Field Szín is read only";
    QTest::newRow("Post in browse state")
        << none << op([](NotesTable& t) { t.Post(); })
        << "EDatabaseError | Tbl: Dataset not in edit or insert mode";
    QTest::newRow("Delete on an empty table") << op([](NotesTable& t) {
        t.Close();
        t.Open();
    }) << op([](NotesTable& t) {
        t.Delete();
    }) << "EDatabaseError | Tbl: Cannot perform this operation on an empty dataset";

    QTest::newRow("MoveFirst when closed")
        << close << op([](NotesTable& t) { t.MoveFirst(); }) << closed;
    QTest::newRow("MoveNext when closed")
        << close << op([](NotesTable& t) { t.MoveNext(); }) << closed;
    QTest::newRow("FindByValue when closed")
        << close << op([](NotesTable& t) { t.FindByValue("az", Int(0)); }) << closed;
    QTest::newRow("CountRecords when closed")
        << close << op([](NotesTable& t) { t.CountRecords(); }) << closed;
    QTest::newRow("Insert when closed") << close << op([](NotesTable& t) { t.Insert(); }) << closed;
    QTest::newRow("AddAtEnd when closed")
        << close << op([](NotesTable& t) { t.AddAtEnd(); }) << closed;
    QTest::newRow("Edit when closed") << close << op([](NotesTable& t) { t.Edit(); }) << closed;
    QTest::newRow("Delete when closed") << close << op([](NotesTable& t) { t.Delete(); }) << closed;

    QTest::newRow("Open without fields or definitions") << op([](NotesTable& t) {
        t.Close();
        t.ClearFields();
        t.FieldDefs.clear();
    }) << op([](NotesTable& t) {
        t.Open();
    }) << "EMemTableError | There must be at least one field";
    QTest::newRow("text that is not an integer")
        << edit << op([](NotesTable& t) { t.SetValue("szin", Text("12a")); })
        << "EDatabaseError | '12a' is not a valid integer value for field 'szin'";
    QTest::newRow("not an integer, with a display label") << op([](NotesTable& t) {
        t.GetField("szin").DisplayLabel = "Szín";
        t.Edit();
    }) << op([](NotesTable& t) {
        t.SetValue("szin", Text("piros"));
    }) << "EDatabaseError | 'piros' is not a valid integer value for field 'Szín'";
    QTest::newRow("search for a text that is not an integer")
        << none << op([](NotesTable& t) { t.FindByValue("az", Text("egy")); })
        << "EDatabaseError | 'egy' is not a valid integer value for field 'az'";
    QTest::newRow("several fields and one value")
        << none << op([](NotesTable& t) { t.FindByValue("az;szin", Int(1)); })
        << "EMemTableError | More fields than values";
    QTest::newRow("failing text comparison") << op([](NotesTable& t) {
        t.SetTextCompare([](std::string_view, std::string_view, bool) { return std::nullopt; });
    }) << op([](NotesTable& t) { t.FindByValue("fontname", Text("r2")); })
                                             << "EMemTableInvalidLocale | Invalid locale.";
    QTest::newRow("write without a format")
        << none << op([](NotesTable& t) { t.WriteToFile("/nonexistent/notes.csv"); })
        << "EMemTableError | No format specified.";
    QTest::newRow("read without a format")
        << none << op([](NotesTable& t) { t.ReadFromFile("/nonexistent/notes.csv"); })
        << "EMemTableError | No format specified.";
    QTest::newRow("Insert past the bookmark limit")
        << op([](NotesTable& t) { t.SetRecordsAdded(TqorMemTable::MaxRecordsAdded); })
        << op([](NotesTable& t) { t.Insert(); }) << bookmark;
    QTest::newRow("AddAtEnd past the bookmark limit")
        << op([](NotesTable& t) { t.SetRecordsAdded(TqorMemTable::MaxRecordsAdded); })
        << op([](NotesTable& t) { t.AddAtEnd(); }) << bookmark;
}

void TestMemTable::errors()
{
    QFETCH(TableOp, setup);
    QFETCH(TableOp, failing);
    QFETCH(QString, error);

    NotesTable table;
    Fill(table, 2);
    table.MoveNext();
    setup(table);
    const auto snapshot = [&table] {
        return QStringList{QString::number(table.State()), QString::number(table.RecordNumber()),
                           table.Active() ? Column(table, "fontname").join(',') : "closed"};
    };
    const QStringList before = snapshot();

    QCOMPARE(FailureOf([&] { failing(table); }), error);
    QCOMPARE(snapshot(), before);
}

void TestMemTable::failingPostKeepsPendingValues_data()
{
    QTest::addColumn<bool>("insert");
    QTest::newRow("new record") << true;
    QTest::newRow("edited record") << false;
}

// A sorted table compares texts while it stores a record; a comparison that
// fails makes Post fail.
void TestMemTable::failingPostKeepsPendingValues()
{
    QFETCH(bool, insert);

    NotesTable table;
    Fill(table, 3);
    table.SortFields = "fontname";
    table.ApplySort();
    GoTo(table, 2);
    table.SetTextCompare([](std::string_view, std::string_view, bool) { return std::nullopt; });

    insert ? table.Insert() : table.Edit();
    table.SetValue("fontname", Text("q"));
    table.SetValue("szin", Int(5));
    QCOMPARE(FailureOf([&] { table.Post(); }), QString("EMemTableInvalidLocale | Invalid locale."));

    QCOMPARE(table.State(), insert ? dsInsert : dsEdit);
    QCOMPARE(CurrentText(table, "fontname"), QString("q"));
    QCOMPARE(CurrentText(table, "szin"), QString("5"));
    QCOMPARE(Column(table, "fontname"), QStringList({"r1", "r2", "r3"}));

    table.SetTextCompare(MakeLocaleTextCompare("hu_HU.UTF-8"));
    table.Post();
    QCOMPARE(Column(table, "fontname"),
             insert ? QStringList({"q", "r1", "r2", "r3"}) : QStringList({"q", "r1", "r3"}));
    QCOMPARE(table.RecordNumber(), 1);
}

void TestMemTable::bookmarkCounterLimit()
{
    NotesTable table;
    table.SetRecordsAdded(TqorMemTable::MaxRecordsAdded - 1);
    table.AddAtEnd();
    table.Post();  // the last record allowed
    QVERIFY(FailureOf([&] { table.AddAtEnd(); }).startsWith("EMemTableFatalError"));
    QCOMPARE(table.State(), dsBrowse);

    table.Close();
    table.Open();
    table.AddAtEnd();
    table.Post();
    QCOMPARE(table.CountRecords(), 1);
}

QTEST_APPLESS_MAIN(TestMemTable)
#include "tst_mem_table.moc"
