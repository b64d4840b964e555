// The HTML page on full 10000-line stores:
//   Sample  the generator's realistic log (main-page and page records, a few faults)
//   Wide    2000 main-page records with 2000 distinct hosts, 300 browser strings and
//           300 links, then 1000 page records over 300 page names
// HtmlFormat times FormatHtmlReport alone over computed results; HtmlAll and TextAll
// compute every report and then write the page, or every report's text, for comparison.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/BenchSample.h"
#include "logstore/Quorlet3Doc.h"
#include "logstore/ReadingRules.h"
#include "output/HtmlOutput.h"
#include "view/CommandTable.h"

namespace {

using quorlet3::CQuorlet3Doc;

std::string Line(std::string_view marker, const std::string& content) { return std::string(marker) + content + "\r\n"; }

std::string Stamp(int i) {
    char text[64];
    std::snprintf(text, sizeof text, "Sunday, %02d-Jul-98 %02d:%02d:%02d JST", 1 + i % 31, i / 31 % 24, i % 60,
                  i * 7 % 60);
    return text;
}

std::string WideLog() {
    using namespace quorlet3;
    static const char* const kDomains[] = {"ac.jp", "co.jp", "or.jp", "ad.jp", "ne.jp", "com", "net", "go.jp"};
    std::string log;
    for (int r = 0; r < 2000; ++r) {
        log += Line(kMarker1, std::to_string(1000 + r));
        log += Line(kMarker2, Stamp(r));
        log += Line(kMarker3, "host" + std::to_string(r) + ".example." + kDomains[r % 8]);
        log += Line(kMarker4, "Mozilla/4.0 (compatible; MSIE 4.01; Windows 95; build " + std::to_string(r % 300) + ")");
        log += Line(kMarker5, "http://search.example.co.jp/bin/search?p=word+" + std::to_string(r % 300));
    }
    return log;
}

std::string TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quorlet3-html-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        std::exit(1);
    }
    return pattern;
}

struct Store {
    std::string name;
    std::string path;
    CQuorlet3Doc doc;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    const std::string folder = TempFolder();
    std::vector<Store> stores(2);
    stores[0] = {"Sample", quorlet3::bench::GenerateSample(folder + "/sample.log"), {}};
    stores[1] = {"Wide", folder + "/wide.log", {}};
    std::string wide = WideLog();
    for (int p = 0; p < 1000; ++p) {
        wide += Line(quorlet3::kMarker6, "page" + std::to_string(p * 7 % 300) + ".html");
        wide += Line(quorlet3::kMarker7, Stamp(p));
    }
    std::ofstream(stores[1].path, std::ios::binary) << wide;
    for (Store& store : stores) {
        store.doc.LoadLogFile(store.path);
    }

    for (Store& store : stores) {
        const CQuorlet3Doc& doc = store.doc;
        const std::string& path = store.path;
        benchmark::RegisterBenchmark(("HtmlFormat/" + store.name).c_str(), [&doc, &path](benchmark::State& state) {
            const std::vector<quorlet3::RowResult> reports = quorlet3::RunRows(quorlet3::AllReportRows(), doc.Store());
            const int lines = quorlet3::WalkLength(doc.Store());
            size_t bytes = 0;
            for (auto _ : state) {
                bytes = quorlet3::FormatHtmlReport(path, lines, reports).size();
                benchmark::DoNotOptimize(bytes);
            }
            state.counters["page_bytes"] = static_cast<double>(bytes);
        })->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("HtmlAll/" + store.name).c_str(), [&doc, &path](benchmark::State& state) {
            for (auto _ : state) {
                const std::string page = quorlet3::FormatHtmlReport(
                    path, quorlet3::WalkLength(doc.Store()), quorlet3::RunRows(quorlet3::AllReportRows(), doc.Store()));
                benchmark::DoNotOptimize(page.data());
            }
        })->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("TextAll/" + store.name).c_str(), [&doc](benchmark::State& state) {
            for (auto _ : state) {
                size_t bytes = 0;
                for (const quorlet3::RowResult& report : quorlet3::RunRows(quorlet3::AllReportRows(), doc.Store())) {
                    bytes += quorlet3::FormatText(report.result).size();
                }
                benchmark::DoNotOptimize(bytes);
            }
        })->Unit(benchmark::kMicrosecond);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return 0;
}
