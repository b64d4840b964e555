// Per-page access days: the page name list and the days on which one page was viewed.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "logstore/Accumulator.h"
#include "logstore/LineStore.h"
#include "tally/ValueTally.h"

namespace quorlet3 {

inline constexpr int kPageNameSlots = 300;
// Distinct page names in ascending multibyte order, empty strings after them.
using PageNameList = std::array<std::string, kPageNameSlots>;

// The page names one a line, up to the first empty one (the command-line listing).
std::string FormatPageNamesText(std::span<const std::string> pages);

// The distinct non-empty page names in ascending multibyte order: over the store the
// first 300 in order of appearance, the page picker's list.
struct PageNamesResult {
    std::vector<std::string> names;
};

class PageNamesAccumulator {
public:
    std::string_view Marker() const { return kMarker6; }
    explicit PageNamesAccumulator(TableLimits limits) : m_names(limits.valueSlots) {}
    void Step(std::span<const Slot> batch);
    void Merge(PageNamesAccumulator& later) { m_names.Merge(later.m_names); }
    PageNamesAccumulator Fresh() const { return PageNamesAccumulator({m_names.Slots()}); }
    template <class Ar>
    void Keep(Ar& ar) {
        ar(m_names);
    }
    PageNamesResult Finish(const WalkEnd& end);

private:
    ValueTally m_names;
};

PageNamesResult ComputePageNames(const LineStore& store);

// The page picker's list: the names of ComputePageNames, empty strings after them.
void FillPageNameList(const PageNamesResult& names, PageNameList& pages);

// Counts for the days 1 to 31 of the month, day 1 first.
using DayCounts = std::array<long long, 31>;

struct PageDaysResult {
    std::string page;       // cp932, as asked for
    long long total = 0;    // views on days 1 to 31
    DayCounts days{};       // day 1 first
    bool wholeLog = false;  // over a whole log: the text scales its bars to fit
    template <class Ar>
    void Keep(Ar& ar) {
        ar(page, total, days);
    }
};

// Counts one view of a page whose time stamp is the slot after its name line, whatever
// that slot holds: a day outside 1 to 31 counts nowhere.
void CountPageDay(PageDaysResult& days, std::string_view timeStamp);
// Adds the counts of a later part of the log.
void AddPageDays(PageDaysResult& days, const PageDaysResult& later);

// Counts the days on which one page was viewed: its name line, then the day of the slot after it.
class PageDaysAccumulator {
public:
    std::string_view Marker() const { return kMarker6; }
    explicit PageDaysAccumulator(std::string_view page, TableLimits limits = TableLimits::Store());
    void Step(std::span<const Slot> batch);
    void Merge(PageDaysAccumulator& later);
    PageDaysAccumulator Fresh() const { return PageDaysAccumulator(m_result.page, {0, m_result.wholeLog}); }
    template <class Ar>
    void Keep(Ar& ar) {
        ar(m_result.total, m_result.days);
    }
    PageDaysResult Finish(const WalkEnd&) { return std::move(m_result); }

private:
    PageDaysResult m_result;
    std::string m_pageLine;  // the name line to look for, marker included
};

PageDaysResult ComputePageDays(const LineStore& store, std::string_view page);
std::string FormatPageDaysText(const PageDaysResult& result);

}  // namespace quorlet3
