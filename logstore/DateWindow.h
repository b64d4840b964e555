// Date windows: the part of a log from the first record dated on or after one date to
// the last record dated on or before another, found by binary search over the file.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "logstore/CivilDate.h"

namespace quorlet3 {

class LogFile;

// Either end may be open. A window with neither is the whole log.
struct DateWindow {
    std::optional<CivilDate> since;  // first date included
    std::optional<CivilDate> until;  // last date included

    bool IsOpen() const { return !since && !until; }
};

// Bytes [begin, end) of a file; both at starts of file lines (or at its end).
struct ByteRange {
    long long begin = 0;
    long long end = 0;
};

// A date written YYYY-MM-DD (four, two and two ASCII digits) that exists; nothing otherwise.
std::optional<CivilDate> ParseIsoDate(std::string_view text);

// The window's bytes in the log at path. A file line is dated when it is a time-stamp
// line that the loader stores in one slot and whose date reads (DateOf). A record (from
// a line that begins with the first or the sixth marker up to the next such line) takes
// the date of its dated line; a record without one takes the date of the next dated
// line, or of the last one when none follows. The window starts at the first record dated on or after since (the file's
// start when every dated line before it is dated on or after since) and ends after the last record dated on or before
// until; undated lines inside it are kept. The dates are taken to rise through the file, as a counter appends them: the
// search reads a few blocks near each of about log2(size / 64 KiB) probes, not the whole file. An empty window has
// begin == end; a log without any dated line has only the empty window {0, 0}. Throws LogFileError naming the file when
// it cannot be opened or read or is no regular file.
ByteRange FindDateWindow(const std::string& path, const DateWindow& window);

// The same over a log already open (a regular file), read by offset.
ByteRange FindDateWindow(const LogFile& log, const DateWindow& window);

// The same over a log held in memory.
ByteRange FindDateWindowInBytes(std::string_view bytes, const DateWindow& window);

// The dates of a log's first and last dated lines (dated as FindDateWindow dates them).
struct DateSpan {
    CivilDate first;
    CivilDate last;
};

// The span of the log at path, or nothing when no line of it is dated. The dates are taken
// to rise through the file: the first dated line is sought forwards from the start and the
// last backwards from the end, so a log with dates is read only a few blocks at either
// end; a log without any is read once. Throws LogFileError like FindDateWindow.
std::optional<DateSpan> FindLogDateSpan(const std::string& path);

// The same over a log held in memory.
std::optional<DateSpan> FindLogDateSpanInBytes(std::string_view bytes);

namespace detail {
// Reads count bytes at offset into out (all of them exist).
using ReadAt = std::function<void(char* out, long long offset, long long count)>;
// The search over a log of size bytes read through read, blockBytes at a time (tests put
// lines across block edges with small blocks).
ByteRange FindDateWindow(long long size, const ReadAt& read, const DateWindow& window, long long blockBytes);
// The span of a log of size bytes read through read, blockBytes at a time.
std::optional<DateSpan> FindLogDateSpan(long long size, const ReadAt& read, long long blockBytes);
}  // namespace detail

}  // namespace quorlet3
