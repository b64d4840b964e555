// Loading and every report on full stores of 10000 lines:
//   Sample      the generator's realistic log (main-page and page records, a few faults)
//   Wide        2000 main-page records: 2000 distinct hosts in every domain class,
//               300 distinct browser strings and 300 distinct links (half with a query)
//   WidePages   5000 page records over 300 distinct page names
//   StampsMain  10000 main-page time stamps, StampsPage 10000 page time stamps: the
//               day-and-hour detail report with one asterisk per line
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "bench/BenchSample.h"
#include "logstore/Quorlet3Doc.h"
#include "platform/Cp932Literal.h"
#include "view/CommandTable.h"

using namespace quorlet3::literals;

namespace {

using quorlet3::CQuorlet3Doc;

const char* const kWeekdays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Time stamp number i: days and hours cycle through every day-and-hour cell, both year forms.
std::string Stamp(int i) {
    char text[64];
    const int day = 1 + i % 31;
    const int hour = i / 31 % 24;
    const bool longYear = i % 3 == 0;
    std::snprintf(text, sizeof text, "%s, %02d-%s-%0*d %02d:%02d:%02d JST", kWeekdays[i % 7], day, kMonths[i % 12],
                  longYear ? 4 : 2, longYear ? 1998 : 98, hour, i % 60, (i * 7) % 60);
    return text;
}

std::string Host(int i) {
    static const char* const kDomains[] = {"ac.jp", "co.jp", "or.jp", "ad.jp", "ne.jp", "com", "net", "go.jp"};
    return "host" + std::to_string(i) + ".区"_sj + std::to_string(i % 97) + "." + kDomains[i % 8];
}

std::string Browser(int i) {
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

std::string Link(int i) {
    if (i % 2 == 0) {
        return "http://search.yahoo.co.jp/bin/search?p=日記 リンク "_sj + std::to_string(i);
    }
    return "http://www" + std::to_string(i) + ".freeweb.ne.jp/~taro/リンク集.html"_sj;
}

std::string WideLog() {
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

std::string WidePagesLog() {
    std::string log;
    for (int r = 0; r < 5000; ++r) {
        log += "⑥ページ"_sj + std::to_string(r * 7 % 300) + ".html\r\n";
        log += "⑦"_sj + Stamp(r) + "\r\n";
    }
    return log;
}

std::string StampsLog(const char* marker) {
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
    std::string Generate(const std::string& name) const { return quorlet3::bench::GenerateSample(m_path + "/" + name); }

private:
    std::string m_path;
};

struct Store {
    std::string name;
    std::string path;
    CQuorlet3Doc doc;
};

using Report = std::function<size_t(const CQuorlet3Doc&)>;

// Every report of the command table, by its command-line name; each returns the text length.
std::vector<std::pair<std::string, Report>> Reports() {
    std::vector<std::pair<std::string, Report>> reports;
    for (const quorlet3::CommandRow& row : quorlet3::CommandTable()) {
        if (row.start == nullptr || quorlet3::TakesPage(row)) {
            continue;
        }
        std::string name = row.cliName;
        if (row.cliArgument != nullptr) {
            name.append("/").append(row.cliArgument);
        }
        reports.emplace_back(name,
                             [&row](const CQuorlet3Doc& d) { return quorlet3::ReportText(row, d.Store()).size(); });
    }
    return reports;
}

// The page the per-page report is run for: the first name of the page name list.
std::string FirstPage(const CQuorlet3Doc& doc) {
    const quorlet3::PageNamesResult pages = quorlet3::ComputePageNames(doc.Store());
    return pages.names.empty() ? std::string() : pages.names.front();
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    LogFolder folder;
    std::vector<Store> stores;
    stores.push_back({"Sample", folder.Generate("sample.log"), {}});
    stores.push_back({"Wide", folder.Write("wide.log", WideLog()), {}});
    stores.push_back({"WidePages", folder.Write("widepages.log", WidePagesLog()), {}});
    stores.push_back({"StampsMain", folder.Write("stampsmain.log", StampsLog("②"_sj)), {}});
    stores.push_back({"StampsPage", folder.Write("stampspage.log", StampsLog("⑦"_sj)), {}});
    for (Store& store : stores) {
        store.doc.LoadLogFile(store.path);
    }

    for (Store& store : stores) {
        benchmark::RegisterBenchmark(("Load/" + store.name).c_str(), [&store](benchmark::State& state) {
            CQuorlet3Doc doc;
            for (auto _ : state) {
                doc.LoadLogFile(store.path);
                benchmark::DoNotOptimize(doc.Store());
            }
            state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(std::filesystem::file_size(store.path)));
        })->Unit(benchmark::kMicrosecond);
    }
    for (const auto& entry : Reports()) {
        const std::string& name = entry.first;
        const Report& report = entry.second;
        for (Store& store : stores) {
            benchmark::RegisterBenchmark((name + "/" + store.name).c_str(), [&store, report](benchmark::State& state) {
                size_t bytes = 0;
                for (auto _ : state) {
                    bytes = report(store.doc);
                    benchmark::DoNotOptimize(bytes);
                }
                state.counters["text_bytes"] = static_cast<double>(bytes);
            })->Unit(benchmark::kMicrosecond);
        }
    }
    // Reports of one page run for the first page name of each store.
    for (const quorlet3::CommandRow& row : quorlet3::CommandTable()) {
        if (row.start == nullptr || !quorlet3::TakesPage(row)) {
            continue;
        }
        for (Store& store : stores) {
            const std::string page = FirstPage(store.doc);
            if (page.empty()) {
                continue;
            }
            benchmark::RegisterBenchmark((std::string(row.cliName) + "/" + store.name).c_str(),
                                         [&store, &row, page](benchmark::State& state) {
                                             size_t bytes = 0;
                                             for (auto _ : state) {
                                                 bytes = quorlet3::ReportText(row, store.doc.Store(), page).size();
                                                 benchmark::DoNotOptimize(bytes);
                                             }
                                             state.counters["text_bytes"] = static_cast<double>(bytes);
                                         })
                ->Unit(benchmark::kMicrosecond);
        }
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
