// Runs report accumulators over every slot of a log file, read in parallel parts.
#include "wholelog/WholeLogRun.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <deque>
#include <memory>
#include <vector>

#include "logstore/LogLoader.h"
#include "logstore/ReadingRules.h"
#include "wholelog/SlotSplitter.h"

namespace quorlet3 {
namespace {

constexpr size_t kBatch = BatchStepper::kBatch;

// What one part read: its own accumulators, and where the walk ended in it.
struct PartState {
    std::vector<std::unique_ptr<SlotAccumulator>> accumulators;
    bool ended = false;    // a sentinel line ended the walk inside this part
    long long walked = 0;  // slots before that line (all the part's slots when it has none)
    bool folded = false;   // already merged into the caller's accumulators
};

// The state that the parts are merged into: the caller's accumulators.
struct Root {
    std::span<SlotAccumulator* const> accumulators;
    bool ended = false;
    long long walked = 0;
};

void FoldInto(Root& root, PartState& part) {
    for (size_t i = 0; i < root.accumulators.size(); ++i) {
        if (root.ended) {
            root.accumulators[i]->MergePastEnd(*part.accumulators[i]);
        } else {
            root.accumulators[i]->Merge(*part.accumulators[i]);
        }
    }
    if (!root.ended) {
        root.walked += part.walked;
        root.ended = part.ended;
    }
    part.folded = true;
    part.accumulators.clear();  // done with: free the part's tables now
}

// Feeds one part's slots to its accumulators in batches. A slot's next text is only
// known when the following slot arrives, so each slot waits one step in the batch.
class PartFeeder {
public:
    PartFeeder(PartState& state, std::span<SlotAccumulator* const> accumulators, bool anyPastEnd)
        : m_state(state), m_stepper(accumulators), m_anyPastEnd(anyPastEnd) {}

    void Take(std::string_view text, const std::string& scratch) {
        if (text.data() == scratch.data() && !text.empty()) {
            // The splitter rewrites into scratch, reused for the next slot: keep a copy for
            // as long as a slot of the batch may point to it (only referring addresses with
            // spaces need one).
            text = m_copies.emplace_back(text);
        }
        if (m_pending) {
            Complete(text);
        }
        m_pendingText = text;
        m_pending = true;
    }

    // The bytes of a piece are read over by the next one: the batch is stepped now, and
    // the slot that waits for its next text keeps a copy of its own.
    void EndPiece() {
        Flush();
        if (m_pending && !m_pendingText.empty()) {
            m_pendingText = m_copies.emplace_back(m_pendingText);
        }
        DropCopies();
    }

    // The last slot's next text is the slot after the part (the sentinel at the end of the log).
    void Finish(std::string_view nextText) {
        if (m_pending) {
            Complete(nextText);
        }
        Flush();
    }

private:
    void Complete(std::string_view next) {
        const std::string_view line = m_pendingText;
        if (!m_state.ended && IsSentinel(line)) {
            Flush();  // the slots before the sentinel are the walk's
            m_state.ended = true;
        }
        if (m_state.ended && !m_anyPastEnd) {
            ++m_index;
            return;
        }
        m_batch[m_size++] = Slot{line, next, m_index++, true};
        if (!m_state.ended) {
            ++m_state.walked;
        }
        if (m_size == kBatch) {
            Flush();
            DropCopies();
        }
    }

    // Only the newest copy may still be needed (by the slot that waits); the batch is empty.
    void DropCopies() {
        while (m_copies.size() > 1) {
            m_copies.pop_front();
        }
    }

    void Flush() {
        if (m_size != 0) {
            const std::span<const Slot> batch(m_batch.data(), m_size);
            if (m_state.ended) {
                m_stepper.StepPastEnd(batch);
            } else {
                m_stepper.Step(batch);
            }
        }
        m_size = 0;
    }

    PartState& m_state;
    BatchStepper m_stepper;
    bool m_anyPastEnd;
    std::array<Slot, kBatch> m_batch;
    size_t m_size = 0;
    std::deque<std::string> m_copies;  // texts kept beyond their bytes; a deque never moves them
    std::string_view m_pendingText;
    bool m_pending = false;
    long long m_index = 0;
};

}  // namespace

namespace {

// Reads the parts of options into root's accumulators.
void RunInto(Root& root, const std::string& path, const PartReadOptions& options) {
    const std::span<SlotAccumulator* const> accumulators = root.accumulators;
    bool anyPastEnd = false;
    for (SlotAccumulator* acc : accumulators) {
        anyPastEnd = anyPastEnd || acc->ReadsPastEnd();
    }
    using State = std::unique_ptr<PartState>;
    const std::function<State(const PartInput&)> work = [&](const PartInput& part) {
        auto state = std::make_unique<PartState>();
        std::vector<SlotAccumulator*> fresh;
        for (SlotAccumulator* acc : accumulators) {
            state->accumulators.push_back(acc->Fresh());
            fresh.push_back(state->accumulators.back().get());
        }
        PartFeeder feeder(*state, fresh, anyPastEnd);
        std::string scratch;
        part.forEachPiece([&](std::string_view bytes) {
            SplitSlots(bytes, scratch, [&](std::string_view text) { feeder.Take(text, scratch); });
            feeder.EndPiece();
        });
        feeder.Finish(part.isLast ? kSentinel : part.nextSlot);
        return state;
    };
    // Parts arrive in file order; each is merged into the caller's accumulators at once,
    // so a listing can be written out while later parts are still being read.
    const std::function<void(State&, State &&)> merge = [&](State& earlier, State&& later) {
        if (!earlier->folded) {
            FoldInto(root, *earlier);
        }
        FoldInto(root, *later);
    };
    State last = ReadInParts<State>(path, options, work, merge);
    if (!last->folded) {
        FoldInto(root, *last);
    }
}

// The start of the last line of [from, size) that ends with an LF; from when there is none.
long long LastWholeLineStart(const std::string& path, long long from, long long size) {
    const std::unique_ptr<LogFile> log = detail::OpenKeptLog(path);
    std::vector<char> block(1 << 16);
    long long lastLf = -1;  // the LF that ends the last whole line
    for (long long end = size; end > from;) {
        const long long begin = std::max(from, end - static_cast<long long>(block.size()));
        const auto count = static_cast<size_t>(end - begin);
        try {
            log->ReadAt(block.data(), begin, count);
        } catch (const LogFileError&) {
            throw LogFileError(path, LogFailure::NotReadableAgain);
        }
        for (size_t i = count; i-- > 0;) {
            if (block[i] != '\n') {
                continue;
            }
            if (lastLf >= 0) {
                return begin + static_cast<long long>(i) + 1;
            }
            lastLf = begin + static_cast<long long>(i);
        }
        end = begin;
    }
    return from;
}

}  // namespace

namespace detail {

std::unique_ptr<LogFile> OpenKeptLog(const std::string& path) {
    try {
        return std::make_unique<LogFile>(path, LogOpening{});
    } catch (const LogFileError& error) {
        if (error.ErrorNumber() == 0) {
            throw;  // refused: no regular file
        }
        throw LogFileError(path, LogFailure::SystemError, error.ErrorNumber());
    }
}

}  // namespace detail

WalkEnd RunOverWholeLog(const std::string& path, std::span<SlotAccumulator* const> accumulators,
                        const PartReadOptions& options) {
    Root root{accumulators};
    RunInto(root, path, options);
    return {true, root.walked};
}

WalkEnd RunOverWholeLogFrom(const std::string& path, std::span<SlotAccumulator* const> accumulators,
                            const PartReadOptions& options, const WalkHandOff& from,
                            const std::function<void(const WalkHandOff&)>& save) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        throw LogFileError(path, LogFailure::SystemError, errno);
    }
    if (!S_ISREG(info.st_mode)) {
        throw LogFileError(path, LogFailure::NoKeptState);
    }
    const long long size = info.st_size;
    if (from.offset > size) {
        throw LogFileError(path, LogFailure::ShorterThanKept);
    }
    const long long savePoint = LastWholeLineStart(path, from.offset, size);
    Root root{accumulators, from.ended, from.walked};
    PartReadOptions part = options;
    part.range = ByteRange{from.offset, savePoint};
    part.rangeGoesOn = true;
    RunInto(root, path, part);
    save(WalkHandOff{savePoint, root.ended, root.walked});
    part.range = ByteRange{savePoint, size};
    part.rangeGoesOn = false;
    RunInto(root, path, part);
    return {true, root.walked};
}

}  // namespace quorlet3
