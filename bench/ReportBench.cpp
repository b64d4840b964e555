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
#include "encoding/Cp932Literal.h"
#include "logstore/Quorlet3Doc.h"
#include "reports/CommandTable.h"

using namespace quorlet3::literals;

namespace {

using namespace quorlet3::bench;
using quorlet3::CQuorlet3Doc;

struct Store {
    std::string name;
    std::string path;
    CQuorlet3Doc doc;
};

using Report = std::function<size_t(const CQuorlet3Doc&)>;

// Every report of the report table, by its command-line name; each returns the text length.
std::vector<std::pair<std::string, Report>> Reports() {
    std::vector<std::pair<std::string, Report>> reports;
    for (const quorlet3::CommandRow& row : quorlet3::CommandTable()) {
        if (quorlet3::TakesPage(row)) {
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
        if (!quorlet3::TakesPage(row)) {
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
