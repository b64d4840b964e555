// The 300-slot value tally.
#include "tally/ValueTally.h"

#include <algorithm>

#include "tally/MultibyteOrder.h"

namespace quorlet3 {

ValueTally::ValueTally() {
    m_rows.reserve(kSlots);
    m_slotOf.reserve(size_t{kSlots} * 2);
}

void ValueTally::Add(std::string_view value) {
    auto it = m_slotOf.find(value);
    if (it != m_slotOf.end()) {
        ++m_rows[static_cast<size_t>(it->second)].count;
        return;
    }
    if (m_rows.size() < kSlots) {
        m_slotOf.emplace(value, static_cast<int>(m_rows.size()));
        m_rows.push_back({value, 1});
    }
}

std::vector<ValueTally::Row> ValueTally::Ascending() const {
    std::vector<Row> rows = m_rows;
    std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return MultibyteLess(a.value, b.value); });
    return rows;
}

}  // namespace quorlet3
