#include "seged/locale_collation.h"

#include "table/mem_table.h"

#include <QTest>

#include <algorithm>
#include <string>

namespace {
const QLocale Hungarian(QLocale::Hungarian, QLocale::Hungary);

QStringList SortedBy(const TTextCompare& compare, QStringList words)
{
    std::stable_sort(words.begin(), words.end(), [&](const QString& a, const QString& b) {
        return compare(a.toStdString(), b.toStdString(), false).value() < 0;
    });
    return words;
}

int Sign(int value)
{
    return (value > 0) - (value < 0);
}

const QStringList Words = {"Zebra", "ágy", "alma", "őz", "öt", "cukor", "csak"};
// Accents of the same letter count only between otherwise equal words, "cs"
// is a letter of its own after "c", "ö" one after "o", and case does not
// outweigh letters.
const QStringList HungarianOrder = {"ágy", "alma", "cukor", "csak", "öt", "őz", "Zebra"};
}  // namespace

class TestLocaleCollation : public QObject {
    Q_OBJECT

private slots:
    void hungarianOrder();
    void compare_data();
    void compare();
    void invalidUtf8Fails_data();
    void invalidUtf8Fails();
    void tableSortsByTheCollation();
};

void TestLocaleCollation::hungarianOrder()
{
    QCOMPARE(SortedBy(MakeCollatorTextCompare(Hungarian), Words), HungarianOrder);
}

void TestLocaleCollation::compare_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("ignoreCase");
    QTest::addColumn<int>("sign");

    // Each of the first rows goes the other way in byte order.
    QTest::newRow("accented before a later letter") << "ágy"
                                                    << "Zebra" << false << -1;
    QTest::newRow("cs after every c word") << "cukor"
                                           << "csak" << false << -1;
    QTest::newRow("ö after o words") << "ozon"
                                     << "öt" << false << -1;
    QTest::newRow("case does not outweigh letters") << "alma"
                                                    << "Alzó" << false << -1;
    QTest::newRow("case breaks a tie, lower first") << "alma"
                                                    << "Alma" << false << -1;
    QTest::newRow("accent breaks a tie") << "alma"
                                         << "álma" << false << -1;
    QTest::newRow("equal") << "őz"
                           << "őz" << false << 0;
    QTest::newRow("ignoreCase: case-only difference is equal") << "ALMA"
                                                               << "alma" << true << 0;
    QTest::newRow("ignoreCase: accent still counts") << "alma"
                                                     << "ÁLMA" << true << -1;
    QTest::newRow("ignoreCase: letters still count") << "Alzó"
                                                     << "alma" << true << 1;
    QTest::newRow("empty before anything") << ""
                                           << "a" << false << -1;
}

void TestLocaleCollation::compare()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(bool, ignoreCase);
    QFETCH(int, sign);
    const TTextCompare compare = MakeCollatorTextCompare(Hungarian);

    const auto forward = compare(a.toStdString(), b.toStdString(), ignoreCase);
    const auto backward = compare(b.toStdString(), a.toStdString(), ignoreCase);
    QVERIFY(forward && backward);
    QCOMPARE(Sign(*forward), sign);
    QCOMPARE(Sign(*backward), -sign);
}

void TestLocaleCollation::invalidUtf8Fails_data()
{
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("lone continuation byte") << QByteArray("alma\x80");
    QTest::newRow("sequence cut at the end") << QByteArray("alm\xc3");
    QTest::newRow("Windows-1250 byte") << QByteArray("\xe1gy");
    QTest::newRow("overlong form") << QByteArray("\xc0\xaf");
    QTest::newRow("surrogate") << QByteArray("\xed\xa0\x80");
}

void TestLocaleCollation::invalidUtf8Fails()
{
    QFETCH(QByteArray, text);
    const TTextCompare compare = MakeCollatorTextCompare(Hungarian);
    const std::string bad = text.toStdString();

    for (const bool ignoreCase : {false, true}) {
        QCOMPARE(compare(bad, "alma", ignoreCase), std::nullopt);
        QCOMPARE(compare("alma", bad, ignoreCase), std::nullopt);
    }
}

void TestLocaleCollation::tableSortsByTheCollation()
{
    TqorMemTable table;
    table.AddField("nev", ftString, 20);
    table.SetTextCompare(MakeCollatorTextCompare(Hungarian));
    table.Open();
    for (const QString& word : Words) {
        table.AddAtEnd();
        table.SetValue("nev", word.toStdString());
        table.Post();
    }

    table.SortFields = "nev";
    table.ApplySort();

    QStringList names;
    for (int i = 0; i < table.CountRecords(); ++i)
        names << QString::fromStdString(std::get<std::string>(table.RecordValues(i).front()));
    QCOMPARE(names, HungarianOrder);
    QVERIFY_THROWS_EXCEPTION(EMemTableInvalidLocale,
                             table.CompareText("\xff", "alma", false, false));
}

QTEST_GUILESS_MAIN(TestLocaleCollation)
#include "tst_locale_collation.moc"
