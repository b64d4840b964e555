// A calendar date of the proleptic Gregorian calendar, with its day number and weekday.
#pragma once

#include <compare>
#include <cstdio>
#include <string>

namespace quorlet3 {

struct CivilDate {
    int year = 1970;
    int month = 1;  // 1 to 12
    int day = 1;    // 1 to the month's length

    // Days since 1970-01-01 (negative before it).
    constexpr int DayNumber() const {
        // Counted in eras of 400 years that start on 1 March, so that the leap day ends a year.
        const int y = month <= 2 ? year - 1 : year;
        const int era = (y >= 0 ? y : y - 399) / 400;
        const int yearOfEra = y - era * 400;
        const int dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
        const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
        return era * 146097 + dayOfEra - 719468;
    }
    // 0 for Sunday, 1 for Monday, ... 6 for Saturday (1970-01-01 was a Thursday).
    constexpr int Weekday() const { return (DayNumber() % 7 + 11) % 7; }
    // The date of a day number.
    static constexpr CivilDate FromDayNumber(int n) {
        n += 719468;
        const int era = (n >= 0 ? n : n - 146096) / 146097;
        const int dayOfEra = n - era * 146097;
        const int yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
        const int dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
        const int mp = (5 * dayOfYear + 2) / 153;
        const int d = dayOfYear - (153 * mp + 2) / 5 + 1;
        const int m = mp < 10 ? mp + 3 : mp - 9;
        return {yearOfEra + era * 400 + (m <= 2 ? 1 : 0), m, d};
    }

    constexpr auto operator<=>(const CivilDate&) const = default;
};

constexpr bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

// Days in the month (1 to 12) of the year; 0 for any other month.
constexpr int DaysInMonth(int year, int month) {
    constexpr int kMonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) {
        return 0;
    }
    return month == 2 && IsLeapYear(year) ? 29 : kMonthDays[month - 1];
}

// True when the day exists in that month of that year.
constexpr bool IsValidDate(int year, int month, int day) { return day >= 1 && day <= DaysInMonth(year, month); }

// "1998-07-01" and "1998-07", as the data formats write dates and months.
inline std::string IsoDate(const CivilDate& date) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
    return text;
}
inline std::string IsoMonth(int year, int month) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d", year, month);
    return text;
}

}  // namespace quorlet3
