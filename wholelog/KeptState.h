// A whole-log run that keeps its state in a file, so that the next run over the same log
// reads only the bytes appended since.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "logstore/Accumulator.h"
#include "wholelog/PartReader.h"
#include "wholelog/WholeLogRun.h"

namespace quorlet3 {

// A 64-bit hash of bytes, eight at a time: the state's checksum and the log's fingerprint.
std::uint64_t HashBytes(std::string_view bytes, std::uint64_t seed = 0);

// What a state file tells of the log it was read from: which file (device and inode) and
// its first bytes, the fingerprint of what was read.
struct LogFingerprint {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    long long length = 0;        // bytes read, the hand-off's offset
    std::uint64_t headHash = 0;  // of the first kFingerprintBytes (or fewer) of them
    std::uint64_t tailHash = 0;  // of the last kFingerprintBytes (or fewer) of them

    static constexpr long long kFingerprintBytes = 64 * 1024;

    template <class Ar>
    void Keep(Ar& ar) {
        ar(device, inode, length, headHash, tailHash);
    }
};

// The fingerprint of the first length bytes of the log at path. Throws LogFileError.
LogFingerprint FingerprintLog(const std::string& path, long long length);

// The bytes of a state file: the run's hand-off and every accumulator's state, under a
// header with a format version and a checksum. key names the reports (and their
// settings) the accumulators belong to.
std::string EncodeState(std::string_view key, const LogFingerprint& log, const WalkHandOff& handOff,
                        std::span<SlotAccumulator* const> accumulators);

// Reads a state file's bytes into accumulators that have read nothing (made for key) and
// returns the hand-off, after checking that they were written for key and for the log at
// path as it is now. On a mismatch returns nothing and sets why to a short reason; the
// accumulators may then hold part of the state and must be made anew.
std::optional<WalkHandOff> DecodeState(std::string_view bytes, std::string_view key, const std::string& path,
                                       std::span<SlotAccumulator* const> accumulators, std::string& why);

// Runs accumulators over the whole regular file at path as RunOverWholeLog does, going on
// from the state kept in stateFile when it fits the log, and replaces stateFile with the
// new state. make() returns accumulators that have read nothing, for key; it is called
// once more, for a full read, when the kept state does not fit. note(text) is told, in
// one line each, why a kept state was not used and why the new one could not be kept;
// neither stops the run. Runs on one state file wait for each other (the folder is locked).
// Throws LogFileError when the log cannot be read, or is stateFile itself (then nothing
// is written).
WalkEnd RunOverWholeLogKept(const std::string& path, const std::string& stateFile, std::string_view key,
                            const std::function<std::span<SlotAccumulator* const>()>& make,
                            const PartReadOptions& options, const std::function<void(const std::string&)>& note);

// The kept states of a program that reads several logs: one file per log in folder,
// named by a hash of the log's absolute path.
std::string KeptStatePath(const std::string& folder, const std::string& logPath);
// Removes all but the keep most recently written states of folder.
void PruneKeptStates(const std::string& folder, size_t keep);
// Removes every kept state of folder.
void ForgetKeptStates(const std::string& folder);

}  // namespace quorlet3
