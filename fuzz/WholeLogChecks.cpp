// The log harness's whole-log checks: the whole file read in parts on threads, and a run
// going on from a kept state, against the store's walk and a full run.
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "fuzz/LogChecks.h"
#include "logstore/ReadingRules.h"
#include "reports/WholeLogReports.h"
#include "wholelog/KeptState.h"
#include "wholelog/WholeLogRun.h"

namespace quorlet3::fuzz {

// Over a log of fewer than 10000 slots, a run over the whole file, in parts of 1 to 64
// bytes on 1 to 3 threads (both taken from the input's last byte), gives every report
// of "all" and the per-page one (for the log's first page) the text of the store's walk.
// A longer log is left out: the store stops at 10000 slots, the whole run does not.
Broken CheckWholeLogRun(Context& c) {
    if (!c.doc.Store()[kLineSlots].empty()) {
        return {};
    }
    const unsigned char byte = c.bytes.empty() ? 0 : static_cast<unsigned char>(c.bytes.back());
    PartReadOptions options;
    options.partBytes = 1 + byte % 64;
    options.jobs = 1 + byte / 64 % 3;
    std::vector<const CommandRow*> rows = AllReportRows();
    rows.push_back(FindCliCommand("page-days", "PAGE"));
    const std::string& page = c.Pages().size() > 2 ? c.Pages()[0] : c.Pages().back();  // the first listed page, or none
    RowRun store(rows, page, TableLimits::Unlimited());
    RowRun whole(rows, page, TableLimits::Unlimited());
    const WalkEnd storeEnd = RunOverStore(c.doc.Store(), store.Accumulators());
    WalkEnd wholeEnd;
    try {
        wholeEnd = RunOverWholeLog(SharedFile().Write(c.bytes), whole.Accumulators(), options);
    } catch (const std::exception& error) {
        return std::string("whole log: ") + error.what();
    }
    const std::string reading =
        " (parts of " + std::to_string(options.partBytes) + " bytes, " + std::to_string(options.jobs) + " jobs)";
    if (wholeEnd.visited != WalkLength(c.doc.Store())) {
        return "whole log: walked " + std::to_string(wholeEnd.visited) + " slots, the store " +
               std::to_string(WalkLength(c.doc.Store())) + reading;
    }
    const std::vector<RowResult> fromStore = store.Finish(storeEnd);
    const std::vector<RowResult> fromWhole = whole.Finish(wholeEnd);
    for (size_t k = 0; k < rows.size(); ++k) {
        if (FormatText(fromWhole[k].result) != FormatText(fromStore[k].result)) {
            return "whole log: " + std::string(rows[k]->cliName) + " differs from the store's" + reading;
        }
    }
    return {};
}

// A run over the log's first bytes that keeps its state, then one over the whole log
// going on from that state, gives every report of a whole log as one full run does. The
// cut is taken from the input's first byte, the reading from its last.
Broken CheckKeptStateRun(Context& c) {
    static MemoryFile log;
    static const std::string folder = [] {
        char name[] = "/tmp/quorlet3-fuzz-kept-XXXXXX";
        if (::mkdtemp(name) == nullptr) {
            throw std::runtime_error(std::string("mkdtemp: ") + std::strerror(errno));
        }
        return std::string(name);
    }();
    const std::string state = folder + "/log.state";
    const size_t cut = c.bytes.empty() ? 0 : static_cast<unsigned char>(c.bytes.front()) * c.bytes.size() / 255;
    const unsigned char byte = c.bytes.empty() ? 0 : static_cast<unsigned char>(c.bytes.back());
    PartReadOptions options;
    options.partBytes = 1 + byte % 64;
    options.jobs = 1 + byte / 64 % 2;
    const std::vector<const CommandRow*> rows = WholeLogRows();
    auto texts = [&](RowRun& run, const WalkEnd& end) {
        std::string all = std::to_string(end.visited);
        for (const RowResult& r : run.Finish(end)) {
            all += FormatText(r.result);
        }
        return all;
    };
    std::string kept;
    std::vector<std::string> notes;
    try {
        ::unlink(state.c_str());
        for (const std::string_view bytes : {c.bytes.substr(0, cut), c.bytes}) {
            const std::string& path = log.Write(bytes);
            std::optional<RowRun> run;
            const WalkEnd end = RunOverWholeLogKept(
                path, state, WholeLogStateKey(rows),
                [&] {
                    run.emplace(rows, std::string_view{}, TableLimits::Unlimited());
                    return run->Accumulators();
                },
                options, [&](const std::string& note) { notes.push_back(note); });
            kept = texts(*run, end);
        }
    } catch (const std::exception& error) {
        return std::string("kept state: ") + error.what();
    }
    RowRun full(rows, {}, TableLimits::Unlimited());
    const WalkEnd end = RunOverWholeLog(log.Write(c.bytes), full.Accumulators(), options);
    if (!notes.empty()) {
        return "kept state: " + notes.front();
    }
    if (kept != texts(full, end)) {
        return "kept state: going on after " + std::to_string(cut) + " bytes differs from a full run";
    }
    return {};
}

}  // namespace quorlet3::fuzz
