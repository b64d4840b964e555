// The HTML page on full 10000-line stores:
//   Sample  the generator's realistic log (main-page and page records, a few faults)
//   Wide    2000 main-page records with 2000 distinct hosts, 300 browser strings and
//           300 links
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
#include "reports/CommandTable.h"

namespace {

using quorlet3::CQuorlet3Doc;

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
    const quorlet3::bench::LogFolder folder;
    std::vector<Store> stores(2);
    stores[0] = {"Sample", folder.Generate("sample.log"), {}};
    stores[1] = {"Wide", folder.Write("wide.log", quorlet3::bench::WideLog()), {}};
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
    return 0;
}
