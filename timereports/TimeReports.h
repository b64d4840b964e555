// Time reports: counts by hour, by day and by day-and-hour, and the guest number report.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "logstore/Accumulator.h"
#include "logstore/LineStore.h"

namespace quorlet3 {

// The three grids the time-stamp lines are counted into.
enum class TimeGrid {
    Hourly,   // 24 cells, hour 0 first
    Daily,    // 31 cells, day 1 first
    DayHour,  // 31 x 24 cells, day 1 hour 0 first, hours within days
};

// Whose time stamps a time report counts: main-page records or page records.
enum class RecordKind { Main, Page };

struct TimeCountsResult {
    TimeGrid grid = TimeGrid::Hourly;
    RecordKind records = RecordKind::Main;
    long long total = 0;            // lines counted into some cell
    std::vector<long long> counts;  // one per cell of the grid
    bool wholeLog = false;          // over a whole log: the text scales its bars to fit
};

inline constexpr int kHours = 24;
inline constexpr int kDays = 31;

// Counts the time stamps of one kind of record into a grid.
class TimeCountsAccumulator {
public:
    std::string_view Marker() const { return m_result.records == RecordKind::Main ? kMarker2 : kMarker7; }
    TimeCountsAccumulator(TimeGrid grid, RecordKind records, TableLimits limits = TableLimits::Store());
    void Step(std::span<const Slot> batch);
    void Merge(TimeCountsAccumulator& later);
    TimeCountsAccumulator Fresh() const { return {m_result.grid, m_result.records, m_limits}; }
    template <class Ar>
    void Keep(Ar& ar) {
        const size_t cells = m_result.counts.size();
        ar(m_result.total, m_result.counts);
        if (m_result.counts.size() != cells) {
            throw StateError("another number of cells");
        }
    }
    TimeCountsResult Finish(const WalkEnd&) { return std::move(m_result); }

private:
    TimeCountsResult m_result;
    TableLimits m_limits;
};

TimeCountsResult ComputeTimeCounts(const LineStore& store, TimeGrid grid, RecordKind records);

// The report text: title and total, then one bar row per cell. Over a whole log the
// bars are scaled to at most kScaledBarWidth signs, with a line saying what a sign stands for.
std::string FormatTimeCountsText(const TimeCountsResult& result);

struct GuestNumbersResult {
    bool found = false;  // some line slot holds a guest-number line
    long long firstNumber = 0;
    std::string firstTime;  // date-and-time text of the slot after the first
    long long lastNumber = 0;
    std::string lastTime;      // and after the last guest-number line
    long long pageGuests = 0;  // page-name lines walked
    long long MainGuests() const { return lastNumber - firstNumber + 1; }
};

// The first and last guest-number lines are searched among all slots, past the walk's
// end too; the page guests are counted along the walk.
class GuestNumbersAccumulator {
public:
    void Step(std::span<const Slot> batch);
    void StepPastEnd(std::span<const Slot> batch) { Search(batch); }
    void Merge(GuestNumbersAccumulator& later);
    void MergePastEnd(GuestNumbersAccumulator& later);
    GuestNumbersAccumulator Fresh() const { return {}; }
    template <class Ar>
    void Keep(Ar& ar) {
        ar(m_result.found, m_result.firstNumber, m_result.firstTime, m_result.lastNumber, m_result.lastTime,
           m_result.pageGuests);
    }
    GuestNumbersResult Finish(const WalkEnd&);

private:
    void Search(std::span<const Slot> batch);

    GuestNumbersResult m_result;
};

// The first and last guest numbers of the store.
GuestNumbersResult ComputeGuestNumbers(const LineStore& store);
std::string FormatGuestNumbersText(const GuestNumbersResult& result);

}  // namespace quorlet3
