// Tally reports: links and browser strings, hosts by domain class, keywords, viewed pages.
#include <algorithm>

#include "encoding/MultibyteOrder.h"
#include "logstore/ReadingRules.h"
#include "logstore/ReportText.h"
#include "tally/TallyReports.h"

namespace quorlet3 {
namespace {

// Steps the lines of one marker: counts them and hands every non-empty value to take.
template <class Take>
void ForEachValueOf(std::span<const Slot> batch, std::string_view marker, long long& total, long long& nameless,
                    Take&& take) {
    for (const Slot& s : batch) {
        if (!HasMarker(s.line, marker)) {
            continue;
        }
        ++total;
        const std::string_view value = Content(s.line);
        if (value.empty()) {
            ++nameless;
        } else {
            take(value);
        }
    }
}

std::string_view MarkerOf(TallyField field) { return field == TallyField::Browsers ? kMarker4 : kMarker5; }

void AppendValueRow(std::string& text, const ValueCount& row, const char* after) {
    AppendFormat(text, "%lld\t%.*s", row.count, static_cast<int>(row.value.size()), row.value.data());
    text += after;
}

}  // namespace

int DomainClassOf(std::string_view host) {
    const std::string_view key = Right(host, 5);
    for (int k = 0; k < kOtherDomain; ++k) {
        if (key == kDomainClassNames[static_cast<size_t>(k)]) {
            return k;
        }
    }
    return kOtherDomain;
}

ValueTallyAccumulator::ValueTallyAccumulator(TallyField field, TableLimits limits)
    : m_field(field), m_tally(limits.valueSlots) {}

void ValueTallyAccumulator::Step(std::span<const Slot> batch) {
    ForEachValueOf(batch, MarkerOf(m_field), m_total, m_nameless, [&](std::string_view v) { m_tally.Add(v); });
}

void ValueTallyAccumulator::Merge(ValueTallyAccumulator& later) {
    m_total += later.m_total;
    m_nameless += later.m_nameless;
    m_tally.Merge(later.m_tally);
}

ValueTallyResult ValueTallyAccumulator::Finish(const WalkEnd&) {
    return {m_field, m_total, m_nameless, m_tally.Ascending(), m_tally.Backing()};
}

ValueTallyResult ComputeValueTally(const LineStore& store, TallyField field) {
    return ComputeOverStore(store, ValueTallyAccumulator(field, TableLimits::Store()));
}

std::string FormatValueTallyText(const ValueTallyResult& result) {
    std::string text;
    if (result.field == TallyField::Browsers) {
        AppendFormat(text, "ブラウザ調査 \t%lld 回\r\n\r\n無名  %lld 個です。\r\n\r\n"_sjf, result.total,
                     result.nameless);
    } else {
        AppendFormat(text, "Ｌｉｎｋ調査 \t%lld 回\r\n\r\n無名  %lld 個です。\r\n\r\n"_sjf, result.total,
                     result.nameless);
    }
    for (const ValueCount& row : result.rows) {
        AppendValueRow(text, row, "\r\n");
    }
    return text;
}

void HostsAccumulator::Step(std::span<const Slot> batch) {
    ForEachValueOf(batch, kMarker3, m_total, m_nameless, [&](std::string_view host) { m_hosts.Add(host); });
}

void HostsAccumulator::Merge(HostsAccumulator& later) {
    m_total += later.m_total;
    m_nameless += later.m_nameless;
    m_hosts.Merge(later.m_hosts);
}

HostsResult HostsAccumulator::Finish(const WalkEnd&) {
    // Sorted as one list, then split by class, so each section is in ascending order.
    HostsResult result;
    result.total = m_total;
    result.nameless = m_nameless;
    for (const ValueCount& host : m_hosts.Ascending()) {
        result.classes[static_cast<size_t>(DomainClassOf(host.value))].push_back(host);
    }
    result.backing = m_hosts.Backing();
    result.wholeLog = m_wholeLog;
    return result;
}

HostsResult ComputeHosts(const LineStore& store) { return ComputeOverStore(store, HostsAccumulator()); }

std::string FormatHostsText(const HostsResult& result) {
    std::string text = "ホスト調査\t"_sj;
    AppendFormat(text, "%lld 回\r\n\r\n無名　%lld　個です。\r\n\r\n"_sjf, result.total, result.nameless);
    for (size_t k = 0; k < result.classes.size(); ++k) {
        text += "\t\t----------  ";
        text += kDomainClassNames[k];
        text += "  ----------\r\n";
        for (const ValueCount& host : result.classes[k]) {
            if (result.wholeLog) {
                AppendValueRow(text, host, "\r\n");
                continue;
            }
            for (long long n = 0; n < host.count; ++n) {
                text += host.value;
                text += "\r\n";
            }
        }
    }
    return text;
}

std::uint32_t KeywordsAccumulator::IndexOf(std::string_view query) {
    auto it = m_indexOf.find(query);
    if (it != m_indexOf.end()) {
        return it->second;
    }
    const std::string_view kept = m_texts->Keep(query);
    const auto index = static_cast<std::uint32_t>(m_distinct.size());
    m_distinct.push_back(kept);
    m_counts.push_back(0);
    m_indexOf.emplace(kept, index);
    return index;
}

void KeywordsAccumulator::Step(std::span<const Slot> batch) {
    for (const Slot& s : batch) {
        if (!HasMarker(s.line, kMarker5)) {
            continue;
        }
        const size_t query = FindMultibyte(s.line, '?');
        if (query != std::string_view::npos) {
            const std::uint32_t index = IndexOf(s.line.substr(query));
            ++m_counts[index];
            if (!m_wholeLog) {
                m_order.push_back(index);
            }
        }
    }
}

void KeywordsAccumulator::Merge(KeywordsAccumulator& later) {
    std::vector<std::uint32_t> remap;
    remap.reserve(later.m_distinct.size());
    for (size_t i = 0; i < later.m_distinct.size(); ++i) {
        remap.push_back(IndexOf(later.m_distinct[i]));
        m_counts[remap.back()] += later.m_counts[i];
    }
    // No reserve of the exact size here: merged part by part, the list would be copied at every merge.
    for (std::uint32_t index : later.m_order) {
        m_order.push_back(remap[index]);
    }
}

KeywordsResult KeywordsAccumulator::Finish(const WalkEnd&) {
    return {std::move(m_distinct), std::move(m_counts), std::move(m_order), m_texts, m_wholeLog};
}

KeywordsResult ComputeKeywords(const LineStore& store) { return ComputeOverStore(store, KeywordsAccumulator()); }

std::string FormatKeywordsText(const KeywordsResult& result) {
    std::string text = "キーワード調査\r\n\r\n"_sj;
    if (result.wholeLog) {
        for (size_t i = 0; i < result.distinct.size(); ++i) {
            AppendFormat(text, "%lld\t%.*s\r\n", result.counts[i], static_cast<int>(result.distinct[i].size()),
                         result.distinct[i].data());
        }
        return text;
    }
    for (size_t i = 0; i < result.size(); ++i) {
        text += result[i];
        text += "\r\n";
    }
    return text;
}

PagesAccumulator::PagesAccumulator(PageOrder order, TableLimits limits)
    : m_order(order), m_wholeLog(limits.wholeLog), m_tally(limits.valueSlots) {}

void PagesAccumulator::Step(std::span<const Slot> batch) {
    long long nameless = 0;  // empty page names count in the total only
    ForEachValueOf(batch, kMarker6, m_total, nameless, [&](std::string_view page) { m_tally.Add(page); });
}

void PagesAccumulator::Merge(PagesAccumulator& later) {
    m_total += later.m_total;
    m_tally.Merge(later.m_tally);
}

PagesResult PagesAccumulator::Finish(const WalkEnd&) {
    PagesResult result{m_order, m_total, m_tally.Ascending(), m_tally.Backing(), m_wholeLog};
    if (m_order == PageOrder::Ranking) {
        // Most viewed first; among equal counts the page first in name order.
        std::stable_sort(result.rows.begin(), result.rows.end(),
                         [](const ValueCount& a, const ValueCount& b) { return a.count > b.count; });
    }
    return result;
}

PagesResult ComputePages(const LineStore& store, PageOrder order) {
    return ComputeOverStore(store, PagesAccumulator(order, TableLimits::Store()));
}

std::string FormatPagesText(const PagesResult& result) {
    std::string text = "見たページ\t"_sj;
    AppendFormat(text, "合計 %lld ページ\r\n"_sjf, result.total);
    long long unit = 1;
    if (result.wholeLog) {
        long long largest = 0;
        for (const ValueCount& row : result.rows) {
            largest = std::max(largest, row.count);
        }
        unit = BarUnit(largest);
        AppendBarUnitLine(text, '+', unit, "ページ"_sj);
    }
    text += "\r\n";
    for (const ValueCount& row : result.rows) {
        AppendValueRow(text, row, "    \t");
        AppendScaledBar(text, '+', row.count, unit);
        text += "\r\n";
    }
    return text;
}

}  // namespace quorlet3
