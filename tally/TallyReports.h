// Tally reports: links and browser strings, hosts by domain class, keywords, viewed pages.
// Every result holds views into the line store it was computed from.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "logstore/LineStore.h"
#include "tally/ValueTally.h"

namespace quorlet3 {

// The link (nMarker 5) or browser (nMarker 4) tally.
struct ValueTallyResult {
    int nMarker = 0;               // 4 or 5; any other value gives an empty report
    int total = 0;                 // lines of that marker
    int nameless = 0;              // of them, lines with no value
    std::vector<ValueCount> rows;  // ascending multibyte order
};
ValueTallyResult ComputeValueTally(const LineStore& store, int nMarker);
std::string FormatValueTallyText(const ValueTallyResult& result);

// Japanese second-level domains that get a section of their own, in report order;
// every other host goes to the last section, kOtherDomain.
inline constexpr std::array<std::string_view, 6> kDomainClassNames = {"ac.jp", "co.jp", "or.jp",
                                                                      "ad.jp", "ne.jp", "other"};
inline constexpr int kOtherDomain = 5;

struct HostsResult {
    int total = 0;
    int nameless = 0;
    // Every non-empty host, one entry per access, in ascending multibyte order per class.
    std::array<std::vector<std::string_view>, kOtherDomain + 1> classes;
};
HostsResult ComputeHosts(const LineStore& store);
std::string FormatHostsText(const HostsResult& result);

struct KeywordsResult {
    std::vector<std::string_view> queries;  // from the first "?" of each referring address on
};
KeywordsResult ComputeKeywords(const LineStore& store);
std::string FormatKeywordsText(const KeywordsResult& result);

struct PagesResult {
    int nOrder = 0;                // 1 by name, 2 by count; any other value is reported as a bad call
    int total = 0;                 // page-name lines
    std::vector<ValueCount> rows;  // in the order asked for; empty for a bad order
};
PagesResult ComputePages(const LineStore& store, int nOrder);
std::string FormatPagesText(const PagesResult& result);

}  // namespace quorlet3
