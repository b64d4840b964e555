// Loads a log file: text-mode reads of at most 999 bytes that stop after LF, one slot per read.
#include "logstore/LogLoader.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "logstore/LogFile.h"
#include "logstore/Quorlet3Doc.h"
#include "logstore/ReadingRules.h"
#include "logstore/TextModeReader.h"

namespace quorlet3 {

namespace {

// One read fills at most 999 bytes and a terminating zero into a 1000-byte buffer.
constexpr size_t kReadLimit = 999;

// The loader takes a device (it stops after 10000 reads) and, where it says so, standard input.
constexpr LogOpening kFileOnly{};
constexpr LogOpening kFileOrInput{.standardInput = true};

// Removes every ASCII space; a space byte is never part of a double-byte character.
std::string WithoutSpaces(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c != ' ') {
            out += c;
        }
    }
    return out;
}

// Slots filled by a file line of that many text-mode bytes (its LF included).
long long SlotsOf(long long textBytes) {
    constexpr auto kLimit = static_cast<long long>(kReadLimit);
    return (textBytes + kLimit - 1) / kLimit;
}

// Bytes read per backward step; the window of a usual log is a few hundred kilobytes.
constexpr long long kBackwardBlock = 64LL * 1024;

// The start of the Last window of a regular file: see LineWindow.
// Walks the file lines from the end with pread, one block at a time, measuring each
// line in slots, and stops at the first line that no longer fits.
long long FindLastWindow(const LogFile& file, long long blockBytes = kBackwardBlock) {
    const long long size = file.Size();
    if (size == 0) {
        return 0;
    }
    // The line being measured ends at lineEnd (exclusive). Its text-mode length is one
    // byte less than its raw length when it ends with CR LF.
    long long lineEnd = size;
    bool endsWithCrLf = false;
    if (size >= 2) {
        char tail[2];
        file.ReadAt(tail, size - 2, 2);
        endsWithCrLf = tail[0] == '\r' && tail[1] == '\n';
    }
    long long slotsLeft = kLineSlots;
    long long windowStart = -1;  // earliest line taken so far
    long long recordStart = -1;  // earliest line taken so far that begins a record

    // Each block is read with one byte before it (to see a CR before an LF at its
    // first byte) and two after it (to see the marker of a line starting just after
    // an LF at its last byte).
    std::vector<char> block(static_cast<size_t>(blockBytes) + 3);
    long long readFrom = 0;
    auto byteAt = [&](long long offset) { return block[static_cast<size_t>(offset - readFrom)]; };

    // Takes the line [start, lineEnd) into the window when it fits; the last line of
    // the file is always taken. Returns false when it does not fit.
    auto take = [&](long long start) {
        const long long slots = SlotsOf(lineEnd - start - (endsWithCrLf ? 1 : 0));
        if (windowStart >= 0 && slots > slotsLeft) {
            return false;
        }
        slotsLeft = std::max(0LL, slotsLeft - slots);
        windowStart = start;
        if (start + 1 < size && byteAt(start) == kMarker1[0] &&
            (byteAt(start + 1) == kMarker1[1] || byteAt(start + 1) == kMarker6[1])) {
            recordStart = start;
        }
        return true;
    };
    auto result = [&] { return recordStart >= 0 ? recordStart : windowStart; };

    // LF bytes are looked for in [0, scanEnd); the last byte of the file ends the
    // last line whatever it is.
    long long scanEnd = size - 1;
    for (;;) {
        const long long scanFrom = std::max(0LL, scanEnd - blockBytes);
        readFrom = scanFrom > 0 ? scanFrom - 1 : 0;
        const long long readTo = std::min(size, scanEnd + 2);
        file.ReadAt(block.data(), readFrom, static_cast<size_t>(readTo - readFrom));
        const char* base = block.data() + (scanFrom - readFrom);
        long long rest = scanEnd - scanFrom;  // bytes of the block still to search
        while (rest > 0) {
            const void* found = ::memrchr(base, '\n', static_cast<size_t>(rest));
            if (found == nullptr) {
                break;
            }
            const long long lf = scanFrom + (static_cast<const char*>(found) - base);
            if (!take(lf + 1)) {
                return result();
            }
            lineEnd = lf + 1;
            endsWithCrLf = lf > 0 && byteAt(lf - 1) == '\r';
            if (slotsLeft == 0) {
                return result();  // every earlier line fills at least one slot
            }
            rest = lf - scanFrom;
        }
        if (scanFrom == 0) {
            take(0);
            return result();
        }
        // The line reaching back past this block is already too long to fit, unless
        // it is the last line, whose start must be found whatever its length.
        if (windowStart >= 0 && lineEnd - scanFrom - 1 > slotsLeft * static_cast<long long>(kReadLimit)) {
            return result();
        }
        scanEnd = scanFrom;
    }
}

// Fills the store from the reader's position: one slot per read, at most 10000, then
// the sentinel.
void FillStore(LineStore& store, TextModeReader& reader) {
    char read[kReadLimit + 1];
    int n = 0;
    while (n < kLineSlots) {
        const size_t length = reader.ReadLine(read, kReadLimit);
        if (length == 0) {
            break;  // end of file, nothing read
        }
        // The read is one C string: a NUL byte ends the stored text.
        size_t text = ::strnlen(read, length);
        if (text > 0 && read[text - 1] == '\n') {
            --text;
        }
        std::string line(read, text);
        if (HasMarker(line, kMarker5)) {
            line = WithoutSpaces(line);
        }
        store.m_strLine[static_cast<size_t>(n)] = std::move(line);
        ++n;
    }
    store[n] = std::string(kSentinel);
}

// The first lines of standard input, read as a file would be (a pipe is read as it comes).
LoadedLog LoadStandardInput(const LineWindow& window) {
    if (window.kind != LineWindow::Kind::First) {
        throw LogFileError(std::string(kStandardInputName), LogFailure::NoLineWindow);
    }
    const LogFile file(std::string(kStandardInput), kFileOrInput);
    TextModeReader reader(file);
    LoadedLog loaded;
    loaded.linesBefore = 0;
    loaded.store = std::make_unique_for_overwrite<LineStore>();
    FillStore(*loaded.store, reader);
    return loaded;
}

}  // namespace

std::unique_ptr<LineStore> LoadLineStore(const std::string& path) {
    return LoadLineStore(path, LineWindow::FirstLines()).store;
}

void LoadLineStoreFromBytes(std::string_view bytes, LineStore& store) {
    for (std::string& line : store.m_strLine) {
        line.clear();
    }
    store.m_strEndSlot.clear();
    TextModeReader reader(bytes);
    FillStore(store, reader);
}

std::unique_ptr<LineStore> LoadLineStoreFromBytes(std::string_view bytes) {
    // Every member is a string, so default construction is enough: no 320 KB of zeroes first.
    auto store = std::make_unique_for_overwrite<LineStore>();
    LoadLineStoreFromBytes(bytes, *store);
    return store;
}

LoadedLog LoadLineStore(const std::string& path, const LineWindow& window) {
    if (window.kind == LineWindow::Kind::From && window.fromLine < 1) {
        throw std::invalid_argument("a line window starts at line 1 or later");
    }
    if (path == kStandardInput) {
        return LoadStandardInput(window);
    }
    const LogFile file(path, kFileOnly);
    if (window.kind != LineWindow::Kind::First) {
        file.RequireRegular(LogFailure::NoLineWindow);
    }
    LoadedLog loaded;
    std::unique_ptr<TextModeReader> reader;
    switch (window.kind) {
        case LineWindow::Kind::First:
            reader = std::make_unique<TextModeReader>(file);
            loaded.linesBefore = 0;
            break;
        case LineWindow::Kind::From:
            reader = std::make_unique<TextModeReader>(file);
            loaded.linesBefore = reader->SkipLines(window.fromLine - 1);
            loaded.startByte = reader->Offset();
            break;
        case LineWindow::Kind::Last:
            loaded.startByte = FindLastWindow(file);
            file.SeekTo(loaded.startByte);
            reader = std::make_unique<TextModeReader>(file, loaded.startByte);
            break;
        case LineWindow::Kind::Dates: {
            const ByteRange range = FindDateWindow(file, window.dates);
            loaded.startByte = range.begin;
            file.SeekTo(range.begin);
            reader = std::make_unique<TextModeReader>(file, range.begin, range.end);
            break;
        }
    }
    loaded.store = std::make_unique_for_overwrite<LineStore>();
    FillStore(*loaded.store, *reader);
    return loaded;
}

namespace detail {

long long FindLastWindowStart(const std::string& path, long long blockBytes) {
    if (blockBytes < 1) {
        throw std::invalid_argument("a block holds at least one byte");
    }
    const LogFile file(path, kFileOnly);
    file.RequireRegular(LogFailure::NoLineWindow);
    return FindLastWindow(file, blockBytes);
}

}  // namespace detail

long long CountLinesBefore(const std::string& path, long long byteOffset) {
    if (byteOffset < 0) {
        throw std::invalid_argument("a byte offset is never negative");
    }
    const LogFile file(path, kFileOnly);
    file.AdviseSequential();

    constexpr size_t kBlock = size_t{128} * 1024;  // stays in cache between the read and the count
    std::vector<char> block(kBlock);
    long long left = byteOffset;
    long long lines = 0;
    while (left > 0) {
        const size_t got = file.Read(block.data(), static_cast<size_t>(std::min<long long>(left, kBlock)));
        if (got == 0) {
            break;
        }
        lines += CountLf(block.data(), got);
        left -= static_cast<long long>(got);
    }
    return lines;
}

}  // namespace quorlet3
