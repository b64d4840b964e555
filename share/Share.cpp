// Browser share: sorts browser strings into seven classes by prefix and reports the shares.
#include "logstore/ReadingRules.h"
#include "logstore/ReportText.h"
#include "share/ShareCounters.h"

namespace quorlet3 {
namespace {

// Tested in this order: the MSIE forms also begin like a Netscape form.
struct BrowserPrefix {
    std::string_view prefix;  // marker included
    int counter;
};
const BrowserPrefix kBrowserPrefixes[] = {
    {"④Mozilla/1.22 (compatible; MSIE 2.0"_sj, kShareMsie20},
    {"④Mozilla/2.0 (compatible; MSIE 3.0"_sj, kShareMsie30},
    {"④Mozilla/4.0 (compatible; MSIE 4.0"_sj, kShareMsie40},
    {"④Mozilla/2.0"_sj, kShareNn20},
    {"④Mozilla/3.0"_sj, kShareNn30},
    {"④Mozilla/4.0"_sj, kShareNn40},
};

int BrowserClassOf(std::string_view line) {
    for (const BrowserPrefix& p : kBrowserPrefixes) {
        if (line.starts_with(p.prefix)) {
            return p.counter;
        }
    }
    return kShareOther;
}

}  // namespace

int SharePercent(int count, int total) { return total == 0 ? 0 : count * 100 / total; }

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
    const int total = nShare[kShareTotal];
    return {
        SharePercent(nShare[kShareMsie30] + nShare[kShareMsie40] + nShare[kShareNn30] + nShare[kShareNn40], total),
        SharePercent(nShare[kShareMsie30] + nShare[kShareMsie40], total),
        SharePercent(nShare[kShareNn20] + nShare[kShareNn30] + nShare[kShareNn40], total),
    };
}

std::string FormatShareText(int lines, const ShareCounters& nShare) {
    std::string text = "シェア調査\t"_sj;
    AppendFormat(text, "%d 回\r\n\r\n"_sjf, lines);
    const int total = nShare[kShareTotal];
    if (total == 0) {
        text += "ブラウザについてのデータがありません。"_sj;
        return text;
    }
    auto percent = [&](int count) { return SharePercent(count, total); };
    for (int v = 2; v <= 4; ++v) {
        const int count = nShare[static_cast<size_t>(kShareMsie20 + v - 2)];
        AppendFormat(text, "MSIE%d.0\t%d\t%d ％\r\n"_sjf, v, count, percent(count));
    }
    text += "\r\n";
    for (int v = 2; v <= 4; ++v) {
        const int count = nShare[static_cast<size_t>(kShareNn20 + v - 2)];
        AppendFormat(text, " NN %d.0\t%d\t%d ％\r\n"_sjf, v, count, percent(count));
    }
    text += "\r\n";
    AppendFormat(text, "その他\t%d\t%d ％\r\n\r\n\r\n"_sjf, nShare[kShareOther], percent(nShare[kShareOther]));
    const ShareFamilies families = ShareFamilyPercents(nShare);
    AppendFormat(text, "MSIE,NN3.0以上\t%d ％\r\n"_sjf, families.msieNn30Up);
    AppendFormat(text, "MSIE 3.0以上　\t%d ％\r\n"_sjf, families.msie30Up);
    AppendFormat(text, "Netscape  　　\t%d ％\r\n"_sjf, families.netscape);
    return text;
}

}  // namespace quorlet3
