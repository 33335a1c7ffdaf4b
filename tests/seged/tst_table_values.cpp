// Before the table headers: moc cannot read <compare> until a Qt header has
// been read.
#include <QTest>

#include "seged/table_values.h"

#include "table/datetime_text.h"
#include "table/errors.h"

#include <functional>
#include <string>

Q_DECLARE_METATYPE(TValue)

namespace {
TValue Text(const char* text)
{
    return std::string(text);
}
TValue Int(std::int32_t value)
{
    return value;
}
TValue Date(double value)
{
    return TDateTime{value};
}

// The conversion error's message, or "no error".
QString ConvertErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const EConvertError& error) {
        return QString::fromStdString(error.what());
    }
    return "no error";
}
}  // namespace

class TestTableValues : public QObject {
    Q_OBJECT

private slots:
    void nullToStr_data();
    void nullToStr();
    void nullToInt_data();
    void nullToInt();
    void nullToDate_data();
    void nullToDate();
};

void TestTableValues::nullToStr_data()
{
    QTest::addColumn<TValue>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("null gives the default") << TValue{} << "alapérték";
    QTest::newRow("empty text is not null") << Text("") << "";
    QTest::newRow("text, UTF-8") << Text("Őszi szél") << "Őszi szél";
    QTest::newRow("integer") << Int(-42) << "-42";
    QTest::newRow("boolean") << TValue{true} << "True";
    QTest::newRow("date only") << Date(EncodeDateTime(2024, 3, 5)) << "05/03/2024";
    QTest::newRow("date and time")
        << Date(EncodeDateTime(2024, 3, 5, 9, 7, 30)) << "05/03/2024 9:07:30";
}

void TestTableValues::nullToStr()
{
    QFETCH(TValue, value);
    QFETCH(QString, expected);

    QCOMPARE(NullToStr(value, "alapérték"), expected);
}

void TestTableValues::nullToInt_data()
{
    QTest::addColumn<TValue>("value");
    QTest::addColumn<int>("expected");
    QTest::addColumn<QString>("error");

    QTest::newRow("null gives the default") << TValue{} << 7 << "";
    QTest::newRow("integer") << Int(-2147483647 - 1) << (-2147483647 - 1) << "";
    QTest::newRow("decimal text") << Text(" 12") << 12 << "";
    QTest::newRow("hexadecimal text") << Text("$FF") << 255 << "";
    QTest::newRow("true is -1") << TValue{true} << -1 << "";
    QTest::newRow("whole date") << Date(45000) << 45000 << "";
    QTest::newRow("bad text") << Text("abc") << 0 << "'abc' is not a valid integer value";
    QTest::newRow("empty text") << Text("") << 0 << "'' is not a valid integer value";
    QTest::newRow("beyond 32 bits")
        << Text("2147483648") << 0 << "'2147483648' is not a valid integer value";
}

void TestTableValues::nullToInt()
{
    QFETCH(TValue, value);
    QFETCH(int, expected);
    QFETCH(QString, error);

    if (error.isEmpty())
        QCOMPARE(NullToInt(value, 7), expected);
    else
        QCOMPARE(ConvertErrorOf([&] { NullToInt(value, 7); }), error);
}

void TestTableValues::nullToDate_data()
{
    QTest::addColumn<TValue>("value");
    QTest::addColumn<double>("expected");
    QTest::addColumn<QString>("error");

    QTest::newRow("null gives the default") << TValue{} << 1.5 << "";
    QTest::newRow("date-time") << Date(45356.25) << 45356.25 << "";
    QTest::newRow("integer as days") << Int(2) << 2.0 << "";
    QTest::newRow("text in the file format")
        << Text("05/03/2024 6:00:00") << EncodeDateTime(2024, 3, 5, 6) << "";
    QTest::newRow("bad text") << Text("tegnap") << 0.0 << "'tegnap' is not a valid date and time";
    QTest::newRow("impossible date")
        << Text("31/02/2024") << 0.0 << "'31/02/2024' is not a valid date and time";
}

void TestTableValues::nullToDate()
{
    QFETCH(TValue, value);
    QFETCH(double, expected);
    QFETCH(QString, error);

    if (error.isEmpty())
        QCOMPARE(NullToDate(value, TDateTime{1.5}).value, expected);
    else
        QCOMPARE(ConvertErrorOf([&] { NullToDate(value, TDateTime{1.5}); }), error);
}

QTEST_GUILESS_MAIN(TestTableValues)
#include "tst_table_values.moc"
