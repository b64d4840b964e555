// The browser share's counters and their computation over the line store.
#pragma once

#include <array>
#include <string>

#include "logstore/Accumulator.h"
#include "logstore/LineStore.h"

namespace quorlet3 {

// Eight share counters: 0 other, 1-3 MSIE 2.0/3.0/4.0, 4-6 NN 2.0/3.0/4.0, 7 total.
using ShareCounters = std::array<long long, 8>;

// Indices of the share counters.
inline constexpr int kShareOther = 0;
inline constexpr int kShareMsie20 = 1;
inline constexpr int kShareMsie30 = 2;
inline constexpr int kShareMsie40 = 3;
inline constexpr int kShareNn20 = 4;
inline constexpr int kShareNn30 = 5;
inline constexpr int kShareNn40 = 6;
inline constexpr int kShareTotal = 7;

// count * 100 / total, truncated; 0 when total is 0.
int SharePercent(long long count, long long total);

// The browser lines of one store sorted into the seven classes.
struct ShareResult {
    long long lines = 0;       // browser lines walked
    ShareCounters counters{};  // the seven classes, total in kShareTotal
    template <class Ar>
    void Keep(Ar& ar) {
        ar(lines, counters);
    }
};

// Sorts the browser lines into the seven classes.
class ShareAccumulator {
public:
    std::string_view Marker() const { return kMarker4; }
    void Step(std::span<const Slot> batch);
    void Merge(ShareAccumulator& later);
    ShareAccumulator Fresh() const { return {}; }
    template <class Ar>
    void Keep(Ar& ar) {
        ar(m_share);
    }
    ShareResult Finish(const WalkEnd& end);

private:
    ShareResult m_share;
};

// Classifies every browser line of the store.
ShareResult ComputeShare(const LineStore& store);

// Adds the classes of a result to a caller's running counters; the total slot then
// grows by the sum of all seven classes as they stand after the addition.
void AddShare(ShareCounters& nShare, const ShareResult& share);

// The share report: the line count of this store, then the shares of the counters.
std::string FormatShareText(long long lines, const ShareCounters& nShare);

// The three family shares the text ends with, in its order.
struct ShareFamilies {
    int msieNn30Up;  // MSIE and NN 3.0 or later
    int msie30Up;    // MSIE 3.0 or later
    int netscape;    // every NN version
};
ShareFamilies ShareFamilyPercents(const ShareCounters& nShare);

}  // namespace quorlet3
