// Per-page access days: the page name list and the days on which one page was viewed.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "logstore/LineStore.h"

namespace quorlet3 {

inline constexpr int kPageNameSlots = 300;
// Distinct page names in ascending multibyte order, empty strings after them.
using PageNameList = std::array<std::string, kPageNameSlots>;

// Fills pages with the first 300 distinct non-empty page names of the store, sorted.
void CollectPageNames(const LineStore& store, PageNameList& pages);

// The page names one a line, up to the first empty one (the command-line listing).
std::string FormatPageNamesText(std::span<const std::string> pages);

// The page names as a report of their own: the list without its empty slots.
struct PageNamesResult {
    std::vector<std::string> names;
};

// Counts for the days 1 to 31 of the month, day 1 first.
using DayCounts = std::array<int, 31>;

struct PageDaysResult {
    std::string page;  // cp932, as asked for
    int total = 0;     // views on days 1 to 31
    DayCounts days{};  // day 1 first
};

PageDaysResult ComputePageDays(const LineStore& store, std::string_view page);
std::string FormatPageDaysText(const PageDaysResult& result);

}  // namespace quorlet3
