// Reading rules shared by every report.
#include "logstore/ReadingRules.h"

namespace quorlet3 {

std::string_view MarkerOf(int digit) {
    switch (digit) {
        case 1: return kMarker1;
        case 2: return kMarker2;
        case 3: return kMarker3;
        case 4: return kMarker4;
        case 5: return kMarker5;
        case 6: return kMarker6;
        case 7: return kMarker7;
        default: return {};
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

int TwoDigitValue(std::string_view field) {
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

std::string_view HourField(std::string_view line) { return Left(Right(line, 12), 2); }

bool HasDayComma(std::string_view line) { return Left(Right(line, 26), 1) == ","; }

std::string_view DayField(std::string_view line) {
    return Left(Right(line, HasDayComma(line) ? 24 : 22), 2);
}

int GuestNumberValue(std::string_view line) {
    const std::string_view digits = Content(line);
    if (digits.empty() || digits.size() > 5) {
        return 0;
    }
    int value = 0;
    for (char c : digits) {
        value = value * 10 + (static_cast<signed char>(c) - 48);
    }
    return value;
}

}  // namespace quorlet3
