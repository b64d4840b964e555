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
