// Loads a log file: text-mode reads of at most 999 bytes that stop after LF, one slot per read.
#include "logstore/LogLoader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "logstore/FileHandle.h"
#include "logstore/Quorlet3Doc.h"
#include "logstore/ReadingRules.h"

namespace quorlet3 {

LogFileError::LogFileError(const std::string& path, const std::string& reason, LogFileCause cause, int errorNumber)
    : std::runtime_error("'" + path + "': " + reason),
      m_path(path),
      m_reason(reason),
      m_cause(cause),
      m_errorNumber(errorNumber) {}

namespace {

// Failures of the system calls, with the errno kept for the message in the user's language.
[[noreturn]] void ThrowOpenError(const std::string& path, int error) {
    throw LogFileError(path, std::string("cannot open: ") + std::strerror(error), OpenFailureCause(error), error);
}

[[noreturn]] void ThrowReadError(const std::string& path, int error) {
    if (error == EAGAIN || error == EWOULDBLOCK) {
        throw LogFileError(path, "cannot read: no data is available without waiting", ReadFailureCause(error), error);
    }
    throw LogFileError(path, std::string("cannot read: ") + std::strerror(error), ReadFailureCause(error), error);
}

// One read fills at most 999 bytes and a terminating zero into a 1000-byte buffer.
constexpr size_t kReadLimit = 999;

// The number of LF bytes in [p, p + n), sixteen bytes at a time: each comparison gives
// 0xFF per LF, subtracted into byte counters that are summed before they can overflow.
long long CountLf(const char* p, size_t n) {
    using Bytes = unsigned char __attribute__((vector_size(16)));
    long long count = 0;
    size_t i = 0;
    while (n - i >= sizeof(Bytes)) {
        Bytes counters = {};
        const size_t steps = std::min<size_t>((n - i) / sizeof(Bytes), 255);
        for (size_t step = 0; step < steps; ++step, i += sizeof(Bytes)) {
            Bytes bytes;
            std::memcpy(&bytes, p + i, sizeof(Bytes));
            counters -= reinterpret_cast<Bytes>(bytes == '\n');
        }
        for (size_t k = 0; k < sizeof(Bytes); ++k) {
            count += counters[k];
        }
    }
    for (; i < n; ++i) {
        count += p[i] == '\n' ? 1 : 0;
    }
    return count;
}

// Delivers the file's bytes as a text-mode stream: each CR LF pair reads as one LF,
// any other CR stays.
class TextModeReader {
public:
    // start is the file offset the descriptor reads from next; limit (when not negative)
    // the offset at which the stream ends as if the file ended there.
    TextModeReader(int fd, const std::string& path, long long start = 0, long long limit = -1)
        : fd_(fd), path_(path), consumed_(start), limit_(limit) {}
    // Bytes already in memory, delivered as one block as if read from a file.
    explicit TextModeReader(std::string_view bytes) : fd_(-1), path_(NoPath()), memory_(bytes), consumed_(0) {}

    // Reads up to limit bytes of the text stream into out, stopping after the first
    // LF. Returns the number of bytes read, 0 at the end of the file.
    size_t ReadLine(char* out, size_t limit) {
        size_t n = 0;
        while (n < limit) {
            if (pos_ == end_ && !Fill()) {
                break;
            }
            // Copy the run before the next CR or LF in one piece.
            const char* start = data_ + pos_;
            size_t run = std::min(end_ - pos_, limit - n);
            if (const void* lf = std::memchr(start, '\n', run)) {
                run = static_cast<size_t>(static_cast<const char*>(lf) - start);
            }
            if (const void* cr = std::memchr(start, '\r', run)) {
                run = static_cast<size_t>(static_cast<const char*>(cr) - start);
            }
            std::memcpy(out + n, start, run);
            n += run;
            pos_ += run;
            if (n == limit || pos_ == end_) {
                continue;
            }
            // At a CR or LF: a CR LF pair reads as one LF, a lone CR stays.
            const char c = data_[pos_++];
            if (c == '\r' && PeekRaw() == '\n') {
                ++pos_;
                out[n++] = '\n';
                break;
            }
            out[n++] = c;
            if (c == '\n') {
                break;
            }
        }
        return n;
    }

    // Passes over raw bytes up to and including the next count LF bytes, with no
    // translation: a window starts at a file-line start, and a CR before the LF
    // belongs to the line passed over. Returns the number of LF bytes passed, fewer
    // than count when the file ends first.
    long long SkipLines(long long count) {
        long long skipped = 0;
        while (skipped < count) {
            if (pos_ == end_ && !Fill()) {
                break;
            }
            // A buffer with fewer LF bytes than are left to pass is passed whole;
            // otherwise the last one to pass is in it.
            const long long inBuffer = CountLf(data_ + pos_, end_ - pos_);
            if (skipped + inBuffer < count) {
                skipped += inBuffer;
                pos_ = end_;
                continue;
            }
            while (skipped < count) {
                const void* lf = std::memchr(data_ + pos_, '\n', end_ - pos_);
                pos_ = static_cast<size_t>(static_cast<const char*>(lf) - data_) + 1;
                ++skipped;
            }
        }
        return skipped;
    }

    // File offset of the next raw byte the reader delivers.
    long long Offset() const { return consumed_ - static_cast<long long>(end_ - pos_); }

private:
    int PeekRaw() {
        if (pos_ == end_ && !Fill()) {
            return -1;
        }
        return static_cast<unsigned char>(data_[pos_]);
    }
    static const std::string& NoPath() {
        static const std::string none;
        return none;
    }
    bool Fill() {
        if (eof_) {
            return false;
        }
        if (fd_ < 0) {
            eof_ = memory_.empty();
            if (eof_) {
                return false;
            }
            data_ = memory_.data();
            pos_ = 0;
            end_ = memory_.size();
            consumed_ += static_cast<long long>(end_);
            memory_ = {};
            return true;
        }
        size_t want = sizeof buffer_;
        if (limit_ >= 0) {
            want = static_cast<size_t>(std::clamp<long long>(limit_ - consumed_, 0, static_cast<long long>(want)));
            if (want == 0) {
                eof_ = true;
                return false;
            }
        }
        for (;;) {
            ssize_t got = ::read(fd_, buffer_, want);
            if (got > 0) {
                data_ = buffer_;
                pos_ = 0;
                end_ = static_cast<size_t>(got);
                consumed_ += got;
                return true;
            }
            if (got == 0) {
                eof_ = true;
                return false;
            }
            if (errno == EINTR) {
                continue;
            }
            ThrowReadError(path_, errno);
        }
    }

    int fd_;  // -1 for bytes in memory
    const std::string& path_;
    std::string_view memory_;  // bytes in memory not yet delivered
    char buffer_[65536];
    const char* data_ = buffer_;  // the current block: the buffer, or the bytes in memory
    size_t pos_ = 0;
    size_t end_ = 0;
    long long consumed_;  // file offset just after the bytes read into the buffer so far
    long long limit_ = -1;
    bool eof_ = false;
};

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

int OpenForReading(const std::string& path) {
    // Non-blocking, so that a FIFO without a writer or a terminal cannot hang the load.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        ThrowOpenError(path, errno);
    }
    return fd;
}

void RefuseUnreadableKinds(int fd, const std::string& path) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        ThrowOpenError(path, errno);
    }
    if (S_ISDIR(info.st_mode)) {
        throw LogFileError(path, "cannot open: it is a directory", LogFileCause::NotRegularFile);
    }
    if (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode)) {
        throw LogFileError(path, "cannot open: it is a pipe or socket, not a file", LogFileCause::NotRegularFile);
    }
}

// Some windows need to seek: only a regular file has a fixed size and offsets.
void RequireRegularFile(int fd, const std::string& path) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        ThrowOpenError(path, errno);
    }
    if (!S_ISREG(info.st_mode)) {
        throw LogFileError(path, "cannot read a line window: it is not a regular file", LogFileCause::NotRegularFile);
    }
}

long long FileSize(int fd, const std::string& path) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        ThrowReadError(path, errno);
    }
    return static_cast<long long>(info.st_size);
}

// Reads exactly size bytes at offset; a file that shrank meanwhile is a read error.
void ReadAt(int fd, const std::string& path, char* out, long long offset, long long size) {
    while (size > 0) {
        const ssize_t got = ::pread(fd, out, static_cast<size_t>(size), static_cast<off_t>(offset));
        if (got > 0) {
            out += got;
            offset += got;
            size -= got;
        } else if (got == 0) {
            throw LogFileError(path, "cannot read: the file became shorter while it was read",
                               LogFileCause::FileShrank);
        } else if (errno != EINTR) {
            ThrowReadError(path, errno);
        }
    }
}

// Slots filled by a file line of that many text-mode bytes (its LF included).
long long SlotsOf(long long textBytes) {
    constexpr auto kLimit = static_cast<long long>(kReadLimit);
    return (textBytes + kLimit - 1) / kLimit;
}

// Bytes read per backward step; the window of a usual log is a few hundred kilobytes.
constexpr long long kBackwardBlock = 64LL * 1024;

// The start of the Last window of a regular file of size bytes: see LineWindow.
// Walks the file lines from the end with pread, one block at a time, measuring each
// line in slots, and stops at the first line that no longer fits.
long long FindLastWindow(int fd, const std::string& path, long long size, long long blockBytes = kBackwardBlock) {
    if (size == 0) {
        return 0;
    }
    // The line being measured ends at lineEnd (exclusive). Its text-mode length is one
    // byte less than its raw length when it ends with CR LF.
    long long lineEnd = size;
    bool endsWithCrLf = false;
    if (size >= 2) {
        char tail[2];
        ReadAt(fd, path, tail, size - 2, 2);
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
        ReadAt(fd, path, block.data(), readFrom, readTo - readFrom);
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

ByteRange FindDateWindowInFile(int fd, const std::string& path, const DateWindow& window) {
    const detail::ReadAt read = [fd, &path](char* out, long long offset, long long count) {
        ReadAt(fd, path, out, offset, count);
    };
    return detail::FindDateWindow(FileSize(fd, path), read, window, kBackwardBlock);
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
    static const std::string kName = "standard input";
    if (window.kind != LineWindow::Kind::First) {
        throw LogFileError(kName, "cannot read a line window: it is not a regular file", LogFileCause::NotRegularFile);
    }
    FileHandle file(::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 0));
    if (file.get() < 0) {
        ThrowOpenError(kName, errno);
    }
    TextModeReader reader(file.get(), kName);
    LoadedLog loaded;
    loaded.linesBefore = 0;
    loaded.store = std::make_unique_for_overwrite<LineStore>();
    FillStore(*loaded.store, reader);
    return loaded;
}

}  // namespace

LogFileCause OpenFailureCause(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return LogFileCause::NotFound;
        case EACCES:
        case EPERM:
            return LogFileCause::NoPermission;
        case EISDIR:
            return LogFileCause::NotRegularFile;
        case ELOOP:
            return LogFileCause::SymlinkLoop;
        case EAGAIN:
#if EWOULDBLOCK != EAGAIN
        case EWOULDBLOCK:
#endif
            return LogFileCause::NoDataWithoutWaiting;
        case ENXIO:
        case ENODEV:
            return LogFileCause::NoDevice;
        case EIO:
            return LogFileCause::DeviceError;
        case ENAMETOOLONG:
            return LogFileCause::NameTooLong;
        case EMFILE:
        case ENFILE:
            return LogFileCause::TooManyOpenFiles;
        case ENOMEM:
            return LogFileCause::OutOfMemory;
        default:
            return LogFileCause::Other;
    }
}

LogFileCause ReadFailureCause(int error) {
    switch (error) {
        case EAGAIN:
#if EWOULDBLOCK != EAGAIN
        case EWOULDBLOCK:
#endif
            return LogFileCause::NoDataWithoutWaiting;
        case EISDIR:
            return LogFileCause::NotRegularFile;
        case ENXIO:
        case ENODEV:
            return LogFileCause::NoDevice;
        case ENOMEM:
            return LogFileCause::OutOfMemory;
        default:
            return LogFileCause::ReadError;
    }
}

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
    FileHandle file(OpenForReading(path));
    RefuseUnreadableKinds(file.get(), path);

    LoadedLog loaded;
    std::unique_ptr<TextModeReader> reader;
    switch (window.kind) {
        case LineWindow::Kind::First:
            reader = std::make_unique<TextModeReader>(file.get(), path);
            loaded.linesBefore = 0;
            break;
        case LineWindow::Kind::From:
            RequireRegularFile(file.get(), path);
            reader = std::make_unique<TextModeReader>(file.get(), path);
            loaded.linesBefore = reader->SkipLines(window.fromLine - 1);
            loaded.startByte = reader->Offset();
            break;
        case LineWindow::Kind::Last:
            RequireRegularFile(file.get(), path);
            loaded.startByte = FindLastWindow(file.get(), path, FileSize(file.get(), path));
            if (::lseek(file.get(), static_cast<off_t>(loaded.startByte), SEEK_SET) < 0) {
                ThrowReadError(path, errno);
            }
            reader = std::make_unique<TextModeReader>(file.get(), path, loaded.startByte);
            break;
        case LineWindow::Kind::Dates: {
            RequireRegularFile(file.get(), path);
            const ByteRange range = FindDateWindowInFile(file.get(), path, window.dates);
            loaded.startByte = range.begin;
            if (::lseek(file.get(), static_cast<off_t>(range.begin), SEEK_SET) < 0) {
                throw LogFileError(path, std::string("cannot read: ") + std::strerror(errno));
            }
            reader = std::make_unique<TextModeReader>(file.get(), path, range.begin, range.end);
            break;
        }
    }
    loaded.store = std::make_unique_for_overwrite<LineStore>();
    FillStore(*loaded.store, *reader);
    return loaded;
}

ByteRange FindDateWindow(const std::string& path, const DateWindow& window) {
    if (path == kStandardInput) {
        throw LogFileError("standard input", "cannot find a date window: it is not a regular file",
                           LogFileCause::NotRegularFile);
    }
    FileHandle file(OpenForReading(path));
    RefuseUnreadableKinds(file.get(), path);
    RequireRegularFile(file.get(), path);
    return FindDateWindowInFile(file.get(), path, window);
}

std::optional<DateSpan> FindLogDateSpan(const std::string& path) {
    if (path == kStandardInput) {
        throw LogFileError("standard input", "cannot find its dates: it is not a regular file",
                           LogFileCause::NotRegularFile);
    }
    FileHandle file(OpenForReading(path));
    RefuseUnreadableKinds(file.get(), path);
    RequireRegularFile(file.get(), path);
    const int fd = file.get();
    const detail::ReadAt read = [fd, &path](char* out, long long offset, long long count) {
        ReadAt(fd, path, out, offset, count);
    };
    return detail::FindLogDateSpan(FileSize(fd, path), read, kBackwardBlock);
}

namespace detail {

long long FindLastWindowStart(const std::string& path, long long blockBytes) {
    if (blockBytes < 1) {
        throw std::invalid_argument("a block holds at least one byte");
    }
    FileHandle file(OpenForReading(path));
    RefuseUnreadableKinds(file.get(), path);
    RequireRegularFile(file.get(), path);
    return FindLastWindow(file.get(), path, FileSize(file.get(), path), blockBytes);
}

}  // namespace detail

long long CountLinesBefore(const std::string& path, long long byteOffset) {
    if (byteOffset < 0) {
        throw std::invalid_argument("a byte offset is never negative");
    }
    FileHandle file(OpenForReading(path));
    RefuseUnreadableKinds(file.get(), path);
    ::posix_fadvise(file.get(), 0, 0, POSIX_FADV_SEQUENTIAL);

    constexpr size_t kBlock = size_t{128} * 1024;  // stays in cache between the read and the count
    std::vector<char> block(kBlock);
    long long left = byteOffset;
    long long lines = 0;
    while (left > 0) {
        const ssize_t got = ::read(file.get(), block.data(), static_cast<size_t>(std::min<long long>(left, kBlock)));
        if (got == 0) {
            break;
        }
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            ThrowReadError(path, errno);
        }
        lines += CountLf(block.data(), static_cast<size_t>(got));
        left -= got;
    }
    return lines;
}

}  // namespace quorlet3
