// The value tally: distinct values with their counts, in order of first appearance.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "logstore/Accumulator.h"

namespace quorlet3 {

// A tallied value and how often it was seen.
struct ValueCount {
    std::string_view value;
    long long count;
};

class ValueTally {
public:
    static constexpr int kSlots = 300;

    using Row = ValueCount;

    // capacity: distinct values kept; a new value that finds them all taken is dropped
    // (the caller still counts its line in the total).
    explicit ValueTally(size_t capacity = kSlots);

    // Counts one non-empty value. The tally keeps its own copy of each distinct value.
    void Add(std::string_view value) { Add(value, 1); }

    // Adds a later part's values and counts: new ones take free slots in that part's order.
    void Merge(const ValueTally& later);

    // The tallied values and counts in ascending multibyte order; the views live as long
    // as Backing().
    std::vector<Row> Ascending() const;
    // The values and counts in order of first appearance.
    const std::vector<Row>& Rows() const { return m_rows; }
    ResultBacking Backing() const { return m_texts; }
    size_t Slots() const { return m_slots; }

private:
    void Add(std::string_view value, long long count);

    size_t m_slots;
    std::shared_ptr<StringArena> m_texts = std::make_shared<StringArena>();
    std::vector<Row> m_rows;                             // in order of first appearance
    std::unordered_map<std::string_view, int> m_slotOf;  // value -> index in m_rows
};

}  // namespace quorlet3
