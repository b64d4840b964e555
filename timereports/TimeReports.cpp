// Time reports: counts by hour, by day and by day-and-hour, and the guest number report.
#include "timereports/TimeReports.h"

#include <algorithm>

#include "logstore/ReadingRules.h"
#include "logstore/ReportText.h"

namespace quorlet3 {
namespace {

// The time-stamp lines a time report reads.
std::string_view TimestampMarker(RecordKind records) { return records == RecordKind::Main ? kMarker2 : kMarker7; }

int HourCell(std::string_view line) {
    const int hour = HourOf(line);
    return IsHourInRange(hour) ? hour : -1;
}

int DayCell(std::string_view line) {
    const int day = DayOf(line);
    return IsDayInRange(day) ? day - 1 : -1;
}

int DayHourCell(std::string_view line) {
    const int day = DayOf(line);
    const int hour = HourOf(line);
    return IsDayInRange(day) && IsHourInRange(hour) ? (day - 1) * kHours + hour : -1;
}

// What sets the three grids apart: how a line finds its cell, and the titles.
struct GridLayout {
    int cells;
    int (*cellOf)(std::string_view line);  // -1 when the line counts nowhere
    const char* mainTitle;
    const char* pageTitle;
};

const GridLayout& LayoutOf(TimeGrid grid) {
    static const GridLayout kLayouts[] = {
        {kHours, HourCell, "メイン調査(アクセス回数)\t"_sj, "ページ調査(ページ)\t\t"_sj},
        {kDays, DayCell, "メイン調査(アクセス回数)\t"_sj, "ページ調査(ページ)\t\t"_sj},
        {kDays * kHours, DayHourCell, "メイン調査(時間　詳細)\t"_sj, "ページ調査(時間　詳細)\t"_sj},
    };
    return kLayouts[static_cast<int>(grid)];
}

}  // namespace

TimeCountsAccumulator::TimeCountsAccumulator(TimeGrid grid, RecordKind records, TableLimits limits) : m_limits(limits) {
    m_result.grid = grid;
    m_result.records = records;
    m_result.wholeLog = limits.wholeLog;
    m_result.counts.assign(static_cast<size_t>(LayoutOf(grid).cells), 0);
}

void TimeCountsAccumulator::Step(std::span<const Slot> batch) {
    const std::string_view marker = TimestampMarker(m_result.records);
    const GridLayout& layout = LayoutOf(m_result.grid);
    for (const Slot& s : batch) {
        if (!HasMarker(s.line, marker)) {
            continue;
        }
        const int cell = layout.cellOf(s.line);
        if (cell >= 0) {
            ++m_result.counts[static_cast<size_t>(cell)];
            ++m_result.total;
        }
    }
}

void TimeCountsAccumulator::Merge(TimeCountsAccumulator& later) {
    m_result.total += later.m_result.total;
    for (size_t cell = 0; cell < m_result.counts.size(); ++cell) {
        m_result.counts[cell] += later.m_result.counts[cell];
    }
}

TimeCountsResult ComputeTimeCounts(const LineStore& store, TimeGrid grid, RecordKind records) {
    return ComputeOverStore(store, TimeCountsAccumulator(grid, records));
}

std::string FormatTimeCountsText(const TimeCountsResult& result) {
    const GridLayout& layout = LayoutOf(result.grid);
    const bool main = result.records == RecordKind::Main;
    const char* countWord = main ? "回"_sj : "ページ"_sj;
    std::string text = main ? layout.mainTitle : layout.pageTitle;
    AppendFormat(text, "%lld %s\r\n"_sjf, result.total, countWord);
    long long unit = 1;
    if (result.wholeLog) {
        unit = BarUnit(result.counts.empty() ? 0 : *std::max_element(result.counts.begin(), result.counts.end()));
        AppendBarUnitLine(text, '*', unit, countWord);
    }
    text += "\r\n";
    text.reserve(text.size() + result.counts.size() * 16 + static_cast<size_t>(result.total / unit));
    for (int cell = 0; cell < layout.cells; ++cell) {
        const long long count = result.counts[static_cast<size_t>(cell)];
        switch (result.grid) {
            case TimeGrid::Hourly:
                AppendFormat(text, "%d時\t%lld\t"_sjf, cell, count);
                break;
            case TimeGrid::Daily:
                AppendFormat(text, "%d日\t%lld\t"_sjf, cell + 1, count);
                break;
            case TimeGrid::DayHour:
                AppendFormat(text, "%d日%d時\t%lld\t"_sjf, cell / kHours + 1, cell % kHours, count);
                break;
        }
        AppendScaledBar(text, '*', count, unit);
        text += "\r\n";
    }
    return text;
}

void GuestNumbersAccumulator::Search(std::span<const Slot> batch) {
    // The date and time come from the slot after the guest-number line, whatever it holds.
    const Slot* last = nullptr;
    for (const Slot& s : batch) {
        if (!HasMarker(s.line, kMarker1)) {
            continue;
        }
        if (!m_result.found) {
            m_result.found = true;
            m_result.firstNumber = GuestNumberValue(s.line);
            m_result.firstTime = DateTimeText(s.next);
        }
        last = &s;
    }
    if (last != nullptr) {
        m_result.lastNumber = GuestNumberValue(last->line);
        m_result.lastTime = DateTimeText(last->next);
    }
}

void GuestNumbersAccumulator::Step(std::span<const Slot> batch) {
    Search(batch);
    for (const Slot& s : batch) {
        if (HasMarker(s.line, kMarker6)) {
            ++m_result.pageGuests;
        }
    }
}

void GuestNumbersAccumulator::MergePastEnd(GuestNumbersAccumulator& later) {
    if (!later.m_result.found) {
        return;
    }
    if (!m_result.found) {
        m_result.found = true;
        m_result.firstNumber = later.m_result.firstNumber;
        m_result.firstTime = std::move(later.m_result.firstTime);
    }
    m_result.lastNumber = later.m_result.lastNumber;
    m_result.lastTime = std::move(later.m_result.lastTime);
}

void GuestNumbersAccumulator::Merge(GuestNumbersAccumulator& later) {
    m_result.pageGuests += later.m_result.pageGuests;
    MergePastEnd(later);
}

GuestNumbersResult GuestNumbersAccumulator::Finish(const WalkEnd&) {
    if (!m_result.found) {
        m_result.pageGuests = 0;  // a log without guest numbers reports nothing else either
    }
    return std::move(m_result);
}

GuestNumbersResult ComputeGuestNumbers(const LineStore& store) {
    return ComputeOverStore(store, GuestNumbersAccumulator());
}

std::string FormatGuestNumbersText(const GuestNumbersResult& result) {
    std::string text = "訪問Ｎｏ調査\r\n\r\n"_sj;
    if (!result.found) {
        text += "訪問者Ｎｏが見つかりませんでした。"_sj;
        return text;
    }
    AppendFormat(text, "最初\t%lld\t%.*s\r\n"_sjf, result.firstNumber, static_cast<int>(result.firstTime.size()),
                 result.firstTime.data());
    AppendFormat(text, "最後\t%lld\t%.*s\r\n\r\n"_sjf, result.lastNumber, static_cast<int>(result.lastTime.size()),
                 result.lastTime.data());
    AppendFormat(text, "メイン訪問者\t%lld\r\n"_sjf, result.MainGuests());
    AppendFormat(text, "ページ訪問者\t%lld\r\n\r\n"_sjf, result.pageGuests);
    return text;
}

}  // namespace quorlet3
