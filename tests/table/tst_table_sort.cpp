#include "table_test_support.h"

#include <QTest>

#include <algorithm>

// The sort order of a table: keys and options, the Hungarian collation, the
// cursor across a sort, keeping the order while records change, and errors.

namespace {

// A catalogue-like table in the Hungarian collation.
class Catalogue : public TqorMemTable {
public:
    Catalogue()
    {
        AddField("programok", ftString, 50);
        AddField("kategoria", ftString, 25);
        AddField("szam", ftInteger);
        AddField("leiras", ftMemo).DisplayLabel = "Leírás";
        AddField("kep", ftGraphic);
        AddField("osszeg", ftInteger).FieldKind = fkAggregate;
        SetTextCompare(MakeLocaleTextCompare("hu_HU.UTF-8"));
        Open();
    }
};

// Each row is "programok|kategoria|szam"; "~" or a missing part is null.
void Fill(TqorMemTable& table, const QStringList& rows)
{
    static const char* const fields[] = {"programok", "kategoria", "szam"};
    for (const QString& row : rows) {
        table.AddAtEnd();
        const QStringList parts = row.split('|');
        for (int i = 0; i < parts.size(); ++i) {
            if (parts[i] != "~" && !parts[i].isEmpty())
                table.SetValue(fields[i], parts[i].toStdString());
        }
        table.Post();
    }
    table.MoveFirst();
}

QStringList Names(const TqorMemTable& table)
{
    return Column(table, "programok");
}

QString Current(const TqorMemTable& table)
{
    return QString::fromStdString(table.GetField("programok").AsString());
}

void GoToName(TqorMemTable& table, const char* name)
{
    QVERIFY(table.FindByValue("programok", std::string(name)));
}

const QStringList Words = {"Zebra", "ágy", "alma", "őz", "öt", "ütő", "cukor", "csak"};
// glibc's hu_HU collation: accents and case count only between otherwise equal
// texts, and "cs" is a letter of its own after "c".
const QStringList HungarianOrder = {"ágy", "alma", "cukor", "csak", "öt", "őz", "ütő", "Zebra"};

TTextCompare FailingOn(std::string word)
{
    auto good = MakeLocaleTextCompare("hu_HU.UTF-8");
    return [good, word](std::string_view a, std::string_view b,
                        bool ignoreCase) -> std::optional<int> {
        if (a == word || b == word)
            return std::nullopt;
        return good(a, b, ignoreCase);
    };
}

}  // namespace

class TestTableSort : public QObject {
    Q_OBJECT

private slots:
    void sortOrder_data();
    void sortOrder();
    void currentRecordStaysCurrent();
    void emptyTableScrollsToFirst();
    void postedRecordsTakeTheirPlace();
    void deleteKeepsOrder();
    void searchAndCountFollowSortOrder();
    void closeDropsSort();
    void errorsKeepOldOrder_data();
    void errorsKeepOldOrder();
};

void TestTableSort::sortOrder_data()
{
    QTest::addColumn<QString>("sortFields");
    QTest::addColumn<QString>("options");  // letters of SortOptions
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("order");

    QStringList reversed = HungarianOrder;
    std::reverse(reversed.begin(), reversed.end());

    QTest::newRow("Hungarian collation") << "programok"
                                         << "" << Words << HungarianOrder;
    QTest::newRow("descending") << "programok:D"
                                << "" << Words << reversed;
    QTest::newRow("option letters in lower case") << "programok:d"
                                                  << "" << Words << reversed;
    QTest::newRow("descending from SortOptions") << "programok"
                                                 << "D" << Words << reversed;
    QTest::newRow("L compares bytes")
        << "programok:L"
        << "" << Words << QStringList{"Zebra", "alma", "csak", "cukor", "ágy", "öt", "ütő", "őz"};
    QTest::newRow("case decides only between equal texts")
        << "programok"
        << "" << QStringList{"b", "ALMA", "alma", "Alma", "a"}
        << QStringList{"a", "alma", "Alma", "ALMA", "b"};
    QTest::newRow("C ignores case, next field decides")
        << "programok:C;kategoria"
        << "" << QStringList{"alma|2", "ALMA|3", "Alma|1", "b|0"}
        << QStringList{"Alma", "alma", "ALMA", "b"};
    QTest::newRow("case-insensitive from SortOptions")
        << "programok;kategoria"
        << "C" << QStringList{"alma|2", "ALMA|3", "Alma|1", "b|0"}
        << QStringList{"Alma", "alma", "ALMA", "b"};
    QTest::newRow("null sorts first")
        << "programok"
        << "" << QStringList{"b", "~", "a"} << QStringList{"null", "a", "b"};
    QTest::newRow("null sorts last when descending")
        << "programok:D"
        << "" << QStringList{"b", "~", "a"} << QStringList{"b", "a", "null"};
    QTest::newRow("N skips null values")
        << "programok:N;kategoria"
        << "" << QStringList{"~|3", "b|2", "a|1"} << QStringList{"a", "b", "null"};
    QTest::newRow("P: a text equals a longer one it begins")
        << "programok:P;kategoria"
        << "" << QStringList{"abc|1", "ab|2"} << QStringList{"abc", "ab"};
    QTest::newRow("P with accented letters")
        << "programok:P;kategoria"
        << "" << QStringList{"ab|1", "aáb|2", "abá|0"} << QStringList{"aáb", "abá", "ab"};
    QTest::newRow("two fields") << "kategoria;programok"
                                << "" << QStringList{"b|x", "a|y", "c|x"}
                                << QStringList{"b", "c", "a"};
    QTest::newRow("second field descending")
        << "kategoria;programok:D"
        << "" << QStringList{"b|x", "a|y", "c|x"} << QStringList{"c", "b", "a"};
    QTest::newRow("SortOptions apply to every field")
        << "kategoria;programok"
        << "D" << QStringList{"b|x", "a|y", "c|x"} << QStringList{"a", "c", "b"};
    QTest::newRow("blanks around the names")
        << " kategoria ; programok "
        << "" << QStringList{"b|x", "a|y", "c|x"} << QStringList{"b", "c", "a"};
    QTest::newRow("integers by value")
        << "szam"
        << "" << QStringList{"a||10", "b||-2", "c||3", "d"} << QStringList{"d", "b", "c", "a"};
    QTest::newRow("integers descending")
        << "szam:D"
        << "" << QStringList{"a||10", "b||-2", "c||3", "d"} << QStringList{"a", "c", "b", "d"};
}

void TestTableSort::sortOrder()
{
    QFETCH(QString, sortFields);
    QFETCH(QString, options);
    QFETCH(QStringList, rows);
    QFETCH(QStringList, order);

    Catalogue table;
    Fill(table, rows);
    table.SortFields = sortFields.toStdString();
    if (options.contains('D'))
        table.SortOptions.insert(mtcoDescending);
    if (options.contains('C'))
        table.SortOptions.insert(mtcoCaseInsensitive);
    table.ApplySort();

    QVERIFY(table.IsSorted());
    QCOMPARE(Names(table), order);
}

void TestTableSort::currentRecordStaysCurrent()
{
    Catalogue table;
    Fill(table, Words);
    GoToName(table, "csak");
    int scrolled = 0;
    table.AfterScroll = [&](TqorMemTable&) { ++scrolled; };

    table.SortFields = "programok";
    table.ApplySort();
    QCOMPARE(Current(table), QString("csak"));
    QCOMPARE(table.RecordNumber(), 4);

    table.SortFields = "";
    table.ApplySort();
    QVERIFY(!table.IsSorted());
    QCOMPARE(Names(table), Words);
    QCOMPARE(Current(table), QString("csak"));
    QCOMPARE(table.RecordNumber(), 8);
    QCOMPARE(scrolled, 0);
}

void TestTableSort::emptyTableScrollsToFirst()
{
    Catalogue table;
    int scrolled = 0;
    table.AfterScroll = [&](TqorMemTable&) { ++scrolled; };
    table.SortFields = "programok";
    table.ApplySort();
    QCOMPARE(scrolled, 1);
    QVERIFY(table.AtEnd());
    QCOMPARE(table.RecordNumber(), -1);
}

void TestTableSort::postedRecordsTakeTheirPlace()
{
    Catalogue table;
    Fill(table, Words);
    table.SortFields = "programok";
    table.ApplySort();
    GoToName(table, "cukor");

    table.Insert();
    table.SetValue("programok", std::string("bab"));
    table.Post();
    QCOMPARE(Names(table),
             QStringList({"ágy", "alma", "bab", "cukor", "csak", "öt", "őz", "ütő", "Zebra"}));
    QCOMPARE(Current(table), QString("bab"));
    QCOMPARE(table.RecordNumber(), 3);

    GoToName(table, "alma");
    table.Edit();
    table.SetValue("programok", std::string("zsák"));
    table.Post();
    QCOMPARE(Names(table),
             QStringList({"ágy", "bab", "cukor", "csak", "öt", "őz", "ütő", "Zebra", "zsák"}));
    QCOMPARE(Current(table), QString("zsák"));
    QCOMPARE(table.RecordNumber(), 9);

    table.AddAtEnd();
    table.SetValue("programok", std::string("Ábel"));
    table.Post();
    QCOMPARE(table.RecordNumber(), 1);

    // New records went to the end of the row order, the edited one kept its place.
    table.SortFields = "";
    table.ApplySort();
    QCOMPARE(Names(table), QStringList({"Zebra", "ágy", "zsák", "őz", "öt", "ütő", "cukor", "csak",
                                        "bab", "Ábel"}));
}

void TestTableSort::deleteKeepsOrder()
{
    Catalogue table;
    Fill(table, Words);
    table.SortFields = "programok";
    table.ApplySort();
    GoToName(table, "csak");

    table.Delete();
    QCOMPARE(Current(table), QString("öt"));
    QCOMPARE(Names(table), QStringList({"ágy", "alma", "cukor", "öt", "őz", "ütő", "Zebra"}));

    GoToName(table, "Zebra");
    table.Delete();
    QCOMPARE(Current(table), QString("ütő"));

    table.AddAtEnd();
    table.SetValue("programok", std::string("bor"));
    table.Post();
    QCOMPARE(Names(table), QStringList({"ágy", "alma", "bor", "cukor", "öt", "őz", "ütő"}));
}

void TestTableSort::searchAndCountFollowSortOrder()
{
    Catalogue table;
    Fill(table, {"c|x", "a|y", "b|x"});
    table.SortFields = "programok";
    table.ApplySort();

    QVERIFY(table.FindByValue("kategoria", std::string("x")));
    QCOMPARE(Current(table), QString("b"));
    QCOMPARE(table.RecordNumber(), 2);
    QCOMPARE(table.CountRecords(), 3);

    QStringList walked;
    for (table.MoveFirst(); !table.AtEnd(); table.MoveNext())
        walked << Current(table);
    QCOMPARE(walked, QStringList({"a", "b", "c"}));
}

void TestTableSort::closeDropsSort()
{
    Catalogue table;
    table.SortFields = "programok";
    table.ApplySort();
    table.Close();
    table.Open();
    Fill(table, {"c", "a", "b"});
    QVERIFY(!table.IsSorted());
    QCOMPARE(Names(table), QStringList({"c", "a", "b"}));
}

void TestTableSort::errorsKeepOldOrder_data()
{
    QTest::addColumn<QString>("sortFields");
    QTest::addColumn<bool>("failingCompare");
    QTest::addColumn<QString>("error");

    QTest::newRow("missing field")
        << "nincs" << false << "EDatabaseError | Tbl: Field 'nincs' not found";
    QTest::newRow("missing second field")
        << "programok;nincs:D" << false << "EDatabaseError | Tbl: Field 'nincs' not found";
    QTest::newRow("memo by its display name")
        << "leiras" << false << "EDatabaseError | Can't index on field Leírás";
    QTest::newRow("graphic") << "kep" << false << "EDatabaseError | Can't index on field kep";
    QTest::newRow("aggregate") << "osszeg" << false
                               << "EDatabaseError | Can't index on field osszeg";
    QTest::newRow("failing comparison")
        << "programok" << true << "EMemTableInvalidLocale | Invalid locale.";
}

void TestTableSort::errorsKeepOldOrder()
{
    QFETCH(QString, sortFields);
    QFETCH(bool, failingCompare);
    QFETCH(QString, error);

    Catalogue table;
    Fill(table, Words);
    table.SortFields = "programok:D";
    table.ApplySort();
    GoToName(table, "alma");
    const QStringList before = Names(table);
    int scrolled = 0;
    table.AfterScroll = [&](TqorMemTable&) { ++scrolled; };

    if (failingCompare)
        table.SetTextCompare(FailingOn("csak"));
    table.SortFields = sortFields.toStdString();
    QCOMPARE(FailureOf([&] { table.ApplySort(); }), error);

    QVERIFY(table.IsSorted());
    QCOMPARE(Names(table), before);
    QCOMPARE(Current(table), QString("alma"));
    QCOMPARE(scrolled, 0);

    // The old order is still kept up to date.
    table.SetTextCompare(MakeLocaleTextCompare("hu_HU.UTF-8"));
    table.AddAtEnd();
    table.SetValue("programok", std::string("bab"));
    table.Post();
    QCOMPARE(Names(table).indexOf("bab"), Names(table).indexOf("alma") - 1);
}

QTEST_APPLESS_MAIN(TestTableSort)
#include "tst_table_sort.moc"
