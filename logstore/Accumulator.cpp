// Running accumulators over the line store, and the text arena their results point into.
#include "logstore/Accumulator.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "logstore/ReadingRules.h"

namespace quorlet3 {

std::string_view StringArena::Keep(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    if (text.size() > m_left) {
        if (text.size() > kBlock / 4) {
            // A long text gets a block of its own, so the current block's rest stays usable.
            m_blocks.push_back(std::make_unique_for_overwrite<char[]>(text.size()));
            std::memcpy(m_blocks.back().get(), text.data(), text.size());
            return {m_blocks.back().get(), text.size()};
        }
        m_blocks.push_back(std::make_unique_for_overwrite<char[]>(kBlock));
        m_free = m_blocks.back().get();
        m_left = kBlock;
    }
    char* kept = m_free;
    std::memcpy(kept, text.data(), text.size());
    m_free += text.size();
    m_left -= text.size();
    return {kept, text.size()};
}

namespace {

// Slots handed over per call: big enough to make the call cost nothing, small enough to stay in cache.
constexpr int kBatch = 256;

void StepAll(std::span<SlotAccumulator* const> accumulators, std::span<const Slot> slots, bool pastEnd) {
    for (SlotAccumulator* acc : accumulators) {
        if (pastEnd) {
            acc->StepPastEnd(slots);
        } else {
            acc->Step(slots);
        }
    }
}

}  // namespace

WalkEnd RunOverStore(const LineStore& store, std::span<SlotAccumulator* const> accumulators) {
    const int walked = WalkLength(store);
    WalkEnd end;
    end.slots = walked;
    end.sentinel = walked < kLineSlots || IsSentinel(store.m_strEndSlot);
    std::array<Slot, kBatch> batch;
    // The walk's slots, then the line slots after its end (the sentinel's slot first).
    for (int from : {0, walked}) {
        const int to = from == 0 ? walked : kLineSlots;
        for (int i = from; i < to;) {
            const int n = std::min(kBatch, to - i);
            for (int k = 0; k < n; ++k, ++i) {
                batch[static_cast<size_t>(k)] = {store[i], store[i + 1], i, i + 1 < kLineSlots};
            }
            StepAll(accumulators, std::span<const Slot>(batch.data(), static_cast<size_t>(n)), from != 0);
        }
    }
    return end;
}

}  // namespace quorlet3
