#include <QtTest>

#include <cmath>
#include <limits>

#include "table/datetime_text.h"
#include "table/errors.h"

Q_DECLARE_METATYPE(TTimeFormat)

namespace {

constexpr double MsPerDay = 86'400'000.0;
constexpr int CurrentYear = 2026;

// "yyyy-mm-dd hh:mm:ss.zzz", for readable comparisons.
QString Components(double value)
{
    int y, m, d, h, min, s, ms;
    DecodeDateTime(value, y, m, d, h, min, s, ms);
    return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d.%03d", y, m, d, h, min, s, ms);
}

TTimeFormat TwelveHour(bool leadingZero = false)
{
    TTimeFormat fmt;
    fmt.twelveHour = true;
    fmt.leadingZeroHour = leadingZero;
    return fmt;
}

TTimeFormat HungarianTwelveHour()
{
    TTimeFormat fmt;
    fmt.twelveHour = true;
    fmt.amDesignator = "de.";
    fmt.pmDesignator = "du.";
    fmt.designatorFirst = true;
    return fmt;
}

}  // namespace

class TestDateTimeText : public QObject {
    Q_OBJECT

private slots:
    void encode_data();
    void encode();
    void encodeRejectsInvalid_data();
    void encodeRejectsInvalid();
    void decode_data();
    void decode();
    void decodeRejectsOutOfRange_data();
    void decodeRejectsOutOfRange();
    void format_data();
    void format();
    void parse_data();
    void parse();
    void formatParseRoundTrip_data();
    void formatParseRoundTrip();
};

void TestDateTimeText::encode_data()
{
    QTest::addColumn<QList<int>>("parts");  // y, m, d, h, min, s, ms
    QTest::addColumn<double>("value");
    QTest::newRow("day zero") << QList<int>{1899, 12, 30, 0, 0, 0, 0} << 0.0;
    QTest::newRow("1900 is no leap year") << QList<int>{1900, 3, 1, 0, 0, 0, 0} << 61.0;
    QTest::newRow("noon on a leap day") << QList<int>{2000, 2, 29, 12, 0, 0, 0} << 36585.5;
    QTest::newRow("morning") << QList<int>{2010, 3, 13, 9, 5, 0, 0} << 40250.0 + 545.0 / 1440.0;
    QTest::newRow("before day zero, time counts forward")
        << QList<int>{1899, 12, 29, 6, 0, 0, 0} << -1.25;
    QTest::newRow("first day") << QList<int>{1, 1, 1, 0, 0, 0, 0} << -693593.0;
    QTest::newRow("last moment") << QList<int>{9999, 12, 31, 23, 59, 59, 999}
                                 << 2958465.0 + 86'399'999.0 / MsPerDay;
}

void TestDateTimeText::encode()
{
    QFETCH(QList<int>, parts);
    QFETCH(double, value);
    const double encoded =
        EncodeDateTime(parts[0], parts[1], parts[2], parts[3], parts[4], parts[5], parts[6]);
    QCOMPARE(encoded, value);
    QCOMPARE(Components(encoded),
             QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d.%03d", parts[0], parts[1], parts[2],
                               parts[3], parts[4], parts[5], parts[6]));
}

void TestDateTimeText::encodeRejectsInvalid_data()
{
    QTest::addColumn<QList<int>>("parts");
    QTest::newRow("29 Feb 1900") << QList<int>{1900, 2, 29, 0, 0, 0, 0};
    QTest::newRow("30 Feb") << QList<int>{2000, 2, 30, 0, 0, 0, 0};
    QTest::newRow("31 Apr") << QList<int>{2010, 4, 31, 0, 0, 0, 0};
    QTest::newRow("month 0") << QList<int>{2010, 0, 1, 0, 0, 0, 0};
    QTest::newRow("month 13") << QList<int>{2010, 13, 1, 0, 0, 0, 0};
    QTest::newRow("day 0") << QList<int>{2010, 1, 0, 0, 0, 0, 0};
    QTest::newRow("year 0") << QList<int>{0, 1, 1, 0, 0, 0, 0};
    QTest::newRow("year 10000") << QList<int>{10000, 1, 1, 0, 0, 0, 0};
    QTest::newRow("hour 24") << QList<int>{2010, 1, 1, 24, 0, 0, 0};
    QTest::newRow("minute 60") << QList<int>{2010, 1, 1, 0, 60, 0, 0};
    QTest::newRow("second 60") << QList<int>{2010, 1, 1, 0, 0, 60, 0};
    QTest::newRow("msec 1000") << QList<int>{2010, 1, 1, 0, 0, 0, 1000};
    QTest::newRow("negative minute") << QList<int>{2010, 1, 1, 1, -1, 0, 0};
}

void TestDateTimeText::encodeRejectsInvalid()
{
    QFETCH(QList<int>, parts);
    QVERIFY(
        !TryEncodeDateTime(parts[0], parts[1], parts[2], parts[3], parts[4], parts[5], parts[6]));
    QVERIFY_THROWS_EXCEPTION(EConvertError, EncodeDateTime(parts[0], parts[1], parts[2], parts[3],
                                                           parts[4], parts[5], parts[6]));
}

void TestDateTimeText::decode_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("components");
    const double halfMs = 0.5 / MsPerDay;
    QTest::newRow("just under a millisecond rounds up")
        << 0.5 + 0.9 / MsPerDay << QString("1899-12-30 12:00:00.001");
    QTest::newRow("rounds down") << 0.5 + 0.4 / MsPerDay << QString("1899-12-30 12:00:00.000");
    QTest::newRow("half a second")
        << 40250.0 + 500.0 / MsPerDay << QString("2010-03-13 00:00:00.500");
    QTest::newRow("rounding up to midnight carries")
        << 40250.0 + 1.0 - halfMs / 2 << QString("2010-03-14 00:00:00.000");
    QTest::newRow("negative: fraction is the time") << -1.25 << QString("1899-12-29 06:00:00.000");
    QTest::newRow("negative: carries to the next day")
        << -1.0 - (1.0 - halfMs / 2) << QString("1899-12-30 00:00:00.000");
    QTest::newRow("negative zero day") << -0.5 << QString("1899-12-30 12:00:00.000");
    QTest::newRow("first day, noon") << -693593.5 << QString("0001-01-01 12:00:00.000");
}

void TestDateTimeText::decode()
{
    QFETCH(double, value);
    QFETCH(QString, components);
    QCOMPARE(Components(value), components);
}

void TestDateTimeText::decodeRejectsOutOfRange_data()
{
    QTest::addColumn<double>("value");
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity();
    QTest::newRow("-infinity") << -std::numeric_limits<double>::infinity();
    QTest::newRow("after 9999") << 2958466.0;
    QTest::newRow("before year 1") << -693594.0;
    QTest::newRow("huge") << 1e300;
    QTest::newRow("rounds into year 10000") << 2958465.0 + 1.0 - 0.1 / MsPerDay;
}

void TestDateTimeText::decodeRejectsOutOfRange()
{
    QFETCH(double, value);
    int y, m, d, h, min, s, ms;
    QVERIFY_THROWS_EXCEPTION(EConvertError, DecodeDateTime(value, y, m, d, h, min, s, ms));
    QVERIFY_THROWS_EXCEPTION(EConvertError, FormatFileDateTime(value));
}

void TestDateTimeText::format_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<TTimeFormat>("fmt");
    QTest::addColumn<QString>("text");
    const double day = EncodeDateTime(2010, 3, 13);
    const auto at = [day](int h, int min, int s = 0, int ms = 0) {
        return day + EncodeDateTime(1899, 12, 30, h, min, s, ms);
    };
    QTest::newRow("date only") << day << TTimeFormat{} << QString("13/03/2010");
    QTest::newRow("day zero") << 0.0 << TTimeFormat{} << QString("30/12/1899");
    QTest::newRow("small year padded")
        << EncodeDateTime(99, 1, 2) << TTimeFormat{} << QString("02/01/0099");
    QTest::newRow("milliseconds alone are no time")
        << at(0, 0, 0, 500) << TTimeFormat{} << QString("13/03/2010");
    QTest::newRow("24-hour") << at(9, 5) << TTimeFormat{} << QString("13/03/2010 9:05:00");
    QTest::newRow("24-hour afternoon")
        << at(21, 5, 7, 999) << TTimeFormat{} << QString("13/03/2010 21:05:07");
    QTest::newRow("24-hour leading zero")
        << at(9, 5) << TTimeFormat{false, true} << QString("13/03/2010 09:05:00");
    TTimeFormat designatorsUnused = HungarianTwelveHour();
    designatorsUnused.twelveHour = false;
    QTest::newRow("designators unused in 24-hour")
        << at(13, 5) << designatorsUnused << QString("13/03/2010 13:05:00");
    QTest::newRow("midnight hour in 12-hour")
        << at(0, 30) << TwelveHour() << QString("13/03/2010 12:30:00 AM");
    QTest::newRow("noon in 12-hour")
        << at(12, 0, 1) << TwelveHour() << QString("13/03/2010 12:00:01 PM");
    QTest::newRow("afternoon in 12-hour")
        << at(13, 5) << TwelveHour(true) << QString("13/03/2010 01:05:00 PM");
    QTest::newRow("designator first")
        << at(13, 5) << HungarianTwelveHour() << QString("13/03/2010 du. 1:05:00");
    QTest::newRow("before day zero") << -1.25 << TTimeFormat{} << QString("29/12/1899 6:00:00");
    QTest::newRow("last moment") << 2958465.0 + 86'399'999.0 / MsPerDay << TTimeFormat{}
                                 << QString("31/12/9999 23:59:59");
}

void TestDateTimeText::format()
{
    QFETCH(double, value);
    QFETCH(TTimeFormat, fmt);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(FormatFileDateTime(value, fmt)), text);
}

void TestDateTimeText::parse_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<TTimeFormat>("fmt");
    QTest::addColumn<QString>("components");  // empty when the text is rejected

    const TTimeFormat plain;
    const TTimeFormat hungarian = HungarianTwelveHour();
    const TTimeFormat digitDesignators{true, false, "1", "2", false};
    const auto row = [](const char* name, const QByteArray& text, const TTimeFormat& fmt,
                        const char* expected) {
        QTest::newRow(name) << text << fmt << QString(expected);
    };

    row("date", "13/03/2010", plain, "2010-03-13 00:00:00.000");
    row("single digits", "1/3/2010", plain, "2010-03-01 00:00:00.000");
    row("blanks around", "  13/03/2010  ", plain, "2010-03-13 00:00:00.000");
    row("leap day", "29/02/2000", plain, "2000-02-29 00:00:00.000");
    row("no year takes the current one", "13/03", plain, "2026-03-13 00:00:00.000");
    row("two-digit year, recent", "13/03/10", plain, "2010-03-13 00:00:00.000");
    row("two-digit year, last century", "13/03/80", plain, "1980-03-13 00:00:00.000");
    row("two-digit year, window start", "1/1/76", plain, "1976-01-01 00:00:00.000");
    row("two-digit year, window end", "1/1/75", plain, "2075-01-01 00:00:00.000");
    row("one-digit year", "1/1/0", plain, "2000-01-01 00:00:00.000");
    row("three-digit year is literal", "1/1/010", plain, "0010-01-01 00:00:00.000");
    row("four-digit small year", "1/1/0099", plain, "0099-01-01 00:00:00.000");
    row("date and time", "13/03/2010 9:05:07", plain, "2010-03-13 09:05:07.000");
    row("hour only", "13/03/2010 9", plain, "2010-03-13 09:00:00.000");
    row("no seconds", "13/03/2010 21:05", plain, "2010-03-13 21:05:00.000");
    row("milliseconds", "13/03/2010 9:05:07.250", plain, "2010-03-13 09:05:07.250");
    row("milliseconds are a count", "13/03/2010 9:05:07.5", plain, "2010-03-13 09:05:07.005");
    row("no-year date with time", "13/03 9:05", plain, "2026-03-13 09:05:00.000");
    row("PM after", "13/03/2010 1:05:00 PM", plain, "2010-03-13 13:05:00.000");
    row("pm lower-case, no blank", "13/03/2010 1:05pm", plain, "2010-03-13 13:05:00.000");
    row("12 AM is midnight", "13/03/2010 12:10 AM", plain, "2010-03-13 00:10:00.000");
    row("12 PM is noon", "13/03/2010 12:10 PM", plain, "2010-03-13 12:10:00.000");
    row("designator first", "13/03/2010 PM 1:05", plain, "2010-03-13 13:05:00.000");
    row("designator first, no blank", "13/03/2010 am11", plain, "2010-03-13 11:00:00.000");
    row("format's designator", "13/03/2010 du. 1:05:00", hungarian, "2010-03-13 13:05:00.000");
    row("format's designator after, any case", "13/03/2010 1:05 DE.", hungarian,
        "2010-03-13 01:05:00.000");
    row("English designator with another format", "13/03/2010 1:05 PM", hungarian,
        "2010-03-13 13:05:00.000");
    // The forms the file is written in are read from whole words; what they
    // give must not differ from the full reading.
    row("written, two-digit hour", "13/03/2010 19:05:07", plain, "2010-03-13 19:05:07.000");
    row("written, first second", "01/01/0001 0:00:01", plain, "0001-01-01 00:00:01.000");
    row("written, last second", "31/12/9999 23:59:59", plain, "9999-12-31 23:59:59.000");
    row("written, 24-hour text in a twelve-hour format", "13/03/2010 19:05:07", hungarian,
        "2010-03-13 19:05:07.000");
    row("written, twelve-hour with its designator", "13/03/2010 1:05:07 du.", hungarian,
        "2010-03-13 13:05:07.000");
    row("written, a designator that is a digit is read", "13/03/2010 12:00:00", digitDesignators,
        "2010-03-13 02:00:00.000");
    row("written, trailing blank", "13/03/2010 9:05:07 ", plain, "2010-03-13 09:05:07.000");
    row("written date, trailing blank", "13/03/2010 ", plain, "2010-03-13 00:00:00.000");
    row("time alone", "9:05", plain, "1899-12-30 09:05:00.000");
    row("time alone with blanks", "  23:59:59.999 ", plain, "1899-12-30 23:59:59.999");
    row("hour alone", "7 PM", plain, "1899-12-30 19:00:00.000");

    row("empty", "", plain, "");
    row("blanks only", "   ", plain, "");
    row("30 Feb", "30/02/2010", plain, "");
    row("29 Feb 1900", "29/02/1900", plain, "");
    row("month 13", "13/13/2010", plain, "");
    row("day 0", "0/1/2010", plain, "");
    row("year 0", "1/1/0000", plain, "");
    row("year 10000", "1/1/10000", plain, "");
    row("hour 25", "13/03/2010 25:00", plain, "");
    row("written, 31 Apr", "31/04/2010 9:00:00", plain, "");
    row("written, 29 Feb 1900", "29/02/1900 9:00:00", plain, "");
    row("written, day 00", "00/03/2010", plain, "");
    row("written, month 00", "13/00/2010", plain, "");
    row("written, hour 24", "13/03/2010 24:00:00", plain, "");
    row("written, minute 60", "13/03/2010 9:60:00", plain, "");
    row("written, second 60", "13/03/2010 09:00:60", plain, "");
    row("written, letter for a year digit", "13/03/2O10", plain, "");
    row("written, dots for slashes", "13.03.2010", plain, "");
    row("written, no blank before the time", "13/03/2010T9:05:07", plain, "");
    row("written, colon as the last digit", "13/03/2010 9:05:0:", plain, "");
    row("hour 24", "24:00", plain, "");
    row("minute 60", "12:60", plain, "");
    row("second 60", "12:00:60", plain, "");
    row("millisecond 1000", "12:00:00.1000", plain, "");
    row("PM with hour 13", "13 PM", plain, "");
    row("AM with hour 0", "0:30 AM", plain, "");
    row("two designators", "PM 1:05 PM", plain, "");
    row("designator alone", "AM", plain, "");
    row("garbage after date", "13/03/2010 x", plain, "");
    row("garbage after time", "13/03/2010 9:05 x", plain, "");
    row("garbage after designator", "1:05 PMx", plain, "");
    row("dash separators", "13-03-2010", plain, "");
    row("missing year digits", "13/03/", plain, "");
    row("missing day", "/03/2010", plain, "");
    row("missing minutes", "9:", plain, "");
    row("missing seconds", "9:05:", plain, "");
    row("missing milliseconds", "9:05:00.", plain, "");
    row("huge number", "99999999999999999999/1/2010", plain, "");
    row("full-width digits", QString("１３/03/2010").toUtf8(), plain, "");
}

void TestDateTimeText::parse()
{
    QFETCH(QByteArray, text);
    QFETCH(TTimeFormat, fmt);
    QFETCH(QString, components);
    const std::optional<double> parsed = ParseFileDateTime(text.toStdString(), CurrentYear, fmt);
    QCOMPARE(parsed ? Components(*parsed) : QString(), components);
}

void TestDateTimeText::formatParseRoundTrip_data()
{
    QTest::addColumn<TTimeFormat>("fmt");
    TTimeFormat leadingZero;
    leadingZero.leadingZeroHour = true;
    TTimeFormat lowerDesignatorsAfter = TwelveHour();
    lowerDesignatorsAfter.amDesignator = "am";
    lowerDesignatorsAfter.pmDesignator = "pm";
    QTest::newRow("24-hour") << TTimeFormat{};
    QTest::newRow("24-hour leading zero") << leadingZero;
    QTest::newRow("12-hour") << TwelveHour(true);
    QTest::newRow("12-hour lower-case designators") << lowerDesignatorsAfter;
    QTest::newRow("12-hour designator first") << HungarianTwelveHour();
}

void TestDateTimeText::formatParseRoundTrip()
{
    QFETCH(TTimeFormat, fmt);
    quint32 seed = 12345;
    const auto next = [&seed](quint32 bound) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % bound;
    };
    for (int i = 0; i < 5000; ++i) {
        const int year = i < 2 ? (i == 0 ? 1 : 9999) : 1 + int(next(9999));
        const int month = 1 + int(next(12));
        const int day = 1 + int(next(28));
        const int hour = int(next(24)), minute = int(next(60)), second = int(next(60));
        const double whole = EncodeDateTime(year, month, day, hour, minute, second);
        const double withMs =
            EncodeDateTime(year, month, day, hour, minute, second, int(next(1000)));

        const std::string text = FormatFileDateTime(whole, fmt);
        const std::optional<double> parsed = ParseFileDateTime(text, CurrentYear, fmt);
        QVERIFY2(parsed, text.c_str());
        QVERIFY2(std::abs(*parsed - whole) * MsPerDay < 1.0, text.c_str());

        const std::string textWithMs = FormatFileDateTime(withMs, fmt);
        const std::optional<double> parsedWithMs = ParseFileDateTime(textWithMs, CurrentYear, fmt);
        QVERIFY2(parsedWithMs, textWithMs.c_str());
        QCOMPARE(QString::fromStdString(FormatFileDateTime(*parsedWithMs, fmt)),
                 QString::fromStdString(textWithMs));
    }
}

QTEST_APPLESS_MAIN(TestDateTimeText)
#include "tst_datetime_text.moc"
