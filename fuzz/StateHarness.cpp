// The kept-state harness: the file's checks, then each accumulator's loading alone.
#include "fuzz/StateHarness.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <set>
#include <stdexcept>

#include "encoding/Cp932Literal.h"
#include "output/CsvOutput.h"
#include "output/JsonOutput.h"
#include "reports/CommandTable.h"
#include "reports/WholeLogReports.h"
#include "wholelog/KeptState.h"

namespace quorlet3::fuzz {
namespace {

// A log of a few records of every kind, a search query among them, in a folder of its own.
struct Fixture {
    std::string folder;
    std::string log;
    std::vector<const CommandRow*> rows = WholeLogRows();
    std::string key = WholeLogStateKey(rows);
    std::string whole;  // the state after the whole log
    std::string half;   // after its first half
    std::set<std::string> written;

    Fixture() {
        char name[] = "/tmp/quorlet3-fuzz-state-XXXXXX";
        if (::mkdtemp(name) == nullptr) {
            throw std::runtime_error("cannot make a folder for the state harness");
        }
        folder = name;
        log = folder + "/log.log";
        std::string bytes;
        for (int i = 0; i < 6; ++i) {
            bytes += "①"_sj + std::to_string(100 + i) + "\r\n" + "②Monday, 1"_sj + std::to_string(i) +
                     "-Jul-98 12:04:05 JST\r\n" +
                     "③a.ac.jp\r\n④Mozilla/4.0 (compatible; MSIE 4.01; Windows 95)\r\n"_sj +
                     "⑤http://s.jp/find?q=a+b\r\n⑥index.html\r\n⑦Monday, 11-Jul-98 13:04:05 JST\r\n"_sj;
        }
        const std::string state = folder + "/log.state";
        std::ofstream(log, std::ios::binary) << bytes.substr(0, bytes.size() / 2);
        half = Run(state);
        std::ofstream(log, std::ios::binary | std::ios::app) << bytes.substr(bytes.size() / 2);
        whole = Run(state);
        written = {half, whole};
    }

    std::string Run(const std::string& state) const {
        std::optional<RowRun> run;
        RunOverWholeLogKept(
            log, state, key,
            [&] {
                run.emplace(rows, std::string_view{}, TableLimits::Unlimited());
                return run->Accumulators();
            },
            {}, [](const std::string&) {});
        std::ifstream in(state, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
};

const Fixture& TheFixture() {
    static const Fixture fixture;
    return fixture;
}

}  // namespace

std::string WrittenState(bool half) { return half ? TheFixture().half : TheFixture().whole; }

std::string RunStateInput(const uint8_t* data, size_t size) {
    const Fixture& f = TheFixture();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    {
        RowRun run(f.rows, {}, TableLimits::Unlimited());
        std::string why;
        if (DecodeState(bytes, f.key, f.log, run.Accumulators(), why) && !f.written.contains(std::string(bytes))) {
            return "state: bytes the writer did not write were taken as a state";
        }
    }
    // The payload past the file's header, or the bytes themselves, into one accumulator at a time.
    for (size_t k = 0; k < f.rows.size(); ++k) {
        RowRun run(f.rows, {}, TableLimits::Unlimited());
        if (k >= run.Accumulators().size()) {
            break;
        }
        try {
            StateReader in(bytes);
            run.Accumulators()[k]->LoadState(in);
        } catch (const StateError&) {
            continue;
        }
        for (const auto& [row, result] : run.Finish(WalkEnd{true, 0})) {
            FormatText(result);
            FormatJson(*row, result);
            FormatCsv(*row, result);
        }
    }
    return {};
}

}  // namespace quorlet3::fuzz
