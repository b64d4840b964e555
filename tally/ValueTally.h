// The value tally: distinct values with their counts, in order of first appearance.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "logstore/Accumulator.h"

namespace quorlet3 {

// The hash of a tallied text: eight bytes at a time, several times quicker than the
// standard library's on the long browser strings and addresses that every line brings.
struct TallyTextHash {
    size_t operator()(std::string_view text) const noexcept {
        std::uint64_t hash = 0x9E3779B97F4A7C15ULL ^ text.size();
        const char* p = text.data();
        size_t left = text.size();
        for (; left >= 8; p += 8, left -= 8) {
            std::uint64_t word;
            std::memcpy(&word, p, 8);
            hash = (hash ^ word) * 0xFF51AFD7ED558CCDULL;
            hash ^= hash >> 32;
        }
        if (left > 0) {
            std::uint64_t word = 0;
            std::memcpy(&word, p, left);
            hash = (hash ^ word) * 0xC4CEB9FE1A85EC53ULL;
            hash ^= hash >> 29;
        }
        return static_cast<size_t>(hash);
    }
};

// A tallied value and how often it was seen.
struct ValueCount {
    std::string_view value;
    long long count;
    template <class Ar>
    void Keep(Ar& ar) {
        ar(value, count);
    }
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

    // Writes the values and counts, or reads them back in the same order.
    template <class Ar>
    void Keep(Ar& ar) {
        if constexpr (Ar::kLoading) {
            *this = ValueTally(m_slots);
            const size_t count = ar.Count();
            for (size_t i = 0; i < count; ++i) {
                const std::string_view value = ar.Text();
                long long times = 0;
                ar(times);
                Add(value, times);
            }
            if (m_rows.size() != count) {
                throw StateError("a value twice or past the tally's room");
            }
        } else {
            ar(m_rows);
        }
    }

private:
    void Add(std::string_view value, long long count);

    // A place of the open-addressing table from values to rows: the value's hash, and its
    // row (kFree for none). The hash is compared before any text, and the table is grown
    // from it alone.
    struct Place {
        std::uint64_t hash;
        std::uint32_t row;
    };
    static constexpr std::uint32_t kFree = UINT32_MAX;
    void Grow();

    size_t m_slots;
    std::shared_ptr<StringArena> m_texts = std::make_shared<StringArena>();
    std::vector<Row> m_rows;      // in order of first appearance
    std::vector<Place> m_places;  // a power of two, at most half of them taken
};

}  // namespace quorlet3
