// The words of every failure to open or read a log: the command-line tool's and the window's.
#include "logstore/LogFileError.h"

#include <cerrno>
#include <cstring>

#include "encoding/Cp932Literal.h"

namespace quorlet3 {
namespace {

// How a failure reads on the command line. The failures that carry an errno take their
// cause from it and end with the system's text.
struct FailureWords {
    LogFailure failure;
    LogFileCause cause;
    std::string_view reason;
    LogFileCause (*causeOfErrno)(int error) = nullptr;  // set for the failures that carry an errno
};

constexpr FailureWords kFailures[] = {
    {LogFailure::CannotOpen, LogFileCause::Other, "cannot open: ", OpenFailureCause},
    {LogFailure::CannotRead, LogFileCause::ReadError, "cannot read: ", ReadFailureCause},
    {LogFailure::NoDataYet, LogFileCause::NoDataWithoutWaiting, "cannot read: no data is available without waiting",
     ReadFailureCause},
    {LogFailure::SystemError, LogFileCause::Other, "", [](int) { return LogFileCause::Other; }},
    {LogFailure::IsDirectory, LogFileCause::NotRegularFile, "cannot open: it is a directory"},
    {LogFailure::IsPipeOrSocket, LogFileCause::NotRegularFile, "cannot open: it is a pipe or socket, not a file"},
    {LogFailure::IsDevice, LogFileCause::NotRegularFile, "cannot open: it is a device, not a file"},
    {LogFailure::Shrank, LogFileCause::FileShrank, "cannot read: the file became shorter while it was read"},
    {LogFailure::NoLineWindow, LogFileCause::NotRegularFile, "cannot read a line window: it is not a regular file"},
    {LogFailure::NoDateWindow, LogFileCause::NotRegularFile, "cannot find a date window: it is not a regular file"},
    {LogFailure::NoDateSpan, LogFileCause::NotRegularFile, "cannot find its dates: it is not a regular file"},
    {LogFailure::NoPartOfIt, LogFileCause::NotRegularFile, "cannot read a part of it: it is not a regular file"},
    {LogFailure::NoKeptState, LogFileCause::NotRegularFile, "cannot keep its state: it is not a regular file"},
    {LogFailure::NotReadable, LogFileCause::ReadError, "cannot read it"},
    {LogFailure::NotReadableAgain, LogFileCause::ReadError, "cannot read it again"},
    {LogFailure::ShorterThanKept, LogFileCause::ReadError, "is shorter than the bytes already read"},
    {LogFailure::IsTheStateFile, LogFileCause::Other, "is the state file too: the state needs a file of its own"},
};

const FailureWords& WordsOf(LogFailure failure) {
    for (const FailureWords& words : kFailures) {
        if (words.failure == failure) {
            return words;
        }
    }
    return kFailures[0];  // every failure has its row
}

// How a cause reads in the window.
struct CauseSentence {
    LogFileCause cause;
    std::string_view cp932;
};

constexpr CauseSentence kCauseSentences[] = {
    {LogFileCause::NotFound, "ファイルが見つかりません。"_sj},
    {LogFileCause::NoPermission, "ファイルを読む権限がありません。"_sj},
    {LogFileCause::NotRegularFile, "フォルダーなどで、通常のファイルではありません。"_sj},
    {LogFileCause::ReadError, "読み込みの途中でエラーが起きました。"_sj},
    {LogFileCause::SymlinkLoop, "シンボリックリンクが循環していて、ファイルにたどり着けません。"_sj},
    {LogFileCause::NoDataWithoutWaiting, "すぐに読めるデータがない装置や端末なので、読み込めません。"_sj},
    {LogFileCause::NoDevice, "装置やソケットなど、ファイルとして開けないものです。"_sj},
    {LogFileCause::DeviceError, "装置との入出力でエラーが起きました。"_sj},
    {LogFileCause::NameTooLong, "ファイル名かフォルダー名が長すぎます。"_sj},
    {LogFileCause::TooManyOpenFiles, "開いているファイルが多すぎて、これ以上開けません。"_sj},
    {LogFileCause::OutOfMemory, "メモリーが足りません。"_sj},
    {LogFileCause::FileShrank, "読み込みの途中でファイルが短くなりました。"_sj},
};

std::string ReasonOf(LogFailure failure, int errorNumber) {
    const FailureWords& words = WordsOf(failure);
    std::string reason(words.reason);
    if (words.causeOfErrno != nullptr && failure != LogFailure::NoDataYet) {
        reason += std::strerror(errorNumber);
    }
    return reason;
}

LogFileCause CauseOf(LogFailure failure, int errorNumber) {
    const FailureWords& words = WordsOf(failure);
    return words.causeOfErrno != nullptr ? words.causeOfErrno(errorNumber) : words.cause;
}

}  // namespace

LogFileError::LogFileError(const std::string& path, const std::string& reason, LogFileCause cause, int errorNumber)
    : std::runtime_error("'" + path + "': " + reason),
      m_path(path),
      m_reason(reason),
      m_cause(cause),
      m_errorNumber(errorNumber) {}

LogFileError::LogFileError(const std::string& path, LogFailure failure, int errorNumber)
    : LogFileError(path, ReasonOf(failure, errorNumber), CauseOf(failure, errorNumber), errorNumber) {}

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

std::string LogFileCauseSentence(const LogFileError& error) {
    for (const CauseSentence& sentence : kCauseSentences) {
        if (sentence.cause == error.Cause()) {
            return std::string(sentence.cp932);
        }
    }
    if (error.ErrorNumber() != 0) {
        return "システムのエラー（番号 "_sj + std::to_string(error.ErrorNumber()) + "）で読み込めませんでした。"_sj;
    }
    return "原因の分からないエラーで読み込めませんでした。"_sj;
}

UnreadableFileLine UnreadableFileWords() { return {"ファイル "_sj, " を読み込めませんでした。"_sj}; }

}  // namespace quorlet3
