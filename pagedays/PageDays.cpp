// Per-page access days: the page name list and the days on which one page was viewed.
#include <algorithm>
#include <array>
#include <unordered_set>

#include "logstore/Quorlet3Doc.h"
#include "logstore/ReadingRules.h"
#include "logstore/ReportText.h"
#include "tally/MultibyteOrder.h"

namespace quorlet3 {

void CQuorlet3Doc::CollectPageNames(PageNameList& pages) const {
    pages.fill(std::string());
    // The first 300 distinct non-empty names in order of appearance; later new ones are dropped.
    std::unordered_set<std::string_view> listed;
    int used = 0;
    Walk(Store(), [&](int, const std::string& line) {
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

std::string CQuorlet3Doc::ReportPageDays(std::string strPage) const {
    std::string text = "ページ別アクセス日調査\t";
    text += strPage;
    text += '\t';
    const std::string pageLine = std::string(kMarker6) + strPage;
    std::array<int, 32> days{};
    int total = 0;
    Walk(Store(), [&](int i, const std::string& line) {
        if (line != pageLine) {
            return;
        }
        // The page's time stamp is the slot after its name, whatever that slot holds.
        const int day = DayOf(Store()[i + 1]);
        if (IsDayInRange(day)) {
            ++days[static_cast<size_t>(day)];
            ++total;
        }
    });
    AppendFormat(text, "%d回\r\n\r\n", total);
    for (int d = 1; d <= 31; ++d) {
        AppendFormat(text, "%d\t%d\t", d, days[static_cast<size_t>(d)]);
        AppendBar(text, '*', days[static_cast<size_t>(d)]);
        text += "\r\n";
    }
    return text;
}

}  // namespace quorlet3
