// Runs report accumulators over every slot of a log file, read in parallel parts.
#pragma once

#include <span>
#include <string>

#include "logstore/Accumulator.h"
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

}  // namespace quorlet3
