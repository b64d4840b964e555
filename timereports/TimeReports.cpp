// Time reports: counts by hour, by day and by day-and-hour, and the guest number report.
#include "timereports/TimeReports.h"

#include "logstore/Quorlet3Doc.h"
#include "logstore/ReadingRules.h"
#include "logstore/ReportText.h"

namespace quorlet3 {
namespace {

// The time-stamp lines a time report reads: main-page (2) or page (7) records.
std::string_view TimestampMarker(int nMarker) {
    return nMarker == 2 ? kMarker2 : nMarker == 7 ? kMarker7 : std::string_view();
}

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

TimeCountsResult ComputeTimeCounts(const LineStore& store, TimeGrid grid, int nMarker) {
    TimeCountsResult result;
    result.grid = grid;
    result.nMarker = nMarker;
    const std::string_view marker = TimestampMarker(nMarker);
    if (marker.empty()) {
        return result;
    }
    const GridLayout& layout = LayoutOf(grid);
    result.counts.assign(static_cast<size_t>(layout.cells), 0);
    Walk(store, [&](int, const std::string& line) {
        if (!HasMarker(line, marker)) {
            return;
        }
        const int cell = layout.cellOf(line);
        if (cell >= 0) {
            ++result.counts[static_cast<size_t>(cell)];
            ++result.total;
        }
    });
    return result;
}

std::string FormatTimeCountsText(const TimeCountsResult& result) {
    if (result.counts.empty()) {
        return {};
    }
    const GridLayout& layout = LayoutOf(result.grid);
    const bool main = result.nMarker == 2;
    std::string text = main ? layout.mainTitle : layout.pageTitle;
    if (main) {
        AppendFormat(text, "%d 回\r\n\r\n"_sjf, result.total);
    } else {
        AppendFormat(text, "%d ページ\r\n\r\n"_sjf, result.total);
    }
    text.reserve(text.size() + result.counts.size() * 16 + static_cast<size_t>(result.total));
    for (int cell = 0; cell < layout.cells; ++cell) {
        const int count = result.counts[static_cast<size_t>(cell)];
        switch (result.grid) {
            case TimeGrid::Hourly:
                AppendFormat(text, "%d時\t%d\t"_sjf, cell, count);
                break;
            case TimeGrid::Daily:
                AppendFormat(text, "%d日\t%d\t"_sjf, cell + 1, count);
                break;
            case TimeGrid::DayHour:
                AppendFormat(text, "%d日%d時\t%d\t"_sjf, cell / kHours + 1, cell % kHours, count);
                break;
        }
        AppendBar(text, '*', count);
        text += "\r\n";
    }
    return text;
}

GuestNumbersResult ComputeGuestNumbers(const LineStore& store) {
    GuestNumbersResult result;
    // Both searches look at all 10000 line slots, past any sentinel.
    int first = -1;
    for (int i = 0; i < kLineSlots; ++i) {
        if (HasMarker(store[i], kMarker1)) {
            first = i;
            break;
        }
    }
    if (first < 0) {
        return result;
    }
    int last = first;
    for (int i = kLineSlots - 1; i > first; --i) {
        if (HasMarker(store[i], kMarker1)) {
            last = i;
            break;
        }
    }
    result.found = true;
    // The date and time come from the slot after the guest-number line, whatever it holds.
    result.firstNumber = GuestNumberValue(store[first]);
    result.firstTime = DateTimeText(store[first + 1]);
    result.lastNumber = GuestNumberValue(store[last]);
    result.lastTime = DateTimeText(store[last + 1]);
    Walk(store, [&](int, const std::string& line) {
        if (HasMarker(line, kMarker6)) {
            ++result.pageGuests;
        }
    });
    return result;
}

std::string FormatGuestNumbersText(const GuestNumbersResult& result) {
    std::string text = "訪問Ｎｏ調査\r\n\r\n"_sj;
    if (!result.found) {
        text += "訪問者Ｎｏが見つかりませんでした。"_sj;
        return text;
    }
    AppendFormat(text, "最初\t%d\t%.*s\r\n"_sjf, result.firstNumber, static_cast<int>(result.firstTime.size()),
                 result.firstTime.data());
    AppendFormat(text, "最後\t%d\t%.*s\r\n\r\n"_sjf, result.lastNumber, static_cast<int>(result.lastTime.size()),
                 result.lastTime.data());
    AppendFormat(text, "メイン訪問者\t%d\r\n"_sjf, result.MainGuests());
    AppendFormat(text, "ページ訪問者\t%d\r\n\r\n"_sjf, result.pageGuests);
    return text;
}

std::string CQuorlet3Doc::ReportHourly(int nMarker) const {
    return FormatTimeCountsText(ComputeTimeCounts(Store(), TimeGrid::Hourly, nMarker));
}

std::string CQuorlet3Doc::ReportDaily(int nMarker) const {
    return FormatTimeCountsText(ComputeTimeCounts(Store(), TimeGrid::Daily, nMarker));
}

std::string CQuorlet3Doc::ReportDayHour(int nMarker) const {
    return FormatTimeCountsText(ComputeTimeCounts(Store(), TimeGrid::DayHour, nMarker));
}

std::string CQuorlet3Doc::ReportGuestNumbers() const { return FormatGuestNumbersText(ComputeGuestNumbers(Store())); }

}  // namespace quorlet3
