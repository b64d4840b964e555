// The value tally.
#include "tally/ValueTally.h"

#include <algorithm>

#include "platform/MultibyteOrder.h"

namespace quorlet3 {

ValueTally::ValueTally(size_t capacity) : m_slots(capacity) {
    const size_t expected = std::min<size_t>(capacity, kSlots);
    m_rows.reserve(expected);
    m_slotOf.reserve(expected * 2);
}

void ValueTally::Add(std::string_view value, long long count) {
    auto it = m_slotOf.find(value);
    if (it != m_slotOf.end()) {
        m_rows[static_cast<size_t>(it->second)].count += count;
        return;
    }
    if (m_rows.size() < m_slots) {
        const std::string_view kept = m_texts->Keep(value);
        m_slotOf.emplace(kept, static_cast<int>(m_rows.size()));
        m_rows.push_back({kept, count});
    }
}

void ValueTally::Merge(const ValueTally& later) {
    for (const Row& row : later.m_rows) {
        Add(row.value, row.count);
    }
}

std::vector<ValueTally::Row> ValueTally::Ascending() const {
    std::vector<Row> rows = m_rows;
    std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return MultibyteLess(a.value, b.value); });
    return rows;
}

}  // namespace quorlet3
