// The log harness's loading checks: the store every load leaves, and the same bytes
// loaded as a file, whole and as line windows.
#include <algorithm>

#include "fuzz/LogChecks.h"
#include "logstore/LogLoader.h"
#include "logstore/ReadingRules.h"

namespace quorlet3::fuzz {

MemoryFile& SharedFile() {
    static MemoryFile file;
    return file;
}

namespace {

// A slot of the store, read here rather than through the store's operator[], whose
// out-of-line copy carries the fuzzer's instrumentation: these loops visit every slot
// of every input.
const std::string& SlotText(const LineStore& store, int slot) {
    return slot < kLineSlots ? store.m_strLine[static_cast<size_t>(slot)] : store.m_strEndSlot;
}

}  // namespace

// What every successful load leaves: the sentinel in slot n, nothing after it, and
// before it lines of at most 999 bytes with no LF and no NUL, the reference-address
// lines without spaces.
Broken CheckStore(const LineStore& store, size_t inputSize) {
    int sentinel = kStoreSlots - 1;
    while (sentinel >= 0 && SlotText(store, sentinel).empty()) {
        --sentinel;
    }
    if (sentinel < 0 || !IsSentinel(SlotText(store, sentinel))) {
        return "store: the last non-empty slot is not the sentinel";
    }
    size_t bytes = 0;
    for (int i = 0; i < sentinel; ++i) {
        const std::string& line = SlotText(store, i);
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
        if (SlotText(a, i) != SlotText(b, i)) {
            return false;
        }
    }
    return true;
}

namespace {

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

}  // namespace

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

}  // namespace quorlet3::fuzz
