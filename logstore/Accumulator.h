// Reports as accumulators over line slots: a step per batch of slots, a merge of a later
// part into an earlier one, a finish that gives the report's typed result. The store,
// a line window and the whole file in parallel parts all feed the same accumulators.
#pragma once

#include <array>
#include <cstddef>
#include <limits>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "logstore/LineStore.h"
#include "logstore/Slot.h"
#include "logstore/StateArchive.h"

namespace quorlet3 {

// How the walk over the slots ended.
struct WalkEnd {
    bool sentinel = false;  // a sentinel ended the walk (false: a store that was never loaded)
    long long visited = 0;  // slots the walk visited
};

// The fixed-size tables of the 10000-line store (300 values per tally, 300 page names)
// drop what finds no room; over a whole log every distinct value is kept, and the
// reports take the shape of a whole log: bars scaled to fit, hosts and queries counted.
struct TableLimits {
    size_t valueSlots = 300;
    bool wholeLog = false;

    static TableLimits Store() { return {}; }
    static TableLimits Unlimited() { return {std::numeric_limits<size_t>::max(), true}; }
};

// Keeps copies of texts for as long as the arena lives; views stay valid when it moves.
class StringArena {
public:
    std::string_view Keep(std::string_view text);

private:
    // Blocks start small and double up to the largest size: a part's tally of a handful
    // of values takes a few hundred bytes, not a block that is freed again at once.
    static constexpr size_t kFirstBlock = 1024;
    static constexpr size_t kLargestBlock = 64 * 1024;
    size_t m_nextBlock = kFirstBlock;
    std::vector<std::unique_ptr<char[]>> m_blocks;
    char* m_free = nullptr;
    size_t m_left = 0;
};

// What a result's text views point into; results hold it so they stand on their own.
using ResultBacking = std::shared_ptr<const void>;

// The shared part of every report's accumulator. A reader calls Step with the slots the
// walk visits (from the first slot up to the first sentinel), in order and in batches;
// StepPastEnd with the slots after the walk's end, for the few reports that read there.
// Parts of one log are read by accumulators of the same kind, merged in file order.
class SlotAccumulator {
public:
    virtual ~SlotAccumulator() = default;
    virtual void Step(std::span<const Slot> batch) = 0;
    virtual void StepPastEnd(std::span<const Slot>) {}
    // Takes in the state of the part that follows this one; the walk had not ended in this one.
    virtual void Merge(SlotAccumulator& later) = 0;
    // Takes in the state of a later part that lies wholly after the walk's end.
    virtual void MergePastEnd(SlotAccumulator&) {}
    // True when StepPastEnd does something: a reader may skip the slots after the end otherwise.
    virtual bool ReadsPastEnd() const { return false; }
    // The one record marker whose lines Step reads (the others are not handed to it),
    // or nothing when it reads every slot.
    virtual std::string_view Marker() const { return {}; }
    // A new accumulator of the same kind and settings with nothing read, for another part.
    virtual std::unique_ptr<SlotAccumulator> Fresh() const = 0;
    // Writes what has been read so far, and reads it back into an accumulator of the same
    // kind and settings (made by Fresh), so that a later run can go on where this one stopped.
    virtual void SaveState(StateWriter& out) = 0;
    virtual void LoadState(StateReader& in) = 0;
};

// A report's accumulator is a plain class: Step(span), Merge(Acc&), Fresh() and Finish(WalkEnd),
// with StepPastEnd and MergePastEnd where it reads past the walk's end. The adapter gives
// it the shared interface; Base may add more (a finish into a common result type), and
// Derived is the final class that Fresh makes.
template <class Acc, class Base, class Derived>
class AccumulatorAdapter : public Base {
public:
    explicit AccumulatorAdapter(Acc acc) : m_acc(std::move(acc)) {}
    void Step(std::span<const Slot> batch) override { m_acc.Step(batch); }
    void StepPastEnd(std::span<const Slot> batch) override {
        if constexpr (requires { m_acc.StepPastEnd(batch); }) {
            m_acc.StepPastEnd(batch);
        }
    }
    std::string_view Marker() const override {
        if constexpr (requires(const Acc& a) { a.Marker(); }) {
            return m_acc.Marker();
        } else {
            return {};
        }
    }
    bool ReadsPastEnd() const override {
        return requires(Acc & a, std::span<const Slot> batch) { a.StepPastEnd(batch); };
    }
    void Merge(SlotAccumulator& later) override { m_acc.Merge(static_cast<AccumulatorAdapter&>(later).m_acc); }
    void MergePastEnd(SlotAccumulator& later) override {
        if constexpr (requires { m_acc.MergePastEnd(m_acc); }) {
            m_acc.MergePastEnd(static_cast<AccumulatorAdapter&>(later).m_acc);
        }
    }
    std::unique_ptr<SlotAccumulator> Fresh() const override { return std::make_unique<Derived>(m_acc.Fresh()); }
    // Every report's accumulator lists its state in Keep(ar); one without it does not compile.
    void SaveState(StateWriter& out) override { m_acc.Keep(out); }
    void LoadState(StateReader& in) override { m_acc.Keep(in); }
    Acc& Accumulator() { return m_acc; }

protected:
    Acc m_acc;
};

// Hands batches of slots to accumulators: the slots of one marker to those that read
// only that marker's lines, every slot to the others.
class BatchStepper {
public:
    explicit BatchStepper(std::span<SlotAccumulator* const> accumulators);
    void Step(std::span<const Slot> batch);
    void StepPastEnd(std::span<const Slot> batch);

    static constexpr size_t kBatch = 256;  // slots per batch: the calls cost nothing, the slots stay in cache

private:
    std::span<SlotAccumulator* const> m_accumulators;
    std::vector<int> m_markers;                 // each accumulator's marker digit, 0 for every slot
    std::vector<std::vector<Slot>> m_byMarker;  // this batch's slots of markers 1 to 7
    std::array<bool, 8> m_wanted{};             // the markers some accumulator reads alone
    bool m_anyByMarker = false;
};

// Runs accumulators over the store: the line slots up to the first sentinel through
// Step, the rest of the 10000 line slots through StepPastEnd when some accumulator reads
// past the end. Returns how the walk ended.
WalkEnd RunOverStore(const LineStore& store, std::span<SlotAccumulator* const> accumulators);

template <class Acc>
class PlainAccumulator final : public AccumulatorAdapter<Acc, SlotAccumulator, PlainAccumulator<Acc>> {
public:
    using AccumulatorAdapter<Acc, SlotAccumulator, PlainAccumulator<Acc>>::AccumulatorAdapter;
};

// One report's typed result over the store.
template <class Acc>
auto ComputeOverStore(const LineStore& store, Acc acc) {
    PlainAccumulator<Acc> adapter(std::move(acc));
    SlotAccumulator* const one[] = {&adapter};
    const WalkEnd end = RunOverStore(store, one);
    return adapter.Accumulator().Finish(end);
}

}  // namespace quorlet3
