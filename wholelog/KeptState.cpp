// A whole-log run that keeps its state in a file.
#include "wholelog/KeptState.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "logstore/FileHandle.h"
#include "logstore/LogFile.h"

namespace quorlet3 {
namespace {

// The file starts with this text, then the format version, the size of the rest and its hash.
constexpr std::string_view kMagic = "QUORLET3 WHOLE-LOG STATE\n";
// Raised whenever an accumulator's Keep or the layout below changes.
constexpr std::uint64_t kStateVersion = 1;
constexpr size_t kHeaderBytes = kMagic.size() + size_t{3} * 8;

std::uint64_t Mix(std::uint64_t hash) {
    hash ^= hash >> 33;
    hash *= 0xFF51AFD7ED558CCDULL;
    hash ^= hash >> 33;
    hash *= 0xC4CEB9FE1A85EC53ULL;
    hash ^= hash >> 33;
    return hash;
}

// Reads [begin, begin + count) of an open file; false when it cannot.
bool ReadAt(int fd, long long begin, std::string& out, size_t count) {
    out.resize(count);
    size_t got = 0;
    while (got < count) {
        const ssize_t n =
            ::pread(fd, out.data() + got, count - got, static_cast<off_t>(begin) + static_cast<off_t>(got));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        got += static_cast<size_t>(n);
    }
    return true;
}

std::string Folder(const std::string& file) {
    const size_t slash = file.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : file.substr(0, slash);
}

// Reads the whole state file; false when there is none. Other failures read as empty bytes.
bool ReadStateFile(const std::string& file, std::string& bytes, std::string& why) {
    const FileHandle fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno == ENOENT) {
            return false;
        }
        why = std::string("cannot be read: ") + std::strerror(errno);
        return true;
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        why = "is not a regular file";
        return true;
    }
    if (!ReadAt(fd.get(), 0, bytes, static_cast<size_t>(info.st_size))) {
        why = "cannot be read";
        bytes.clear();
    }
    return true;
}

// Replaces file with bytes: a temporary file in the same folder, flushed to disk and
// renamed over it. Returns an empty text, or why it could not.
std::string ReplaceStateFile(const std::string& file, const std::string& bytes) {
    std::string temporary = file + ".XXXXXX";
    const FileHandle fd(::mkstemp(temporary.data()));
    if (fd.get() < 0) {
        return std::string("cannot make a file beside it: ") + std::strerror(errno);
    }
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd.get(), bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            std::string why = std::string("cannot write it: ") + std::strerror(errno);
            ::unlink(temporary.c_str());
            return why;
        }
        done += static_cast<size_t>(n);
    }
    if (::fsync(fd.get()) != 0 || ::rename(temporary.c_str(), file.c_str()) != 0) {
        std::string why = std::string("cannot replace it: ") + std::strerror(errno);
        ::unlink(temporary.c_str());
        return why;
    }
    return {};
}

}  // namespace

std::uint64_t HashBytes(std::string_view bytes, std::uint64_t seed) {
    std::uint64_t hash = Mix(seed ^ 0x9E3779B97F4A7C15ULL ^ bytes.size());
    const char* p = bytes.data();
    size_t left = bytes.size();
    for (; left >= 8; p += 8, left -= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        hash = (hash ^ Mix(word)) * 0x9E3779B97F4A7C15ULL;
        hash ^= hash >> 29;
    }
    std::uint64_t word = 0;
    std::memcpy(&word, p, left);
    return Mix(hash ^ Mix(word ^ left));
}

LogFingerprint FingerprintLog(const std::string& path, long long length) {
    const std::unique_ptr<LogFile> log = detail::OpenKeptLog(path);
    LogFingerprint print;
    print.device = log->Identity().device;
    print.inode = log->Identity().inode;
    print.length = length;
    const long long checked = std::min(length, LogFingerprint::kFingerprintBytes);
    std::string bytes(static_cast<size_t>(checked), '\0');
    try {
        log->ReadAt(bytes.data(), 0, bytes.size());
        print.headHash = HashBytes(bytes, 1);
        log->ReadAt(bytes.data(), length - checked, bytes.size());
        print.tailHash = HashBytes(bytes, 2);
    } catch (const LogFileError&) {
        throw LogFileError(path, LogFailure::NotReadable);
    }
    return print;
}

std::string EncodeState(std::string_view key, const LogFingerprint& log, const WalkHandOff& handOff,
                        std::span<SlotAccumulator* const> accumulators) {
    StateWriter payload;
    payload(key, log, handOff);
    payload.Number(accumulators.size());
    for (SlotAccumulator* acc : accumulators) {
        StateWriter one;
        acc->SaveState(one);
        payload.Text(one.Bytes());
    }
    StateWriter header;
    header.Number(kStateVersion);
    header.Number(payload.Bytes().size());
    header.Number(HashBytes(payload.Bytes(), kStateVersion));
    return std::string(kMagic) + header.Bytes() + payload.Bytes();
}

std::optional<WalkHandOff> DecodeState(std::string_view bytes, std::string_view key, const std::string& path,
                                       std::span<SlotAccumulator* const> accumulators, std::string& why) {
    if (bytes.size() < kMagic.size() || bytes.substr(0, kMagic.size()) != kMagic) {
        why = bytes.empty() ? "is empty" : "is not a state file";
        return std::nullopt;
    }
    try {
        StateReader header(bytes.substr(kMagic.size()));
        if (bytes.size() < kHeaderBytes) {
            throw StateError("cut short");
        }
        if (header.Number() != kStateVersion) {
            why = "was written by another version";
            return std::nullopt;
        }
        const std::uint64_t size = header.Number();
        const std::uint64_t checksum = header.Number();
        const std::string_view rest = bytes.substr(kHeaderBytes);
        if (size != rest.size() || checksum != HashBytes(rest, kStateVersion)) {
            why = size > rest.size() ? "is cut short" : "is damaged";
            return std::nullopt;
        }
        StateReader payload(rest);
        std::string keptKey;
        LogFingerprint kept;
        WalkHandOff handOff;
        payload(keptKey, kept, handOff);
        if (keptKey != key) {
            why = "was kept for other reports";
            return std::nullopt;
        }
        if (handOff.offset != kept.length || handOff.offset < 0 || handOff.walked < 0) {
            throw StateError("a hand-off that does not fit");
        }
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0) {
            throw LogFileError(path, LogFailure::SystemError, errno);
        }
        if (static_cast<std::uint64_t>(info.st_dev) != kept.device ||
            static_cast<std::uint64_t>(info.st_ino) != kept.inode) {
            why = "belongs to another log";
            return std::nullopt;
        }
        if (info.st_size < kept.length) {
            why = "was kept when the log was longer";
            return std::nullopt;
        }
        const LogFingerprint now = FingerprintLog(path, kept.length);
        if (now.headHash != kept.headHash || now.tailHash != kept.tailHash) {
            why = "does not match the log's bytes any more";
            return std::nullopt;
        }
        if (payload.Count() != accumulators.size()) {
            throw StateError("another number of reports");
        }
        for (SlotAccumulator* acc : accumulators) {
            StateReader one(payload.Text());
            acc->LoadState(one);
            if (!one.AtEnd()) {
                throw StateError("bytes left over");
            }
        }
        if (!payload.AtEnd()) {
            throw StateError("bytes left over");
        }
        return handOff;
    } catch (const StateError&) {
        why = "is damaged";
        return std::nullopt;
    }
}

namespace {

constexpr std::string_view kStateSuffix = ".state";

// The kept states of folder with the times they were last written.
std::vector<std::pair<std::filesystem::file_time_type, std::filesystem::path>> StatesOf(const std::string& folder) {
    std::vector<std::pair<std::filesystem::file_time_type, std::filesystem::path>> states;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() > kStateSuffix.size() && name.ends_with(kStateSuffix)) {
            states.emplace_back(entry.last_write_time(error), entry.path());
        }
    }
    return states;
}

}  // namespace

std::string KeptStatePath(const std::string& folder, const std::string& logPath) {
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(logPath, error);
    if (error) {
        absolute = logPath;
    }
    char name[17];
    std::snprintf(name, sizeof name, "%016llx",
                  static_cast<unsigned long long>(HashBytes(absolute.lexically_normal().string(), 3)));
    return folder + "/" + name + std::string(kStateSuffix);
}

void PruneKeptStates(const std::string& folder, size_t keep) {
    auto states = StatesOf(folder);
    if (states.size() <= keep) {
        return;
    }
    std::sort(states.begin(), states.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    std::error_code error;
    for (size_t i = keep; i < states.size(); ++i) {
        std::filesystem::remove(states[i].second, error);
    }
}

void ForgetKeptStates(const std::string& folder) {
    std::error_code error;
    for (const auto& state : StatesOf(folder)) {
        std::filesystem::remove(state.second, error);
    }
}

WalkEnd RunOverWholeLogKept(const std::string& path, const std::string& stateFile, std::string_view key,
                            const std::function<std::span<SlotAccumulator* const>()>& make,
                            const PartReadOptions& options, const std::function<void(const std::string&)>& note) {
    // Runs on one state file take turns: the lock is on its folder, which stays while the
    // file itself is replaced.
    const FileHandle folder(::open(Folder(stateFile).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0) {
        while (::flock(folder.get(), LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    // A state file that is the log itself would be replaced by the state: refused.
    struct stat logInfo {};
    struct stat stateInfo {};
    if (::stat(path.c_str(), &logInfo) == 0 && ::stat(stateFile.c_str(), &stateInfo) == 0 &&
        logInfo.st_dev == stateInfo.st_dev && logInfo.st_ino == stateInfo.st_ino) {
        throw LogFileError(path, LogFailure::IsTheStateFile);
    }
    std::span<SlotAccumulator* const> accumulators = make();
    WalkHandOff from;
    std::string bytes;
    std::string why;
    if (ReadStateFile(stateFile, bytes, why)) {
        if (why.empty()) {
            if (std::optional<WalkHandOff> kept = DecodeState(bytes, key, path, accumulators, why)) {
                from = *kept;
            } else {
                accumulators = make();
            }
        }
        if (!why.empty()) {
            note("'" + stateFile + "' " + why + ": reading the whole log");
        }
    }
    std::string kept;
    const WalkEnd end = RunOverWholeLogFrom(path, accumulators, options, from, [&](const WalkHandOff& handOff) {
        kept = EncodeState(key, FingerprintLog(path, handOff.offset), handOff, accumulators);
    });
    if (const std::string failed = ReplaceStateFile(stateFile, kept); !failed.empty()) {
        note("cannot keep the state in '" + stateFile + "': " + failed);
    }
    return end;
}

}  // namespace quorlet3
