// A generated log with the variety the whole-log tests need.
#pragma once

#include <iterator>
#include <random>
#include <string>

#include "encoding/Cp932Literal.h"
#include "tests/support/TestLog.h"

namespace quorlet3::test {

// A varied log of n records: main-page and page records with several hosts, browsers,
// referring addresses (some with spaces and queries), pages, days and hours, and now
// and then a fault: a broken record, an empty line, a guest-number gap, a lone CR.
inline std::string VariedLog(int records, unsigned seed) {
    static const char* const kHosts[] = {"a.ac.jp", "b.co.jp", "c.ne.jp", "", "10.0.0.1", "D.AC.JP"};
    static const char* const kBrowsers[] = {"Mozilla/4.0 (compatible; MSIE 4.01; Windows 95)",
                                            "Mozilla/2.0 (compatible; MSIE 3.02; Windows 95)",
                                            "Mozilla/3.01 (Win95; I)", ""};
    static const char* const kLinks[] = {"http://x.co.jp/", "http://s.jp/find?q=a b&x=1", "", "http://s.jp/?p=%C6%FC"};
    static const char* const kPages[] = {"index.html", "日記.html", "a b.html", ""};
    std::mt19937 random(seed);
    auto pick = [&](auto& items) { return std::string(items[random() % std::size(items)]); };
    std::string log;
    int guest = 1000;
    for (int r = 0; r < records; ++r) {
        const std::string day = std::to_string(10 + static_cast<int>(random() % 20));
        const std::string hour = std::to_string(10 + static_cast<int>(random() % 14));
        const std::string stamp =
            (random() % 2 != 0 ? "Monday, " + day + "-Jul-1998 " : "Monday, " + day + "-Jul-98 ") + hour + ":04:05 JST";
        if (random() % 3 == 0) {
            log += Cp932("⑥" + pick(kPages)) + "\r\n" + Cp932("⑦") + stamp + "\r\n";
        } else {
            guest += random() % 40 == 0 ? 5 : 1;
            log += Cp932("①") + std::to_string(guest) + "\r\n" + Cp932("②") + stamp + "\r\n";
            log += Cp932("③") + pick(kHosts) + "\r\n" + Cp932("④") + pick(kBrowsers) + "\n";
            if (random() % 25 != 0) {
                log += Cp932("⑤") + pick(kLinks) + "\r\n";
            }
        }
        if (random() % 50 == 0) {
            log += random() % 2 != 0 ? "\r\n" : "stray\rline\r\n";
        }
    }
    return log;
}

}  // namespace quorlet3::test
