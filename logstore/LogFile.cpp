// Opening, checking and reading a log: a file by offset or in order, standard input in order.
#include "logstore/LogFile.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace quorlet3 {
namespace {

// A descriptor of its own for standard input, closed with the file; or the path opened
// without blocking, so that a FIFO without a writer or a terminal cannot hang the open.
int OpenDescriptor(const std::string& path, bool standardInput, const std::string& name) {
    const int fd = standardInput ? ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 0)
                                 : ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        throw LogFileError(name, LogFailure::CannotOpen, errno);
    }
    return fd;
}

}  // namespace

LogFile::LogFile(const std::string& path, const LogOpening& opening)
    : m_name(opening.standardInput && path == kStandardInput ? std::string(kStandardInputName) : path),
      m_fd(OpenDescriptor(path, opening.standardInput && path == kStandardInput, m_name)) {
    const bool standardInput = opening.standardInput && path == kStandardInput;
    if (standardInput && !opening.refuseInputFolder) {
        return;  // taken as it comes: a read of what cannot be read fails
    }
    struct stat info {};
    if (::fstat(m_fd.get(), &info) != 0) {
        throw LogFileError(m_name, LogFailure::CannotOpen, errno);
    }
    m_identity = {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
    if (S_ISDIR(info.st_mode)) {
        throw LogFileError(m_name, LogFailure::IsDirectory);
    }
    if (standardInput) {
        return;  // any stream: a pipe, a device or a file
    }
    if (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode)) {
        throw LogFileError(m_name, LogFailure::IsPipeOrSocket);
    }
    if (!opening.devices && (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode))) {
        throw LogFileError(m_name, LogFailure::IsDevice);
    }
    m_regular = S_ISREG(info.st_mode);
    m_size = m_regular ? static_cast<long long>(info.st_size) : -1;
}

void LogFile::RequireRegular(LogFailure failure) const {
    if (!m_regular) {
        throw LogFileError(m_name, failure);
    }
}

void LogFile::ReadAt(char* out, long long offset, size_t count) const {
    while (count > 0) {
        const ssize_t got = ::pread(m_fd.get(), out, count, static_cast<off_t>(offset));
        if (got > 0) {
            out += got;
            offset += got;
            count -= static_cast<size_t>(got);
        } else if (got == 0) {
            throw LogFileError(m_name, LogFailure::Shrank);
        } else if (errno != EINTR) {
            ThrowReadError(errno);
        }
    }
}

size_t LogFile::Read(char* out, size_t count) const {
    for (;;) {
        const ssize_t got = ::read(m_fd.get(), out, count);
        if (got >= 0) {
            return static_cast<size_t>(got);
        }
        if (errno != EINTR) {
            ThrowReadError(errno);
        }
    }
}

size_t LogFile::ReadWaiting(char* out, size_t count) const {
    for (;;) {
        const ssize_t got = ::read(m_fd.get(), out, count);
        if (got >= 0) {
            return static_cast<size_t>(got);
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            pollfd wait{m_fd.get(), POLLIN, 0};
            ::poll(&wait, 1, -1);
        } else if (errno != EINTR) {
            ThrowReadError(errno);
        }
    }
}

void LogFile::SeekTo(long long offset) const {
    if (::lseek(m_fd.get(), static_cast<off_t>(offset), SEEK_SET) < 0) {
        ThrowReadError(errno);
    }
}

void LogFile::AdviseSequential() const { ::posix_fadvise(m_fd.get(), 0, 0, POSIX_FADV_SEQUENTIAL); }

void LogFile::ThrowReadError(int error) const {
    if (error == EAGAIN || error == EWOULDBLOCK) {
        throw LogFileError(m_name, LogFailure::NoDataYet, error);
    }
    throw LogFileError(m_name, LogFailure::CannotRead, error);
}

}  // namespace quorlet3
