// The log harness's checks, one function each, shared by its files: what loading holds,
// what every report and its formats hold, and what the whole-log runs hold. The harness
// (fuzz/LogHarness.cpp) chooses among them.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "logstore/Quorlet3Doc.h"
#include "reports/CommandTable.h"

namespace quorlet3::fuzz {

// One in-memory file reused for every input; the loader opens it by its /proc path,
// so it reads the bytes exactly as it would read a log on disk.
class MemoryFile {
public:
    MemoryFile() {
        m_fd = ::memfd_create("quorlet3-fuzz.log", MFD_CLOEXEC);
        if (m_fd < 0) {
            throw std::runtime_error(std::string("memfd_create: ") + std::strerror(errno));
        }
        m_path = "/proc/self/fd/" + std::to_string(m_fd);
    }
    ~MemoryFile() { ::close(m_fd); }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    const std::string& Write(std::string_view bytes) {
        if (::ftruncate(m_fd, 0) != 0) {
            throw std::runtime_error(std::string("ftruncate: ") + std::strerror(errno));
        }
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::pwrite(m_fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                throw std::runtime_error(std::string("pwrite: ") + std::strerror(errno));
            }
            done += static_cast<size_t>(n);
        }
        return m_path;
    }

private:
    int m_fd = -1;
    std::string m_path;
};

// The one in-memory file the checks write their input to.
MemoryFile& SharedFile();

using Broken = std::string;  // what did not hold; empty when everything held

// What every successful load leaves: the sentinel in slot n, nothing after it, and
// before it lines of at most 999 bytes with no LF and no NUL, the reference-address
// lines without spaces.
Broken CheckStore(const LineStore& store, size_t inputSize);

// What the checks of one input share: the input, the document loaded from it in
// memory, and the page names the per-page report is asked for.
std::vector<std::string> PagesToAsk(const CQuorlet3Doc& doc, std::string_view bytes);

struct Context {
    std::string_view bytes;
    CQuorlet3Doc& doc;
    // The page names the per-page checks ask for, found when a check first needs them:
    // most checks do not, and finding them walks the store.
    const std::vector<std::string>& Pages() {
        if (!pages) {
            pages = PagesToAsk(doc, bytes);
        }
        return *pages;
    }
    std::optional<std::vector<std::string>> pages = {};
};

// ---- Loading the same bytes as a file, whole and as line windows (LoadChecks.cpp) ---

Broken CheckWholeFile(Context& c);
Broken CheckLastWindow(Context& c);
Broken CheckFromWindow(Context& c);

// ---- Output formats (OutputChecks.cpp) ----------------------------------------------

Broken CheckText(const CommandRow& row, const ReportResult& result);
Broken CheckJson(const CommandRow& row, const ReportResult& result);
Broken CheckCsv(const CommandRow& row, const ReportResult& result);
Broken CheckJsonAll(const std::vector<RowResult>& reports, int lines);
Broken CheckHtml(const std::vector<RowResult>& reports, int lines);

// Every output format of quorlet3-report for one report, with what must hold for it.
// A new format is one more row here.
struct ReportOutput {
    const char* name;
    Broken (*check)(const CommandRow& row, const ReportResult& result);
};
inline constexpr ReportOutput kReportOutputs[] = {
    {"text", CheckText},
    {"json", CheckJson},
    {"csv", CheckCsv},
};

// The outputs over every report of one log at once.
struct LogOutput {
    const char* name;
    Broken (*check)(const std::vector<RowResult>& reports, int lines);
};
inline constexpr LogOutput kLogOutputs[] = {
    {"json all", CheckJsonAll},
    {"html", CheckHtml},
};

// ---- Reports (ReportChecks.cpp) -----------------------------------------------------

Broken CheckContentsQuestions(Context& c);
Broken CheckResolvedPages(Context& c);
Broken CheckShareSvg(Context& c);
Broken CheckOneWalk(Context& c);
// Every output over all reports of the log at once.
Broken CheckLogOutputs(Context& c, const LogOutput& output);
// One report row, with each page name the per-page report is asked for.
Broken CheckReportRow(Context& c, const CommandRow& row);

// ---- Whole-log runs (WholeLogChecks.cpp) ---------------------------------------------

Broken CheckWholeLogRun(Context& c);
Broken CheckKeptStateRun(Context& c);

}  // namespace quorlet3::fuzz
