// Google Benchmark of the window: showing the contents listing of a full 10000-line log
// in the result box, offscreen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/BenchSample.h"
#include "logstore/Quorlet3Doc.h"
#include "reports/CommandTable.h"
#include "window/Quorlet3View.h"

using quorlet3::CQuorlet3Doc;
using quorlet3::CQuorlet3View;

namespace {

// A log of 5000 page records, the most output lines a 10000-line log can give; the
// generated sample beside it has about 3100 records of both kinds, with faults.
std::string WritePageRecords(const std::string& path) {
    std::ofstream log(path, std::ios::binary);
    for (int k = 0; k < 5000; ++k) {
        log << "\x87\x45/diary/page" << k % 300 << ".html\r\n"  // the cp932 markers 6 and 7
            << "\x87\x46"
               "1999/07/"
            << 10 + k % 20 << " (Mon) " << 10 + k % 12 << ":15:00\r\n";
    }
    return path;
}

// Puts the listing into the result box and lets the window lay it out and paint it.
void ShowListing(benchmark::State& state, const std::string& path) {
    CQuorlet3Doc doc;
    doc.LoadLogFile(path);
    const std::string listing = quorlet3::ReportText(*quorlet3::FindCliCommand("contents", {}), doc.Store());
    CQuorlet3View view(doc);
    view.resize(800, 600);
    view.show();
    QApplication::processEvents();
    int lines = 0;
    for (auto _ : state) {
        view.SetResult(listing);
        QApplication::processEvents();
        state.PauseTiming();
        lines = view.ResultBox()->document()->blockCount();
        view.SetResult(std::string());
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["lines"] = lines;
    state.counters["text_bytes"] = static_cast<double>(listing.size());
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("quorlet3-guibench-" + std::to_string(QApplication::applicationPid()));
    std::filesystem::create_directories(folder);
    const std::string sample = quorlet3::bench::GenerateSample((folder / "sample.log").string());
    const std::string pages = WritePageRecords((folder / "pages.log").string());
    benchmark::RegisterBenchmark("ShowContents/Sample", [&](benchmark::State& s) {
        ShowListing(s, sample);
    })->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ShowContents/PageRecords", [&](benchmark::State& s) {
        ShowListing(s, pages);
    })->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(folder);
    return 0;
}
