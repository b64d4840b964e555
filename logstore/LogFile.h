// An open log: the one way the loader, the date window and the whole-log reader open,
// check and read a log file or standard input.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "logstore/FileHandle.h"
#include "logstore/LogFileError.h"

namespace quorlet3 {

// The path that stands for standard input, and its name in messages.
inline constexpr std::string_view kStandardInput = "-";
inline constexpr std::string_view kStandardInputName = "standard input";

// What a reader takes. Under a path, a directory, a named pipe and a socket are always
// refused: a pipe without a writer has nothing to give, and a pipe comes in as standard input.
struct LogOpening {
    bool standardInput = false;      // "-" is standard input (named so in errors), not a file of that name
    bool refuseInputFolder = false;  // standard input that is a directory is refused as one under a path
    bool devices = true;             // a device under a path is taken: its reads end when the reader stops
};

// Which file an open log is: its device and inode (zero for standard input taken unchecked).
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
};

class LogFile {
public:
    // Opens path read-only (without waiting for a pipe's writer or taking a terminal) and
    // refuses the kinds opening does not take. Throws LogFileError naming the file
    // ("standard input" for it) when it cannot be opened or is refused.
    LogFile(const std::string& path, const LogOpening& opening);

    // The path, or "standard input".
    const std::string& Name() const { return m_name; }
    // A regular file under a path; standard input is read as a stream even when it is a file,
    // for its offset belongs to the shell.
    bool IsRegular() const { return m_regular; }
    // The size of a regular file when it was opened; -1 for anything else.
    long long Size() const { return m_size; }
    const FileIdentity& Identity() const { return m_identity; }
    // Throws LogFileError with failure unless the file is regular: what the caller needs
    // offsets for.
    void RequireRegular(LogFailure failure) const;

    // Reads exactly count bytes at offset of a regular file; a file that became shorter
    // meanwhile is an error.
    void ReadAt(char* out, long long offset, size_t count) const;
    // Reads up to count bytes from where the last read ended; 0 only at the end. A
    // device or terminal that has nothing to give at once is an error.
    size_t Read(char* out, size_t count) const;
    // The same, waiting for a stream that has nothing to give yet.
    size_t ReadWaiting(char* out, size_t count) const;
    // Sequential reads go on from offset.
    void SeekTo(long long offset) const;
    // Tells the system the file is read once from start to end.
    void AdviseSequential() const;

private:
    [[noreturn]] void ThrowReadError(int error) const;

    std::string m_name;
    FileHandle m_fd;
    bool m_regular = false;
    long long m_size = -1;
    FileIdentity m_identity;
};

}  // namespace quorlet3
