// The log harness: loads the input from memory, loads it again as a file (whole, and
// as line windows) and runs every report through every output format.
#include "fuzz/LogHarness.h"

#include <functional>
#include <optional>
#include <vector>

#include "fuzz/LogChecks.h"

namespace quorlet3::fuzz {
namespace {

// The checks of one input, each on its own: a fuzz input runs one of them, chosen by
// its first byte, so that every execution stays short; a replay runs them all. The
// report rows are chosen four times as often as the other checks, which load the file
// again. The checks that write every report at once, run every report twice (in one
// walk and row by row) or read the file on threads take up to tens of milliseconds under
// the sanitizers (a log of wide dates makes a calendar of decades): they have a target
// of their own, so the log target keeps its pace.
struct Checks {
    std::vector<std::function<Broken(Context&)>> all;
    std::vector<size_t> byFirstByte;        // index into all, each as often as it is chosen
    std::vector<size_t> costlyByFirstByte;  // the same for the costly checks
    Checks() {
        all = {CheckWholeFile,     CheckLastWindow, CheckFromWindow,
               CheckResolvedPages, CheckShareSvg,   CheckContentsQuestions};
        const size_t others = all.size();
        for (const CommandRow& row : CommandTable()) {
            all.push_back([&row](Context& c) { return CheckReportRow(c, row); });
        }
        const size_t costly = all.size();
        for (const LogOutput& output : kLogOutputs) {
            all.push_back([&output](Context& c) { return CheckLogOutputs(c, output); });
        }
        all.push_back(CheckWholeLogRun);
        all.push_back(CheckKeptStateRun);
        all.push_back(CheckOneWalk);
        for (size_t k = 0; k < costly; ++k) {
            byFirstByte.insert(byFirstByte.end(), k < others ? 1 : 4, k);
        }
        for (size_t k = costly; k < all.size(); ++k) {
            costlyByFirstByte.push_back(k);
        }
    }
};

const Checks& AllChecks() {
    static const Checks checks;
    return checks;
}

// Loads the log and runs the checks chosen: all of them, or the one at index.
Broken RunChecks(std::string_view bytes, std::optional<size_t> only) {
    // One document for every input: its store is refilled in place, so an execution
    // does not pay for a fresh store of 10001 strings.
    static CQuorlet3Doc doc;
    Context c{bytes, doc};
    c.doc.LoadLogBytes(bytes);
    if (Broken broken = CheckStore(c.doc.Store(), bytes.size()); !broken.empty()) {
        return broken;
    }
    const auto& checks = AllChecks().all;
    for (size_t k = only.value_or(0); k < (only ? *only + 1 : checks.size()); ++k) {
        if (Broken broken = checks[k](c); !broken.empty()) {
            return broken;
        }
    }
    return {};
}

}  // namespace

std::string RunLogInput(const uint8_t* data, size_t size) {
    return RunChecks(std::string_view(reinterpret_cast<const char*>(data), size), std::nullopt);
}

namespace {

Broken RunChosenCheck(const uint8_t* data, size_t size, const std::vector<size_t>& choice) {
    if (size == 0) {
        return {};
    }
    const size_t check = choice[data[0] % choice.size()];
    return RunChecks(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1), check);
}

}  // namespace

std::string RunLogFuzzInput(const uint8_t* data, size_t size) {
    return RunChosenCheck(data, size, AllChecks().byFirstByte);
}

std::string RunAllReportsFuzzInput(const uint8_t* data, size_t size) {
    return RunChosenCheck(data, size, AllChecks().costlyByFirstByte);
}

}  // namespace quorlet3::fuzz
