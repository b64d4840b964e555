// quorlet3-samplegen: writes a realistic hit-counter log (cp932, CR LF) for demos, tests
// and benchmarks: main-page records with rising guest numbers, page records, and on
// request a few typical faults for the file check to find.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "encoding/Cp932Literal.h"

using namespace quorlet3::literals;

namespace {

// Small deterministic generator, so the same seed always gives the same log.
class Random {
public:
    explicit Random(unsigned long long seed) : state_(seed * 6364136223846793005ULL + 1442695040888963407ULL) {}
    unsigned Next(unsigned bound) {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<unsigned>((state_ >> 33) % bound);
    }
    template <class T, size_t N>
    const T& Pick(const T (&items)[N]) {
        return items[Next(N)];
    }

private:
    unsigned long long state_;
};

const char* const kWeekdays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

const char* const kHosts[] = {
    "ppp041.tokyo.ocn.ne.jp",
    "dialup12.osaka.so-net.or.jp",
    "gw.fujitsu.co.jp",
    "proxy.nec.co.jp",
    "ws3.is.s.u-tokyo.ac.jp",
    "pc12.kyoto-u.ac.jp",
    "tky1-12.nifty.ad.jp",
    "ns.jpnic.ad.jp",
    "p21-dn01kobe.hyogo.ocn.ne.jp",
    "cache.dion.ne.jp",
    "www.city.sapporo.or.jp",
    "203.139.162.5",
    "proxy.aol.com",
    "host7.example.net",
    "",
};

const char* const kBrowsers[] = {
    "Mozilla/4.0 (compatible; MSIE 4.01; Windows 95)",
    "Mozilla/4.0 (compatible; MSIE 4.01; Windows 98)",
    "Mozilla/4.0 (compatible; MSIE 4.0; Windows NT)",
    "Mozilla/2.0 (compatible; MSIE 3.02; Windows 95)",
    "Mozilla/2.0 (compatible; MSIE 3.01; Windows 95)",
    "Mozilla/1.22 (compatible; MSIE 2.0; Windows 95)",
    "Mozilla/4.05 [ja] (Win95; I)",
    "Mozilla/4.01 [ja] (Win95; I)",
    "Mozilla/3.01 [ja] (Win95; I)",
    "Mozilla/3.0 (Macintosh; I; PPC)",
    "Mozilla/2.02 [ja] (Macintosh; I; PPC)",
    "Mozilla/4.5 [ja] (Macintosh; I; PPC)",
    "DoCoMo/1.0/P501i",
    "",
};

const char* const kReferrers[] = {
    "",
    "",
    "http://www.yahoo.co.jp/Entertainment/",
    "http://search.yahoo.co.jp/bin/search?p=%C6%FC%B5%AD",
    "http://www.goo.ne.jp/default.asp?MT=%BB%A8%B2%DF&SM=MC&DC=10",
    "http://www.infoseek.co.jp/Titles?qt=日記 リンク&col=JW&svx=100600"_sj,
    "http://www.excite.co.jp/search.gw?search=旅行 温泉&lk=excite_jp"_sj,
    "http://www2.freeweb.ne.jp/~taro/link.html",
    "http://members.tripod.co.jp/hanako/",
    "file:///C|/My Documents/bookmark.htm",
};

const char* const kPages[] = {
    "日記.html"_sj,         "リンク集.html"_sj, "プロフィール.html"_sj, "掲示板"_sj, "index2.html",
    "photo/旅行記.html"_sj, "bbs.cgi",
};

struct Clock {
    int year = 1998;
    int month = 6;  // 0-based
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int weekday = 3;          // 1 July 1998 was a Wednesday
    unsigned maxStep = 5400;  // seconds between two records at most

    static int DaysIn(int year, int month) {
        static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
        return month == 1 && leap ? 29 : kDays[month];
    }

    void Advance(Random& random) {
        second += static_cast<int>(random.Next(maxStep));
        minute += second / 60;
        second %= 60;
        hour += minute / 60;
        minute %= 60;
        while (hour >= 24) {
            hour -= 24;
            weekday = (weekday + 1) % 7;
            if (++day > DaysIn(year, month)) {
                day = 1;
                if (++month == 12) {
                    month = 0;
                    ++year;
                }
            }
        }
    }

    // "Wednesday, 15-Jul-98 13:45:12 JST", or with a four-digit year.
    std::string Text(bool longYear) const {
        char text[64];
        std::snprintf(text, sizeof text, "%s, %02d-%s-%0*d %02d:%02d:%02d JST", kWeekdays[weekday], day, kMonths[month],
                      longYear ? 4 : 2, longYear ? year : year % 100, hour, minute, second);
        return text;
    }
};

struct Options {
    int lines = 1500;
    unsigned long long seed = 1;
    bool faults = false;
    const char* output = nullptr;
};

int Usage() {
    std::fputs("Usage: quorlet3-samplegen [--lines N] [--seed S] [--faults] [--output FILE]\n", stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--lines") == 0 && i + 1 < argc) {
            options.lines = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--seed") == 0 && i + 1 < argc) {
            options.seed = std::strtoull(argv[++i], nullptr, 10);
        } else if (std::strcmp(argv[i], "--faults") == 0) {
            options.faults = true;
        } else if (std::strcmp(argv[i], "--output") == 0 && i + 1 < argc) {
            options.output = argv[++i];
        } else {
            return Usage();
        }
    }
    std::FILE* out = options.output ? std::fopen(options.output, "wb") : stdout;
    if (out == nullptr) {
        std::perror(options.output);
        return 1;
    }
    Random random(options.seed);
    Clock clock;
    // A long log covers some five years at most, so that its two-digit years stay in one
    // century and its dates rise through the file as a counter's do.
    const double records = options.lines / 3.6;
    const double span = 5.0 * 365 * 86400;
    clock.maxStep = static_cast<unsigned>(std::clamp(2 * span / std::max(records, 1.0), 2.0, 5400.0));
    int guest = 1200 + static_cast<int>(random.Next(800));
    int written = 0;
    int record = 0;
    auto line = [&](const std::string& text) {
        if (written < options.lines) {
            std::fputs(text.c_str(), out);
            std::fputs("\r\n", out);
            ++written;
        }
    };
    while (written < options.lines) {
        clock.Advance(random);
        const std::string stamp = clock.Text(random.Next(3) == 0);
        ++record;
        // Faults, each a few times in a long log: a skipped guest number, a record
        // cut short, a blank line and a lone page time stamp.
        const bool fault = options.faults && record % 97 == 0;
        const unsigned faultKind = static_cast<unsigned>(record / 97 % 4);
        if (random.Next(5) < 2 || (fault && faultKind < 2)) {
            line(std::string("①"_sj) + std::to_string(guest++));
            if (fault && faultKind == 0) {
                guest += 1 + static_cast<int>(random.Next(3));
            }
            line(std::string("②"_sj) + stamp);
            line(std::string("③"_sj) + random.Pick(kHosts));
            if (!(fault && faultKind == 1)) {
                line(std::string("④"_sj) + random.Pick(kBrowsers));
                line(std::string("⑤"_sj) + random.Pick(kReferrers));
            }
        } else {
            line(std::string("⑥"_sj) + random.Pick(kPages));
            line(std::string("⑦"_sj) + stamp);
        }
        if (fault && faultKind == 2) {
            line("");
        }
        if (fault && faultKind == 3) {
            line(std::string("⑦"_sj) + stamp);
        }
    }
    if (out != stdout && std::fclose(out) != 0) {
        std::perror(options.output);
        return 1;
    }
    return 0;
}
