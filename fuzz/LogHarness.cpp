// The log harness: writes the input into an in-memory file, loads it through the
// normal file path and exercises every report.
#include "fuzz/LogHarness.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "logstore/Quorlet3Doc.h"
#include "logstore/ReadingRules.h"
#include "tally/MultibyteOrder.h"
#include "view/CommandTable.h"

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

    const std::string& Write(const uint8_t* data, size_t size) {
        if (::ftruncate(m_fd, 0) != 0) {
            throw std::runtime_error(std::string("ftruncate: ") + std::strerror(errno));
        }
        size_t done = 0;
        while (done < size) {
            const ssize_t n = ::pwrite(m_fd, data + done, size - done, static_cast<off_t>(done));
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

// What every successful load leaves: the sentinel in slot n, nothing after it, and
// before it lines of at most 999 bytes with no LF and no NUL, the reference-address
// lines without spaces.
std::string CheckStore(const LineStore& store, size_t inputSize) {
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

// The page name list: distinct names in strictly ascending multibyte order, then
// only empty strings; every name appears as a page line of the walk.
std::string CheckPageNames(const PageNameList& pages, const LineStore& store) {
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
std::string CheckShare(const ShareCounters& share, const LineStore& store) {
    int lines = 0;
    Walk(store, [&](int, const std::string& line) { lines += HasMarker(line, kMarker4) ? 1 : 0; });
    int sum = 0;
    for (int k = 0; k < 7; ++k) {
        if (share[static_cast<size_t>(k)] < 0) {
            return "share: a negative count";
        }
        sum += share[static_cast<size_t>(k)];
    }
    if (sum != share[7] || share[7] != lines) {
        return "share: counts do not add up to the browser lines";
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

// The listing asked through a question box: accepted it is the listing written without
// one, declined it is "CANCEL".
std::string CheckContentsQuestions(CQuorlet3Doc& doc, const std::string& unasked) {
    FixedAnswers accept(true);
    doc.SetQuestionBox(&accept);
    const std::string accepted = doc.ReportContents();
    FixedAnswers decline(false);
    doc.SetQuestionBox(&decline);
    const std::string declined = doc.ReportContents();
    doc.SetQuestionBox(nullptr);
    if (accepted != unasked) {
        return "contents: the accepted question changed the listing";
    }
    // One question for a store of 1000 lines or more, none for a shorter one.
    const int expected = WalkLength(doc.Store()) >= 1000 ? 1 : 0;
    if (accept.m_asked != expected || decline.m_asked != expected || accept.m_emptyText) {
        return "contents: asked " + std::to_string(accept.m_asked) + " questions, " + std::to_string(expected) +
               " expected, or one without text";
    }
    if (declined != (decline.m_asked > 0 ? std::string(kCancel) : unasked)) {
        return "contents: a declined question did not cancel the listing";
    }
    return {};
}

// A page name taken straight from the input: its first line (any bytes, NUL and CR
// included), at most 64 bytes.
std::string NameFromInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return {};
    }
    const size_t limit = std::min<size_t>(size, 64);
    size_t end = 0;
    while (end < limit && data[end] != '\n') {
        ++end;
    }
    return std::string(reinterpret_cast<const char*>(data), end);
}

}  // namespace

std::string RunLogInput(const uint8_t* data, size_t size) {
    CQuorlet3Doc doc;
    doc.LoadLogFile(SharedFile().Write(data, size));
    if (std::string broken = CheckStore(doc.Store(), size); !broken.empty()) {
        return broken;
    }

    // Every report with each argument it accepts, and one it does not.
    std::string sink;
    auto keep = [&](const std::string& text) { sink.assign(text); };
    for (const CommandRow& row : CommandTable()) {
        if (row.operation != nullptr && !TakesPage(row)) {
            keep(ReportText(row, doc));
        }
    }
    const std::string contents = doc.ReportContents();
    if (std::string broken = CheckContentsQuestions(doc, contents); !broken.empty()) {
        return broken;
    }
    // Arguments no menu command passes.
    if (!doc.ReportTally(3).empty()) {
        return "tally: a marker other than 4 and 5 gave text";
    }
    keep(doc.ReportPages(0));
    keep(doc.ReportHourly(3));

    ShareCounters share{};
    keep(doc.ReportShare(share));
    if (std::string broken = CheckShare(share, doc.Store()); !broken.empty()) {
        return broken;
    }

    PageNameList pages;
    doc.CollectPageNames(pages);
    if (std::string broken = CheckPageNames(pages, doc.Store()); !broken.empty()) {
        return broken;
    }
    size_t used = 0;
    while (used < pages.size() && !pages[used].empty()) {
        ++used;
    }
    if (used > 0) {
        keep(doc.ReportPageDays(pages[0]));
        keep(doc.ReportPageDays(pages[used / 2]));
        keep(doc.ReportPageDays(pages[used - 1]));
    }
    keep(doc.ReportPageDays(NameFromInput(data, size)));
    keep(doc.ReportPageDays(std::string()));

    // A load that fails must leave the store as it was.
    const std::string before = doc.ReportContents();
    try {
        doc.LoadLogFile("/proc/self/fd/-1/none");
        return "load: a path that cannot exist was loaded";
    } catch (const LogFileError&) {
    }
    if (doc.ReportContents() != before) {
        return "load: a failed load changed the store";
    }
    return {};
}

}  // namespace quorlet3::fuzz
