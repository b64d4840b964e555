// Tally reports: links and browser strings, hosts by domain class, keywords, viewed pages.
#include <algorithm>

#include "logstore/Quorlet3Doc.h"
#include "logstore/ReadingRules.h"
#include "logstore/ReportText.h"
#include "tally/MultibyteOrder.h"
#include "tally/TallyReports.h"

namespace quorlet3 {
namespace {

struct MarkerCounts {
    int total = 0;     // lines of the marker
    int nameless = 0;  // of them, lines with nothing after the marker
};

// Walks the lines of one marker and hands every non-empty value to take.
template <class Take>
MarkerCounts ForEachValueOf(const LineStore& store, std::string_view marker, Take&& take) {
    MarkerCounts counts;
    Walk(store, [&](int, const std::string& line) {
        if (!HasMarker(line, marker)) {
            return;
        }
        ++counts.total;
        const std::string_view value = Content(line);
        if (value.empty()) {
            ++counts.nameless;
        } else {
            take(value);
        }
    });
    return counts;
}

int DomainClassOf(std::string_view host) {
    const std::string_view key = Right(host, 5);
    for (int k = 0; k < kOtherDomain; ++k) {
        if (key == kDomainClassNames[static_cast<size_t>(k)]) {
            return k;
        }
    }
    return kOtherDomain;
}

void AppendValueRow(std::string& text, const ValueCount& row, const char* after) {
    AppendFormat(text, "%d\t%.*s", row.count, static_cast<int>(row.value.size()), row.value.data());
    text += after;
}

}  // namespace

ValueTallyResult ComputeValueTally(const LineStore& store, int nMarker) {
    ValueTallyResult result;
    result.nMarker = nMarker;
    if (nMarker != 4 && nMarker != 5) {
        return result;
    }
    ValueTally tally;
    const MarkerCounts counts = ForEachValueOf(store, MarkerOf(nMarker), [&](std::string_view v) { tally.Add(v); });
    result.total = counts.total;
    result.nameless = counts.nameless;
    result.rows = tally.Ascending();
    return result;
}

std::string FormatValueTallyText(const ValueTallyResult& result) {
    std::string text;
    if (result.nMarker == 4) {
        AppendFormat(text, "ブラウザ調査 \t%d 回\r\n\r\n無名  %d 個です。\r\n\r\n"_sjf, result.total, result.nameless);
    } else if (result.nMarker == 5) {
        AppendFormat(text, "Ｌｉｎｋ調査 \t%d 回\r\n\r\n無名  %d 個です。\r\n\r\n"_sjf, result.total, result.nameless);
    } else {
        return text;
    }
    for (const ValueCount& row : result.rows) {
        AppendValueRow(text, row, "\r\n");
    }
    return text;
}

HostsResult ComputeHosts(const LineStore& store) {
    // Every non-empty host is kept, one entry per access (a store holds at most 10000),
    // in the section of its domain class.
    HostsResult result;
    const MarkerCounts counts = ForEachValueOf(store, kMarker3, [&](std::string_view host) {
        result.classes[static_cast<size_t>(DomainClassOf(host))].push_back(host);
    });
    result.total = counts.total;
    result.nameless = counts.nameless;
    for (std::vector<std::string_view>& section : result.classes) {
        std::sort(section.begin(), section.end(), MultibyteLess);
    }
    return result;
}

std::string FormatHostsText(const HostsResult& result) {
    std::string text = "ホスト調査\t"_sj;
    AppendFormat(text, "%d 回\r\n\r\n無名　%d　個です。\r\n\r\n"_sjf, result.total, result.nameless);
    for (size_t k = 0; k < result.classes.size(); ++k) {
        text += "\t\t----------  ";
        text += kDomainClassNames[k];
        text += "  ----------\r\n";
        for (std::string_view host : result.classes[k]) {
            text += host;
            text += "\r\n";
        }
    }
    return text;
}

KeywordsResult ComputeKeywords(const LineStore& store) {
    KeywordsResult result;
    Walk(store, [&](int, const std::string& line) {
        if (!HasMarker(line, kMarker5)) {
            return;
        }
        const size_t query = FindMultibyte(line, '?');
        if (query != std::string_view::npos) {
            result.queries.push_back(std::string_view(line).substr(query));
        }
    });
    return result;
}

std::string FormatKeywordsText(const KeywordsResult& result) {
    std::string text = "キーワード調査\r\n\r\n"_sj;
    for (std::string_view query : result.queries) {
        text += query;
        text += "\r\n";
    }
    return text;
}

PagesResult ComputePages(const LineStore& store, int nOrder) {
    PagesResult result;
    result.nOrder = nOrder;
    ValueTally tally;
    result.total = ForEachValueOf(store, kMarker6, [&](std::string_view page) { tally.Add(page); }).total;
    if (nOrder != 1 && nOrder != 2) {
        return result;
    }
    result.rows = tally.Ascending();
    if (nOrder == 2) {
        // Most viewed first; among equal counts the page first in name order.
        std::stable_sort(result.rows.begin(), result.rows.end(),
                         [](const ValueCount& a, const ValueCount& b) { return a.count > b.count; });
    }
    return result;
}

std::string FormatPagesText(const PagesResult& result) {
    std::string text = "見たページ\t"_sj;
    AppendFormat(text, "合計 %d ページ\r\n\r\n"_sjf, result.total);
    if (result.nOrder != 1 && result.nOrder != 2) {
        text += "不正な引数を伴って呼び出されました。"_sj;
        return text;
    }
    for (const ValueCount& row : result.rows) {
        AppendValueRow(text, row, "    \t");
        AppendBar(text, '+', row.count);
        text += "\r\n";
    }
    return text;
}

std::string CQuorlet3Doc::ReportTally(int nMarker) const {
    return FormatValueTallyText(ComputeValueTally(Store(), nMarker));
}
std::string CQuorlet3Doc::ReportHosts() const { return FormatHostsText(ComputeHosts(Store())); }
std::string CQuorlet3Doc::ReportKeywords() const { return FormatKeywordsText(ComputeKeywords(Store())); }
std::string CQuorlet3Doc::ReportPages(int nOrder) const { return FormatPagesText(ComputePages(Store(), nOrder)); }

}  // namespace quorlet3
