// The value tally: up to 300 distinct values with their counts, in order of first appearance.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quorlet3 {

// A tallied value (a view into the line store) and how often it was seen.
struct ValueCount {
    std::string_view value;
    int count;
};

class ValueTally {
public:
    static constexpr int kSlots = 300;

    using Row = ValueCount;

    ValueTally();

    // Counts one non-empty value. The tally keeps a view of it, so the text must
    // outlive the tally. A new value takes the next free slot; when all 300 are
    // taken it is dropped (the caller still counts its line in the total).
    void Add(std::string_view value);

    // The tallied values and counts in ascending multibyte order.
    std::vector<Row> Ascending() const;

private:
    std::vector<Row> m_rows;                             // in order of first appearance
    std::unordered_map<std::string_view, int> m_slotOf;  // value -> index in m_rows
};

}  // namespace quorlet3
