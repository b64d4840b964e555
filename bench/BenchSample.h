// The benchmarks' realistic store: the sample generator's 10000-line log with faults,
// the same bytes on every run (fixed seed), so that figures compare across builds.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "encoding/Cp932Literal.h"

namespace quorlet3::bench {

// Writes the generated sample to path and returns path; exits when the generator fails,
// as no benchmark can run without its store.
inline std::string GenerateSample(const std::string& path) {
    const std::string command =
        std::string("'") + QUORLET3_SAMPLEGEN + "' --lines 10000 --seed 3 --faults --output '" + path + "'";
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "cannot run %s\n", command.c_str());
        std::exit(1);
    }
    return path;
}

// The logs of the wide stores, whose tables hold many distinct values.
inline const char* const kWeekdays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
inline const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Time stamp number i: days and hours cycle through every day-and-hour cell, both year forms.
inline std::string Stamp(int i) {
    char text[64];
    const int day = 1 + i % 31;
    const int hour = i / 31 % 24;
    const bool longYear = i % 3 == 0;
    std::snprintf(text, sizeof text, "%s, %02d-%s-%0*d %02d:%02d:%02d JST", kWeekdays[i % 7], day, kMonths[i % 12],
                  longYear ? 4 : 2, longYear ? 1998 : 98, hour, i % 60, (i * 7) % 60);
    return text;
}

inline std::string Host(int i) {
    static const char* const kDomains[] = {"ac.jp", "co.jp", "or.jp", "ad.jp", "ne.jp", "com", "net", "go.jp"};
    return "host" + std::to_string(i) + ".区"_sj + std::to_string(i % 97) + "." + kDomains[i % 8];
}

inline std::string Browser(int i) {
    static const char* const kForms[] = {
        "Mozilla/4.0 (compatible; MSIE 4.01; Windows 95; build %d)",
        "Mozilla/2.0 (compatible; MSIE 3.02; Win%d)",
        "Mozilla/1.22 (compatible; MSIE 2.0; Windows %d)",
        "Mozilla/4.05 [ja] (Win95; I; %d)",
        "Mozilla/3.01 [ja] (Macintosh; I; PPC %d)",
        "Mozilla/2.02 [ja] (X11; %d)",
        "DoCoMo/1.0/P%di",
        "ｶﾀｶﾅ ブラウザ %d"_sj,
    };
    // Each form holds one %d, for the browser's number.
    std::string text = kForms[i % 8];
    text.replace(text.find("%d"), 2, std::to_string(i));
    return text;
}

inline std::string Link(int i) {
    if (i % 2 == 0) {
        return "http://search.yahoo.co.jp/bin/search?p=日記 リンク "_sj + std::to_string(i);
    }
    return "http://www" + std::to_string(i) + ".freeweb.ne.jp/~taro/リンク集.html"_sj;
}

inline std::string WideLog() {
    std::string log;
    for (int r = 0; r < 2000; ++r) {
        log += "①"_sj + std::to_string(1000 + r) + "\r\n";
        log += "②"_sj + Stamp(r) + "\r\n";
        log += "③"_sj + Host(r) + "\r\n";
        log += "④"_sj + Browser(r % 300) + "\r\n";
        log += "⑤"_sj + Link(r % 300) + "\r\n";
    }
    return log;
}

inline std::string WidePagesLog() {
    std::string log;
    for (int r = 0; r < 5000; ++r) {
        log += "⑥ページ"_sj + std::to_string(r * 7 % 300) + ".html\r\n";
        log += "⑦"_sj + Stamp(r) + "\r\n";
    }
    return log;
}

inline std::string StampsLog(const char* marker) {
    std::string log;
    for (int i = 0; i < 10000; ++i) {
        log += marker + Stamp(i) + "\r\n";
    }
    return log;
}

// A temporary folder with one log file per store, removed at exit.
class LogFolder {
public:
    LogFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quorlet3-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        m_path = pattern;
    }
    ~LogFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    std::string Write(const std::string& name, const std::string& bytes) const {
        std::string path = m_path + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    std::string Generate(const std::string& name) const { return GenerateSample(m_path + "/" + name); }

private:
    std::string m_path;
};

}  // namespace quorlet3::bench
