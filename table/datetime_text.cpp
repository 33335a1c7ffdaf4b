#include "datetime_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <iterator>

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

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// True when the text has the shape: '0' stands for any digit, every other
// character for itself.
bool HasShape(std::string_view text, std::string_view shape)
{
    if (text.size() != shape.size())
        return false;
    for (std::size_t i = 0; i < shape.size(); ++i) {
        if (shape[i] == '0' ? !IsDigit(text[i]) : text[i] != shape[i])
            return false;
    }
    return true;
}

// The number the digits at that place write (HasShape has checked them).
int DigitsValue(std::string_view text, std::size_t at, std::size_t digits)
{
    int value = 0;
    for (std::size_t i = at; i < at + digits; ++i)
        value = value * 10 + (text[i] - '0');
    return value;
}

// "dd/mm/yyyy" and nothing else, the form the file writes most, as a day
// number; nullopt for any other text, which the full reading then takes.
std::optional<std::int64_t> ReadPlainDate(std::string_view text)
{
    if (!HasShape(text, "00/00/0000"))
        return std::nullopt;
    const int day = DigitsValue(text, 0, 2);
    const int month = DigitsValue(text, 3, 2);
    const int year = DigitsValue(text, 6, 4);
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

// "dd/mm/yyyy H:mm:ss" or "dd/mm/yyyy HH:mm:ss", the form the writer gives a
// time of day in the 24-hour clock, read directly to the value ReadDate and
// ReadTimeToEnd give it. Any other text is left to them.
std::optional<double> ReadPlainDateTime(std::string_view text, const TTimeFormat& fmt)
{
    constexpr std::size_t DateSize = 10;
    constexpr std::string_view ShortTime = "0:00:00";
    constexpr std::string_view LongTime = "00:00:00";
    if (text.size() != DateSize + 1 + ShortTime.size() &&
        text.size() != DateSize + 1 + LongTime.size())
        return std::nullopt;
    // A designator that starts with a digit could be read from the hour.
    for (const std::string* designator : {&fmt.amDesignator, &fmt.pmDesignator}) {
        if (!designator->empty() && IsDigit(designator->front()))
            return std::nullopt;
    }
    if (text[DateSize] != ' ')
        return std::nullopt;
    const std::string_view time = text.substr(DateSize + 1);
    const std::string_view shape = time.size() == ShortTime.size() ? ShortTime : LongTime;
    if (!HasShape(time, shape))
        return std::nullopt;
    const std::size_t hourDigits = shape.size() - 6;
    const int hour = DigitsValue(time, 0, hourDigits);
    const int minute = DigitsValue(time, hourDigits + 1, 2);
    const int second = DigitsValue(time, hourDigits + 4, 2);
    if (!IsValidTime(hour, minute, second, 0))
        return std::nullopt;
    const std::optional<std::int64_t> dayNumber = ReadPlainDate(text.substr(0, DateSize));
    if (!dayNumber)
        return std::nullopt;
    return Combine(*dayNumber, MsOfDay(hour, minute, second, 0));
}
}  // namespace

std::optional<double> ParseFileDateTime(std::string_view text, int currentYear,
                                        const TTimeFormat& fmt)
{
    if (const std::optional<std::int64_t> dayNumber = ReadPlainDate(text))
        return Combine(*dayNumber, 0);
    if (const std::optional<double> value = ReadPlainDateTime(text, fmt))
        return value;
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
