#include "datetime_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <iterator>

#include "byte_load.h"
#include "errors.h"

namespace {

constexpr std::int64_t MsPerDay = 86'400'000;

// Days from 1 January 1970 to the given date of the proleptic Gregorian
// calendar (Howard Hinnant's days_from_civil).
constexpr std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day)
{
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

void CivilFromDays(std::int64_t days, int& year, int& month, int& day)
{
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const auto dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned shiftedMonth = (5 * dayOfYear + 2) / 153;  // March is 0
    day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    year = static_cast<int>(static_cast<std::int64_t>(yearOfEra) + era * 400 + (month <= 2));
}

constexpr std::int64_t EpochOffset = -DaysFromCivil(1899, 12, 30);

// Day numbers relative to 30 December 1899.
constexpr std::int64_t DayNumber(int year, int month, int day)
{
    return DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) +
           EpochOffset;
}

constexpr std::int64_t FirstDay = DayNumber(1, 1, 1);
constexpr std::int64_t LastDay = DayNumber(9999, 12, 31);
static_assert(FirstDay == -693593 && LastDay == 2958465);

double Combine(std::int64_t dayNumber, std::int64_t msOfDay)
{
    const double time = static_cast<double>(msOfDay) / static_cast<double>(MsPerDay);
    const auto date = static_cast<double>(dayNumber);
    return dayNumber >= 0 ? date + time : date - time;
}

bool IsLeapYear(int year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month)
{
    static constexpr int Days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : Days[month - 1];
}

std::int64_t MsOfDay(int hour, int minute, int second, int msec)
{
    return ((hour * 60LL + minute) * 60 + second) * 1000 + msec;
}

void AppendPadded(std::string& out, int value, std::size_t width)
{
    // The parts of a date and a time fit their width but for the hour.
    constexpr int Limits[] = {1, 10, 100, 1000, 10000};
    if (value >= 0 && width < std::size(Limits) && value < Limits[width]) {
        char digits[4];
        for (std::size_t i = width; i-- > 0; value /= 10)
            digits[i] = static_cast<char>('0' + value % 10);
        out.append(digits, width);
        return;
    }
    char digits[16];
    const char* end = std::to_chars(std::begin(digits), std::end(digits), value).ptr;
    const auto size = static_cast<std::size_t>(end - digits);
    if (size < width)
        out.append(width - size, '0');
    out.append(digits, size);
}

// A forward-only reader over the text being parsed.
class TScanner {
public:
    explicit TScanner(std::string_view text) : text_(text) { }

    bool AtEnd() const { return pos_ == text_.size(); }

    void SkipBlanks()
    {
        while (pos_ < text_.size() && text_[pos_] == ' ')
            ++pos_;
    }

    bool Consume(char c)
    {
        if (pos_ == text_.size() || text_[pos_] != c)
            return false;
        ++pos_;
        return true;
    }

    // Reads a run of decimal digits. Large values stop growing at a bound that
    // every range check rejects, so they cannot overflow.
    bool ReadNumber(int& value, std::size_t& digitCount)
    {
        constexpr int Saturated = 1'000'000;
        const std::size_t start = pos_;
        value = 0;
        while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') {
            if (value < Saturated)
                value = value * 10 + (text_[pos_] - '0');
            ++pos_;
        }
        digitCount = pos_ - start;
        return digitCount > 0;
    }

    bool ReadNumber(int& value)
    {
        std::size_t digitCount = 0;
        return ReadNumber(value, digitCount);
    }

    // Consumes word when the text continues with it, ignoring ASCII case.
    bool ConsumeWord(std::string_view word)
    {
        if (word.empty() || text_.size() - pos_ < word.size())
            return false;
        for (std::size_t i = 0; i < word.size(); ++i) {
            if (AsciiLower(text_[pos_ + i]) != AsciiLower(word[i]))
                return false;
        }
        pos_ += word.size();
        return true;
    }

private:
    static char AsciiLower(char c)
    {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

enum class THalfDay { None, Am, Pm };

// Reads the longest AM/PM designator, the format's or the English one.
THalfDay ReadDesignator(TScanner& scanner, const TTimeFormat& fmt)
{
    const struct {
        std::string_view word;
        THalfDay half;
    } candidates[] = {
        {fmt.amDesignator, THalfDay::Am},
        {fmt.pmDesignator, THalfDay::Pm},
        {"AM", THalfDay::Am},
        {"PM", THalfDay::Pm},
    };
    THalfDay best = THalfDay::None;
    std::size_t bestLength = 0;
    TScanner afterBest = scanner;
    for (const auto& candidate : candidates) {
        TScanner trial = scanner;
        if (candidate.word.size() > bestLength && trial.ConsumeWord(candidate.word)) {
            best = candidate.half;
            bestLength = candidate.word.size();
            afterBest = trial;
        }
    }
    scanner = afterBest;
    return best;
}

int ApplyTwoDigitYearWindow(int year, int currentYear)
{
    const int pivot = currentYear - 50;
    year += (pivot / 100) * 100;
    if (year < pivot)
        year += 100;
    return year;
}

// "d/m[/y]" as a day number.
std::optional<std::int64_t> ReadDate(TScanner& scanner, int currentYear)
{
    int day = 0, month = 0, year = currentYear;
    if (!scanner.ReadNumber(day) || !scanner.Consume('/') || !scanner.ReadNumber(month))
        return std::nullopt;
    if (scanner.Consume('/')) {
        std::size_t yearDigits = 0;
        if (!scanner.ReadNumber(year, yearDigits))
            return std::nullopt;
        if (yearDigits <= 2)
            year = ApplyTwoDigitYearWindow(year, currentYear);
    }
    if (!IsValidDate(year, month, day))
        return std::nullopt;
    return DayNumber(year, month, day);
}

// "[designator] h[:m[:s[.ms]]] [designator]" up to the end of the text, as
// milliseconds since midnight.
std::optional<std::int64_t> ReadTimeToEnd(TScanner& scanner, const TTimeFormat& fmt)
{
    THalfDay half = ReadDesignator(scanner, fmt);
    scanner.SkipBlanks();
    int hour = 0, minute = 0, second = 0, msec = 0;
    if (!scanner.ReadNumber(hour))
        return std::nullopt;
    if (scanner.Consume(':')) {
        if (!scanner.ReadNumber(minute))
            return std::nullopt;
        if (scanner.Consume(':')) {
            if (!scanner.ReadNumber(second))
                return std::nullopt;
            if (scanner.Consume('.') && !scanner.ReadNumber(msec))
                return std::nullopt;
        }
    }
    scanner.SkipBlanks();
    if (half == THalfDay::None) {
        half = ReadDesignator(scanner, fmt);
        scanner.SkipBlanks();
    }
    if (!scanner.AtEnd())
        return std::nullopt;

    if (half != THalfDay::None) {
        if (hour < 1 || hour > 12)
            return std::nullopt;
        hour %= 12;
        if (half == THalfDay::Pm)
            hour += 12;
    }
    if (!IsValidTime(hour, minute, second, msec))
        return std::nullopt;
    return MsOfDay(hour, minute, second, msec);
}

}  // namespace

bool IsValidDate(int year, int month, int day)
{
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           day <= DaysInMonth(year, month);
}

bool IsValidTime(int hour, int minute, int second, int msec)
{
    return hour >= 0 && hour < 24 && minute >= 0 && minute < 60 && second >= 0 && second < 60 &&
           msec >= 0 && msec < 1000;
}

std::optional<double> TryEncodeDateTime(int year, int month, int day, int hour, int minute,
                                        int second, int msec)
{
    if (!IsValidDate(year, month, day) || !IsValidTime(hour, minute, second, msec))
        return std::nullopt;
    return Combine(DayNumber(year, month, day), MsOfDay(hour, minute, second, msec));
}

double EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int msec)
{
    const std::optional<double> value =
        TryEncodeDateTime(year, month, day, hour, minute, second, msec);
    if (!value)
        throw EConvertError("Invalid date or time");
    return *value;
}

// Calendar and clock order, as the classic decoding function takes them.
// NOLINTNEXTLINE(bugprone-easily-swappable-parameters)
void DecodeDateTime(double value, int& year, int& month, int& day, int& hour, int& minute,
                    int& second, int& msec)
{
    const double whole = std::trunc(value);
    if (!std::isfinite(value) || whole < static_cast<double>(FirstDay) ||
        whole > static_cast<double>(LastDay))
        throw EConvertError("Date-time value out of range");
    auto dayNumber = static_cast<std::int64_t>(whole);
    std::int64_t ms = std::llround(std::fabs(value - whole) * static_cast<double>(MsPerDay));
    if (ms >= MsPerDay) {
        ++dayNumber;
        ms = 0;
        if (dayNumber > LastDay)
            throw EConvertError("Date-time value out of range");
    }
    CivilFromDays(dayNumber - EpochOffset, year, month, day);
    msec = static_cast<int>(ms % 1000);
    second = static_cast<int>(ms / 1000 % 60);
    minute = static_cast<int>(ms / 60'000 % 60);
    hour = static_cast<int>(ms / 3'600'000);
}

std::string FormatFileDateTime(double value, const TTimeFormat& fmt)
{
    std::string out;
    AppendFileDateTime(out, value, fmt);
    return out;
}

void AppendFileDateTime(std::string& out, double value, const TTimeFormat& fmt)
{
    int year, month, day, hour, minute, second, msec;
    DecodeDateTime(value, year, month, day, hour, minute, second, msec);

    AppendPadded(out, day, 2);
    out += '/';
    AppendPadded(out, month, 2);
    out += '/';
    AppendPadded(out, year, 4);
    if (hour == 0 && minute == 0 && second == 0)
        return;

    const std::string& designator = hour < 12 ? fmt.amDesignator : fmt.pmDesignator;
    const bool withDesignator = fmt.twelveHour && !designator.empty();
    out += ' ';
    if (withDesignator && fmt.designatorFirst) {
        out += designator;
        out += ' ';
    }
    int shownHour = hour;
    if (fmt.twelveHour)
        shownHour = hour % 12 == 0 ? 12 : hour % 12;
    AppendPadded(out, shownHour, fmt.leadingZeroHour ? 2 : 1);
    out += ':';
    AppendPadded(out, minute, 2);
    out += ':';
    AppendPadded(out, second, 2);
    if (withDesignator && !fmt.designatorFirst) {
        out += ' ';
        out += designator;
    }
}

namespace {

// Eight bytes of text a word is matched against: '0' stands for a digit,
// every other byte for itself.
struct TShape {
    std::uint64_t pattern = 0;
    // Adding this carries a byte above its limit (9 for a digit, 0 for any
    // other) into its top bit.
    std::uint64_t limit = 0;
};

consteval TShape MakeShape(const char (&shape)[sizeof(std::uint64_t) + 1])
{
    TShape made;
    for (std::size_t i = 0; i < sizeof(std::uint64_t); ++i) {
        made.pattern |= std::uint64_t{static_cast<unsigned char>(shape[i])} << (8 * i);
        made.limit |= std::uint64_t{shape[i] == '0' ? 0x76u : 0x7Fu} << (8 * i);
    }
    return made;
}

// The eight bytes at p with digits as their values 0 to 9 and the other
// bytes as zero when they fit the shape.
std::uint64_t ShapeValues(const char* p, const TShape& shape)
{
    return LoadLowFirst<std::uint64_t>(p) ^ shape.pattern;
}

bool FitsShape(std::uint64_t values, const TShape& shape)
{
    // A top bit set by itself is a byte above 0x7F.
    return (((values + shape.limit) | values) & 0x8080'8080'8080'8080u) == 0;
}

// Byte i of the result is ten times byte i of values plus byte i + 1: the
// number two digits starting at byte i write.
std::uint64_t DigitPairs(std::uint64_t values)
{
    return values * 10 + (values >> 8);
}

int ByteAt(std::uint64_t word, unsigned at)
{
    return static_cast<int>(word >> (8 * at) & 0xFF);
}

// "dd/mm/yyyy", alone or with " H:mm:ss" or " HH:mm:ss", the forms the file
// is written in, read from whole words to the value the full reading gives.
// nullopt for any other text and for an invalid date or time, which the full
// reading then takes.
std::optional<double> ReadWrittenDateTime(std::string_view text, const TTimeFormat& fmt)
{
    constexpr std::size_t DateSize = 10, ShortSize = 18, LongSize = 19;
    const std::size_t size = text.size();
    if (size != DateSize && size != ShortSize && size != LongSize)
        return std::nullopt;
    const char* p = text.data();
    // The date's last two digits are read from the eight bytes that end it.
    constexpr TShape HeadShape = MakeShape("00/00/00"), TailShape = MakeShape("/00/0000");
    const std::uint64_t head = ShapeValues(p, HeadShape);
    const std::uint64_t tail = ShapeValues(p + DateSize - 8, TailShape);
    if (!FitsShape(head, HeadShape) || !FitsShape(tail, TailShape))
        return std::nullopt;
    const std::uint64_t headPairs = DigitPairs(head);
    const int day = ByteAt(headPairs, 0);
    const int month = ByteAt(headPairs, 3);
    const int year = ByteAt(headPairs, 6) * 100 + ByteAt(DigitPairs(tail), 6);
    if (!IsValidDate(year, month, day))
        return std::nullopt;
    const std::int64_t dayNumber = DayNumber(year, month, day);
    if (size == DateSize)
        return Combine(dayNumber, 0);

    // A designator that starts with a digit could be read from the hour.
    for (const std::string* designator : {&fmt.amDesignator, &fmt.pmDesignator}) {
        if (!designator->empty() && designator->front() >= '0' && designator->front() <= '9')
            return std::nullopt;
    }
    // The blank before a one-digit hour stands as the hour's first digit.
    constexpr TShape ShortShape = MakeShape(" 0:00:00"), LongShape = MakeShape("00:00:00");
    const TShape& timeShape = size == ShortSize ? ShortShape : LongShape;
    const std::uint64_t time = ShapeValues(p + size - 8, timeShape);
    if (!FitsShape(time, timeShape) || p[DateSize] != ' ')
        return std::nullopt;
    const std::uint64_t timePairs = DigitPairs(time);
    const int hour = ByteAt(timePairs, 0);
    const int minute = ByteAt(timePairs, 3);
    const int second = ByteAt(timePairs, 6);
    if (!IsValidTime(hour, minute, second, 0))
        return std::nullopt;
    return Combine(dayNumber, MsOfDay(hour, minute, second, 0));
}

// Every form ParseFileDateTime takes. Kept out of line so that the written
// forms are read without saving the registers this one needs.
[[gnu::noinline]] std::optional<double> ReadAnyDateTime(std::string_view text, int currentYear,
                                                        const TTimeFormat& fmt)
{
    TScanner start(text);
    start.SkipBlanks();
    if (start.AtEnd())
        return std::nullopt;

    TScanner scanner = start;
    if (const std::optional<std::int64_t> dayNumber = ReadDate(scanner, currentYear)) {
        scanner.SkipBlanks();
        if (scanner.AtEnd())
            return Combine(*dayNumber, 0);
        if (const std::optional<std::int64_t> ms = ReadTimeToEnd(scanner, fmt))
            return Combine(*dayNumber, *ms);
    }

    scanner = start;
    if (const std::optional<std::int64_t> ms = ReadTimeToEnd(scanner, fmt))
        return Combine(0, *ms);
    return std::nullopt;
}

}  // namespace

std::optional<double> ParseFileDateTime(std::string_view text, int currentYear,
                                        const TTimeFormat& fmt)
{
    if (const std::optional<double> value = ReadWrittenDateTime(text, fmt))
        return value;
    return ReadAnyDateTime(text, currentYear, fmt);
}
