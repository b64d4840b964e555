// Tally reports: links and browser strings, hosts by domain class, keywords, viewed pages.
// Every result holds views into its own backing, so it stands on its own.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "logstore/Accumulator.h"
#include "logstore/LineStore.h"
#include "tally/ValueTally.h"

namespace quorlet3 {

// Which lines the value tally counts: the browser strings or the referring addresses.
enum class TallyField { Browsers, Links };

// The link or browser tally.
struct ValueTallyResult {
    TallyField field = TallyField::Links;
    long long total = 0;           // lines of that field
    long long nameless = 0;        // of them, lines with no value
    std::vector<ValueCount> rows;  // ascending multibyte order
    ResultBacking backing;
};

class ValueTallyAccumulator {
public:
    std::string_view Marker() const { return m_field == TallyField::Browsers ? kMarker4 : kMarker5; }
    ValueTallyAccumulator(TallyField field, TableLimits limits);
    void Step(std::span<const Slot> batch);
    void Merge(ValueTallyAccumulator& later);
    ValueTallyAccumulator Fresh() const { return {m_field, {m_tally.Slots()}}; }
    template <class Ar>
    void Keep(Ar& ar) {
        ar(m_total, m_nameless, m_tally);
    }
    ValueTallyResult Finish(const WalkEnd& end);

private:
    TallyField m_field;
    long long m_total = 0;
    long long m_nameless = 0;
    ValueTally m_tally;
};

ValueTallyResult ComputeValueTally(const LineStore& store, TallyField field);
std::string FormatValueTallyText(const ValueTallyResult& result);

// Japanese second-level domains that get a section of their own, in report order;
// every other host goes to the last section, kOtherDomain.
inline constexpr std::array<std::string_view, 6> kDomainClassNames = {"ac.jp", "co.jp", "or.jp",
                                                                      "ad.jp", "ne.jp", "other"};
inline constexpr int kOtherDomain = 5;

struct HostsResult {
    long long total = 0;
    long long nameless = 0;
    // Every distinct non-empty host with its accesses, in ascending multibyte order per
    // class. The text over the store lists a host once per access, so equal hosts stand
    // together; over a whole log, once with its count.
    std::array<std::vector<ValueCount>, kOtherDomain + 1> classes;
    ResultBacking backing;
    bool wholeLog = false;
};

class HostsAccumulator {
public:
    std::string_view Marker() const { return kMarker3; }
    void Step(std::span<const Slot> batch);
    void Merge(HostsAccumulator& later);
    explicit HostsAccumulator(TableLimits limits = TableLimits::Store()) : m_wholeLog(limits.wholeLog) {}
    HostsAccumulator Fresh() const { return HostsAccumulator({0, m_wholeLog}); }
    template <class Ar>
    void Keep(Ar& ar) {
        ar(m_total, m_nameless, m_hosts);
    }
    HostsResult Finish(const WalkEnd& end);

private:
    bool m_wholeLog;
    long long m_total = 0;
    long long m_nameless = 0;
    ValueTally m_hosts{static_cast<size_t>(-1)};  // a host list has no fixed size
};

HostsResult ComputeHosts(const LineStore& store);
std::string FormatHostsText(const HostsResult& result);

// The domain class of a host, an index into kDomainClassNames.
int DomainClassOf(std::string_view host);

// The query parts of the referring addresses. Each distinct query is kept once, in order
// of first appearance, with the number of lines that gave it; over the store the order
// lists every query by index, in log order, for the text's listing.
struct KeywordsResult {
    std::vector<std::string_view> distinct;
    std::vector<long long> counts;     // one per distinct query
    std::vector<std::uint32_t> order;  // over the store: one index into distinct per query, in log order
    ResultBacking backing;
    bool wholeLog = false;  // over a whole log: no order, the text lists each query once with its count

    size_t size() const { return order.size(); }
    bool empty() const { return order.empty(); }
    std::string_view operator[](size_t i) const { return distinct[order[i]]; }
};

class KeywordsAccumulator {
public:
    std::string_view Marker() const { return kMarker5; }
    void Step(std::span<const Slot> batch);
    void Merge(KeywordsAccumulator& later);
    explicit KeywordsAccumulator(TableLimits limits = TableLimits::Store()) : m_wholeLog(limits.wholeLog) {}
    KeywordsAccumulator Fresh() const { return KeywordsAccumulator({0, m_wholeLog}); }
    template <class Ar>
    void Keep(Ar& ar) {
        if constexpr (Ar::kLoading) {
            m_distinct.clear();
            m_indexOf.clear();
            const size_t count = ar.Count();
            for (size_t i = 0; i < count; ++i) {
                IndexOf(ar.Text());
            }
        } else {
            ar(m_distinct);
        }
        ar(m_counts, m_order);
        if (m_counts.size() != m_distinct.size()) {
            throw StateError("keywords and counts differ");
        }
        for (const std::uint32_t index : m_order) {
            if (index >= m_distinct.size()) {
                throw StateError("a keyword out of range");
            }
        }
    }
    KeywordsResult Finish(const WalkEnd& end);

private:
    std::uint32_t IndexOf(std::string_view query);

    bool m_wholeLog;
    std::shared_ptr<StringArena> m_texts = std::make_shared<StringArena>();
    std::vector<std::string_view> m_distinct;
    std::vector<long long> m_counts;
    std::unordered_map<std::string_view, std::uint32_t, TallyTextHash> m_indexOf;
    std::vector<std::uint32_t> m_order;
};

KeywordsResult ComputeKeywords(const LineStore& store);
std::string FormatKeywordsText(const KeywordsResult& result);

// The order of the viewed-pages report: by name, or most viewed first.
enum class PageOrder { Name, Ranking };

struct PagesResult {
    PageOrder order = PageOrder::Name;
    long long total = 0;           // page-name lines
    std::vector<ValueCount> rows;  // in the order asked for
    ResultBacking backing;
    bool wholeLog = false;  // over a whole log: the text scales its bars to fit
};

class PagesAccumulator {
public:
    std::string_view Marker() const { return kMarker6; }
    PagesAccumulator(PageOrder order, TableLimits limits);
    void Step(std::span<const Slot> batch);
    void Merge(PagesAccumulator& later);
    PagesAccumulator Fresh() const { return {m_order, {m_tally.Slots(), m_wholeLog}}; }
    template <class Ar>
    void Keep(Ar& ar) {
        ar(m_total, m_tally);
    }
    PagesResult Finish(const WalkEnd& end);

private:
    PageOrder m_order;
    bool m_wholeLog;
    long long m_total = 0;
    ValueTally m_tally;
};

PagesResult ComputePages(const LineStore& store, PageOrder order);
std::string FormatPagesText(const PagesResult& result);

}  // namespace quorlet3
