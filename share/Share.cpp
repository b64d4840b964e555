// Browser share: sorts browser strings into seven classes by prefix and reports the shares.
#include "logstore/ReadingRules.h"
#include "logstore/ReportText.h"
#include "share/ShareClasses.h"
#include "share/ShareCounters.h"

namespace quorlet3 {
namespace {

int BrowserClassOf(std::string_view line) {
    for (const ShareClass& c : kShareClasses) {
        if (line.starts_with(c.prefix)) {
            return c.counter;
        }
    }
    return kShareOther;
}

}  // namespace

int SharePercent(long long count, long long total) {
    if (total == 0) {
        return 0;
    }
    // count * 100 can pass the range of 64 bits; the quotient, at most 100, cannot.
    __extension__ using Wide = __int128;
    return static_cast<int>(static_cast<Wide>(count) * 100 / total);
}

void ShareAccumulator::Step(std::span<const Slot> batch) {
    for (const Slot& s : batch) {
        if (HasMarker(s.line, kMarker4)) {
            ++m_share.lines;
            ++m_share.counters[static_cast<size_t>(BrowserClassOf(s.line))];
        }
    }
}

void ShareAccumulator::Merge(ShareAccumulator& later) {
    m_share.lines += later.m_share.lines;
    for (int k = kShareOther; k < kShareTotal; ++k) {
        m_share.counters[static_cast<size_t>(k)] += later.m_share.counters[static_cast<size_t>(k)];
    }
}

ShareResult ShareAccumulator::Finish(const WalkEnd&) {
    m_share.counters[kShareTotal] = m_share.lines;
    return m_share;
}

ShareResult ComputeShare(const LineStore& store) { return ComputeOverStore(store, ShareAccumulator()); }

void AddShare(ShareCounters& nShare, const ShareResult& share) {
    for (int k = kShareOther; k < kShareTotal; ++k) {
        nShare[static_cast<size_t>(k)] += share.counters[static_cast<size_t>(k)];
    }
    for (int k = kShareOther; k < kShareTotal; ++k) {
        nShare[kShareTotal] += nShare[static_cast<size_t>(k)];
    }
}

ShareFamilies ShareFamilyPercents(const ShareCounters& nShare) {
    const long long total = nShare[kShareTotal];
    long long modern = 0;
    long long modernMsie = 0;
    for (const ShareClass& c : kShareClasses) {
        const long long count = nShare[static_cast<size_t>(c.counter)];
        modern += c.modern ? count : 0;
        modernMsie += c.modern && c.family == ShareFamily::Msie ? count : 0;
    }
    return {SharePercent(modern, total), SharePercent(modernMsie, total),
            SharePercent(FamilyCount(nShare, ShareFamily::Netscape), total)};
}

std::string FormatShareText(long long lines, const ShareCounters& nShare) {
    std::string text = "シェア調査\t"_sj;
    AppendFormat(text, "%lld 回\r\n\r\n"_sjf, lines);
    const long long total = nShare[kShareTotal];
    if (total == 0) {
        text += "ブラウザについてのデータがありません。"_sj;
        return text;
    }
    // One line per class, a blank line after each family, two after the last.
    for (size_t k = 0; k < kShareClasses.size(); ++k) {
        const ShareClass& c = kShareClasses[k];
        const long long count = nShare[static_cast<size_t>(c.counter)];
        AppendFormat(text, "%.*s\t%lld\t%d ％\r\n"_sjf, static_cast<int>(c.label.size()), c.label.data(), count,
                     SharePercent(count, total));
        if (k + 1 == kShareClasses.size() || kShareClasses[k + 1].family != c.family) {
            text += "\r\n";
        }
    }
    text += "\r\n";
    const ShareFamilies families = ShareFamilyPercents(nShare);
    AppendFormat(text, "MSIE,NN3.0以上\t%d ％\r\n"_sjf, families.msieNn30Up);
    AppendFormat(text, "MSIE 3.0以上　\t%d ％\r\n"_sjf, families.msie30Up);
    AppendFormat(text, "Netscape  　　\t%d ％\r\n"_sjf, families.netscape);
    return text;
}

}  // namespace quorlet3
