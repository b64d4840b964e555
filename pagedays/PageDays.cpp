// Per-page access days: the page name list and the days on which one page was viewed.
#include "pagedays/PageDays.h"

#include <algorithm>
#include <unordered_set>

#include "logstore/Quorlet3Doc.h"
#include "logstore/ReadingRules.h"
#include "logstore/ReportText.h"
#include "tally/MultibyteOrder.h"

namespace quorlet3 {

void CollectPageNames(const LineStore& store, PageNameList& pages) {
    pages.fill(std::string());
    // The first 300 distinct non-empty names in order of appearance; later new ones are dropped.
    std::unordered_set<std::string_view> listed;
    int used = 0;
    Walk(store, [&](int, const std::string& line) {
        if (!HasMarker(line, kMarker6) || used == kPageNameSlots) {
            return;
        }
        const std::string_view name = Content(line);
        if (!name.empty() && listed.insert(name).second) {
            pages[static_cast<size_t>(used++)] = std::string(name);
        }
    });
    std::sort(pages.begin(), pages.begin() + used, MultibyteLess);
}

std::string FormatPageNamesText(std::span<const std::string> pages) {
    std::string list;
    for (const std::string& name : pages) {
        if (name.empty()) {
            break;
        }
        list += name;
        list += "\r\n";
    }
    return list;
}

PageDaysResult ComputePageDays(const LineStore& store, std::string_view page) {
    PageDaysResult result;
    result.page = std::string(page);
    const std::string pageLine = std::string(kMarker6) + result.page;
    Walk(store, [&](int i, const std::string& line) {
        if (line != pageLine) {
            return;
        }
        // The page's time stamp is the slot after its name, whatever that slot holds.
        const int day = DayOf(store[i + 1]);
        if (IsDayInRange(day)) {
            ++result.days[static_cast<size_t>(day - 1)];
            ++result.total;
        }
    });
    return result;
}

std::string FormatPageDaysText(const PageDaysResult& result) {
    std::string text = "ページ別アクセス日調査\t"_sj;
    text += result.page;
    text += '\t';
    AppendFormat(text, "%d回\r\n\r\n"_sjf, result.total);
    for (int d = 1; d <= 31; ++d) {
        const int count = result.days[static_cast<size_t>(d - 1)];
        AppendFormat(text, "%d\t%d\t", d, count);
        AppendBar(text, '*', count);
        text += "\r\n";
    }
    return text;
}

void CQuorlet3Doc::CollectPageNames(PageNameList& pages) const { quorlet3::CollectPageNames(Store(), pages); }

// The page comes by value, as the document's other operations take their arguments.
std::string CQuorlet3Doc::ReportPageDays(std::string strPage) const {  // NOLINT(performance-unnecessary-value-param)
    return FormatPageDaysText(ComputePageDays(Store(), strPage));
}

}  // namespace quorlet3
