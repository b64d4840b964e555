// Per-page access days: the page name list and the days on which one page was viewed.
#include "pagedays/PageDays.h"

#include <algorithm>

#include "encoding/MultibyteOrder.h"
#include "logstore/ReadingRules.h"
#include "logstore/ReportText.h"

namespace quorlet3 {

void PageNamesAccumulator::Step(std::span<const Slot> batch) {
    for (const Slot& s : batch) {
        if (HasMarker(s.line, kMarker6) && s.line.size() > kMarker6.size()) {
            m_names.Add(Content(s.line));
        }
    }
}

PageNamesResult PageNamesAccumulator::Finish(const WalkEnd&) {
    PageNamesResult result;
    for (const ValueCount& name : m_names.Ascending()) {
        result.names.emplace_back(name.value);
    }
    return result;
}

PageNamesResult ComputePageNames(const LineStore& store) {
    return ComputeOverStore(store, PageNamesAccumulator(TableLimits::Store()));
}

void FillPageNameList(const PageNamesResult& names, PageNameList& pages) {
    pages.fill(std::string());
    const size_t n = std::min(names.names.size(), pages.size());
    std::copy_n(names.names.begin(), n, pages.begin());
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

PageDaysAccumulator::PageDaysAccumulator(std::string_view page, TableLimits limits)
    : m_pageLine(std::string(kMarker6) + std::string(page)) {
    m_result.page = std::string(page);
    m_result.wholeLog = limits.wholeLog;
}

void CountPageDay(PageDaysResult& days, std::string_view timeStamp) {
    const int day = DayOf(timeStamp);
    if (IsDayInRange(day)) {
        ++days.days[static_cast<size_t>(day - 1)];
        ++days.total;
    }
}

void AddPageDays(PageDaysResult& days, const PageDaysResult& later) {
    days.total += later.total;
    for (size_t d = 0; d < days.days.size(); ++d) {
        days.days[d] += later.days[d];
    }
}

void PageDaysAccumulator::Step(std::span<const Slot> batch) {
    for (const Slot& s : batch) {
        if (s.line == m_pageLine) {
            CountPageDay(m_result, s.next);
        }
    }
}

void PageDaysAccumulator::Merge(PageDaysAccumulator& later) { AddPageDays(m_result, later.m_result); }

PageDaysResult ComputePageDays(const LineStore& store, std::string_view page) {
    return ComputeOverStore(store, PageDaysAccumulator(page));
}

std::string FormatPageDaysText(const PageDaysResult& result) {
    std::string text = "ページ別アクセス日調査\t"_sj;
    text += result.page;
    text += '\t';
    AppendFormat(text, "%lld回\r\n"_sjf, result.total);
    long long unit = 1;
    if (result.wholeLog) {
        unit = BarUnit(*std::max_element(result.days.begin(), result.days.end()));
        AppendBarUnitLine(text, '*', unit, "回"_sj);
    }
    text += "\r\n";
    for (int d = 1; d <= 31; ++d) {
        const long long count = result.days[static_cast<size_t>(d - 1)];
        AppendFormat(text, "%d\t%lld\t", d, count);
        AppendScaledBar(text, '*', count, unit);
        text += "\r\n";
    }
    return text;
}

}  // namespace quorlet3
