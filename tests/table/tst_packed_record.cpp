#include <QtTest>

#include "table/packed_record.h"

#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(TValue)

class TestPackedRecord : public QObject {
    Q_OBJECT

private slots:
    void keepsEveryValue_data();
    void keepsEveryValue();
    void builderStartsEachRecordEmpty();
    void textWrittenInPlaceKeepsOnlyItsSize();
};

void TestPackedRecord::keepsEveryValue_data()
{
    QTest::addColumn<TValue>("value");
    QTest::newRow("null") << TValue{};
    QTest::newRow("empty text") << TValue{std::string()};
    QTest::newRow("text with NUL and high bytes") << TValue{std::string("a\0\xC3\xA1\xFF", 5)};
    QTest::newRow("long text") << TValue{std::string(100000, 'x')};
    QTest::newRow("smallest integer") << TValue{std::numeric_limits<std::int32_t>::min()};
    QTest::newRow("largest integer") << TValue{std::numeric_limits<std::int32_t>::max()};
    QTest::newRow("false") << TValue{false};
    QTest::newRow("true") << TValue{true};
    QTest::newRow("date with time") << TValue{TDateTime{40250.375}};
    QTest::newRow("negative zero date") << TValue{TDateTime{-0.0}};
}

// Each value, alone and between others, comes back with its own type.
void TestPackedRecord::keepsEveryValue()
{
    QFETCH(TValue, value);
    const std::vector<TValue> values = {std::string("before"), value, std::int32_t{7}, value,
                                        TValue{}};
    const TPackedRecord record(values);
    QCOMPARE(record.Count(), values.size());
    QVERIFY(record.Values() == values);
    QVERIFY(record.Value(1) == value);
    QVERIFY(ValueOf(record.View(3)) == value);
    QVERIFY(ViewOf(value) == record.View(1));
    if (const auto* date = std::get_if<TDateTime>(&value))
        QCOMPARE(std::signbit(std::get<TDateTime>(record.Value(1)).value),
                 std::signbit(date->value));
}

void TestPackedRecord::builderStartsEachRecordEmpty()
{
    TPackedRecordBuilder builder;
    builder.Reset(3);
    builder.SetText(0, "first record's text");
    builder.SetInteger(1, 5);
    builder.SetText(1, "set again");
    QVERIFY(builder.Build().Value(1) == TValue{std::string("set again")});
    builder.Reset(3);
    builder.SetBoolean(2, true);
    const TPackedRecord record = builder.Build();
    QVERIFY(record.Values() == (std::vector<TValue>{TValue{}, TValue{}, true}));
    QCOMPARE(TPackedRecord().Count(), std::size_t{0});
}

// A reader asks for room for the longest text a value can give and keeps
// fewer bytes; the next text starts right after them.
void TestPackedRecord::textWrittenInPlaceKeepsOnlyItsSize()
{
    TPackedRecordBuilder builder;
    builder.Reset(2);
    char* room = builder.TextRoom(30);
    std::memcpy(room, "abcdef", 6);
    builder.CommitText(0, 3);
    room = builder.TextRoom(30);
    std::memcpy(room, "xyz", 3);
    builder.CommitText(1, 3);
    QVERIFY(builder.Build().Values() ==
            (std::vector<TValue>{std::string("abc"), std::string("xyz")}));
}

QTEST_APPLESS_MAIN(TestPackedRecord)
#include "tst_packed_record.moc"
