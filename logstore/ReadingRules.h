// How every report reads the log: byte slices, the marker test, the walk, the tail
// layout of time-stamp lines and the guest-number value. All counts are bytes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "logstore/CivilDate.h"
#include "logstore/LineStore.h"

namespace quorlet3 {

// The first n bytes (the whole string when it is shorter).
inline std::string_view Left(std::string_view s, size_t n) { return s.substr(0, n); }
// The last n bytes (the whole string when it is shorter).
inline std::string_view Right(std::string_view s, size_t n) { return n >= s.size() ? s : s.substr(s.size() - n); }
// Everything from byte n on, empty when the string has n bytes or fewer.
inline std::string_view Mid(std::string_view s, size_t n) { return n >= s.size() ? std::string_view() : s.substr(n); }

// A line has a marker when its first two bytes are that marker.
inline bool HasMarker(std::string_view line, std::string_view marker) {
    if (marker.size() == 2) {  // every record marker; compared bytewise without a call
        return line.size() >= 2 && line[0] == marker[0] && line[1] == marker[1];
    }
    return Left(line, 2) == marker;
}
// The digit of a line's record marker, 1 to 7, or 0 for a line without one.
constexpr int MarkerDigit(std::string_view line) {
    if (line.size() < 2 || line[0] != kMarker1[0]) {
        return 0;
    }
    const int digit = static_cast<unsigned char>(line[1]) - static_cast<unsigned char>(kMarker1[1]) + 1;
    return digit >= 1 && digit <= 7 ? digit : 0;
}

// The content of a line: everything after its marker.
inline std::string_view Content(std::string_view line) { return Mid(line, 2); }
inline bool IsSentinel(std::string_view line) { return line == kSentinel; }

// Number of slots a report walks: the slots before the first sentinel among
// slots 0 to 9999, or all 10000 when none of them holds it.
int WalkLength(const LineStore& store);

// Visits slots 0 .. WalkLength-1 in order, calling visit(slot, line).
template <class Visit>
void Walk(const LineStore& store, Visit&& visit) {
    const int n = WalkLength(store);
    for (int i = 0; i < n; ++i) {
        visit(i, store.m_strLine[static_cast<size_t>(i)]);
    }
}

// Returned by TwoDigitValue for a field of fewer than two bytes: outside every range.
inline constexpr int kNoValue = -10000;

// 10 * (b0 - 48) + (b1 - 48) over the field's first two bytes taken as signed bytes;
// no digit check. kNoValue when the field has fewer than two bytes.
inline int TwoDigitValue(std::string_view field) {
    if (field.size() < 2) {
        return kNoValue;
    }
    // Signed on purpose: a byte past 0x7F counts below zero, and the reports count so.
    // NOLINTBEGIN(bugprone-signed-char-misuse)
    const int b0 = static_cast<signed char>(field[0]);
    const int b1 = static_cast<signed char>(field[1]);
    // NOLINTEND(bugprone-signed-char-misuse)
    return 10 * (b0 - 48) + (b1 - 48);
}

// Tail layout of the time-stamp lines, counted from the end of the line.
inline std::string_view HourField(std::string_view line) { return Left(Right(line, 12), 2); }
// Right(26).Left(1) is ","
inline bool HasDayComma(std::string_view line) { return Left(Right(line, 26), 1) == ","; }
// Right(24) or Right(22), Left(2)
inline std::string_view DayField(std::string_view line) { return Left(Right(line, HasDayComma(line) ? 24 : 22), 2); }
inline int HourOf(std::string_view line) { return TwoDigitValue(HourField(line)); }
inline int DayOf(std::string_view line) { return TwoDigitValue(DayField(line)); }
inline bool IsHourInRange(int hour) { return hour >= 0 && hour <= 23; }
inline bool IsDayInRange(int day) { return day >= 1 && day <= 31; }

// The date of a time-stamp line, read at the day field: when the comma test holds, the
// 11 bytes that begin the last 24 are "DD-Mon-YYYY"; otherwise the 9 bytes that begin
// the last 22 are "DD-Mon-YY", 70 to 99 meaning 19xx and 00 to 69 20xx. Mon is one of
// Jan to Dec as written there. Nothing for any other text or for a date that does not
// exist (31-Feb, 29-Feb-1999, day 00): the line is undated.
std::optional<CivilDate> DateOf(std::string_view line);

// Date-and-time text shown for a line: the last 24 bytes of its content.
inline std::string_view DateTimeText(std::string_view line) { return Right(Content(line), 24); }

// The most digits a guest number may have: any more could pass the range of the value.
inline constexpr size_t kGuestNumberDigits = 18;

// Guest number of a guest-number line: its content of 1 to 18 ASCII digits, CR bytes at
// its end left out; 0 (unreadable) for any other content.
long long GuestNumberValue(std::string_view line);

}  // namespace quorlet3
