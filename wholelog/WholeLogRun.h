// Runs report accumulators over every slot of a log file, read in parallel parts.
#pragma once

#include <functional>
#include <memory>
#include <span>
#include <string>

#include "logstore/Accumulator.h"
#include "logstore/LogFile.h"
#include "wholelog/PartReader.h"

namespace quorlet3 {

// Runs the accumulators over every slot of the log at path ("-": standard input), as
// over a line store with no slot limit: the walk ends at the first slot whose text is
// the sentinel or at the end of the log, and the reports that read past that end see
// every later slot. Each part is read into fresh accumulators (SlotAccumulator::Fresh),
// and the parts are merged into the given accumulators in file order, so the result is
// the same for any number of jobs and any part size. Returns how the walk ended; its
// sentinel is always true (the end of the log ends the walk as a sentinel would).
// Throws LogFileError naming the file when it cannot be opened or read.
WalkEnd RunOverWholeLog(const std::string& path, std::span<SlotAccumulator* const> accumulators,
                        const PartReadOptions& options);

// What a run over the first bytes of a log hands to a run that goes on from there: where
// it stopped (the start of a line) and how far the walk had got. Together with the
// accumulators' own states it is all that a later run needs.
struct WalkHandOff {
    long long offset = 0;  // bytes read
    bool ended = false;    // the walk's end (a sentinel line) lay before offset
    long long walked = 0;  // slots the walk visited before offset (or before its end)

    template <class Ar>
    void Keep(Ar& ar) {
        ar(offset, ended, walked);
    }
};

// The same over a regular file whose bytes before from.offset the accumulators have
// already read (their states loaded, from the hand-off of an earlier run). Reads on to
// the end of the file, as it is when the run starts, and returns what RunOverWholeLog over
// the whole file would. On the way, once the accumulators have read every slot before the
// start of the file's last complete line, calls save(handOff) with them in that state: a
// line that is cut short, and the last whole line, whose slots take their next text from
// lines that may still be written, are read again by the next run.
WalkEnd RunOverWholeLogFrom(const std::string& path, std::span<SlotAccumulator* const> accumulators,
                            const PartReadOptions& options, const WalkHandOff& from,
                            const std::function<void(const WalkHandOff&)>& save);

namespace detail {
// Opens a log whose state is kept, a regular file, to read it by offset again; its
// failures to open are told as the system's text alone. Throws LogFileError.
std::unique_ptr<LogFile> OpenKeptLog(const std::string& path);
}  // namespace detail

}  // namespace quorlet3
