// Reading rules shared by every report.
#include "logstore/ReadingRules.h"

namespace quorlet3 {

std::string_view MarkerOf(int digit) {
    switch (digit) {
        case 1:
            return kMarker1;
        case 2:
            return kMarker2;
        case 3:
            return kMarker3;
        case 4:
            return kMarker4;
        case 5:
            return kMarker5;
        case 6:
            return kMarker6;
        case 7:
            return kMarker7;
        default:
            return {};
    }
}

int WalkLength(const LineStore& store) {
    for (int i = 0; i < kLineSlots; ++i) {
        if (IsSentinel(store.m_strLine[static_cast<size_t>(i)])) {
            return i;
        }
    }
    return kLineSlots;
}

namespace {

int DigitValue(char c) { return c >= '0' && c <= '9' ? c - '0' : -1; }

// Two ASCII digits as a number, or -1.
int TwoDigits(const char* p) {
    const int tens = DigitValue(p[0]);
    const int ones = DigitValue(p[1]);
    return tens < 0 || ones < 0 ? -1 : tens * 10 + ones;
}

// The month of its three-letter name, 1 to 12, or 0.
int MonthOfName(const char* p) {
    static constexpr std::string_view kNames = "JanFebMarAprMayJunJulAugSepOctNovDec";
    const std::string_view name(p, 3);
    for (size_t m = 0; m < 12; ++m) {
        if (kNames.substr(m * 3, 3) == name) {
            return static_cast<int>(m) + 1;
        }
    }
    return 0;
}

}  // namespace

std::optional<CivilDate> DateOf(std::string_view line) {
    const bool fourDigitYear = HasDayComma(line);
    const size_t from = fourDigitYear ? 24 : 22;
    if (line.size() < from) {  // the date's 9 or 11 bytes lie inside the last 22 or 24
        return std::nullopt;
    }
    const char* p = line.data() + (line.size() - from);
    if (p[2] != '-' || p[6] != '-') {
        return std::nullopt;
    }
    const int day = TwoDigits(p);
    const int month = MonthOfName(p + 3);
    int year = TwoDigits(p + 7);
    if (fourDigitYear) {
        const int low = TwoDigits(p + 9);
        year = year < 0 || low < 0 ? -1 : year * 100 + low;
    } else if (year >= 0) {
        year += year >= 70 ? 1900 : 2000;
    }
    if (day < 0 || year < 0 || !IsValidDate(year, month, day)) {
        return std::nullopt;
    }
    return CivilDate{year, month, day};
}

long long GuestNumberValue(std::string_view line) {
    std::string_view digits = Content(line);
    while (!digits.empty() && digits.back() == '\r') {
        digits.remove_suffix(1);  // a line that ended in CR CR LF keeps one CR
    }
    if (digits.empty() || digits.size() > kGuestNumberDigits) {
        return 0;
    }
    long long value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return 0;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace quorlet3
