// Reading a whole log in parts of whole lines on a pool of threads, folded in file order.
#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "logstore/DateWindow.h"

namespace quorlet3 {

struct PartReadOptions {
    int jobs = 0;                 // worker threads; 0: one per hardware thread
    size_t partBytes = 8u << 20;  // about this many bytes per part (at least 1)
    // Called as the log is read, from one thread at a time, with the bytes read so far
    // and the size of the file (-1 for standard input or another stream).
    std::function<void(long long bytesRead, long long totalBytes)> progress;
    // Only the lines of this date window (FindDateWindow) are read: the parts cover its
    // bytes. A window needs a regular file; the open window is the whole log.
    DateWindow dates;
    // When set, receives the most bytes the reader's buffers held at once: the bound on
    // the memory the reading takes, apart from what work() keeps.
    long long* peakBufferBytes = nullptr;
    // Only these bytes of a regular file are read (both at starts of lines, or at its end);
    // with rangeGoesOn, the lines from range->end on follow: the last part's next slot is
    // the first of them, as if the file went on, instead of the end of the file.
    std::optional<ByteRange> range;
    bool rangeGoesOn = false;
};

// One part of the log as work() sees it.
struct PartInput {
    // Calls each(bytes) with the part's raw bytes in file order, in one piece or more:
    // whole file lines, except that a line longer than a part may be handed out in pieces
    // cut where one of its 999-byte reads starts, so that it is never held whole. Every
    // piece starts where a slot starts, and splitting piece by piece gives the slots of
    // the part; the last line may lack its LF at the end of the file. A piece is valid
    // only during its call. work() calls this once; the reader walks what it left.
    std::function<void(const std::function<void(std::string_view)>& each)> forEachPiece;
    // Set once forEachPiece has returned: the text of the first slot after this part
    // (see FirstSlotText), empty for the last part of the file; and whether this part
    // ends the file.
    std::string_view nextSlot;
    bool isLast = false;
    long long index = 0;  // rises in file order; numbers of parts that held no line are skipped
};

namespace detail {

// The engine behind ReadInParts: calls run(part) on the pool for every part that holds
// at least one line (and once with empty bytes for an empty log), and fold(index) in
// file order for each part that ran, one call at a time, each after that part's run()
// has returned. The first exception thrown by run, fold or reading stops the work and
// is rethrown once every thread has finished.
void RunParts(const std::string& path, const PartReadOptions& options, const std::function<void(const PartInput&)>& run,
              const std::function<void(long long)>& fold);

}  // namespace detail

// Reads the log at path ("-": standard input, read sequentially) in parts of about
// options.partBytes bytes, each starting at the start of a slot and ending after an LF,
// at the end of the file or, inside a line longer than a part, where a read of it
// starts; memory stays within a few parts per job whatever the line lengths. work(part)
// runs on options.jobs threads; the states are folded in file order with
// merge(earlier, later) as soon as the parts before them are done, so only a few parts'
// states are alive at once. Returns the fold of every part's state; work is called at
// least once (with empty bytes for an empty log).
//
// Throws LogFileError naming the file ("standard input" for "-") when it cannot be
// opened or read, or is a directory, a device, a named pipe or a socket (standard input
// may be any stream), or a date window is asked of no regular file; an exception from
// work or merge is passed on after the threads have stopped.
template <class State>
State ReadInParts(const std::string& path, const PartReadOptions& options,
                  const std::function<State(const PartInput&)>& work,
                  const std::function<void(State&, State&&)>& merge) {
    std::mutex mutex;
    std::map<long long, State> done;  // states of parts not folded yet
    std::optional<State> folded;
    detail::RunParts(
        path, options,
        [&](const PartInput& part) {
            State state = work(part);
            const std::lock_guard lock(mutex);
            done.emplace(part.index, std::move(state));
        },
        [&](long long index) {
            std::optional<State> state;
            {
                const std::lock_guard lock(mutex);
                auto node = done.extract(index);
                state.emplace(std::move(node.mapped()));
            }
            if (folded) {
                merge(*folded, std::move(*state));
            } else {
                folded.emplace(std::move(*state));
            }
        });
    return std::move(*folded);
}

}  // namespace quorlet3
