// Reading a log file into a line store, as a text-mode reader with a 1000-byte buffer would.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "logstore/DateWindow.h"
#include "logstore/LineStore.h"
#include "logstore/LogFile.h"
#include "logstore/LogFileError.h"

namespace quorlet3 {

// Reads the first 10000 lines of the file at path into a new store and writes the
// sentinel after them. Opens the file read-only; refuses directories, FIFOs and
// sockets. Throws LogFileError naming the file when it cannot be opened or read.
std::unique_ptr<LineStore> LoadLineStore(const std::string& path);

// The store LoadLineStore makes of a file holding exactly these bytes, read from
// memory by the same reader (for the fuzz harness, which loads many small logs).
std::unique_ptr<LineStore> LoadLineStoreFromBytes(std::string_view bytes);
// The same into an existing store, whose slots are emptied first.
void LoadLineStoreFromBytes(std::string_view bytes, LineStore& store);

// Which part of a long log goes into the store. A file line is a run of bytes ended
// by LF (the last one may lack it); a window always starts at the start of a file
// line and is read exactly as a whole file would be from there: reads of at most
// 999 text-mode bytes, one slot each, 10000 slots at most, then the sentinel.
struct LineWindow {
    enum class Kind {
        First,  // from file line 1: the same store as LoadLineStore(path)
        From,   // from file line fromLine (1-based); past the end the store is empty
        Last,   // the lines that end the file, see below
        Dates,  // the first lines of a date window (FindDateWindow), none past its end
    };
    Kind kind = Kind::First;
    long long fromLine = 1;  // Kind::From only; at least 1
    DateWindow dates;        // Kind::Dates only

    static LineWindow FirstLines() { return {}; }
    static LineWindow FromLine(long long line) { return {Kind::From, line, {}}; }
    static LineWindow LastLines() { return {Kind::Last, 1, {}}; }
    static LineWindow Dated(const DateWindow& window) { return {Kind::Dates, 1, window}; }
};

// Kind::Last: the earliest file line from which the rest of the file fills at most
// 10000 slots (a line longer than 999 bytes fills several), moved forward to the
// first line of that window that begins a record (its first bytes are the first or
// the sixth marker), so that the store does not open with half a record. When no
// line of the window begins a record, the window stays where it is. When the last
// line alone fills more than 10000 slots, the window is that line and the store
// holds its first 10000 reads. The window is found by reading backwards from the
// end of the file, so the time taken depends on the window, not on the file size.
//
// Windows other than First need a regular file; anything else is refused with a
// LogFileError, as are the kinds LoadLineStore(path) refuses.

struct LoadedLog {
    std::unique_ptr<LineStore> store;
    long long startByte = 0;  // file offset of the window's first line (the file size when past the end)
    // File lines before the window (LF bytes before startByte): known after a First
    // or From load; a Last or Dates load leaves it empty, CountLinesBefore gives it.
    std::optional<long long> linesBefore;
};

// Loads the window of the file at path ("-": the first lines of standard input; other
// windows of it are refused). Throws LogFileError naming the file when it
// cannot be opened or read, std::invalid_argument when fromLine is below 1.
LoadedLog LoadLineStore(const std::string& path, const LineWindow& window);

// The number of LF bytes in the first byteOffset bytes of the file (all of them when
// the file is shorter): the number of file lines before a window that starts at
// byteOffset. Reads the file forward once. Throws LogFileError like the loader,
// std::invalid_argument when byteOffset is negative.
long long CountLinesBefore(const std::string& path, long long byteOffset);

namespace detail {
// The start of the Last window of the file at path, found reading backwards blockBytes
// at a time (the loader reads 64 KiB); lets tests put every byte at a block edge.
long long FindLastWindowStart(const std::string& path, long long blockBytes);
}  // namespace detail

}  // namespace quorlet3
