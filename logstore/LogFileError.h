// Why a log could not be opened or read, and the words each front end says it in: one table.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace quorlet3 {

// Why a log file could not be loaded, for messages in the user's language.
enum class LogFileCause {
    Other,                 // none of the causes below; ErrorNumber() tells the system's errno, if any
    NotFound,              // no such file, or a part of the path is no folder
    NoPermission,          // the user may not read it
    NotRegularFile,        // a folder, pipe or socket where a file was expected
    ReadError,             // reading failed after the file was opened
    SymlinkLoop,           // symbolic links lead round in a circle
    NoDataWithoutWaiting,  // a device or terminal that has nothing to read at once
    NoDevice,              // a device that is not there, or a socket, which cannot be opened
    DeviceError,           // the device reported an input/output error while opening
    NameTooLong,           // the path or one of its names is too long
    TooManyOpenFiles,      // the process or the system has no file handle left
    OutOfMemory,           // the system had no memory for the open or the read
    FileShrank,            // the file became shorter while it was read
};

// Each way opening or reading a log fails. The failures that carry an errno take their
// cause from it and end their words with the system's text for it.
enum class LogFailure {
    CannotOpen,        // the open (or its fstat) failed: "cannot open: <system text>"
    CannotRead,        // a read failed: "cannot read: <system text>"
    NoDataYet,         // a read found nothing without waiting (EAGAIN)
    SystemError,       // a later look at the file failed: the system's text alone
    IsDirectory,       // refused: a directory
    IsPipeOrSocket,    // refused: a named pipe or a socket
    IsDevice,          // refused where a device would never end
    Shrank,            // the file became shorter while it was read
    NoLineWindow,      // a line window of no regular file
    NoDateWindow,      // a date window of no regular file
    NoDateSpan,        // the dates of no regular file
    NoPartOfIt,        // a byte range of no regular file
    NoKeptState,       // a kept state of no regular file
    NotReadable,       // a kept log's bytes could not be read for its fingerprint
    NotReadableAgain,  // a kept log's bytes could not be read again for its last line
    ShorterThanKept,   // a kept log is shorter than the bytes its state has read
    IsTheStateFile,    // the log is the state file too
};

// A log file that could not be opened or read. what() names the file and the cause in
// the words the command-line tool prints: "'<path>': <reason>".
class LogFileError : public std::runtime_error {
public:
    LogFileError(const std::string& path, const std::string& reason, LogFileCause cause = LogFileCause::Other,
                 int errorNumber = 0);
    // The failure with its words from the table; errorNumber for the failures that carry one.
    LogFileError(const std::string& path, LogFailure failure, int errorNumber = 0);
    const std::string& Path() const { return m_path; }
    const std::string& Reason() const { return m_reason; }
    LogFileCause Cause() const { return m_cause; }
    // The errno behind the failure, or 0 when there was none.
    int ErrorNumber() const { return m_errorNumber; }

private:
    std::string m_path;
    std::string m_reason;
    LogFileCause m_cause;
    int m_errorNumber;
};

// The cause of a failed open (or fstat), by its errno.
LogFileCause OpenFailureCause(int error);

// The cause of a failed read, by its errno: a read error unless the errno names
// something more particular.
LogFileCause ReadFailureCause(int error);

// The window's sentence for the error's cause (cp932): one Japanese sentence, which
// names the system's error number for a cause it has no words of its own for.
std::string LogFileCauseSentence(const LogFileError& error);

// The window's first line is these two pieces (cp932) around the file's path.
struct UnreadableFileLine {
    std::string_view before;
    std::string_view after;
};
UnreadableFileLine UnreadableFileWords();

}  // namespace quorlet3
