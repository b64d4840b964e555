// Time reports: counts by hour, by day and by day-and-hour, and the guest number report.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "logstore/LineStore.h"

namespace quorlet3 {

// The three grids the time-stamp lines are counted into.
enum class TimeGrid {
    Hourly,   // 24 cells, hour 0 first
    Daily,    // 31 cells, day 1 first
    DayHour,  // 31 x 24 cells, day 1 hour 0 first, hours within days
};

struct TimeCountsResult {
    TimeGrid grid = TimeGrid::Hourly;
    int nMarker = 0;          // 2 main-page records, 7 page records
    int total = 0;            // lines counted into some cell
    std::vector<int> counts;  // empty when nMarker names no time-stamp line
};

inline constexpr int kHours = 24;
inline constexpr int kDays = 31;

// Counts the time stamps of the records nMarker names (2 or 7) into the grid.
TimeCountsResult ComputeTimeCounts(const LineStore& store, TimeGrid grid, int nMarker);

// The report text: title and total, then one bar row per cell. Empty for a result
// whose nMarker names no time-stamp line.
std::string FormatTimeCountsText(const TimeCountsResult& result);

struct GuestNumbersResult {
    bool found = false;  // some line slot holds a guest-number line
    int firstNumber = 0;
    std::string_view firstTime;  // date-and-time text of the slot after the first
    int lastNumber = 0;
    std::string_view lastTime;  // and after the last guest-number line
    int pageGuests = 0;         // page-name lines walked
    int MainGuests() const { return lastNumber - firstNumber + 1; }
};

// The first and last guest numbers of the store. The views point into the store.
GuestNumbersResult ComputeGuestNumbers(const LineStore& store);
std::string FormatGuestNumbersText(const GuestNumbersResult& result);

}  // namespace quorlet3
