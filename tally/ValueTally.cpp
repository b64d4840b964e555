// The value tally.
#include "tally/ValueTally.h"

#include <algorithm>
#include <bit>

#include "encoding/MultibyteOrder.h"

namespace quorlet3 {

ValueTally::ValueTally(size_t capacity) : m_slots(std::min<size_t>(capacity, kFree)) {
    const size_t expected = std::min<size_t>(capacity, kSlots);
    m_rows.reserve(expected);
    m_places.assign(std::bit_ceil(expected * 2), Place{0, kFree});
}

void ValueTally::Add(std::string_view value, long long count) {
    const std::uint64_t hash = TallyTextHash()(value);
    const size_t mask = m_places.size() - 1;
    size_t at = hash & mask;
    for (;; at = (at + 1) & mask) {
        const Place& place = m_places[at];
        if (place.row == kFree) {
            break;
        }
        if (place.hash == hash && m_rows[place.row].value == value) {
            m_rows[place.row].count += count;
            return;
        }
    }
    if (m_rows.size() < m_slots) {
        m_places[at] = {hash, static_cast<std::uint32_t>(m_rows.size())};
        m_rows.push_back({m_texts->Keep(value), count});
        if (m_rows.size() * 2 > m_places.size()) {
            Grow();
        }
    }
}

void ValueTally::Grow() {
    std::vector<Place> places(m_places.size() * 2, Place{0, kFree});
    const size_t mask = places.size() - 1;
    for (const Place& place : m_places) {
        if (place.row != kFree) {
            size_t at = place.hash & mask;
            while (places[at].row != kFree) {
                at = (at + 1) & mask;
            }
            places[at] = place;
        }
    }
    m_places = std::move(places);
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
