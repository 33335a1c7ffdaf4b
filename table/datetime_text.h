#pragma once

#include <optional>
#include <string>
#include <string_view>

// Date-times are doubles: whole days since 30 December 1899 plus the time of
// day as the fraction. Before that day the whole part counts back while the
// fraction still counts forward from midnight: -1.25 is 29 December 1899 06:00.

// Years 1 to 9999 of the proleptic Gregorian calendar.
bool IsValidDate(int year, int month, int day);
bool IsValidTime(int hour, int minute, int second, int msec);

// nullopt when the date or the time is not valid.
std::optional<double> TryEncodeDateTime(int year, int month, int day, int hour = 0, int minute = 0,
                                        int second = 0, int msec = 0);

// Throws EConvertError when the date or the time is not valid.
double EncodeDateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                      int msec = 0);

// The time is rounded to whole milliseconds; a time that rounds up to 24:00
// becomes midnight of the next day. Throws EConvertError for a value that is
// not finite or falls outside the years 1 to 9999.
void DecodeDateTime(double value, int& year, int& month, int& day, int& hour, int& minute,
                    int& second, int& msec);

struct TTimeFormat {
    bool twelveHour = false;
    bool leadingZeroHour = false;
    std::string amDesignator = "AM";
    std::string pmDesignator = "PM";
    bool designatorFirst = false;
};

// "dd/mm/yyyy", then " H:mm:ss" (shaped by fmt) unless the hour, minute and
// second are all zero. Milliseconds are never written.
std::string FormatFileDateTime(double value, const TTimeFormat& fmt = {});
// FormatFileDateTime(value, fmt) appended to out; out is unchanged when it
// throws.
void AppendFileDateTime(std::string& out, double value, const TTimeFormat& fmt = {});

// Reads "d/m[/y]" optionally followed by blanks and a time, or a time alone
// (a value on 30 December 1899). A time is "h[:m[:s[.ms]]]" with an optional
// AM/PM designator, fmt's or the English one in any case, before or after it.
// A year of one or two digits is placed in the hundred years starting 50
// years before currentYear.
// Leading and trailing blanks are allowed; anything else invalid gives nullopt.
std::optional<double> ParseFileDateTime(std::string_view text, int currentYear,
                                        const TTimeFormat& fmt = {});
