// Tally reports: links and browser strings, hosts by domain class, keywords, viewed pages.
#include <algorithm>
#include <vector>

#include "logstore/Quorlet3Doc.h"
#include "logstore/ReadingRules.h"
#include "logstore/ReportText.h"
#include "tally/MultibyteOrder.h"
#include "tally/ValueTally.h"

namespace quorlet3 {

std::string CQuorlet3Doc::ReportTally(int nMarker) const {
    const char* header = nMarker == 4   ? "ブラウザ調査 \t%d 回\r\n\r\n無名  %d 個です。\r\n\r\n"
                         : nMarker == 5 ? "Ｌｉｎｋ調査 \t%d 回\r\n\r\n無名  %d 個です。\r\n\r\n"
                                        : nullptr;
    if (header == nullptr) {
        return {};
    }
    const std::string_view marker = MarkerOf(nMarker);
    ValueTally tally;
    int total = 0;
    int nameless = 0;
    Walk(Store(), [&](int, const std::string& line) {
        if (!HasMarker(line, marker)) {
            return;
        }
        ++total;
        const std::string_view value = Content(line);
        if (value.empty()) {
            ++nameless;
        } else {
            tally.Add(value);
        }
    });
    std::string text;
    AppendFormat(text, header, total, nameless);
    for (const ValueTally::Row& row : tally.Ascending()) {
        AppendFormat(text, "%d\t%.*s\r\n", row.count, static_cast<int>(row.value.size()), row.value.data());
    }
    return text;
}

namespace {

// Japanese second-level domains that get a section of their own, in report order;
// every other host goes to the last section.
constexpr std::string_view kDomainKeys[] = {"ac.jp", "co.jp", "or.jp", "ad.jp", "ne.jp"};
constexpr int kOtherDomain = 5;

int DomainClassOf(std::string_view host) {
    const std::string_view key = Right(host, 5);
    for (int k = 0; k < kOtherDomain; ++k) {
        if (key == kDomainKeys[k]) {
            return k;
        }
    }
    return kOtherDomain;
}

}  // namespace

std::string CQuorlet3Doc::ReportHosts() const {
    // Every non-empty host is kept, one entry per access (a store holds at most 10000),
    // in the section of its domain class.
    std::vector<std::string_view> hosts[kOtherDomain + 1];
    int total = 0;
    int nameless = 0;
    Walk(Store(), [&](int, const std::string& line) {
        if (!HasMarker(line, kMarker3)) {
            return;
        }
        ++total;
        const std::string_view host = Content(line);
        if (host.empty()) {
            ++nameless;
        } else {
            hosts[DomainClassOf(host)].push_back(host);
        }
    });

    std::string text = "ホスト調査\t";
    AppendFormat(text, "%d 回\r\n\r\n無名　%d　個です。\r\n\r\n", total, nameless);
    static const char* const kBanners[kOtherDomain + 1] = {
        "\t\t----------  ac.jp  ----------\r\n", "\t\t----------  co.jp  ----------\r\n",
        "\t\t----------  or.jp  ----------\r\n", "\t\t----------  ad.jp  ----------\r\n",
        "\t\t----------  ne.jp  ----------\r\n", "\t\t----------  other  ----------\r\n",
    };
    for (int k = 0; k <= kOtherDomain; ++k) {
        text += kBanners[k];
        std::vector<std::string_view>& section = hosts[k];
        std::sort(section.begin(), section.end(),
                  [](std::string_view a, std::string_view b) { return CompareMultibyte(a, b) < 0; });
        for (std::string_view host : section) {
            text += host;
            text += "\r\n";
        }
    }
    return text;
}

std::string CQuorlet3Doc::ReportKeywords() const {
    std::string text = "キーワード調査\r\n\r\n";
    Walk(Store(), [&](int, const std::string& line) {
        if (!HasMarker(line, kMarker5)) {
            return;
        }
        const size_t query = FindMultibyte(line, '?');
        if (query != std::string_view::npos) {
            text.append(line, query);
            text += "\r\n";
        }
    });
    return text;
}

std::string CQuorlet3Doc::ReportPages(int nOrder) const {
    ValueTally tally;
    int total = 0;
    Walk(Store(), [&](int, const std::string& line) {
        if (!HasMarker(line, kMarker6)) {
            return;
        }
        ++total;
        const std::string_view page = Content(line);
        if (!page.empty()) {
            tally.Add(page);
        }
    });
    std::string text = "見たページ\t";
    AppendFormat(text, "合計 %d ページ\r\n\r\n", total);
    std::vector<ValueTally::Row> rows = tally.Ascending();
    if (nOrder == 2) {
        // Most viewed first; among equal counts the page first in name order.
        std::stable_sort(rows.begin(), rows.end(),
                         [](const ValueTally::Row& a, const ValueTally::Row& b) { return a.count > b.count; });
    } else if (nOrder != 1) {
        text += "不正な引数を伴って呼び出されました。";
        return text;
    }
    for (const ValueTally::Row& row : rows) {
        AppendFormat(text, "%d\t%.*s    \t", row.count, static_cast<int>(row.value.size()), row.value.data());
        AppendBar(text, '+', row.count);
        text += "\r\n";
    }
    return text;
}

}  // namespace quorlet3
