// Loads a log file: text-mode reads of at most 999 bytes that stop after LF, one slot per read.
#include "logstore/LogLoader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "logstore/Quorlet3Doc.h"
#include "logstore/ReadingRules.h"

namespace quorlet3 {
namespace {

// One read fills at most 999 bytes and a terminating zero into a 1000-byte buffer.
constexpr size_t kReadLimit = 999;

class FileHandle {
public:
    explicit FileHandle(int fd) : fd_(fd) {}
    ~FileHandle() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// Delivers the file's bytes as a text-mode stream: each CR LF pair reads as one LF,
// any other CR stays.
class TextModeReader {
public:
    TextModeReader(int fd, const std::string& path) : fd_(fd), path_(path) {}

    // Reads up to limit bytes of the text stream into out, stopping after the first
    // LF. Returns the number of bytes read, 0 at the end of the file.
    size_t ReadLine(char* out, size_t limit) {
        size_t n = 0;
        while (n < limit) {
            if (pos_ == end_ && !Fill()) {
                break;
            }
            // Copy the run before the next CR or LF in one piece.
            const char* start = buffer_ + pos_;
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
            const char c = buffer_[pos_++];
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

private:
    int PeekRaw() {
        if (pos_ == end_ && !Fill()) {
            return -1;
        }
        return static_cast<unsigned char>(buffer_[pos_]);
    }
    bool Fill() {
        if (eof_) {
            return false;
        }
        for (;;) {
            ssize_t got = ::read(fd_, buffer_, sizeof buffer_);
            if (got > 0) {
                pos_ = 0;
                end_ = static_cast<size_t>(got);
                return true;
            }
            if (got == 0) {
                eof_ = true;
                return false;
            }
            if (errno == EINTR) {
                continue;
            }
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                throw LogFileError(path_, "cannot read: no data is available without waiting");
            }
            throw LogFileError(path_, std::string("cannot read: ") + std::strerror(errno), LogFileCause::ReadError);
        }
    }

    int fd_;
    const std::string& path_;
    char buffer_[65536];
    size_t pos_ = 0;
    size_t end_ = 0;
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

// The cause of a failed open or stat, by its errno.
LogFileCause OpenFailureCause(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return LogFileCause::NotFound;
        case EACCES:
        case EPERM:
            return LogFileCause::NoPermission;
        default:
            return LogFileCause::Other;
    }
}

int OpenForReading(const std::string& path) {
    // Non-blocking, so that a FIFO without a writer or a terminal cannot hang the load.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int error = errno;
        throw LogFileError(path, std::string("cannot open: ") + std::strerror(error), OpenFailureCause(error));
    }
    return fd;
}

void RefuseUnreadableKinds(int fd, const std::string& path) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        throw LogFileError(path, std::string("cannot open: ") + std::strerror(errno));
    }
    if (S_ISDIR(info.st_mode)) {
        throw LogFileError(path, "cannot open: it is a directory", LogFileCause::NotRegularFile);
    }
    if (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode)) {
        throw LogFileError(path, "cannot open: it is a pipe or socket, not a file", LogFileCause::NotRegularFile);
    }
}

}  // namespace

std::unique_ptr<LineStore> LoadLineStore(const std::string& path) {
    FileHandle file(OpenForReading(path));
    RefuseUnreadableKinds(file.get(), path);

    auto store = std::make_unique<LineStore>();
    auto reader = std::make_unique<TextModeReader>(file.get(), path);
    char read[kReadLimit + 1];
    int n = 0;
    while (n < kLineSlots) {
        const size_t length = reader->ReadLine(read, kReadLimit);
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
        store->m_strLine[n] = std::move(line);
        ++n;
    }
    (*store)[n] = std::string(kSentinel);
    return store;
}

}  // namespace quorlet3
