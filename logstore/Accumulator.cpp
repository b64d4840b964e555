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
        if (text.size() > kLargestBlock / 4) {
            // A long text gets a block of its own, so the current block's rest stays usable.
            m_blocks.push_back(std::make_unique_for_overwrite<char[]>(text.size()));
            std::memcpy(m_blocks.back().get(), text.data(), text.size());
            return {m_blocks.back().get(), text.size()};
        }
        const size_t block = std::max(m_nextBlock, text.size());
        m_nextBlock = std::min(2 * m_nextBlock, kLargestBlock);
        m_blocks.push_back(std::make_unique_for_overwrite<char[]>(block));
        m_free = m_blocks.back().get();
        m_left = block;
    }
    char* kept = m_free;
    std::memcpy(kept, text.data(), text.size());
    m_free += text.size();
    m_left -= text.size();
    return {kept, text.size()};
}

BatchStepper::BatchStepper(std::span<SlotAccumulator* const> accumulators)
    : m_accumulators(accumulators), m_byMarker(8) {
    for (SlotAccumulator* acc : accumulators) {
        m_markers.push_back(MarkerDigit(acc->Marker()));
        m_anyByMarker = m_anyByMarker || m_markers.back() != 0;
        m_wanted[static_cast<size_t>(m_markers.back())] = m_markers.back() != 0;
    }
    for (std::vector<Slot>& batch : m_byMarker) {
        batch.reserve(kBatch);
    }
}

void BatchStepper::Step(std::span<const Slot> batch) {
    if (m_anyByMarker) {
        for (std::vector<Slot>& bucket : m_byMarker) {
            bucket.clear();
        }
        for (const Slot& s : batch) {
            const auto marker = static_cast<size_t>(MarkerDigit(s.line));
            if (m_wanted[marker]) {
                m_byMarker[marker].push_back(s);
            }
        }
    }
    for (size_t i = 0; i < m_accumulators.size(); ++i) {
        const int marker = m_markers[i];
        m_accumulators[i]->Step(marker == 0 ? batch : std::span<const Slot>(m_byMarker[static_cast<size_t>(marker)]));
    }
}

void BatchStepper::StepPastEnd(std::span<const Slot> batch) {
    for (SlotAccumulator* acc : m_accumulators) {
        acc->StepPastEnd(batch);
    }
}

WalkEnd RunOverStore(const LineStore& store, std::span<SlotAccumulator* const> accumulators) {
    const int walked = WalkLength(store);
    WalkEnd end;
    end.visited = walked;
    end.sentinel = walked < kLineSlots || IsSentinel(store.m_strEndSlot);
    BatchStepper stepper(accumulators);
    std::array<Slot, BatchStepper::kBatch> slotArray;
    // The slots after the end go only to the few reports that read there: most runs skip them.
    const bool anyPastEnd = std::any_of(accumulators.begin(), accumulators.end(),
                                        [](const SlotAccumulator* acc) { return acc->ReadsPastEnd(); });
    // The walk's slots, then the line slots after its end (the sentinel's slot first).
    for (const bool pastEnd : {false, true}) {
        const int from = pastEnd ? walked : 0;
        const int to = pastEnd ? (anyPastEnd ? kLineSlots : walked) : walked;
        for (int i = from; i < to;) {
            const int n = std::min(static_cast<int>(slotArray.size()), to - i);
            for (int k = 0; k < n; ++k, ++i) {
                slotArray[static_cast<size_t>(k)] = {store[i], store[i + 1], i, i + 1 < kLineSlots};
            }
            const std::span<const Slot> batch(slotArray.data(), static_cast<size_t>(n));
            if (pastEnd) {
                stepper.StepPastEnd(batch);
            } else {
                stepper.Step(batch);
            }
        }
    }
    return end;
}

}  // namespace quorlet3
