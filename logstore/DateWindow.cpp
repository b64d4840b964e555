// Date windows: binary search over a log's bytes for the records of a range of dates.
#include "logstore/DateWindow.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "logstore/LineStore.h"
#include "logstore/LogFile.h"
#include "logstore/ReadingRules.h"

namespace quorlet3 {
namespace {

// Bytes read at a time near each probe; the window of a usual log is a few hundred kilobytes.
constexpr long long kProbeBlock = 64LL * 1024;

// A date window or span is found in a regular file under a path, by offset.
constexpr LogOpening kDatedFile{};

// Reads by offset from a log already open.
detail::ReadAt ReaderOf(const LogFile& log) {
    return
        [&log](char* out, long long offset, long long count) { log.ReadAt(out, offset, static_cast<size_t>(count)); };
}

// A file line fills one slot of the store when its text-mode bytes, LF included, number
// at most this (the loader's read limit).
constexpr long long kOneSlotBytes = 999;

// One file line as the search sees it.
struct FileLine {
    long long start = 0;
    long long end = 0;          // after its LF, or the end of the file
    std::optional<int> day;     // day number of a dated time-stamp line
    bool beginsRecord = false;  // begins with the first or the sixth marker
};

// Reads lines at given offsets through a buffer of one block, reused while the lines
// follow one another.
class LineScanner {
public:
    LineScanner(long long size, const detail::ReadAt& read, long long blockBytes)
        : m_size(size), m_read(read), m_block(std::max(1LL, blockBytes)) {}

    long long Size() const { return m_size; }

    // The first line start at or after offset (the end of the file when none).
    long long NextLineStart(long long offset) {
        if (offset <= 0) {
            return 0;
        }
        long long pos = offset - 1;  // a line starts at offset when the byte before it is an LF
        while (pos < m_size) {
            Load(pos);
            const char* p = At(pos);
            const auto n = static_cast<size_t>(BufferEnd() - pos);
            if (const void* lf = std::memchr(p, '\n', n)) {
                return pos + (static_cast<const char*>(lf) - p) + 1;
            }
            pos += static_cast<long long>(n);
        }
        return m_size;
    }

    // The line that starts at start (< Size()).
    FileLine LineAt(long long start) {
        FileLine line;
        line.start = start;
        m_head.clear();
        long long pos = start;
        bool endsWithLf = false;
        while (pos < m_size) {
            Load(pos);
            const char* p = At(pos);
            const auto n = static_cast<size_t>(BufferEnd() - pos);
            const void* lf = std::memchr(p, '\n', n);
            const size_t take = lf != nullptr ? static_cast<size_t>(static_cast<const char*>(lf) - p) + 1 : n;
            if (m_head.size() <= static_cast<size_t>(kOneSlotBytes)) {
                m_head.append(p, std::min(take, static_cast<size_t>(kOneSlotBytes) + 1 - m_head.size()));
            }
            pos += static_cast<long long>(take);
            if (lf != nullptr) {
                endsWithLf = true;
                break;
            }
        }
        line.end = pos;
        line.beginsRecord = HasMarker(m_head, kMarker1) || HasMarker(m_head, kMarker6);
        // The text the store would hold: one slot only, CR LF read as LF, the LF left out,
        // cut at a NUL byte.
        const bool crLf = endsWithLf && line.end - start >= 2 && m_head.size() >= 2 &&
                          m_head[m_head.size() - 2] == '\r' && m_head.back() == '\n';
        const long long textBytes = line.end - start - (crLf ? 1 : 0);
        if (textBytes > kOneSlotBytes) {
            return line;
        }
        std::string_view text(m_head);
        if (endsWithLf) {
            text.remove_suffix(crLf ? 2 : 1);
        }
        text = text.substr(0, ::strnlen(text.data(), text.size()));
        if (HasMarker(text, kMarker2) || HasMarker(text, kMarker7)) {
            if (const std::optional<CivilDate> date = DateOf(text)) {
                line.day = date->DayNumber();
            }
        }
        return line;
    }

private:
    // Makes the buffer hold pos (< m_size) and as much after it as one block allows.
    void Load(long long pos) {
        if (pos >= m_base && pos < BufferEnd()) {
            return;
        }
        const long long count = std::min(m_block, m_size - pos);
        m_buffer.resize(static_cast<size_t>(count));
        m_read(m_buffer.data(), pos, count);
        m_base = pos;
    }
    long long BufferEnd() const { return m_base + static_cast<long long>(m_buffer.size()); }
    const char* At(long long pos) const { return m_buffer.data() + (pos - m_base); }

    long long m_size;
    const detail::ReadAt& m_read;
    long long m_block;
    std::vector<char> m_buffer;
    long long m_base = 0;
    std::string m_head;  // the first bytes of the line being read
};

// Where the records dated on or after the day begin: see FindDateWindow.
struct Boundary {
    long long offset = 0;   // the first such record's start, the end of the file when there is none
    bool anyDated = false;  // the log holds a dated line at all
};

Boundary BoundaryBefore(LineScanner& scanner, int day, long long blockBytes) {
    const long long size = scanner.Size();
    // The answer is the first dated line D dated on or after day; P is the last dated
    // line before it. Invariants: every dated line that starts before lo is dated before
    // day; no dated line starts in [hi, best); best is D's start or the end of the file.
    long long lo = 0;
    long long hi = size;
    long long best = size;
    std::optional<FileLine> before;  // P as far as known
    auto scanFrom = [&](long long from, long long limit) -> std::optional<FileLine> {
        for (long long start = from; start < limit;) {
            const FileLine line = scanner.LineAt(start);
            if (line.day) {
                return line;
            }
            start = line.end;
        }
        return std::nullopt;
    };
    while (hi - lo > blockBytes) {
        const long long mid = lo + (hi - lo) / 2;
        const std::optional<FileLine> probe = scanFrom(scanner.NextLineStart(mid), hi);
        if (!probe) {
            hi = mid;
        } else if (*probe->day >= day) {
            best = probe->start;
            hi = mid;
        } else {
            lo = probe->end;
            before = probe;
        }
    }
    // The last stretch line by line.
    for (long long start = lo; start < hi;) {
        const FileLine line = scanner.LineAt(start);
        if (line.day) {
            if (*line.day >= day) {
                best = line.start;
                break;
            }
            before = line;
        }
        start = line.end;
    }
    if (best == size) {
        // Nothing is dated on or after the day: records after the last dated line go with it.
        return {size, before.has_value()};
    }
    if (!before) {
        return {0, true};  // nothing is dated before the day: the window takes the file's start too
    }
    // The first record that starts after P (and at or before D) opens the window; without
    // one, D's line does.
    for (long long start = before->end; start < best;) {
        const FileLine line = scanner.LineAt(start);
        if (line.beginsRecord) {
            return {start, true};
        }
        start = line.end;
    }
    return {best, true};
}

int DigitsValue(std::string_view digits) {
    int value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return -1;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace

std::optional<CivilDate> ParseIsoDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') {
        return std::nullopt;
    }
    const int year = DigitsValue(text.substr(0, 4));
    const int month = DigitsValue(text.substr(5, 2));
    const int day = DigitsValue(text.substr(8, 2));
    if (year < 0 || !IsValidDate(year, month, day)) {
        return std::nullopt;
    }
    return CivilDate{year, month, day};
}

namespace detail {

ByteRange FindDateWindow(long long size, const ReadAt& read, const DateWindow& window, long long blockBytes) {
    LineScanner scanner(size, read, blockBytes);
    ByteRange range{0, size};
    if (window.since) {
        const Boundary since = BoundaryBefore(scanner, window.since->DayNumber(), blockBytes);
        if (!since.anyDated) {
            return {0, 0};  // no record is dated in any window
        }
        range.begin = since.offset;
    }
    if (window.until) {
        const Boundary until = BoundaryBefore(scanner, window.until->DayNumber() + 1, blockBytes);
        if (!until.anyDated) {
            return {0, 0};
        }
        range.end = until.offset;
    }
    range.end = std::max(range.begin, range.end);  // dates out of order: an empty window, not a negative one
    return range;
}

std::optional<DateSpan> FindLogDateSpan(long long size, const ReadAt& read, long long blockBytes) {
    LineScanner scanner(size, read, blockBytes);
    std::optional<FileLine> first;
    for (long long start = 0; start < size && !first;) {
        const FileLine line = scanner.LineAt(start);
        if (line.day) {
            first = line;
        }
        start = line.end;
    }
    if (!first) {
        return std::nullopt;
    }
    // Backwards from the end in stretches that double, each read forwards from its first
    // line start; a stretch ends where the one after it began.
    int lastDay = *first->day;
    long long limit = size;  // every line that starts at or after it has been looked at
    const long long step = std::max(1LL, blockBytes);
    for (long long back = step; limit > first->end; back = std::min(back * 2, size)) {
        const long long from = scanner.NextLineStart(std::max(first->end, limit - back));
        if (from >= limit) {
            continue;  // the stretch lies inside one long line: reach further back
        }
        std::optional<int> found;
        for (long long start = from; start < limit;) {
            const FileLine line = scanner.LineAt(start);
            if (line.day) {
                found = line.day;
            }
            start = line.end;
        }
        if (found) {
            lastDay = *found;
            break;
        }
        limit = from;
    }
    return DateSpan{CivilDate::FromDayNumber(*first->day), CivilDate::FromDayNumber(lastDay)};
}

}  // namespace detail

ByteRange FindDateWindow(const LogFile& log, const DateWindow& window) {
    return detail::FindDateWindow(log.Size(), ReaderOf(log), window, kProbeBlock);
}

ByteRange FindDateWindow(const std::string& path, const DateWindow& window) {
    if (path == kStandardInput) {
        throw LogFileError(std::string(kStandardInputName), LogFailure::NoDateWindow);
    }
    const LogFile log(path, kDatedFile);
    log.RequireRegular(LogFailure::NoLineWindow);  // refused as the loader refuses a line window of it
    return FindDateWindow(log, window);
}

std::optional<DateSpan> FindLogDateSpan(const std::string& path) {
    if (path == kStandardInput) {
        throw LogFileError(std::string(kStandardInputName), LogFailure::NoDateSpan);
    }
    const LogFile log(path, kDatedFile);
    log.RequireRegular(LogFailure::NoLineWindow);
    return detail::FindLogDateSpan(log.Size(), ReaderOf(log), kProbeBlock);
}

ByteRange FindDateWindowInBytes(std::string_view bytes, const DateWindow& window) {
    const detail::ReadAt read = [bytes](char* out, long long offset, long long count) {
        std::memcpy(out, bytes.data() + offset, static_cast<size_t>(count));
    };
    return detail::FindDateWindow(static_cast<long long>(bytes.size()), read, window, kProbeBlock);
}

std::optional<DateSpan> FindLogDateSpanInBytes(std::string_view bytes) {
    const detail::ReadAt read = [bytes](char* out, long long offset, long long count) {
        std::memcpy(out, bytes.data() + offset, static_cast<size_t>(count));
    };
    return detail::FindLogDateSpan(static_cast<long long>(bytes.size()), read, kProbeBlock);
}

}  // namespace quorlet3
