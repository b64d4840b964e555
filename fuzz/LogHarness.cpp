// The log harness: loads the input from memory, loads it again as a file (whole, and
// as line windows) and runs every report through every output format.
#include "fuzz/LogHarness.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <numeric>
#include <optional>
#include <span>
#include <stdexcept>
#include <vector>

#include "encoding/Cp932.h"
#include "encoding/MultibyteOrder.h"
#include "logstore/LogLoader.h"
#include "logstore/Quorlet3Doc.h"
#include "logstore/ReadingRules.h"
#include "output/CsvOutput.h"
#include "output/HtmlOutput.h"
#include "output/JsonOutput.h"
#include "output/ShareSvg.h"
#include "reports/CommandTable.h"
#include "reports/ReportRun.h"
#include "reports/WholeLogReports.h"
#include "wholelog/KeptState.h"
#include "wholelog/WholeLogRun.h"

namespace quorlet3::fuzz {
namespace {

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

MemoryFile& SharedFile() {
    static MemoryFile file;
    return file;
}

using Broken = std::string;  // what did not hold; empty when everything held

// What every successful load leaves: the sentinel in slot n, nothing after it, and
// before it lines of at most 999 bytes with no LF and no NUL, the reference-address
// lines without spaces.
Broken CheckStore(const LineStore& store, size_t inputSize) {
    int sentinel = kStoreSlots - 1;
    while (sentinel >= 0 && store[sentinel].empty()) {
        --sentinel;
    }
    if (sentinel < 0 || !IsSentinel(store[sentinel])) {
        return "store: the last non-empty slot is not the sentinel";
    }
    size_t bytes = 0;
    for (int i = 0; i < sentinel; ++i) {
        const std::string& line = store[i];
        bytes += line.size();
        if (line.size() > 999) {
            return "store: slot " + std::to_string(i) + " holds more than 999 bytes";
        }
        if (line.find('\n') != std::string::npos || line.find('\0') != std::string::npos) {
            return "store: slot " + std::to_string(i) + " holds a LF or NUL byte";
        }
        if (HasMarker(line, kMarker5) && line.find(' ') != std::string::npos) {
            return "store: reference line " + std::to_string(i) + " kept a space";
        }
    }
    if (bytes > inputSize) {
        return "store: holds more bytes than the file";
    }
    return {};
}

// The store of a log read from memory, in one scratch store reused by every check.
const LineStore& ScratchStore(std::string_view bytes) {
    static LineStore* store = new LineStore;
    LoadLineStoreFromBytes(bytes, *store);
    return *store;
}

bool SameStore(const LineStore& a, const LineStore& b) {
    for (int i = 0; i < kStoreSlots; ++i) {
        if (a[i] != b[i]) {
            return false;
        }
    }
    return true;
}

// ---- Loading the same bytes as a file, whole and as line windows -------------------

struct FileLine {
    size_t start;
    size_t end;  // just after its LF, or the end of the file
};

std::vector<FileLine> FileLines(std::string_view bytes) {
    std::vector<FileLine> lines;
    for (size_t start = 0; start < bytes.size();) {
        const size_t lf = bytes.find('\n', start);
        const size_t end = lf == std::string_view::npos ? bytes.size() : lf + 1;
        lines.push_back({start, end});
        start = end;
    }
    return lines;
}

// The reads (slots) a file line fills: its text-mode length, where a closing CR LF is
// one byte, in reads of at most 999 bytes.
long long SlotsOf(std::string_view bytes, const FileLine& line) {
    const std::string_view raw = bytes.substr(line.start, line.end - line.start);
    const size_t text = raw.size() - (raw.ends_with("\r\n") ? 1 : 0);
    return static_cast<long long>((text + 998) / 999);
}

// The Last window's first byte, as LineWindow describes it, from the lines forward.
size_t ReferenceLastWindowStart(std::string_view bytes) {
    const std::vector<FileLine> lines = FileLines(bytes);
    if (lines.empty()) {
        return 0;
    }
    long long left = kLineSlots;
    size_t first = lines.size() - 1;
    for (size_t k = lines.size(); k-- > 0;) {
        const long long slots = SlotsOf(bytes, lines[k]);
        if (k + 1 < lines.size() && slots > left) {
            break;
        }
        first = k;
        left -= slots;
        if (left <= 0) {
            break;
        }
    }
    for (size_t k = first; k < lines.size(); ++k) {
        const std::string_view head = bytes.substr(lines[k].start, 2);
        if (head == kMarker1 || head == kMarker6) {
            return lines[k].start;
        }
    }
    return lines[first].start;
}

// A line number for the From window, taken from the input: anywhere from line 1 to
// two lines past the end.
long long FromLineOf(std::string_view bytes, size_t lineCount) {
    unsigned hash = 0;
    for (const char byte : bytes.substr(0, 16)) {
        hash = hash * 31 + static_cast<unsigned char>(byte);
    }
    return 1 + static_cast<long long>(hash % (lineCount + 3));
}

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

Broken CheckWholeFile(Context& c) {
    CQuorlet3Doc doc;
    doc.LoadLogFile(SharedFile().Write(c.bytes));
    if (!SameStore(doc.Store(), c.doc.Store())) {
        return "load: the file and the same bytes in memory give different stores";
    }
    // A load that fails must leave the store as it was.
    try {
        doc.LoadLogFile("/proc/self/fd/-1/none");
        return "load: a path that cannot exist was loaded";
    } catch (const LogFileError&) {
    }
    if (!SameStore(doc.Store(), c.doc.Store())) {
        return "load: a failed load changed the store";
    }
    return {};
}

// The Last window, found reading backwards in blocks: the loader's own size and two
// small ones, so that the block edges fall everywhere.
Broken CheckLastWindow(Context& c) {
    const std::string_view bytes = c.bytes;
    const std::string& path = SharedFile().Write(bytes);
    const size_t lastStart = ReferenceLastWindowStart(bytes);
    CQuorlet3Doc doc;
    const CQuorlet3Doc::WindowStart last = doc.LoadLogWindow(path, LineWindow::LastLines());
    if (last.startByte != static_cast<long long>(lastStart)) {
        return "last window: starts at byte " + std::to_string(last.startByte) + ", " + std::to_string(lastStart) +
               " expected";
    }
    for (long long block :
         {static_cast<long long>(bytes.size() / 3 + 1), 64 + static_cast<long long>(bytes.size() % 61)}) {
        if (detail::FindLastWindowStart(path, block) != last.startByte) {
            return "last window: a search in blocks of " + std::to_string(block) + " bytes starts elsewhere";
        }
    }
    if (!SameStore(doc.Store(), ScratchStore(bytes.substr(lastStart)))) {
        return "last window: the store is not the rest of the file read from its start";
    }
    if (CountLinesBefore(path, last.startByte) !=
        std::count(bytes.begin(), bytes.begin() + static_cast<long>(lastStart), '\n')) {
        return "last window: the lines before it are miscounted";
    }
    return {};
}

// A From window: the bytes after the first fromLine - 1 LF bytes.
Broken CheckFromWindow(Context& c) {
    const std::string_view bytes = c.bytes;
    const std::vector<FileLine> lines = FileLines(bytes);
    const long long fromLine = FromLineOf(bytes, lines.size());
    const size_t skipped = std::min(static_cast<size_t>(fromLine - 1), lines.size());
    const size_t fromStart = skipped == 0 ? 0 : lines[skipped - 1].end;
    const long long before = std::count(bytes.begin(), bytes.begin() + static_cast<long>(fromStart), '\n');
    CQuorlet3Doc doc;
    const CQuorlet3Doc::WindowStart from = doc.LoadLogWindow(SharedFile().Write(bytes), LineWindow::FromLine(fromLine));
    if (from.startByte != static_cast<long long>(fromStart) || from.linesBefore != before) {
        return "from window " + std::to_string(fromLine) + ": starts at byte " + std::to_string(from.startByte) +
               " after " + std::to_string(from.linesBefore.value_or(-1)) + " lines, " + std::to_string(fromStart) +
               " after " + std::to_string(before) + " expected";
    }
    if (!SameStore(doc.Store(), ScratchStore(bytes.substr(fromStart)))) {
        return "from window: the store is not the rest of the file read from its start";
    }
    return {};
}

// ---- Reports -----------------------------------------------------------------------

// The page name list: distinct names in strictly ascending multibyte order, then
// only empty strings (if any); every name appears as a page line of the walk.
Broken CheckPageNames(std::span<const std::string> pages, const LineStore& store) {
    size_t used = 0;
    while (used < pages.size() && !pages[used].empty()) {
        ++used;
    }
    for (size_t k = used; k < pages.size(); ++k) {
        if (!pages[k].empty()) {
            return "page names: a name after an empty slot";
        }
    }
    for (size_t k = 1; k < used; ++k) {
        if (CompareMultibyte(pages[k - 1], pages[k]) >= 0) {
            return "page names: not strictly ascending at " + std::to_string(k);
        }
    }
    std::vector<std::string_view> seen;
    Walk(store, [&](int, const std::string& line) {
        if (HasMarker(line, kMarker6) && line.size() > 2) {
            seen.push_back(Content(line));
        }
    });
    std::sort(seen.begin(), seen.end());
    seen.erase(std::unique(seen.begin(), seen.end()), seen.end());
    const size_t expected = std::min(seen.size(), static_cast<size_t>(kPageNameSlots));
    if (used != expected) {
        return "page names: " + std::to_string(used) + " listed, " + std::to_string(expected) + " expected";
    }
    for (size_t k = 0; k < used; ++k) {
        if (!std::binary_search(seen.begin(), seen.end(), std::string_view(pages[k]))) {
            return "page names: a listed name is no page of the log";
        }
    }
    return {};
}

// The share counters: seven class counts that add up to the total, which is the
// number of browser lines in the walk.
Broken CheckShare(const ShareCounters& share, const LineStore& store) {
    long long lines = 0;
    Walk(store, [&](int, const std::string& line) { lines += HasMarker(line, kMarker4) ? 1 : 0; });
    long long sum = 0;
    for (int k = 0; k < kShareTotal; ++k) {
        if (share[static_cast<size_t>(k)] < 0) {
            return "share: a negative count";
        }
        sum += share[static_cast<size_t>(k)];
    }
    if (sum != share[kShareTotal] || share[kShareTotal] != lines) {
        return "share: counts do not add up to the browser lines";
    }
    return {};
}

// What must hold for a typed result whatever the log.
Broken CheckResult(const ReportResult& result, const CQuorlet3Doc& doc) {
    if (const auto* counts = std::get_if<TimeCountsResult>(&result)) {
        const size_t cells = counts->grid == TimeGrid::Hourly  ? kHours
                             : counts->grid == TimeGrid::Daily ? kDays
                                                               : kDays * kHours;
        if (counts->counts.size() != cells) {
            return "time counts: " + std::to_string(counts->counts.size()) + " cells";
        }
        if (std::accumulate(counts->counts.begin(), counts->counts.end(), 0LL) != counts->total) {
            return "time counts: the cells do not add up to the total";
        }
    } else if (const auto* days = std::get_if<PageDaysResult>(&result)) {
        if (std::accumulate(days->days.begin(), days->days.end(), 0LL) != days->total) {
            return "page days: the days do not add up to the total";
        }
    } else if (const auto* share = std::get_if<ShareResult>(&result)) {
        return CheckShare(share->counters, doc.Store());
    } else if (const auto* names = std::get_if<PageNamesResult>(&result)) {
        return CheckPageNames(names->names, doc.Store());
    }
    return {};
}

// A time report's text, computed directly.
std::string TimeText(const LineStore& store, TimeGrid grid, RecordKind records) {
    return FormatTimeCountsText(ComputeTimeCounts(store, grid, records));
}

// The report each row stands for, computed directly row by row, so that a row wired
// to another accumulator or argument shows up as a difference.
std::optional<std::string> DirectText(const CommandRow& row, const LineStore& store, const std::string& page) {
    using Direct = std::string (*)(const LineStore& store, const std::string& page);
    static const std::map<std::string, Direct, std::less<>> kDirect = {
        {"check", [](const LineStore& s, const std::string&) { return FormatFileCheckText(ComputeFileCheck(s)); }},
        {"contents", [](const LineStore& s, const std::string&) { return FormatContentsText(ComputeContents(s)); }},
        {"links", [](const LineStore& s,
                     const std::string&) { return FormatValueTallyText(ComputeValueTally(s, TallyField::Links)); }},
        {"browsers",
         [](const LineStore& s, const std::string&) {
             return FormatValueTallyText(ComputeValueTally(s, TallyField::Browsers));
         }},
        {"hosts", [](const LineStore& s, const std::string&) { return FormatHostsText(ComputeHosts(s)); }},
        {"keywords", [](const LineStore& s, const std::string&) { return FormatKeywordsText(ComputeKeywords(s)); }},
        {"pages name",
         [](const LineStore& s, const std::string&) { return FormatPagesText(ComputePages(s, PageOrder::Name)); }},
        {"pages ranking",
         [](const LineStore& s, const std::string&) { return FormatPagesText(ComputePages(s, PageOrder::Ranking)); }},
        {"hourly main",
         [](const LineStore& s, const std::string&) { return TimeText(s, TimeGrid::Hourly, RecordKind::Main); }},
        {"hourly page",
         [](const LineStore& s, const std::string&) { return TimeText(s, TimeGrid::Hourly, RecordKind::Page); }},
        {"daily main",
         [](const LineStore& s, const std::string&) { return TimeText(s, TimeGrid::Daily, RecordKind::Main); }},
        {"daily page",
         [](const LineStore& s, const std::string&) { return TimeText(s, TimeGrid::Daily, RecordKind::Page); }},
        {"detail main",
         [](const LineStore& s, const std::string&) { return TimeText(s, TimeGrid::DayHour, RecordKind::Main); }},
        {"detail page",
         [](const LineStore& s, const std::string&) { return TimeText(s, TimeGrid::DayHour, RecordKind::Page); }},
        {"guests",
         [](const LineStore& s, const std::string&) { return FormatGuestNumbersText(ComputeGuestNumbers(s)); }},
        {"share",
         [](const LineStore& s, const std::string&) {
             ShareCounters counters{};
             const ShareResult share = ComputeShare(s);
             AddShare(counters, share);
             return FormatShareText(share.lines, counters);
         }},
        {"page-days PAGE",
         [](const LineStore& s, const std::string& p) { return FormatPageDaysText(ComputePageDays(s, p)); }},
        {"page-names",
         [](const LineStore& s, const std::string&) {
             PageNameList names;
             FillPageNameList(ComputePageNames(s), names);
             return FormatPageNamesText(names);
         }},
        {"dates main",
         [](const LineStore& s, const std::string&) {
             return FormatCalendarDatesText(ComputeCalendarDates(s, RecordKind::Main));
         }},
        {"dates page",
         [](const LineStore& s, const std::string&) {
             return FormatCalendarDatesText(ComputeCalendarDates(s, RecordKind::Page));
         }},
        {"months main",
         [](const LineStore& s, const std::string&) {
             return FormatCalendarMonthsText(ComputeCalendarMonths(s, RecordKind::Main));
         }},
        {"months page",
         [](const LineStore& s, const std::string&) {
             return FormatCalendarMonthsText(ComputeCalendarMonths(s, RecordKind::Page));
         }},
        {"weekdays main", [](const LineStore& s,
                             const std::string&) { return FormatWeekdaysText(ComputeWeekdays(s, RecordKind::Main)); }},
        {"weekdays page", [](const LineStore& s,
                             const std::string&) { return FormatWeekdaysText(ComputeWeekdays(s, RecordKind::Page)); }},
        {"weekhours main",
         [](const LineStore& s, const std::string&) {
             return FormatWeekHoursText(ComputeWeekHours(s, RecordKind::Main));
         }},
        {"weekhours page",
         [](const LineStore& s, const std::string&) {
             return FormatWeekHoursText(ComputeWeekHours(s, RecordKind::Page));
         }},
        {"phrases", [](const LineStore& s, const std::string&) { return FormatPhrasesText(ComputePhrases(s)); }},
    };
    std::string words = row.cliName;
    if (row.cliArgument != nullptr) {
        words.append(" ").append(row.cliArgument);
    }
    const auto direct = kDirect.find(words);
    if (direct == kDirect.end()) {
        return std::nullopt;
    }
    return direct->second(store, page);
}

// ---- Output formats ----------------------------------------------------------------

// The number of fields of each record, reading the CSV text as RFC 4180 does: fields
// separated by commas, quoted fields with doubled quotes, every record ended by CR LF.
// Nothing when the text is not well-formed.
std::optional<std::vector<size_t>> CsvFieldCounts(std::string_view csv) {
    std::vector<size_t> records;
    size_t fields = 0;
    size_t i = 0;
    while (i < csv.size()) {
        if (csv[i] == '"') {
            for (++i;; ++i) {
                if (i >= csv.size()) {
                    return std::nullopt;
                }
                if (csv[i] == '"') {
                    if (i + 1 < csv.size() && csv[i + 1] == '"') {
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
            }
        } else {
            while (i < csv.size() && csv[i] != ',' && csv[i] != '\r' && csv[i] != '\n') {
                if (csv[i] == '"') {
                    return std::nullopt;
                }
                ++i;
            }
        }
        ++fields;
        if (i < csv.size() && csv[i] == ',') {
            ++i;
            continue;
        }
        if (csv.substr(i, 2) != "\r\n") {
            return std::nullopt;
        }
        i += 2;
        records.push_back(fields);
        fields = 0;
    }
    return records;
}

Broken CheckText(const CommandRow&, const ReportResult& result) {
    // A lone CR from the log stays, so a CR LF may remain; what is written must be UTF-8.
    const std::string raw = FormatText(result);
    if (!IsUtf8(CrLfToLf(DecodeCp932ToUtf8(raw)))) {
        return "text: the UTF-8 form is not UTF-8";
    }
    return {};
}

// JSON is validated by nlohmann-json's parser without building the document.
Broken CheckJson(const CommandRow& row, const ReportResult& result) {
    const std::string json = FormatJson(row, result);
    if (!nlohmann::json::accept(json)) {
        return "json: " + std::string(row.cliName) + " does not parse";
    }
    if (!json.starts_with("{\"report\":\"" + std::string(row.cliName) + "\"")) {
        return "json: not an object named " + std::string(row.cliName);
    }
    return {};
}

Broken CheckCsv(const CommandRow& row, const ReportResult& result) {
    const std::string csv = FormatCsv(row, result);
    if (!IsUtf8(csv)) {
        return "csv: " + std::string(row.cliName) + " is not UTF-8";
    }
    const auto records = CsvFieldCounts(csv);
    if (!records || records->empty()) {
        return "csv: " + std::string(row.cliName) + " is not well-formed";
    }
    for (const size_t fields : *records) {
        if (fields != records->front()) {
            return "csv: " + std::string(row.cliName) + " has a row with another number of fields than its header";
        }
    }
    return {};
}

// Every output format of quorlet3-report for one report, with what must hold for it.
// A new format is one more row here.
struct ReportOutput {
    const char* name;
    Broken (*check)(const CommandRow& row, const ReportResult& result);
};
const ReportOutput kReportOutputs[] = {
    {"text", CheckText},
    {"json", CheckJson},
    {"csv", CheckCsv},
};

// The outputs over every report of one log at once.
Broken CheckJsonAll(const std::vector<RowResult>& reports, int lines) {
    const std::string json = FormatJsonAll("/logs/アクセス.log", lines, reports);
    if (!nlohmann::json::accept(json)) {
        return "json all: does not parse";
    }
    // One object per report, each named.
    size_t named = 0;
    for (size_t at = json.find("{\"report\":\""); at != std::string::npos; at = json.find("{\"report\":\"", at + 1)) {
        ++named;
    }
    if (named != reports.size()) {
        return "json all: " + std::to_string(named) + " report objects for " + std::to_string(reports.size()) +
               " reports";
    }
    return {};
}

// HTML as the writer makes it: every element closed in order (void elements and
// "/>" aside), the style sheet's text skipped, no script, and no '<' or '&' that does
// not begin a tag, a comment, the doctype or a character reference. Text from the log
// that was not escaped breaks one of these.
Broken CheckHtmlStructure(std::string_view html) {
    static constexpr std::string_view kVoid = " area base br col embed hr img input link meta param source track wbr ";
    auto isNameChar = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
    };
    std::vector<std::string_view> open;
    std::string spaced;
    size_t i = 0;
    while (i < html.size()) {
        size_t lt = i;
        while (lt < html.size() && html[lt] != '<' && html[lt] != '&') {
            ++lt;
        }
        if (lt == html.size()) {
            break;
        }
        if (html[lt] == '&') {
            const size_t semicolon = html.find(';', lt);
            const std::string_view name =
                html.substr(lt + 1, semicolon == std::string_view::npos ? 0 : semicolon - lt - 1);
            if (name.empty() || name.size() > 8 ||
                !std::all_of(name.begin(), name.end(), [&](char ch) { return ch == '#' || isNameChar(ch); })) {
                return "html: a bare '&' at byte " + std::to_string(lt);
            }
            i = semicolon + 1;
            continue;
        }
        if (html.substr(lt, 4) == "<!--") {
            const size_t end = html.find("-->", lt);
            if (end == std::string_view::npos) {
                return "html: an unclosed comment";
            }
            i = end + 3;
            continue;
        }
        const size_t gt = html.find('>', lt);
        if (gt == std::string_view::npos) {
            return "html: an unclosed tag at byte " + std::to_string(lt);
        }
        const std::string_view tag = html.substr(lt + 1, gt - lt - 1);
        i = gt + 1;
        if (tag.starts_with("!DOCTYPE") || tag.starts_with("!doctype")) {
            continue;
        }
        const bool closing = tag.starts_with('/');
        const std::string_view rest = closing ? tag.substr(1) : tag;
        size_t nameEnd = 0;
        while (nameEnd < rest.size() && isNameChar(rest[nameEnd])) {
            ++nameEnd;
        }
        const std::string_view name = rest.substr(0, nameEnd);
        if (name.empty() ||
            (nameEnd < rest.size() && rest[nameEnd] != ' ' && rest[nameEnd] != '\n' && rest[nameEnd] != '/')) {
            return "html: a '<' that begins no tag at byte " + std::to_string(lt);
        }
        if (name == "script") {
            return "html: a script element";
        }
        if (closing) {
            if (open.empty() || open.back() != name) {
                return "html: </" + std::string(name) + "> closes " +
                       (open.empty() ? std::string("nothing") : "<" + std::string(open.back()) + ">");
            }
            open.pop_back();
        } else if (!tag.ends_with('/') &&
                   kVoid.find(spaced.assign(" ").append(name).append(" ")) == std::string_view::npos) {
            open.push_back(name);
            if (name == "style") {
                i = html.find("</style>", i);
                if (i == std::string_view::npos) {
                    return "html: an unclosed style sheet";
                }
            }
        }
    }
    if (!open.empty()) {
        return "html: <" + std::string(open.back()) + "> is never closed";
    }
    return {};
}

Broken CheckHtml(const std::vector<RowResult>& reports, int lines) {
    const std::string html = FormatHtmlReport("/logs/<アクセス>&.log", lines, reports);
    if (!IsUtf8(html)) {
        return "html: not UTF-8";
    }
    return CheckHtmlStructure(html);
}

struct LogOutput {
    const char* name;
    Broken (*check)(const std::vector<RowResult>& reports, int lines);
};
const LogOutput kLogOutputs[] = {
    {"json all", CheckJsonAll},
    {"html", CheckHtml},
};

// A report through its typed result: the text equals the report computed directly, the
// result holds what it must, and every output format is well-formed.
Broken CheckRow(const CommandRow& row, const CQuorlet3Doc& doc, const std::string& page) {
    const ReportResult result = RunRow(row, doc.Store(), page);
    const std::optional<std::string> expected = DirectText(row, doc.Store(), page);
    if (!expected) {
        return "the harness knows no direct computation for the row of " + std::string(row.cliName);
    }
    if (FormatText(result) != *expected) {
        return std::string(row.cliName) + ": the text of the row's result is not the report computed directly";
    }
    if (Broken broken = CheckResult(result, doc); !broken.empty()) {
        return broken;
    }
    for (const ReportOutput& output : kReportOutputs) {
        if (Broken broken = output.check(row, result); !broken.empty()) {
            return broken;
        }
    }
    return {};
}

// Answers every question of the contents listing the same way and counts them.
class FixedAnswers : public IQuestionBox {
public:
    explicit FixedAnswers(bool answer) : m_answer(answer) {}
    bool AskOkCancel(std::string_view textCp932, QuestionIcon, DefaultButton) override {
        ++m_asked;
        m_emptyText = m_emptyText || textCp932.empty();
        return m_answer;
    }
    int m_asked = 0;
    bool m_emptyText = false;

private:
    bool m_answer;
};

// The size question before the listing: one question with text for a store of 1000 lines
// or more, none for a shorter one; its answer is the outcome, and without a box the
// listing always goes on.
Broken CheckContentsQuestions(Context& c) {
    const int lines = WalkLength(c.doc.Store());
    const int expected = lines >= 1000 ? 1 : 0;
    for (const bool answer : {true, false}) {
        FixedAnswers box(answer);
        const bool goOn = AskToListLongLog(&box, lines);
        if (box.m_asked != expected || box.m_emptyText) {
            return "contents: asked " + std::to_string(box.m_asked) + " questions, " + std::to_string(expected) +
                   " expected, or one without text";
        }
        if (goOn != (answer || expected == 0)) {
            return "contents: the outcome is not the answer to the size question";
        }
    }
    if (!AskToListLongLog(nullptr, lines)) {
        return "contents: without a question box the listing did not go on";
    }
    return {};
}

// A page name taken straight from the input: its first line (any bytes, NUL and CR
// included), at most 64 bytes.
std::string NameFromInput(std::string_view bytes) {
    return std::string(bytes.substr(0, std::min(bytes.find('\n'), std::min<size_t>(bytes.size(), 64))));
}

// The page names the per-page report is run for: the first, middle and last listed
// page, one taken from the input, and none.
std::vector<std::string> PagesToAsk(const CQuorlet3Doc& doc, std::string_view bytes) {
    PageNameList pages;
    FillPageNameList(ComputePageNames(doc.Store()), pages);
    size_t used = 0;
    while (used < pages.size() && !pages[used].empty()) {
        ++used;
    }
    std::vector<std::string> asked;
    if (used > 0) {
        asked = {pages[0], pages[used / 2], pages[used - 1]};
    }
    asked.push_back(NameFromInput(bytes));
    asked.emplace_back();
    return asked;
}

// A page name typed as UTF-8 finds the listed page that reads the same, or every one
// when several do.
Broken CheckResolvedPages(Context& c) {
    for (size_t k = 0; k + 2 < c.Pages().size(); ++k) {
        const std::string utf8 = LogTextToUtf8(c.Pages()[k]);
        const PageByText resolved = ResolvePageName(c.doc.Store(), utf8);
        if (std::find(resolved.readingSo.begin(), resolved.readingSo.end(), c.Pages()[k]) == resolved.readingSo.end()) {
            return "page name: the UTF-8 form of a listed page does not find it";
        }
        for (const std::string& page : resolved.readingSo) {
            if (LogTextToUtf8(page) != utf8) {
                return "page name: a page found by its UTF-8 form reads differently";
            }
        }
    }
    return {};
}

Broken CheckShareSvg(Context& c) {
    ShareCounters share{};
    AddShare(share, ComputeShare(c.doc.Store()));
    if (ShareSvg(share).find("</svg>") == std::string::npos) {
        return "svg: the share picture is not closed";
    }
    return {};
}

// One walk for every report gives each row the result it gets walking alone.
Broken CheckOneWalk(Context& c) {
    const std::vector<const CommandRow*> rows = AllReportRows();
    const std::vector<RowResult> together = RunRows(rows, c.doc.Store());
    for (size_t k = 0; k < rows.size(); ++k) {
        if (together[k].row != rows[k] || FormatText(together[k].result) != ReportText(*rows[k], c.doc.Store())) {
            return std::string(rows[k]->cliName) + ": the shared walk gives another result than its own walk";
        }
    }
    return {};
}

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

// Every output over all reports of the log at once.
Broken CheckLogOutputs(Context& c, const LogOutput& output) {
    return output.check(RunRows(AllReportRows(), c.doc.Store()), WalkLength(c.doc.Store()));
}

// One report row, with each page name the per-page report is asked for.
Broken CheckReportRow(Context& c, const CommandRow& row) {
    for (const std::string& page : TakesPage(row) ? c.Pages() : std::vector<std::string>{std::string()}) {
        if (Broken broken = CheckRow(row, c.doc, page); !broken.empty()) {
            return broken;
        }
    }
    return {};
}

// The checks of one input, each on its own: a fuzz input runs one of them, chosen by
// its first byte, so that every execution stays short; a replay runs them all. The
// report rows are chosen four times as often as the other checks, which load the file
// again. The checks that write every report at once or read the file on threads take
// tens of milliseconds under the sanitizers (a log of wide dates makes a calendar of
// decades): they have a target of their own, so the log target keeps its pace.
struct Checks {
    std::vector<std::function<Broken(Context&)>> all;
    std::vector<size_t> byFirstByte;        // index into all, each as often as it is chosen
    std::vector<size_t> costlyByFirstByte;  // the same for the costly checks
    Checks() {
        all = {CheckWholeFile, CheckLastWindow,        CheckFromWindow, CheckResolvedPages,
               CheckShareSvg,  CheckContentsQuestions, CheckOneWalk};
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
