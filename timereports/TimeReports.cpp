// Time reports: counts by hour, by day and by day-and-hour, and the guest number report.
#include <array>

#include "logstore/Quorlet3Doc.h"
#include "logstore/ReadingRules.h"
#include "logstore/ReportText.h"

namespace quorlet3 {
namespace {

// The time-stamp lines a time report reads: main-page (2) or page (7) records.
std::string_view TimestampMarker(int nMarker) {
    return nMarker == 2 ? kMarker2 : nMarker == 7 ? kMarker7 : std::string_view();
}

// The opening line of the hourly and daily reports with its total, and the blank line after it.
std::string TitleAndTotal(int nMarker, const char* mainTitle, const char* pageTitle, int total) {
    std::string text = nMarker == 2 ? mainTitle : pageTitle;
    AppendFormat(text, nMarker == 2 ? "%d 回\r\n\r\n" : "%d ページ\r\n\r\n", total);
    return text;
}

constexpr const char* kMainTitle = "メイン調査(アクセス回数)\t";
constexpr const char* kPageTitle = "ページ調査(ページ)\t\t";

// Ends a bar row: one "*" per counted line, then the line end.
void AppendStars(std::string& text, int count) {
    AppendBar(text, '*', count);
    text += "\r\n";
}

template <class Count>
int CountTimestamps(const LineStore& store, int nMarker, Count&& count) {
    const std::string_view marker = TimestampMarker(nMarker);
    int total = 0;
    Walk(store, [&](int, const std::string& line) {
        if (HasMarker(line, marker) && count(line)) {
            ++total;
        }
    });
    return total;
}

}  // namespace

std::string CQuorlet3Doc::ReportHourly(int nMarker) const {
    if (TimestampMarker(nMarker).empty()) {
        return {};
    }
    std::array<int, 24> hours{};
    const int total = CountTimestamps(Store(), nMarker, [&](std::string_view line) {
        const int hour = HourOf(line);
        if (!IsHourInRange(hour)) {
            return false;
        }
        ++hours[static_cast<size_t>(hour)];
        return true;
    });
    std::string text = TitleAndTotal(nMarker, kMainTitle, kPageTitle, total);
    for (int h = 0; h < 24; ++h) {
        AppendFormat(text, "%d時\t%d\t", h, hours[static_cast<size_t>(h)]);
        AppendStars(text, hours[static_cast<size_t>(h)]);
    }
    return text;
}

std::string CQuorlet3Doc::ReportDaily(int nMarker) const {
    if (TimestampMarker(nMarker).empty()) {
        return {};
    }
    std::array<int, 32> days{};
    const int total = CountTimestamps(Store(), nMarker, [&](std::string_view line) {
        const int day = DayOf(line);
        if (!IsDayInRange(day)) {
            return false;
        }
        ++days[static_cast<size_t>(day)];
        return true;
    });
    std::string text = TitleAndTotal(nMarker, kMainTitle, kPageTitle, total);
    for (int d = 1; d <= 31; ++d) {
        AppendFormat(text, "%d日\t%d\t", d, days[static_cast<size_t>(d)]);
        AppendStars(text, days[static_cast<size_t>(d)]);
    }
    return text;
}

std::string CQuorlet3Doc::ReportDayHour(int nMarker) const {
    if (TimestampMarker(nMarker).empty()) {
        return {};
    }
    std::array<std::array<int, 24>, 32> counts{};
    const int total = CountTimestamps(Store(), nMarker, [&](std::string_view line) {
        const int day = DayOf(line);
        const int hour = HourOf(line);
        if (!IsDayInRange(day) || !IsHourInRange(hour)) {
            return false;
        }
        ++counts[static_cast<size_t>(day)][static_cast<size_t>(hour)];
        return true;
    });
    std::string text =
        TitleAndTotal(nMarker, "メイン調査(時間　詳細)\t", "ページ調査(時間　詳細)\t", total);
    text.reserve(text.size() + 744 * 16 + static_cast<size_t>(total));
    for (int d = 1; d <= 31; ++d) {
        for (int h = 0; h < 24; ++h) {
            const int count = counts[static_cast<size_t>(d)][static_cast<size_t>(h)];
            AppendFormat(text, "%d日%d時\t%d\t", d, h, count);
            AppendStars(text, count);
        }
    }
    return text;
}

std::string CQuorlet3Doc::ReportGuestNumbers() const {
    std::string text = "訪問Ｎｏ調査\r\n\r\n";
    // Both searches look at all 10000 line slots, past any sentinel.
    int first = -1;
    for (int i = 0; i < kLineSlots; ++i) {
        if (HasMarker(Store()[i], kMarker1)) {
            first = i;
            break;
        }
    }
    if (first < 0) {
        text += "訪問者Ｎｏが見つかりませんでした。";
        return text;
    }
    int last = first;
    for (int i = kLineSlots - 1; i > first; --i) {
        if (HasMarker(Store()[i], kMarker1)) {
            last = i;
            break;
        }
    }
    // The date and time come from the slot after the guest-number line, whatever it holds.
    const int firstNumber = GuestNumberValue(Store()[first]);
    const std::string_view firstTime = DateTimeText(Store()[first + 1]);
    const int lastNumber = GuestNumberValue(Store()[last]);
    const std::string_view lastTime = DateTimeText(Store()[last + 1]);
    AppendFormat(text, "最初\t%d\t%.*s\r\n", firstNumber, static_cast<int>(firstTime.size()), firstTime.data());
    AppendFormat(text, "最後\t%d\t%.*s\r\n\r\n", lastNumber, static_cast<int>(lastTime.size()), lastTime.data());
    AppendFormat(text, "メイン訪問者\t%d\r\n", lastNumber - firstNumber + 1);
    int pages = 0;
    Walk(Store(), [&](int, const std::string& line) {
        if (HasMarker(line, kMarker6)) {
            ++pages;
        }
    });
    AppendFormat(text, "ページ訪問者\t%d\r\n\r\n", pages);
    return text;
}

}  // namespace quorlet3
